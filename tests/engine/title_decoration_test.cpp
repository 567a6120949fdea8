#include "engine/title_decoration.h"

#include <gtest/gtest.h>

#include <set>

#include "engine/word_insertion.h"
#include "text/charset.h"

namespace gw {
namespace {

std::string G(std::string_view utf8) {
  return Utf8ToGbk(utf8);
}

class TitleDecorationTest : public ::testing::Test {
 protected:
  void SetUp() override { markup_.create("<[\\s\\S]+?>"); }

  std::string Insert(std::string_view title, std::string_view x, int position) {
    return InsertIntoTitle(title, x, position, markup_, random_);
  }

  RegexService markup_;
  RandomSource random_{42};
};

TEST_F(TitleDecorationTest, KeywordGoesBeforeOrAfterWithoutSeparator) {
  EXPECT_EQ(Insert(G("今天的聊天"), G("关键词"), kBeforeTitle), G("关键词今天的聊天"));
  EXPECT_EQ(Insert(G("今天的聊天"), G("关键词"), kAfterTitle), G("今天的聊天关键词"));
  // The chosen word first, then the keyword: before the title they read keyword, word, title.
  const std::string withWord = Insert(G("标题"), G("词"), kBeforeTitle);
  EXPECT_EQ(Insert(withWord, G("关键"), kBeforeTitle), G("关键词标题"));
}

TEST_F(TitleDecorationTest, AnAnchorContributesOnlyItsText) {
  const std::string anchor = AnchorFor(G("词1"), "http://example.com/a?b");
  EXPECT_EQ(Insert(G("标题"), anchor, kAfterTitle), G("标题词1"));
}

TEST_F(TitleDecorationTest, KeywordIsCleanedLikeAFileName) {
  EXPECT_EQ(Insert(G("标题"), "a/b?\"c\"\r\n", kAfterTitle), G("标题a／b？c"));
  // Nothing left after cleaning: the title stays as it was.
  EXPECT_EQ(Insert(G("标题"), "<b></b>\"\t", kBeforeTitle), G("标题"));
}

TEST_F(TitleDecorationTest, EmptyTitleBecomesTheKeywordExceptAtARandomPosition) {
  EXPECT_EQ(Insert("", G("关键词"), kBeforeTitle), G("关键词"));
  EXPECT_EQ(Insert("", G("关键词"), kAfterTitle), G("关键词"));
  EXPECT_EQ(Insert("", G("关键词"), kRandomInTitle), "");
}

TEST_F(TitleDecorationTest, RandomPositionIsNeverBeforeTheFirstCharacterOfAChineseTitle) {
  const std::string title = G("群里今天聊了1个话题！");
  const std::string keyword = G("关键");
  std::set<std::size_t> places;
  for (std::uint64_t seed = 1; seed <= 300; ++seed) {
    RandomSource random(seed);
    const std::string result = InsertIntoTitle(title, keyword, kRandomInTitle, markup_, random);
    const std::size_t at = result.find(keyword);
    ASSERT_NE(at, 0u) << "seed " << seed;
    ASSERT_EQ(result.substr(0, at) + result.substr(at + keyword.size()), title);
    places.insert(at);
  }
  EXPECT_EQ(places.size(), 11u);  // after every one of the eleven characters
}

TEST_F(TitleDecorationTest, EnglishTitleKeepsItsWordsWhole) {
  // A drawn letter in "Hello" moves after the following space; one in "world" has no space after
  // it, so the keyword goes to the start of the title. Either way it is followed by a space.
  std::set<std::string> results;
  for (std::uint64_t seed = 1; seed <= 200; ++seed) {
    RandomSource random(seed);
    results.insert(InsertIntoTitle("Hello world", "KEY", kRandomInTitle, markup_, random));
  }
  EXPECT_EQ(results, (std::set<std::string>{"KEY Hello world", "Hello KEY world"}));

  RandomSource random(9);
  EXPECT_EQ(InsertIntoTitle("Hello", "KEY", kRandomInTitle, markup_, random), "KEY Hello");
}

TEST(InsertAtRandomPositionTest, CountsLineBreakBytesAsCharactersAndDrawsEachOnce) {
  RandomSource random(4);
  EXPECT_EQ(InsertAtRandomPosition("a\r\nb", "#", 4, false, random), "a#\r#\n#b#");
  EXPECT_EQ(InsertAtRandomPosition("", "#", 4, true, random), "");
}

}  // namespace
}  // namespace gw
