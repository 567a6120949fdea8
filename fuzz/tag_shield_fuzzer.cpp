// Tag shielding: shield then restore gives the text back, and no placeholder is left in it.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "regex/tag_shield.h"
#include "text/gbk_chars.h"

namespace {

using gw::fuzz::Check;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider provider(data, size);
  const bool ownPlaceholder = provider.ConsumeBool();
  const std::string placeholder(
      ownPlaceholder ? gw::UntilFirstNul(provider.ConsumeRandomLengthString(12)) : "");
  // Program text ends at its first NUL.
  const std::string text(gw::UntilFirstNul(provider.ConsumeRemainingBytesAsString()));
  gw::fuzz::Trace("placeholder", placeholder);
  gw::fuzz::Trace("text", text);

  // The default placeholder cannot occur in GBK text. A fair test needs a placeholder that cannot
  // meet the text: none of its bytes in the text, no bracket in it.
  const std::string used = placeholder.empty() ? gw::TagShield::kDefaultPlaceholder : placeholder;
  const bool fair = text.find_first_of(used) == std::string::npos &&
                    used.find_first_of("<>") == std::string::npos;

  gw::TagShield shield;
  const std::string shielded = shield.shield(text, placeholder);
  if (fair) {
    Check(shield.restore(shielded) == text, "restore gives the shielded text back");
    Check(text.find('<') != std::string::npos || shielded == text,
          "a text without \"<\" holds no tag");
  }
  // Discarding deletes the tags.
  gw::TagShield discarding;
  const std::string stripped = discarding.shield(text, "", true);
  Check(stripped.size() <= text.size(), "discarding tags never adds to the text");
  if (fair) {
    Check(discarding.restore(stripped) == stripped, "discarded tags are never put back");
  }
  return 0;
}
