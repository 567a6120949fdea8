#include "engine/system_notices.h"

#include <gtest/gtest.h>

#include "feed_support.h"
#include "text/charset.h"

namespace gw {
namespace {

using testing::FakeHost;
using testing::U;

std::u16string W(std::string_view utf8) {
  return GbkToUtf16(Utf8ToGbk(utf8));
}

std::string Removed(std::string_view utf8, bool (*remove)(std::u16string&)) {
  std::u16string text = W(utf8);
  remove(text);
  return U(Utf16ToGbk(text));
}

TEST(SystemNotices, OneShortLineWithANameBeforeThePhraseIsANotice) {
  for (const char* notice :
       {"阿明撤回了一条消息", "管理员撤回了一条成员消息", "小王加入本群。", "小李 加入了群聊",
        "老张退出了群聊！", "老周退出本群", "小赵被移出群聊", "阿明修改群名称为“三年二班家长群”",
        "群主修改了群名称", "阿明拍了拍小林的脑袋说早上好", "\r\n  阿明撤回了一条消息　\r\n\r\n",
        "Tom Lee撤回了一条消息 ~"}) {
    EXPECT_TRUE(IsSystemNotice(W(notice))) << notice;
  }
}

// A message of many blank lines, with only LF or only CR ending them, is read line by line once.
TEST(SystemNotices, ManyBlankLinesEndingInOneKindOfBreakAreReadOnce) {
  for (const char16_t lineEnd : {u'\n', u'\r'}) {
    std::u16string message(400'000, lineEnd);
    message += W("阿明撤回了一条消息");
    EXPECT_TRUE(IsSystemNotice(message));
    message += lineEnd;
    message += W("第二行");
    EXPECT_FALSE(IsSystemNotice(message));
  }
}

TEST(SystemNotices, SentencesThatMerelyHoldAPhraseAreNotNotices) {
  for (const char* message :
       {// Longer than a notice line, or a sentence with a comma.
        "昨天在公园里看到一个小朋友拍了拍小狗的头小狗高兴地摇起了尾巴真是可爱极了",
        "小朋友拍了拍小狗，小狗摇尾巴", "Tom拍了拍Jerry, then left",
        // Text after a phrase that ends the notice.
        "阿明加入本群三年了", "阿明撤回了一条消息又发了一遍",
        // No name before the phrase, or a name longer than a name.
        "加入本群", "拍了拍", "这位来自隔壁三年级二班的新同学今天下午上课时拍了拍桌子",
        // More than one line.
        "阿明撤回了一条消息\r\n大家别在意", "", "\r\n\r\n"}) {
    EXPECT_FALSE(IsSystemNotice(W(message))) << message;
  }
}

TEST(SystemNotices, PlaceholdersGoInBothBracketStylesAndAFileTakesItsLine) {
  EXPECT_EQ(Removed("[语音][视频]【红包】【QQ红包】[闪照]【位置】[名片]", RemovePlaceholders), "");
  EXPECT_EQ(Removed("[动画表情]哈哈【语音通话】[视频通话]啊[转发消息]", RemovePlaceholders),
            "哈哈啊");
  EXPECT_EQ(Removed("看这个[文件]第三章 笔记.docx\r\n大家看看【文件】复习.pdf", RemovePlaceholders),
            "看这个\r\n大家看看");
  // Not placeholders: mixed brackets, other names, a name in another case.
  for (const char* kept : {"[语音】", "【语音]", "[语音消息]", "[qq红包]", "[", "【", "[]"}) {
    std::u16string text = W(kept);
    EXPECT_FALSE(RemovePlaceholders(text)) << kept;
    EXPECT_EQ(text, W(kept));
  }
}

TEST(SystemNotices, MentionsGoWithTheirSpaceOrUpToTheLineEnd) {
  EXPECT_EQ(Removed("@小林 你说的对", RemoveMentions), "你说的对");
  EXPECT_EQ(Removed("好的 @小林　收到了 @阿明", RemoveMentions), "好的 收到了 ");
  EXPECT_EQ(Removed("谢谢\r\n@小林\r\n@阿明 @青禾 明天见", RemoveMentions), "谢谢\r\n\r\n明天见");
  EXPECT_EQ(Removed("\t@All 开会", RemoveMentions), "\t开会");
  // Not mentions: an "@" inside a word, without a name.
  for (const char* kept : {"发到 teacher@school.cn 就行", "a@b", "@ 你好", "结尾 @", "@\r\n"}) {
    std::u16string text = W(kept);
    EXPECT_FALSE(RemoveMentions(text)) << kept;
  }
}

TEST(SystemNotices, AMessageLeftBlankCountsAsANotice) {
  std::u16string cleaned;
  EXPECT_EQ(TakeOutSystemNotices(W("[语音]\r\n\r\n"), cleaned), NoticeOutcome::Notice);
  EXPECT_EQ(TakeOutSystemNotices(W("@小林 \r\n"), cleaned), NoticeOutcome::Notice);
  EXPECT_EQ(TakeOutSystemNotices(W("普通的消息\r\n"), cleaned), NoticeOutcome::Unchanged);
  // Blank to begin with: nothing was taken out, the empty rule sees it.
  EXPECT_EQ(TakeOutSystemNotices(W("　\r\n"), cleaned), NoticeOutcome::Unchanged);
  ASSERT_EQ(TakeOutSystemNotices(W("[红包]恭喜\r\n"), cleaned), NoticeOutcome::Cleaned);
  EXPECT_EQ(cleaned, W("恭喜\r\n"));
}

// A QQ export as users have them: every notice and placeholder form among ordinary messages.
class NoticesInAnExport : public ::testing::Test {
 protected:
  NoticesInAnExport() {
    const std::vector<const char*> bodies = {
        "今晚八点开会，大家记得带上笔记本",
        "阿明撤回了一条消息",
        "管理员撤回了一条成员消息",
        "小王加入本群。",
        "小李加入了群聊",
        "老张退出了群聊",
        "老周退出本群",
        "小赵被移出群聊",
        "阿明修改群名称为“三年二班家长群”",
        "群主 修改了群名称",
        "阿明拍了拍小林的脑袋说早上好",
        "[语音]",
        "【视频】",
        "[文件]第三章笔记.docx\r\n大家看看第三章",
        "【文件】期末复习.pdf",
        "[红包]恭喜发财",
        "【QQ红包】[闪照][位置]【名片】",
        "[动画表情]哈哈哈【语音通话】[视频通话]",
        "[转发消息]",
        "@小林 你说的那本书在哪里买的",
        "好的 @小林　收到了",
        "有问题发邮件到 teacher@school.cn 就行",
        "昨天在公园里看到一个小朋友拍了拍小狗的头，小狗高兴地摇起了尾巴，真是可爱极了",
        "欢迎新同学加入本群，请大家多多关照",
        "[图片]",
    };
    host_.previewText = testing::ExportOfBodies(bodies);
    // Only the rules under test: no length limits, e-mail addresses kept.
    Options& options = host_.options();
    options.选择框最少字数 = options.选择框最多字数 = false;
    options.选择框删除网址 = options.选择框删除邮箱 = false;
  }

  std::vector<std::string> Handed(bool notices) {
    host_.options().选择框删除系统提示 = notices;
    return testing::HandedMessages(host_, counts_);
  }

  FakeHost host_;
  MessageCounts counts_;
};

TEST_F(NoticesInAnExport, OnDropsTheNoticesAndTakesOutPlaceholdersAndMentions) {
  const std::vector<std::string> expected = {
      "今晚八点开会，大家记得带上笔记本",
      "",
      "",
      "",
      "",
      "",
      "",
      "",
      "",
      "",
      "",
      "",
      "",
      "大家看看第三章",
      "",
      "恭喜发财",
      "",
      "哈哈哈",
      "",
      "你说的那本书在哪里买的",
      "好的 收到了",
      "有问题发邮件到 teacher@school.cn 就行",
      "昨天在公园里看到一个小朋友拍了拍小狗的头，小狗高兴地摇起了尾巴，真是可爱极了",
      "欢迎新同学加入本群，请大家多多关照",
      "",
  };
  EXPECT_EQ(Handed(true), expected);
  EXPECT_EQ(counts_.found, 25);
  EXPECT_EQ(counts_.taken, 9);
  EXPECT_EQ(counts_.droppedFor(DropReason::SystemNotice), 15);
  EXPECT_EQ(counts_.droppedFor(DropReason::Empty), 1) << "[图片] leaves before, with the markers";
}

TEST_F(NoticesInAnExport, OffChangesNothing) {
  const std::vector<std::string> handed = Handed(false);
  ASSERT_EQ(handed.size(), 25u);
  EXPECT_EQ(handed[1], "阿明撤回了一条消息");
  EXPECT_EQ(handed[11], "[语音]");
  EXPECT_EQ(handed[13], "[文件]第三章笔记.docx大家看看第三章");
  EXPECT_EQ(handed[19], "@小林 你说的那本书在哪里买的");
  EXPECT_EQ(handed[24], "");
  EXPECT_EQ(counts_.taken, 24);
  EXPECT_EQ(counts_.droppedFor(DropReason::SystemNotice), 0);
}

}  // namespace
}  // namespace gw
