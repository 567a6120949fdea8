// Words from the user's word list inserted at random places of an article, optionally as anchor
// links. An insertion never splits a double-byte character or a CR LF pair, never lands inside a
// markup tag and can keep English words whole.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/options.h"
#include "engine/random_draw.h"

namespace gw {

// The word list of a run (GBK items). In link mode the last item is a web link: it is never
// inserted itself, every drawn word becomes an anchor pointing to it.
struct WordList {
  std::vector<std::string> items;
  bool linkMode = false;

  bool empty() const { return items.empty(); }
};

// Splits the word box text (GBK) at every "|". Empty items (between adjacent "|" or at either
// end) are dropped. The list is in link mode when its last item starts with "http://" (any case);
// a last item that is only "http://" or "http:///" loses that "http://". A one-item list holds
// its item twice, so that in link mode the item is both anchor text and link. An empty result
// means the run inserts no words.
WordList PrepareWordList(std::string_view boxText);

// The anchor that links `word` to `link`.
std::string AnchorFor(std::string_view word, std::string_view link);

// The words chosen for one article.
struct WordChoice {
  // One entry per insertion when every insertion gets its own word ("选择框每次不同"); empty
  // otherwise, and then the caller's chosen word is inserted `count` times.
  std::vector<std::string> words;
  int count = 0;
};

// The most words one article receives. Both ends of the insertion range are held to it: a
// count such as 999999999 typed or stored by hand would otherwise build articles of gigabytes.
inline constexpr int kMaxInsertionsPerArticle = 1000;

// Draws the words for one article from `list` with the range "编辑框插入1".."编辑框插入2"
// (each end at most kMaxInsertionsPerArticle) and "选择框每次不同" of `options`. `chosenWord` is
// the word of the previous article on entry and the word of this article on return: when the range
// gives no round, it keeps its value. `wordDraw` lives for the whole source file, so words repeat
// only after all were used.
WordChoice ChooseWords(const WordList& list, const Options& options, NonRepeatingDraw& wordDraw,
                       RandomSource& random, std::string& chosenWord);

struct InsertFlags {
  bool avoidWords = true;  // keep English words whole; a word placed at a space gets one after it
  bool avoidTags = true;   // never insert inside a markup tag
  int fixedStep = 0;       // > 0: insertion i goes after character step × i instead of at random
};

// `text` (GBK) with words inserted after random characters (CR LF counts as one character).
// When `words` is non-empty each of its entries is inserted once; otherwise `word` is inserted
// `count` times (at least once). Positions are drawn without repetition until every character
// was used. An empty text gives the empty text.
std::string InsertWords(std::string_view text, std::string_view word, int count,
                        const std::vector<std::string>& words, const InsertFlags& flags,
                        RandomSource& random);

// Article finishing: chooses this article's words and inserts them, keeping English words whole
// and tags intact. Returns the article with its words; `chosenWord` as for ChooseWords.
std::string InsertArticleWords(std::string_view article, const WordList& list,
                               const Options& options, NonRepeatingDraw& wordDraw,
                               RandomSource& random, std::string& chosenWord);

// One text to put into another, at a byte offset that starts a character.
struct Insertion {
  std::size_t offset;
  std::string text;
};

// `text` with every insertion put in at its offset; insertions at the same offset keep their
// order.
std::string ApplyInsertions(std::string_view text, std::vector<Insertion> insertions);

}  // namespace gw
