#include "text/html_charset.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace gw {
namespace {

// The marker texts that stand for the start and the end of a text, in GBK bytes
// ("#Pelorin头#" and "#Pelorin尾#").
constexpr std::string_view kHeadMarker = "#Pelorin\xCD\xB7#";
constexpr std::string_view kTailMarker = "#Pelorin\xCE\xB2#";

constexpr std::string_view kListSeparator = "[fg]";

// Charset spellings, one list per result, tried in this order.
constexpr std::array<std::string_view, 3> kCharsetLists = {
    "charset=UTF-8[fg]charset=''UTF-8''[fg]charset='UTF-8'",
    "charset=Big5[fg]charset=''Big5''[fg]charset='Big5'",
    "charset=Big5-HKSCS[fg]charset=''Big5-HKSCS''[fg]charset='Big5-HKSCS'",
};

constexpr std::array<unsigned char, 256> MakeFoldTable() {
  std::array<unsigned char, 256> table{};
  for (int i = 0; i < 256; ++i) {
    table[i] = static_cast<unsigned char>(i >= 'A' && i <= 'Z' ? i - 'A' + 'a' : i);
  }
  return table;
}
constexpr std::array<unsigned char, 256> kFold = MakeFoldTable();

inline unsigned char Fold(char c) {
  return kFold[static_cast<unsigned char>(c)];
}

inline bool IsAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool EqualNoCase(const char* a, std::string_view b) {
  for (std::size_t i = 0; i < b.size(); ++i) {
    if (Fold(a[i]) != Fold(b[i])) {
      return false;
    }
  }
  return true;
}

// Two single quotes stand for one double quote.
std::string Unquote(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\'' && i + 1 < text.size() && text[i + 1] == '\'') {
      out.push_back('"');
      ++i;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

std::vector<std::string> SplitList(std::string_view list) {
  std::vector<std::string> items;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = list.find(kListSeparator, start);
    const std::string_view item =
        list.substr(start, end == std::string_view::npos ? end : end - start);
    if (!item.empty()) {
      items.push_back(Unquote(item));
    }
    if (end == std::string_view::npos) {
      return items;
    }
    start = end + kListSeparator.size();
  }
}

bool ContainsAnyItem(std::string_view text, const std::vector<std::string>& items) {
  return std::any_of(items.begin(), items.end(), [&](const std::string& item) {
    return FindNoCase(text, item) != std::string_view::npos;
  });
}

// The tail marker as found in the text with the marker appended: inside the text, across its
// end, or the appended one itself. Returns the offset of the marker (possibly text.size()).
std::size_t FindTail(std::string_view text, std::size_t from) {
  const std::size_t inside = FindNoCase(text, kTailMarker, from);
  if (inside != std::string_view::npos) {
    return inside;
  }
  const std::size_t overlap = kTailMarker.size() - 1;
  const std::size_t edge = std::max(from, text.size() > overlap ? text.size() - overlap : 0);
  std::string joined(text.substr(edge));
  joined += kTailMarker;
  return edge + FindNoCase(joined, kTailMarker);
}

// TextBetween without the copy: `between` views `text`.
bool FindBetween(std::string_view text, std::string_view left, std::string_view right,
                 std::size_t& position, std::string_view& between) {
  std::size_t start = 0;
  if (left.empty() && position == 0) {
    start = 0;  // the head marker placed before the text
  } else {
    const std::string leftMarker = left.empty() ? std::string(kHeadMarker) : Unquote(left);
    const std::size_t found = FindNoCase(text, leftMarker, position);
    if (found == std::string_view::npos) {
      return false;
    }
    start = found + leftMarker.size();
  }
  std::size_t end = 0;
  std::size_t after = 0;
  if (right.empty()) {
    end = FindTail(text, start);
    after = std::min(end + kTailMarker.size(), text.size());
  } else {
    const std::string rightMarker = Unquote(right);
    end = FindNoCase(text, rightMarker, start);
    if (end == std::string_view::npos) {
      return false;
    }
    after = end + rightMarker.size();
  }
  between = text.substr(start, end - start);
  position = after;
  return true;
}

}  // namespace

std::size_t FindNoCase(std::string_view haystack, std::string_view needle, std::size_t from) {
  constexpr std::size_t npos = std::string_view::npos;
  if (from > haystack.size()) {
    return npos;
  }
  if (needle.empty()) {
    return from;
  }
  if (haystack.size() - from < needle.size()) {
    return npos;
  }
  const std::size_t lastStart = haystack.size() - needle.size();
  const char* const data = haystack.data();
  // Look for a byte of the needle that has no other letter case with memchr, and compare the
  // whole needle only where it turns up.
  std::size_t anchor = 0;
  while (anchor < needle.size() && IsAsciiLetter(needle[anchor])) {
    ++anchor;
  }
  if (anchor == needle.size()) {
    const unsigned char first = Fold(needle[0]);
    for (std::size_t start = from; start <= lastStart; ++start) {
      if (Fold(data[start]) == first && EqualNoCase(data + start, needle)) {
        return start;
      }
    }
    return npos;
  }
  const char anchorByte = needle[anchor];
  std::size_t scan = from + anchor;
  const std::size_t scanEnd = lastStart + anchor + 1;
  while (scan < scanEnd) {
    const void* hit = std::memchr(data + scan, anchorByte, scanEnd - scan);
    if (hit == nullptr) {
      return npos;
    }
    const auto at = static_cast<std::size_t>(static_cast<const char*>(hit) - data);
    const std::size_t start = at - anchor;
    if (EqualNoCase(data + start, needle)) {
      return start;
    }
    scan = at + 1;
  }
  return npos;
}

std::string TextBetween(std::string_view text, std::string_view left, std::string_view right,
                        std::size_t& position) {
  std::string_view between;
  if (!FindBetween(text, left, right, position, between)) {
    return {};
  }
  return std::string(between);
}

std::string TextBetween(std::string_view text, std::string_view left, std::string_view right) {
  std::size_t position = 0;
  return TextBetween(text, left, right, position);
}

bool ContainsAnyOf(std::string_view text, std::string_view list) {
  return ContainsAnyItem(text, SplitList(list));
}

HtmlCharset SniffHtmlCharset(std::string_view text) {
  static const std::array<std::vector<std::string>, 3> lists = {
      SplitList(kCharsetLists[0]), SplitList(kCharsetLists[1]), SplitList(kCharsetLists[2])};
  static const std::size_t longest = [] {
    std::size_t length = 0;
    for (const auto& list : lists) {
      for (const auto& item : list) {
        length = std::max(length, item.size());
      }
    }
    return length;
  }();
  constexpr std::string_view kMeta = "<meta";
  constexpr std::size_t npos = std::string_view::npos;

  std::string_view head;
  std::size_t position = 0;
  if (!FindBetween(text, "<head>", "</head>", position, head) || head.empty()) {
    head = text;
  }

  // Each piece runs from the last "<meta" before a ">" up to that ">". Successive pieces that
  // start at the same "<meta" grow by the stretch between two ">"; the part examined before held
  // no spelling, so only matches that end in the new stretch need looking for.
  std::size_t scan = 0;
  std::size_t lastMeta = npos;
  std::size_t metaSearch = 0;  // every "<meta" that starts before this offset has been seen
  std::size_t examinedTo = 0;  // end of what was examined from lastMeta on
  while (true) {
    const std::size_t close = head.find('>', scan);
    if (close == npos) {
      return HtmlCharset::None;
    }
    const std::string_view beforeClose = head.substr(0, close);
    for (std::size_t meta = FindNoCase(beforeClose, kMeta, metaSearch); meta != npos;
         meta = FindNoCase(beforeClose, kMeta, meta + 1)) {
      lastMeta = meta;
      examinedTo = meta;
    }
    metaSearch = close + 1;  // a "<meta" cannot span the ">"
    if (lastMeta == npos) {
      return HtmlCharset::None;
    }
    const std::size_t overlap = longest - 1;
    const std::size_t from = std::max(lastMeta, examinedTo > overlap ? examinedTo - overlap : 0);
    const std::string_view piece = head.substr(from, close + 1 - from);
    for (std::size_t i = 0; i < lists.size(); ++i) {
      if (ContainsAnyItem(piece, lists[i])) {
        return static_cast<HtmlCharset>(i + 1);
      }
    }
    examinedTo = close + 1;
    scan = close + 1;
  }
}

}  // namespace gw
