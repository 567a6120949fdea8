// A multi-pattern byte matcher (Aho-Corasick). One pass over a text reports every occurrence of
// every pattern, overlapping ones included.
//
// Layout: states are numbered breadth first, so the children of a state have consecutive numbers
// (sorted by byte) and every state is deeper than its failure state. The shallow states, where a
// scan spends most of its time, get full transition rows over byte classes (bytes that occur in no
// pattern share one class); deeper states keep only their own edges and fall back along failure
// links. This keeps large dictionaries (tens of thousands of words) small in memory while the hot
// part of the table stays in cache.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace gw {

class AhoCorasick {
 public:
  using State = std::uint32_t;
  static constexpr State kRoot = 0;
  // Set in a state returned by Next when at least one pattern ends there.
  static constexpr State kHasMatch = 0x80000000u;
  static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

  // An automaton without patterns: it never matches.
  AhoCorasick() : AhoCorasick(std::vector<std::string_view>{}) {}
  // Patterns must be distinct and not empty; their positions in the list are their ids.
  explicit AhoCorasick(const std::vector<std::string_view>& patterns);

  std::size_t patternCount() const { return patternLength_.size(); }
  std::size_t patternLength(std::uint32_t pattern) const { return patternLength_[pattern]; }
  std::size_t maxPatternLength() const { return maxPatternLength_; }

  // The state after reading `byte` in `state`. `state` may carry kHasMatch; the result carries
  // it when some pattern ends at the new state.
  State Next(State state, unsigned char byte) const {
    state &= ~kHasMatch;
    while (true) {
      if (state < denseStates_) {
        return dense_[static_cast<std::size_t>(state) * classCount_ + byteClass_[byte]];
      }
      const std::uint32_t first = firstChild_[state];
      const std::uint32_t end = first + childCount_[state];
      for (std::uint32_t child = first; child < end; ++child) {
        if (label_[child] == byte) {
          return child | matchFlag_[child];
        }
      }
      state = fail_[state];
    }
  }

  // Calls visit(patternId) for every pattern that ends at `state` (longest first).
  template <typename Visitor>
  void ForEachMatch(State state, Visitor&& visit) const {
    for (std::uint32_t s = output_[state & ~kHasMatch]; s != kNone; s = outputLink_[s]) {
      visit(terminal_[s]);
    }
  }

 private:
  std::uint32_t ChildByByte(std::uint32_t state, unsigned char byte) const;

  std::vector<std::uint32_t> patternLength_;
  std::size_t maxPatternLength_ = 0;

  // Per state.
  std::vector<std::uint32_t> firstChild_;
  std::vector<std::uint32_t> childCount_;
  std::vector<unsigned char> label_;  // the byte on the edge into the state
  std::vector<std::uint32_t> fail_;
  std::vector<std::uint32_t> terminal_;    // pattern ending exactly here, or kNone
  std::vector<std::uint32_t> output_;      // first state of the output chain, or kNone
  std::vector<std::uint32_t> outputLink_;  // next terminal state along the failure chain
  std::vector<State> matchFlag_;           // kHasMatch or 0

  // Full rows for states [0, denseStates_).
  unsigned char byteClass_[256] = {};
  std::size_t classCount_ = 1;
  std::uint32_t denseStates_ = 0;
  std::vector<State> dense_;
};

}  // namespace gw
