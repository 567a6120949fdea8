// Charset declarations in HTML pages saved as files, and the case-insensitive text searches they
// are found with. All texts are program text (GBK bytes); letter case is folded for A-Z only.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace gw {

// Result of SniffHtmlCharset.
enum class HtmlCharset : int { None = 0, Utf8 = 1, Big5 = 2, Big5Hkscs = 3 };

// The charset declared by the first meta tag that declares one of UTF-8, Big5 or Big5-HKSCS
// (as charset=NAME, charset="NAME" or charset='NAME', any letter case). The meta tags are looked
// for between "<head>" and "</head>", or in the whole text when there is no such head. The head
// is scanned from one ">" to the next; each piece examined runs from the last "<meta" before
// that ">" up to it. The scan gives up at the first ">" with no "<meta" before it, so a head
// whose first tag is not a meta tag declares nothing. An unquoted charset=Big5-HKSCS reads as
// Big5, because the Big5 spellings are tried first and are a prefix of it.
HtmlCharset SniffHtmlCharset(std::string_view text);

// The text between `left` and `right`, both found case-insensitively: `left` is looked for from
// `position` on, `right` after it. On success `position` moves behind `right`; when either
// marker is missing the result is empty and `position` stays. In the markers, two single quotes
// ('') stand for a double quote.
// An empty `left` stands for the head marker "#Pelorin头#" placed before the start of the text
// (found there only when `position` is 0, otherwise looked for in the text); an empty `right`
// stands for the tail marker "#Pelorin尾#", looked for in the text and otherwise found just
// behind its end. So with empty markers a text that itself holds a marker text is cut there.
std::string TextBetween(std::string_view text, std::string_view left, std::string_view right,
                        std::size_t& position);
std::string TextBetween(std::string_view text, std::string_view left, std::string_view right);

// True when `text` contains, case-insensitively, any item of `list`, whose items are separated
// by "[fg]" and in which two single quotes ('') stand for a double quote. Empty items match
// nothing.
bool ContainsAnyOf(std::string_view text, std::string_view list);

// Offset of the first case-insensitive occurrence of `needle` in `haystack` at or after `from`;
// npos when there is none. An empty needle is found at `from` (when from <= haystack.size()).
std::size_t FindNoCase(std::string_view haystack, std::string_view needle, std::size_t from = 0);

}  // namespace gw
