// The blocked-word filter against the plain word-by-word procedure. The input holds the word
// library (split at "|" or at line breaks), the replacement and the text.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "blocked_words_reference.h"
#include "engine/blocked_words.h"
#include "engine/blocked_words_matcher.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider provider(data, size);
  const bool byLines = provider.ConsumeBool();
  const std::size_t parts = provider.ConsumeIntegralInRange<std::size_t>(1, 4);
  const std::string library = provider.ConsumeRandomLengthString(512);
  const std::string replacement = provider.ConsumeRandomLengthString(16);
  const std::string text = provider.ConsumeRemainingBytesAsString();

  const std::vector<std::string> words = gw::SplitBlockedWords(library, byLines ? "\r\n" : "|");
  // Libraries whose replacement feeds their own words can grow the text many times over; such
  // cases are left out when the plain procedure would take too long.
  const std::optional<std::string> result =
      gw::reference::FilterOneWordAtATimeWithin(text, words, replacement, 2'000'000);
  if (!result) {
    return 0;
  }
  const std::string& expected = *result;

  const gw::BlockedWordFilter filter(words, replacement);
  gw::fuzz::Check(gw::FilterBlockedWords(text, filter) == expected,
                  "the filter agrees with the word-by-word procedure");
  if (parts > 1) {
    // The same text cut into parts filtered on separate threads.
    const gw::detail::BlockedWordMatcher matcher(words, replacement);
    gw::fuzz::Check(matcher.Filter(text, {0, parts}) == expected,
                    "the filter in parts agrees with the word-by-word procedure");
  }
  return 0;
}
