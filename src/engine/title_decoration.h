// The title's decoration: the article's chosen word and the user's title keyword placed before
// the title, after it, or at a random position that keeps English words whole.
#pragma once

#include <string>
#include <string_view>

#include "engine/random_draw.h"
#include "regex/regex_service.h"

namespace gw {

// Items of "组合框标题位置".
enum TitlePosition { kBeforeTitle = 0, kAfterTitle = 1, kRandomInTitle = 2 };

// `title` with `x` put in (all GBK). Markup tags are removed from `x` with `markup` (compiled
// with the tag pattern), so an anchor contributes only its text; then `x` gets the file-name
// cleaning. An `x` that is empty afterwards leaves the title unchanged. `titlePosition` is the
// index of "组合框标题位置"; an unknown index counts as the random position.
std::string InsertIntoTitle(std::string_view title, std::string_view x, int titlePosition,
                            RegexService& markup, RandomSource& random);

// `text` with `word` inserted after `count` (at least 1) characters drawn at random without
// repetition (here a CR and an LF are one character each). With `protectEnglish`, a position in
// an English word moves just after the nearer space around it (following space preferred on a
// tie, the start of the text when no space follows) and a word placed at a space or at an
// English word gets a trailing space. An empty text stays empty.
std::string InsertAtRandomPosition(std::string_view text, std::string_view word, int count,
                                   bool protectEnglish, RandomSource& random);

}  // namespace gw
