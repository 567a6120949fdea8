#include "engine/options.h"

#include <gtest/gtest.h>

#include <set>

#include "fake_host.h"

namespace gw {
namespace {

using testing::G;

TEST(Options, FormDefaultsAreTheWindowsInitialValues) {
  const Options options = Options::FormDefaults();
  EXPECT_TRUE(options.选择框最少字数);
  EXPECT_EQ(options.编辑框最少字数, "2");
  EXPECT_TRUE(options.选择框最多字数);
  EXPECT_EQ(options.编辑框最多字数, "100");
  EXPECT_EQ(options.编辑框数位, "7");
  EXPECT_EQ(options.编辑框连横1, "4");
  EXPECT_EQ(options.编辑框连横2, "7");
  EXPECT_EQ(options.编辑框合纵1, "7");
  EXPECT_EQ(options.编辑框合纵2, "10");
  EXPECT_EQ(options.编辑框插入1, "2");
  EXPECT_EQ(options.编辑框插入2, "4");
  EXPECT_TRUE(options.选择框删除网址 && options.选择框删除邮箱 && options.选择框段落插入);
  EXPECT_TRUE(options.选择框删除日期 && options.选择框删除表情);
  EXPECT_FALSE(options.选择框打乱消息顺序 || options.选择框插入词 || options.选择框过滤屏蔽词);
  EXPECT_EQ(options.编辑框欲替换, G("一|换"));
  EXPECT_EQ(options.编辑框替换为, "yi|huang");
  EXPECT_EQ(options.编辑框忽略字符, G("包邮|电话|联系"));
  EXPECT_EQ(options.编辑框删除字符, G("字1|字2"));
  EXPECT_EQ(options.编辑框分隔符, G("，。，。！"));
  EXPECT_EQ(options.编辑框前缀, "<p>");
  EXPECT_EQ(options.编辑框后缀, "</p>");
  EXPECT_EQ(options.编辑框标题最少字数, "10");
  EXPECT_EQ(options.编辑框扩展名, "txt");
  EXPECT_EQ(options.组合框标题位置, 2);
  EXPECT_EQ(options.组合框繁简转换, 0);
  EXPECT_EQ(options.组合框编码, 0);
  EXPECT_EQ(options.编辑框词.rfind(G("词1|词2|词3|http://"), 0), 0u);
}

TEST(Options, FortyThreeRowsAreStoredUnderDistinctKeysInSaveOrder) {
  const auto rows = StoredOptionsInSaveOrder();
  ASSERT_EQ(rows.size(), 43u);
  std::set<std::string_view> keys;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i]->settingsRow, static_cast<int>(i) + 1);
    keys.insert(rows[i]->settingsKey);
  }
  EXPECT_EQ(keys.size(), 43u);
  EXPECT_EQ(rows.front()->settingsKey, "选择框删除日期");
  EXPECT_EQ(rows[14]->settingsKey, "最多字数a");
  EXPECT_EQ(rows.back()->settingsKey, "选择文件");
  // Check boxes stored by the check-box operation use their own name as the key.
  for (const OptionSpec* row : rows) {
    if (row->storedAs == StoredAs::Check) {
      EXPECT_EQ(row->settingsKey, row->control);
    }
  }
}

TEST(Options, ValuesAreSetFromTextByKind) {
  Options options = Options::FormDefaults();
  EXPECT_TRUE(SetOptionFromText(options, *FindOption("选择框打乱消息顺序"), G("真")));
  EXPECT_TRUE(options.选择框打乱消息顺序);
  EXPECT_TRUE(SetOptionFromText(options, *FindOption("选择框打乱消息顺序"), "0"));
  EXPECT_FALSE(options.选择框打乱消息顺序);
  EXPECT_FALSE(SetOptionFromText(options, *FindOption("选择框打乱消息顺序"), "maybe"));
  EXPECT_TRUE(SetOptionFromText(options, *FindOption("组合框标题位置"), G("标题前")));
  EXPECT_EQ(options.组合框标题位置, 0);
  EXPECT_TRUE(SetOptionFromText(options, *FindOption("组合框标题位置"), "1"));
  EXPECT_EQ(options.组合框标题位置, 1);
  EXPECT_FALSE(SetOptionFromText(options, *FindOption("组合框标题位置"), "3"));
  EXPECT_TRUE(SetOptionFromText(options, *FindOption("编辑框连横1"), ""));
  EXPECT_EQ(options.编辑框连横1, "");
  EXPECT_EQ(OptionValueText(options, *FindOption("选择框段落插入")), G("真"));
  EXPECT_EQ(FindOption("编辑框不存在"), nullptr);
}

TEST(Options, EditBoxesReadAsTheirLeadingNumber) {
  EXPECT_EQ(LeadingInteger("12abc"), 12);
  EXPECT_EQ(LeadingInteger("  7"), 7);
  EXPECT_EQ(LeadingInteger("-3"), -3);
  EXPECT_EQ(LeadingInteger(""), 0);
  EXPECT_EQ(LeadingInteger("abc"), 0);
  EXPECT_EQ(LeadingInteger("99999999999999"), 2147483647);
}

}  // namespace
}  // namespace gw
