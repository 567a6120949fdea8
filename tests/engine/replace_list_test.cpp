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

TEST(ReplaceList, NeverMatchesAcrossACharacterBoundary) {
  // "中文" is D6 D0 CE C4; "形" is D0 CE, the middle two bytes.
  EXPECT_EQ(Replace("中文", "形", "x"), "中文");
  EXPECT_EQ(Replace("中文形", "形", "x"), "中文x");
}

// One entry replaced the plain way: walk the text character by character and replace where the
// entry starts.
std::string ReplaceOneByWalking(const std::string& text, const std::string& find,
                                const std::string& replacement, bool caseSensitive, int maxCount) {
  const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
  const auto matchesAt = [&](std::size_t at) {
    if (text.size() - at < find.size()) {
      return false;
    }
    for (std::size_t k = 0; k < find.size(); ++k) {
      if (caseSensitive ? text[at + k] != find[k] : lower(text[at + k]) != lower(find[k])) {
        return false;
      }
    }
    return true;
  };
  std::string out;
  int replaced = 0;
  for (std::size_t at = 0; at < text.size();) {
    if ((maxCount < 1 || replaced < maxCount) && matchesAt(at)) {
      out += replacement;
      at += find.size();
      ++replaced;
    } else {
      const std::size_t length = GbkCharLength(text, at);
      out.append(text, at, length);
      at += length;
    }
  }
  return out;
}

TEST(ReplaceList, AgreesWithAPlainCharacterWalkOnMixedText) {
  // Bytes that make double-byte characters whose second byte is an ASCII letter or "[", lone
  // lead bytes, long runs without ASCII; entries shorter, as long as and longer than their
  // replacements, with and without letter case.
  const std::string pieces[] = {"a",
                                "A",
                                "b",
                                "[",
                                "]",
                                "\x81",
                                "\x81"
                                "A",
                                "\x81"
                                "a",
                                "\xB1\xED",
                                "\xC7\xE9",
                                "\xD0\xCE",
                                " ",
                                "\r\n"};
  const std::string finds[] = {"a", "A", "[", "\xB1\xED", "\xC7\xE9]", "aA", "\xD0\xCE"};
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
