#include "settings/settings_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace gw {
namespace {

namespace fs = std::filesystem;

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "gw-settings-file-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override { fs::remove_all(folder_); }

  fs::path write(const std::string& name, const std::string& bytes, mode_t mode) {
    const fs::path path = folder_ / name;
    std::ofstream(path, std::ios::binary) << bytes;
    EXPECT_EQ(::chmod(path.c_str(), mode), 0);
    return path;
  }
  static std::string read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  fs::path folder_;
};

TEST_F(SettingsFileTest, OnlyAFileWithoutAnyWriteBitIsProtectedForEveryone) {
  EXPECT_FALSE(IsWriteProtected(folder_ / "missing.ini")) << "a missing file may be created";
  EXPECT_FALSE(IsWriteProtected(write("usual.ini", "", 0644)));
  EXPECT_FALSE(IsWriteProtected(write("owner-only.ini", "", 0200)));
  EXPECT_TRUE(IsWriteProtected(write("marked.ini", "", 0444)));
  EXPECT_TRUE(IsWriteProtected(write("nothing.ini", "", 0000)));
  const fs::path file = write("kept.ini", "old", 0444);
  EXPECT_FALSE(StoreFileContent(file, "new"));
  EXPECT_EQ(read(file), "old");
}

TEST_F(SettingsFileTest, RewritingInPlaceNeverCreatesNorWaitsForAPipe) {
  EXPECT_FALSE(RewriteFileInPlace(folder_ / "missing.ini", "x"));
  EXPECT_FALSE(fs::exists(folder_ / "missing.ini"));
  const fs::path pipe = folder_ / "pipe.ini";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
  EXPECT_FALSE(RewriteFileInPlace(pipe, "x"));  // would wait for a reader if it blocked
  EXPECT_TRUE(fs::is_fifo(pipe));
}

}  // namespace
}  // namespace gw
