#include "regex/engine_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "regex/regex_service.h"
#include "text/charset.h"
#include "text/gbk_chars.h"

namespace gw {
namespace {

std::string G(std::string_view utf8) {
  return Utf8ToGbk(utf8);
}

// GBK texts with what real exports and options may hold: line breaks, blank lines, letters and
// digits, double-byte characters, the euro sign (the single byte 0x80), bytes that are no
// character (a lone lead byte, 0xFF), a NUL.
std::vector<std::string> MixedGbkTexts() {
  const std::string pieces[] = {"a",         "B",     "7",     "\r\n",     " \t\r\n",
                                "\r",        G("你"), G("好"), G("，"),    G("　"),
                                "\x80",      "\x81",  "\xFF",  "\x81\x30", std::string(1, '\0'),
                                "www.ab.cn "};
  std::mt19937 random(3);
  std::vector<std::string> texts = {"", "\r\n", G("第一行\r\n第二行\r\n\r\n")};
  for (int n = 0; n < 400; ++n) {
    std::string text;
    const int length = static_cast<int>(random() % 14);
    for (int k = 0; k < length; ++k) {
      text += pieces[random() % std::size(pieces)];
    }
    texts.push_back(text);
  }
  return texts;
}

struct Step {
  std::string pattern;
  std::string replacement;
};

// The chains of the program (line folding then delete rules, title margins then delimiters) and
// a few that exercise group references, replacements with bytes that are no character and a
// pattern the engine rejects.
std::vector<std::vector<Step>> Chains() {
  return {
      {{G("^[ 　\t]*$\r\n|$\r\n"), ""}, {"[0-9]|[a-zA-Z]", ""}},
      {{G("^[　 \\t]*$(\\r\\n)|^[ 　\\t]+|[ 　\\t]+$"), ""}, {G("[，,]|\\r\\n|\\r|\\n"), G("[⊥]")}},
      {{"([a-z])", "<$1\x81>"}, {"\\?", "$&$&"}},
      {{"(", ""}, {"a", "b"}},
      {{"[^\\x00-\\x7f]", "\xFF"}, {".", "$'"}},
  };
}

TEST(EngineText, AChainGivesWhatTheSameCallsOnGbkTextGive) {
  for (const std::vector<Step>& chain : Chains()) {
    std::vector<RegexService> steps(chain.size());
    for (std::size_t k = 0; k < chain.size(); ++k) {
      steps[k].create(chain[k].pattern);
    }
    RegexService finder;
    finder.create(G("[你好]|\\d{2,}"));
    EngineText text;
    for (const std::string& subject : MixedGbkTexts()) {
      std::string expected = subject;
      text.assignGbk(subject);
      for (std::size_t k = 0; k < chain.size(); ++k) {
        expected = steps[k].replace(expected, chain[k].replacement);
        steps[k].replaceIn(text, chain[k].replacement);
        ASSERT_EQ(text.toGbk(), expected) << chain[k].pattern << " on " << subject;
        EXPECT_EQ(text.charCount(), CharCount(expected));
        EXPECT_EQ(text.empty(), expected.empty());
        EXPECT_EQ(finder.findsMatchIn(text), finder.execute(expected) > 0);
      }
    }
  }
}

TEST(EngineText, TextFromTheEngineStandsForItsGbkForm) {
  RegexService fold;
  fold.create(G("^[ 　\t]*$\r\n|$\r\n"));
  EngineText fromUnits;
  EngineText fromBytes;
  for (const std::string& subject : MixedGbkTexts()) {
    const std::u16string units = GbkToUtf16(subject);
    fromUnits.assignUtf16(units);
    fromBytes.assignGbk(Utf16ToGbk(units));
    EXPECT_EQ(fromUnits.toGbk(), fromBytes.toGbk());
    fold.replaceIn(fromUnits);
    fold.replaceIn(fromBytes);
    EXPECT_EQ(fromUnits.toGbk(), fromBytes.toGbk());
    EXPECT_EQ(fromUnits.charCount(), fromBytes.charCount());
  }
}

// Every code of the three user-defined areas (rows AA-AF and F8-FE with second bytes A1-FE, rows
// A1-A7 with second bytes 40-A0 but 7F) crosses to the engine and back unchanged, also when a
// replacement has rebuilt the text around it.
TEST(EngineText, UserDefinedCharactersComeBackFromTheEngine) {
  std::string codes;
  const auto addRows = [&](unsigned firstLead, unsigned lastLead, unsigned firstTrail,
                           unsigned lastTrail) {
    for (unsigned lead = firstLead; lead <= lastLead; ++lead) {
      for (unsigned trail = firstTrail; trail <= lastTrail; ++trail) {
        if (trail != 0x7F) {
          codes += static_cast<char>(lead);
          codes += static_cast<char>(trail);
          codes += ',';  // below every second byte
        }
      }
    }
  };
  addRows(0xAA, 0xAF, 0xA1, 0xFE);
  addRows(0xF8, 0xFE, 0xA1, 0xFE);
  addRows(0xA1, 0xA7, 0x40, 0xA0);
  ASSERT_EQ(codes.size(), 3u * (564 + 658 + 672));

  RegexService commas;
  commas.create(",");
  EngineText text(codes);
  commas.replaceIn(text, ";");
  std::string expected = codes;
  std::replace(expected.begin(), expected.end(), ',', ';');
  EXPECT_EQ(text.toGbk(), expected);
  EXPECT_EQ(commas.replace(codes, ";"), expected);
  EXPECT_EQ(text.charCount(), 2 * (564 + 658 + 672));
  EXPECT_EQ(commas.replace("\x41\xAA\xA1\x42", ""), "\x41\xAA\xA1\x42");
  // Each is one character for the engine.
  RegexService one;
  one.create("^.x");
  EXPECT_EQ(one.execute("\xFE\xFEx"), 1);
}

TEST(EngineText, MatchViewsAreTheGroupsInTheEnginesForm) {
  RegexService messages;
  messages.create("(\\d+)(x)?");
  ASSERT_EQ(messages.execute(G("12你345x")), 2);
  EXPECT_EQ(Utf16ToGbk(messages.matchView(1, 1)), "12");
  EXPECT_EQ(Utf16ToGbk(messages.matchView(2, 0)), "345x");
  EXPECT_TRUE(messages.matchView(1, 2).empty());  // the group took no part
  EXPECT_TRUE(messages.matchView(3, 1).empty());
  EXPECT_TRUE(messages.matchView(1, 3).empty());
}

}  // namespace
}  // namespace gw
