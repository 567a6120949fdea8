#include <gtest/gtest.h>

#include <string>

#include "regex/regex_service.h"
#include "text/charset.h"

namespace gw {
namespace {

std::string G(std::string_view utf8) {
  return Utf8ToGbk(utf8);
}

TEST(RegexEscape, EachFunctionEscapesItsOwnSet) {
  struct Row {
    std::string (*escape)(std::string_view);
    const char* input;
    const char* expected;
  };
  const Row rows[] = {
      {RegexService::escapeWildcards, "a*b?c", "a.*b.?c"},
      {RegexService::escapeWildcards, "1+1=2", "1\\+1\\=2"},
      {RegexService::escapeWildcards, "x|y", "x|y"},
      {RegexService::escapeWildcards, "a-b(c)", "a\\-b\\(c\\)"},
      {RegexService::escapeLiteral, "a|b", "a\\|b"},
      {RegexService::escapeLiteral, "C:\\dir", "C:\\\\dir"},
      {RegexService::escapeLiteral, "(1)", "\\(1\\)"},
      {RegexService::escapeLiteral, "a-b", "a-b"},  // only the wildcard form escapes "-"
      {RegexService::escapeKeepAlternation, "a|b(c)?", "a|b\\(c\\)\\?"},
      {RegexService::escapeKeepGroups, "(a|b)?", "(a|b)\\?"},
      // Characters no function escapes.
      {RegexService::escapeLiteral, "/#<>!,: ", "/#<>!,: "},
      {RegexService::escapeLiteral, "", ""},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.escape(row.input), row.expected) << row.input;
  }
}

TEST(RegexEscape, EveryMetacharacterOfTheLiteralSetIsEscapedOnce) {
  EXPECT_EQ(RegexService::escapeLiteral("\\^$+.{}[]=()?*|\""),
            "\\\\\\^\\$\\+\\.\\{\\}\\[\\]\\=\\(\\)\\?\\*\\|\\\"");
}

TEST(RegexEscape, SecondBytesOfDoubleByteCharactersAreNeverEscaped) {
  // GBK characters whose second byte is "\" (0x5C), "[" (0x5B), "|" (0x7C) and "{" (0x7B).
  const std::string tricky = G("乗乕亅亄");
  ASSERT_EQ(tricky[1], '\\');
  ASSERT_EQ(tricky[3], '[');
  ASSERT_EQ(tricky[5], '|');
  ASSERT_EQ(tricky[7], '{');
  for (auto escape : {RegexService::escapeWildcards, RegexService::escapeLiteral,
                      RegexService::escapeKeepAlternation, RegexService::escapeKeepGroups}) {
    EXPECT_EQ(escape(tricky), tricky);
    EXPECT_EQ(escape(tricky + "[" + tricky), tricky + "\\[" + tricky);
  }
}

TEST(RegexEscape, EscapedWordsMatchThemselves) {
  const std::string words = G("包(邮)|1+1|表.");
  RegexService regex;
  regex.create(RegexService::escapeKeepAlternation(words));
  ASSERT_TRUE(regex.isValid());
  EXPECT_EQ(regex.execute(G("只要包(邮)就行，1+1=2，表.")), 3);
  EXPECT_EQ(regex.execute(G("包邮 11 表格")), 0);

  regex.create("[" + RegexService::escapeLiteral(G("!?,。！？，；; 　·…")) + "]{2,}");
  ASSERT_TRUE(regex.isValid());
  EXPECT_EQ(regex.replace(G("好！！真的吗？。 对"), "-"), G("好-真的吗-对"));
}

}  // namespace
}  // namespace gw
