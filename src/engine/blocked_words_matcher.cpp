#include "engine/blocked_words_matcher.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <future>
#include <iterator>
#include <limits>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <utility>

#include "engine/blocked_words_boundaries.h"
#include "engine/blocked_words_output.h"
#include "text/gbk_chars.h"

namespace gw::detail {

namespace {

bool IsLeadByte(char c) {
  return IsPairLeadByte(static_cast<unsigned char>(c));
}

// Whether `word` and `replacement`, laid over each other at some offset with at least one byte in
// common, agree on every common byte; only then can an occurrence of the word use bytes of an
// inserted replacement.
bool CanOverlap(std::string_view word, std::string_view replacement) {
  bool shared[256] = {};
  for (const char c : replacement) {
    shared[static_cast<unsigned char>(c)] = true;
  }
  if (std::none_of(word.begin(), word.end(),
                   [&](char c) { return shared[static_cast<unsigned char>(c)]; })) {
    return false;
  }
  const auto w = static_cast<std::ptrdiff_t>(word.size());
  const auto r = static_cast<std::ptrdiff_t>(replacement.size());
  for (std::ptrdiff_t shift = 1 - w; shift < r; ++shift) {  // word[k] lies on replacement[k+shift]
    const std::ptrdiff_t from = std::max<std::ptrdiff_t>(0, -shift);
    const std::ptrdiff_t to = std::min(w, r - shift);
    bool agree = true;
    for (std::ptrdiff_t k = from; k < to && agree; ++k) {
      agree = word[static_cast<std::size_t>(k)] == replacement[static_cast<std::size_t>(k + shift)];
    }
    if (agree) {
      return true;
    }
  }
  return false;
}

// Whether the last character of `text`, read on its own, is a lead byte without its trail byte:
// put before more text, such a replacement would pair with the next byte and move every
// character boundary after it.
bool EndsInLoneLeadByte(std::string_view text) {
  std::size_t offset = 0;
  std::size_t last = 0;
  while (offset < text.size()) {
    last = offset;
    offset += GbkCharLength(text, offset);
  }
  return !text.empty() && last + 1 == text.size() && IsLeadByte(text[last]);
}

// Calls filterPart(k) for every k below `parts` on up to `threads` threads, this one among them,
// each taking the next part that none has taken yet: a thread that goes faster (the processors of
// a virtual machine can be busy elsewhere) takes more parts instead of waiting for the slower.
template <typename FilterPart>
void ForEachPart(std::size_t parts, std::size_t threads, const FilterPart& filterPart) {
  std::atomic<std::size_t> next{0};
  const auto work = [&] {
    for (std::size_t k = next++; k < parts; k = next++) {
      filterPart(k);
    }
  };
  std::vector<std::future<void>> running;
  for (std::size_t t = 1; t < std::min(threads, parts); ++t) {
    try {
      running.push_back(std::async(std::launch::async, work));
    } catch (const std::system_error&) {
      break;  // no more threads to be had: those there are take the parts
    }
  }
  work();
  for (std::future<void>& thread : running) {
    thread.get();
  }
}

}  // namespace

BlockedWordMatcher::BlockedWordMatcher(const std::vector<std::string>& words,
                                       std::string replacement)
    : replacement_(std::move(replacement)) {
  // Distinct words, numbered by first appearance, with the library positions of each.
  std::unordered_map<std::string_view, std::uint32_t> ids;
  std::vector<std::uint32_t>& patternOfWord = patternOfWord_;
  patternOfWord.assign(words.size(), WordTrie::kNone);
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (words[i].empty()) {
      continue;
    }
    const auto [it, inserted] = ids.emplace(words[i], static_cast<std::uint32_t>(patterns_.size()));
    if (inserted) {
      patterns_.push_back(words[i]);
    }
    patternOfWord[i] = it->second;
  }
  wordsStart_.assign(patterns_.size() + 1, 0);
  for (const std::uint32_t p : patternOfWord) {
    if (p != WordTrie::kNone) {
      ++wordsStart_[p + 1];
    }
  }
  for (std::size_t p = 0; p < patterns_.size(); ++p) {
    wordsStart_[p + 1] += wordsStart_[p];
  }
  wordsOfPattern_.resize(wordsStart_.back());
  std::vector<std::uint32_t> fill(wordsStart_.begin(), wordsStart_.end() - 1);
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (patternOfWord[i] != WordTrie::kNone) {
      wordsOfPattern_[fill[patternOfWord[i]]++] = static_cast<std::uint32_t>(i);
    }
  }

  for (std::size_t p = 0; p < patterns_.size(); ++p) {
    firstWord_.push_back(wordsOfPattern_[wordsStart_[p]]);
  }
  const std::vector<std::string_view> views(patterns_.begin(), patterns_.end());
  trie_ = WordTrie(views);

  replacementEndsInLeadByte_ = EndsInLoneLeadByte(replacement_);
  const std::vector<std::uint64_t> replacementMask = CharStartMask(replacement_);
  for (std::size_t i = 0; i < replacement_.size(); ++i) {
    replacementStarts_.push_back(IsCharBoundary(replacementMask, i) ? '\1' : '\0');
  }
  independent_ = !replacement_.empty() && !replacementEndsInLeadByte_;
  for (std::size_t p = 0; p < patterns_.size() && independent_; ++p) {
    independent_ = !CanOverlap(patterns_[p], replacement_);
  }
  if (independent_ || replacement_.empty()) {
    // A word that holds an earlier word, on its own character boundaries, is never replaced: by
    // its turn, a byte of that earlier word's occurrence inside it is always taken, by the earlier
    // word itself or by whatever kept that one from being replaced. The one-pass filter leaves
    // such words out of its trie, which spares finding their occurrences. So does the filter that
    // deletes, save where the earlier word's occurrence is skipped: it looks for the occurrences
    // around that one then (blocked_words_deletion.cpp).
    // Each word is looked into on its own, so a large library is looked into on every processor.
    std::vector<char> holds(patterns_.size(), 0);
    constexpr std::size_t kChunk = 4096;
    ForEachPart((patterns_.size() + kChunk - 1) / kChunk, DefaultSplit().threads,
                [&](std::size_t chunk) {
                  const std::size_t end = std::min(patterns_.size(), (chunk + 1) * kChunk);
                  for (std::size_t p = chunk * kChunk; p < end; ++p) {
                    const std::string_view word = patterns_[p];
                    trie_.Scan(word, [&](std::size_t start, std::size_t stop, std::uint32_t inner) {
                      holds[p] |= static_cast<char>(inner < p && stop - start < word.size());
                    });
                  }
                });
    std::vector<std::string_view> kept;
    holdsEarlier_.assign(holds.begin(), holds.end());
    for (std::uint32_t p = 0; p < patterns_.size(); ++p) {
      if (holds[p] == 0) {
        kept.push_back(patterns_[p]);
        patternOfReplaceable_.push_back(p);
      }
    }
    // Kept words are numbered in the order of their patterns, so that a smaller number still
    // means an earlier word.
    replaceableTrie_ = WordTrie(kept);
    for (const std::string_view word : kept) {
      shortestReplaceable_ = std::min(shortestReplaceable_, word.size());
    }
  }
  for (int b = 0; b < 0x80; ++b) {
    separates_[b] = true;
  }
  for (const std::string& pattern : patterns_) {
    for (const char c : pattern) {
      separates_[static_cast<unsigned char>(c)] = false;
    }
  }
  anySeparates_ =
      std::any_of(std::begin(separates_), std::end(separates_), [](bool s) { return s; });
  if (replacement_.empty()) {
    joinedPairs_.assign(std::size_t{1} << 16, 0);
    for (const std::string& pattern : patterns_) {
      for (std::size_t k = 1; k < pattern.size(); ++k) {
        const auto pair = static_cast<std::size_t>(static_cast<unsigned char>(pattern[k - 1]) |
                                                   static_cast<unsigned char>(pattern[k]) << 8);
        joinedPairs_[pair] |= static_cast<std::uint16_t>(k < 16 ? 1u << k : 1u);
      }
    }
  }
}

BlockedWordMatcher::Split BlockedWordMatcher::DefaultSplit() {
  return SplitFor(0);
}

BlockedWordMatcher::Split BlockedWordMatcher::SplitFor(std::size_t threads) {
  const std::size_t count =
      std::clamp<std::size_t>(threads == 0 ? std::thread::hardware_concurrency() : threads, 1, 4);
  return Split{std::size_t{4} << 20, count == 1 ? 1 : 4 * count, PartOutput::kStagedBytes, count};
}

// Each cut is looked for near its share of the text, first after that point, then before it; a
// cut that is not found leaves its neighbours one larger part.
std::vector<std::size_t> BlockedWordMatcher::CutPoints(std::string_view text,
                                                       const Split& split) const {
  std::vector<std::size_t> cuts{0};
  const std::size_t size = text.size();
  if (split.parts > 1 && size >= split.minTextSize && anySeparates_) {
    const std::size_t window = std::max<std::size_t>(size / split.parts / 4, 64);
    const auto separates = [&](std::size_t at) {
      return separates_[static_cast<unsigned char>(text[at])];
    };
    for (std::size_t k = 1; k < split.parts; ++k) {
      const std::size_t target = size / split.parts * k + size % split.parts * k / split.parts;
      const std::size_t lowest = std::max(cuts.back(), target > window ? target - window : 0);
      std::size_t at = target;
      const std::size_t highest = std::min(size, target + window);
      while (at < highest && !separates(at)) {
        ++at;
      }
      if (at == highest) {
        for (at = target; at > lowest && !separates(at - 1);) {
          --at;
        }
        at = at > lowest ? at - 1 : size;
      }
      if (at >= cuts.back() && at + 1 < size) {
        cuts.push_back(at + 1);  // just after the separating byte
      }
    }
  }
  cuts.push_back(size);
  return cuts;
}

std::string BlockedWordMatcher::Filter(std::string_view text, const Split& split,
                                       std::size_t* partsUsed) const {
  if (partsUsed != nullptr) {
    *partsUsed = 1;
  }
  if (patterns_.empty() || text.empty()) {
    return std::string(text);
  }
  // The one-pass filter keeps offsets within a batch in 32 bits.
  const bool independent = independent_ && text.size() < (std::size_t{1} << 32);
  const auto filterPart = [this, independent](std::string_view part, std::string& out) {
    PartOutput output(out);
    if (independent) {
      FilterIndependent(part, output);
    } else {
      FilterByPieces(part, output);
    }
  };
  const std::vector<std::size_t> cuts = CutPoints(text, split);
  const std::size_t parts = cuts.size() - 1;
  if (partsUsed != nullptr) {
    *partsUsed = parts;
  }
  // The first part is filtered here, straight into the result, which has room for the others'.
  std::string out;
  out.reserve(text.size() + text.size() / 16 + 256);
  if (parts == 1) {
    filterPart(text, out);
    return out;
  }
  std::vector<std::string> rest(parts - 1);
  ForEachPart(parts, Threads(split), [&](std::size_t k) {
    filterPart(text.substr(cuts[k], cuts[k + 1] - cuts[k]), k == 0 ? out : rest[k - 1]);
  });
  for (std::string& part : rest) {
    out.append(part);
    std::string().swap(part);
  }
  return out;
}

bool BlockedWordMatcher::NeverLengthens(std::size_t textSize) const {
  return replacement_.empty() || (independent_ && textSize < (std::size_t{1} << 32) &&
                                  replacement_.size() <= shortestReplaceable_);
}

void BlockedWordMatcher::FilterInPlace(std::string& text, const Split& split,
                                       std::size_t* partsUsed) const {
  if (!NeverLengthens(text.size())) {
    text = Filter(text, split, partsUsed);
    return;
  }
  if (partsUsed != nullptr) {
    *partsUsed = 1;
  }
  if (patterns_.empty() || text.empty()) {
    return;
  }
  const bool independent = !replacement_.empty();
  const std::vector<std::size_t> cuts = CutPoints(text, split);
  const std::size_t parts = cuts.size() - 1;
  if (partsUsed != nullptr) {
    *partsUsed = parts;
  }
  // Each part is filtered over its own bytes; the parts then close up.
  std::vector<std::size_t> lengths(parts, 0);
  const auto filterPart = [&](std::size_t k) {
    std::string stage;
    char* const part = text.data() + cuts[k];
    PartOutput output(stage, part, split.stagedBytes);
    const std::string_view bytes(part, cuts[k + 1] - cuts[k]);
    if (independent) {
      FilterIndependent(bytes, output);
    } else {
      FilterByPieces(bytes, output);
    }
    lengths[k] = output.Finish(stage.size());
  };
  ForEachPart(parts, Threads(split), filterPart);
  std::size_t length = lengths[0];
  for (std::size_t k = 1; k < parts; ++k) {
    std::memmove(text.data() + length, text.data() + cuts[k], lengths[k]);
    length += lengths[k];
  }
  text.resize(length);
}

// Pieces end after a separating byte (an ASCII byte in no word). A piece is filtered only when the
// original text has an occurrence in it: a piece without one never changes. The scan of the
// whole text also gives the words that occur in each piece at the start.
void BlockedWordMatcher::FilterByPieces(std::string_view text, PartOutput& output) const {
  std::string& out = output.staged();
  out.reserve(out.size() +
              (output.inPlace() ? std::min(text.size(), PartOutput::kStagedRoom) : text.size()));
  std::size_t copied = 0;  // text before this offset is in `out`
  std::size_t pieceStart = 0;
  std::size_t pieceEnd = 0;  // of the open piece; empty when none is open
  PieceWork work;
  work.live.assign(patterns_.size(), 0);
  std::vector<Occurrence>& found = work.occurrences;  // in the open piece
  const auto finish = [&] {
    if (output.PassOn(out.size(), text.data() + copied, pieceStart - copied)) {
      out.clear();
    } else {
      out.append(text.substr(copied, pieceStart - copied));
    }
    for (Occurrence& o : found) {
      o.start -= pieceStart;
    }
    FilterPiece(text.substr(pieceStart, pieceEnd - pieceStart), work, out);
    copied = pieceEnd;
    found.clear();
    if (output.Drain(out.size())) {
      out.clear();
    }
  };
  // With the empty replacement, pieces are filtered many at a time as one (what happens in one
  // never reaches another), which spares setting up the working memory for each piece.
  const std::size_t batch = replacement_.empty() ? kDeletionBatch : 1;
  // Deleting, only the words that hold no earlier word are looked for at first.
  const bool deleting = replacement_.empty() && text.size() < (std::size_t{1} << 32) - 1;
  (deleting ? replaceableTrie_ : trie_)
      .Scan(text,
            [&] [[gnu::always_inline]] (std::size_t start, std::size_t end, std::uint32_t word) {
              const std::uint32_t pattern = deleting ? patternOfReplaceable_[word] : word;
              if (start >= pieceEnd) {
                if (!found.empty() && found.size() >= batch) {
                  finish();
                }
                if (found.empty()) {
                  pieceStart = start;
                  while (pieceStart > copied &&
                         !separates_[static_cast<unsigned char>(text[pieceStart - 1])]) {
                    --pieceStart;
                  }
                }
                pieceEnd = end;
                while (pieceEnd < text.size() &&
                       !separates_[static_cast<unsigned char>(text[pieceEnd])]) {
                  ++pieceEnd;
                }
                pieceEnd = std::min(text.size(), pieceEnd + 1);
              }
              found.push_back({start, pattern, static_cast<std::uint32_t>(end - start)});
            });
  if (!found.empty()) {
    finish();
  }
  if (output.PassOn(out.size(), text.data() + copied, text.size() - copied)) {
    out.clear();
  } else {
    out.append(text.substr(copied));
  }
}

// The word-by-word procedure on one piece, skipping the words that do not occur: after each
// word, one scan finds the next library word that occurs in the piece as it now is. Used when
// the replacement ends in a lone lead byte, which moves the character boundaries after it.
void BlockedWordMatcher::FilterPiece(std::string_view piece, PieceWork& work,
                                     std::string& out) const {
  if (replacement_.empty() && piece.size() < (std::size_t{1} << 32) - 1) {
    FilterPieceByDeletion(piece, work, out);
    return;
  }
  if (!replacementEndsInLeadByte_) {
    FilterPieceByChanges(piece, work, out);
    return;
  }
  std::string current(piece);
  std::int64_t done = -1;  // library position of the last word applied
  while (true) {
    std::uint32_t next = WordTrie::kNone;
    trie_.Scan(current, [&](std::size_t, std::size_t, std::uint32_t pattern) {
      next = std::min(next, FirstWordAfter(pattern, done));
    });
    if (next == WordTrie::kNone) {
      out.append(current);
      return;
    }
    current = ReplaceEverywhere(current, patterns_[patternOfWord_[next]]);
    done = next;
  }
}

// The word-by-word procedure on one piece when the replacement is whole characters. Replacing
// whole characters by whole characters leaves every other byte a character start or not as it
// was, so the piece keeps one flag per byte, edited along with the text, and the list of the
// occurrences in the piece as it is now.
//
// The words to apply wait in a queue ordered by library position: at the start every word that
// occurs, later every word that a replacement brings about. A turn of a word that no longer
// occurs changes nothing and is skipped. A turn never finds an occurrence that its own
// replacements create (such an occurrence starts before the point where the search goes on), so
// it replaces, from left to right, occurrences present when it begins. After the turn the
// occurrences that shared a byte with a replaced one are gone, the others move with the text,
// and new ones can only overlap an inserted replacement (or span the point of a deletion).
void BlockedWordMatcher::FilterPieceByChanges(std::string_view piece, PieceWork& work,
                                              std::string& out) const {
  std::vector<Occurrence>& occurrences = work.occurrences;
  std::vector<std::uint32_t>& live = work.live;
  // The text is followed by zero bytes so that any position can be matched in place.
  constexpr std::size_t kPadding = 16;
  std::string& current = work.text;
  current.assign(piece);
  current.append(kPadding, '\0');
  std::size_t size = piece.size();
  std::string& isStart = work.isStart;  // a flag per byte, and one for the end
  isStart.resize(size + 1);
  for (std::size_t i = 0; i < size;) {
    isStart[i] = '\1';
    const std::size_t length = GbkCharLength(piece, i);
    if (length == 2) {
      isStart[i + 1] = '\0';
    }
    i += length;
  }
  isStart[size] = '\1';
  const std::size_t reach = trie_.longestWord();
  const std::size_t step = replacement_.empty() ? 1 : 0;  // beyond the replaced word
  const std::size_t r = replacement_.size();

  TurnQueue& turns = work.turns;
  turns.Clear();
  const auto enqueue = [&](std::uint32_t pattern, std::int64_t after) {
    const std::uint32_t next = FirstWordAfter(pattern, after);
    if (next != WordTrie::kNone) {
      turns.Add(next, pattern);
    }
  };
  for (const Occurrence& o : occurrences) {
    if (live[o.pattern]++ == 0) {
      turns.AddInitial(firstWord_[o.pattern], o.pattern);
    }
  }
  turns.Start();

  std::string& next = work.next;
  std::string& nextStart = work.nextStart;
  std::vector<Occurrence>& kept = work.kept;
  std::vector<Occurrence>& added = work.added;
  std::vector<std::size_t>& changes = work.changes;  // offsets of inserted replacements
  std::uint32_t turnPosition = 0;
  std::uint32_t pattern = 0;
  while (turns.Next(turnPosition, pattern)) {
    if (live[pattern] == 0) {
      continue;
    }
    const auto position = static_cast<std::int64_t>(turnPosition);

    // The turn: occurrences of the word from left to right, each at or after the point where
    // the search goes on. The others are kept unless they share a byte with a replaced one.
    next.clear();
    nextStart.clear();
    changes.clear();
    kept.clear();
    std::size_t from = 0;
    for (const Occurrence& o : occurrences) {
      if (o.pattern == pattern && o.start >= from) {
        changes.push_back(o.start);  // old offsets for now
        from = o.start + o.length + step;
      }
    }
    if (changes.empty()) {
      continue;
    }
    // The new text, and the occurrences that keep all their bytes, moved with the text.
    const std::size_t length = patterns_[pattern].size();
    const auto delta = static_cast<std::ptrdiff_t>(r) - static_cast<std::ptrdiff_t>(length);
    std::size_t copied = 0;  // old text before this offset is in `next`
    for (std::size_t& at : changes) {
      next.append(current, copied, at - copied);
      nextStart.append(isStart, copied, at - copied);
      copied = at + length;
      at = next.size();
      next.append(replacement_);
      nextStart.append(replacementStarts_);
    }
    next.append(current, copied, size - copied);
    nextStart.append(isStart, copied, size + 1 - copied);
    {
      std::size_t kept = 0;
      std::size_t change = 0;  // the first replaced range that does not end before `o`
      std::ptrdiff_t shift = 0;
      for (std::size_t i = 0; i < occurrences.size(); ++i) {
        Occurrence o = occurrences[i];
        while (change < changes.size() && static_cast<std::ptrdiff_t>(changes[change]) - shift +
                                                  static_cast<std::ptrdiff_t>(length) <=
                                              static_cast<std::ptrdiff_t>(o.start)) {
          shift += delta;
          ++change;
        }
        // `o` starts before the end of that range; it keeps its bytes if it ends before it.
        if (change < changes.size() &&
            o.start + o.length >
                static_cast<std::size_t>(static_cast<std::ptrdiff_t>(changes[change]) - shift)) {
          --live[o.pattern];
          continue;
        }
        o.start = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(o.start) + shift);
        occurrences[kept++] = o;
      }
      occurrences.resize(kept);
    }
    size = next.size();
    next.append(kPadding, '\0');
    current.swap(next);
    isStart.swap(nextStart);

    // New occurrences near the replacements.
    added.clear();
    const auto* bytes = reinterpret_cast<const unsigned char*>(current.data());
    const auto boundary = [&](std::size_t offset) { return isStart[offset] != 0; };
    std::size_t scanned = 0;  // starts before this offset were looked at already
    for (const std::size_t at : changes) {
      const std::size_t changedEnd = at + r;
      const auto report = [&](std::size_t start, std::size_t end, std::uint32_t word) {
        if (r == 0 ? end > at : (start < changedEnd && end > at)) {
          added.push_back({start, word, static_cast<std::uint32_t>(end - start)});
        }
      };
      std::size_t start = std::max(scanned, at + 1 >= reach ? at + 1 - reach : 0);
      const std::size_t highest = std::min(size, r == 0 ? at : changedEnd);  // exclusive
      for (; start < highest; ++start) {
        if (isStart[start] != 0) {
          trie_.MatchAt<true>(bytes, size, start, bytes + start, boundary, report);
        }
      }
      scanned = std::max(scanned, highest);
    }
    for (const Occurrence& o : added) {
      if (live[o.pattern]++ == 0) {
        enqueue(o.pattern, position);
      }
    }
    // A later library position of the same word may find what this turn left.
    if (live[pattern] != 0) {
      enqueue(pattern, position);
    }
    if (!added.empty()) {
      std::sort(added.begin(), added.end(),
                [](const Occurrence& a, const Occurrence& b) { return a.start < b.start; });
      kept.clear();
      std::merge(occurrences.begin(), occurrences.end(), added.begin(), added.end(),
                 std::back_inserter(kept),
                 [](const Occurrence& a, const Occurrence& b) { return a.start < b.start; });
      occurrences.swap(kept);
    }
  }
  for (const Occurrence& o : occurrences) {
    live[o.pattern] = 0;
  }
  out.append(current, 0, size);
}

std::uint32_t BlockedWordMatcher::LaterWordAfter(std::uint32_t pattern, std::int64_t after) const {
  const auto first = wordsOfPattern_.begin() + wordsStart_[pattern];
  const auto last = wordsOfPattern_.begin() + wordsStart_[pattern + 1];
  const auto found = std::upper_bound(first, last, after, [](std::int64_t value, std::uint32_t w) {
    return value < static_cast<std::int64_t>(w);
  });
  return found == last ? WordTrie::kNone : *found;
}

// One word's turn: every occurrence on character boundaries, left to right, replaced; the search
// goes on after the inserted replacement (one byte further when it is empty). Character
// boundaries are those of the text as it is being rewritten, which differ from the original ones
// only after a replacement that ends in a lone lead byte.
std::string BlockedWordMatcher::ReplaceEverywhere(std::string_view text,
                                                  std::string_view word) const {
  std::string out;
  std::size_t copied = 0;  // text[copied, ...) is not in `out` yet
  std::size_t searchFrom = 0;
  std::size_t charStart = 0;  // a character start of the rewritten text, in text offsets
  while (true) {
    const std::size_t found = text.find(word, searchFrom);
    if (found == std::string_view::npos) {
      break;
    }
    while (charStart < found) {
      charStart += GbkCharLength(text, charStart);
    }
    std::size_t end = charStart;
    while (end < found + word.size()) {
      end += GbkCharLength(text, end);
    }
    if (charStart != found || end != found + word.size()) {
      searchFrom = found + 1;
      continue;
    }
    out.append(text.substr(copied, found - copied));
    out.append(replacement_);
    copied = found + word.size();
    charStart = (replacementEndsInLeadByte_ && copied < text.size()) ? copied + 1 : copied;
    searchFrom = replacement_.empty() ? copied + 1 : copied;
  }
  out.append(text.substr(copied));
  return out;
}

}  // namespace gw::detail
