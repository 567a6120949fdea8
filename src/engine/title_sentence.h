// The title of an article: one of its own sentences, long enough, picked at random.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/random_draw.h"
#include "regex/engine_text.h"
#include "regex/regex_service.h"

namespace gw {

// Keeps its room from one article to the next, so that a run picks the titles of many articles
// without allocating for each one.
class TitleSentencePicker {
 public:
  TitleSentencePicker();
  std::string pick(std::string_view article, int minChars, RandomSource& random);

 private:
  EngineText text_;  // the article on its way to its pieces, kept for its room
};

// Cuts `article` (GBK) into pieces at punctuation and line breaks, after removing its markup
// tags and blank margins, and returns a random piece of at least `minChars` characters (0 or less:
// no minimum), trimmed of spaces and full-width spaces. When no piece qualifies, a random piece
// is returned as it is, whatever its length.
std::string PickTitleSentence(std::string_view article, int minChars, RandomSource& random);

// The pattern that separates the pieces (GBK), built from the delimiter set.
const std::string& TitleDelimiterPattern();

// The pieces of `text` (the engine's form) between what TitleDelimiterPattern() matches, found
// without running it, and at the text's own "[⊥]" (the marker the pieces were once cut at); empty
// pieces kept, none after a trailing delimiter. Views into `text`.
std::vector<std::u16string_view> SplitAtTitleDelimiters(std::u16string_view text);

}  // namespace gw
