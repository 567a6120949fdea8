// The regular-expression service: a random pattern with random switches runs over a random
// subject through every operation, and the escaping functions are held to their promise that an
// escaped text, used as a pattern, finds the text itself.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "regex/engine_text.h"
#include "regex/regex_service.h"
#include "text/charset.h"
#include "text/gbk_chars.h"

namespace {

using gw::fuzz::Check;

void CheckPattern(const std::string& pattern, bool ignoreCase, bool multiline, bool global,
                  const std::string& replacement, const std::string& subject) {
  gw::RegexService regex;
  Check(regex.create(pattern, ignoreCase, multiline, global), "create always succeeds");
  const int count = regex.execute(subject);
  const bool searchFailed = regex.searchFailed();
  Check(count == regex.matchCount(), "execute returns the match count");
  Check(count >= 0, "the match count is not negative");
  // A search that hits the engine's limits says so and finds nothing.
  Check(!searchFailed || count == 0, "a failed search finds nothing");
  const std::string replaced = regex.replace(subject, replacement);
  const bool replaceFailed = regex.searchFailed();
  Check(!replaceFailed || replaced.empty(), "a failed replacement gives the empty text");
  if (!regex.isValid()) {
    Check(count == 0, "a rejected pattern finds nothing");
    Check(replaced.empty(), "a rejected pattern replaces into the empty text");
    Check(!regex.compileError().empty(), "a rejected pattern has a message");
    return;
  }
  Check(regex.compileErrorOffset() == -1, "a valid pattern has no fault offset");
  Check(global || count <= 1, "a search that is not global finds at most one match");
  const int groups = regex.subMatchCount();
  for (int i = 1; i <= count; ++i) {
    int at = -1;
    const std::string text = regex.matchTextAt(i, &at);
    Check(at >= 0, "a match has an offset");
    Check(text == gw::Utf16ToGbk(regex.matchView(i, 0)), "a match's text is its view's");
    for (int j = 1; j <= groups; ++j) {
      Check(regex.subMatchText(i, j) == gw::Utf16ToGbk(regex.matchView(i, j)),
            "a group's text is its view's");
    }
  }
  Check(regex.matchText(count + 1).empty(), "a match past the last is empty");
  // The same operations on the engine's form of the text give the same results.
  gw::EngineText engineText(subject);
  const bool found = regex.findsMatchIn(engineText);
  if (!searchFailed && !regex.searchFailed()) {
    Check(found == (count > 0), "findsMatchIn agrees with execute");
  }
  if (regex.replaceIn(engineText, replacement) && !replaceFailed) {
    Check(engineText.toGbk() == replaced, "replaceIn agrees with replace");
  }
}

void CheckEscaping(const std::string& text, const std::string& subjectAround) {
  // Escaping goes character by character over program text; in other bytes a high byte takes
  // the next one, a metacharacter maybe, as its second byte, while the engine decodes the pair
  // as two characters.
  const std::string literal(gw::UntilFirstNul(text));
  if (literal.empty() || !gw::fuzz::IsValidGbk(literal)) {
    return;
  }
  // Text around it of whole characters, so that no character takes a byte of the literal.
  std::string around(gw::UntilFirstNul(subjectAround));
  if (!gw::fuzz::IsValidGbk(around)) {
    around = "x";
  }
  const std::string subject = around + literal + around;
  for (const bool ignoreCase : {false, true}) {
    gw::RegexService regex;
    regex.create(gw::RegexService::escapeLiteral(literal), ignoreCase, true, true);
    Check(regex.isValid(), "an escaped literal is a valid pattern");
    Check(regex.execute(literal) == 1, "an escaped literal finds the text");
    Check(regex.matchText(1) == literal, "an escaped literal matches the whole text");
    Check(regex.execute(subject) >= 1, "an escaped literal finds the text inside another");

    regex.create(gw::RegexService::escapeKeepAlternation(literal), ignoreCase, true, true);
    if (regex.isValid()) {
      Check(regex.execute(literal) >= 1 || regex.searchFailed(),
            "a pattern of alternatives finds something in the text");
    }
    // Many wildcards in a row may backtrack past the engine's limits: the search then says so.
    regex.create(gw::RegexService::escapeWildcards(literal), ignoreCase, true, true);
    if (regex.isValid()) {
      Check(regex.execute(literal) >= 1 || regex.searchFailed(),
            "a wildcard pattern finds something in the text");
    }
    regex.create(gw::RegexService::escapeKeepGroups(literal), ignoreCase, true, true);
    regex.execute(subject);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider provider(data, size);
  const bool ignoreCase = provider.ConsumeBool();
  const bool multiline = provider.ConsumeBool();
  const bool global = provider.ConsumeBool();
  const std::string pattern = provider.ConsumeRandomLengthString(96);
  const std::string replacement = provider.ConsumeRandomLengthString(24);
  const std::string subject = provider.ConsumeRemainingBytesAsString();
  gw::fuzz::Trace("pattern", pattern);
  gw::fuzz::Trace("replacement", replacement);
  gw::fuzz::Trace("subject", subject);

  CheckPattern(pattern, ignoreCase, multiline, global, replacement, subject);
  CheckEscaping(pattern, replacement);
  return 0;
}
