#include "cli/option_listing.h"

#include <gtest/gtest.h>

#include "engine/options.h"

namespace gw::cli {
namespace {

const OptionDescription& Find(const std::vector<OptionDescription>& options,
                              const std::string& name) {
  for (const OptionDescription& option : options) {
    if (option.name == name) {
      return option;
    }
  }
  throw std::runtime_error("no option " + name);
}

TEST(DescribeOptions, ShowsTheFormDefaultAndTheValueTheSettingsAndOverridesLeave) {
  CliSettings settings = DefaultCliSettings();
  ASSERT_EQ(ApplyOverrides(settings, {{"编辑框最少字数", "5"},
                                      {"选择框打乱消息顺序", "真"},
                                      {"组合框标题位置", "标题前"},
                                      {"屏蔽词过滤器/代替符", "##"},
                                      {"屏蔽词过滤器/编码", "UTF-8"}}),
            std::nullopt);
  const std::vector<OptionDescription> options = DescribeOptions(settings);
  EXPECT_EQ(options.size(), OptionTable().size() + BlockedWordKeys().size());

  struct Row {
    std::string name;
    OptionKind kind;
    std::string defaultValue;
    std::string value;
  };
  const Row rows[] = {
      {"编辑框最少字数", OptionKind::Text, "2", "5"},
      {"选择框打乱消息顺序", OptionKind::CheckBox, "假", "真"},
      {"选择框最少字数", OptionKind::CheckBox, "真", "真"},
      {"组合框标题位置", OptionKind::ComboBox, "2", "0"},
      {"编辑框欲替换", OptionKind::Text, "一|换", "一|换"},
      {"屏蔽词过滤器/代替符", OptionKind::Text, "**", "##"},
      {"屏蔽词过滤器/分隔符", OptionKind::Text, "|", "|"},
      {"屏蔽词过滤器/编码", OptionKind::ComboBox, "0", "2"},
      {"屏蔽词过滤器/换行符", OptionKind::CheckBox, "假", "假"},
  };
  for (const Row& row : rows) {
    const OptionDescription& option = Find(options, row.name);
    EXPECT_EQ(option.kind, row.kind) << row.name;
    EXPECT_EQ(option.defaultValue, row.defaultValue) << row.name;
    EXPECT_EQ(option.value, row.value) << row.name;
  }
  EXPECT_EQ(Find(options, "组合框标题位置").items,
            (std::vector<std::string>{"标题前", "标题后", "随机位置"}));
  EXPECT_EQ(Find(options, "屏蔽词过滤器/编码").items.size(), 5u);
}

TEST(OptionsAsText, OneAlignedLinePerOptionWithKindItemsAndQuotedTexts) {
  const std::vector<OptionDescription> options = {
      {"组合框标题位置", OptionKind::ComboBox, {"标题前", "标题后", "随机位置"}, "2", "0"},
      {"编辑框前缀", OptionKind::Text, {}, "<p>", "a\r\nb"},
      {"屏蔽词过滤器/换行符", OptionKind::CheckBox, {}, "假", "真"},
  };
  EXPECT_EQ(
      OptionsAsText(options),
      "组合框标题位置       组合框（0 标题前，1 标题后，2 随机位置）  默认 2 随机位置  当前 0 "
      "标题前\n"
      "编辑框前缀           文本  默认 \"<p>\"  当前 \"a\\r\\nb\"\n"
      "屏蔽词过滤器/换行符  复选框  默认 假  当前 真\n");
}

TEST(OptionsAsJson, GivesScriptsTypedValues) {
  const std::vector<OptionDescription> options = {
      {"组合框标题位置", OptionKind::ComboBox, {"标题前", "标题后"}, "1", "0"},
      {"选择框插入词", OptionKind::CheckBox, {}, "假", "真"},
      {"编辑框分隔符", OptionKind::Text, {}, "\"\\\t", ""},
  };
  EXPECT_EQ(OptionsAsJson(options),
            "[\n"
            " {\"name\": \"组合框标题位置\", \"kind\": \"combo box\", \"items\": [\"标题前\", "
            "\"标题后\"], \"default\": 1, \"value\": 0},\n"
            " {\"name\": \"选择框插入词\", \"kind\": \"check box\", \"default\": false, \"value\": "
            "true},\n"
            " {\"name\": \"编辑框分隔符\", \"kind\": \"text\", \"default\": \"\\\"\\\\\\t\", "
            "\"value\": \"\"}\n"
            "]\n");
  EXPECT_EQ(OptionsAsJson({}), "[\n]\n");
}

TEST(JsonQuoted, EscapesQuotesBackslashesAndControlCharactersAndKeepsUtf8) {
  EXPECT_EQ(JsonQuoted("词\x01\x1f\x7f\n"), "\"词\\u0001\\u001f\\u007f\\n\"");
}

}  // namespace
}  // namespace gw::cli
