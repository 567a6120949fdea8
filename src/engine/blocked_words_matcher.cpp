#include "engine/blocked_words_matcher.h"

#include <algorithm>
#include <limits>
#include <unordered_map>
#include <utility>

#include "text/gbk_chars.h"

namespace gw::detail {

namespace {

bool IsLeadByte(char c) {
  return static_cast<unsigned char>(c) >= 0x80;
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

// Runs the automaton over a text and reports the occurrences that start and end on character
// boundaries, in order of their ends. The scan can be done in steps (ScanTo).
class BoundaryScanner {
 public:
  BoundaryScanner(const AhoCorasick& automaton, std::string_view text)
      : automaton_(automaton), text_(text) {
    std::size_t size = 1;
    while (size <= automaton.maxPatternLength()) {
      size <<= 1;
    }
    startFlags_.assign(size, 0);
    mask_ = size - 1;
  }

  std::size_t position() const { return position_; }

  // Scans up to byte offset `to`; calls report(start, end, pattern).
  template <typename Report>
  void ScanTo(std::size_t to, Report&& report) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text_.data());
    const std::size_t size = text_.size();
    AhoCorasick::State state = state_;
    std::size_t nextStart = nextStart_;
    for (std::size_t i = position_; i < to; ++i) {
      const unsigned char byte = bytes[i];
      const bool isStart = i == nextStart;
      if (isStart) {
        nextStart = i + ((byte >= 0x80 && i + 1 < size) ? 2 : 1);
      }
      startFlags_[i & mask_] = isStart;
      state = automaton_.Next(state, byte);
      if ((state & AhoCorasick::kHasMatch) != 0 && nextStart == i + 1) [[unlikely]] {
        automaton_.ForEachMatch(state, [&](std::uint32_t pattern) {
          const std::size_t start = i + 1 - automaton_.patternLength(pattern);
          if (startFlags_[start & mask_] != 0) {
            report(start, i + 1, pattern);
          }
        });
      }
    }
    state_ = state;
    nextStart_ = nextStart;
    position_ = std::max(position_, to);
  }

 private:
  const AhoCorasick& automaton_;
  std::string_view text_;
  AhoCorasick::State state_ = AhoCorasick::kRoot;
  std::size_t position_ = 0;
  std::size_t nextStart_ = 0;
  std::vector<unsigned char> startFlags_;  // whether offset i starts a character, by i & mask_
  std::size_t mask_ = 0;
};

}  // namespace

BlockedWordMatcher::BlockedWordMatcher(const std::vector<std::string>& words,
                                       std::string replacement, std::size_t settleBytes)
    : replacement_(std::move(replacement)), settleBytes_(std::max<std::size_t>(1, settleBytes)) {
  // Distinct words, numbered by first appearance, with the library positions of each.
  std::unordered_map<std::string_view, std::uint32_t> ids;
  std::vector<std::uint32_t>& patternOfWord = patternOfWord_;
  patternOfWord.assign(words.size(), AhoCorasick::kNone);
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
    if (p != AhoCorasick::kNone) {
      ++wordsStart_[p + 1];
    }
  }
  for (std::size_t p = 0; p < patterns_.size(); ++p) {
    wordsStart_[p + 1] += wordsStart_[p];
  }
  wordsOfPattern_.resize(wordsStart_.back());
  std::vector<std::uint32_t> fill(wordsStart_.begin(), wordsStart_.end() - 1);
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (patternOfWord[i] != AhoCorasick::kNone) {
      wordsOfPattern_[fill[patternOfWord[i]]++] = static_cast<std::uint32_t>(i);
    }
  }

  const std::vector<std::string_view> views(patterns_.begin(), patterns_.end());
  automaton_ = AhoCorasick(views);

  replacementEndsInLeadByte_ = EndsInLoneLeadByte(replacement_);
  independent_ = !replacement_.empty() && !replacementEndsInLeadByte_;
  for (std::size_t p = 0; p < patterns_.size() && independent_; ++p) {
    independent_ = !CanOverlap(patterns_[p], replacement_);
  }
  for (int b = 0; b < 0x80; ++b) {
    separates_[b] = true;
  }
  for (const std::string& pattern : patterns_) {
    for (const char c : pattern) {
      separates_[static_cast<unsigned char>(c)] = false;
    }
  }
}

std::string BlockedWordMatcher::Filter(std::string_view text) const {
  if (patterns_.empty() || text.empty()) {
    return std::string(text);
  }
  return independent_ ? FilterIndependent(text) : FilterByPieces(text);
}

// Occurrences arrive in order of their ends. Every settleBytes_ (more when nothing could be
// settled) the pass looks for the last cut point that no occurrence spans, among offsets up to
// which every occurrence that could span them is known, and resolves what lies before it.
std::string BlockedWordMatcher::FilterIndependent(std::string_view text) const {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  BoundaryScanner scanner(automaton_, text);
  std::vector<Occurrence> pending;
  std::vector<Occurrence> group;
  std::size_t settled = 0;  // text before this offset is in `out`
  std::size_t nextTry = settleBytes_;
  const std::size_t reach = automaton_.maxPatternLength();
  while (scanner.position() < text.size()) {
    const std::size_t to = std::min(text.size(), nextTry);
    scanner.ScanTo(to, [&](std::size_t start, std::size_t, std::uint32_t pattern) {
      pending.push_back({start, pattern});
    });
    if (to == text.size() || to < reach) {
      nextTry = to + settleBytes_;
      continue;
    }
    // Occurrences not seen yet end after `to`, so they start at `safe` or later.
    const std::size_t safe = to + 1 - reach;
    // Largest k such that the first k occurrences (by end) all end at or before some cut c and
    // the others all start at or after it, with c <= safe.
    std::size_t minStartAfter = safe;
    std::size_t keep = pending.size();
    std::size_t cut = settled;
    for (std::size_t k = pending.size();; --k) {
      const std::size_t endBefore =
          k == 0 ? settled
                 : pending[k - 1].start + automaton_.patternLength(pending[k - 1].pattern);
      if (endBefore <= minStartAfter && endBefore >= settled) {
        keep = k;
        cut = minStartAfter;
        break;
      }
      if (k == 0) {
        break;
      }
      minStartAfter = std::min(minStartAfter, pending[k - 1].start);
    }
    if (cut > settled) {
      group.assign(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(keep));
      pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(keep));
      ResolveGroup(text, settled, cut, group, out);
      settled = cut;
    }
    nextTry = to + std::max(settleBytes_, to - settled);
  }
  ResolveGroup(text, settled, text.size(), pending, out);
  return out;
}

// Appends text[from, to) to `out` with the occurrences (all inside it) that the word-by-word
// procedure replaces: taken in (word, position) order, each one whose bytes are all still
// untouched is replaced.
void BlockedWordMatcher::ResolveGroup(std::string_view text, std::size_t from, std::size_t to,
                                      std::vector<Occurrence>& occurrences,
                                      std::string& out) const {
  std::sort(occurrences.begin(), occurrences.end(), [](const Occurrence& a, const Occurrence& b) {
    return a.pattern != b.pattern ? a.pattern < b.pattern : a.start < b.start;
  });
  std::vector<unsigned char> taken(to - from, 0);
  std::size_t chosen = 0;
  for (const Occurrence& occurrence : occurrences) {
    const std::size_t begin = occurrence.start - from;
    const std::size_t end = begin + automaton_.patternLength(occurrence.pattern);
    if (std::any_of(taken.begin() + static_cast<std::ptrdiff_t>(begin),
                    taken.begin() + static_cast<std::ptrdiff_t>(end),
                    [](unsigned char t) { return t != 0; })) {
      continue;
    }
    std::fill(taken.begin() + static_cast<std::ptrdiff_t>(begin),
              taken.begin() + static_cast<std::ptrdiff_t>(end), 1);
    occurrences[chosen++] = occurrence;
  }
  occurrences.resize(chosen);
  std::sort(occurrences.begin(), occurrences.end(),
            [](const Occurrence& a, const Occurrence& b) { return a.start < b.start; });
  std::size_t copied = from;
  for (const Occurrence& occurrence : occurrences) {
    out.append(text.substr(copied, occurrence.start - copied));
    out.append(replacement_);
    copied = occurrence.start + automaton_.patternLength(occurrence.pattern);
  }
  out.append(text.substr(copied, to - copied));
}

// Pieces end after a separating byte (an ASCII byte in no word). A piece is filtered only when the
// original text has an occurrence in it: a piece without one never changes.
std::string BlockedWordMatcher::FilterByPieces(std::string_view text) const {
  std::string out;
  out.reserve(text.size());
  BoundaryScanner scanner(automaton_, text);
  std::size_t copied = 0;  // also the end of the last filtered piece
  scanner.ScanTo(text.size(), [&](std::size_t start, std::size_t end, std::uint32_t) {
    if (start < copied) {
      return;  // inside the piece just filtered
    }
    std::size_t pieceStart = start;
    while (pieceStart > copied && !separates_[static_cast<unsigned char>(text[pieceStart - 1])]) {
      --pieceStart;
    }
    std::size_t pieceEnd = end;
    while (pieceEnd < text.size() && !separates_[static_cast<unsigned char>(text[pieceEnd])]) {
      ++pieceEnd;
    }
    pieceEnd = std::min(text.size(), pieceEnd + 1);
    out.append(text.substr(copied, pieceStart - copied));
    out.append(FilterPiece(text.substr(pieceStart, pieceEnd - pieceStart)));
    copied = pieceEnd;
  });
  out.append(text.substr(copied));
  return out;
}

// The word-by-word procedure on one piece, skipping the words that do not occur: after each
// word, one automaton pass finds the next library word that occurs in the piece as it now is.
std::string BlockedWordMatcher::FilterPiece(std::string_view piece) const {
  std::string current(piece);
  std::int64_t done = -1;  // library position of the last word applied
  while (true) {
    std::uint32_t next = AhoCorasick::kNone;
    BoundaryScanner scanner(automaton_, current);
    scanner.ScanTo(current.size(), [&](std::size_t, std::size_t, std::uint32_t pattern) {
      next = std::min(next, FirstWordAfter(pattern, done));
    });
    if (next == AhoCorasick::kNone) {
      return current;
    }
    current = ReplaceEverywhere(current, patterns_[patternOfWord_[next]]);
    done = next;
  }
}

std::uint32_t BlockedWordMatcher::FirstWordAfter(std::uint32_t pattern, std::int64_t after) const {
  const auto first = wordsOfPattern_.begin() + wordsStart_[pattern];
  const auto last = wordsOfPattern_.begin() + wordsStart_[pattern + 1];
  const auto found = std::upper_bound(first, last, after, [](std::int64_t value, std::uint32_t w) {
    return value < static_cast<std::int64_t>(w);
  });
  return found == last ? AhoCorasick::kNone : *found;
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
