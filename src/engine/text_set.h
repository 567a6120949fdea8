// A set of texts that only grows, built for one question asked in order on one thread: "was this
// text taken before?". Texts are copied into large blocks, so that adding one costs a copy and
// no allocation of its own, and each comes with its hash, which callers compute beforehand
// (on other threads, where the texts are made).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace gw {

class TextSet {
 public:
  // The hash TextSet expects with each text.
  static std::uint64_t HashOf(std::string_view text);

  // Room for `texts` texts without growing the table.
  void reserve(std::size_t texts);

  // Adds `text` (whose hash is `hash`; texts are shorter than 4 GB); false when an equal text
  // is in the set already.
  bool insert(std::string_view text, std::uint64_t hash);

  // Starts loading the table entry a later insert of `hash` looks at first.
  void prefetch(std::uint64_t hash) const {
    if (!slots_.empty()) {
      __builtin_prefetch(&slots_[hash & (slots_.size() - 1)]);
    }
  }

  std::size_t size() const { return size_; }

 private:
  struct Slot {
    const char* bytes = nullptr;  // nullptr: a free slot
    std::uint32_t hashHigh = 0;   // the upper half of the hash; the lower one placed the slot
    std::uint32_t length = 0;
  };

  // A copy of `text` in the blocks; stays where it is for the life of the set.
  const char* keep(std::string_view text);
  void growTo(std::size_t slots);

  std::vector<Slot> slots_;  // open addressing, a power of two in size, at most 3/4 full
  std::size_t size_ = 0;
  std::vector<std::unique_ptr<char[]>> blocks_;
  std::size_t blockUsed_ = 0;
  std::size_t blockSize_ = 0;
};

}  // namespace gw
