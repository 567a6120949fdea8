#include "text/source_reader.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <ostream>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "test_files.h"

namespace gw {
namespace {

using testing::G;
using testing::Gzip;
using testing::TempDir;

const std::string kUtf8Mark = "\xEF\xBB\xBF";

std::string Utf16Le(std::u16string_view text) {
  std::string bytes;
  for (const char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

std::string Utf16Be(std::u16string_view text) {
  std::string bytes;
  for (const char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit >> 8));
    bytes.push_back(static_cast<char>(unit & 0xFF));
  }
  return bytes;
}

struct ReadCase {
  const char* sentence;
  std::string bytes;
  TextEncoding choice;
  std::string expectedText;
  TextEncoding expectedDetected;
};

// Test names and failure messages show the case's sentence, not its bytes.
void PrintTo(const ReadCase& row, std::ostream* out) {
  *out << row.sentence;
}

class ReadSourceTextTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadSourceTextTest, GivesTheProgramTextAndTheEncodingFound) {
  const ReadCase& row = GetParam();
  const TempDir folder;
  const auto file = folder.Write("source.txt", row.bytes);
  auto detected = static_cast<TextEncoding>(-1);
  std::string text;
  const std::string result = ReadSourceText(file, row.choice, detected, text);
  EXPECT_EQ(text, row.expectedText) << row.sentence;
  EXPECT_EQ(result, text) << row.sentence;
  EXPECT_EQ(detected, row.expectedDetected) << row.sentence;
  EXPECT_EQ(testing::ReadBytes(file), row.bytes) << "the source is never written";
}

const std::string kBig5Html = "<html><head><meta charset=\"Big5\"></head><body>\xA4\xA4\xA4\xE5";

INSTANTIATE_TEST_SUITE_P(
    Encodings, ReadSourceTextTest,
    ::testing::Values(
        ReadCase{"auto: a UTF-8 mark is recognised and dropped", kUtf8Mark + "中文abc",
                 TextEncoding::Auto, G("中文abc"), TextEncoding::Utf8},
        ReadCase{"GBK chosen: a UTF-8 file keeps its mark bytes, unconverted", kUtf8Mark + "中文",
                 TextEncoding::Gbk, kUtf8Mark + "中文", TextEncoding::Gbk},
        ReadCase{"UTF-8 chosen: the mark is skipped", kUtf8Mark + "中文", TextEncoding::Utf8,
                 G("中文"), TextEncoding::Utf8},
        ReadCase{"UTF-8 chosen, no mark", "中文", TextEncoding::Utf8, G("中文"),
                 TextEncoding::Utf8},
        ReadCase{"auto: UTF-8 without a mark is recognised by its sequences", "早上好 abc",
                 TextEncoding::Auto, G("早上好 abc"), TextEncoding::Utf8},
        ReadCase{"auto: one emoji does not make a UTF-8 file GBK; it becomes \"?\"", "你好😀!",
                 TextEncoding::Auto, G("你好") + "?!", TextEncoding::Utf8},
        ReadCase{"auto: pure ASCII stays GBK", "just ascii\r\n", TextEncoding::Auto,
                 "just ascii\r\n", TextEncoding::Gbk},
        ReadCase{"auto: GBK text stays GBK", G("消息记录"), TextEncoding::Auto, G("消息记录"),
                 TextEncoding::Gbk},
        ReadCase{"auto: GBK that starts like a UTF-8 sequence but breaks later stays GBK",
                 G("为中"), TextEncoding::Auto, G("为中"), TextEncoding::Gbk},
        ReadCase{"auto: a UTF-16LE mark", "\xFF\xFE" + Utf16Le(u"中文a"), TextEncoding::Auto,
                 G("中文a"), TextEncoding::Utf16Le},
        ReadCase{"auto: a UTF-16BE mark", "\xFE\xFF" + Utf16Be(u"中文a"), TextEncoding::Auto,
                 G("中文a"), TextEncoding::Utf16Be},
        ReadCase{"UTF-16LE chosen: the first two bytes go, mark or not", Utf16Le(u"中文a"),
                 TextEncoding::Utf16Le, G("文a"), TextEncoding::Utf16Le},
        ReadCase{"UTF-16BE chosen: the mark goes", "\xFE\xFF" + Utf16Be(u"中文"),
                 TextEncoding::Utf16Be, G("中文"), TextEncoding::Utf16Be},
        ReadCase{"GBK chosen on UTF-16: only the bytes before the first zero byte",
                 "\xFF\xFE" + Utf16Le(u"ab"), TextEncoding::Gbk,
                 "\xFF\xFE"
                 "a",
                 TextEncoding::Gbk},
        ReadCase{"auto: an HTML page declaring Big5 is converted from Big5", kBig5Html,
                 TextEncoding::Auto, "<html><head><meta charset=\"Big5\"></head><body>" + G("中文"),
                 TextEncoding::Big5},
        ReadCase{"auto: an HTML page declaring utf-8", "<head><meta charset=utf-8></head>中",
                 TextEncoding::Auto, "<head><meta charset=utf-8></head>" + G("中"),
                 TextEncoding::Utf8},
        ReadCase{"auto: a gzip file of UTF-8 is decompressed, then recognised",
                 Gzip("2016-5-3 9:08:01 小林(10001)\r\n早上好\r\n"), TextEncoding::Auto,
                 G("2016-5-3 9:08:01 小林(10001)\r\n早上好\r\n"), TextEncoding::Utf8},
        ReadCase{"GBK chosen: a gzip file is still decompressed", Gzip(G("中文")),
                 TextEncoding::Gbk, G("中文"), TextEncoding::Gbk},
        ReadCase{"auto: a gzip file of several members is read whole",
                 Gzip("第一段，") + Gzip("第二段"), TextEncoding::Auto, G("第一段，第二段"),
                 TextEncoding::Utf8},
        ReadCase{"a file that only starts like gzip is read as it is", "\x1F\x8B not compressed",
                 TextEncoding::Auto, "\x1F\x8B not compressed", TextEncoding::Gbk},
        ReadCase{"a zero byte ends the text", std::string("abc\0def", 7), TextEncoding::Gbk, "abc",
                 TextEncoding::Gbk},
        ReadCase{"UTF-8 chosen on an empty file", "", TextEncoding::Utf8, "", TextEncoding::Gbk},
        ReadCase{"auto on an empty file", "", TextEncoding::Auto, "", TextEncoding::Gbk}));

TEST(ReadSourceText, AFileThatCannotBeOpenedGivesNothingAndLeavesTheEncodingAlone) {
  const TempDir folder;
  TextEncoding detected = TextEncoding::Utf16Be;
  EXPECT_EQ(ReadSourceText(folder.path() / "missing.txt", TextEncoding::Auto, detected), "");
  EXPECT_EQ(detected, TextEncoding::Utf16Be);
  EXPECT_EQ(ReadSourceText(folder.path(), TextEncoding::Gbk, detected), "") << "a folder";
  EXPECT_EQ(detected, TextEncoding::Utf16Be);
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "missing.txt")) << "nothing is created";
}

TEST(ReadSource, AnUnreadableSourceCarriesTheSystemsReasonAndAReadOneNone) {
  const TempDir folder;
  const std::filesystem::path file = folder.path() / "chat.txt";
  std::ofstream(file) << "text";
  struct Row {
    const char* what;
    std::filesystem::path path;
    SourceStatus status;
    int error;
  };
  const Row rows[] = {
      {"a missing file", folder.path() / "missing.txt", SourceStatus::Unreadable, ENOENT},
      {"a folder", folder.path(), SourceStatus::Unreadable, EISDIR},
      {"a path through a file", file / "inner.txt", SourceStatus::Unreadable, ENOTDIR},
      {"a file that is read", file, SourceStatus::Read, 0},
  };
  for (const Row& row : rows) {
    TextEncoding detected = TextEncoding::Auto;
    const SourceRead read = ReadSource(row.path, TextEncoding::Auto, detected);
    EXPECT_EQ(read.status, row.status) << row.what;
    EXPECT_EQ(read.error, row.error) << row.what;
  }
}

TEST(ReadSourceText, ReadOnlySourcesAreReadAndNeverWritten) {
  const TempDir folder;
  const std::string packed = Gzip("只读文件");
  const auto file = folder.Write("readonly.gz", packed);
  std::filesystem::permissions(file, std::filesystem::perms::owner_read |
                                         std::filesystem::perms::group_read |
                                         std::filesystem::perms::others_read);
  struct stat before {};
  ASSERT_EQ(::stat(file.c_str(), &before), 0);
  TextEncoding detected = TextEncoding::Auto;
  EXPECT_EQ(ReadSourceText(file, TextEncoding::Auto, detected), G("只读文件"));
  EXPECT_EQ(detected, TextEncoding::Utf8);
  struct stat after {};
  ASSERT_EQ(::stat(file.c_str(), &after), 0);
  EXPECT_EQ(testing::ReadBytes(file), packed) << "the decompressed bytes are not written back";
  EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
  EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);

  // Permission bits do not stop a privileged user from opening for writing, but nobody may open
  // a running program for writing: this file can only be read if it is opened for reading only.
  const std::string self = ReadSourceText("/proc/self/exe", TextEncoding::Gbk, detected);
  EXPECT_EQ(self.substr(0, 4),
            "\x7F"
            "ELF");
  EXPECT_EQ(detected, TextEncoding::Gbk);
}

// A UTF-8 export of at least `bytes` bytes.
std::string Utf8ExportOf(std::size_t bytes) {
  std::string utf8;
  for (int i = 0; utf8.size() < bytes; ++i) {
    utf8 += "2016-5-3 9:08:01 小林(10001)\r\n早上好，第" + std::to_string(i) + "条 [表情]\r\n\r\n";
  }
  return utf8;
}

TEST(ReadSourceText, ReadsALargeUtf8ExportWhole) {
  const TempDir folder;
  const std::string utf8 = Utf8ExportOf(8 * 1024 * 1024);
  const auto file = folder.Write("large.txt", utf8);
  TextEncoding detected = TextEncoding::Auto;
  EXPECT_EQ(ReadSourceText(file, TextEncoding::Auto, detected), G(utf8));
  EXPECT_EQ(detected, TextEncoding::Utf8);
  // Converted in halves on two threads, too.
  detected = TextEncoding::Auto;
  EXPECT_TRUE(ReadSource(file, TextEncoding::Auto, detected, 2).text == G(utf8));
  EXPECT_EQ(detected, TextEncoding::Utf8);
}

// The UTF-8 test of a large source looks at all of it: a first stretch of pure ASCII longer than
// any slice of the test decides nothing, and neither does a well-formed one before a GBK byte.
TEST(ReadSource, TheUtf8TestOfALargeSourceTakesInAllOfIt) {
  const TempDir folder;
  const std::string ascii = std::string(17 * 1024 * 1024, 'a') + "\r\n";
  TextEncoding detected = TextEncoding::Auto;
  const auto utf8 = folder.Write("utf8.txt", ascii + "中文\r\n");
  EXPECT_EQ(ReadSource(utf8, TextEncoding::Auto, detected, 2).text.substr(ascii.size()),
            G("中文\r\n"));
  EXPECT_EQ(detected, TextEncoding::Utf8);
  const auto gbk = folder.Write("gbk.txt", "中文\r\n" + ascii + G("中文"));
  detected = TextEncoding::Auto;
  EXPECT_EQ(ReadSource(gbk, TextEncoding::Auto, detected, 2).text.size(),
            std::string("中文\r\n").size() + ascii.size() + 4);
  EXPECT_EQ(detected, TextEncoding::Gbk);
}

// A stop request ends the reading wherever it comes (while the file is read, or converted):
// the source is then Stopped with nothing kept, never read in part.
TEST(ReadSource, AStopGivesNothingWhereverItComes) {
  const TempDir folder;
  const std::string utf8 = Utf8ExportOf(17 * 1024 * 1024);
  const auto file = folder.Write("large.txt", utf8);
  const std::string gbk = G(utf8);
  for (const int threads : {1, 2}) {
    bool everStopped = false;
    bool everRead = false;
    for (int stopAt = 1; stopAt <= 40; stopAt += 3) {
      int asked = 0;
      TextEncoding detected = TextEncoding::Auto;
      const SourceRead read = ReadSource(file, TextEncoding::Auto, detected, threads,
                                         [&] { return ++asked >= stopAt; });
      if (read.status == SourceStatus::Stopped) {
        everStopped = true;
        EXPECT_TRUE(read.text.empty());
      } else {
        everRead = true;
        ASSERT_EQ(read.status, SourceStatus::Read);
        EXPECT_TRUE(read.text == gbk);
      }
    }
    EXPECT_TRUE(everStopped);
    EXPECT_TRUE(everRead);  // asked fewer than 40 times
  }
}

// A large file read in two halves on two threads is the file, byte for byte, whatever its size
// (odd, or with a character across the middle) and its encoding.
TEST(ReadSource, ALargeFileReadInHalvesIsTheWholeFile) {
  const TempDir folder;
  std::string gbk;
  for (int i = 0; gbk.size() < 17 * 1024 * 1024; ++i) {
    gbk += G("2016-5-3 9:08:01 小林(10001)\r\n早上好，第") + std::to_string(i) + "\r\n";
  }
  // Sizes that make one, two and four slices of the reading.
  for (const std::size_t size :
       {std::size_t{9} << 20, (std::size_t{9} << 20) - 1, std::size_t{8} << 20, gbk.size()}) {
    const auto file = folder.Write("large.txt", std::string_view(gbk).substr(0, size));
    for (const TextEncoding choice : {TextEncoding::Gbk, TextEncoding::Auto}) {
      TextEncoding detected = TextEncoding::Auto;
      const SourceRead halves = ReadSource(file, choice, detected, 2);
      ASSERT_EQ(halves.status, SourceStatus::Read);
      EXPECT_EQ(halves.text.size(), size);
      EXPECT_TRUE(halves.text == std::string_view(gbk).substr(0, size)) << size;
      EXPECT_TRUE(ReadSource(file, choice, detected, 1).text == halves.text);
    }
  }
}

// The byte-by-byte test the fast scan must agree with.
bool LooksLikeUtf8Reference(std::string_view bytes) {
  std::size_t ascii = 0;
  const auto b = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const std::size_t n = bytes.size();
  for (std::size_t i = 0; i < n;) {
    if (b(i) < 0x80) {
      ++ascii;
      ++i;
    } else if (i + 1 < n && (b(i) & 0xE0) == 0xC0 && (b(i + 1) & 0xC0) == 0x80) {
      i += 2;
    } else if (i + 2 < n && (b(i) & 0xF0) == 0xE0 && (b(i + 1) & 0xC0) == 0x80 &&
               (b(i + 2) & 0xC0) == 0x80) {
      i += 3;
    } else if (i + 3 < n && b(i) >= 0xF0 && b(i) <= 0xF4 && (b(i + 1) & 0xC0) == 0x80 &&
               (b(i + 2) & 0xC0) == 0x80 && (b(i + 3) & 0xC0) == 0x80) {
      i += 4;
    } else {
      return false;
    }
  }
  return ascii != n;
}

TEST(LooksLikeUtf8, AcceptsWellFormedSequencesOfTwoToFourBytes) {
  EXPECT_TRUE(LooksLikeUtf8("a\xC3\xA9"));
  EXPECT_TRUE(LooksLikeUtf8("中文"));
  EXPECT_TRUE(LooksLikeUtf8("😀"));
  EXPECT_TRUE(LooksLikeUtf8("\xF4\x8F\xBF\xBF"));
  EXPECT_TRUE(LooksLikeUtf8("\xC0\x80")) << "only the bit patterns count: over-long forms pass";
  EXPECT_FALSE(LooksLikeUtf8(""));
  EXPECT_FALSE(LooksLikeUtf8("only ascii, however long it is"));
  EXPECT_FALSE(LooksLikeUtf8("\xF5\x80\x80\x80")) << "no lead byte above F4";
  EXPECT_FALSE(LooksLikeUtf8("\xF8\x88\x80\x80\x80"));
  EXPECT_FALSE(LooksLikeUtf8("\xF0\x9F\x98")) << "cut short";
  EXPECT_FALSE(LooksLikeUtf8("abcdefg\xE4\xB8")) << "cut short at a word boundary";
  EXPECT_FALSE(LooksLikeUtf8("\x80")) << "a continuation byte without a lead";
  EXPECT_FALSE(LooksLikeUtf8(G("中文")));
}

TEST(LooksLikeUtf8, AgreesWithTheByteByByteTestOnMixedInput) {
  // Pieces that are well formed, broken or out of place, joined at random so that they fall on
  // every offset of the eight-byte steps.
  const std::string pieces[] = {"a",    "bcdefghij", "\xC3\xA9",        "\xE4\xB8\xAD", "😀",
                                "\x80", "\xC3",      "\xE4\xB8",        "\xF0\x9F",     "\xF5",
                                "\xFF", "\xC0\x80",  "\xF4\x8F\xBF\xBF"};
  std::mt19937 engine(12345);
  for (int round = 0; round < 20000; ++round) {
    std::string bytes;
    const int count = static_cast<int>(engine() % 12);
    for (int i = 0; i < count; ++i) {
      // Mostly well-formed pieces, so that both answers occur often.
      const std::size_t pick = engine() % 21;
      bytes += pick < 5 ? pieces[pick] : pick < 13 ? pieces[pick % 5] : pieces[pick - 13 + 5];
    }
    ASSERT_EQ(LooksLikeUtf8(bytes), LooksLikeUtf8Reference(bytes))
        << ::testing::PrintToString(bytes);
  }
}

}  // namespace
}  // namespace gw
