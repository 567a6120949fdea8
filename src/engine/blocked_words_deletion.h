// Working memory of the word-by-word procedure on a batch of pieces when the replacement is
// empty (see blocked_words_deletion.cpp), kept from batch to batch, and the waiting room of its
// occurrences.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace gw::detail {

// Occurrences waiting for later turns, in a bucket per library position: a turn only ever adds
// occurrences for positions after its own, so the waiting need no ordering until their position
// comes up, and then only among themselves (by first byte). A bit per position, and one per 64
// of those, find the next position with a bucket.
template <typename Pending>
class TurnBuckets {
 public:
  // Makes room for positions below `positions`; all buckets must be empty.
  void Reserve(std::size_t positions) {
    if (heads_.size() < positions) {
      heads_.assign(positions, kNoItem);
      used_.assign(positions / 64 + 1, 0);
      summary_.assign(positions / 4096 + 1, 0);
    }
  }
  void Add(std::uint32_t position, const Pending& pending) {
    if (!taken_.empty() && position <= takenPosition_) {
      // The position of the bucket being taken, or an earlier one (nothing was taken from that
      // bucket yet: the turn that adds this has ended): the bucket goes back to wait.
      returning_.swap(taken_);
      for (const Pending& waiting : returning_) {
        Add(takenPosition_, waiting);
      }
      returning_.clear();
      fromGroup_ = std::min<std::size_t>(fromGroup_, position >> 12);
    }
    const auto index = static_cast<std::uint32_t>(items_.size());
    items_.push_back({pending, heads_[position]});
    heads_[position] = index;
    used_[position >> 6] |= std::uint64_t{1} << (position & 63);
    summary_[position >> 12] |= std::uint64_t{1} << (position >> 6 & 63);
  }

  // The first waiting occurrence of the earliest position, if that position is at most `upTo`;
  // null otherwise. Once one is given, its position's bucket is being taken and gets no more.
  const Pending* Front(std::uint32_t upTo) {
    if (taken_.empty()) {
      const std::size_t position = NextPosition();
      if (position > upTo || position == kNoPosition) {
        return nullptr;
      }
      Take(static_cast<std::uint32_t>(position));
    }
    return &taken_.back();
  }
  void Pop() {
    taken_.pop_back();
    if (taken_.empty() && NextPosition() == kNoPosition) {
      items_.clear();  // every bucket is empty: the items' room starts over
      fromGroup_ = 0;
    }
  }

 private:
  static constexpr std::uint32_t kNoItem = 0xFFFFFFFFu;
  static constexpr std::size_t kNoPosition = ~std::size_t{0};
  struct Item {
    Pending pending;
    std::uint32_t next;  // the item added to the same bucket before it
  };

  // Positions only grow while buckets are taken, so the search starts at the group of the last
  // one taken.
  std::size_t NextPosition() {
    for (std::size_t group = fromGroup_; group < summary_.size(); ++group) {
      if (summary_[group] != 0) {
        const std::size_t word =
            group * 64 + static_cast<std::size_t>(__builtin_ctzll(summary_[group]));
        return word * 64 + static_cast<std::size_t>(__builtin_ctzll(used_[word]));
      }
    }
    return kNoPosition;
  }
  // Moves the bucket of `position` into taken_, the first byte last.
  void Take(std::uint32_t position) {
    for (std::uint32_t i = heads_[position]; i != kNoItem; i = items_[i].next) {
      taken_.push_back(items_[i].pending);
    }
    std::sort(taken_.begin(), taken_.end(),
              [](const Pending& a, const Pending& b) { return a.turn > b.turn; });
    heads_[position] = kNoItem;
    takenPosition_ = position;
    fromGroup_ = position >> 12;
    used_[position >> 6] &= ~(std::uint64_t{1} << (position & 63));
    if (used_[position >> 6] == 0) {
      summary_[position >> 12] &= ~(std::uint64_t{1} << (position >> 6 & 63));
    }
  }

  std::vector<std::uint32_t> heads_;    // per position: its last item, or kNoItem
  std::vector<std::uint64_t> used_;     // a bit per position with a bucket
  std::vector<std::uint64_t> summary_;  // a bit per word of used_ that is not 0
  std::vector<Item> items_;
  std::vector<Pending> taken_;  // the bucket being taken, the first byte last
  std::vector<Pending> returning_;
  std::uint32_t takenPosition_ = 0;
  std::size_t fromGroup_ = 0;
};

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
  TurnBuckets<Pending> later;               // occurrences waiting for a later turn
  std::vector<std::uint64_t> present;       // bit per byte: still in the text
  std::vector<std::uint64_t> starts;        // bit per byte: starts a character
  std::vector<std::uint32_t> joins;         // bytes right before a deletion of the current turn
  std::string window;                       // the text around a join, then zero padding
  std::string windowStarts;                 // character-start flags of `window`, one more
  std::vector<std::uint32_t> windowOrigin;  // batch offsets of the bytes around a join
  std::string around;  // the text around an occurrence that was skipped, then zero padding
};

}  // namespace gw::detail
