#include "regex/regex_service.h"

#include <gtest/gtest.h>

#include <string>

#include "text/charset.h"

namespace gw {
namespace {

std::string G(std::string_view utf8) {
  return Utf8ToGbk(utf8);
}

// The patterns the program runs on chat exports.
const std::string kMessagePattern =
    "\\d{4}[\\-\\/]\\d{1,2}[\\-\\/]\\d{1,2} "
    "{1,4}\\d{1,2}:\\d{1,2}:\\d{1,2}[^\\r\\n]+\\r\\n([\\S\\s]+?"
    ")(?=\\d{4}[\\-\\/]\\d{1,2}[\\-\\/]\\d{1,2} "
    "{1,4}\\d{1,2}:\\d{1,2}:\\d{1,2})|\\d{4}[\\-\\/]\\d{1,"
    "2}[\\-\\/]\\d{1,2} {1,4}\\d{1,2}:\\d{1,2}:\\d{1,2}[^\\r\\n]+\\r\\n([\\S\\s]+)";
const std::string kLineFoldPattern = G("^[ 　\t]*$\r\n|$\r\n");
const std::string kWebAddressPattern = G("([a-zA-z]+://|www.)[^\\s\\u4e00-\\u9fa5\\(\\<>\"')]+");

std::string ReplaceAll(std::string_view pattern, std::string_view subject,
                       std::string_view replacement) {
  RegexService regex;
  regex.create(pattern);
  return regex.replace(subject, replacement);
}

TEST(RegexService, MatchesWholeCharactersAndReportsUtf16Offsets) {
  RegexService regex;
  regex.create("abc");
  ASSERT_EQ(regex.execute(G("你好abc")), 1);
  int firstIndex = -1;
  EXPECT_EQ(regex.matchTextAt(1, &firstIndex), "abc");
  EXPECT_EQ(firstIndex, 2);  // two Chinese characters before it, four bytes

  regex.create("[\\u4e00-\\u9fa5]+");
  ASSERT_EQ(regex.execute(G("ab中文cd")), 1);
  EXPECT_EQ(regex.matchText(1), G("中文"));

  regex.create(G("^.好$"));
  EXPECT_EQ(regex.execute(G("你好")), 1);  // "." takes one double-byte character
}

TEST(RegexService, IgnoresCaseUnlessTold) {
  RegexService regex;
  regex.create("abc");
  EXPECT_EQ(regex.execute("ABC abc"), 2);
  regex.create("abc", false);
  EXPECT_EQ(regex.execute("ABC abc"), 1);
  EXPECT_EQ(regex.pattern(), "abc");
}

TEST(RegexService, IgnoringCaseCoversGreekCyrillicAndFullWidthLetters) {
  struct Row {
    const char* pattern;  // UTF-8
    const char* subject;
    int matches;
  };
  const Row rows[] = {
      {"Ω", "ω", 1},           {"я", "Я", 1},
      {"[Ａ-Ｚ]+", "ａｂ", 1}, {"[\\u0391-\\u03a9]", "ω", 1},  // a range written with escapes
      {"(.)\\1", "Ωω", 1},                                     // a back reference ignores case too
      {"[^ω]", "Ω", 0},
  };
  for (const Row& row : rows) {
    RegexService regex;
    regex.create(G(row.pattern));
    EXPECT_EQ(regex.execute(G(row.subject)), row.matches) << row.pattern << " on " << row.subject;
  }
  RegexService caseSensitive;
  caseSensitive.create(G("Ω"), false);
  EXPECT_EQ(caseSensitive.execute(G("ω")), 0);
  caseSensitive.create(G("(?i)Ω"), false);
  EXPECT_EQ(caseSensitive.execute(G("ω")), 1);
}

TEST(RegexService, WithoutGlobalOnlyTheFirstMatchCounts) {
  RegexService regex;
  regex.create("a", true, true, false);
  EXPECT_EQ(regex.execute("banana"), 1);
  EXPECT_EQ(regex.replace("banana", "o"), "bonana");
}

TEST(RegexService, GroupsAreReadByNumberAndOutOfRangeGivesEmptyText) {
  RegexService regex;
  regex.create(G("(\\d+)(元)?"));
  ASSERT_EQ(regex.execute(G("12元 7")), 2);
  EXPECT_EQ(regex.subMatchCount(), 2);
  EXPECT_EQ(regex.subMatchText(1, 2), G("元"));
  EXPECT_EQ(regex.subMatchText(2, 2), "");  // took no part in the match
  int firstIndex = -1;
  EXPECT_EQ(regex.subMatchTextAt(2, 1, &firstIndex), "7");
  EXPECT_EQ(firstIndex, 4);
  EXPECT_EQ(regex.matchText(3), "");
  EXPECT_EQ(regex.matchText(0), "");
  EXPECT_EQ(regex.subMatchText(1, 3), "");
  EXPECT_EQ(regex.subMatchText(1, 0), "");

  // No match: no groups, no texts.
  EXPECT_EQ(regex.execute("none"), 0);
  EXPECT_EQ(regex.subMatchCount(), 0);
  EXPECT_EQ(regex.matchText(1), "");
  EXPECT_EQ(regex.subMatchText(1, 1), "");
}

TEST(RegexService, TellsAnEmptyGroupFromOneThatTookNoPart) {
  RegexService regex;
  regex.create("a(x*)|b(y*)");
  ASSERT_EQ(regex.execute("ab"), 2);
  EXPECT_TRUE(regex.subMatchTookPart(1, 1)) << "matched the empty text";
  EXPECT_FALSE(regex.subMatchTookPart(1, 2)) << "its alternative was not taken";
  EXPECT_FALSE(regex.subMatchTookPart(2, 1));
  EXPECT_TRUE(regex.subMatchTookPart(2, 2));
  EXPECT_EQ(regex.subMatchText(1, 1), regex.subMatchText(1, 2)) << "both read as empty texts";
  EXPECT_FALSE(regex.subMatchTookPart(1, 0));
  EXPECT_FALSE(regex.subMatchTookPart(1, 3));
  EXPECT_FALSE(regex.subMatchTookPart(3, 1));
  EXPECT_EQ(regex.execute("c"), 0);
  EXPECT_FALSE(regex.subMatchTookPart(1, 1));
}

TEST(RegexService, KeepsTheOldMatchesUntilTheNextSearch) {
  RegexService regex;
  regex.create("b");
  ASSERT_EQ(regex.execute("abc"), 1);
  regex.create("x");
  EXPECT_EQ(regex.matchText(1), "b");
  EXPECT_EQ(regex.execute("abc"), 0);
  EXPECT_EQ(regex.matchCount(), 0);
}

TEST(RegexService, BeforeCreateEverythingIsEmpty) {
  RegexService regex;
  EXPECT_EQ(regex.execute("abc"), 0);
  EXPECT_EQ(regex.replace("abc", "x"), "");
  EXPECT_EQ(regex.pattern(), "");
  EXPECT_FALSE(regex.isValid());
}

TEST(RegexService, RejectedPatternIsAcceptedButFindsNothingAndSaysWhy) {
  RegexService regex;
  EXPECT_TRUE(regex.create("a.c)"));
  EXPECT_FALSE(regex.isValid());
  EXPECT_EQ(regex.execute("a.c)"), 0);
  EXPECT_EQ(regex.replace("abc", "x"), "");  // not the unchanged subject
  EXPECT_NE(regex.compileError(), "");
  EXPECT_EQ(regex.compileErrorOffset(), 3);  // at the ")" the user typed

  regex.create(G("中文[a-"));
  EXPECT_FALSE(regex.isValid());
  EXPECT_EQ(regex.compileErrorOffset(), 5);  // offsets count characters, not bytes

  regex.create("a+");
  EXPECT_TRUE(regex.isValid());
  EXPECT_EQ(regex.compileError(), "");
  EXPECT_EQ(regex.compileErrorOffset(), -1);
}

TEST(RegexService, ReplaceLeavesTextWithoutMatchesAlone) {
  EXPECT_EQ(ReplaceAll("x", G("没有"), "y"), G("没有"));
  EXPECT_EQ(ReplaceAll("", "", "-"), "-");
}

TEST(RegexService, EmptyMatchesMoveOnByOneCharacter) {
  EXPECT_EQ(ReplaceAll("", "abc", "-"), "-a-b-c-");
  EXPECT_EQ(ReplaceAll("", G("你好"), "-"), G("-你-好-"));
  // An empty match right after a non-empty one counts, as in the dialect's replace.
  EXPECT_EQ(ReplaceAll("b*", "abc", "-"), "-a--c-");
  RegexService regex;
  regex.create("x*");
  EXPECT_EQ(regex.execute("axxb"), 4);  // "", "xx", "", ""
}

TEST(RegexService, ReplacementTemplates) {
  struct Row {
    const char* pattern;
    const char* subject;
    const char* replacement;
    const char* expected;
  };
  const Row rows[] = {
      // group, whole match, text before, text after, dollar, missing group, "$10" as "$1" + "0",
      // "$01" as group 1, "$0" and a lone "$" literal
      {"(b)", "xabcx", "[$1|$&|$`|$'|$$|$2|$10|$01|$0|$]", "xa[b|b|xa|cx|$|$2|b0|b|$0|$]cx"},
      {"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)", "abcdefghijk", "$11-$10-$1$", "k-j-a$"},
      {"(a)|b", "ab", "[$1]", "[a][]"},  // a group that took no part gives nothing
      {"(\\w+)@(\\w+)", "me@home", "$2 at $1", "home at me"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ReplaceAll(row.pattern, row.subject, row.replacement), row.expected)
        << row.pattern << " with " << row.replacement;
  }
}

TEST(RegexService, LineAnchorsKnowCrLfLoneCrAndLf) {
  // "^" after every line end (also between CR and LF), "$" before every one.
  EXPECT_EQ(ReplaceAll("^", "a\r\nb\rc\nd", "<"), "<a\r<\n<b\r<c\n<d");
  EXPECT_EQ(ReplaceAll("$", "a\r\nb\rc\nd", ">"), "a>\r>\nb>\rc>\nd>");
  // Without multi-line they mean the start and the end of the text only, also before a final
  // line end.
  RegexService regex;
  regex.create("$", true, false);
  EXPECT_EQ(regex.replace("a\n", "!"), "a\n!");
  regex.create("^", true, false);
  EXPECT_EQ(regex.replace("a\nb", "!"), "!a\nb");
  regex.create("^b", true, false);
  EXPECT_EQ(regex.execute("a\nb"), 0);
}

TEST(RegexService, DotStopsAtLineEndsButClassesKeepTheirMeaning) {
  EXPECT_EQ(ReplaceAll(".", "a\rb\nc\r\ne", "x"), "x\rx\nx\r\nx");
  EXPECT_EQ(ReplaceAll("[^a]", "a\rb", "x"), "axx");
  EXPECT_EQ(ReplaceAll("\\S", "a\r b", "x"), "x\r x");
  EXPECT_EQ(ReplaceAll("[\\s\\S]+", "a\r\nb", "x"), "x");
  EXPECT_EQ(ReplaceAll("[.^$]", "a.^$b", "x"), "axxxb");
  EXPECT_EQ(ReplaceAll("\\.\\^\\$", "a.^$b", "x"), "axb");
}

TEST(RegexService, ClassShorthandsAreAscii) {
  RegexService regex;
  regex.create("\\s");
  EXPECT_EQ(regex.execute(G("a　b c\t\v\f")), 4);  // the full-width space is no white space
  regex.create("\\d");
  EXPECT_EQ(regex.execute(G("1２3")), 2);  // nor is a full-width digit a digit
  regex.create("\\w+");
  EXPECT_EQ(regex.execute(G("ab_9中文")), 1);
}

TEST(RegexService, DialectEscapesAndClassesReadAsTheUserMeantThem) {
  EXPECT_EQ(ReplaceAll("[\\d-x]", "a-b3x", "#"), "a#b##");  // hyphen beside \d is literal
  EXPECT_EQ(ReplaceAll("\\v", "a\vb v", "#"), "a#b v");     // \v is the vertical tab
  EXPECT_EQ(ReplaceAll("\\q\\Z", "qZ", "#"), "#");          // meaningless escapes are the letter
  EXPECT_EQ(ReplaceAll("[[:a]]", "a:]", "#"), "a#");        // "[" in a class is literal
  EXPECT_EQ(ReplaceAll("[]", "ab", "#"), "ab");             // an empty class matches nothing
  EXPECT_EQ(ReplaceAll("[^]", "a\n", "#"), "##");           // "[^]" matches anything
  EXPECT_EQ(ReplaceAll("(a)?\\1b", "b", "#"), "#");         // unset back reference is empty
  EXPECT_EQ(ReplaceAll("\\sb", "a\r\nb", "#"), "a\r#");     // a match may start between CR and LF
  EXPECT_EQ(ReplaceAll("[^a]b", "a\r\nb", "#"), "a\r#");
}

TEST(RegexService, LineFoldJoinsLinesAndDropsBlankOnesButKeepsLoneLineEnds) {
  EXPECT_EQ(ReplaceAll(kLineFoldPattern, G("第一行\r\n第二行\r\n\r\n"), ""), G("第一行第二行"));
  EXPECT_EQ(ReplaceAll(kLineFoldPattern, G("a\r\n \t　\r\nb\rc\nd\r\n\r\n\r\ne"), ""), "ab\rc\nde");
}

TEST(RegexService, WebAddressPatternStopsAtChineseBracketsAndQuotes) {
  RegexService regex;
  regex.create(kWebAddressPattern);
  ASSERT_EQ(regex.execute(G("看这里http://example.com/a?b=1中文和www.abc.cn<br>和ftp://x_y(z) "
                            "和 \"https://q.cn\"")),
            4);
  EXPECT_EQ(regex.matchText(1), "http://example.com/a?b=1");
  EXPECT_EQ(regex.matchText(2), "www.abc.cn");
  EXPECT_EQ(regex.matchText(3), "ftp://x_y");
  EXPECT_EQ(regex.matchText(4), "https://q.cn");
}

TEST(RegexService, MessagePatternCutsAnExportIntoBodies) {
  const std::string exportText =
      G("消息记录（此消息记录为文本格式，不支持重新导入）\r\n\r\n"
        "================================================================\r\n"
        "消息对象:读书会\r\n"
        "================================================================\r\n\r\n"
        "2016-5-3 9:08:01 小林(10001)\r\n早上好\r第二段\r\n\r\n"
        "2016/05/03  19:10:45 阿明(10002)\r\n明天见 2016-5-4 8:00:00 老地方\r\n\r\n"
        "2016-5-3 9:12:00 小林(10001)\r\n好\r\n\r\n");
  RegexService regex;
  regex.create(kMessagePattern);
  // A stamp inside a body ends that body; followed by a line end it starts a record.
  ASSERT_EQ(regex.execute(exportText), 4);
  EXPECT_EQ(regex.subMatchCount(), 2);
  EXPECT_EQ(regex.subMatchText(1, 1), G("早上好\r第二段\r\n\r\n"));
  EXPECT_EQ(regex.subMatchText(2, 1), G("明天见 "));
  EXPECT_EQ(regex.subMatchText(3, 1), "\r\n");
  EXPECT_EQ(regex.subMatchText(4, 2), G("好\r\n\r\n"));
  EXPECT_EQ(regex.subMatchText(4, 1), "");

  regex.create(kMessagePattern);
  EXPECT_EQ(regex.execute(G("消息记录\r\n\r\n")), 0);
}

TEST(RegexService, TenMillionCharacterMessageIsOneMatch) {
  const std::string line = G("这是一条很长的消息，里面有数字 12:30 和字母abc。\r\n");
  const std::size_t lineChars = GbkToUtf16(line).size();
  std::string body;
  body.reserve(10'000'000 / lineChars * line.size() + line.size());
  while (body.size() / line.size() * lineChars < 10'000'000) {
    body += line;
  }
  const std::string text = "2016-5-3 9:08:01 A(1)\r\n" + body + "\r\n2016-5-3 9:09:01 B(2)\r\nz";

  RegexService regex;
  regex.create(kMessagePattern);
  ASSERT_EQ(regex.execute(text), 2);
  EXPECT_EQ(regex.subMatchText(1, 1), body + "\r\n");
  EXPECT_EQ(regex.subMatchText(2, 2), "z");
  EXPECT_EQ(ReplaceAll("[\\s\\S]+", text, "x"), "x");  // a greedy run over all of it
}

TEST(RegexService, AnInterruptedSearchFindsNothing) {
  const std::string text(5000, 'a');
  RegexService regex;
  regex.create("a");
  int questions = 0;
  regex.setInterruption([&] { return ++questions == 3; });
  EXPECT_EQ(regex.execute(text), 0);
  EXPECT_EQ(questions, 3);
  regex.setInterruption([] { return false; });
  EXPECT_EQ(regex.execute(text), 5000);
}

TEST(RegexService, MovedInstanceKeepsPatternAndMatches) {
  RegexService regex;
  regex.create("b+");
  ASSERT_EQ(regex.execute("abbc"), 1);
  RegexService moved(std::move(regex));
  EXPECT_EQ(moved.matchText(1), "bb");
  EXPECT_EQ(moved.replace("abc", "x"), "axc");
}

}  // namespace
}  // namespace gw
