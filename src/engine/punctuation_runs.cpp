#include "engine/punctuation_runs.h"

#include <bitset>

#include "engine/patterns.h"
#include "text/charset.h"
#include "text/gbk_chars.h"
#include "text/gbk_tables.h"

namespace gw {
namespace {

constexpr char16_t kReplacementCharacter = 0xFFFD;

// The characters of a run, as code units.
class PunctuationSet {
 public:
  PunctuationSet() {
    for (const char16_t unit : GbkToUtf16(PunctuationRunCharacters())) {
      units_[unit] = true;
    }
  }
  bool holds(char16_t unit) const { return units_[unit]; }

 private:
  std::bitset<65536> units_;
};

const PunctuationSet& Punctuation() {
  static const PunctuationSet set;
  return set;
}

// The code unit of the character of `length` bytes at `at`, as the text is decoded: U+FFFD for
// bytes that are no character (a single byte of 0x80 is one).
char16_t UnitAt(const GbkTables& tables, std::string_view text, std::size_t at,
                std::size_t length) {
  const auto byte = static_cast<unsigned char>(text[at]);
  if (byte < 0x80) {
    return byte;
  }
  const unsigned code = length == 2 ? byte << 8 | static_cast<unsigned char>(text[at + 1]) : byte;
  return tables.toUnicode[code] != 0 ? tables.toUnicode[code] : kReplacementCharacter;
}

// Appends how GBK writes `unit`: its code, or "?" when it has none.
void AppendAsGbk(const GbkTables& tables, char16_t unit, std::string& out) {
  if (unit < 0x80) {
    out += static_cast<char>(unit);
    return;
  }
  const std::uint16_t code = tables.fromUnicode[unit];
  if (code == 0) {
    out += '?';
  } else if (code <= 0xFF) {
    out += static_cast<char>(code);
  } else {
    out += static_cast<char>(code >> 8);
    out += static_cast<char>(code & 0xFF);
  }
}

}  // namespace

std::string ReplacePunctuationRuns(std::string_view article, std::string_view mark) {
  const std::string_view text = UntilFirstNul(article);
  const GbkTables& tables = Gbk();
  const PunctuationSet& punctuation = Punctuation();
  const std::string markText = Utf16ToGbk(GbkToUtf16(UntilFirstNul(mark)));
  // Every character is written as GBK writes it; the text comes back as it was when no run
  // was replaced.
  std::string out;
  out.reserve(text.size());
  bool replaced = false;
  char16_t held = 0;    // the first character of the run of punctuation under way
  std::size_t run = 0;  // the characters of that run
  const auto endRun = [&] {
    if (run >= 2) {
      out += markText;
      replaced = true;
    } else if (run == 1) {
      AppendAsGbk(tables, held, out);
    }
    run = 0;
  };
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = DecodedGbkCharLength(text, at);
    const char16_t unit = UnitAt(tables, text, at, length);
    at += length;
    if (punctuation.holds(unit)) {
      held = run == 0 ? unit : held;
      ++run;
      continue;
    }
    endRun();
    AppendAsGbk(tables, unit, out);
  }
  endRun();
  return replaced ? out : std::string(text);
}

}  // namespace gw
