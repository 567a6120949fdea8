#include "text/source_conversion.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "text/charset.h"

namespace gw {
namespace {

// Bytes of every kind a source in `charset` may hold, well formed or not, with line feeds and
// ASCII among them (the places a slice may end) and long stretches without.
std::string SourceSoup(std::mt19937& random, std::string_view charset, std::size_t pieces) {
  static const std::vector<std::string> utf8 = {"a",
                                                "\r\n",
                                                "\xE4\xB8\xAD",
                                                "\xF0\x9F\x98\x80",
                                                "\xED\xA0\x80",
                                                "\xC3\xA9",
                                                "\x80",
                                                "\xE0\x80\x80",
                                                "\xF4\x90\x80\x80",
                                                "\xFF",
                                                "\xE4\xB8",
                                                "\xE6\x96\x87\xE5\xAD\x97"};
  static const std::vector<std::string> big5 = {"a",        "\n",       "\r\n",     "\xA4\xA4",
                                                "\xA4\xE5", "\x88\xA3", "\x88\x62", "\xA4",
                                                "\xFF\xFF", "\xA4\x40", "\x81\x40", " "};
  static const std::vector<std::string> utf16le = {
      std::string("a\0", 2),      std::string("\n\0", 2),
      std::string("\x2D\x4E", 2), std::string("\x3D\xD8\x00\xDE", 4),
      std::string("\x3D\xD8", 2), std::string("\x00\xDE", 2),
      std::string("\xAC\x20", 2), std::string("\x00\xE0", 2)};
  std::vector<std::string> swapped;
  const std::vector<std::string>* kinds = &utf8;
  if (charset == "BIG5" || charset == "BIG5-HKSCS") {
    kinds = &big5;
  } else if (charset == "UTF-16LE") {
    kinds = &utf16le;
  } else if (charset == "UTF-16BE") {
    for (const std::string& piece : utf16le) {
      std::string turned = piece;
      for (std::size_t i = 0; i + 1 < turned.size(); i += 2) {
        std::swap(turned[i], turned[i + 1]);
      }
      swapped.push_back(turned);
    }
    kinds = &swapped;
  }
  std::string soup;
  for (std::size_t i = 0; i < pieces; ++i) {
    // Runs of one kind of piece make long stretches without a place to end a slice.
    const std::string& piece = (*kinds)[random() % kinds->size()];
    for (int repeat = random() % 8 == 0 ? 20 : 1; repeat > 0; --repeat) {
      soup += piece;
    }
  }
  if (charset.starts_with("UTF-16") && random() % 4 == 0) {
    soup += 'x';  // a unit cut off by the end
  }
  return soup;
}

// Slice by slice, on one thread or two, the conversion is the one of the whole text.
TEST(ConvertSourceBytes, SlicesGiveTheConversionOfTheWholeText) {
  std::mt19937 random(11);
  for (const std::string_view charset : {"UTF-8", "UTF-16LE", "UTF-16BE", "BIG5", "BIG5-HKSCS"}) {
    for (int round = 0; round < 150; ++round) {
      const std::string bytes = SourceSoup(random, charset, random() % 60);
      const std::string whole = ConvertCharset(bytes, charset, "GB18030");
      for (const std::size_t slice : {std::size_t{1}, std::size_t{3}, std::size_t{16}}) {
        for (const int threads : {1, 2}) {
          const std::optional<std::string> sliced =
              ConvertSourceBytes(bytes, charset, threads, {}, slice);
          ASSERT_TRUE(sliced.has_value());
          ASSERT_EQ(*sliced, whole)
              << charset << " round " << round << " slice " << slice << " threads " << threads;
        }
      }
    }
  }
}

// A stop ends the conversion with nothing, wherever it comes; a charset the system cannot
// convert gives the empty text, as a conversion of the whole text does.
TEST(ConvertSourceBytes, AStopGivesNothingAndAFailureTheEmptyText) {
  std::string utf8;
  for (int i = 0; i < 2000; ++i) {
    utf8 += "第" + std::to_string(i) + "行\r\n";
  }
  for (const int threads : {1, 2}) {
    for (int stopAt = 1; stopAt <= 4; ++stopAt) {
      int asked = 0;
      const auto stop = [&] { return ++asked >= stopAt; };
      EXPECT_FALSE(ConvertSourceBytes(utf8, "UTF-8", threads, stop, 1000).has_value());
    }
    int asked = 0;
    const std::optional<std::string> never = ConvertSourceBytes(
        utf8, "UTF-8", threads, [&] { return ++asked < 0; }, 1000);
    ASSERT_TRUE(never.has_value());
    EXPECT_EQ(*never, Utf8ToGbk(utf8));
    EXPECT_GT(asked, 1);
  }
  const std::optional<std::string> unknown = ConvertSourceBytes("abc\n", "NO-SUCH-CHARSET", 2, {});
  ASSERT_TRUE(unknown.has_value());
  EXPECT_EQ(*unknown, "");
}

}  // namespace
}  // namespace gw
