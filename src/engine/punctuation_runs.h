// Runs of punctuation in an article: what PunctuationRunPattern() finds, replaced in one pass over
// the GBK text instead of through the pattern, with the same result byte for byte.
#pragma once

#include <string>
#include <string_view>

namespace gw {

// `article` (up to its first NUL byte) with every run of two or more punctuation characters
// (PunctuationRunCharacters()) replaced by `mark`, taken as plain text. When there is no such
// run the article comes back as it is; otherwise every character comes back as GBK writes it
// (a byte that is no character, or a character GBK cannot hold, as "?"), as a replacement by the
// pattern gives it.
std::string ReplacePunctuationRuns(std::string_view article, std::string_view mark);

}  // namespace gw
