// Working memory of the word-by-word procedure on one piece of text when the replacement is
// empty: the piece's bytes stay where they are and deleted ones are unlinked from the chain of
// bytes still in the text, so that a word's turn costs as much as its occurrences, not the piece.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gw::detail {

struct DeletionWork {
  static constexpr std::int32_t kNil = -1;

  // An occurrence in the text as it is: its first and last byte (piece offsets; the bytes between
  // them that are still in the text are its bytes) and its word.
  struct Occurrence {
    std::int32_t first;
    std::int32_t last;
    std::uint32_t pattern;
    std::int32_t nextAtFirst;    // the next occurrence that starts at the same byte
    std::int32_t nextOfPattern;  // the next occurrence of the same word (possibly gone)
    bool present;                // false once a deletion took one of its bytes
  };

  std::vector<Occurrence> occurrences;
  std::vector<std::int32_t> next;          // per byte in the text, the next one (size at the end)
  std::vector<std::int32_t> previous;      // per byte in the text, the previous one (kNil first)
  std::vector<std::int32_t> startingAt;    // per byte, its first occurrence, kNil for none
  std::string isStart;                     // per byte '\1' when it starts a character, one more
  std::vector<std::int32_t> ofPattern;     // per word, its last added occurrence; kNil between
  std::vector<std::int32_t> turn;          // occurrences of the word taking its turn
  std::vector<std::int32_t> joins;         // bytes right before a deletion, still in the text
  std::string window;                      // the text around a join, then zero padding
  std::string windowStarts;                // character-start flags of `window`, one more
  std::vector<std::int32_t> windowOrigin;  // piece offsets of the bytes of `window`
};

}  // namespace gw::detail
