// The words of a blocked-word library in a two-level trie, and the scan that finds every
// occurrence of every word that starts and ends on a character boundary.
//
// The first level is keyed by up to four bytes at once: hash tables hold every word of two or
// three bytes whole, and the first four bytes of every longer word. Below a four-byte key hang
// the words that start with it, whose remaining bytes are compared eight at a time. Words of one
// byte have a table of their own. An exact bit set of the first two bytes of every word rejects
// most positions at once; at the others, hashed bit sets for three-byte keys (one look-up for
// both the words of three bytes and the beginnings of the longer ones) and for four-byte keys
// spare most table look-ups that would find nothing.
//
// The scan visits character starts only, taken from a bit mask of the whole text; the same mask
// says whether an occurrence ends on a character boundary.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "engine/blocked_words_boundaries.h"

namespace gw::detail {

class WordTrie {
 public:
  static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

  // Words must be distinct and not empty; their positions in the list are their ids.
  explicit WordTrie(const std::vector<std::string_view>& words);

  std::size_t wordCount() const { return wordLength_.size(); }
  std::size_t wordLength(std::uint32_t word) const { return wordLength_[word]; }
  std::size_t longestWord() const { return longest_; }

  // Calls report(start, end, word) for every occurrence in `text` that starts and ends on a
  // character boundary (characters read from the start of `text`), in order of start.
  template <typename Report>
  void Scan(std::string_view text, Report&& report) const {
    Scan(text, CharStartMask(text), report);
  }

  // The same with the character starts of `text` already at hand.
  template <typename Report>
  void Scan(std::string_view text, const std::vector<std::uint64_t>& starts,
            Report&& report) const {
    if (wordLength_.empty()) {
      return;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    // Blocks whose positions can all load kPad bytes straight from the text; the rest read a
    // zero-padded copy of the text's end (a match is only taken where the word fits the text).
    const std::size_t safeBlocks = size >= 64 + kPad ? (size - kPad) / 64 : 0;
    // The pair test is done a batch of blocks at a time where the processor allows it.
    std::uint64_t pairMasks[kBatchBlocks];
    std::size_t block = 0;
    while (block < safeBlocks) {
      const std::size_t count = std::min(kBatchBlocks, safeBlocks - block);
      if (!MarkStartPairs(bytes + block * 64, count, pairMasks)) {
        break;
      }
      for (std::size_t k = 0; k < count; ++k, ++block) {
        ScanBlock<false>(bytes, size, block * 64, starts[block] & pairMasks[k], starts, 0, bytes,
                         report);
      }
    }
    for (; block < safeBlocks; ++block) {
      ScanBlock<true>(bytes, size, block * 64, starts[block], starts, 0, bytes, report);
    }
    if (block * 64 >= size) {
      return;
    }
    const std::size_t from = block * 64;
    unsigned char end[64 + 2 * kPad] = {};  // size - from < 64 + kPad
    std::copy(bytes + from, bytes + size, end);
    for (; block * 64 < size; ++block) {
      std::uint64_t candidates = starts[block];
      if (block * 64 + 64 > size) {
        candidates &= ~std::uint64_t{0} >> (64 - (size - block * 64));
      }
      ScanBlock<true>(bytes, size, block * 64, candidates, starts, from, end, report);
    }
  }

 private:
  static constexpr std::size_t kBatchBlocks = 64;

  // Bit j of masks[k] for k < blocks: the two bytes at 64 * k + j start some word (see
  // startPairs_). Reads 64 * blocks + 9 bytes. False when the processor lacks the instructions
  // that make this worth doing; the scan then tests each position itself.
  bool MarkStartPairs(const unsigned char* bytes, std::size_t blocks, std::uint64_t* masks) const;

  // Reports the occurrences at the character starts `candidates` of the 64 bytes at `base`,
  // reading the bytes at offset `at` from `window + (at - windowStart)`; unless `testPairs`,
  // the candidates have passed the pair test already.
  template <bool testPairs, typename Report>
  void ScanBlock(const unsigned char* bytes, std::size_t size, std::size_t base,
                 std::uint64_t candidates, const std::vector<std::uint64_t>& starts,
                 std::size_t windowStart, const unsigned char* window, Report& report) const {
    const auto boundary = [&](std::size_t offset) { return IsCharBoundary(starts, offset); };
    while (candidates != 0) {
      const std::size_t at = base + static_cast<std::size_t>(__builtin_ctzll(candidates));
      candidates &= candidates - 1;
      MatchAt<testPairs>(bytes, size, at, window + (at - windowStart), boundary, report);
    }
  }

 public:
  // Reports the occurrences that start at character start `at` of the text `bytes` (`size`
  // bytes), whose bytes from `at` on can be read, 16 of them at least, at `p`;
  // boundary(offset) says whether offset is a character boundary. Unless `testPairs`, the
  // position has passed the pair test already.
  template <bool testPairs, typename Boundary, typename Report>
  void MatchAt(const unsigned char* bytes, std::size_t size, std::size_t at, const unsigned char* p,
               const Boundary& boundary, Report& report) const {
    std::uint16_t pair;
    std::memcpy(&pair, p, 2);
    if (testPairs && (startPairs_[pair >> 6] >> (pair & 63) & 1) == 0) [[likely]] {
      return;
    }
    const unsigned kinds = pairKinds_[pair];
    const std::size_t left = size - at;
    if ((kinds & kOne) != 0 && boundary(at + 1)) {
      report(at, at + 1, oneByteWord_[pair & 0xFF]);
    }
    if ((kinds & kTwo) != 0 && left >= 2 && boundary(at + 2)) {
      report(at, at + 2, twoBytes_.Find(pair));
    }
    if ((kinds & (kThree | kLonger)) == 0 || left < 3) {
      return;
    }
    std::uint32_t head;
    std::memcpy(&head, p, 4);
    // One look-up in the filter of three-byte keys tells both whether a three-byte word and
    // whether a longer word may start here; at most places neither does.
    const std::uint32_t slot = Hash(head & 0xFFFFFF) >> filter3Shift_;
    const unsigned possible =
        static_cast<unsigned>(filter3_[slot >> 5] >> ((slot & 31) << 1)) & kinds >> 2 & 3;
    if (possible == 0) [[likely]] {
      return;
    }
    if ((possible & 1) != 0 && boundary(at + 3)) {
      const std::uint32_t word = threeBytes_.Find(head & 0xFFFFFF);
      if (word != kNone) {
        report(at, at + 3, word);
      }
    }
    if ((possible & 2) == 0 || left < 4 || !Test(filter4_, Hash(head) >> filter4Shift_)) {
      return;
    }
    const std::uint32_t first = fourBytes_.Find(head);
    if (first == kNone) {
      return;
    }
    std::uint64_t next;
    std::memcpy(&next, p + 4, 8);
    for (const Tail* t = &tails_[first]; t->length != 0; ++t) {
      if (((next ^ t->bytes) & t->mask) == 0 && t->length <= left &&
          (t->length <= 12 || RestMatches(bytes + at, t->word)) && boundary(at + t->length)) {
        report(at, at + t->length, t->word);
      }
    }
  }

 private:
  // What starts with a pair of bytes b0 b1: b0 is a word, b0 b1 is a word, some three-byte
  // word, some longer word.
  static constexpr unsigned char kOne = 1, kTwo = 2, kThree = 4, kLonger = 8;
  static_assert(kThree >> 2 == 1 && kLonger >> 2 == 2, "the three-byte filter's two bits");
  static constexpr std::size_t kPad = 16;

  // Open addressing from up to four key bytes to a value; kNone values mark free slots.
  class Table {
   public:
    void Reserve(std::size_t keys);
    void Set(std::uint32_t key, std::uint32_t value);
    std::uint32_t Find(std::uint32_t key) const {
      std::size_t i = Hash(key) >> shift_;
      while (true) {
        const Slot& slot = slots_[i];
        if (slot.key == key || slot.value == kNone) {
          return slot.value;
        }
        i = (i + 1) & (slots_.size() - 1);
      }
    }

   private:
    struct Slot {
      std::uint32_t key;
      std::uint32_t value;
    };
    std::vector<Slot> slots_;
    unsigned shift_ = 32;
  };
  // A word of four bytes or more under its first four: bytes 4..11 (as far as the word goes) and
  // the mask of those. Lists end with an entry of length 0.
  struct Tail {
    std::uint64_t bytes;
    std::uint64_t mask;
    std::uint32_t length;
    std::uint32_t word;
  };

  static std::uint32_t Hash(std::uint32_t x) { return x * 0x9E3779B1u; }
  static bool Test(const std::vector<std::uint64_t>& bits, std::uint32_t bit) {
    return (bits[bit >> 6] >> (bit & 63) & 1) != 0;
  }

  // Bytes 12.. of the word against the text at `at`; the caller has checked that it fits.
  bool RestMatches(const unsigned char* at, std::uint32_t word) const {
    return std::memcmp(at + 12, words_[word].data() + 12, wordLength_[word] - 12) == 0;
  }

  std::vector<std::string> words_;
  std::vector<std::uint32_t> wordLength_;
  std::size_t longest_ = 0;
  std::uint32_t oneByteWord_[256];
  Table twoBytes_;    // two-byte words
  Table threeBytes_;  // three-byte words
  Table fourBytes_;   // first four bytes of the longer words -> their list in tails_
  std::vector<Tail> tails_;
  // Bit (b1 << 8 | b0): some word starts with b0 b1, or is b0; pairKinds_ says which.
  std::vector<std::uint64_t> startPairs_;
  std::vector<unsigned char> pairKinds_;
  // Two bits per three-byte key hashed to filter3Shift_ bits: the low one for the three-byte
  // words, the high one for the first three bytes of the longer words (kThree and kLonger
  // shifted down by two).
  std::vector<std::uint64_t> filter3_;
  std::vector<std::uint64_t> filter4_;  // first four bytes of the longer words, hashed
  unsigned filter3Shift_ = 32;
  unsigned filter4Shift_ = 32;
};

}  // namespace gw::detail
