#include "text/html_charset.h"

#include <gtest/gtest.h>

#include <ostream>

#include <string>

#include "test_files.h"

namespace gw {
namespace {

using testing::G;

struct SniffCase {
  const char* sentence;
  std::string html;
  HtmlCharset expected;
};

// Test names and failure messages show the case's sentence, not its bytes.
void PrintTo(const SniffCase& row, std::ostream* out) {
  *out << row.sentence;
}

class SniffHtmlCharsetTest : public ::testing::TestWithParam<SniffCase> {};

TEST_P(SniffHtmlCharsetTest, FindsTheDeclaredCharset) {
  EXPECT_EQ(SniffHtmlCharset(GetParam().html), GetParam().expected) << GetParam().sentence;
}

INSTANTIATE_TEST_SUITE_P(
    Declarations, SniffHtmlCharsetTest,
    ::testing::Values(
        SniffCase{"an http-equiv meta tag declares utf-8 in its content",
                  "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
                  "charset=utf-8\"><title>t</title></head><body>x</body></html>",
                  HtmlCharset::Utf8},
        SniffCase{"an unquoted Big5 in capitals", "<head><meta charset=BIG5></head>",
                  HtmlCharset::Big5},
        SniffCase{"a single-quoted big5 in small letters", "<head><meta charset='big5'></head>",
                  HtmlCharset::Big5},
        SniffCase{"a double-quoted Big5", "<head><meta charset=\"Big5\"></head>",
                  HtmlCharset::Big5},
        SniffCase{"a quoted BIG5-HKSCS", "<head><meta charset=\"BIG5-HKSCS\"></head>",
                  HtmlCharset::Big5Hkscs},
        SniffCase{"a single-quoted Big5-HKSCS", "<head><meta charset='Big5-HKSCS'></head>",
                  HtmlCharset::Big5Hkscs},
        SniffCase{"an unquoted Big5-HKSCS reads as Big5, whose spelling is its prefix",
                  "<head><meta charset=Big5-HKSCS></head>", HtmlCharset::Big5},
        SniffCase{"a head in capitals is a head", "<HTML><HEAD><META CHARSET=UTF-8></HEAD>",
                  HtmlCharset::Utf8},
        SniffCase{"a later meta tag is found when the first tag is a meta tag",
                  "<head><meta name=\"author\" content=\"x\"><meta name=\"a\">"
                  "<meta charset=\"utf-8\"></head>",
                  HtmlCharset::Utf8},
        SniffCase{"a head whose first tag is a title declares nothing",
                  "<head><title>t</title><meta charset=utf-8></head>", HtmlCharset::None},
        SniffCase{"a head with attributes is no head: the whole text is scanned, and its first "
                  "tag is no meta tag",
                  "<html><head lang=\"zh\"><meta charset=utf-8></head>", HtmlCharset::None},
        SniffCase{"without a head the text itself may start with the meta tag",
                  "<meta charset=big5><p>text</p>", HtmlCharset::Big5},
        SniffCase{"a piece runs from the last meta tag to the next \">\"",
                  "<head><meta name=a><link rel=x charset=utf-8></head>", HtmlCharset::Utf8},
        SniffCase{"a meta tag after the head is not looked at when there is a head",
                  "<head><meta name=a></head><meta charset=utf-8>", HtmlCharset::None},
        SniffCase{"other charsets are no finding", "<head><meta charset=gb2312></head>",
                  HtmlCharset::None},
        SniffCase{"a text without tags declares nothing", "charset=utf-8 in plain words",
                  HtmlCharset::None},
        SniffCase{"an empty text declares nothing", "", HtmlCharset::None}));

TEST(SniffHtmlCharset, ScansLongTextsInLinearTime) {
  // One meta tag, then a million tags: every piece reaches back to the meta tag. Examining each
  // piece whole would take hours.
  std::string html = "<meta name=a>";
  for (int i = 0; i < 1000000; ++i) {
    html += "<p>";
  }
  html += "<x charset='big5'>";
  EXPECT_EQ(SniffHtmlCharset(html), HtmlCharset::Big5);

  // A large chat export: no tags at all.
  const std::string chat(50 * 1024 * 1024, 'a');
  EXPECT_EQ(SniffHtmlCharset(chat), HtmlCharset::None);
}

TEST(TextBetween, FindsMarkersInAnyCaseAndMovesThePositionBehindTheRightOne) {
  const std::string text = "<B>one</b> and <b>two</B>";
  std::size_t position = 0;
  EXPECT_EQ(TextBetween(text, "<b>", "</b>", position), "one");
  EXPECT_EQ(position, 10u);
  EXPECT_EQ(TextBetween(text, "<b>", "</b>", position), "two");
  EXPECT_EQ(position, text.size());
  EXPECT_EQ(TextBetween(text, "<b>", "</b>", position), "");
  EXPECT_EQ(position, text.size()) << "nothing found: the position stays";

  position = 0;
  EXPECT_EQ(TextBetween(text, "<b>", "</i>", position), "") << "no right marker";
  EXPECT_EQ(position, 0u);
  EXPECT_EQ(TextBetween("a=\"quoted\"", "a=''", "''"), "quoted")
      << "two single quotes stand for a double quote";
  EXPECT_EQ(TextBetween(G("前文【中】后文"), G("【"), G("】")), G("中"));
}

TEST(TextBetween, EmptyMarkersStandForTheStartAndTheEnd) {
  EXPECT_EQ(TextBetween("head: body", "", ":"), "head");
  EXPECT_EQ(TextBetween("head: body", ": ", ""), "body");
  EXPECT_EQ(TextBetween("whole", "", ""), "whole");
  // The end stands for the tail marker text: a text that holds it is cut there.
  EXPECT_EQ(TextBetween(G("a:前#Pelorin尾#后"), ":", ""), G("前"));
  EXPECT_EQ(TextBetween(G("a:前#PELORIN尾#后"), ":", ""), G("前"));
  // Past the start, the start marker must be in the text itself.
  std::size_t position = 3;
  EXPECT_EQ(TextBetween(G("abcdef"), "", "f", position), "");
  EXPECT_EQ(TextBetween(G("abc#Pelorin头#def"), "", "f", position), "de");
}

TEST(ContainsAnyOf, MatchesAnyItemOfTheListInAnyCase) {
  EXPECT_TRUE(ContainsAnyOf("Content: TEXT/HTML", "text/xml[fg]text/html"));
  EXPECT_FALSE(ContainsAnyOf("text/plain", "text/xml[fg]text/html"));
  EXPECT_TRUE(ContainsAnyOf("charset=\"big5\"", "charset=''Big5''"));
  EXPECT_FALSE(ContainsAnyOf("charset=big5", "charset=''Big5''"));
  EXPECT_FALSE(ContainsAnyOf("anything", "[fg][fg]")) << "empty items match nothing";
  EXPECT_FALSE(ContainsAnyOf("anything", ""));
  EXPECT_TRUE(ContainsAnyOf(G("包邮电话"), G("联系[fg]电话")));
}

}  // namespace
}  // namespace gw
