#include "engine/blocked_words_trie.h"

#include <algorithm>
#include <bit>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define GW_HAVE_AVX2_PATH 1
#endif

namespace gw::detail {

// Word bytes and text bytes are compared as little-endian integers.
static_assert(std::endian::native == std::endian::little);

namespace {

std::uint32_t LoadUpTo4(std::string_view bytes) {
  std::uint32_t value = 0;
  std::memcpy(&value, bytes.data(), std::min<std::size_t>(4, bytes.size()));
  return value;
}

void SetBit(std::vector<std::uint64_t>& bits, std::uint32_t bit) {
  bits[bit >> 6] |= std::uint64_t{1} << (bit & 63);
}

#ifdef GW_HAVE_AVX2_PATH
// Eight positions per gather: the pair at each position indexes the bit set, seen as 32-bit
// words; the bit is shifted to the top of its lane and the lane tops collected.
__attribute__((target("avx2"))) void MarkStartPairsAvx2(const unsigned char* bytes,
                                                        std::size_t blocks,
                                                        const std::uint64_t* pairs,
                                                        std::uint64_t* masks) {
  const auto* words = reinterpret_cast<const int*>(pairs);
  const __m256i low5 = _mm256_set1_epi32(31);
  for (std::size_t k = 0; k < blocks; ++k) {
    const unsigned char* p = bytes + 64 * k;
    std::uint64_t mask = 0;
    for (int j = 0; j < 64; j += 8) {
      const __m256i first =
          _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + j)));
      const __m256i second =
          _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + j + 1)));
      const __m256i pair = _mm256_or_si256(first, _mm256_slli_epi32(second, 8));
      const __m256i word = _mm256_i32gather_epi32(words, _mm256_srli_epi32(pair, 5), 4);
      const __m256i top =
          _mm256_sllv_epi32(word, _mm256_sub_epi32(low5, _mm256_and_si256(pair, low5)));
      const auto bits = static_cast<unsigned>(_mm256_movemask_ps(_mm256_castsi256_ps(top)));
      mask |= static_cast<std::uint64_t>(bits) << j;
    }
    masks[k] = mask;
  }
}

const bool kHaveAvx2 = __builtin_cpu_supports("avx2");
#endif

}  // namespace

bool WordTrie::MarkStartPairs(const unsigned char* bytes, std::size_t blocks,
                              std::uint64_t* masks) const {
#ifdef GW_HAVE_AVX2_PATH
  if (kHaveAvx2) {
    MarkStartPairsAvx2(bytes, blocks, startPairs_.data(), masks);
    return true;
  }
#endif
  (void)bytes;
  (void)blocks;
  (void)masks;
  return false;
}

// Bit count for a hashed filter of `keys` keys: about 16 bits a key, so that few positions pass
// by accident, within 2^10 .. 2^20 bits.
unsigned FilterShift(std::size_t keys) {
  unsigned bits = 10;
  while (bits < 20 && (std::size_t{1} << bits) < 16 * keys) {
    ++bits;
  }
  return 32 - bits;
}

void WordTrie::Table::Reserve(std::size_t keys) {
  // At most half full keeps probe runs short.
  std::size_t capacity = 2;
  while (capacity < 2 * keys) {
    capacity *= 2;
  }
  slots_.assign(capacity, Slot{0, kNone});
  shift_ = 32 - static_cast<unsigned>(__builtin_ctzll(capacity));
}

void WordTrie::Table::Set(std::uint32_t key, std::uint32_t value) {
  std::size_t i = Hash(key) >> shift_;
  while (slots_[i].key != key && slots_[i].value != kNone) {
    i = (i + 1) & (slots_.size() - 1);
  }
  slots_[i] = Slot{key, value};
}

WordTrie::WordTrie(const std::vector<std::string_view>& words) {
  words_.assign(words.begin(), words.end());
  wordLength_.resize(words.size());
  std::size_t count[5] = {};
  for (std::size_t i = 0; i < words.size(); ++i) {
    wordLength_[i] = static_cast<std::uint32_t>(words[i].size());
    longest_ = std::max(longest_, words[i].size());
    ++count[std::min<std::size_t>(4, words[i].size())];
  }
  std::fill(std::begin(oneByteWord_), std::end(oneByteWord_), kNone);
  startPairs_.assign((std::size_t{1} << 16) / 64, 0);
  pairKinds_.assign(std::size_t{1} << 16, 0);
  filter3Shift_ = FilterShift(count[3] + count[4]);
  filter4Shift_ = FilterShift(count[4]);
  filter3_.assign((std::size_t{2} << (32 - filter3Shift_)) / 64 + 1, 0);
  filter4_.assign((std::size_t{1} << (32 - filter4Shift_)) / 64 + 1, 0);
  twoBytes_.Reserve(count[2]);
  threeBytes_.Reserve(count[3]);
  fourBytes_.Reserve(count[4]);

  // Words of four bytes or more grouped under their first four bytes: (head << 32 | id).
  std::vector<std::uint64_t> longer;
  for (std::uint32_t id = 0; id < words.size(); ++id) {
    const std::string_view word = words[id];
    const std::uint32_t head = LoadUpTo4(word);
    const std::uint32_t pair = head & 0xFFFF;
    if (word.size() == 1) {
      for (std::uint32_t second = 0; second < 256; ++second) {
        SetBit(startPairs_, second << 8 | pair);
        pairKinds_[second << 8 | pair] |= kOne;
      }
    } else {
      SetBit(startPairs_, pair);
      pairKinds_[pair] |= word.size() == 2 ? kTwo : word.size() == 3 ? kThree : kLonger;
    }
    switch (word.size()) {
      case 1:
        oneByteWord_[static_cast<unsigned char>(word[0])] = id;
        break;
      case 2:
        twoBytes_.Set(head, id);
        break;
      case 3:
        SetBit(filter3_, 2 * (Hash(head) >> filter3Shift_));
        threeBytes_.Set(head, id);
        break;
      default:
        SetBit(filter3_, 2 * (Hash(head & 0xFFFFFF) >> filter3Shift_) + 1);
        SetBit(filter4_, Hash(head) >> filter4Shift_);
        longer.push_back(std::uint64_t{head} << 32 | id);
    }
  }
  std::sort(longer.begin(), longer.end());
  for (std::size_t i = 0; i < longer.size(); ++i) {
    const auto id = static_cast<std::uint32_t>(longer[i] & 0xFFFFFFFFu);
    const std::string_view word = words[id];
    const auto head = static_cast<std::uint32_t>(longer[i] >> 32);
    if (i == 0 || (longer[i - 1] >> 32) != head) {
      if (i != 0) {
        tails_.push_back(Tail{0, 0, 0, kNone});
      }
      fourBytes_.Set(head, static_cast<std::uint32_t>(tails_.size()));
    }
    Tail tail{0, 0, static_cast<std::uint32_t>(word.size()), id};
    const std::size_t known = std::min<std::size_t>(8, word.size() - 4);
    std::memcpy(&tail.bytes, word.data() + 4, known);
    tail.mask = known == 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * known)) - 1;
    tails_.push_back(tail);
  }
  tails_.push_back(Tail{0, 0, 0, kNone});
}

}  // namespace gw::detail
