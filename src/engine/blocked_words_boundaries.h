// Character starts of a whole GBK text as a bit mask, 64 bytes at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace gw::detail {

// Bit i (word i / 64, bit i % 64) is set when byte i of `text` starts a character, reading the
// characters from the start of the text: a byte below 0x80 and the byte 0x80 are characters of
// their own, a byte of 0x81 or above forms one with the byte after it (a lead byte at the very end
// stands alone). One more bit than there are bytes is set (offset text.size(), the end), so that
// "is offset e a character boundary" is a single bit test for every e <= text.size().
std::vector<std::uint64_t> CharStartMask(std::string_view text);

inline bool IsCharBoundary(const std::vector<std::uint64_t>& mask, std::size_t offset) {
  return (mask[offset >> 6] >> (offset & 63) & 1) != 0;
}

}  // namespace gw::detail
