#include "engine/replace_list.h"

#include <cstring>
#include <optional>

#include "text/gbk_chars.h"

namespace gw {
namespace {

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool MatchesAt(std::string_view text, std::size_t offset, std::string_view find,
               bool caseSensitive) {
  if (text.size() - offset < find.size()) {
    return false;
  }
  if (caseSensitive) {
    return std::memcmp(text.data() + offset, find.data(), find.size()) == 0;
  }
  for (std::size_t i = 0; i < find.size(); ++i) {
    if (LowerAscii(text[offset + i]) != LowerAscii(find[i])) {
      return false;
    }
  }
  return true;
}

// Offset of the next occurrence of `find` at or after `from` that may start a match, or npos.
std::size_t NextCandidate(std::string_view text, std::size_t from, std::string_view find,
                          bool caseSensitive) {
  if (caseSensitive) {
    return text.find(find, from);
  }
  const char first = LowerAscii(find[0]);
  const char other = (first >= 'a' && first <= 'z') ? static_cast<char>(first - 'a' + 'A') : first;
  for (std::size_t offset = from; offset + find.size() <= text.size(); ++offset) {
    if ((text[offset] == first || text[offset] == other) && MatchesAt(text, offset, find, false)) {
      return offset;
    }
  }
  return std::string_view::npos;
}

// The text with the entry replaced; nullopt when it does not occur (the text stays as it is).
std::optional<std::string> ReplaceEntry(std::string_view text, std::string_view find,
                                        std::string_view replacement, bool caseSensitive,
                                        int maxCount) {
  std::string result;
  std::size_t copied = 0;     // text before this offset is in `result`
  std::size_t charStart = 0;  // a character start at or before every candidate still to come
  int replaced = 0;
  std::size_t candidate = NextCandidate(text, 0, find, caseSensitive);
  while (candidate != std::string_view::npos && (maxCount < 1 || replaced < maxCount)) {
    // Walk whole characters up to the candidate: it only counts when it starts a character.
    while (charStart < candidate) {
      charStart += GbkCharLength(text, charStart);
    }
    if (charStart != candidate) {
      candidate = NextCandidate(text, charStart, find, caseSensitive);
      continue;
    }
    if (result.empty()) {
      result.reserve(text.size());
    }
    result.append(text.data() + copied, candidate - copied);
    result.append(replacement);
    copied = candidate + find.size();
    charStart = copied;
    ++replaced;
    candidate = NextCandidate(text, copied, find, caseSensitive);
  }
  if (replaced == 0) {
    return std::nullopt;
  }
  result.append(text.data() + copied, text.size() - copied);
  return result;
}

}  // namespace

std::vector<std::string> SplitList(std::string_view text, std::string_view separator) {
  std::vector<std::string> pieces;
  if (text.empty()) {
    return pieces;
  }
  if (separator.empty()) {
    pieces.emplace_back(text);
    return pieces;
  }
  std::size_t start = 0;
  while (true) {
    const std::size_t found = text.find(separator, start);
    if (found == std::string_view::npos) {
      if (start < text.size()) {
        pieces.emplace_back(text.substr(start));
      }
      return pieces;
    }
    pieces.emplace_back(text.substr(start, found - start));
    start = found + separator.size();
  }
}

std::string ReplaceList(std::string text, std::string_view finds, std::string_view replacements,
                        bool caseSensitive, bool fillFromFirst, std::string_view separator,
                        int maxCount) {
  if (separator.empty()) {
    separator = "|";
  }
  const std::vector<std::string> findList = SplitList(finds, separator);
  std::vector<std::string> replacementList = SplitList(replacements, separator);
  replacementList.resize(findList.size());
  for (std::size_t i = 0; i < findList.size(); ++i) {
    if (findList[i].empty()) {
      continue;
    }
    const std::string& replacement =
        (fillFromFirst && replacementList[i].empty()) ? replacementList[0] : replacementList[i];
    if (std::optional<std::string> replaced =
            ReplaceEntry(text, findList[i], replacement, caseSensitive, maxCount)) {
      text = std::move(*replaced);
    }
  }
  return text;
}

}  // namespace gw
