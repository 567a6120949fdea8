#include "engine/replace_list.h"

#include <algorithm>
#include <cstring>

#include "text/gbk_chars.h"

namespace gw {
namespace {

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether `find` occurs at `offset`, compared character by character of `find`: without case
// an ASCII letter that is a character of its own matches either case, and every double-byte
// character matches only itself (its second byte may look like a letter).
bool MatchesAt(std::string_view text, std::size_t offset, std::string_view find,
               bool caseSensitive) {
  if (text.size() - offset < find.size()) {
    return false;
  }
  if (caseSensitive) {
    return std::memcmp(text.data() + offset, find.data(), find.size()) == 0;
  }
  bool same = true;
  ForEachChar(find, CrLf::AsTwoChars, [&](std::size_t at, std::size_t length) {
    if (!same) {
      return;
    }
    same = length == 1 ? LowerAscii(text[offset + at]) == LowerAscii(find[at])
                       : std::memcmp(text.data() + offset + at, find.data() + at, length) == 0;
  });
  return same;
}

// Finds the offsets where an entry occurs, left to right. Without case, an entry that starts
// with a letter is looked for by both forms of that letter; the next offset of each form is
// kept, so that neither form's search runs over the same bytes twice.
class Occurrences {
 public:
  Occurrences(std::string_view text, std::string_view find, bool caseSensitive)
      : text_(text), find_(find), caseSensitive_(caseSensitive) {
    const char first = LowerAscii(find[0]);
    forms_[0] = first;
    forms_[1] = (!caseSensitive && first >= 'a' && first <= 'z')
                    ? static_cast<char>(first - 'a' + 'A')
                    : first;
  }

  // The first occurrence at or after `from`, or npos.
  std::size_t next(std::size_t from) {
    if (caseSensitive_) {
      return text_.find(find_, from);
    }
    while (from + find_.size() <= text_.size()) {
      const std::size_t at = forms_[0] == forms_[1]
                                 ? nextByte(0, from)
                                 : std::min(nextByte(0, from), nextByte(1, from));
      if (at == npos || at + find_.size() > text_.size()) {
        return npos;
      }
      if (MatchesAt(text_, at, find_, false)) {
        return at;
      }
      from = at + 1;
    }
    return npos;
  }

 private:
  static constexpr std::size_t npos = std::string_view::npos;

  std::size_t nextByte(int form, std::size_t from) {
    if (!searched_[form] || (cached_[form] != npos && cached_[form] < from)) {
      const void* found = std::memchr(text_.data() + from, forms_[form], text_.size() - from);
      cached_[form] =
          found == nullptr
              ? npos
              : static_cast<std::size_t>(static_cast<const char*>(found) - text_.data());
      searched_[form] = true;
    }
    return cached_[form];
  }

  std::string_view text_;
  std::string_view find_;
  bool caseSensitive_;
  char forms_[2];
  std::size_t cached_[2] = {npos, npos};
  bool searched_[2] = {false, false};
};

// Replaces the occurrences of `find` that start a character, at most `maxCount` of them (below 1:
// all), writing the result through `emit`: emit(kept) for a stretch of the text kept as it is,
// then the replacement follows. Returns the number replaced; the text after the last
// occurrence is left to the caller (from the returned `copied`).
template <typename Emit>
int ForEachOccurrence(std::string_view text, std::string_view find, bool caseSensitive,
                      int maxCount, std::size_t& copied, Emit&& emit) {
  Occurrences occurrences(text, find, caseSensitive);
  int replaced = 0;
  copied = 0;
  std::size_t known = 0;  // a character starts here, at or before every candidate still to come
  std::size_t candidate = occurrences.next(0);
  while (candidate != std::string_view::npos && (maxCount < 1 || replaced < maxCount)) {
    if (!StartsCharacter(text, known, candidate)) {
      candidate = occurrences.next(candidate + 1);
      continue;
    }
    emit(copied, candidate);
    copied = candidate + find.size();
    known = copied;
    ++replaced;
    candidate = occurrences.next(copied);
  }
  return replaced;
}

// Replaces the entry in the `size` bytes at `data` with a replacement no longer than the entry,
// written over the text itself. Returns the size of the result.
std::size_t ShrinkEntry(char* data, std::size_t size, std::string_view find,
                        std::string_view replacement, bool caseSensitive, int maxCount) {
  std::size_t copied = 0;
  std::size_t written = 0;
  ForEachOccurrence(std::string_view(data, size), find, caseSensitive, maxCount, copied,
                    [&](std::size_t keptFrom, std::size_t keptTo) {
                      std::memmove(data + written, data + keptFrom, keptTo - keptFrom);
                      written += keptTo - keptFrom;
                      if (!replacement.empty()) {  // an empty view may hold no address at all
                        std::memcpy(data + written, replacement.data(), replacement.size());
                        written += replacement.size();
                      }
                    });
  if (written != copied) {
    std::memmove(data + written, data + copied, size - copied);
  }
  return written + size - copied;
}

// Replaces the entry in `text`. A replacement no longer than the entry is written over the text
// itself (a large text is not copied); a longer one builds a new text.
void ReplaceEntry(std::string& text, std::string_view find, std::string_view replacement,
                  bool caseSensitive, int maxCount) {
  if (replacement.size() <= find.size()) {
    text.resize(ShrinkEntry(text.data(), text.size(), find, replacement, caseSensitive, maxCount));
    return;
  }
  std::size_t copied = 0;
  std::string result;
  const int replaced = ForEachOccurrence(text, find, caseSensitive, maxCount, copied,
                                         [&](std::size_t keptFrom, std::size_t keptTo) {
                                           if (result.empty()) {
                                             result.reserve(text.size() + replacement.size());
                                           }
                                           result.append(text, keptFrom, keptTo - keptFrom);
                                           result.append(replacement);
                                         });
  if (replaced > 0) {
    result.append(text, copied);
    text = std::move(result);
  }
}

}  // namespace

std::vector<std::string_view> SplitListViews(std::string_view text, std::string_view separator) {
  if (text.empty()) {
    return {};
  }
  std::vector<std::string_view> pieces = SplitAtCharacters(text, separator);
  if (pieces.back().empty()) {
    pieces.pop_back();  // nothing follows a trailing separator
  }
  return pieces;
}

std::vector<std::string> SplitList(std::string_view text, std::string_view separator) {
  const std::vector<std::string_view> views = SplitListViews(text, separator);
  return std::vector<std::string>(views.begin(), views.end());
}

std::size_t RemoveListInPlace(char* data, std::size_t size, std::string_view finds,
                              bool caseSensitive) {
  for (const std::string_view find : SplitListViews(finds, "|")) {
    if (!find.empty()) {
      size = ShrinkEntry(data, size, find, {}, caseSensitive, 0);
    }
  }
  return size;
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
    ReplaceEntry(text, findList[i], replacement, caseSensitive, maxCount);
  }
  return text;
}

}  // namespace gw
