#include "engine/word_insertion.h"

#include <gtest/gtest.h>

#include <ostream>

#include <algorithm>
#include <map>
#include <set>

#include "text/charset.h"
#include "text/gbk_chars.h"

namespace gw {
namespace {

std::string G(std::string_view utf8) {
  return Utf8ToGbk(utf8);
}

const std::string kLink = "http://example.com/page";

int Occurrences(std::string_view text, std::string_view part) {
  int count = 0;
  for (std::size_t at = text.find(part); at != std::string_view::npos;
       at = text.find(part, at + part.size())) {
    ++count;
  }
  return count;
}

std::string Without(std::string text, std::string_view part) {
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at)) {
    text.erase(at, part.size());
  }
  return text;
}

Options WordOptions(std::string low, std::string high, bool eachDifferent) {
  Options options;
  options.编辑框插入1 = std::move(low);
  options.编辑框插入2 = std::move(high);
  options.选择框每次不同 = eachDifferent;
  return options;
}

TEST(PrepareWordListTest, SplitsAtBarsAndRecognisesATrailingLink) {
  const WordList list = PrepareWordList(G("词1|词2|词3|") + kLink);
  EXPECT_TRUE(list.linkMode);
  EXPECT_EQ(list.items, (std::vector<std::string>{G("词1"), G("词2"), G("词3"), kLink}));

  EXPECT_TRUE(PrepareWordList("word|HTTP://Example.com").linkMode);
  EXPECT_FALSE(PrepareWordList("http://example.com|word").linkMode);
}

TEST(PrepareWordListTest, EmptyItemsAreDroppedAndAnEmptyListMeansNoInsertion) {
  EXPECT_EQ(PrepareWordList("a||b|").items, (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(PrepareWordList("").empty());
  EXPECT_TRUE(PrepareWordList("|||").empty());
  // A double-byte character whose second byte is "|" is no separator.
  EXPECT_EQ(PrepareWordList(G("億|元")).items, (std::vector<std::string>{G("億"), G("元")}));
}

TEST(PrepareWordListTest, OneItemServesTwice) {
  EXPECT_EQ(PrepareWordList("solo").items, (std::vector<std::string>{"solo", "solo"}));
  const WordList link = PrepareWordList(kLink);
  EXPECT_TRUE(link.linkMode);
  EXPECT_EQ(link.items, (std::vector<std::string>{kLink, kLink}));
  const WordList bare = PrepareWordList("a|http:///");
  EXPECT_TRUE(bare.linkMode);
  EXPECT_EQ(bare.items.back(), "/");
}

// The byte offsets (in the text without the markers) where marker "#" was inserted.
std::vector<std::size_t> MarkerOffsets(std::string_view result) {
  std::vector<std::size_t> offsets;
  std::size_t plain = 0;
  for (char c : result) {
    if (c == '#') {
      offsets.push_back(plain);
    } else {
      ++plain;
    }
  }
  return offsets;
}

TEST(InsertWordsTest, WordsNeverSplitACharacterOrALineBreakAndMayFollowTheLastOne) {
  const std::string text = G("中文，字符\r\n第二行\r\n");
  const std::vector<std::size_t> starts = CharStartOffsets(text, CrLf::AsOneChar);
  bool sawWordAtEnd = false;
  for (std::uint64_t seed = 1; seed <= 300; ++seed) {
    RandomSource random(seed);
    const std::string result = InsertWords(text, "#", 4, {}, InsertFlags{}, random);
    ASSERT_EQ(Without(result, "#"), text);
    const std::vector<std::size_t> at = MarkerOffsets(result);
    ASSERT_EQ(at.size(), 4u);
    for (std::size_t offset : at) {
      ASSERT_NE(offset, 0u) << "a word goes after a character, never before the first";
      ASSERT_TRUE(std::binary_search(starts.begin(), starts.end(), offset)) << result;
    }
    sawWordAtEnd = sawWordAtEnd || result.back() == '#';
  }
  EXPECT_TRUE(sawWordAtEnd);
}

TEST(InsertWordsTest, PositionsAreNotRepeatedUntilEveryCharacterWasUsed) {
  RandomSource random(7);
  const std::string result =
      InsertWords("abcdef", "#", 6, {}, InsertFlags{false, false, 0}, random);
  EXPECT_EQ(result, "a#b#c#d#e#f#");
}

TEST(InsertWordsTest, EmptyTextStaysEmpty) {
  RandomSource random(1);
  EXPECT_EQ(InsertWords("", "w", 3, {}, InsertFlags{}, random), "");
}

struct PlacedCase {
  const char* what;
  std::string text;
  int afterCharacter;
  std::string expected;
};

// Test names and failure messages show the case's sentence, not its bytes.
void PrintTo(const PlacedCase& row, std::ostream* out) {
  *out << row.what;
}

class InsertWordsPlacementTest : public ::testing::TestWithParam<PlacedCase> {};

TEST_P(InsertWordsPlacementTest, WordLandsWhereExpected) {
  RandomSource random(1);
  const PlacedCase& row = GetParam();
  const InsertFlags flags{true, true, row.afterCharacter};
  EXPECT_EQ(InsertWords(row.text, "W", 1, {}, flags, random), row.expected) << row.what;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, InsertWordsPlacementTest,
    ::testing::Values(
        PlacedCase{"on '<' of <p>, the word moves before the tag", "<p>ab</p>", 1, "W<p>ab</p>"},
        PlacedCase{"in the middle of <p>, a tie, the word goes after the tag", "<p>xy</p>", 2,
                   "<p>Wxy</p>"},
        PlacedCase{"just inside </p>, before the tag", "<p>xy</p>", 7, "<p>xyW</p>"},
        PlacedCase{"on the p of </p>, after the tag", "<p>xy</p>", 8, "<p>xy</p>W"},
        PlacedCase{"after the first letter of hello, to the following space", "hello world foo", 2,
                   "hello W world foo"},
        PlacedCase{"nearer the preceding space, there", "hello world foo", 8, "hello W world foo"},
        PlacedCase{"spaces equally far, the following one", "hello world foo", 9,
                   "hello world W foo"},
        PlacedCase{"on a space, stays and gets a trailing space", "hello world", 6,
                   "hello W world"},
        PlacedCase{"an English word with no space around is split where drawn", "hello", 2,
                   "heW llo"},
        PlacedCase{"between Chinese characters, no space added", G("中文字"), 2,
                   G("中文") + "W" + G("字")},
        PlacedCase{"a step past the end puts the word last", G("中文"), 5, G("中文") + "W"}));

TEST(InsertWordsTest, WordsNeverLandInsideATag) {
  const std::string text = G("<p>第一段文字</p>\r\n<p>第二段</p>\r\n");
  for (std::uint64_t seed = 1; seed <= 200; ++seed) {
    RandomSource random(seed);
    const std::string result = InsertWords(text, "#", 5, {}, InsertFlags{}, random);
    ASSERT_EQ(Without(result, "#"), text);
    ASSERT_EQ(Occurrences(result, "<p>"), 2) << result;
    ASSERT_EQ(Occurrences(result, "</p>"), 2) << result;
  }
}

TEST(InsertWordsTest, EnglishWordsStayWholeAndInsertedWordsAreFollowedByASpace) {
  const std::string text = "the quick brown fox";
  for (std::uint64_t seed = 1; seed <= 200; ++seed) {
    RandomSource random(seed);
    const std::string result = InsertWords(text, "WORD", 1, {}, InsertFlags{}, random);
    const std::size_t at = result.find("WORD");
    ASSERT_NE(at, std::string::npos);
    if (at > 0 && result[at - 1] == ' ') {
      ASSERT_EQ(result.substr(at, 5), "WORD ") << result;
      ASSERT_EQ(Without(result, "WORD "), text);
    } else {
      FAIL() << "inside an English word: " << result;
    }
  }
}

TEST(InsertWordsTest, EachWordKeepsTheSpacingOfItsOwnPlace) {
  // Words placed at the English word get a trailing space, words among the Chinese characters
  // none; with several different words each must keep the spacing decided for its own place.
  const std::string text = "hello " + G("中文中文中文");
  const std::vector<std::string> words = {"A", "B", "C", "D"};
  for (std::uint64_t seed = 1; seed <= 200; ++seed) {
    RandomSource random(seed);
    const std::string result = InsertWords(text, "", 0, words, InsertFlags{}, random);
    std::string stripped = result;
    for (const std::string& word : words) {
      stripped = Without(stripped, word);
    }
    // Only the words after "hello " brought spaces; none went among the Chinese characters.
    const std::size_t chinese = stripped.find_first_not_of(" ", 6);
    ASSERT_EQ(stripped.substr(0, 6), "hello ") << result;
    ASSERT_EQ(stripped.substr(chinese), G("中文中文中文")) << result;
  }
}

TEST(ChooseWordsTest, LinkModeInsertsAnchorsToTheLinkWithTheWordsAsText) {
  const WordList list = PrepareWordList(G("词1|词2|") + kLink);
  const std::string article = G("第一句话。第二句话。\r\n");
  const Options options = WordOptions("3", "3", true);
  for (std::uint64_t seed = 1; seed <= 100; ++seed) {
    RandomSource random(seed);
    NonRepeatingDraw wordDraw(random);
    std::string chosen;
    const std::string result = InsertArticleWords(article, list, options, wordDraw, random, chosen);
    const std::string first = AnchorFor(G("词1"), kLink);
    const std::string second = AnchorFor(G("词2"), kLink);
    ASSERT_EQ(Occurrences(result, first) + Occurrences(result, second), 3) << result;
    ASSERT_EQ(Occurrences(result, "href="), 3);
    ASSERT_EQ(Without(Without(result, first), second), article);
    ASSERT_TRUE(chosen == first || chosen == second);
  }
}

TEST(ChooseWordsTest, AListOfOnlyALinkLinksTheLinkToItself) {
  const WordList list = PrepareWordList(kLink);
  RandomSource random(3);
  NonRepeatingDraw wordDraw(random);
  std::string chosen;
  const std::string result =
      InsertArticleWords(G("文章"), list, WordOptions("1", "1", false), wordDraw, random, chosen);
  EXPECT_EQ(chosen, AnchorFor(kLink, kLink));
  EXPECT_EQ(Occurrences(result, chosen), 1);
}

TEST(ChooseWordsTest, EveryInsertionDifferentGivesSeparatelyDrawnWordsOnceEach) {
  const WordList list = PrepareWordList("alpha|bravo|delta|gamma|kappa");
  const Options options = WordOptions("3", "3", true);
  for (std::uint64_t seed = 1; seed <= 100; ++seed) {
    RandomSource random(seed);
    NonRepeatingDraw wordDraw(random);
    std::string chosen;
    const WordChoice choice = ChooseWords(list, options, wordDraw, random, chosen);
    ASSERT_EQ(choice.words.size(), 3u);
    ASSERT_EQ(std::set<std::string>(choice.words.begin(), choice.words.end()).size(), 3u);
    ASSERT_EQ(chosen, choice.words.back());
    const std::string result =
        InsertWords(G("一二三四五六"), chosen, choice.count, choice.words, InsertFlags{}, random);
    for (const std::string& word : choice.words) {
      ASSERT_EQ(Occurrences(result, word), 1) << result;
    }
  }
}

TEST(ChooseWordsTest, OneWordIsInsertedAsOftenAsTheSecondDraw) {
  const WordList list = PrepareWordList("alpha|bravo|delta");
  const Options options = WordOptions("3", "3", false);
  RandomSource random(11);
  NonRepeatingDraw wordDraw(random);
  std::string chosen;
  const std::string result =
      InsertArticleWords(G("一二三四五六"), list, options, wordDraw, random, chosen);
  EXPECT_EQ(Occurrences(result, chosen), 3);
  EXPECT_EQ(Without(result, chosen), G("一二三四五六"));
}

// A count far beyond any sensible article (a hand-edited settings file, a slip of the finger)
// is held to the cap instead of building an article of gigabytes.
TEST(ChooseWordsTest, AHugeInsertionCountIsHeldToTheCap) {
  const WordList list = PrepareWordList("alpha|bravo|delta");
  for (const bool different : {false, true}) {
    const Options options = WordOptions("999999999", "2147483647", different);
    RandomSource random(3);
    NonRepeatingDraw wordDraw(random);
    std::string chosen;
    const WordChoice choice = ChooseWords(list, options, wordDraw, random, chosen);
    EXPECT_EQ(choice.count, kMaxInsertionsPerArticle);
    EXPECT_EQ(choice.words.size(), different ? std::size_t{kMaxInsertionsPerArticle} : 0u);
    const std::string result =
        InsertWords(G("一二三四五六"), chosen, choice.count, choice.words, InsertFlags{}, random);
    EXPECT_LT(result.size(), 12u + kMaxInsertionsPerArticle * 6u);
  }
}

TEST(ChooseWordsTest, WordsOfAFileRepeatOnlyAfterAllWereUsed) {
  const WordList list = PrepareWordList("alpha|bravo|delta");
  const Options options = WordOptions("1", "1", false);
  RandomSource random(5);
  NonRepeatingDraw wordDraw(random);
  std::string chosen;
  std::set<std::string> seen;
  for (int article = 0; article < 3; ++article) {
    ChooseWords(list, options, wordDraw, random, chosen);
    seen.insert(chosen);
  }
  EXPECT_EQ(seen.size(), 3u);
}

TEST(ChooseWordsTest, NoRoundsKeepsThePreviousArticlesWord) {
  const WordList list = PrepareWordList("alpha|bravo");
  RandomSource random(2);
  NonRepeatingDraw wordDraw(random);
  std::string chosen = "earlier";
  const std::string result =
      InsertArticleWords(G("一二"), list, WordOptions("", "", false), wordDraw, random, chosen);
  EXPECT_EQ(chosen, "earlier");
  EXPECT_EQ(Occurrences(result, "earlier"), 1);
  // At the start of a file there is no word yet: nothing is inserted.
  std::string none;
  EXPECT_EQ(InsertArticleWords("ab cd", list, WordOptions("", "", false), wordDraw, random, none),
            "ab cd");
}

}  // namespace
}  // namespace gw
