// A list of literal words matched the way the regular-expression service matches the
// alternation of the escaped words with ignore-case on: matches start and end on character
// boundaries, the leftmost match wins and at one position the first word in list order that
// matches there; matches do not overlap. Letters compare without case as the engine folds
// them in GBK text: ASCII, full-width Latin, Greek, Cyrillic and Roman numerals.
//
// It serves where the engine cannot: a list of many thousand words is too big to compile as one
// pattern. The words are held in a byte trie of their case-folded forms; a search walks it from
// every character start, so its time is the text length times the length of the longest
// partial match.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace gw {

class LiteralAlternation {
 public:
  // `words` are GBK; empty words never match and are left out.
  explicit LiteralAlternation(const std::vector<std::string>& words);

  bool empty() const { return nodes_.size() <= 1; }

  struct Match {
    std::size_t begin;  // byte offsets into the text
    std::size_t end;
    std::uint32_t word;  // position of the word in the list given to the constructor
  };
  // Every match in `text`, left to right.
  std::vector<Match> find(std::string_view text) const;

  // `text` with every match replaced by `replacement` (taken as it stands).
  std::string replace(std::string_view text, std::string_view replacement) const;

 private:
  static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

  struct Node {
    std::uint32_t firstChild = 0;  // children are consecutive, sorted by label
    std::uint32_t childCount = 0;
    std::uint32_t word = kNone;  // the first listed word ending here
  };

  std::uint32_t child(std::uint32_t node, unsigned char byte) const;
  template <typename Report>
  void scan(std::string_view text, Report&& report) const;

  std::vector<Node> nodes_;               // node 0 is the root
  std::vector<unsigned char> labels_;     // label of the edge into node i
  std::vector<std::uint32_t> rootChild_;  // the root's children by byte
};

// `text` with every letter that the engine's case-insensitive matching folds replaced by its
// lower-case form, character by character (a trail byte is never taken for a letter). The
// result has the same length and the same character boundaries.
std::string FoldGbkCase(std::string_view text);

}  // namespace gw
