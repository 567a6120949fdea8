#include "text/charset.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "text/gbk_chars.h"
#include "text/gbk_tables.h"

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

// Plain forms of the hot conversions, one character at a time, written from their rules with
// the code page's own tables, for the block-at-a-time loops to be held to.
namespace plain {

bool IsLead(unsigned char byte) {
  return byte >= 0x81 && byte <= 0xFE;
}
bool IsTrail(unsigned char byte) {
  return byte >= 0x40 && byte <= 0xFE && byte != 0x7F;
}

// A lead byte and a byte that may trail it are one character, a pair that is no character
// U+FFFD; any other byte stands alone: itself below 0x80, else its own character or U+FFFD.
std::u16string Decode(std::string_view gbk) {
  const GbkTables& tables = Gbk();
  std::u16string out;
  for (std::size_t i = 0; i < gbk.size(); ++i) {
    const auto byte = static_cast<unsigned char>(gbk[i]);
    unsigned index = byte;
    if (IsLead(byte) && i + 1 < gbk.size() && IsTrail(static_cast<unsigned char>(gbk[i + 1]))) {
      index = byte << 8 | static_cast<unsigned char>(gbk[++i]);
    }
    const char16_t unit = tables.toUnicode[index];
    out += byte < 0x80 ? char16_t{byte} : unit != 0 ? unit : char16_t{0xFFFD};
  }
  return out;
}

bool IsHigh(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDFFF;
}

// A surrogate pair, a lone surrogate and every unit code page 936 cannot hold are one "?".
std::string Encode(std::u16string_view utf16) {
  const GbkTables& tables = Gbk();
  std::string out;
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    const char16_t unit = utf16[i];
    const std::uint16_t code = tables.fromUnicode[unit];
    if (IsSurrogate(unit)) {
      out += '?';
      i += IsHigh(unit) && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF;
    } else if (unit < 0x80) {
      out += static_cast<char>(unit);
    } else if (code == 0) {
      out += '?';
    } else if (code < 0x100) {
      out += static_cast<char>(code);
    } else {
      out += static_cast<char>(code >> 8);
      out += static_cast<char>(code & 0xFF);
    }
  }
  return out;
}

// A byte of 0x81 or above takes the byte after it; CR LF is one character.
int CountChars(std::string_view gbk) {
  int count = 0;
  for (std::size_t i = 0; i < gbk.size(); ++count) {
    const auto byte = static_cast<unsigned char>(gbk[i]);
    const bool two = i + 1 < gbk.size() && (byte >= 0x81 || (byte == '\r' && gbk[i + 1] == '\n'));
    i += two ? 2 : 1;
  }
  return count;
}

}  // namespace plain

// Texts with runs of ASCII of every length around the 16-byte blocks and every kind of character
// at every place of a block: each special piece after 0 to 40 ASCII bytes, then random mixes.
std::vector<std::string> BlockEdgeGbkTexts(std::mt19937& random) {
  const std::string specials[] = {
      "\xC4\xE3",  // 你
      "\xA3\xAC",  // ，
      "\x80",      // the euro sign
      "\xFF",
      "\x81\x7F",  // a lead before a byte that cannot trail
      "\x81\xFF", "\xFE\x0D",           "\x81\x40",
      "\xAA\xA1",  // the first user-defined character
      "\xA2\xA0",  // a pair that is no character
      "\r\n",     std::string(1, '\0'),
      "\xB0",  // a lead byte: at the very end when nothing follows
  };
  const auto ascii = [&](std::size_t length) {
    std::string run;
    for (std::size_t k = 0; k < length; ++k) {
      run += "ab1 :/\r\n"[random() % 8];
    }
    return run;
  };
  std::vector<std::string> texts;
  for (const std::string& special : specials) {
    for (std::size_t before = 0; before <= 40; ++before) {
      texts.push_back(ascii(before) + special);
      texts.push_back(ascii(before) + special + ascii(random() % 40));
      texts.push_back(ascii(before) + special + special + special + "\xC4\xE3\xC4\xE3" + special);
    }
  }
  for (int n = 0; n < 1500; ++n) {
    std::string text;
    for (int pieces = static_cast<int>(random() % 12); pieces > 0; --pieces) {
      switch (random() % 4) {
        case 0:
          text += ascii(random() % 40);
          break;
        case 1:
          for (int k = static_cast<int>(random() % 12); k > 0; --k) {
            text += "\xC4\xE3\xA3\xAC\xB1\xED"[random() % 3 * 2];
            text.push_back("\xE3\xAC\xED"[random() % 3]);
          }
          break;
        case 2:
          text += specials[random() % std::size(specials)];
          break;
        default:
          text += static_cast<char>(random() % 256);
      }
    }
    texts.push_back(text);
  }
  return texts;
}

// The same for UTF-16: ASCII runs with CR LF pairs, double-byte characters, units GBK cannot
// hold, U+FFFD, surrogate pairs and lone surrogates (a high one last), NUL.
std::vector<std::u16string> BlockEdgeUtf16Texts(std::mt19937& random) {
  const std::u16string specials[] = {u"你",
                                     u"€",
                                     u"\uFFFD",
                                     u"한",
                                     u"\u0080",
                                     u"\u00FF",
                                     u"\uE000",
                                     u"😀",
                                     std::u16string(1, char16_t(0xD800)),
                                     std::u16string(1, char16_t(0xDFFF)),
                                     u"\r\n",
                                     u"\r",
                                     std::u16string(1, u'\0')};
  const auto ascii = [&](std::size_t length) {
    std::u16string run;
    for (std::size_t k = 0; k < length; ++k) {
      run += u"ab1 :/\r\n"[random() % 8];
    }
    return run;
  };
  std::vector<std::u16string> texts;
  for (const std::u16string& special : specials) {
    for (std::size_t before = 0; before <= 40; ++before) {
      texts.push_back(ascii(before) + special);
      texts.push_back(ascii(before) + special + ascii(random() % 40));
      texts.push_back(ascii(before) + special + u"\n" + special + special + u"中文" + special);
    }
  }
  for (int n = 0; n < 1500; ++n) {
    std::u16string text;
    for (int pieces = static_cast<int>(random() % 12); pieces > 0; --pieces) {
      switch (random() % 4) {
        case 0:
          text += ascii(random() % 40);
          break;
        case 1:
          for (int k = static_cast<int>(random() % 12); k > 0; --k) {
            text += u"你好表情，"[random() % 5];
          }
          break;
        case 2:
          text += specials[random() % std::size(specials)];
          break;
        default:
          text += static_cast<char16_t>(random() % 65536);
      }
    }
    texts.push_back(text);
  }
  return texts;
}

// The hot conversions take texts a block at a time; every block edge must give the answers of
// the plain rules, and nothing may be written past the room the caller holds.
TEST(Charset, BlockLoopsAgreeWithThePlainRules) {
  std::mt19937 random(23);
  constexpr std::size_t kGuard = 40;
  constexpr char16_t kUnitMark = 0xBEEF;
  constexpr char kByteMark = '\x5A';
  for (const std::string& text : BlockEdgeGbkTexts(random)) {
    // Shifted by 0..15 bytes, so the text starts anywhere in an aligned block.
    const std::size_t shift = random() % 16;
    const std::string held = std::string(shift, 'x') + text;
    const std::string_view gbk = std::string_view(held).substr(shift);
    std::vector<char16_t> room(gbk.size() + kGuard, kUnitMark);
    const std::size_t written = GbkToUtf16Into(gbk, room.data());
    ASSERT_EQ(std::u16string(room.data(), written), plain::Decode(gbk)) << text;
    ASSERT_EQ(
        std::count(room.begin() + static_cast<std::ptrdiff_t>(gbk.size()), room.end(), kUnitMark),
        static_cast<std::ptrdiff_t>(kGuard))
        << text;
  }
  std::vector<std::u16string> utf16Texts = BlockEdgeUtf16Texts(random);
  for (const std::string& text : BlockEdgeGbkTexts(random)) {
    utf16Texts.push_back(plain::Decode(text));  // U+FFFD, user-defined characters, the euro sign
  }
  for (const std::u16string& text : utf16Texts) {
    const std::size_t shift = random() % 8;
    const std::u16string held = std::u16string(shift, u'x') + text;
    const std::u16string_view utf16 = std::u16string_view(held).substr(shift);
    const std::string gbk = plain::Encode(utf16);

    std::vector<char> room(2 * utf16.size() + kGuard, kByteMark);
    const std::size_t written = Utf16ToGbkInto(utf16, room.data());
    ASSERT_EQ(std::string(room.data(), written), gbk);
    ASSERT_EQ(std::count(room.begin() + static_cast<std::ptrdiff_t>(2 * utf16.size()), room.end(),
                         kByteMark),
              static_cast<std::ptrdiff_t>(kGuard));

    std::u16string roundTrip = u"kept";
    AppendGbkRoundTrip(utf16, roundTrip);
    ASSERT_EQ(roundTrip, u"kept" + plain::Decode(gbk)) << gbk;

    ASSERT_EQ(GbkCharCount(utf16), plain::CountChars(gbk)) << gbk;
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

// A text above a megabyte is measured before it is decoded: the room measured must also hold the
// block the decoding writes past the last units (a text of double-byte characters decodes to
// half as many units as it has bytes). AddressSanitizer sees any write past it.
TEST(Charset, ALargeTextDecodesIntoItsMeasuredRoom) {
  for (const std::size_t extra : {0, 1, 7, 15, 16, 31}) {
    std::string gbk(std::size_t{1} << 20, 'a');
    for (std::size_t i = 0; i < 3000 + extra; ++i) {
      gbk += "\xC4\xE3";  // 你
    }
    const std::u16string units = GbkToUtf16(gbk);
    ASSERT_EQ(units.size(), (std::size_t{1} << 20) + 3000 + extra);
    EXPECT_EQ(units.back(), u'\u4F60');
    EXPECT_EQ(Utf16ToGbk(units), gbk);
  }
}

}  // namespace
}  // namespace gw
