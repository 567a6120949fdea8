// The words of a blocked-word library in one byte trie, and the scan that finds every occurrence
// of every word that starts and ends on a character boundary.
//
// The scan visits character starts only. A table of the first two bytes of all words (8 KB, so
// it stays in the first-level cache) rejects most positions at once; at the others the trie is
// walked from the root. Walks at different positions do not depend on each other, so the
// processor overlaps their memory accesses, and the shallow nodes, where walks spend their time,
// have full rows over byte classes (bytes that occur in no word share one class).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "text/gbk_chars.h"

namespace gw::detail {

class WordTrie {
 public:
  static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

  // Words must be distinct and not empty; their positions in the list are their ids.
  explicit WordTrie(const std::vector<std::string_view>& words);

  std::size_t wordLength(std::uint32_t word) const { return wordLength_[word]; }

  // Calls report(start, end, word) for every occurrence in `text` that starts and ends on a
  // character boundary (characters read from the start of `text`), in order of start, shorter
  // words first at one start.
  template <typename Report>
  void Scan(std::string_view text, Report&& report) const {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    std::size_t i = 0;
    for (; i + 1 < size;) {
      const unsigned char lead = bytes[i];
      const unsigned pair = (static_cast<unsigned>(lead) << 8) | bytes[i + 1];
      if ((startPairs_[pair >> 6] >> (pair & 63) & 1) != 0) [[unlikely]] {
        Walk(bytes, size, i, report);
      }
      i += lead >= 0x80 ? 2 : 1;
    }
    if (i < size) {
      Walk(bytes, size, i, report);
    }
  }

 private:
  struct Node {
    std::uint32_t firstChild;  // children are consecutive, by byte
    std::uint32_t terminal;    // the word ending here, or kNone
    std::uint16_t childCount;
    unsigned char label;  // the byte on the edge into the node
  };

  std::uint32_t Child(std::uint32_t node, unsigned char byte) const {
    if (node < denseNodes_) {
      return dense_[static_cast<std::size_t>(node) * classCount_ + byteClass_[byte]];
    }
    const Node& n = nodes_[node];
    const std::uint32_t end = n.firstChild + n.childCount;
    for (std::uint32_t child = n.firstChild; child < end; ++child) {
      if (labels_[child] == byte) {
        return child;
      }
    }
    return kNone;
  }

  // Follows the trie from character start `start`, tracking the character boundaries on the way.
  // The first two bytes go through the pair table.
  template <typename Report>
  void Walk(const unsigned char* bytes, std::size_t size, std::size_t start, Report& report) const {
    const unsigned char lead = bytes[start];
    const bool twoByteChar = lead >= 0x80 && start + 1 < size;
    if (!twoByteChar && oneByteWord_[lead] != kNone) {
      report(start, start + 1, oneByteWord_[lead]);
    }
    if (start + 1 >= size) {
      return;
    }
    std::uint32_t node = pairNode_[static_cast<unsigned>(lead) << 8 | bytes[start + 1]];
    if (node == kNone) {
      return;
    }
    std::size_t at = start + 2;
    std::size_t boundary = at;
    if (!twoByteChar) {
      boundary = (bytes[start + 1] >= 0x80 && start + 2 < size) ? start + 3 : start + 2;
    }
    while (true) {
      if (nodes_[node].terminal != kNone && at == boundary) {
        report(start, at, nodes_[node].terminal);
      }
      if (at >= size) {
        return;
      }
      node = Child(node, bytes[at]);
      if (node == kNone) {
        return;
      }
      if (at == boundary) {
        boundary += (bytes[at] >= 0x80 && at + 1 < size) ? 2 : 1;
      }
      ++at;
    }
  }

  std::vector<std::uint32_t> wordLength_;
  // Numbered breadth first, so that children are consecutive and shallow nodes come first.
  std::vector<Node> nodes_;
  std::vector<unsigned char> labels_;  // labels_[node] == nodes_[node].label, packed for searching
  std::uint32_t oneByteWord_[256];     // the word made of just that byte, or kNone
  std::vector<std::uint32_t> pairNode_;  // node reached by two bytes b0 b1, at (b0 << 8 | b1)
  // Full child rows (kNone for no child) for nodes [0, denseNodes_).
  unsigned char byteClass_[256] = {};
  std::size_t classCount_ = 1;
  std::uint32_t denseNodes_ = 0;
  std::vector<std::uint32_t> dense_;
  // Bit (b0 << 8 | b1): some word starts with bytes b0 b1, or is the single byte b0.
  std::vector<std::uint64_t> startPairs_;
};

}  // namespace gw::detail
