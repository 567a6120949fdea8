#include "cli/cli_settings.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <iterator>

#include "text/charset.h"

namespace gw::cli {
namespace {

namespace fs = std::filesystem;

std::string G(std::string_view utf8) {
  return Utf8ToGbk(utf8);
}

class CliSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "gw_cli_settings_XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override { fs::remove_all(folder_); }

  fs::path write(const std::string& name, const std::string& bytes) {
    const fs::path path = folder_ / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  static std::string read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  fs::path folder_;
};

TEST_F(CliSettingsTest, TheFileOverridesTheFormDefaultsAndIsLeftAsItWas) {
  const std::string content =
      G("[基本配置]\r\n组合数1=1\r\n标题位置=0\r\n选择框打乱消息顺序=真\r\n扩展名=\r\n\r\n"
        "[屏蔽词过滤器]\r\n单选框换行符=真\r\n代替符=##\r\n词库=/库/词.txt\r\n编码=2\r\n");
  const fs::path file = write("settings.ini", content);
  const CliSettings settings = ReadCliSettings(file);

  EXPECT_EQ(settings.options.编辑框合纵1, "1");
  EXPECT_EQ(settings.options.编辑框合纵2, "10") << "absent keys keep the form default";
  EXPECT_EQ(settings.options.组合框标题位置, 0);
  EXPECT_TRUE(settings.options.选择框打乱消息顺序);
  EXPECT_EQ(settings.options.编辑框扩展名, "txt") << "an empty value reads as the default";
  const BlockedWordSettings words = settings.effectiveBlockedWords();
  EXPECT_TRUE(words.separatedByLineBreaks);
  EXPECT_EQ(words.replacement, "##");
  EXPECT_EQ(words.libraryPath, "/库/词.txt") << "the library path is a UTF-8 file-system path";
  EXPECT_EQ(settings.filterEncoding, 2);

  EXPECT_EQ(read(file), content);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1)
      << "no lock or temporary file is left beside the settings file";
}

TEST_F(CliSettingsTest, AMissingFileGivesTheFormDefaultsAndIsNotCreated) {
  const fs::path file = folder_ / "sub" / "none.ini";
  const CliSettings settings = ReadCliSettings(file);
  EXPECT_EQ(settings.options.编辑框合纵1, Options::FormDefaults().编辑框合纵1);
  EXPECT_EQ(settings.options.组合框标题位置, 2);
  EXPECT_EQ(settings.effectiveBlockedWords().separator, "|");
  EXPECT_EQ(settings.effectiveBlockedWords().replacement, "**");
  EXPECT_FALSE(fs::exists(folder_ / "sub"));
}

TEST_F(CliSettingsTest, OverridesTakeEveryFormOfValueAndTheLastOneWins) {
  CliSettings settings = ReadCliSettings(folder_ / "none.ini");
  const auto error = ApplyOverrides(settings, {
                                                  {"选择框打乱消息顺序", "真"},
                                                  {"选择框段落插入", "0"},
                                                  {"选择框插入词", "true"},
                                                  {"组合框标题位置", "标题前"},
                                                  {"组合框编码", "3"},
                                                  {"编辑框标题关键词", "读书"},
                                                  {"编辑框前缀", ""},
                                                  {"编辑框连横1", "2"},
                                                  {"编辑框连横1", "5"},
                                              });
  ASSERT_EQ(error, std::nullopt);
  const Options& options = settings.options;
  EXPECT_TRUE(options.选择框打乱消息顺序);
  EXPECT_FALSE(options.选择框段落插入);
  EXPECT_TRUE(options.选择框插入词);
  EXPECT_EQ(options.组合框标题位置, 0);
  EXPECT_EQ(options.组合框编码, 3);
  EXPECT_EQ(options.编辑框标题关键词, G("读书")) << "values reach the options as GBK";
  EXPECT_EQ(options.编辑框前缀, "");
  EXPECT_EQ(options.编辑框连横1, "5");
}

TEST_F(CliSettingsTest, BlockedWordKeysAreOverriddenOneByOne) {
  const fs::path file =
      write("settings.ini", G("[屏蔽词过滤器]\r\n单选框换行符=真\r\n分隔符=,\r\n编码=1\r\n"));
  CliSettings settings = ReadCliSettings(file);
  ASSERT_EQ(ApplyOverrides(settings, {{"屏蔽词过滤器/换行符", "假"},
                                      {"屏蔽词过滤器/代替符", "某"},
                                      {"屏蔽词过滤器/词库", "/词/库.txt"},
                                      {"屏蔽词过滤器/编码", "UTF-8"}}),
            std::nullopt);
  BlockedWordSettings words = settings.effectiveBlockedWords();
  EXPECT_TRUE(words.separatedByLineBreaks) << "the option button's key is still on in the file";
  EXPECT_EQ(words.separator, ",");
  EXPECT_EQ(words.replacement, G("某"));
  EXPECT_EQ(words.libraryPath, "/词/库.txt");
  EXPECT_EQ(settings.filterEncoding, 2);

  ASSERT_EQ(
      ApplyOverrides(settings, {{"屏蔽词过滤器/单选框换行符", "0"}, {"屏蔽词过滤器/分隔符", "、"}}),
      std::nullopt);
  words = settings.effectiveBlockedWords();
  EXPECT_FALSE(words.separatedByLineBreaks);
  EXPECT_EQ(words.separator, G("、"));
}

TEST_F(CliSettingsTest, OverridesThatFitNoOptionAreRejectedWithTheReason) {
  struct Row {
    OptionOverride entry;
    std::string error;
  };
  const Row rows[] = {
      {{"颜色", "1"}, "未知的选项名：颜色（gathwrite-cli options 列出所有选项）"},
      {{"选择框打乱消息顺序", "是"},
       "选项 选择框打乱消息顺序 的值无效：'是'（应为真/假、1/0 或 true/false）"},
      {{"组合框标题位置", "3"},
       "选项 组合框标题位置 的值无效：'3'（应为从 0 起的序号或以下之一：标题前 标题后 随机位置）"},
      {{"屏蔽词过滤器/颜色", "红"},
       "未知的选项名：屏蔽词过滤器/颜色（gathwrite-cli options 列出所有选项）"},
      {{"屏蔽词过滤器/代替", "#"},
       "未知的选项名：屏蔽词过滤器/代替。是否想用：屏蔽词过滤器/代替符？"},
      {{"编辑框最少字", "3"},
       "未知的选项名：编辑框最少字。是否想用：编辑框最少字数、编辑框最多字数？"},
      {{"屏蔽词过滤器/换行符", "yes"},
       "选项 屏蔽词过滤器/换行符 的值无效：'yes'（应为真/假、1/0 或 true/false）"},
      {{"屏蔽词过滤器/编码", "5"},
       "选项 屏蔽词过滤器/编码 的值无效：'5'（应为从 0 起的序号或以下之一：自动识别 GBK UTF-8 "
       "Unicode Unicode be）"},
  };
  for (const Row& row : rows) {
    CliSettings settings = ReadCliSettings(folder_ / "none.ini");
    EXPECT_EQ(ApplyOverrides(settings, {row.entry}), row.error) << row.entry.name;
  }
}

}  // namespace
}  // namespace gw::cli
