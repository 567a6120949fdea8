// Character rules of the program's text: GBK bytes in a std::string.
// A character is one byte below 0x80, the byte 0x80 on its own ("€" in code page 936), or a byte
// of 0x81 or above together with the byte after it. Where the rules say so, a CR LF pair counts
// as one character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace gw {

// Program text ends at its first zero byte.
std::string_view UntilFirstNul(std::string_view bytes);

// Whether `byte`, where a character starts, takes the byte after it as its second byte.
inline bool IsPairLeadByte(unsigned char byte) {
  return byte >= 0x81;
}

// Byte length (1 or 2) of the character that starts at `offset`. A lead byte at the very end of
// the text is a character of its own.
inline std::size_t GbkCharLength(std::string_view text, std::size_t offset) {
  return (IsPairLeadByte(static_cast<unsigned char>(text[offset])) && offset + 1 < text.size()) ? 2
                                                                                                : 1;
}

enum class CrLf { AsOneChar, AsTwoChars };

// Byte length of the character at `offset` under the given CR LF rule.
inline std::size_t CharLengthAt(std::string_view text, std::size_t offset, CrLf crlf) {
  if (crlf == CrLf::AsOneChar && text[offset] == '\r' && offset + 1 < text.size() &&
      text[offset + 1] == '\n') {
    return 2;
  }
  return GbkCharLength(text, offset);
}

// Calls visit(offset, length) for every character of `text`, in order.
template <typename Visitor>
void ForEachChar(std::string_view text, CrLf crlf, Visitor&& visit) {
  for (std::size_t offset = 0; offset < text.size();) {
    const std::size_t length = CharLengthAt(text, offset, crlf);
    visit(offset, length);
    offset += length;
  }
}

// Byte offsets of the character starts, followed by text.size(): entry k (0-based) is the
// offset of character k + 1, so character k + 1 occupies [offsets[k], offsets[k + 1]).
std::vector<std::size_t> CharStartOffsets(std::string_view text, CrLf crlf);

// Whether a character starts at `offset`, given that one starts at `known` (<= offset); `known`
// then moves to the first character start at or after `offset`. Walks whole characters only from
// the nearest point where a character surely starts (just after a byte below 0x80), so asking
// about many offsets of a long text, left to right, does not walk the text each time.
bool StartsCharacter(std::string_view text, std::size_t& known, std::size_t offset);

// The pieces of `text` between the occurrences of `separator` that start a character (the second
// byte of a double-byte character is never taken for a separator). n separators give n + 1
// pieces, empty ones included; an empty separator gives the whole text as one piece.
std::vector<std::string_view> SplitAtCharacters(std::string_view text, std::string_view separator);

// Number of characters; a CR LF pair counts as one.
int CharCount(std::string_view text);

// `count` characters from the 1-based character position `start`; past the end it stops at the
// end. A start below 1 counts as 1; a count below 1 gives the empty text.
std::string CharMid(std::string_view text, int start, int count);

// The first `n` characters.
std::string CharLeft(std::string_view text, int n);

}  // namespace gw
