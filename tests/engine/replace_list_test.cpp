#include "engine/replace_list.h"

#include <gtest/gtest.h>

#include <iterator>
#include <random>

#include "text/gbk_chars.h"

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

// 結 is BD 59 and 統 BD 79, 長 E9 4C and 閘 E9 6C: their second bytes are "Y"/"y" and "L"/"l".
TEST(ReplaceList, WithoutCaseOnlyLettersOfTheirOwnFold) {
  EXPECT_EQ(Replace("統一 結果 長城 閘門", "結|長", "X|Y", false), "統一 X果 Y城 閘門");
  EXPECT_EQ(Replace("進 適", "適", "x", false), "進 x");
  // A letter inside an entry still folds next to a double-byte character.
  EXPECT_EQ(Replace("結A 結a 統a", "結a", "x", false), "x x 統a");
}

// 東 is 96 7C: its second byte is "|".
TEST(ReplaceList, ListsSplitOnlyAtSeparatorCharacters) {
  EXPECT_EQ(Replace("我在東京，你在西安", "東京", "东京"), "我在东京，你在西安");
  EXPECT_EQ(Replace("東京 西安", "東京|西安", "东京|长安"), "东京 长安");
  EXPECT_EQ(Replace("ab", "a|b", "東|京"), "東京");
  EXPECT_EQ(SplitList(G("東|京|"), "|"), (std::vector<std::string>{G("東"), G("京")}));
}

TEST(ReplaceList, NeverMatchesAcrossACharacterBoundary) {
  // "中文" is D6 D0 CE C4; "形" is D0 CE, the middle two bytes.
  EXPECT_EQ(Replace("中文", "形", "x"), "中文");
  EXPECT_EQ(Replace("中文形", "形", "x"), "中文x");
}

// The characters of a GBK text, read from its start: a byte of 0x81 or above takes the next byte
// with it, every other byte is a character of its own.
std::vector<std::string> Characters(const std::string& text) {
  std::vector<std::string> characters;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length =
        (static_cast<unsigned char>(text[at]) >= 0x81 && at + 1 < text.size()) ? 2 : 1;
    characters.push_back(text.substr(at, length));
    at += length;
  }
  return characters;
}

// Without case an ASCII letter that is a character of its own matches either case; every other
// character, double-byte ones included, matches only itself.
bool SameCharacter(const std::string& a, const std::string& b, bool caseSensitive) {
  const auto isLetter = [](const std::string& c) {
    return c.size() == 1 && ((c[0] >= 'a' && c[0] <= 'z') || (c[0] >= 'A' && c[0] <= 'Z'));
  };
  if (!caseSensitive && isLetter(a) && isLetter(b)) {
    return (a[0] | 0x20) == (b[0] | 0x20);
  }
  return a == b;
}

// One entry replaced the plain way: walk the characters of the text and replace where the
// entry's characters follow.
std::string ReplaceOneByWalking(const std::string& text, const std::string& find,
                                const std::string& replacement, bool caseSensitive, int maxCount) {
  const std::vector<std::string> chars = Characters(text);
  const std::vector<std::string> findChars = Characters(find);
  const auto matchesAt = [&](std::size_t at) {
    if (chars.size() - at < findChars.size()) {
      return false;
    }
    for (std::size_t k = 0; k < findChars.size(); ++k) {
      if (!SameCharacter(chars[at + k], findChars[k], caseSensitive)) {
        return false;
      }
    }
    return true;
  };
  std::string out;
  int replaced = 0;
  for (std::size_t at = 0; at < chars.size();) {
    if ((maxCount < 1 || replaced < maxCount) && matchesAt(at)) {
      out += replacement;
      at += findChars.size();
      ++replaced;
    } else {
      out += chars[at];
      ++at;
    }
  }
  return out;
}

TEST(ReplaceList, AgreesWithAPlainCharacterWalkOnMixedText) {
  // Bytes that make double-byte characters whose second byte is an ASCII letter or "[", lone
  // lead bytes, the one-byte euro sign 0x80, long runs without ASCII; entries shorter, as long as
  // and longer than their replacements, with and without letter case.
  const std::string pieces[] = {"a",
                                "A",
                                "b",
                                "y",
                                "[",
                                "]",
                                "\x80",
                                "\x81",
                                "\x81"
                                "A",
                                "\x81"
                                "a",
                                "\xB1\xED",
                                "\xBD\x59",
                                "\xBD\x79",
                                "\xC7\xE9",
                                "\xD0\xCE",
                                " ",
                                "\r\n"};
  const std::string finds[] = {"a",        "A",         "[",
                               "\xB1\xED", "\xC7\xE9]", "aA",
                               "\xD0\xCE", "\xBD\x59",  std::string("\x81") + "a",
                               "Y",        "\x80y"};
  const std::string replacements[] = {"", "x", "xyz", "\xB1\xED\xB1\xED"};
  std::mt19937 random(5);
  for (int n = 0; n < 2000; ++n) {
    std::string text;
    const int length = static_cast<int>(random() % 30);
    for (int k = 0; k < length; ++k) {
      text += pieces[random() % std::size(pieces)];
    }
    const std::string& find = finds[random() % std::size(finds)];
    const std::string& replacement = replacements[random() % std::size(replacements)];
    const bool caseSensitive = random() % 2 == 0;
    const int maxCount = static_cast<int>(random() % 3);
    EXPECT_EQ(ReplaceList(text, find, replacement, caseSensitive, false, "|", maxCount),
              ReplaceOneByWalking(text, find, replacement, caseSensitive, maxCount))
        << "text " << text << " find " << find;
  }
}

TEST(SplitList, PiecesFollowTheSeparatorRules) {
  EXPECT_EQ(SplitList("|a||b|", "|"), (std::vector<std::string>{"", "a", "", "b"}));
  EXPECT_TRUE(SplitList("", "|").empty());
}

}  // namespace
}  // namespace gw
