#include "text/charset.h"

#include <gtest/gtest.h>

#include <random>

namespace gw {
namespace {

TEST(Charset, GbkAndUtf8RoundTrip) {
  const std::string utf8 = "早上好[表情] abc，。€";
  const std::string gbk = Utf8ToGbk(utf8);
  EXPECT_EQ(gbk, "\xD4\xE7\xC9\xCF\xBA\xC3[\xB1\xED\xC7\xE9] abc\xA3\xAC\xA1\xA3\x80");
  EXPECT_EQ(GbkToUtf8(gbk), utf8);
  EXPECT_EQ(Utf16ToGbk(GbkToUtf16(gbk)), gbk);
  EXPECT_EQ(GbkToUtf16(Utf8ToGbk("你好abc")), u"你好abc");
}

TEST(Charset, EveryCodePointOutsideCodePage936BecomesOneQuestionMark) {
  // An emoji (4 bytes of UTF-8, a surrogate pair in UTF-16), a Korean syllable, a lone surrogate.
  EXPECT_EQ(Utf8ToGbk("a😀b한c"), "a?b?c");
  EXPECT_EQ(Utf16ToGbk(u"a😀b한c"), "a?b?c");
  EXPECT_EQ(Utf16ToGbk(std::u16string(u"x") + char16_t(0xD800) + u"y"), "x?y");
  EXPECT_EQ(ConvertCharset("a\xF0\x9F\x98\x80" "b", "UTF-8", "GB18030"), "a?b");
  EXPECT_EQ(ConvertCharsetWithIconv("a\xF0\x9F\x98\x80" "b", "UTF-8", "GB18030"), "a?b");
  // Malformed UTF-8: each stray byte is one "?".
  EXPECT_EQ(Utf8ToGbk("a\xFF\xC0\x80" "b\xE4\xB8"), "a???b??");
}

TEST(Charset, ConvertsBig5AndUtf16ToTheProgramText) {
  EXPECT_EQ(ConvertCharset("\xA4\xA4\xA4\xE5", "BIG5", "GB18030"), Utf8ToGbk("中文"));
  EXPECT_EQ(ConvertCharset(std::string("\x2D\x4E\x87\x65", 4), "UTF-16LE", "GB18030"),
            Utf8ToGbk("中文"));
  EXPECT_EQ(ConvertCharset(std::string("\x4E\x2D\x65\x87", 4), "UTF-16BE", "GB18030"),
            Utf8ToGbk("中文"));
  EXPECT_EQ(ConvertCharset("abc", "NO-SUCH-CHARSET", "GB18030"), "");
}

TEST(Charset, InvalidGbkDecodesToReplacementCharacters) {
  // A lead byte before a byte that cannot trail stands alone; the following byte is kept.
  EXPECT_EQ(GbkToUtf16("\x81\x0D\x0A"), std::u16string(u"\uFFFD\r\n"));
  EXPECT_EQ(GbkToUtf16("a\xC4"), std::u16string(u"a\uFFFD"));
}

// The table-driven paths must give iconv's own answers, whatever the bytes.
TEST(Charset, FastPathsAgreeWithIconvOnRandomBytes) {
  std::mt19937 random(7);
  const std::string pieces[] = {"a", "\r\n", "\xE4\xB8\xAD", "\xF0\x9F\x98\x80", "\xED\xA0\x80",
                                "\xC3\xA9", "\x80", "\xE0\x80\x80", "\xF4\x90\x80\x80", "\xFF"};
  for (int round = 0; round < 2000; ++round) {
    std::string utf8;
    std::string utf16(random() % 16 * 2 + random() % 2, '\0');
    for (int i = random() % 12; i > 0; --i) {
      utf8 += pieces[random() % std::size(pieces)];
    }
    for (char& c : utf16) {
      c = static_cast<char>(random() % 4 == 0 ? 0xD8 + random() % 8 : random() % 256);
    }
    ASSERT_EQ(ConvertCharset(utf8, "UTF-8", "CP936"),
              ConvertCharsetWithIconv(utf8, "UTF-8", "CP936"));
    ASSERT_EQ(ConvertCharset(utf16, "UTF-16LE", "CP936"),
              ConvertCharsetWithIconv(utf16, "UTF-16LE", "CP936"));
    ASSERT_EQ(ConvertCharset(utf16, "UTF-16BE", "CP936"),
              ConvertCharsetWithIconv(utf16, "UTF-16BE", "CP936"));
  }
}

}  // namespace
}  // namespace gw
