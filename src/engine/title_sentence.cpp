#include "engine/title_sentence.h"

#include "engine/replace_list.h"
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
std::string TrimBlanks(std::string_view piece) {
  static const std::string fullWidthSpace = Utf8ToGbk("　");
  const std::vector<std::size_t> starts = CharStartOffsets(piece, CrLf::AsTwoChars);
  const auto isBlank = [&](std::size_t k) {
    const std::string_view character = piece.substr(starts[k], starts[k + 1] - starts[k]);
    return character == " " || character == fullWidthSpace;
  };
  std::size_t first = 0;
  std::size_t last = starts.size() - 1;  // one past the last character
  while (first < last && isBlank(first)) {
    ++first;
  }
  while (last > first && isBlank(last - 1)) {
    --last;
  }
  return std::string(piece.substr(starts[first], starts[last] - starts[first]));
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
  TagShield tags;
  std::string text = tags.shield(article, "", true);
  text = lineTrim_.replace(text, "");
  text = delimiters_.replace(text, PieceMarker());
  const std::vector<std::string> pieces = SplitList(text, PieceMarker());
  const int count = static_cast<int>(pieces.size());
  if (count == 0) {
    return {};
  }
  NonRepeatingDraw draw(random);
  for (int tried = 0; tried < count; ++tried) {
    const std::string piece = TrimBlanks(pieces[draw.Next(1, count) - 1]);
    if (piece.empty()) {
      continue;
    }
    if (minChars > 0 && CharCount(piece) < minChars) {
      continue;
    }
    return piece;
  }
  return pieces[RandomInRange(random, 1, count) - 1];
}

}  // namespace gw
