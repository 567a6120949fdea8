#include "engine/punctuation_runs.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/patterns.h"
#include "regex/regex_service.h"
#include "text/charset.h"

namespace gw {
namespace {

std::string G(std::string_view utf8) {
  return Utf8ToGbk(utf8);
}

TEST(PunctuationRuns, ReplacesRunsOfTwoOrMore) {
  EXPECT_EQ(ReplacePunctuationRuns(G("好的！！真的？？是。不是…… a, b"), G("，")),
            G("好的，真的，是。不是，a，b"));  // ", " is a run too
  // Nothing to replace: the article comes back byte for byte, bytes that are no character too.
  const std::string untouched = "a\xFF\x81 b!";
  EXPECT_EQ(ReplacePunctuationRuns(untouched, G("。")), untouched);
  // Once something is replaced, such bytes come back as "?"; the text ends at a NUL.
  EXPECT_EQ(ReplacePunctuationRuns(std::string("\xFF!!x\0!!", 7), G("。")), G("?。x"));
}

// Random texts of punctuation, look-alikes, characters whose second byte is ASCII, bytes that
// are no character and NULs: the replacement is the pattern's, byte for byte.
TEST(PunctuationRuns, ReplacesWhatThePatternReplacesOnRandomText) {
  const std::vector<std::string> pieces = {"!",
                                           "?",
                                           ",",
                                           ";",
                                           " ",
                                           ".",
                                           G("。"),
                                           G("！"),
                                           G("？"),
                                           G("，"),
                                           G("；"),
                                           G("　"),
                                           G("·"),
                                           G("…"),
                                           G("、"),
                                           G("腫"),
                                           G("好"),
                                           "a",
                                           "\x80",
                                           "\xFF",
                                           "\x81",
                                           "\x81!",
                                           std::string("\0", 1),
                                           "\r\n",
                                           "$&",
                                           "[",
                                           "|"};
  RegexService pattern;
  pattern.create(PunctuationRunPattern());
  std::mt19937 random(1209);
  for (int round = 0; round < 5000; ++round) {
    std::string text;
    const int count = static_cast<int>(random() % 16);
    for (int i = 0; i < count; ++i) {
      text += pieces[random() % pieces.size()];
    }
    const std::string mark = round % 3 == 0 ? G("，") : round % 3 == 1 ? G("。") : "\xFF";
    ASSERT_EQ(ReplacePunctuationRuns(text, mark), pattern.replace(text, mark)) << GbkToUtf8(text);
  }
}

}  // namespace
}  // namespace gw
