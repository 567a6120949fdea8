#include "engine/aho_corasick.h"

#include <algorithm>
#include <numeric>

namespace gw {

namespace {

// Memory allowed for the full transition rows of the shallow states.
constexpr std::size_t kDenseBudgetBytes = std::size_t{4} << 20;

}  // namespace

AhoCorasick::AhoCorasick(const std::vector<std::string_view>& patterns) {
  const std::size_t count = patterns.size();
  patternLength_.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    patternLength_[i] = static_cast<std::uint32_t>(patterns[i].size());
    maxPatternLength_ = std::max(maxPatternLength_, patterns[i].size());
  }

  // 1. The trie, built from the patterns in byte order, so that the children of every node are
  //    created in increasing byte order.
  std::vector<std::uint32_t> order(count);
  std::iota(order.begin(), order.end(), 0u);
  std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
    return std::lexicographical_compare(patterns[a].begin(), patterns[a].end(), patterns[b].begin(),
                                        patterns[b].end(), [](char x, char y) {
                                          return static_cast<unsigned char>(x) <
                                                 static_cast<unsigned char>(y);
                                        });
  });
  std::vector<std::uint32_t> parent{kNone};
  std::vector<unsigned char> label{0};
  std::vector<std::uint32_t> terminal{kNone};
  std::vector<std::uint32_t> path{0};  // path[d]: node of depth d on the previous pattern
  std::string_view previous;
  for (const std::uint32_t id : order) {
    const std::string_view pattern = patterns[id];
    std::size_t common = 0;
    while (common < pattern.size() && common < previous.size() &&
           pattern[common] == previous[common]) {
      ++common;
    }
    path.resize(common + 1);
    for (std::size_t d = common; d < pattern.size(); ++d) {
      parent.push_back(path[d]);
      label.push_back(static_cast<unsigned char>(pattern[d]));
      terminal.push_back(kNone);
      path.push_back(static_cast<std::uint32_t>(parent.size() - 1));
    }
    terminal[path[pattern.size()]] = id;
    previous = pattern;
  }
  const std::size_t states = parent.size();

  // 2. Children of every node, in creation order (which is byte order).
  std::vector<std::uint32_t> childStart(states + 1, 0);
  for (std::size_t node = 1; node < states; ++node) {
    ++childStart[parent[node] + 1];
  }
  std::partial_sum(childStart.begin(), childStart.end(), childStart.begin());
  std::vector<std::uint32_t> children(states > 0 ? states - 1 : 0);
  {
    std::vector<std::uint32_t> fill(childStart.begin(), childStart.end() - 1);
    for (std::size_t node = 1; node < states; ++node) {
      children[fill[parent[node]]++] = static_cast<std::uint32_t>(node);
    }
  }

  // 3. Breadth-first numbering: the children of a state get consecutive numbers.
  std::vector<std::uint32_t> bfs{0};
  bfs.reserve(states);
  firstChild_.assign(states, 0);
  childCount_.assign(states, 0);
  for (std::size_t next = 0; next < bfs.size(); ++next) {
    const std::uint32_t old = bfs[next];
    firstChild_[next] = static_cast<std::uint32_t>(bfs.size());
    childCount_[next] = childStart[old + 1] - childStart[old];
    for (std::uint32_t k = childStart[old]; k < childStart[old + 1]; ++k) {
      bfs.push_back(children[k]);
    }
  }
  label_.resize(states);
  terminal_.resize(states);
  std::vector<std::uint32_t> newParent(states, kNone);
  for (std::uint32_t now = 0; now < states; ++now) {
    label_[now] = label[bfs[now]];
    terminal_[now] = terminal[bfs[now]];
    for (std::uint32_t k = 0; k < childCount_[now]; ++k) {
      newParent[firstChild_[now] + k] = now;
    }
  }

  // 4. Failure links and output chains, shallow states first.
  fail_.assign(states, kRoot);
  output_.assign(states, kNone);
  outputLink_.assign(states, kNone);
  matchFlag_.assign(states, 0);
  for (std::uint32_t now = 1; now < states; ++now) {
    const std::uint32_t up = newParent[now];
    if (up != kRoot) {
      std::uint32_t s = fail_[up];
      while (true) {
        const std::uint32_t child = ChildByByte(s, label_[now]);
        if (child != kNone) {
          fail_[now] = child;
          break;
        }
        if (s == kRoot) {
          break;
        }
        s = fail_[s];
      }
    }
    outputLink_[now] = output_[fail_[now]];
    output_[now] = terminal_[now] != kNone ? now : output_[fail_[now]];
    matchFlag_[now] = output_[now] != kNone ? kHasMatch : 0;
  }

  // 5. Byte classes and the full rows of the shallow states.
  classCount_ = 1;
  for (const std::string_view pattern : patterns) {
    for (const char c : pattern) {
      auto& cls = byteClass_[static_cast<unsigned char>(c)];
      if (cls == 0) {
        cls = static_cast<unsigned char>(classCount_++);
      }
    }
  }
  // classCount_ can reach 257 only if all 256 bytes occur; the class table holds bytes, so the
  // 256th distinct byte would wrap. Give every byte its own class in that case.
  if (classCount_ > 256) {
    classCount_ = 256;
    for (int b = 0; b < 256; ++b) {
      byteClass_[b] = static_cast<unsigned char>(b);
    }
  }
  std::vector<int> representative(classCount_, -1);
  for (int b = 255; b >= 0; --b) {
    representative[byteClass_[b]] = b;
  }
  const std::size_t rowBytes = classCount_ * sizeof(State);
  denseStates_ = static_cast<std::uint32_t>(
      std::min<std::size_t>(states, std::max<std::size_t>(1, kDenseBudgetBytes / rowBytes)));
  dense_.assign(static_cast<std::size_t>(denseStates_) * classCount_, kRoot);
  for (std::uint32_t now = 0; now < denseStates_; ++now) {
    State* row = &dense_[static_cast<std::size_t>(now) * classCount_];
    const State* fallback = &dense_[static_cast<std::size_t>(fail_[now]) * classCount_];
    for (std::size_t cls = 0; cls < classCount_; ++cls) {
      const int byte = representative[cls];
      const std::uint32_t child =
          byte < 0 ? kNone : ChildByByte(now, static_cast<unsigned char>(byte));
      if (child != kNone) {
        row[cls] = child | matchFlag_[child];
      } else {
        row[cls] = now == kRoot ? kRoot : fallback[cls];
      }
    }
  }
}

std::uint32_t AhoCorasick::ChildByByte(std::uint32_t state, unsigned char byte) const {
  const auto first = label_.begin() + firstChild_[state];
  const auto last = first + childCount_[state];
  const auto found = std::lower_bound(first, last, byte);
  if (found == last || *found != byte) {
    return kNone;
  }
  return static_cast<std::uint32_t>(found - label_.begin());
}

}  // namespace gw
