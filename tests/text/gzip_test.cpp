#include "text/gzip.h"

#include <gtest/gtest.h>

#include <string>

#include "test_files.h"

namespace gw {
namespace {

using testing::Gzip;

std::string SampleText(std::size_t lines) {
  std::string text;
  for (std::size_t i = 0; i < lines; ++i) {
    text += "2016-5-3 9:08:" + std::to_string(i % 60) + " line " + std::to_string(i) + "\r\n";
  }
  return text;
}

TEST(Gunzip, RestoresOneMemberOfAnySize) {
  EXPECT_EQ(GunzipBytes(Gzip("hello")), "hello");
  // Far larger than the compressed input: the output must grow past its first guess.
  const std::string repetitive(10 * 1024 * 1024, 'a');
  EXPECT_EQ(GunzipBytes(Gzip(repetitive)), repetitive);
  const std::string text = SampleText(50000);
  EXPECT_EQ(GunzipBytes(Gzip(text)), text);
}

TEST(Gunzip, JoinsEveryMemberOfAConcatenatedFileLikeGzipDoes) {
  const std::string first = SampleText(3000);
  const std::string second = "second member\r\n";
  const std::string third(100000, 'z');
  EXPECT_EQ(GunzipBytes(Gzip(first) + Gzip(second) + Gzip(third)), first + second + third);
  EXPECT_EQ(GunzipBytes(Gzip("") + Gzip("after an empty member")), "after an empty member");
}

TEST(Gunzip, KeepsWhatWasDecompressedBeforeAFault) {
  const std::string text = SampleText(20000);
  const std::string packed = Gzip(text);

  // Cut short: a prefix of the text comes out, nothing beyond it.
  const std::string truncated = GunzipBytes(std::string_view(packed).substr(0, packed.size() / 2));
  EXPECT_FALSE(truncated.empty());
  EXPECT_LT(truncated.size(), text.size());
  EXPECT_EQ(truncated, text.substr(0, truncated.size()));

  // A sound member followed by garbage: the sound member is kept.
  EXPECT_EQ(GunzipBytes(Gzip("kept") + "\x1F\x8B garbage that is no deflate data"), "kept");
  EXPECT_EQ(GunzipBytes(Gzip("kept") + std::string(16, '\0')), "kept");

  // A trailer that claims more than deflate can make of the input (a size check then fails at
  // the end): what the data gives is still kept.
  std::string lying = Gzip("kept");
  lying.replace(lying.size() - 4, 4, "\xFF\xFF\xFF\xFF");
  EXPECT_EQ(GunzipBytes(lying), "kept");

  // Nothing usable at all.
  EXPECT_EQ(GunzipBytes(""), "");
  EXPECT_EQ(GunzipBytes("plain text, not gzip"), "");
  EXPECT_EQ(GunzipBytes("\x1F\x8B"), "");
}

// Decompressing a large source gives up between two slices of its output on a stop request,
// wherever it comes, and gives the whole of it when none comes; growing beyond the room the
// trailer claimed still works slice by slice.
TEST(Gunzip, AStopEndsALargeDecompressionWithNothing) {
  const std::string text = SampleText(1500000);  // some tens of megabytes
  const std::string packed = Gzip(text);
  for (int stopAt = 1; stopAt <= 4; ++stopAt) {
    int asked = 0;
    bool exceeded = false;
    EXPECT_FALSE(GunzipBytes(packed, text.size() * 2, exceeded, [&] {
                   return ++asked >= stopAt;
                 }).has_value());
    EXPECT_FALSE(exceeded);
  }
  int asked = 0;
  bool exceeded = false;
  const std::optional<std::string> whole =
      GunzipBytes(packed, text.size() * 2, exceeded, [&] { return ++asked < 0; });
  ASSERT_TRUE(whole.has_value());
  EXPECT_TRUE(*whole == text);
  EXPECT_GT(asked, 2);
  std::string understated = packed;
  understated.replace(understated.size() - 4, 4, std::string("\x10\0\0\0", 4));
  EXPECT_TRUE(GunzipBytes(understated) == text);
}

}  // namespace
}  // namespace gw
