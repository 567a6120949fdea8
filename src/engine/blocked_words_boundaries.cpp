#include "engine/blocked_words_boundaries.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace gw::detail {

namespace {

// Bit j set when byte j of the 64 bytes at `p` leads a double-byte character wherever a
// character starts there: a byte of 0x81 or above (0x80 is a character of its own).
std::uint64_t LeadingBytes(const unsigned char* p) {
#if defined(__SSE2__)
  std::uint64_t mask = 0;
  const __m128i euro = _mm_set1_epi8(static_cast<char>(0x80));
  for (int k = 0; k < 4; ++k) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
    const unsigned high = static_cast<unsigned>(_mm_movemask_epi8(v)) & 0xFFFFu;
    const unsigned alone =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, euro))) & 0xFFFFu;
    mask |= static_cast<std::uint64_t>(high & ~alone) << (16 * k);
  }
  return mask;
#else
  std::uint64_t mask = 0;
  for (int k = 0; k < 8; ++k) {
    std::uint64_t w;
    std::memcpy(&w, p + 8 * k, 8);
    // Top bit of each byte: set for 0x80 and above; the low seven bits of 0x80 are all zero, so
    // adding 0x7F to them sets the top bit exactly for the bytes above 0x80.
    const std::uint64_t above =
        w & ((w & 0x7F7F7F7F7F7F7F7FULL) + 0x7F7F7F7F7F7F7F7FULL) & 0x8080808080808080ULL;
    // Gathers the top bit of each of the 8 bytes into the top byte, lowest address lowest.
    const std::uint64_t bits = (above >> 7) * 0x0102040810204080ULL >> 56;
    mask |= bits << (8 * k);
  }
  return mask;
#endif
}

// Trail bytes among 64 bytes whose leading bytes are `high`: a byte is a trail when the run of
// leading bytes that ends just before it, counted from the run's first character start, has odd
// length.
// `carry` is 1 when the first byte is the trail of the previous block's last byte; on return it
// says the same of the next block. Runs are resolved all at once by letting the additions of
// the odd-started runs carry across them.
std::uint64_t TrailBytes(std::uint64_t high, std::uint64_t& carry) {
  constexpr std::uint64_t kEven = 0x5555555555555555ULL;
  const std::uint64_t leads = high & ~carry;  // a high trail byte leads nothing
  const std::uint64_t followsLead = leads << 1 | carry;
  const std::uint64_t oddStarts = leads & ~kEven & ~followsLead;
  std::uint64_t evenStarted = 0;
  carry = __builtin_add_overflow(oddStarts, leads, &evenStarted) ? 1 : 0;
  const std::uint64_t invert = evenStarted << 1;
  return (kEven ^ invert) & followsLead;
}

}  // namespace

std::vector<std::uint64_t> CharStartMask(std::string_view text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
  std::vector<std::uint64_t> mask(size / 64 + 1, 0);
  std::uint64_t carry = 0;
  std::size_t block = 0;
  for (; (block + 1) * 64 <= size; ++block) {
    mask[block] = ~TrailBytes(LeadingBytes(bytes + block * 64), carry);
  }
  // The last, partial block through a zero-padded copy; the padding bytes are never trails of a
  // text byte except the one right after a final lone lead byte, which is the end.
  const std::size_t rest = size - block * 64;
  unsigned char last[64] = {};
  std::memcpy(last, bytes + block * 64, rest);
  std::uint64_t starts = ~TrailBytes(LeadingBytes(last), carry);
  const std::uint64_t inText = rest == 0 ? 0 : (~std::uint64_t{0} >> (64 - rest));
  starts &= inText;
  starts |= std::uint64_t{1} << rest;  // the end of the text
  mask[block] = starts;
  return mask;
}

}  // namespace gw::detail
