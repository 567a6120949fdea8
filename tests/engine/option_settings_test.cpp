#include "engine/option_settings.h"

#include <gtest/gtest.h>

#include <algorithm>
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
  const std::size_t extended = text.find("\r\n[扩展配置]\r\n");
  ASSERT_NE(extended, std::string::npos);
  const std::string main = text.substr(0, extended);
  EXPECT_TRUE(main.ends_with("\r\n选择框删除表情=真\r\n选择框删除日期=真"));
  EXPECT_EQ(std::count(main.begin(), main.end(), '\n'), 43) << "the section line and 43 rows";
  EXPECT_EQ(text.substr(extended),
            "\r\n[扩展配置]\r\n组合框文章编码=0\r\n选择框去除重复消息=假\r\n"
            "选择框删除系统提示=假");
}

// A file written before "扩展配置" existed: loading gives exactly what it holds, and saving it back
// unchanged adds the new section after the others and leaves every other byte where it was.
TEST_F(OptionSettings, AnOlderFileLoadsAsItWasAndSavingOnlyAddsTheNewSection) {
  std::string older;
  {
    SettingsStore store;
    ASSERT_TRUE(store.setPath(path_, 0));
    Options changed = Options::FormDefaults();
    changed.编辑框连横1 = "3";
    changed.组合框编码 = 2;
    ASSERT_TRUE(SaveMainSettings(store, changed));
    const std::string saved = FileBytes();
    older = saved.substr(0, saved.find(G("\r\n[扩展配置]"))) +
            G("\r\n[随机词组]\r\n随机词组=甲\r\n词组索引=0\r\n[屏蔽词过滤器]\r\n代替符=##");
  }
  std::ofstream(path_, std::ios::binary | std::ios::trunc) << older;
  SettingsStore store;
  ASSERT_TRUE(store.setPath(path_, 0));
  Options loaded = Options::FormDefaults();
  LoadMainSettings(store, loaded);
  EXPECT_EQ(loaded.编辑框连横1, "3");
  EXPECT_EQ(loaded.组合框编码, 2);
  EXPECT_FALSE(loaded.选择框删除系统提示);
  EXPECT_FALSE(loaded.选择框去除重复消息);
  EXPECT_EQ(loaded.组合框文章编码, 0);
  ASSERT_TRUE(SaveMainSettings(store, loaded));
  EXPECT_EQ(FileBytes(), older + G("\r\n[扩展配置]\r\n组合框文章编码=0\r\n"
                                   "选择框去除重复消息=假\r\n选择框删除系统提示=假"));
}

TEST_F(OptionSettings, TheNewOptionsComeBackFromTheirOwnSection) {
  Options changed = Options::FormDefaults();
  changed.选择框删除系统提示 = true;
  changed.选择框去除重复消息 = true;
  changed.组合框文章编码 = 2;
  {
    SettingsStore store;
    ASSERT_TRUE(store.setPath(path_, 0));
    ASSERT_TRUE(SaveMainSettings(store, changed));
  }
  const std::string text = U(FileBytes());
  EXPECT_NE(text.find("[扩展配置]\r\n组合框文章编码=2\r\n选择框去除重复消息=真\r\n"
                      "选择框删除系统提示=真"),
            std::string::npos);
  SettingsStore store;
  ASSERT_TRUE(store.setPath(path_, 0));
  Options loaded = Options::FormDefaults();
  LoadMainSettings(store, loaded);
  EXPECT_TRUE(loaded.选择框删除系统提示);
  EXPECT_TRUE(loaded.选择框去除重复消息);
  EXPECT_EQ(loaded.组合框文章编码, 2);
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
