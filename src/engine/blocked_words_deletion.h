// Working memory of the word-by-word procedure on a batch of pieces when the replacement is
// empty (see blocked_words_deletion.cpp), kept from batch to batch.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gw::detail {

struct DeletionWork {
  // An occurrence waiting for its turn: the library position of the turn and its first byte
  // (batch offset), which order the waiting; its last byte (the bytes between the two that are
  // still in the text are its bytes) and its word.
  struct Pending {
    std::uint64_t turn;  // position << 32 | first
    std::uint64_t what;  // last << 32 | word
    std::uint32_t position() const { return static_cast<std::uint32_t>(turn >> 32); }
    std::uint32_t first() const { return static_cast<std::uint32_t>(turn); }
    std::uint32_t last() const { return static_cast<std::uint32_t>(what >> 32); }
    std::uint32_t pattern() const { return static_cast<std::uint32_t>(what); }
  };
  static Pending MakePending(std::uint32_t position, std::uint32_t first, std::uint32_t last,
                             std::uint32_t pattern) {
    return {std::uint64_t{position} << 32 | first, std::uint64_t{last} << 32 | pattern};
  }

  std::vector<std::uint64_t> keys;  // occurrences of the original batch: word << 32 | start
  std::vector<std::uint64_t> scratch;
  std::vector<Pending> later;               // a min-heap of occurrences found across joins
  std::vector<std::uint64_t> present;       // bit per byte: still in the text
  std::vector<std::uint64_t> starts;        // bit per byte: starts a character
  std::vector<std::uint32_t> joins;         // bytes right before a deletion of the current turn
  std::string window;                       // the text around a join, then zero padding
  std::string windowStarts;                 // character-start flags of `window`, one more
  std::vector<std::uint32_t> windowOrigin;  // batch offsets of the bytes of `window`
};

}  // namespace gw::detail
