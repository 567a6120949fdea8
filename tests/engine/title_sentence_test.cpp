#include "engine/title_sentence.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

#include "regex/regex_service.h"
#include "text/charset.h"

#include "fake_host.h"

namespace gw {
namespace {

using testing::G;
using testing::U;

std::set<std::string> Titles(std::string_view article, int minChars, int seeds = 60) {
  std::set<std::string> titles;
  for (int seed = 0; seed < seeds; ++seed) {
    RandomSource random(seed);
    titles.insert(U(PickTitleSentence(G(article), minChars, random)));
  }
  return titles;
}

TEST(TitleSentence, PicksAPieceLongEnoughAtRandom) {
  EXPECT_EQ(Titles("今天天气很好，我们去公园。", 5),
            (std::set<std::string>{"今天天气很好", "我们去公园"}));
  EXPECT_EQ(Titles("今天天气很好，我们去公园。", 6), (std::set<std::string>{"今天天气很好"}));
}

TEST(TitleSentence, FallsBackToAnyPieceWhenNoneIsLongEnough) {
  EXPECT_EQ(Titles("今天天气很好，我们去公园。", 10),
            (std::set<std::string>{"今天天气很好", "我们去公园"}));
  EXPECT_EQ(Titles(" 短 ", 10), (std::set<std::string>{"短"}));
  EXPECT_EQ(Titles("", 10), (std::set<std::string>{""}));
}

TEST(TitleSentence, RemovesTagsAndBlankMarginsFirst) {
  EXPECT_EQ(Titles("<p>第一段的一句话比较长</p>\r\n<p>短</p>\r\n", 5),
            (std::set<std::string>{"第一段的一句话比较长"}));
  EXPECT_EQ(Titles("\t第一行的内容很长很长\t\r\n　\r\n", 5),
            (std::set<std::string>{"第一行的内容很长很长"}));
}

TEST(TitleSentence, SpaceIsADelimiterButTheFullWidthSpaceIsNot) {
  EXPECT_EQ(Titles("好的，　你好世界朋友", 6), (std::set<std::string>{"你好世界朋友"}));
  EXPECT_EQ(Titles("hello world foo", 3), (std::set<std::string>{"hello", "world", "foo"}));
  // A tab is no delimiter and counts towards the length.
  EXPECT_EQ(Titles("好的，\t你好世界朋", 6), (std::set<std::string>{"\t你好世界朋"}));
}

TEST(TitleSentence, QuestionMarksBringTheFullStopBackIntoTheDelimiters) {
  EXPECT_EQ(Titles("第一句话很长很长.第二句话也很长很长", 5),
            (std::set<std::string>{"第一句话很长很长", "第二句话也很长很长"}));
  EXPECT_EQ(Titles("（括号里面的话）《书名号里的名字》", 5),
            (std::set<std::string>{"括号里面的话", "书名号里的名字"}));
}

// "腫" is the GBK bytes C4 5B: its second byte is a "[", and "[⊥]" is how pieces are marked
// inside the picker. The article's own characters never end a piece (found by the fuzzer).
TEST(TitleSentence, ACharacterEndingInABracketByteNeverSplitsATitle) {
  EXPECT_EQ(Titles("腫⊥]很长的一句话，短", 5), (std::set<std::string>{"腫⊥]很长的一句话"}));
  EXPECT_EQ(Titles("\n\x10\x10漑漑漑漑⊥]iiiiiii", 10),
            (std::set<std::string>{"\x10\x10漑漑漑漑⊥]iiiiiii"}));
  // "€" is the one-byte character 0x80: a delimiter after it still ends the piece.
  EXPECT_EQ(Titles("很长的一句话€，短", 5), (std::set<std::string>{"很长的一句话€"}));
}

// The pieces as the delimiter pattern gives them: every match replaced by a marker that the text
// cannot hold, then the text cut at the markers and at its own "[⊥]".
std::vector<std::u16string> PiecesByThePattern(const std::string& gbk) {
  RegexService delimiters;
  delimiters.create(TitleDelimiterPattern());
  const std::u16string marked = GbkToUtf16(delimiters.replace(gbk, "\x01"));
  std::vector<std::u16string> pieces;
  std::u16string piece;
  for (std::size_t at = 0; at < marked.size();) {
    if (marked[at] == u'\x01' || marked.compare(at, 3, u"[\u22A5]") == 0) {
      pieces.push_back(piece);
      piece.clear();
      at += marked[at] == u'\x01' ? 1 : 3;
    } else {
      piece += marked[at++];
    }
  }
  if (!piece.empty()) {
    pieces.push_back(piece);
  }
  return pieces;
}

TEST(TitleSentence, PiecesAreThoseTheDelimiterPatternCutsOnRandomText) {
  // Delimiters of every kind, their look-alikes, the marker's characters, "腫" (its second byte is
  // a "["), "€" (one byte of 0x80), tabs and full-width spaces.
  const std::vector<std::string> tokens = {
      G("，"), G("。"), G("？"), ",", ".",  "?",     "!",       " ",      ". ",    "\r",
      "\n",    "\r\n",  "-",     "'", "\"", "=",     "(",       ")",      G("（"), G("《"),
      G("‘"),  G("“"),  G("、"), "*", "[",  "]",     G("⊥"),    G("[⊥]"), G("腫"), "\x80",
      "\t",    G("　"), "a",     "Z", "7",  G("好"), G("天气"), "\\",     "|"};
  std::mt19937 random(20261209);
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const int length = static_cast<int>(random() % 24);
    for (int i = 0; i < length; ++i) {
      text += tokens[random() % tokens.size()];
    }
    const std::u16string wide = GbkToUtf16(text);
    std::vector<std::u16string> found;
    for (const std::u16string_view piece : SplitAtTitleDelimiters(wide)) {
      found.emplace_back(piece);
    }
    ASSERT_EQ(found, PiecesByThePattern(text)) << U(text);
  }
}

}  // namespace
}  // namespace gw
