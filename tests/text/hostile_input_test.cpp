// Reading whatever users throw at the program: empty, missing, special, binary, damaged and
// oversized files. Every case ends with a clear answer, and none reads more than the size limit.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>

#include "gtest/gtest.h"
#include "test_files.h"
#include "text/charset.h"
#include "text/gzip.h"
#include "text/source_reader.h"

namespace gw {
namespace {

using testing::G;
using testing::Gzip;
using testing::TempDir;

SourceRead Read(const std::filesystem::path& path, TextEncoding choice = TextEncoding::Auto) {
  TextEncoding detected = TextEncoding::Auto;
  return ReadSource(path, choice, detected);
}

// A file of `size` bytes that takes no room on disk (a hole throughout).
std::filesystem::path SparseFile(const TempDir& dir, const std::string& name, off_t size) {
  const std::filesystem::path path = dir.path() / name;
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  EXPECT_GE(fd, 0);
  EXPECT_EQ(::ftruncate(fd, size), 0);
  ::close(fd);
  return path;
}

// gzip data that inflates to `megabytes` MB of zeros: one small member repeated, as
// `cat a.gz a.gz ...` makes it.
std::string GzipBomb(int megabytes) {
  const std::string member = Gzip(std::string(std::size_t{1} << 20, '\0'));
  std::string bomb;
  bomb.reserve(member.size() * static_cast<std::size_t>(megabytes));
  for (int i = 0; i < megabytes; ++i) {
    bomb += member;
  }
  return bomb;
}

TEST(HostileSource, AnEmptyFileIsReadAsAnEmptyText) {
  const TempDir dir;
  const SourceRead read = Read(dir.Write("empty.txt", ""));
  EXPECT_EQ(read.status, SourceStatus::Read);
  EXPECT_EQ(read.text, "");
}

TEST(HostileSource, AFolderAMissingFileAndAVanishedFileAreUnreadable) {
  const TempDir dir;
  std::filesystem::create_directory(dir.path() / "folder.txt");
  EXPECT_EQ(Read(dir.path() / "folder.txt").status, SourceStatus::Unreadable);
  EXPECT_EQ(Read(dir.path() / "never-there.txt").status, SourceStatus::Unreadable);
  // Listed by the file dialog, removed before the run reaches it.
  const std::filesystem::path listed = dir.Write("listed.txt", G("内容"));
  std::filesystem::remove(listed);
  EXPECT_EQ(Read(listed).status, SourceStatus::Unreadable);
}

TEST(HostileSource, ABinaryFileIsReadUpToItsFirstZeroByteWithoutFault) {
  const TempDir dir;
  std::mt19937 random(7);
  std::string bytes(1 << 20, '\0');
  for (char& c : bytes) {
    c = static_cast<char>(random() % 255 + 1);  // no zero byte ...
  }
  bytes[1000] = '\0';  // ... but this one
  for (const TextEncoding choice :
       {TextEncoding::Auto, TextEncoding::Gbk, TextEncoding::Utf8, TextEncoding::Utf16Le}) {
    const SourceRead read = Read(dir.Write("binary.bin", bytes), choice);
    EXPECT_EQ(read.status, SourceStatus::Read);
    EXPECT_EQ(read.text.find('\0'), std::string::npos);
  }
  EXPECT_EQ(Read(dir.Write("binary.bin", bytes), TextEncoding::Gbk).text, bytes.substr(0, 1000));
}

TEST(HostileSource, AFileLargerThanTheLimitIsRefusedBeforeAnythingIsRead) {
  const TempDir dir;
  const auto start = std::chrono::steady_clock::now();
  const SourceRead huge = Read(SparseFile(dir, "2GB.txt", off_t{2} << 30));
  EXPECT_EQ(huge.status, SourceStatus::TooLarge);
  EXPECT_EQ(huge.text, "");
  // One byte over the limit is refused the same way; nothing was read either time.
  EXPECT_EQ(Read(SparseFile(dir, "over.txt", static_cast<off_t>(kMaxSourceBytes) + 1)).status,
            SourceStatus::TooLarge);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  // Compatibility form: the refusal is a file that could not be read.
  TextEncoding detected = TextEncoding::Auto;
  EXPECT_FALSE(ReadSourceTextIfReadable(dir.path() / "2GB.txt", TextEncoding::Auto, detected));
}

TEST(HostileSource, AGzipBombIsRefusedOnceItsContentPassesTheLimit) {
  const TempDir dir;
  const int megabytes = static_cast<int>(kMaxSourceBytes >> 20) + 1;
  const std::string bomb = GzipBomb(megabytes);
  ASSERT_LT(bomb.size(), std::size_t{4} << 20);  // a small file on disk
  EXPECT_EQ(Read(dir.Write("bomb.txt.gz", bomb)).status, SourceStatus::InflatesTooLarge);
  // The decompressor alone stops at any limit it is given.
  bool exceeded = false;
  EXPECT_EQ(GunzipBytes(GzipBomb(3), std::size_t{2} << 20, exceeded), "");
  EXPECT_TRUE(exceeded);
  EXPECT_EQ(GunzipBytes(GzipBomb(2), std::size_t{2} << 20, exceeded).size(), std::size_t{2} << 20);
  EXPECT_FALSE(exceeded);
}

TEST(HostileSource, ATruncatedGzipFileGivesWhatCouldBeDecompressed) {
  const TempDir dir;
  std::string text;
  for (int i = 0; i < 20000; ++i) {
    text += G("第") + std::to_string(i) + G("行聊天内容\r\n");
  }
  const std::string packed = Gzip(text);
  const SourceRead cut = Read(dir.Write("cut.txt.gz", packed.substr(0, packed.size() / 2)));
  EXPECT_EQ(cut.status, SourceStatus::Read);
  EXPECT_FALSE(cut.text.empty());
  EXPECT_EQ(text.compare(0, cut.text.size() - 64, cut.text, 0, cut.text.size() - 64), 0);
  // Only the signature left: nothing to decompress, the bytes stay as they are.
  EXPECT_EQ(Read(dir.Write("sig.gz", "\x1F\x8B")).text, "\x1F\x8B");
}

TEST(HostileSource, InvalidGbkBytesAreKeptAsTheyAreAndConvertWithoutFault) {
  const TempDir dir;
  // A lead byte before ASCII, a lead byte at the very end, and bytes no GBK character uses.
  const std::string bytes =
      "a\x81"
      "b\xFF\x80\xA1";
  const SourceRead read = Read(dir.Write("bad-gbk.txt", bytes));
  EXPECT_EQ(read.status, SourceStatus::Read);
  EXPECT_EQ(read.text, bytes);
  const std::u16string wide = GbkToUtf16(bytes);
  EXPECT_FALSE(wide.empty());
  EXPECT_FALSE(Utf16ToGbk(wide).empty());
  EXPECT_FALSE(GbkToUtf8(bytes).empty());
}

TEST(HostileSource, UnpairedUtf16SurrogatesBecomeQuestionMarks) {
  const TempDir dir;
  // FF FE mark, "A", a lone high surrogate, "B", a lone low surrogate, "C", a high surrogate at
  // the very end.
  const std::string le(
      "\xFF\xFE"
      "A\0\x00\xD8"
      "B\0\x00\xDC"
      "C\0\x01\xD8",
      14);
  const SourceRead read = Read(dir.Write("surrogates-le.txt", le));
  EXPECT_EQ(read.status, SourceStatus::Read);
  EXPECT_EQ(read.text.substr(0, 5), "A?B?C");
  const std::string be(
      "\xFE\xFF"
      "\0A\xD8\x00"
      "\0B",
      8);
  EXPECT_EQ(Read(dir.Write("surrogates-be.txt", be)).text, "A?B");
  // An odd number of bytes: the last half unit is no character.
  EXPECT_EQ(Read(dir.Write("odd.txt", std::string("\xFF\xFE"
                                                  "A\0B",
                                                  5)))
                .text.substr(0, 1),
            "A");
}

}  // namespace
}  // namespace gw
