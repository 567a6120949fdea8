// Settings files edited by hand or replaced by something else: LF line ends, huge values, files
// that are no settings file at all. The store reads what it can, never damages the file and
// never waits or grows without end.
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "gtest/gtest.h"
#include "settings/settings_file.h"
#include "settings/settings_store.h"
#include "text/charset.h"

namespace gw {
namespace {

namespace fs = std::filesystem;

std::string G(std::string_view utf8) {
  return Utf8ToGbk(utf8);
}

class HostileSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "gw-hostile-settings-XXXXXX").string();
    folder_ = ::mkdtemp(pattern.data());
    file_ = folder_ / "settings.ini";
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  void Write(std::string_view bytes) const {
    std::ofstream(file_, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  std::string OnDisk() const {
    std::ifstream in(file_, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }

  fs::path folder_;
  fs::path file_;
};

TEST_F(HostileSettings, AFileWithLfLineEndsIsReadAndLosesNoLineWhenAValueIsWritten) {
  Write(G("[基本配置]\n编辑框连横1=3\n编辑框连横2=5\n[随机词组]\n1=甲\n"));
  SettingsStore store;
  ASSERT_TRUE(store.setPath(file_, 0));
  store.setSection(G("基本配置"));
  EXPECT_EQ(store.readText(G("编辑框连横1"), "1"), "3");
  EXPECT_EQ(store.readText(G("编辑框连横2"), "1"), "5");
  ASSERT_TRUE(store.writeText(G("编辑框连横1"), "4"));
  EXPECT_EQ(OnDisk(), G("[基本配置]\r\n编辑框连横1=4\r\n编辑框连横2=5\r\n[随机词组]\r\n1=甲\r\n"));

  // A file in the store's own line ends keeps a stray LF where it is.
  const std::string mixed = G("[基本配置]\r\n编辑框前缀=a\nb\r\n编辑框连横2=5");
  Write(mixed);
  SettingsStore other;
  other.open(file_, true);
  EXPECT_EQ(other.allText(), mixed);
}

TEST_F(HostileSettings, AMegabyteValueIsStoredAndReadBackWhole) {
  Write("");
  std::string value;
  while (value.size() < (std::size_t{1} << 20)) {
    value += G("很长的值，") + std::to_string(value.size()) + "=[x]\r\n";
  }
  const auto start = std::chrono::steady_clock::now();
  {
    SettingsStore store;
    ASSERT_TRUE(store.setPath(file_, 0));
    store.setSection(G("基本配置"));
    ASSERT_TRUE(store.writeText(G("编辑框词"), value));
    ASSERT_TRUE(store.writeText(G("编辑框连横1"), "2"));
    ASSERT_TRUE(store.writeText(G("编辑框词"), value + "!"));
  }
  SettingsStore reader;
  reader.open(file_, true);
  reader.setSection(G("基本配置"));
  EXPECT_EQ(reader.readText(G("编辑框词"), ""), value + "!");
  EXPECT_EQ(reader.readText(G("编辑框连横1"), ""), "2");
  // The value's line ends and brackets stayed inside the value: no key or section came of them.
  EXPECT_EQ(reader.listSections("", "").size(), 1u);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST_F(HostileSettings, AFileLargerThanTheLimitIsNeitherLoadedNorReplaced) {
  // A sparse file just over the limit: no disk room used.
  Write(G("[基本配置]\r\nx=1"));
  fs::resize_file(file_, kMaxSettingsFileBytes + 1);
  SettingsStore store;
  EXPECT_FALSE(store.setPath(file_, 0));
  EXPECT_TRUE(store.isReadOnly());
  EXPECT_EQ(store.allText(), "");
  store.setSection(G("基本配置"));
  EXPECT_FALSE(store.writeText("x", "2"));
  EXPECT_EQ(fs::file_size(file_), kMaxSettingsFileBytes + 1);
  EXPECT_EQ(OnDisk().substr(0, 3), "[\xBB\xF9");  // untouched
}

TEST_F(HostileSettings, AFolderOrANamedPipeInPlaceOfTheFileNeitherBlocksNorIsReplaced) {
  fs::create_directory(file_);
  {
    SettingsStore store;
    EXPECT_FALSE(store.setPath(file_, 0));
    EXPECT_TRUE(fs::is_directory(file_));
  }
  fs::remove(file_);
  ASSERT_EQ(::mkfifo(file_.c_str(), 0644), 0);
  std::string bytes = "left over";
  EXPECT_EQ(ReadWholeFile(file_, bytes), FileRead::Read);  // would wait for a writer if blocking
  EXPECT_EQ(bytes, "");
}

}  // namespace
}  // namespace gw
