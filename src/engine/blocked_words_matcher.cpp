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

  const std::vector<std::string_view> views(patterns_.begin(), patterns_.end());
  trie_ = WordTrie(views);

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

// Occurrences arrive in order of their starts, so a group of overlapping occurrences is complete
// as soon as one starts at or after the end of all before it; it is resolved at once.
std::string BlockedWordMatcher::FilterIndependent(std::string_view text) const {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  std::vector<Occurrence> group;
  std::vector<unsigned char> taken;
  std::size_t copied = 0;    // text before this offset is in `out`
  std::size_t groupEnd = 0;  // end of the furthest-reaching occurrence of the group
  trie_.Scan(text, [&](std::size_t start, std::size_t end, std::uint32_t pattern) {
    if (!group.empty() && start >= groupEnd) {
      ResolveGroup(text, groupEnd, group, taken, copied, out);
    }
    group.push_back({start, pattern});
    groupEnd = std::max(groupEnd, end);
  });
  if (!group.empty()) {
    ResolveGroup(text, groupEnd, group, taken, copied, out);
  }
  out.append(text.substr(copied));
  return out;
}

// Appends the text up to `groupEnd` to `out`, with the group's occurrences that the word-by-word
// procedure replaces: taken in (word, position) order, each one whose bytes are all still
// untouched is replaced. Empties the group.
void BlockedWordMatcher::ResolveGroup(std::string_view text, std::size_t groupEnd,
                                      std::vector<Occurrence>& group,
                                      std::vector<unsigned char>& taken, std::size_t& copied,
                                      std::string& out) const {
  if (group.size() > 1) {
    const std::size_t from = group.front().start;
    std::sort(group.begin(), group.end(), [](const Occurrence& a, const Occurrence& b) {
      return a.pattern != b.pattern ? a.pattern < b.pattern : a.start < b.start;
    });
    taken.assign(groupEnd - from, 0);
    std::size_t chosen = 0;
    for (const Occurrence& occurrence : group) {
      const auto begin = taken.begin() + static_cast<std::ptrdiff_t>(occurrence.start - from);
      const auto end = begin + static_cast<std::ptrdiff_t>(trie_.wordLength(occurrence.pattern));
      if (std::find(begin, end, 1) != end) {
        continue;
      }
      std::fill(begin, end, 1);
      group[chosen++] = occurrence;
    }
    group.resize(chosen);
    std::sort(group.begin(), group.end(),
              [](const Occurrence& a, const Occurrence& b) { return a.start < b.start; });
  }
  for (const Occurrence& occurrence : group) {
    out.append(text.substr(copied, occurrence.start - copied));
    out.append(replacement_);
    copied = occurrence.start + trie_.wordLength(occurrence.pattern);
  }
  out.append(text.substr(copied, groupEnd - copied));
  copied = groupEnd;
  group.clear();
}

// Pieces end after a separating byte (an ASCII byte in no word). A piece is filtered only when the
// original text has an occurrence in it: a piece without one never changes.
std::string BlockedWordMatcher::FilterByPieces(std::string_view text) const {
  std::string out;
  out.reserve(text.size());
  std::size_t copied = 0;  // also the end of the last filtered piece
  trie_.Scan(text, [&](std::size_t start, std::size_t end, std::uint32_t) {
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
// word, one scan finds the next library word that occurs in the piece as it now is.
std::string BlockedWordMatcher::FilterPiece(std::string_view piece) const {
  std::string current(piece);
  std::int64_t done = -1;  // library position of the last word applied
  while (true) {
    std::uint32_t next = WordTrie::kNone;
    trie_.Scan(current, [&](std::size_t, std::size_t, std::uint32_t pattern) {
      next = std::min(next, FirstWordAfter(pattern, done));
    });
    if (next == WordTrie::kNone) {
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
