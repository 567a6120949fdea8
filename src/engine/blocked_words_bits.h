// Bit sets over the bytes of a stretch of text (bit i, word i / 64, stands for byte i), and the
// sort that puts the occurrences of a batch in the order of their words' turns.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace gw::detail {

using Bits = std::vector<std::uint64_t>;

namespace bits_detail {
// Calls on(word, mask) for the words that hold bits [offset, offset + length).
template <typename On>
bool ForRange(std::size_t offset, std::size_t length, On&& on) {
  while (length > 0) {
    const std::size_t bit = offset & 63;
    const std::size_t count = std::min<std::size_t>(length, 64 - bit);
    const std::uint64_t mask = (count == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << count) - 1)
                               << bit;
    if (!on(offset >> 6, mask)) {
      return false;
    }
    offset += count;
    length -= count;
  }
  return true;
}
}  // namespace bits_detail

inline bool TestBit(const Bits& bits, std::size_t i) {
  return (bits[i >> 6] >> (i & 63) & 1) != 0;
}

inline void SetBit(Bits& bits, std::size_t i) {
  bits[i >> 6] |= std::uint64_t{1} << (i & 63);
}

// Whether none of the `length` bits from `offset` is set.
inline bool NoBitSet(const Bits& bits, std::size_t offset, std::size_t length) {
  return bits_detail::ForRange(offset, length, [&](std::size_t word, std::uint64_t mask) {
    return (bits[word] & mask) == 0;
  });
}

// Whether all of the `length` bits from `offset` are set.
inline bool AllBitsSet(const Bits& bits, std::size_t offset, std::size_t length) {
  return bits_detail::ForRange(offset, length, [&](std::size_t word, std::uint64_t mask) {
    return (bits[word] & mask) == mask;
  });
}

inline std::size_t CountBits(const Bits& bits, std::size_t offset, std::size_t length) {
  std::size_t count = 0;
  bits_detail::ForRange(offset, length, [&](std::size_t word, std::uint64_t mask) {
    count += static_cast<std::size_t>(__builtin_popcountll(bits[word] & mask));
    return true;
  });
  return count;
}

inline void SetBits(Bits& bits, std::size_t offset, std::size_t length) {
  bits_detail::ForRange(offset, length, [&](std::size_t word, std::uint64_t mask) {
    bits[word] |= mask;
    return true;
  });
}

inline void ClearBits(Bits& bits, std::size_t offset, std::size_t length) {
  bits_detail::ForRange(offset, length, [&](std::size_t word, std::uint64_t mask) {
    bits[word] &= ~mask;
    return true;
  });
}

// Sets the `length` bits from `offset` unless one of them is set already; true when it set them.
// The bits of up to 56 bytes are read and written as one unaligned 64-bit word, so the set needs
// a spare word after the last bit used.
inline bool SetBitsIfClear(Bits& bits, std::size_t offset, std::size_t length) {
  static_assert(std::endian::native == std::endian::little);
  if (length <= 56) [[likely]] {
    auto* const at = reinterpret_cast<unsigned char*>(bits.data()) + (offset >> 3);
    std::uint64_t word;
    std::memcpy(&word, at, 8);
    const std::uint64_t mask = ((std::uint64_t{1} << length) - 1) << (offset & 7);
    if ((word & mask) != 0) {
      return false;
    }
    word |= mask;
    std::memcpy(at, &word, 8);
    return true;
  }
  if (!NoBitSet(bits, offset, length)) {
    return false;
  }
  SetBits(bits, offset, length);
  return true;
}

// The same, without a branch on the outcome where the bits span at most 56 bytes: 1 when it set
// them, 0 when one was set already.
inline std::uint64_t TakeBitsIfClear(Bits& bits, std::size_t offset, std::size_t length) {
  static_assert(std::endian::native == std::endian::little);
  if (length > 56) [[unlikely]] {
    return SetBitsIfClear(bits, offset, length) ? 1 : 0;
  }
  auto* const at = reinterpret_cast<unsigned char*>(bits.data()) + (offset >> 3);
  std::uint64_t word;
  std::memcpy(&word, at, 8);
  const std::uint64_t mask = ((std::uint64_t{1} << length) - 1) << (offset & 7);
  const std::uint64_t clear = (word & mask) == 0 ? 1 : 0;
  word |= mask & (0 - clear);
  std::memcpy(at, &word, 8);
  return clear;
}

// The first set bit at or after `from` and before `end`; `end` when there is none.
inline std::size_t NextSetBit(const Bits& bits, std::size_t from, std::size_t end) {
  if (from >= end) {
    return end;
  }
  std::size_t word = from >> 6;
  std::uint64_t w = bits[word] & (~std::uint64_t{0} << (from & 63));
  while (w == 0) {
    if (++word >= (end + 63) >> 6) {
      return end;
    }
    w = bits[word];
  }
  return std::min(end, word * 64 + static_cast<std::size_t>(__builtin_ctzll(w)));
}

// The last set bit before `before`; `none` when there is none.
inline std::size_t PreviousSetBit(const Bits& bits, std::size_t before, std::size_t none) {
  if (before == 0) {
    return none;
  }
  const std::size_t last = before - 1;
  std::size_t word = last >> 6;
  std::uint64_t w = bits[word] & (~std::uint64_t{0} >> (63 - (last & 63)));
  while (w == 0) {
    if (word == 0) {
      return none;
    }
    w = bits[--word];
  }
  return word * 64 + 63 - static_cast<std::size_t>(__builtin_clzll(w));
}

// The number of bits that can tell `count` things apart.
inline unsigned BitsToCount(std::size_t count) {
  unsigned bits = 0;
  while ((std::size_t{1} << bits) < count) {
    ++bits;
  }
  return bits;
}

// Sorts keys by their bits 32 .. 32 + highBits, keeping the order of equal ones: a radix sort,
// eight bits at a time.
inline void SortByHighBits(std::vector<std::uint64_t>& keys, std::vector<std::uint64_t>& scratch,
                           unsigned highBits) {
  scratch.resize(keys.size());
  for (unsigned shift = 32; shift < 32 + highBits; shift += 8) {
    std::size_t count[257] = {};
    for (const std::uint64_t key : keys) {
      ++count[(key >> shift & 0xFF) + 1];
    }
    if (count[(keys.empty() ? 0 : (keys[0] >> shift & 0xFF)) + 1] == keys.size()) {
      continue;  // all keys agree on these bits
    }
    for (std::size_t i = 1; i < 257; ++i) {
      count[i] += count[i - 1];
    }
    for (const std::uint64_t key : keys) {
      scratch[count[key >> shift & 0xFF]++] = key;
    }
    keys.swap(scratch);
  }
}

}  // namespace gw::detail
