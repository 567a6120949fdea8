#include "engine/literal_alternation.h"

#include <algorithm>
#include <deque>

#include "text/gbk_chars.h"

namespace gw {

namespace {

// The double-byte letters of GBK that have a case partner in GBK, as ranges of upper-case
// characters (same lead byte) and the distance to their lower-case partners: full-width Latin,
// Greek, Cyrillic (Ё/ё sit inside the range in both cases) and the Roman numerals Ⅰ-Ⅹ / ⅰ-ⅹ.
// Other GBK letters (pinyin vowels, Ⅺ, Ⅻ) have no partner in GBK, so they only match themselves.
struct CasedRange {
  unsigned char lead;
  unsigned char firstTrail;
  unsigned char lastTrail;
  int toLower;
};
constexpr CasedRange kCasedRanges[] = {
    {0xA3, 0xC1, 0xDA, 0x20},   // Ａ-Ｚ -> ａ-ｚ
    {0xA6, 0xA1, 0xB8, 0x20},   // Α-Ω -> α-ω
    {0xA7, 0xA1, 0xC1, 0x30},   // А-Я -> а-я
    {0xA2, 0xF1, 0xFA, -0x50},  // Ⅰ-Ⅹ -> ⅰ-ⅹ
};

void FoldInPlace(std::string& text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = GbkCharLength(text, i);
    if (length == 1) {
      if (lead >= 'A' && lead <= 'Z') {
        text[i] = static_cast<char>(lead + ('a' - 'A'));
      }
    } else {
      const auto trail = static_cast<unsigned char>(text[i + 1]);
      for (const CasedRange& range : kCasedRanges) {
        if (lead == range.lead && trail >= range.firstTrail && trail <= range.lastTrail) {
          text[i + 1] = static_cast<char>(trail + range.toLower);
          break;
        }
      }
    }
    i += length;
  }
}

}  // namespace

std::string FoldGbkCase(std::string_view text) {
  std::string folded(text);
  FoldInPlace(folded);
  return folded;
}

LiteralAlternation::LiteralAlternation(const std::vector<std::string>& words)
    : rootChild_(256, kNone) {
  std::vector<std::string> folded;
  folded.reserve(words.size());
  for (const std::string& word : words) {
    folded.push_back(FoldGbkCase(word));
  }
  // Sorted, a word comes right before the words it is a prefix of, and the words below one
  // trie node form a run; the list position breaks ties so the first listed copy comes first.
  std::vector<std::uint32_t> order;
  for (std::uint32_t i = 0; i < folded.size(); ++i) {
    if (!folded[i].empty()) {
      order.push_back(i);
    }
  }
  std::sort(order.begin(), order.end(), [&folded](std::uint32_t a, std::uint32_t b) {
    const int c = folded[a].compare(folded[b]);
    return c != 0 ? c < 0 : a < b;
  });

  // Breadth first, so that the children of each node are made together and lie side by side.
  struct Pending {
    std::uint32_t node;
    std::size_t begin;  // run of `order` below the node
    std::size_t end;
    std::size_t depth;
  };
  nodes_.emplace_back();
  labels_.push_back(0);
  std::deque<Pending> queue{{0, 0, order.size(), 0}};
  while (!queue.empty()) {
    Pending at = queue.front();
    queue.pop_front();
    // The words that end here sort first; the first of them is the first listed.
    if (at.begin < at.end && folded[order[at.begin]].size() == at.depth) {
      nodes_[at.node].word = order[at.begin];
      while (at.begin < at.end && folded[order[at.begin]].size() == at.depth) {
        ++at.begin;
      }
    }
    nodes_[at.node].firstChild = static_cast<std::uint32_t>(nodes_.size());
    for (std::size_t from = at.begin; from < at.end;) {
      const char label = folded[order[from]][at.depth];
      std::size_t to = from + 1;
      while (to < at.end && folded[order[to]][at.depth] == label) {
        ++to;
      }
      const auto node = static_cast<std::uint32_t>(nodes_.size());
      nodes_.emplace_back();
      labels_.push_back(static_cast<unsigned char>(label));
      ++nodes_[at.node].childCount;
      if (at.node == 0) {
        rootChild_[static_cast<unsigned char>(label)] = node;
      }
      queue.push_back({node, from, to, at.depth + 1});
      from = to;
    }
  }
}

std::uint32_t LiteralAlternation::child(std::uint32_t node, unsigned char byte) const {
  if (node == 0) {
    return rootChild_[byte];
  }
  const Node& n = nodes_[node];
  const auto first = labels_.begin() + n.firstChild;
  const auto last = first + n.childCount;
  const auto it = std::lower_bound(first, last, byte);
  return it != last && *it == byte ? static_cast<std::uint32_t>(it - labels_.begin()) : kNone;
}

template <typename Report>
void LiteralAlternation::scan(std::string_view text, Report&& report) const {
  if (empty()) {
    return;
  }
  const std::string folded = FoldGbkCase(text);
  const auto* bytes = reinterpret_cast<const unsigned char*>(folded.data());
  const std::size_t size = folded.size();
  std::size_t start = 0;
  while (start < size) {
    // Walk the trie from this character start; of the words that end on a character boundary
    // on the way, the first listed wins.
    std::uint32_t best = kNone;
    std::size_t bestEnd = start;
    std::uint32_t node = 0;
    std::size_t boundary = start;  // the next character boundary at or after `at`
    for (std::size_t at = start; at < size;) {
      if (at == boundary) {
        boundary += GbkCharLength(folded, at);
      }
      node = child(node, bytes[at]);
      if (node == kNone) {
        break;
      }
      ++at;
      if (at == boundary && nodes_[node].word < best) {
        best = nodes_[node].word;
        bestEnd = at;
      }
    }
    if (best != kNone) {
      report(Match{start, bestEnd, best});
      start = bestEnd;
    } else {
      start += GbkCharLength(folded, start);
    }
  }
}

std::vector<LiteralAlternation::Match> LiteralAlternation::find(std::string_view text) const {
  std::vector<Match> matches;
  scan(text, [&matches](const Match& match) { matches.push_back(match); });
  return matches;
}

std::string LiteralAlternation::replace(std::string_view text, std::string_view replacement) const {
  std::string result;
  result.reserve(text.size());
  std::size_t copied = 0;
  scan(text, [&](const Match& match) {
    result.append(text, copied, match.begin - copied);
    result.append(replacement);
    copied = match.end;
  });
  result.append(text, copied);
  return result;
}

}  // namespace gw
