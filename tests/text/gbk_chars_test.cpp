#include "text/gbk_chars.h"

#include <gtest/gtest.h>

#include "text/charset.h"

namespace gw {
namespace {

std::string G(std::string_view utf8) {
  return Utf8ToGbk(utf8);
}

TEST(CharCount, CountsDoubleByteCharactersAndCrLfPairsAsOne) {
  EXPECT_EQ(CharCount(""), 0);
  EXPECT_EQ(CharCount(G("你好世界")), 4);
  EXPECT_EQ(CharCount(G("你好，世界")), 5);
  EXPECT_EQ(CharCount("a\r\nb"), 3);
  EXPECT_EQ(CharCount("a\rb\n"), 4);
  EXPECT_EQ(CharCount("\r\n\r\n"), 2);
  // A lead byte at the very end stands alone.
  EXPECT_EQ(CharCount(std::string("ab\xC4", 3)), 3);
}

// The euro sign is the single byte 0x80 in code page 936; it never takes the next byte with it.
TEST(CharCount, TheEuroSignIsACharacterOfItsOwn) {
  ASSERT_EQ(G("€5"),
            "\x80"
            "5");
  EXPECT_EQ(CharCount(G("€5")), 2);
  EXPECT_EQ(CharCount(G("€€元")), 3);
  EXPECT_EQ(CharMid(G("€5元"), 2, 2), G("5元"));
  EXPECT_EQ(CharLeft(G("€元"), 1), G("€"));
  EXPECT_EQ(CharStartOffsets(G("€5元"), CrLf::AsOneChar), (std::vector<std::size_t>{0, 1, 2, 4}));
  // As the second byte of a pair, 0x80 stays part of it.
  EXPECT_EQ(CharCount("\x81\x80"
                      "a"),
            2);
}

TEST(SplitAtCharacters, SplitsOnlyWhereTheSeparatorIsACharacter) {
  // 東 is 96 7C: its second byte is "|".
  using Pieces = std::vector<std::string_view>;
  const std::string text = G("東|京||");
  const std::string east = G("東");
  const std::string capital = G("京");
  EXPECT_EQ(SplitAtCharacters(text, "|"), (Pieces{east, capital, "", ""}));
  EXPECT_EQ(SplitAtCharacters(G("東京"), "|"), (Pieces{G("東京")}));
  EXPECT_EQ(SplitAtCharacters("a\r\nb\r\n", "\r\n"), (Pieces{"a", "b", ""}));
  EXPECT_EQ(SplitAtCharacters("a|b", ""), (Pieces{"a|b"}));
  EXPECT_EQ(SplitAtCharacters("", "|"), (Pieces{""}));
  // A separator of two characters is not found across a character boundary.
  EXPECT_EQ(SplitAtCharacters(G("x東|"), "||"), (Pieces{G("x東|")}));
}

TEST(CharMid, TakesWholeCharactersByOneBasedPosition) {
  const std::string text = G("中文ab\r\n字");
  EXPECT_EQ(CharMid(text, 2, 2), G("文a"));
  EXPECT_EQ(CharMid(text, 4, 2), "b\r\n");
  EXPECT_EQ(CharMid(text, 5, 10), G("\r\n字"));
  EXPECT_EQ(CharMid(text, 9, 1), "");
  EXPECT_EQ(CharMid(text, 1, 0), "");
  EXPECT_EQ(CharMid(text, 0, 1), G("中"));
  EXPECT_EQ(CharMid(text, 2, 2147483647), G("文ab\r\n字"));
  EXPECT_EQ(CharLeft(text, 3), G("中文a"));
  EXPECT_EQ(CharLeft(text, 100), text);
}

TEST(ForEachChar, CrLfRuleDecidesWhetherTheBreakIsOneCharacter) {
  const std::string text = "a\r\n" + G("字");
  EXPECT_EQ(CharStartOffsets(text, CrLf::AsOneChar), (std::vector<std::size_t>{0, 1, 3, 5}));
  EXPECT_EQ(CharStartOffsets(text, CrLf::AsTwoChars), (std::vector<std::size_t>{0, 1, 2, 3, 5}));
}

TEST(UntilFirstNul, ProgramTextEndsAtTheFirstZeroByte) {
  EXPECT_EQ(UntilFirstNul(std::string_view("ab\0cd", 5)), "ab");
  EXPECT_EQ(UntilFirstNul("abc"), "abc");
}

}  // namespace
}  // namespace gw
