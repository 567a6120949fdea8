// The turns of the word-by-word procedure on one piece of text, in library order: a turn is a
// library position and the distinct word found there (library position << 32 | word).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace gw::detail {

class TurnQueue {
 public:
  // Forgets all turns; the memory is kept for the next piece.
  void Clear() {
    initial_.clear();
    later_.clear();
    nextInitial_ = 0;
    previous_ = ~std::uint64_t{0};
  }
  // Turns known before the first one is taken, in any order; Start() sorts them.
  void AddInitial(std::uint32_t position, std::uint32_t word) {
    initial_.push_back(std::uint64_t{position} << 32 | word);
  }
  void Start() { std::sort(initial_.begin(), initial_.end()); }
  // A turn found while taking others; its position lies after the turn being taken.
  void Add(std::uint32_t position, std::uint32_t word) {
    later_.push_back(std::uint64_t{position} << 32 | word);
    std::push_heap(later_.begin(), later_.end(), std::greater<>());
  }
  // The next turn not taken yet (a turn added twice is taken once); false when none is left.
  bool Next(std::uint32_t& position, std::uint32_t& word) {
    while (nextInitial_ < initial_.size() || !later_.empty()) {
      std::uint64_t turn;
      if (later_.empty() ||
          (nextInitial_ < initial_.size() && initial_[nextInitial_] < later_.front())) {
        turn = initial_[nextInitial_++];
      } else {
        std::pop_heap(later_.begin(), later_.end(), std::greater<>());
        turn = later_.back();
        later_.pop_back();
      }
      if (turn == previous_) {
        continue;
      }
      previous_ = turn;
      position = static_cast<std::uint32_t>(turn >> 32);
      word = static_cast<std::uint32_t>(turn & 0xFFFFFFFFu);
      return true;
    }
    return false;
  }

 private:
  std::vector<std::uint64_t> initial_;  // sorted once started
  std::vector<std::uint64_t> later_;    // a min-heap
  std::size_t nextInitial_ = 0;
  std::uint64_t previous_ = ~std::uint64_t{0};
};

}  // namespace gw::detail
