#include "text/charset.h"

#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "text/gbk_chars.h"

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
  EXPECT_EQ(ConvertCharset("a\xF0\x9F\x98\x80"
                           "b",
                           "UTF-8", "GB18030"),
            "a?b");
  EXPECT_EQ(ConvertCharsetWithIconv("a\xF0\x9F\x98\x80"
                                    "b",
                                    "UTF-8", "GB18030"),
            "a?b");
  // Malformed UTF-8: each stray byte is one "?".
  EXPECT_EQ(Utf8ToGbk("a\xFF\xC0\x80"
                      "b\xE4\xB8"),
            "a???b??");
}

TEST(Charset, ConvertsBig5AndUtf16ToTheProgramText) {
  EXPECT_EQ(ConvertCharset("\xA4\xA4\xA4\xE5", "BIG5", "GB18030"), Utf8ToGbk("中文"));
  EXPECT_EQ(ConvertCharset(std::string("\x2D\x4E\x87\x65", 4), "UTF-16LE", "GB18030"),
            Utf8ToGbk("中文"));
  EXPECT_EQ(ConvertCharset(std::string("\x4E\x2D\x65\x87", 4), "UTF-16BE", "GB18030"),
            Utf8ToGbk("中文"));
  EXPECT_EQ(ConvertCharset("abc", "NO-SUCH-CHARSET", "GB18030"), "");
}

// Big5-HKSCS 88 A3 is "ê" with a combining macron: the converter holds "ê" back to look for the
// mark, and GBK has no macron. The conversion ended in an endless loop (found by the fuzzer) and,
// with a character after it, dropped that character.
TEST(Charset, HkscsCharactersWithACombiningMarkEndTheConversionAndKeepTheNextCharacter) {
  const std::string e = Utf8ToGbk("ê");
  EXPECT_EQ(ConvertCharset("\x88\xA3", "BIG5-HKSCS", "GBK"), e + "?");
  EXPECT_EQ(ConvertCharset("a\x88\xA3"
                           "b",
                           "BIG5-HKSCS", "GBK"),
            "a" + e + "?b");
  EXPECT_EQ(ConvertCharset("\x88\xA3\xA4\xA4", "BIG5-HKSCS", "GBK"), e + "?" + Utf8ToGbk("中"));
}

TEST(Charset, InvalidGbkDecodesToReplacementCharacters) {
  // A lead byte before a byte that cannot trail stands alone; the following byte is kept.
  EXPECT_EQ(GbkToUtf16("\x81\x0D\x0A"), std::u16string(u"\uFFFD\r\n"));
  EXPECT_EQ(GbkToUtf16("a\xC4"), std::u16string(u"a\uFFFD"));
}

// The table-driven paths must give iconv's own answers, whatever the bytes. iconv does not know
// the code page's user-defined areas, so the UTF-16 units here stay out of the Private Use Area
// that they map to (the test after this one covers it).
TEST(Charset, FastPathsAgreeWithIconvOnRandomBytes) {
  std::mt19937 random(7);
  const std::string pieces[] = {
      "a",        "\r\n", "\xE4\xB8\xAD", "\xF0\x9F\x98\x80", "\xED\xA0\x80",
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
    for (std::size_t i = 0; i + 1 < utf16.size(); i += 2) {
      // 0xE0..0xE7 as either byte of a unit could make it a Private Use Area unit.
      for (char* byte : {&utf16[i], &utf16[i + 1]}) {
        if ((static_cast<unsigned char>(*byte) & 0xF8) == 0xE0) {
          *byte = 'x';
        }
      }
    }
    ASSERT_EQ(ConvertCharset(utf8, "UTF-8", "CP936"),
              ConvertCharsetWithIconv(utf8, "UTF-8", "CP936"));
    ASSERT_EQ(ConvertCharset(utf16, "UTF-16LE", "CP936"),
              ConvertCharsetWithIconv(utf16, "UTF-16LE", "CP936"));
    ASSERT_EQ(ConvertCharset(utf16, "UTF-16BE", "CP936"),
              ConvertCharsetWithIconv(utf16, "UTF-16BE", "CP936"));
  }
}

// Code page 936 maps its three user-defined areas, row by row, to the Private Use Area.
TEST(Charset, UserDefinedAreasRoundTripThroughThePrivateUseArea) {
  struct Area {
    unsigned firstLead, lastLead, firstTrail, lastTrail;
    char16_t first, last;
  };
  const Area areas[] = {{0xAA, 0xAF, 0xA1, 0xFE, 0xE000, 0xE233},
                        {0xF8, 0xFE, 0xA1, 0xFE, 0xE234, 0xE4C5},
                        {0xA1, 0xA7, 0x40, 0xA0, 0xE4C6, 0xE765}};
  for (const Area& area : areas) {
    std::string gbk;
    std::u16string expected;
    char16_t next = area.first;
    for (unsigned lead = area.firstLead; lead <= area.lastLead; ++lead) {
      for (unsigned trail = area.firstTrail; trail <= area.lastTrail; ++trail) {
        if (trail != 0x7F) {
          gbk += static_cast<char>(lead);
          gbk += static_cast<char>(trail);
          expected += next++;
        }
      }
    }
    EXPECT_EQ(expected.back(), area.last);
    EXPECT_EQ(GbkToUtf16(gbk), expected);
    EXPECT_EQ(Utf16ToGbk(expected), gbk);
    EXPECT_EQ(Utf8ToGbk(GbkToUtf8(gbk)), gbk);
  }
  EXPECT_EQ(Utf16ToGbk(GbkToUtf16("\x41\xAA\xA1\x42")), "\x41\xAA\xA1\x42");
  EXPECT_EQ(ConvertCharset("\xEE\x80\x80", "UTF-8", "GB18030"), "\xAA\xA1");
}

// Texts of every kind of unit the engine's text can hold: ASCII with CR LF pairs and lone CRs,
// double-byte characters, the euro sign (one byte, 0x80, in code page 936), U+FFFD (from bytes
// that are no character), units GBK cannot hold, surrogate pairs and lone surrogates, NUL.
std::vector<std::u16string> MixedUtf16Texts() {
  const std::u16string pieces[] = {u"a",
                                   u"Z",
                                   u"\r\n",
                                   u"\r",
                                   u"\n",
                                   u"你",
                                   u"，",
                                   u"€",
                                   u"\uFFFD",
                                   u"한",
                                   u"😀",
                                   std::u16string(1, char16_t(0xD800)),
                                   std::u16string(1, char16_t(0xDC00)),
                                   u" "};
  std::mt19937 random(7);
  std::vector<std::u16string> texts = {u"", u"€", u"€a", u"a€", u"€你", u"\r\n\r\n", u"😀"};
  for (int n = 0; n < 300; ++n) {
    std::u16string text;
    const int length = static_cast<int>(random() % 12);
    for (int k = 0; k < length; ++k) {
      text += pieces[random() % std::size(pieces)];
    }
    texts.push_back(text);
  }
  return texts;
}

TEST(Charset, ShortcutsAgreeWithConvertingThroughGbk) {
  for (const std::u16string& text : MixedUtf16Texts()) {
    const std::string gbk = Utf16ToGbk(text);
    std::u16string roundTrip = u"prefix";
    AppendGbkRoundTrip(text, roundTrip);
    EXPECT_EQ(roundTrip, u"prefix" + GbkToUtf16(gbk)) << gbk;
    EXPECT_EQ(GbkCharCount(text), CharCount(gbk)) << gbk;
  }
}

TEST(Charset, ConversionsIntoHeldRoomMatchTheAllocatingOnes) {
  std::mt19937 random(11);
  std::u16string room = u"left over from an earlier text";
  for (int n = 0; n < 200; ++n) {
    std::string bytes(random() % 40, '\0');
    for (char& byte : bytes) {
      byte = static_cast<char>(random() % 3 == 0 ? random() % 0x80 : 0x80 + random() % 0x80);
    }
    GbkToUtf16(bytes, room);
    EXPECT_EQ(room, GbkToUtf16(bytes));
    std::string appended = "x";
    AppendUtf16AsGbk(room, appended);
    EXPECT_EQ(appended, "x" + Utf16ToGbk(room));
  }
}

}  // namespace
}  // namespace gw
