#include "engine/message_cleaner.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/patterns.h"
#include "fake_host.h"
#include "regex/regex_service.h"
#include "text/charset.h"

namespace gw {
namespace {

using testing::G;
using testing::U;

std::string Clean(const Options& options, std::string_view utf8) {
  MessageCleaner cleaner(options);
  return U(cleaner.clean(G(utf8)));
}

Options NoLimits() {
  Options options = Options::FormDefaults();
  options.选择框最少字数 = false;
  options.选择框最多字数 = false;
  return options;
}

TEST(MessageCleaner, FoldsLinesAndDropsBlankLinesButKeepsLoneBreaks) {
  const Options options = NoLimits();
  EXPECT_EQ(Clean(options, "第一行\r\n第二行\r\n\r\n"), "第一行第二行");
  EXPECT_EQ(Clean(options, "a\r\n \t　\r\nb\r\n"), "ab");
  EXPECT_EQ(Clean(options, "a\rb\nc\r\n"), "a\rb\nc");
  EXPECT_EQ(Clean(options, "\r\n\r\n"), "");
}

TEST(MessageCleaner, LengthLimitsCountCharactersBeforeTheDeleteRules) {
  Options options = Options::FormDefaults();
  options.编辑框最少字数 = "5";
  EXPECT_EQ(Clean(options, "你好世界"), "");
  EXPECT_EQ(Clean(options, "你好，世界"), "你好，世界");
  options.编辑框最多字数 = "3";
  EXPECT_EQ(Clean(options, "你好，世界"), "");
  options.选择框最多字数 = false;
  options.选择框删除数字 = true;
  // Tested on the longer text; the delete rules shorten it afterwards.
  EXPECT_EQ(Clean(options, "电话12345"), "电话");
  // A limit box that holds no positive number means no limit.
  options.编辑框最少字数 = "abc";
  EXPECT_EQ(Clean(options, "好"), "好");
}

TEST(MessageCleaner, IgnoreRulesDropWholeMessages) {
  Options options = NoLimits();
  options.选择框忽略网址 = true;
  EXPECT_EQ(Clean(options, "去 www.example.com 看看"), "");
  EXPECT_EQ(Clean(options, "没有链接"), "没有链接");

  options = NoLimits();
  options.选择框忽略数字 = true;
  options.编辑框数位 = "7";
  EXPECT_EQ(Clean(options, "电话1380000"), "");
  EXPECT_EQ(Clean(options, "电话138000"), "电话138000");
  // An empty or zero digit count matches every message.
  options.编辑框数位 = "";
  EXPECT_EQ(Clean(options, "普通消息"), "");

  options = NoLimits();
  options.选择框忽略指定 = true;
  options.编辑框忽略字符 = G("包邮|a.b");
  EXPECT_EQ(Clean(options, "全场包邮"), "");
  EXPECT_EQ(Clean(options, "axb"), "axb");   // the listed words are literal
  EXPECT_EQ(Clean(options, "A.B"), "");      // and letter case does not matter
  options.编辑框忽略字符 = G("包邮||电话");  // an empty entry matches everything
  EXPECT_EQ(Clean(options, "普通消息"), "");
}

// The engine takes at most 65535 in a quantifier. A longer digit rule must still drop the
// messages with such a run and leave the other ignore rules working.
TEST(MessageCleaner, DigitRulesOfAnyCountKeepEveryIgnoreRuleWorking) {
  Options options = NoLimits();
  options.选择框忽略网址 = true;
  options.选择框忽略数字 = true;
  options.选择框忽略指定 = true;
  options.编辑框忽略字符 = G("包邮");
  for (const char* count :
       {"70000", "65536", "2147483647", "99999999999999999999", "-70000", "-99999999999"}) {
    options.编辑框数位 = count;
    EXPECT_EQ(Clean(options, "去 www.example.com 看看"), "") << count;
    EXPECT_EQ(Clean(options, "全场包邮"), "") << count;
    EXPECT_EQ(Clean(options, "电话1380000"), "电话1380000") << count;
  }
  options.编辑框数位 = "70000";
  EXPECT_EQ(Clean(options, "号" + std::string(70000, '7')), "");
  const std::string shorter = "号" + std::string(69999, '7') + "x" + std::string(69999, '7');
  EXPECT_EQ(Clean(options, shorter), shorter);
  // Only ASCII digits count; a full-width one does not lengthen the run.
  const std::string wide = "a" + std::string(69999, '7') + "１";
  EXPECT_EQ(Clean(options, wide), wide);
  // The largest count the pattern carries itself.
  options.编辑框数位 = "65535";
  EXPECT_EQ(Clean(options, std::string(65535, '1')), "");
  EXPECT_EQ(Clean(options, std::string(65534, '1')), std::string(65534, '1'));
  EXPECT_EQ(Clean(options, "全场包邮"), "");
}

TEST(MessageCleaner, DeleteRulesRemoveAddressesDigitsLettersAndListedWords) {
  Options options = NoLimits();
  EXPECT_EQ(Clean(options, "看https://a.example.com/x?y=1这里，写信给me@example.org"),
            "看这里，写信给");
  // The scheme class [a-zA-z] also takes the characters between Z and a.
  EXPECT_EQ(Clean(options, "链接h_t^p://abc结束"), "链接结束");
  // An address stops at white space, CJK ideographs, quotes, parentheses and angle brackets.
  EXPECT_EQ(Clean(options, "(www.example.com)\"www.x.cn\""), "()\"\"");
  options.选择框删除字母 = true;
  options.选择框删除指定 = true;
  options.编辑框删除字符 = G("字1|字2");
  EXPECT_EQ(Clean(options, "ab字1cd字2中文"), "中文");
  EXPECT_EQ(Clean(options, "OnlyLetters"), "");
}

DropReason ReasonFor(MessageCleaner& cleaner, std::string_view utf8) {
  cleaner.clean(G(utf8));
  return cleaner.lastDropReason();
}

TEST(MessageCleaner, TellsWhichRuleDroppedAMessage) {
  Options options = Options::FormDefaults();
  options.编辑框最少字数 = "3";
  options.编辑框最多字数 = "10";
  options.选择框忽略网址 = options.选择框忽略数字 = options.选择框忽略指定 = true;
  options.编辑框数位 = "5";
  options.编辑框忽略字符 = G("包邮");
  options.选择框删除网址 = false;
  options.选择框删除字母 = true;
  MessageCleaner cleaner(options);
  EXPECT_EQ(ReasonFor(cleaner, "普通的消息"), DropReason::None);
  EXPECT_EQ(ReasonFor(cleaner, "\r\n　\r\n"), DropReason::Empty);
  EXPECT_EQ(ReasonFor(cleaner, "短"), DropReason::TooShort);
  EXPECT_EQ(ReasonFor(cleaner, "这一条消息比十个字还要长"), DropReason::TooLong);
  EXPECT_EQ(ReasonFor(cleaner, "www.qq.cn"), DropReason::WebAddress);
  EXPECT_EQ(ReasonFor(cleaner, "电话123456"), DropReason::Digits);
  EXPECT_EQ(ReasonFor(cleaner, "全场包邮哦"), DropReason::Words);
  // Several ignore rules at once: the first in the window's order names the reason.
  EXPECT_EQ(ReasonFor(cleaner, "包邮12345"), DropReason::Digits);
  EXPECT_EQ(ReasonFor(cleaner, "www.a.cn/1"), DropReason::WebAddress);
  // A message the delete rules leave empty is not taken either.
  EXPECT_EQ(ReasonFor(cleaner, "Letters"), DropReason::Empty);
  EXPECT_EQ(cleaner.clean(G("Letters")), "");

  // One ignore rule alone names its own reason.
  options.选择框忽略网址 = options.选择框忽略数字 = false;
  MessageCleaner wordsOnly(options);
  EXPECT_EQ(ReasonFor(wordsOnly, "全场包邮哦"), DropReason::Words);
}

TEST(MessageCleaner, SystemNoticesGoFirstSoThatTheLengthRulesSeeTheCleanedText) {
  Options options = Options::FormDefaults();
  options.编辑框最少字数 = "3";
  options.选择框删除系统提示 = true;
  MessageCleaner cleaner(options);
  // Long enough before the mention goes, too short after.
  EXPECT_EQ(ReasonFor(cleaner, "@小林 好的"), DropReason::TooShort);
  EXPECT_EQ(ReasonFor(cleaner, "[语音]"), DropReason::SystemNotice);
  EXPECT_EQ(ReasonFor(cleaner, "小王加入本群"), DropReason::SystemNotice);
  // The file name runs to the line end, seen before the lines are folded.
  EXPECT_EQ(cleaner.clean(G("[文件]笔记.docx\r\n第三章在这里\r\n")), G("第三章在这里"));
  EXPECT_EQ(cleaner.lastDropReason(), DropReason::None);
  // Off, the same texts stay as they are.
  options.选择框删除系统提示 = false;
  MessageCleaner off(options);
  EXPECT_EQ(off.clean(G("[文件]笔记.docx\r\n第三章在这里\r\n")), G("[文件]笔记.docx第三章在这里"));
  EXPECT_EQ(off.clean(G("小王加入本群")), G("小王加入本群"));
}

}  // namespace
}  // namespace gw

namespace gw {
namespace {

// The messages that the address rules may change are never passed over: wherever the web or the
// e-mail pattern finds an address, the text holds "://", "www" or "@".
TEST(MessageCleaner, EveryAddressTheRulesFindIsLookedFor) {
  const std::vector<std::string> pieces = {"http", "://",      ":/", "/", "ww",  "w",
                                           "W",    "wW",       ".",  "@", "a",   "b.cn",
                                           " ",    "\xC4\xE3", "x1", "_", "com", ":"};
  RegexService addresses;
  addresses.create(WebAddressPattern() + "|" + EmailPattern());
  std::mt19937 random(77);
  int found = 0;
  for (int round = 0; round < 20000; ++round) {
    std::string text;
    const int count = static_cast<int>(random() % 10);
    for (int i = 0; i < count; ++i) {
      text += pieces[random() % pieces.size()];
    }
    if (addresses.execute(text) > 0) {
      ++found;
      ASSERT_TRUE(MayHoldAddress(GbkToUtf16(text))) << text;
    }
  }
  EXPECT_GT(found, 1000);
  EXPECT_FALSE(MayHoldAddress(u"ww w: //x"));
}

}  // namespace
}  // namespace gw
