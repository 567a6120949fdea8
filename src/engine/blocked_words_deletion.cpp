// The word-by-word procedure on a batch of pieces when the replacement is empty.
//
// Deleting whole characters leaves every other byte a character start or not as it was, so the
// batch keeps its bytes, their character-start flags and a bit per byte that says whether it is
// still in the text. An occurrence is known by its first and last byte and stays one as long as
// all its bytes are there: a deletion only removes bytes, so it is gone exactly when fewer bytes
// than its length are left between its first and last.
//
// Turns come in library order. The original occurrences, sorted by word (words are numbered by
// their first library position), take their turns at their word's first position; occurrences
// that a deletion brings about, and those a turn leaves for a later position of the same word,
// wait in a bucket for their position (TurnBuckets). A turn deletes its word's occurrences from
// left to right, skipping one that starts at the byte right after the previous deletion (the search
// goes on one byte further). New occurrences can only span a point where a deletion closed the text
// up; they are looked for there once the turn is over.
#include <algorithm>
#include <string>
#include <string_view>

#include "engine/blocked_words_bits.h"
#include "engine/blocked_words_boundaries.h"
#include "engine/blocked_words_matcher.h"

namespace gw::detail {

namespace {

// The first clear bit at or after `from` and before `end`; `end` when there is none.
std::size_t NextClearBit(const Bits& bits, std::size_t from, std::size_t end) {
  while (from < end) {
    const std::uint64_t w = ~bits[from >> 6] >> (from & 63);
    if (w != 0) {
      return std::min(end, from + static_cast<std::size_t>(__builtin_ctzll(w)));
    }
    from = (from | 63) + 1;
  }
  return end;
}

}  // namespace

void BlockedWordMatcher::FilterPieceByDeletion(std::string_view piece, PieceWork& work,
                                               std::string& out) const {
  using Pending = DeletionWork::Pending;
  constexpr std::size_t kPadding = 16;
  constexpr std::uint32_t kNone = WordTrie::kNone;
  DeletionWork& d = work.deletion;
  const auto size = static_cast<std::uint32_t>(piece.size());
  d.present.assign(piece.size() / 64 + 1, 0);
  SetBits(d.present, 0, piece.size());
  d.starts = CharStartMask(piece);
  d.keys.clear();
  for (const Occurrence& o : work.occurrences) {
    d.keys.push_back(std::uint64_t{o.pattern} << 32 | o.start);
  }
  SortByHighBits(d.keys, d.scratch, BitsToCount(patterns_.size()));
  d.later.Reserve(patternOfWord_.size());
  d.joins.clear();
  const std::size_t reach = trie_.longestWord();
  // The waiting are ordered by turn and first byte only: two occurrences alike in both are of the
  // same word at the same byte, so they are the same one or at most one of them is still there.
  const auto wait = [&](const Pending& pending) { d.later.Add(pending.position(), pending); };

  // Occurrences that span the point right after `join` (a byte in the text) wait for their
  // word's next turn after `position`.
  const auto findAcross = [&](std::uint32_t join, std::uint32_t position) {
    const std::size_t after = NextSetBit(d.present, join + std::size_t{1}, size);
    if (after == size) {
      return;  // the turn deleted everything after the join
    }
    const std::uint16_t offsets =
        joinedPairs_[static_cast<unsigned char>(piece[join]) |
                     static_cast<std::size_t>(static_cast<unsigned char>(piece[after])) << 8];
    if (offsets == 0) {
      return;  // no word has these two bytes side by side
    }
    d.window.clear();
    d.windowStarts.clear();
    d.windowOrigin.clear();
    std::size_t at = join;
    for (std::size_t k = 1; k < reach; ++k) {
      const std::size_t before = PreviousSetBit(d.present, at, size);
      if (before == size) {
        break;
      }
      at = before;
    }
    for (; at < join; at = NextSetBit(d.present, at + 1, size)) {
      d.windowOrigin.push_back(static_cast<std::uint32_t>(at));
    }
    d.windowOrigin.push_back(join);
    const std::size_t joinEnd = d.windowOrigin.size();  // window offset right after the join
    at = after;
    for (std::size_t k = 1; k < reach && at < size; ++k) {
      d.windowOrigin.push_back(static_cast<std::uint32_t>(at));
      at = NextSetBit(d.present, at + 1, size);
    }
    for (const std::uint32_t origin : d.windowOrigin) {
      d.window.push_back(piece[origin]);
      d.windowStarts.push_back(TestBit(d.starts, origin) ? '\1' : '\0');
    }
    d.windowStarts.push_back(at >= size || TestBit(d.starts, at) ? '\1' : '\0');
    const std::size_t windowSize = d.window.size();
    d.window.append(kPadding, '\0');
    const auto* bytes = reinterpret_cast<const unsigned char*>(d.window.data());
    const auto boundary = [&](std::size_t offset) { return d.windowStarts[offset] != 0; };
    const auto report = [&](std::size_t start, std::size_t end, std::uint32_t pattern) {
      if (end > joinEnd) {
        const std::uint32_t next = FirstWordAfter(pattern, position);
        if (next != kNone) {
          wait(DeletionWork::MakePending(next, d.windowOrigin[start], d.windowOrigin[end - 1],
                                         pattern));
        }
      }
    };
    for (std::size_t start = 0; start < joinEnd; ++start) {
      const std::size_t k = joinEnd - start;  // the word's bytes before the join
      if (d.windowStarts[start] != 0 && (k < 16 ? offsets >> k & 1 : offsets & 1) != 0) {
        trie_.MatchAt<true>(bytes, windowSize, start, bytes + start, boundary, report);
      }
    }
  };

  // The piece's occurrences of words that hold an earlier word were not looked for: by such a
  // word's first turn, a byte of the earlier word's occurrence inside it is gone, unless that
  // occurrence was skipped. Once one is, the occurrences of the original piece that hold it
  // (from `first` to `last`, all still there) wait for their words' first turns, where those
  // are still to come.
  const auto findAround = [&](std::uint32_t first, std::uint32_t last, std::uint32_t position) {
    const std::size_t from = last + std::size_t{1} >= reach ? last + std::size_t{1} - reach : 0;
    const std::size_t to = std::min<std::size_t>(size, from + 2 * reach);
    d.window.assign(piece.substr(from, to - from));
    d.window.append(kPadding, '\0');
    const auto* bytes = reinterpret_cast<const unsigned char*>(d.window.data());
    const auto boundary = [&](std::size_t offset) {
      return IsCharBoundary(d.starts, from + offset);
    };
    const auto report = [&](std::size_t start, std::size_t end, std::uint32_t holder) {
      if (from + end > last && holdsEarlier_[holder] && firstWord_[holder] > position) {
        wait(DeletionWork::MakePending(firstWord_[holder], static_cast<std::uint32_t>(from + start),
                                       static_cast<std::uint32_t>(from + end - 1), holder));
      }
    };
    for (std::size_t start = from; start <= first; ++start) {
      if (TestBit(d.starts, start)) {
        trie_.MatchAt<true>(bytes, to - from, start - from, bytes + (start - from), boundary,
                            report);
      }
    }
  };

  std::size_t nextKey = 0;
  const auto peek = [&](Pending& pending) {
    bool found = false;
    if (nextKey < d.keys.size()) {
      const std::uint64_t key = d.keys[nextKey];
      const auto pattern = static_cast<std::uint32_t>(key >> 32);
      const auto first = static_cast<std::uint32_t>(key & 0xFFFFFFFFu);
      pending = DeletionWork::MakePending(
          firstWord_[pattern], first,
          first + static_cast<std::uint32_t>(trie_.wordLength(pattern)) - 1, pattern);
      found = true;
    }
    const Pending* waiting = d.later.Front(found ? pending.position() : kNone);
    if (waiting != nullptr && (!found || waiting->turn < pending.turn)) {
      pending = *waiting;
      return 2;
    }
    return found ? 1 : 0;
  };

  std::uint32_t position = kNone;  // of the turn being taken
  std::uint32_t skip = kNone;      // the byte right after the turn's last deletion
  std::uint32_t skipped = kNone;   // the first byte of the occurrence last skipped in the turn
  while (true) {
    Pending pending;
    const int from = peek(pending);
    if (from == 0 || pending.position() != position) {
      if (!d.joins.empty()) {  // the turn is over
        for (const std::uint32_t join : d.joins) {
          findAcross(join, position);
        }
        d.joins.clear();
        continue;
      }
      if (from == 0) {
        break;
      }
      position = pending.position();
      skip = kNone;
      skipped = kNone;
    }
    if (from == 1) {
      ++nextKey;
    } else {
      d.later.Pop();
    }
    const std::uint32_t first = pending.first();
    const std::uint32_t last = pending.last();
    const std::uint32_t pattern = pending.pattern();
    const std::size_t length = trie_.wordLength(pattern);
    const std::size_t span = last - first + 1;
    if (!TestBit(d.present, first) || !TestBit(d.present, last) ||
        (span != length && CountBits(d.present, first, span) != length) ||
        (span == length && !AllBitsSet(d.present, first, span))) {
      continue;  // a deletion took one of its bytes
    }
    if (first == skip) {
      if (first != skipped) {  // once, if found across two joins
        const std::uint32_t next = FirstWordAfter(pattern, position);
        if (next != kNone) {
          wait(DeletionWork::MakePending(next, first, last, pattern));
        }
        if (span == length) {
          findAround(first, last, position);
        }
      }
      skipped = first;
      continue;
    }
    ClearBits(d.present, first, span);
    skip = static_cast<std::uint32_t>(NextSetBit(d.present, last + std::size_t{1}, size));
    const std::size_t before = PreviousSetBit(d.present, first, size);
    if (before != size && skip < size) {
      d.joins.push_back(static_cast<std::uint32_t>(before));
    }
  }

  for (std::size_t at = NextSetBit(d.present, 0, size); at < size;) {
    const std::size_t end = NextClearBit(d.present, at, size);
    out.append(piece, at, end - at);
    at = NextSetBit(d.present, end, size);
  }
  work.occurrences.clear();
}

}  // namespace gw::detail
