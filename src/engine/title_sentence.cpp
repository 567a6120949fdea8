#include "engine/title_sentence.h"

#include <bitset>
#include <vector>

#include "engine/line_margins.h"
#include "regex/regex_service.h"
#include "regex/tag_shield.h"
#include "text/charset.h"

namespace gw {
namespace {

std::string EraseAll(std::string text, std::string_view what) {
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at)) {
    text.erase(at, what.size());
  }
  return text;
}

const std::string& PieceMarker() {
  static const std::string marker = Utf8ToGbk("[⊥]");
  return marker;
}

// Whether `unit` stands for a space or a full-width space in GBK (tabs are no blanks here).
bool IsBlank(char16_t unit) {
  static const std::string fullWidthSpace = Utf8ToGbk("　");
  const std::string character = Utf16ToGbk(std::u16string_view(&unit, 1));
  return character == " " || character == fullWidthSpace;
}

// Trims spaces and full-width spaces from both ends.
std::u16string_view TrimBlanks(std::u16string_view piece) {
  while (!piece.empty() && IsBlank(piece.front())) {
    piece.remove_prefix(1);
  }
  while (!piece.empty() && IsBlank(piece.back())) {
    piece.remove_suffix(1);
  }
  return piece;
}

// The characters the delimiter pattern's class holds (GBK): the list the pattern is built from
// (the wildcard "?" in it also brings in the full stop, see TitleDelimiterPattern()).
const std::string& DelimiterCharacters() {
  static const std::string set = [] {
    std::string characters = Utf8ToGbk(",，。！!？?;；<>/:：()='. {}《》（）、‘’- \"“”\r\n");
    characters = EraseAll(characters, "\r\n");
    return EraseAll(characters, ". ");
  }();
  return set;
}

// The pieces of `text` (the engine's form) between delimiters, as the delimiter pattern finds
// them: a character of its class, CR LF, CR, LF or ". ". Empty pieces are kept, and there is no
// piece after a trailing delimiter. The article's own "[⊥]" also ends a piece, as it always has:
// the pieces were once cut at that marker after the delimiters had been replaced by it.
// The cut is made in the engine's form, where every character is whole: in the GBK bytes a
// character's second byte may be "[" or "-", and a one-byte character of 0x80 or above would take
// a following byte as its second one.
class DelimiterScanner {
 public:
  DelimiterScanner() : marker_(GbkToUtf16(PieceMarker())) {
    const std::u16string characters = GbkToUtf16(DelimiterCharacters());
    for (const char16_t unit : characters) {
      inClass_[unit] = true;
      if (unit == u'?' || unit == u'*') {
        inClass_[u'.'] = true;  // the pattern writes a wildcard ".?": in a class, a full stop
      }
    }
  }

  std::vector<std::u16string_view> split(std::u16string_view text) const {
    std::vector<std::u16string_view> pieces;
    std::size_t start = 0;
    std::size_t at = 0;
    while (at < text.size()) {
      const std::size_t length = delimiterAt(text, at);
      if (length == 0) {
        ++at;
        continue;
      }
      pieces.push_back(text.substr(start, at - start));
      at += length;
      start = at;
    }
    if (start < text.size()) {
      pieces.push_back(text.substr(start));
    }
    return pieces;
  }

 private:
  // The length of the delimiter at `at`, 0 for none.
  std::size_t delimiterAt(std::u16string_view text, std::size_t at) const {
    const char16_t unit = text[at];
    const bool hasNext = at + 1 < text.size();
    if (inClass_[unit]) {
      return 1;
    }
    if (unit == u'\r') {
      return hasNext && text[at + 1] == u'\n' ? 2 : 1;
    }
    if (unit == u'\n') {
      return 1;
    }
    if (unit == u'.' && hasNext && text[at + 1] == u' ') {
      return 2;
    }
    if (unit == marker_[0] && text.substr(at, marker_.size()) == marker_) {
      return marker_.size();
    }
    return 0;
  }

  std::bitset<65536> inClass_;
  std::u16string marker_;
};

}  // namespace

std::vector<std::u16string_view> SplitAtTitleDelimiters(std::u16string_view text) {
  static const DelimiterScanner scanner;
  return scanner.split(text);
}

const std::string& TitleDelimiterPattern() {
  static const std::string pattern =
      "[" + RegexService::escapeWildcards(DelimiterCharacters()) + "]|\\r\\n|\\r|\\n|\\. ";
  return pattern;
}

TitleSentencePicker::TitleSentencePicker() = default;

std::string PickTitleSentence(std::string_view article, int minChars, RandomSource& random) {
  TitleSentencePicker picker;
  return picker.pick(article, minChars, random);
}

std::string TitleSentencePicker::pick(std::string_view article, int minChars,
                                      RandomSource& random) {
  // The article without its tags and blank margins is cut into pieces in the engine's form; only
  // the piece picked comes back.
  TagShield tags;
  text_.assignGbk(tags.shield(article, "", true));
  if (TrimLineMargins(text_.unitsToShorten())) {
    text_.shortened();
  }
  const std::vector<std::u16string_view> pieces = SplitAtTitleDelimiters(text_.view());
  const int count = static_cast<int>(pieces.size());
  if (count == 0) {
    return {};
  }
  NonRepeatingDraw draw(random);
  for (int tried = 0; tried < count; ++tried) {
    const std::u16string_view piece = TrimBlanks(pieces[draw.Next(1, count) - 1]);
    if (piece.empty()) {
      continue;
    }
    if (minChars > 0 && GbkCharCount(piece) < minChars) {
      continue;
    }
    return Utf16ToGbk(piece);
  }
  return Utf16ToGbk(pieces[RandomInRange(random, 1, count) - 1]);
}

}  // namespace gw
