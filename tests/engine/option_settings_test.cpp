#include "engine/option_settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "fake_host.h"

namespace gw {
namespace {

using testing::G;
using testing::U;

class OptionSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("gw-option-settings-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder_);
    path_ = folder_ / "settings.ini";
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::string FileBytes() const {
    std::ifstream in(path_, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }

  std::filesystem::path folder_;
  std::filesystem::path path_;
};

TEST_F(OptionSettings, AFirstSaveWritesAllRowsNewestFirst) {
  SettingsStore store;
  ASSERT_TRUE(store.setPath(path_, 0));
  ASSERT_TRUE(SaveMainSettings(store, Options::FormDefaults()));
  const std::string text = U(FileBytes());
  EXPECT_EQ(text.rfind("[基本配置]\r\n选择文件=\r\n文件编码=0\r\n忽略字符=包邮|电话|联系\r\n", 0),
            0u);
  EXPECT_TRUE(text.ends_with("\r\n选择框删除表情=真\r\n选择框删除日期=真"));
  int lines = 0;
  for (char c : text) {
    lines += c == '\n';
  }
  EXPECT_EQ(lines, 43);
}

TEST_F(OptionSettings, SavedOptionsComeBackAfterARestart) {
  Options changed = Options::FormDefaults();
  changed.选择框打乱消息顺序 = true;
  changed.选择框删除网址 = false;
  changed.编辑框连横1 = "2";
  changed.编辑框前缀 = G("<div>\r\n");
  changed.组合框标题位置 = 0;
  changed.选择框忽略数字 = true;
  changed.按钮选择文件标记 = G("/home/读书会/导出.txt");
  {
    SettingsStore store;
    ASSERT_TRUE(store.setPath(path_, 0));
    ASSERT_TRUE(SaveMainSettings(store, changed));
  }
  EXPECT_NE(FileBytes().find(G("前缀=<div>┊*┊")), std::string::npos);
  SettingsStore store;
  ASSERT_TRUE(store.setPath(path_, 0));
  Options loaded = Options::FormDefaults();
  LoadMainSettings(store, loaded);
  EXPECT_TRUE(loaded.选择框打乱消息顺序);
  EXPECT_FALSE(loaded.选择框删除网址);
  EXPECT_EQ(loaded.编辑框连横1, "2");
  EXPECT_EQ(loaded.编辑框前缀, G("<div>\r\n"));
  EXPECT_EQ(loaded.组合框标题位置, 0);
  EXPECT_TRUE(loaded.选择框忽略数字);
  EXPECT_EQ(loaded.按钮选择文件标记, changed.按钮选择文件标记);
}

TEST_F(OptionSettings, EmptyOrUnusableStoredValuesKeepTheFormValues) {
  std::ofstream(path_, std::ios::binary)
      << G("[基本配置]\r\n合并1=\r\n标题位置=7\r\n选择框段落插入=\r\n扩展名=md");
  SettingsStore store;
  ASSERT_TRUE(store.setPath(path_, 0));
  Options loaded = Options::FormDefaults();
  LoadMainSettings(store, loaded);
  EXPECT_EQ(loaded.编辑框连横1, "4");
  EXPECT_EQ(loaded.组合框标题位置, 2);
  EXPECT_TRUE(loaded.选择框段落插入);
  EXPECT_EQ(loaded.编辑框扩展名, "md");
}

TEST_F(OptionSettings, StoredTextsEndAtTheirFirstZeroByte) {
  using namespace std::string_literals;
  std::ofstream(path_, std::ios::binary) << G("[基本配置]\r\n选择框段落插入=真\r\n前缀=<q>") +
                                                "\0<x>\r\n"s + G("后缀=") + "\0</p>\r\n"s +
                                                G("[屏蔽词过滤器]\r\n代替符=##") + "\0!!"s;
  SettingsStore store;
  ASSERT_TRUE(store.setPath(path_, 0));
  Options loaded = Options::FormDefaults();
  LoadMainSettings(store, loaded);
  EXPECT_TRUE(loaded.选择框段落插入);
  EXPECT_EQ(loaded.编辑框前缀, "<q>");
  EXPECT_EQ(loaded.编辑框后缀, "</p>") << "nothing before the zero byte: the form value stays";
  EXPECT_EQ(ReadBlockedWordSettings(store).replacement, "##");
}

TEST_F(OptionSettings, BlockedWordSettingsHonourTheOptionButtonsKey) {
  std::ofstream(path_, std::ios::binary)
      << G("[屏蔽词过滤器]\r\n单选框换行符=真\r\n代替符=\r\n词库=/tmp/词库.txt");
  SettingsStore store;
  ASSERT_TRUE(store.setPath(path_, 0));
  const BlockedWordSettings settings = ReadBlockedWordSettings(store);
  EXPECT_TRUE(settings.separatedByLineBreaks);
  EXPECT_EQ(settings.separator, "|");
  EXPECT_EQ(settings.replacement, "**");
  EXPECT_EQ(settings.libraryPath, "/tmp/词库.txt");
}

}  // namespace
}  // namespace gw
