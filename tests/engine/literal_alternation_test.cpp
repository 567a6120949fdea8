#include "engine/literal_alternation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "regex/regex_service.h"
#include "text/charset.h"

namespace gw {
namespace {

std::string G(const char* utf8) {
  return Utf8ToGbk(utf8);
}

std::string Replace(const std::vector<std::string>& words, const std::string& text) {
  return LiteralAlternation(words).replace(text, "#");
}

// What the regular-expression engine makes of the same words: the alternation of the escaped
// words, case-insensitive, every match replaced.
std::string ReplaceWithEngine(const std::vector<std::string>& words, const std::string& text) {
  std::string pattern;
  for (const std::string& word : words) {
    if (!word.empty()) {
      pattern += (pattern.empty() ? "" : "|") + RegexService::escapeLiteral(word);
    }
  }
  RegexService regex;
  regex.create(pattern);
  return regex.replace(text, "#");
}

TEST(LiteralAlternationTest, AtOnePositionTheFirstListedWordWinsAndTheLeftmostPositionFirst) {
  EXPECT_EQ(Replace({"ab", "abc"}, "abcd"), "#cd");
  EXPECT_EQ(Replace({"abc", "ab"}, "abcd"), "#d");
  EXPECT_EQ(Replace({"bc", "abc"}, "abcd"), "#d");  // "abc" starts further left
  EXPECT_EQ(Replace({"aa"}, "aaaaa"), "##a");       // matches do not overlap
  EXPECT_EQ(Replace({"ab", "ba"}, "aba"), "#a");
}

TEST(LiteralAlternationTest, LettersMatchWithoutCaseAsTheEngineFoldsThem) {
  EXPECT_EQ(Replace({"Abc"}, "ABC abc aBc"), "# # #");
  EXPECT_EQ(Replace({G("ａｂ")}, G("ＡＢ")), "#");
  EXPECT_EQ(Replace({G("Ωμ")}, G("ωΜ")), "#");
  EXPECT_EQ(Replace({G("я")}, G("Я")), "#");
  EXPECT_EQ(Replace({G("Ⅳ")}, G("ⅳ")), "#");
  EXPECT_EQ(Replace({G("中")}, G("中文")), G("#文"));
}

TEST(LiteralAlternationTest, MatchesStartAndEndOnCharacterBoundaries) {
  // "形" is the second byte of "中" with the first of "文".
  EXPECT_EQ(Replace({G("形")}, G("中文形")), G("中文#"));
  // "丄" ends in the byte of "A": neither found by "a" nor lower-cased by it.
  EXPECT_EQ(Replace({"a"}, G("丄A")), G("丄#"));
  EXPECT_EQ(Replace({G("丄")}, G("丄")), "#");
  EXPECT_EQ(Replace({G("丄")}, G("丅")), G("丅"));
  EXPECT_EQ(FoldGbkCase(G("丄A")), G("丄a"));
}

TEST(LiteralAlternationTest, EmptyWordsNeverMatch) {
  EXPECT_EQ(Replace({"", "b", ""}, "abc"), "a#c");
  EXPECT_TRUE(LiteralAlternation({"", ""}).empty());
  EXPECT_EQ(Replace({}, "abc"), "abc");
}

TEST(LiteralAlternationTest, FindReportsTheWordPositionsInTheList) {
  const std::vector<LiteralAlternation::Match> found =
      LiteralAlternation({"x", "", "ab", "AB"}).find("zAbx");
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].begin, 1u);
  EXPECT_EQ(found[0].end, 3u);
  EXPECT_EQ(found[0].word, 2u);
  EXPECT_EQ(found[1].word, 0u);
}

// Every character of GBK, in groups, as words over a text of all of them: the engine and the
// literal matcher must agree on which characters are the same letter in another case.
TEST(LiteralAlternationTest, CaseFoldingAgreesWithTheEngineOnEveryGbkCharacter) {
  std::vector<std::string> characters;
  for (int c = 0x20; c < 0x7F; ++c) {
    characters.emplace_back(1, static_cast<char>(c));
  }
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      const std::string c{static_cast<char>(lead), static_cast<char>(trail)};
      const std::u16string wide = GbkToUtf16(c);
      if (trail != 0x7F && wide.size() == 1 && wide[0] != 0xFFFD && Utf16ToGbk(wide) == c) {
        characters.push_back(c);
      }
    }
  }
  ASSERT_GT(characters.size(), 21000u);
  std::string all;
  for (const std::string& c : characters) {
    all += c;
  }
  constexpr std::size_t kGroup = 96;
  for (std::size_t first = 0; first < characters.size(); first += kGroup) {
    std::vector<std::string> words(characters.begin() + static_cast<std::ptrdiff_t>(first),
                                   characters.begin() + static_cast<std::ptrdiff_t>(std::min(
                                                            first + kGroup, characters.size())));
    // "α" makes the engine fold beyond ASCII even for groups of ASCII or CJK characters.
    words.push_back(G("α"));
    const std::string ours = Replace(words, all);
    const std::string engines = ReplaceWithEngine(words, all);
    const std::size_t differs =
        std::mismatch(ours.begin(), ours.end(), engines.begin(), engines.end()).first -
        ours.begin();
    ASSERT_EQ(ours.size(), engines.size()) << "words from " << GbkToUtf8(words.front());
    ASSERT_EQ(differs, ours.size()) << "words from " << GbkToUtf8(words.front()) << ", at "
                                    << GbkToUtf8(ours.substr(differs, 8));
  }
}

// Random small lists and texts over an alphabet chosen to be awkward: letters in both cases,
// full-width and Greek letters, pattern metacharacters, line breaks, and GBK characters whose
// second byte is "|", "\" or "A".
TEST(LiteralAlternationTest, GivesTheEngineResultOnRandomListsAndTexts) {
  const std::vector<std::string> alphabet = {
      "a",     "b",     "A",    "B",    "c",     ".",     "(",     ")",     "*",
      "|",     "\\",    "$",    "?",    "\r",    "\n",    " ",     G("中"), G("文"),
      G("ａ"), G("Ａ"), G("α"), G("Α"), G("亅"), G("昞"), G("丄"), G("形")};
  std::mt19937 random(20240611);
  const auto pick = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  const auto randomText = [&](int maxChars) {
    std::string text;
    for (int n = pick(0, maxChars); n > 0; --n) {
      text += alphabet[static_cast<std::size_t>(pick(0, static_cast<int>(alphabet.size()) - 1))];
    }
    return text;
  };
  for (int round = 0; round < 3000; ++round) {
    std::vector<std::string> words;
    for (int n = pick(1, 8); n > 0; --n) {
      // Words are often prefixes or pieces of earlier ones, so that the order matters.
      if (!words.empty() && pick(0, 2) == 0) {
        const std::string& earlier =
            words[static_cast<std::size_t>(pick(0, static_cast<int>(words.size()) - 1))];
        words.push_back(earlier + randomText(2));
      } else {
        words.push_back(randomText(3));
      }
    }
    std::string text = randomText(30);
    if (pick(0, 1) == 0) {
      text += words[0] + words.back() + text;  // make sure something is found
    }
    bool anyWord = false;
    for (const std::string& word : words) {
      anyWord |= !word.empty();
    }
    if (!anyWord) {
      continue;  // no words: no pattern to compare with
    }
    ASSERT_EQ(Replace(words, text), ReplaceWithEngine(words, text)) << "round " << round;
  }
}

}  // namespace
}  // namespace gw
