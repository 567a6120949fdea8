#include "engine/blocked_words_trie.h"

#include <algorithm>
#include <numeric>

namespace gw::detail {

namespace {

// Memory for the full rows of the shallow nodes; small enough to stay in the second-level cache.
constexpr std::size_t kDenseBudgetBytes = std::size_t{512} << 10;

bool ByteLess(char x, char y) {
  return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
}

}  // namespace

WordTrie::WordTrie(const std::vector<std::string_view>& words) {
  wordLength_.resize(words.size());
  for (std::size_t i = 0; i < words.size(); ++i) {
    wordLength_[i] = static_cast<std::uint32_t>(words[i].size());
  }

  // The trie, built from the words in byte order, so that the children of every node are created
  // in increasing byte order.
  std::vector<std::uint32_t> order(words.size());
  std::iota(order.begin(), order.end(), 0u);
  std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
    return std::lexicographical_compare(words[a].begin(), words[a].end(), words[b].begin(),
                                        words[b].end(), ByteLess);
  });
  std::vector<std::uint32_t> parent{kNone};
  std::vector<unsigned char> label{0};
  std::vector<std::uint32_t> terminal{kNone};
  std::vector<std::uint32_t> path{0};  // path[d]: the node of depth d on the previous word
  std::string_view previous;
  for (const std::uint32_t id : order) {
    const std::string_view word = words[id];
    std::size_t common = 0;
    while (common < word.size() && common < previous.size() && word[common] == previous[common]) {
      ++common;
    }
    path.resize(common + 1);
    for (std::size_t d = common; d < word.size(); ++d) {
      parent.push_back(path[d]);
      label.push_back(static_cast<unsigned char>(word[d]));
      terminal.push_back(kNone);
      path.push_back(static_cast<std::uint32_t>(parent.size() - 1));
    }
    terminal[path[word.size()]] = id;
    previous = word;
  }
  const std::size_t nodes = parent.size();

  // Children in creation order (which is byte order), then breadth-first numbering.
  std::vector<std::uint32_t> childStart(nodes + 1, 0);
  for (std::size_t node = 1; node < nodes; ++node) {
    ++childStart[parent[node] + 1];
  }
  std::partial_sum(childStart.begin(), childStart.end(), childStart.begin());
  std::vector<std::uint32_t> children(nodes - 1);
  {
    std::vector<std::uint32_t> fill(childStart.begin(), childStart.end() - 1);
    for (std::size_t node = 1; node < nodes; ++node) {
      children[fill[parent[node]]++] = static_cast<std::uint32_t>(node);
    }
  }
  std::vector<std::uint32_t> bfs{0};
  bfs.reserve(nodes);
  nodes_.assign(nodes, Node{0, kNone, 0, 0});
  labels_.assign(nodes, 0);
  for (std::size_t next = 0; next < bfs.size(); ++next) {
    const std::uint32_t old = bfs[next];
    nodes_[next].firstChild = static_cast<std::uint32_t>(bfs.size());
    nodes_[next].childCount = static_cast<std::uint16_t>(childStart[old + 1] - childStart[old]);
    nodes_[next].terminal = terminal[old];
    nodes_[next].label = label[old];
    labels_[next] = label[old];
    for (std::uint32_t k = childStart[old]; k < childStart[old + 1]; ++k) {
      bfs.push_back(children[k]);
    }
  }

  // Byte classes and the full rows of the shallow nodes.
  bool used[256] = {};
  for (const std::string_view word : words) {
    for (const char c : word) {
      used[static_cast<unsigned char>(c)] = true;
    }
  }
  const auto usedCount =
      static_cast<std::size_t>(std::count(std::begin(used), std::end(used), true));
  classCount_ = usedCount == 256 ? 256 : usedCount + 1;
  for (int b = 0, next = 1; b < 256; ++b) {
    byteClass_[b] = usedCount == 256 ? static_cast<unsigned char>(b)
                    : used[b]        ? static_cast<unsigned char>(next++)
                                     : 0;
  }
  denseNodes_ = static_cast<std::uint32_t>(std::min<std::size_t>(
      nodes, std::max<std::size_t>(1, kDenseBudgetBytes / (classCount_ * sizeof(std::uint32_t)))));
  dense_.assign(static_cast<std::size_t>(denseNodes_) * classCount_, kNone);
  for (std::uint32_t node = 0; node < denseNodes_; ++node) {
    for (std::uint32_t k = 0; k < nodes_[node].childCount; ++k) {
      const std::uint32_t child = nodes_[node].firstChild + k;
      dense_[static_cast<std::size_t>(node) * classCount_ + byteClass_[labels_[child]]] = child;
    }
  }

  // One-byte words, the nodes two bytes deep, and the pairs that start some word.
  std::fill(std::begin(oneByteWord_), std::end(oneByteWord_), kNone);
  pairNode_.assign(std::size_t{1} << 16, kNone);
  startPairs_.assign((std::size_t{1} << 16) / 64, 0);
  const auto mark = [&](unsigned pair) {
    startPairs_[pair >> 6] |= std::uint64_t{1} << (pair & 63);
  };
  const Node& root = nodes_[0];
  for (std::uint32_t first = root.firstChild; first < root.firstChild + root.childCount; ++first) {
    const unsigned lead = labels_[first];
    if (nodes_[first].terminal != kNone) {
      oneByteWord_[lead] = nodes_[first].terminal;
      for (unsigned second = 0; second < 256; ++second) {
        mark(lead << 8 | second);
      }
    }
    const Node& n = nodes_[first];
    for (std::uint32_t second = n.firstChild; second < n.firstChild + n.childCount; ++second) {
      pairNode_[lead << 8 | labels_[second]] = second;
      mark(lead << 8 | labels_[second]);
    }
  }
}

}  // namespace gw::detail
