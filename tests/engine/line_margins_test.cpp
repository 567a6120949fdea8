#include "engine/line_margins.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/patterns.h"
#include "regex/engine_text.h"
#include "regex/regex_service.h"

namespace gw {
namespace {

// What the step's pattern, replaced with nothing, makes of `text`.
std::u16string ByThePattern(const std::string& pattern, const std::u16string& text) {
  RegexService regex;
  regex.create(pattern);
  EngineText engineText;
  engineText.assignUtf16(text);
  regex.replaceIn(engineText, "");
  return std::u16string(engineText.view());
}

TEST(LineMargins, FoldingTakesOutLineBreaksAndLinesOfBlanks) {
  std::u16string text = u"第一行\r\n \t\u3000\r\n第二行 \r\nb\rc\nd\r\n\r\n\r\ne";
  EXPECT_TRUE(FoldLineBreaks(text));
  EXPECT_EQ(text, u"第一行第二行 b\rc\nde");
  std::u16string unchanged = u"a\rb\nc  ";
  EXPECT_FALSE(FoldLineBreaks(unchanged));
  EXPECT_EQ(unchanged, u"a\rb\nc  ");
}

TEST(LineMargins, TrimmingTakesOutBlankMarginsAndLinesOfBlanks) {
  std::u16string text = u"\t标题 \r\n \u3000\r\n  正文\u3000b \r\n\r\nc";
  EXPECT_TRUE(TrimLineMargins(text));
  EXPECT_EQ(text, u"标题\r\n正文\u3000b\r\nc");
}

// Random texts of blanks, line ends and other characters: both steps give what their patterns
// give. (U+2028 and U+2029 are line terminators too, but no GBK text holds them.)
TEST(LineMargins, BothStepsDoWhatTheirPatternsDoOnRandomText) {
  const std::vector<std::u16string> pieces = {u" ", u"\t", u"\u3000", u"\r",       u"\n",  u"\r\n",
                                              u"a", u"中", u"  ",     u"\r\n\r\n", u"x y", u"?"};
  std::mt19937 random(9122026);
  for (int round = 0; round < 5000; ++round) {
    std::u16string text;
    const int count = static_cast<int>(random() % 14);
    for (int i = 0; i < count; ++i) {
      text += pieces[random() % pieces.size()];
    }
    std::u16string folded = text;
    const bool foldedAny = FoldLineBreaks(folded);
    ASSERT_EQ(folded, ByThePattern(LineFoldPattern(), text)) << round;
    ASSERT_EQ(foldedAny, folded != text);
    std::u16string trimmed = text;
    const bool trimmedAny = TrimLineMargins(trimmed);
    ASSERT_EQ(trimmed, ByThePattern(LineTrimPattern(), text)) << round;
    ASSERT_EQ(trimmedAny, trimmed != text);
  }
}

// A step that shortens an engine text leaves it as the replacement with nothing leaves it:
// characters GBK cannot hold read as "?" from then on, and the GBK bytes assigned are let go.
TEST(LineMargins, AShortenedEngineTextIsWhatAReplacementLeaves) {
  const std::string gbk = std::string("a\xFF\r\nb");
  EngineText shortened(gbk);
  ASSERT_TRUE(FoldLineBreaks(shortened.unitsToShorten()));
  shortened.shortened();
  RegexService fold;
  fold.create(LineFoldPattern());
  EngineText replaced(gbk);
  fold.replaceIn(replaced, "");
  EXPECT_EQ(shortened.view(), replaced.view());
  EXPECT_EQ(shortened.toGbk(), replaced.toGbk());
  EXPECT_EQ(shortened.toGbk(), "a?b");
}

}  // namespace
}  // namespace gw
