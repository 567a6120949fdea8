#include "engine/title_sentence.h"

#include <vector>

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

const std::string& LineTrimPattern() {
  static const std::string pattern = Utf8ToGbk("^[　 \\t]*$(\\r\\n)|^[ 　\\t]+|[ 　\\t]+$");
  return pattern;
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

// The pieces of `text` (the engine's form) between the piece markers, with empty pieces kept and
// no piece after a trailing marker, as views into `text`. The cut is made in the engine's form,
// where every character is whole: in the GBK bytes a character's second byte may be the marker's
// "[", and a one-byte character of 0x80 or above would take the marker's "[" as its second byte.
// Only the piece that becomes the title is converted back.
std::vector<std::u16string_view> SplitAtMarkers(std::u16string_view text) {
  static const std::u16string marker = GbkToUtf16(PieceMarker());
  std::vector<std::u16string_view> pieces;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t found = text.find(marker, start);
    if (found == std::u16string_view::npos) {
      pieces.push_back(text.substr(start));
      break;
    }
    pieces.push_back(text.substr(start, found - start));
    start = found + marker.size();
  }
  return pieces;
}

}  // namespace

const std::string& TitleDelimiterPattern() {
  static const std::string pattern = [] {
    std::string set = Utf8ToGbk(",，。！!？?;；<>/:：()='. {}《》（）、‘’- \"“”\r\n");
    set = EraseAll(set, "\r\n");
    set = EraseAll(set, ". ");
    return "[" + RegexService::escapeWildcards(set) + "]|\\r\\n|\\r|\\n|\\. ";
  }();
  return pattern;
}

TitleSentencePicker::TitleSentencePicker() {
  delimiters_.create(TitleDelimiterPattern());
  lineTrim_.create(LineTrimPattern());
}

std::string PickTitleSentence(std::string_view article, int minChars, RandomSource& random) {
  TitleSentencePicker picker;
  return picker.pick(article, minChars, random);
}

std::string TitleSentencePicker::pick(std::string_view article, int minChars,
                                      RandomSource& random) {
  // The article without its tags goes through both patterns in the engine's form, and comes
  // back once to be cut into pieces.
  TagShield tags;
  text_.assignGbk(tags.shield(article, "", true));
  lineTrim_.replaceIn(text_, "");
  delimiters_.replaceIn(text_, PieceMarker());
  const std::vector<std::u16string_view> pieces = SplitAtMarkers(text_.view());
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
