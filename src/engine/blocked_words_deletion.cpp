// The word-by-word procedure on one piece (or a batch of pieces) when the replacement is empty.
//
// Deleting whole characters leaves every other byte a character start or not as it was, so the
// piece keeps its bytes and their flags; a deletion unlinks a run of bytes from the chain of
// bytes still in the text. Every occurrence in the text as it is is known, listed under its word
// and under its first byte. A word's turn deletes its occurrences from left to right, skipping
// one that starts at the byte right after the previous deletion (the search goes on one byte
// further). A deletion removes the occurrences that share a byte with it; new occurrences can
// only span the point where a deletion closed the text up, and are looked for there once the turn
// is over. The turns are taken in library order, each library position whose word occurs in the
// text as it is; a batch of many pieces takes them together, so that each position is visited
// once for all of them.
#include <algorithm>
#include <string>
#include <string_view>

#include "engine/blocked_words_matcher.h"
#include "text/gbk_chars.h"

namespace gw::detail {

void BlockedWordMatcher::FilterPieceByDeletion(std::string_view piece, PieceWork& work,
                                               std::string& out) const {
  constexpr std::int32_t kNil = DeletionWork::kNil;
  constexpr std::size_t kPadding = 16;
  DeletionWork& d = work.deletion;
  std::vector<std::uint32_t>& live = work.live;
  const auto size = static_cast<std::int32_t>(piece.size());
  d.next.resize(piece.size());
  d.previous.resize(piece.size());
  d.startingAt.assign(piece.size(), kNil);
  d.isStart.assign(piece.size() + 1, '\0');
  for (std::int32_t i = 0; i < size; ++i) {
    d.next[i] = i + 1;
    d.previous[i] = i - 1;
  }
  ForEachChar(piece, CrLf::AsTwoChars,
              [&](std::size_t offset, std::size_t) { d.isStart[offset] = '\1'; });
  d.isStart[piece.size()] = '\1';
  if (d.ofPattern.size() != patterns_.size()) {
    d.ofPattern.assign(patterns_.size(), kNil);
  }
  d.occurrences.clear();
  std::int32_t head = size > 0 ? 0 : size;  // the first byte still in the text

  const auto add = [&](std::int32_t first, std::int32_t last, std::uint32_t pattern) {
    const auto id = static_cast<std::int32_t>(d.occurrences.size());
    d.occurrences.push_back(
        {first, last, pattern, d.startingAt[first], d.ofPattern[pattern], true});
    d.startingAt[first] = id;
    d.ofPattern[pattern] = id;
    return live[pattern]++ == 0;
  };
  const auto remove = [&](std::int32_t id) {
    DeletionWork::Occurrence& o = d.occurrences[id];
    if (o.present) {
      o.present = false;
      --live[o.pattern];
    }
  };

  for (const Occurrence& o : work.occurrences) {
    const auto first = static_cast<std::int32_t>(o.start);
    add(first, first + static_cast<std::int32_t>(o.length) - 1, o.pattern);
  }

  const std::size_t reach = trie_.longestWord();
  const auto lastWord = [&](std::uint32_t pattern) {
    return wordsOfPattern_[wordsStart_[pattern + 1] - 1];
  };
  // Deletes the occurrence's bytes and every occurrence that shares one of them; returns the byte
  // before the deletion (kNil at the start) and sets `after` to the byte after it (size at the
  // end).
  const auto erase = [&](const DeletionWork::Occurrence& o, std::int32_t& after) {
    std::int32_t at = d.previous[o.first];
    for (std::size_t back = 1; at != kNil && back < reach; ++back, at = d.previous[at]) {
      for (std::int32_t id = d.startingAt[at]; id != kNil; id = d.occurrences[id].nextAtFirst) {
        if (d.occurrences[id].last >= o.first) {
          remove(id);
        }
      }
    }
    for (std::int32_t at = o.first;; at = d.next[at]) {
      for (std::int32_t id = d.startingAt[at]; id != kNil; id = d.occurrences[id].nextAtFirst) {
        remove(id);
      }
      if (at == o.last) {
        break;
      }
    }
    const std::int32_t before = d.previous[o.first];
    after = d.next[o.last];
    (before == kNil ? head : d.next[before]) = after;
    if (after < size) {
      d.previous[after] = before;
    }
    return before;
  };

  // Occurrences that span the point right after `join` (a byte in the text), added as new.
  const auto findAcross = [&](std::int32_t join, std::uint32_t position) {
    d.window.clear();
    d.windowStarts.clear();
    d.windowOrigin.clear();
    std::int32_t at = join;
    for (std::size_t k = 1; k < reach && d.previous[at] != kNil; ++k) {
      at = d.previous[at];
    }
    for (; at != join; at = d.next[at]) {
      d.windowOrigin.push_back(at);
    }
    d.windowOrigin.push_back(join);
    const std::size_t joinEnd = d.windowOrigin.size();  // window offset right after the join
    at = d.next[join];
    for (std::size_t k = 1; k < reach && at < size; ++k, at = d.next[at]) {
      d.windowOrigin.push_back(at);
    }
    for (const std::int32_t origin : d.windowOrigin) {
      d.window.push_back(piece[static_cast<std::size_t>(origin)]);
      d.windowStarts.push_back(d.isStart[static_cast<std::size_t>(origin)]);
    }
    d.windowStarts.push_back(d.isStart[static_cast<std::size_t>(at)]);
    const std::size_t windowSize = d.window.size();
    d.window.append(kPadding, '\0');
    const auto* bytes = reinterpret_cast<const unsigned char*>(d.window.data());
    const auto boundary = [&](std::size_t offset) { return d.windowStarts[offset] != 0; };
    const auto report = [&](std::size_t start, std::size_t end, std::uint32_t pattern) {
      if (end <= joinEnd || lastWord(pattern) <= position) {
        return;  // not across the join, or its word has no turn left
      }
      const std::int32_t first = d.windowOrigin[start];
      const std::int32_t last = d.windowOrigin[end - 1];
      for (std::int32_t id = d.startingAt[first]; id != kNil; id = d.occurrences[id].nextAtFirst) {
        const DeletionWork::Occurrence& o = d.occurrences[id];
        if (o.present && o.pattern == pattern && o.last == last) {
          return;  // found from a join nearby already
        }
      }
      add(first, last, pattern);
    };
    for (std::size_t start = 0; start < joinEnd; ++start) {
      if (d.windowStarts[start] != 0) {
        trie_.MatchAt<true>(bytes, windowSize, start, bytes + start, boundary, report);
      }
    }
  };

  for (std::uint32_t position = 0; position < patternOfWord_.size(); ++position) {
    const std::uint32_t pattern = patternOfWord_[position];
    if (pattern == WordTrie::kNone || live[pattern] == 0) {
      continue;
    }
    // The word's occurrences from left to right; its list is built again with those it keeps.
    d.turn.clear();
    for (std::int32_t id = d.ofPattern[pattern]; id != kNil; id = d.occurrences[id].nextOfPattern) {
      if (d.occurrences[id].present) {
        d.turn.push_back(id);
      }
    }
    // Listed last first; only occurrences found across joins come out of order.
    std::reverse(d.turn.begin(), d.turn.end());
    const auto byFirst = [&](std::int32_t a, std::int32_t b) {
      return d.occurrences[a].first < d.occurrences[b].first;
    };
    if (!std::is_sorted(d.turn.begin(), d.turn.end(), byFirst)) {
      std::sort(d.turn.begin(), d.turn.end(), byFirst);
    }
    d.ofPattern[pattern] = kNil;
    d.joins.clear();
    std::int32_t skip = kNil;  // the byte after the last deletion
    for (const std::int32_t id : d.turn) {
      DeletionWork::Occurrence& o = d.occurrences[id];
      if (!o.present) {
        continue;
      }
      if (o.first == skip) {
        o.nextOfPattern = d.ofPattern[pattern];
        d.ofPattern[pattern] = id;
        continue;
      }
      const std::int32_t before = erase(o, skip);
      if (before != kNil && skip < size) {
        d.joins.push_back(before);
      }
    }
    for (const std::int32_t join : d.joins) {
      findAcross(join, position);
    }
  }

  for (std::int32_t at = head; at < size;) {
    std::int32_t end = at;
    while (d.next[end] == end + 1 && end + 1 < size) {
      ++end;
    }
    out.append(piece, static_cast<std::size_t>(at), static_cast<std::size_t>(end - at + 1));
    at = d.next[end];
  }
  for (const DeletionWork::Occurrence& o : d.occurrences) {
    d.ofPattern[o.pattern] = kNil;
    live[o.pattern] = 0;
  }
  work.occurrences.clear();
}

}  // namespace gw::detail
