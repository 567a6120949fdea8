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
#include <cstring>
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
  // Room for the window around a join (see findAcross) and the padding the trie reads past it.
  d.window.assign(2 * reach + kPadding, '\0');
  d.windowStarts.assign(2 * reach + 1, '\0');
  d.windowOrigin.assign(2 * reach, 0);
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
    // The bytes still in the text around the join, a bit of `present` at a time: up to `reach`
    // of them up to the join (nearest first, into origin[reach - 1] downwards), then up to
    // `reach` - 1 from `after` on (into origin[reach] upwards), and the first byte past those.
    std::uint32_t* const origin = d.windowOrigin.data();
    std::size_t joinEnd = 0;  // bytes up to the join: the window offset right after it
    std::size_t word = join >> 6;
    std::uint64_t bits = d.present[word] & (~std::uint64_t{0} >> (63 - (join & 63)));
    while (joinEnd < reach) {
      if (bits == 0) {
        if (word == 0) {
          break;
        }
        bits = d.present[--word];
        continue;
      }
      const auto bit = static_cast<unsigned>(63 - __builtin_clzll(bits));
      origin[reach - 1 - joinEnd++] = static_cast<std::uint32_t>(word * 64 + bit);
      bits ^= std::uint64_t{1} << bit;
    }
    std::size_t afterJoin = 0;
    std::size_t beyond = size;  // the first byte in the text past the window
    word = after >> 6;
    bits = d.present[word] & (~std::uint64_t{0} << (after & 63));
    while (true) {
      if (bits == 0) {
        if (++word >= d.present.size()) {
          break;  // the bits past the piece's end are clear
        }
        bits = d.present[word];
        continue;
      }
      const std::size_t at = word * 64 + static_cast<std::size_t>(__builtin_ctzll(bits));
      if (afterJoin + 1 >= reach) {
        beyond = at;
        break;
      }
      origin[reach + afterJoin++] = static_cast<std::uint32_t>(at);
      bits &= bits - 1;
    }
    const std::uint32_t* const windowOrigin = origin + (reach - joinEnd);
    const std::size_t windowSize = joinEnd + afterJoin;
    char* const window = d.window.data();
    char* const windowStarts = d.windowStarts.data();
    for (std::size_t i = 0; i < windowSize; ++i) {
      window[i] = piece[windowOrigin[i]];
      windowStarts[i] = TestBit(d.starts, windowOrigin[i]) ? '\1' : '\0';
    }
    windowStarts[windowSize] = beyond >= size || TestBit(d.starts, beyond) ? '\1' : '\0';
    std::memset(window + windowSize, 0, kPadding);
    const auto* bytes = reinterpret_cast<const unsigned char*>(window);
    const auto boundary = [&](std::size_t offset) { return windowStarts[offset] != 0; };
    const auto report = [&](std::size_t start, std::size_t end, std::uint32_t pattern) {
      if (end > joinEnd) {
        const std::uint32_t next = FirstWordAfter(pattern, position);
        if (next != kNone) {
          wait(DeletionWork::MakePending(next, windowOrigin[start], windowOrigin[end - 1],
                                         pattern));
        }
      }
    };
    for (std::size_t start = 0; start < joinEnd; ++start) {
      const std::size_t k = joinEnd - start;  // the word's bytes before the join
      if (windowStarts[start] != 0 && (k < 16 ? offsets >> k & 1 : offsets & 1) != 0) {
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
    d.around.assign(piece.substr(from, to - from));
    d.around.append(kPadding, '\0');
    const auto* bytes = reinterpret_cast<const unsigned char*>(d.around.data());
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
