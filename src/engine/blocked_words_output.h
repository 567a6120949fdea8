// Where the filter puts the filtered text of one part: appended to a string, or written back over
// the part's own bytes.
//
// Writing back is for filters whose output is never longer than what they have read: deletions,
// or a replacement no longer than any word it replaces. The filter still appends to a string,
// which then only stages the output: once enough is staged it moves down over bytes of the part
// that have been read already, and the string starts again. The filtered part never
// needs memory of its size, which on a large text spares both the memory and the cost of touching
// it for the first time.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

namespace gw::detail {

class PartOutput {
 public:
  // The output is appended to `out`.
  explicit PartOutput(std::string& out) : staged_(out) {}
  // Small enough for the stage to come from the heap, and to be used again by the next part.
  static constexpr std::size_t kStagedBytes = std::size_t{256} << 10;
  // Room to make for the stage up front.
  static constexpr std::size_t kStagedRoom = 2 * kStagedBytes;

  // The output goes over the part that starts at `part`, through `stage`, which is emptied each
  // time it holds `stagedBytes` bytes.
  PartOutput(std::string& stage, char* part, std::size_t stagedBytes)
      : staged_(stage), part_(part), stagedBytes_(stagedBytes) {}

  bool inPlace() const { return part_ != nullptr; }
  // The string the filter appends to.
  std::string& staged() { return staged_; }

  // Called when the first `length` staged bytes are final and the filter has read every byte of
  // the part that they come from. Moves them out when writing back and enough are staged; true
  // when it did, and the filter then goes on with those bytes gone from the stage.
  bool Drain(std::size_t length) {
    if (part_ == nullptr || length < stagedBytes_) {
      return false;
    }
    Move(length);
    return true;
  }

  // Writing back, a stretch of the part that the filter leaves as it is, if it is at least as long
  // as what is staged at most, goes straight to its place, after the first `length` staged bytes,
  // which are final and go first; true when it did, and the filter then goes on with an empty
  // stage. `stretch` lies in the part, right after every byte the filter has read.
  bool PassOn(std::size_t length, const char* stretch, std::size_t size) {
    if (part_ == nullptr || size < stagedBytes_) {
      return false;
    }
    Move(length);
    std::memmove(part_ + written_, stretch, size);
    written_ += size;
    return true;
  }

  // Writing back: moves out the rest of the stage, `length` bytes, and gives the length of the
  // filtered part.
  std::size_t Finish(std::size_t length) {
    Move(length);
    staged_.clear();
    return written_;
  }

 private:
  void Move(std::size_t length) {
    std::memmove(part_ + written_, staged_.data(), length);
    written_ += length;
  }

  std::string& staged_;
  char* part_ = nullptr;
  std::size_t stagedBytes_ = kStagedBytes;
  std::size_t written_ = 0;
};

}  // namespace gw::detail
