// The compiled form of a blocked-word library: the distinct words in one trie and the
// replacement, applied to a whole text in one pass.
//
// The result is the one of the word-by-word procedure (each word in library order, every
// occurrence replaced before the next word, occurrences only on character boundaries), computed
// without a pass per word:
//
// - When replacements can neither create nor shift occurrences (the replacement is not empty, no
//   word overlaps a replacement in any alignment, and the replacement does not end with a lone
//   lead byte), the occurrences that get replaced are exactly those of the original text that
//   survive a greedy pick in (word, position) order: an occurrence is replaced unless an earlier
//   word, or the same word further left, already took one of its bytes. One scan finds the
//   occurrences; batches of them that share no byte are resolved independently
//   (blocked_words_independent.cpp).
// - Otherwise the text is cut after every ASCII byte that occurs in no word: no occurrence can
//   ever contain such a byte, and the byte is never removed, so nothing that happens on one side
//   of it changes the other side, character boundaries included. Pieces without any occurrence
//   are copied; the others are filtered word by word, visiting only the words that occur there.
//   With the empty replacement, pieces go in batches, and each occurrence there is, or comes to
//   be, waits for its word's turn (blocked_words_deletion.cpp).
//
// The same cut makes a large text into parts that are filtered on separate threads and joined in
// order: a part ends right after an ASCII byte that occurs in no word. No occurrence contains that
// byte, and the position after an ASCII byte is a character boundary whatever comes before it (the
// byte ends a character, alone or as the trail byte of a pair), so each part, read on its own, has
// the character boundaries and the occurrences it has inside the whole text, in both ways of
// computing the result.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/blocked_words_deletion.h"
#include "engine/blocked_words_output.h"
#include "engine/blocked_words_trie.h"
#include "engine/blocked_words_turns.h"

namespace gw::detail {

class BlockedWordMatcher {
 public:
  BlockedWordMatcher(const std::vector<std::string>& words, std::string replacement);

  // How a text is cut into parts filtered at the same time.
  struct Split {
    std::size_t minTextSize;  // smaller texts are filtered in one part
    std::size_t parts;        // at most this many parts
    // Filtering in place, each part's output is staged until it is this long.
    std::size_t stagedBytes = PartOutput::kStagedBytes;
    // At most this many parts are filtered at a time; 0 for all of them.
    std::size_t threads = 0;
  };
  // From 4 MB on, four parts per processor, filtered on one thread per processor (at most four).
  static Split DefaultSplit();
  // The same for `threads` threads (at most four; 0: one per processor); one thread filters the
  // whole text as one part.
  static Split SplitFor(std::size_t threads);

  std::string Filter(std::string_view text) const { return Filter(text, DefaultSplit()); }
  // `partsUsed`, when given, receives the number of parts the text was filtered in.
  std::string Filter(std::string_view text, const Split& split,
                     std::size_t* partsUsed = nullptr) const;

  // The same, filtering `text` where it lies when the result can never be longer than the text
  // (see NeverLengthens), which spares memory of the text's size; otherwise `text` receives
  // Filter's result. Should filtering fail with an exception, `text` is left in pieces.
  void FilterInPlace(std::string& text, const Split& split, std::size_t* partsUsed = nullptr) const;
  void FilterInPlace(std::string& text) const { FilterInPlace(text, DefaultSplit()); }

  // True when the filtered text is never longer than the text, as far as is known beforehand:
  // words are deleted, or replaced without further ado (independent occurrences) by a
  // replacement no longer than any word that can be replaced.
  bool NeverLengthens(std::size_t textSize) const;

  // True when replacements can neither create nor shift occurrences (see above).
  bool independentOccurrences() const { return independent_; }

 private:
  struct Occurrence {
    std::size_t start;
    std::uint32_t pattern;
    std::uint32_t length;
  };

  static std::size_t Threads(const Split& split) {
    return split.threads == 0 ? split.parts : split.threads;
  }
  // Offsets where the text is cut into parts: 0, the cuts in ascending order, the text's size.
  std::vector<std::size_t> CutPoints(std::string_view text, const Split& split) const;
  // Both put the filtered text into `output`.
  void FilterIndependent(std::string_view text, PartOutput& output) const;
  void FilterByPieces(std::string_view text, PartOutput& output) const;
  // Working memory of the piece-by-piece filter, kept from piece to piece.
  struct PieceWork {
    std::vector<Occurrence> occurrences;  // of the piece as it is, by start (piece offsets)
    std::vector<std::uint32_t> live;      // per pattern, its occurrences; all 0 between pieces
    TurnQueue turns;
    std::string text;
    std::string next;
    std::string isStart;  // a flag per byte ('\1' for a character start) and one for the end
    std::string nextStart;
    std::vector<Occurrence> kept;
    std::vector<Occurrence> added;
    std::vector<std::size_t> changes;
    DeletionWork deletion;
  };

  // With the empty replacement, pieces are filtered together until they hold this many
  // occurrences.
  static constexpr std::size_t kDeletionBatch = std::size_t{1} << 12;
  // Appends the filtered piece to `out`; work.occurrences holds the piece's occurrences.
  void FilterPiece(std::string_view piece, PieceWork& work, std::string& out) const;
  void FilterPieceByChanges(std::string_view piece, PieceWork& work, std::string& out) const;
  // The same when the replacement is empty (blocked_words_deletion.cpp).
  void FilterPieceByDeletion(std::string_view piece, PieceWork& work, std::string& out) const;
  std::string ReplaceEverywhere(std::string_view text, std::string_view word) const;
  // The first library position of `pattern` after `after`, or WordTrie::kNone. Most words
  // stand once in a library: those are answered from firstWord_ alone.
  std::uint32_t FirstWordAfter(std::uint32_t pattern, std::int64_t after) const {
    const std::uint32_t first = firstWord_[pattern];
    if (static_cast<std::int64_t>(first) > after) {
      return first;
    }
    return wordsStart_[pattern + 1] - wordsStart_[pattern] == 1 ? WordTrie::kNone
                                                                : LaterWordAfter(pattern, after);
  }
  // The same for a word that stands more than once.
  std::uint32_t LaterWordAfter(std::uint32_t pattern, std::int64_t after) const;

  std::string replacement_;
  std::vector<std::string> patterns_;          // distinct non-empty words, by first appearance
  std::vector<std::uint32_t> patternOfWord_;   // by library position; kNone for empty words
  std::vector<std::uint32_t> wordsOfPattern_;  // library positions of each pattern, ascending
  std::vector<std::uint32_t> wordsStart_;      // pattern p owns [wordsStart_[p], wordsStart_[p+1])
  std::vector<std::uint32_t> firstWord_;       // first library position of each pattern
  WordTrie trie_{{}};
  // With independent occurrences or the empty replacement: the words that hold no earlier word
  // (see the constructor), numbered in library order, and the pattern of each.
  WordTrie replaceableTrie_{{}};
  std::vector<std::uint32_t> patternOfReplaceable_;
  std::vector<bool> holdsEarlier_;                     // per pattern
  std::size_t shortestReplaceable_ = ~std::size_t{0};  // bytes of the shortest of those words
  bool independent_ = true;
  bool replacementEndsInLeadByte_ = false;
  std::string replacementStarts_;  // a flag per byte of the replacement, read alone
  bool separates_[256] = {};       // ASCII bytes that occur in no word
  // With the empty replacement, per pair of bytes b0 b1 (b0 | b1 << 8): bit k (1 to 15) set when
  // some word has b0 and b1 as its bytes k - 1 and k, bit 0 when some word has them further in.
  // A word found across a join has the bytes on either side of it as such a pair.
  std::vector<std::uint16_t> joinedPairs_;
  bool anySeparates_ = false;
};

}  // namespace gw::detail
