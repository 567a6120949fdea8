#include "regex/tag_shield.h"

#include <gtest/gtest.h>

#include <string>

#include "text/charset.h"

namespace gw {
namespace {

std::string G(std::string_view utf8) {
  return Utf8ToGbk(utf8);
}

TEST(TagShield, DiscardingDeletesEveryTagAndLeavesStrayBrackets) {
  struct Row {
    const char* input;
    const char* expected;
  };
  const Row rows[] = {
      {"a<b>c<d>e", "ace"},
      {"x > y <p>z</p>", "x > y z"},  // a ">" with no "<" before it stays
      {"<a>b>c", "b>c"},              // the last ">" closes nothing, "<a>" is a tag
      {"1<2", "1<2"},                 // no ">" after the "<"
      {"<<b>", "<"},                  // the tag starts at the last "<"
      {"", ""},
  };
  for (const Row& row : rows) {
    TagShield shield;
    EXPECT_EQ(shield.shield(row.input, "", true), row.expected) << row.input;
  }
}

TEST(TagShield, RestoreWritesTheTagsBackInOrder) {
  TagShield shield;
  const std::string original = G("<p>你好</p><br>世界");
  const std::string shielded = shield.shield(original);
  EXPECT_EQ(shielded, TagShield::kDefaultPlaceholder + G("你好") + TagShield::kDefaultPlaceholder +
                          TagShield::kDefaultPlaceholder + G("世界"));
  EXPECT_EQ(shield.restore(shielded), original);
  // A discarding shield leaves the kept tags alone.
  EXPECT_EQ(shield.shield("<i>x", "", true), "x");
  EXPECT_EQ(shield.restore(shielded), original);
}

TEST(TagShield, OwnPlaceholderStaysWhenDiscarding) {
  TagShield shield;
  EXPECT_EQ(shield.shield("a<b>c", "#", true), "a#c");
  EXPECT_EQ(shield.restore("a#c"), "a#c");  // nothing was kept
}

TEST(TagShield, RestoreWithMoreTagsThanPlaceholdersFillsFromTheEnd) {
  TagShield shield;
  ASSERT_EQ(shield.shield("<a>1<b>2<c>", "#"), "#1#2#");
  EXPECT_EQ(shield.restore("x#y#"), "x<b>y<c>");
  EXPECT_EQ(shield.restore("none"), "none");
}

TEST(TagShield, LongArticleWithManyTagsAndStrayBracketsIsFast) {
  std::string article;
  for (int i = 0; i < 200'000; ++i) {
    article += G("<p>段落</p>>>>");
  }
  article += "<" + std::string(200'000, '>');
  TagShield shield;
  std::string expected;
  for (int i = 0; i < 200'000; ++i) {
    expected += G("段落>>>");
  }
  expected += std::string(199'999, '>');
  EXPECT_EQ(shield.shield(article, "", true), expected);
  const std::string shielded = shield.shield(article);
  EXPECT_EQ(shield.restore(shielded), article);
}

}  // namespace
}  // namespace gw
