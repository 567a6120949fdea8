#include "engine/title_sentence.h"

#include <vector>

#include "regex/regex_service.h"
#include "regex/tag_shield.h"
#include "text/charset.h"
#include "text/gbk_chars.h"

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

// Trims spaces and full-width spaces (not tabs) from both ends.
std::string_view TrimBlanks(std::string_view piece) {
  static const std::string fullWidthSpace = Utf8ToGbk("　");
  std::size_t first = std::string_view::npos;
  std::size_t end = 0;  // one past the last character that is no blank
  ForEachChar(piece, CrLf::AsTwoChars, [&](std::size_t offset, std::size_t length) {
    const std::string_view character = piece.substr(offset, length);
    if (character != " " && character != fullWidthSpace) {
      if (first == std::string_view::npos) {
        first = offset;
      }
      end = offset + length;
    }
  });
  return first == std::string_view::npos ? std::string_view() : piece.substr(first, end - first);
}

// The pieces of `text` (the engine's form) between the piece markers, as GBK, with empty pieces
// kept and no piece after a trailing marker. The cut is made in the engine's form, where every
// character is whole: in the GBK bytes a character's second byte may be the marker's "[", and a
// one-byte character of 0x80 or above would take the marker's "[" as its second byte.
std::vector<std::string> SplitAtMarkers(std::u16string_view text) {
  static const std::u16string marker = GbkToUtf16(PieceMarker());
  std::vector<std::string> pieces;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t found = text.find(marker, start);
    if (found == std::u16string_view::npos) {
      pieces.push_back(Utf16ToGbk(text.substr(start)));
      break;
    }
    pieces.push_back(Utf16ToGbk(text.substr(start, found - start)));
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
  const std::vector<std::string> pieces = SplitAtMarkers(text_.view());
  const int count = static_cast<int>(pieces.size());
  if (count == 0) {
    return {};
  }
  NonRepeatingDraw draw(random);
  for (int tried = 0; tried < count; ++tried) {
    const std::string_view piece = TrimBlanks(pieces[draw.Next(1, count) - 1]);
    if (piece.empty()) {
      continue;
    }
    if (minChars > 0 && CharCount(piece) < minChars) {
      continue;
    }
    return std::string(piece);
  }
  return std::string(pieces[RandomInRange(random, 1, count) - 1]);
}

}  // namespace gw
