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

// One character of a GBK text, read as the conversion to the engine's form reads it: a byte
// below 0x80, a lead byte with a second byte that can pair with it (a pair that is no character
// reads as U+FFFD), or any other byte alone (U+FFFD unless it is a character, as 0x80 is).
struct Character {
  std::size_t length;
  char16_t unit;
};

Character CharacterAt(const GbkTables& tables, std::string_view text, std::size_t at) {
  const auto byte = static_cast<unsigned char>(text[at]);
  if (byte < 0x80) {
    return {1, byte};
  }
  if (at + 1 < text.size()) {
    const auto trail = static_cast<unsigned char>(text[at + 1]);
    if (IsGbkLeadByte(byte) && trail >= 0x40 && trail != 0x7F && trail != 0xFF) {
      const char16_t unit = tables.toUnicode[byte << 8 | trail];
      return {2, unit != 0 ? unit : kReplacementCharacter};
    }
  }
  const char16_t unit = tables.toUnicode[byte];
  return {1, unit != 0 ? unit : kReplacementCharacter};
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
  std::string out;
  bool replaced = false;
  // The run of punctuation under way: where it began and how many characters it has.
  std::size_t runStart = 0;
  std::size_t runLength = 0;
  const std::string markText = Utf16ToGbk(GbkToUtf16(UntilFirstNul(mark)));
  // Until the first run to replace, nothing is written: the text before it is written then, at
  // once. From then on, characters are written as they are read.
  const auto endRun = [&] {
    if (runLength >= 2) {
      if (!replaced) {
        replaced = true;
        out.reserve(text.size());
        AppendUtf16AsGbk(GbkToUtf16(text.substr(0, runStart)), out);
      }
      out += markText;
    } else if (replaced) {
      const Character character = CharacterAt(tables, text, runStart);
      AppendAsGbk(tables, character.unit, out);  // one punctuation character stays
    }
    runLength = 0;
  };
  for (std::size_t at = 0; at < text.size();) {
    const Character character = CharacterAt(tables, text, at);
    if (punctuation.holds(character.unit)) {
      if (runLength == 0) {
        runStart = at;
      }
      ++runLength;
    } else {
      if (runLength > 0) {
        endRun();
      }
      if (replaced) {
        AppendAsGbk(tables, character.unit, out);
      }
    }
    at += character.length;
  }
  if (runLength > 0) {
    endRun();
  }
  return replaced ? out : std::string(text);
}

}  // namespace gw
