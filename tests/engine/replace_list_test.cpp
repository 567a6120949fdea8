#include "engine/replace_list.h"

#include <gtest/gtest.h>

#include "fake_host.h"

namespace gw {
namespace {

using testing::G;
using testing::U;

std::string Replace(std::string_view text, std::string_view finds, std::string_view replacements,
                    bool caseSensitive = true, bool fillFromFirst = false,
                    std::string_view separator = "|", int maxCount = 0) {
  return U(ReplaceList(G(text), G(finds), G(replacements), caseSensitive, fillFromFirst,
                       G(separator), maxCount));
}

TEST(ReplaceList, ReplacesEntryByEntryInListOrder) {
  EXPECT_EQ(Replace("一换一", "一|换", "yi|huang"), "yihuangyi");
  EXPECT_EQ(Replace("一换一", "一|换", "yi"), "yiyi");
  EXPECT_EQ(Replace("一换一", "一|换", "yi", true, true), "yiyiyi");
  // Each entry works on the result of the previous one.
  EXPECT_EQ(Replace("ab", "a|bb", "b|c"), "c");
  EXPECT_EQ(Replace("早上好[表情][图片]", "[表情]|[图片]", ""), "早上好");
}

TEST(ReplaceList, SeparatorsCountAndLimits) {
  EXPECT_EQ(Replace("a,b", "a,,b", "1,2,3", true, false, ","), "1,3");
  EXPECT_EQ(Replace("aaaa", "a", "b", true, false, "|", 2), "bbaa");
  EXPECT_EQ(Replace("abc", "", "x"), "abc");
  EXPECT_EQ(Replace("a|b", "a", "x", true, false, ""), "x|b");  // empty separator means "|"
}

TEST(ReplaceList, IgnoresLetterCaseOnlyWhenAsked) {
  EXPECT_EQ(Replace("ABC abc", "abc", "x"), "ABC x");
  EXPECT_EQ(Replace("ABC abc", "abc", "x", false), "x x");
}

TEST(ReplaceList, NeverMatchesAcrossACharacterBoundary) {
  // "中文" is D6 D0 CE C4; "形" is D0 CE, the middle two bytes.
  EXPECT_EQ(Replace("中文", "形", "x"), "中文");
  EXPECT_EQ(Replace("中文形", "形", "x"), "中文x");
}

TEST(SplitList, PiecesFollowTheSeparatorRules) {
  EXPECT_EQ(SplitList("|a||b|", "|"), (std::vector<std::string>{"", "a", "", "b"}));
  EXPECT_TRUE(SplitList("", "|").empty());
}

}  // namespace
}  // namespace gw
