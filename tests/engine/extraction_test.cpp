#include "engine/extraction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "fake_host.h"

namespace gw {
namespace {

using testing::ChatExport;
using testing::FakeHost;
using testing::G;
using testing::U;

// Runs a source (by default the preview text) through loading, cutting and cleaning; returns the
// handed-over messages (UTF-8), dropped ones as empty texts.
std::vector<std::string> Extract(FakeHost& host, std::uint64_t seed = 1,
                                 const SourceRef& source = SourceRef{true, {}, 0, 0}) {
  RunContext run(seed);
  const Options options = *host.currentOptions();
  LoadedSource loaded = LoadSource(host, run, options, source);
  MessageList messages(loaded.text, host);
  std::vector<std::string> handed;
  FeedMessages(host, run, messages, options, [&](int, int, std::string_view message) {
    handed.push_back(U(message));
    return true;
  });
  return handed;
}

std::vector<std::string> NonEmpty(std::vector<std::string> messages) {
  std::erase(messages, "");
  return messages;
}

TEST(Extraction, CutsAnExportIntoFoldedMessageBodies) {
  FakeHost host;
  host.previewText = ChatExport({{"2016-5-3 9:08:01 小林(10001)", "早上好[表情]"},
                                 {"2016/05/03  09:10:45 阿明(10002)", "今天的书单在这里", "共三本"},
                                 {"2016-5-3 9:12:00 青禾(10003)", "[图片]"},
                                 {"2016-5-3 9:13:00 木子(10004)", "最后一条消息", "", "　 "}});
  EXPECT_EQ(Extract(host),
            (std::vector<std::string>{"早上好", "今天的书单在这里共三本", "", "最后一条消息"}));
}

TEST(Extraction, AnExportWithoutRecordsHasNoMessages) {
  FakeHost host;
  host.previewText = ChatExport({});
  EXPECT_TRUE(Extract(host).empty());
  host.previewText = "";
  EXPECT_TRUE(Extract(host).empty());
}

TEST(Extraction, ADateInsideABodyEndsTheMessageThere) {
  FakeHost host;
  host.previewText =
      ChatExport({{"2016-5-3 9:08:01 小林(10001)", "我们约在 2016-5-4 10:00:00 见面", "到时候联系"},
                  {"2016-5-3 9:09:00 阿明(10002)", "好的没问题"}});
  // The stamp in the body starts a new match; its "sender line" is the rest of that line.
  EXPECT_EQ(NonEmpty(Extract(host)),
            (std::vector<std::string>{"我们约在 ", "到时候联系", "好的没问题"}));
}

struct TextEnd {
  const char* what;
  std::string tail;  // GBK, appended to an export whose last record is "最后一条消息"
};

void PrintTo(const TextEnd& row, std::ostream* out) {
  *out << row.what;
}

class ExtractionAtTheEnd : public ::testing::TestWithParam<TextEnd> {};

TEST_P(ExtractionAtTheEnd, TheLastMessageIsKeptHoweverTheTextEnds) {
  FakeHost host;
  host.previewText = ChatExport({{"2016-5-3 9:08:01 小林(10001)", "第一条"},
                                 {"2016-5-3 9:09:01 阿明(10002)", "最后一条消息"}});
  host.previewText += GetParam().tail;
  EXPECT_EQ(NonEmpty(Extract(host)), (std::vector<std::string>{"第一条", "最后一条消息"}))
      << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Tails, ExtractionAtTheEnd,
    ::testing::Values(TextEnd{"nothing more", ""},
                      TextEnd{"a sender line without a body, with its CR LF",
                              G("2016-5-3 9:10:00 青禾(10003)\r\n")},
                      TextEnd{"a sender line without a body and without a line end",
                              G("2016-5-3 9:10:00 青禾(10003)")},
                      TextEnd{"a stamp on the last line, without a line end",
                              G("2016-5-3 9:10:00")}));

TEST(Extraction, TheLastBodyEndingInAStampWithoutLineEndIsKept) {
  FakeHost host;
  host.previewText = ChatExport({{"2016-5-3 9:08:01 小林(10001)", "第一条"}});
  host.previewText += G("2016-5-3 9:09:01 阿明(10002)\r\n明天见 2016-5-4 8:00:00");
  EXPECT_EQ(NonEmpty(Extract(host)), (std::vector<std::string>{"第一条", "明天见 "}));
}

// An export of all conversations: every conversation comes with its own header block; the
// export's title line may come again before it.
std::string AllConversations(const std::string& first, const std::string& second,
                             bool titleLineAgain) {
  std::string second_ = second;
  if (!titleLineAgain) {
    second_.erase(0, second_.find("\r\n\r\n") + 4);  // the title line and the blank line after it
  }
  return first + second_;
}

TEST(Extraction, AnExportOfAllConversationsGivesTheMessagesOfEachAndNoHeaderText) {
  const std::string first = ChatExport({{"2016-5-3 9:08:01 小林(10001)", "早上好"},
                                        {"2016-5-3 9:09:01 阿明(10002)", "第一个群的最后一条"}});
  const std::string second = ChatExport({{"2016-5-4 10:00:00 青禾(10003)", "第二个群的第一条"},
                                         {"2016-5-4 10:01:00 木子(10004)", "再见"}});
  FakeHost host;
  host.previewText = first;
  std::vector<std::string> expected = Extract(host);
  host.previewText = second;
  const std::vector<std::string> ofSecond = Extract(host);
  expected.insert(expected.end(), ofSecond.begin(), ofSecond.end());
  ASSERT_EQ(NonEmpty(expected).size(), 4u);

  for (const bool titleLineAgain : {false, true}) {
    SCOPED_TRACE(titleLineAgain ? "title line repeated" : "header block only");
    host.previewText = AllConversations(first, second, titleLineAgain);
    // The default maximum length is on: a header joined to a message would drop it.
    EXPECT_EQ(Extract(host), expected);
    // Without length limits nothing of a header shows in any message.
    host.options().选择框最多字数 = false;
    for (const std::string& message : Extract(host)) {
      EXPECT_EQ(message.find("消息"), std::string::npos) << message;
      EXPECT_EQ(message.find("=="), std::string::npos) << message;
    }
    host.options().选择框最多字数 = true;
  }

  // A header block whose conversation holds no message ends the last one all the same.
  host.previewText = first + ChatExport({});
  host.options().选择框最多字数 = false;
  EXPECT_EQ(NonEmpty(Extract(host)), (std::vector<std::string>{"早上好", "第一个群的最后一条"}));
}

TEST(Extraction, OnlyAWholeHeaderBlockEndsAMessage) {
  // Pieces of a header inside bodies of a single-conversation export are message text.
  const std::string equals(64, '=');
  const std::vector<std::vector<std::string>> records = {
      {"2016-5-3 9:08:01 a(1)", equals, "消息分组:不算"},
      {"2016-5-3 9:08:02 b(2)", equals, "消息分组:我的群组", equals, "消息对象:", "缺最后一行"},
      {"2016-5-3 9:08:03 c(3)", std::string(63, '='), "消息分组:x", equals, "消息对象:y", equals},
      {"2016-5-3 9:08:04 d(4)", "消息记录（此消息记录为文本格式，不支持重新导入）", "完"}};
  FakeHost host;
  host.options().选择框最多字数 = false;
  host.previewText = ChatExport(records);
  std::vector<std::string> expected;
  for (const auto& record : records) {
    std::string body;
    for (std::size_t line = 1; line < record.size(); ++line) {
      body += record[line];
    }
    expected.push_back(body);
  }
  EXPECT_EQ(Extract(host), expected);
}

TEST(Extraction, AnExportWithBareLineFeedsGivesTheMessagesOfItsCrLfTwin) {
  const std::string crLf =
      ChatExport({{"2016-5-3 9:08:01 小林(10001)", "第一行", "第二行"},
                  {"2016/05/03  09:10:45 阿明(10002)", "今天的书单在这里", "", "共三本"}});
  std::string bareLf = crLf;
  std::erase(bareLf, '\r');
  FakeHost host;
  host.previewText = crLf;
  const std::vector<std::string> expected = Extract(host);
  ASSERT_EQ(expected, (std::vector<std::string>{"第一行第二行", "今天的书单在这里共三本"}));

  host.previewText = bareLf;
  EXPECT_EQ(Extract(host), expected);

  const auto file = std::filesystem::temp_directory_path() / "gw-extraction-bare-lf.txt";
  std::ofstream(file, std::ios::binary) << bareLf;
  EXPECT_EQ(Extract(host, 1, SourceRef{false, file.string(), 1, 1}), expected);
  std::filesystem::remove(file);
}

TEST(Extraction, LengthIgnoreAndDeleteRulesApplyToEachMessage) {
  FakeHost host;
  host.options().编辑框最少字数 = "5";
  host.options().选择框删除数字 = true;
  host.options().选择框忽略指定 = true;
  host.previewText =
      ChatExport({{"2016-5-3 9:08:01 a(1)", "你好世界"},
                  {"2016-5-3 9:08:02 b(2)", "你好，世界"},
                  {"2016-5-3 9:08:03 c(3)", "号码12345"},
                  {"2016-5-3 9:08:04 d(4)", "今天包邮哦亲们"},
                  {"2016-5-3 9:08:05 e(5)", "看 http://example.com/a 和 x@example.com 吧"}});
  EXPECT_EQ(NonEmpty(Extract(host)),
            (std::vector<std::string>{"你好，世界", "号码", "看  和  吧"}));
}

TEST(Extraction, CustomListReplacementRunsOnTheWholeTextBeforeCutting) {
  FakeHost host;
  host.options().选择框自定义替换 = true;
  host.previewText = ChatExport({{"2016-5-3 9:08:01 a(1)", "一换一"}});
  EXPECT_EQ(Extract(host), std::vector<std::string>{"yihuangyi"});

  // Replacing digits rewrites the dates of the sender lines: no message is found any more.
  host.options().编辑框欲替换 = "1|2";
  host.options().编辑框替换为 = "x|y";
  EXPECT_TRUE(Extract(host).empty());
}

TEST(Extraction, CustomRegularExpressionUsesGroupsAndIgnoreCaseBox) {
  FakeHost host;
  host.options().选择框自定义替换 = true;
  host.options().选择框正则替换 = true;
  host.options().编辑框欲替换 = G("(ab)c");
  host.options().编辑框替换为 = G("[$1]");
  host.previewText = ChatExport({{"2016-5-3 9:08:01 a(1)", "ABC和abc"}});
  EXPECT_EQ(Extract(host), std::vector<std::string>{"ABC和[ab]"});  // the box off: case matters
  host.options().选择框忽视大小写 = true;
  EXPECT_EQ(Extract(host), std::vector<std::string>{"[AB]和[ab]"});
}

TEST(Extraction, RejectedCustomPatternIsReportedAndYieldsNoMessages) {
  FakeHost host;
  host.options().选择框自定义替换 = true;
  host.options().选择框正则替换 = true;
  host.options().编辑框欲替换 = "(unclosed";
  host.previewText = ChatExport({{"2016-5-3 9:08:01 a(1)", "正文"}});
  RunContext run(1);
  SourceRef source;
  source.preview = true;
  const LoadedSource loaded = LoadSource(host, run, host.options(), source);
  EXPECT_EQ(loaded.failure, LoadFailure::PatternRejected);
  EXPECT_TRUE(loaded.text.empty());
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0].rfind("正则表达式有误：", 0), 0u);
  EXPECT_GT(host.errors[0].size(), std::string("正则表达式有误：").size());
}

TEST(Extraction, BlockedWordsAreLoadedForAPreviewAndFilterTheWholeText) {
  const auto library = std::filesystem::temp_directory_path() / "gw-extraction-words.txt";
  std::ofstream(library, std::ios::binary) << G("广告\r\n代购");
  FakeHost host;
  host.options().选择框过滤屏蔽词 = true;
  host.blockedWords.separatedByLineBreaks = true;
  host.blockedWords.libraryPath = library.string();
  host.previewText = ChatExport({{"2016-5-3 9:08:01 a(1)", "代购广告别信"}});
  EXPECT_EQ(Extract(host), std::vector<std::string>{"****别信"});
  EXPECT_EQ(host.statuses,
            (std::vector<std::string>{"正在分析格式..(0:0) ", "正在初始化屏蔽词过滤器..",
                                      "正在执行屏蔽词过滤..(0:0) "}));
  std::filesystem::remove(library);
}

TEST(Extraction, ConvertsToSimplifiedOrTraditionalCharacters) {
  FakeHost host;
  host.options().编辑框最少字数 = "";
  host.previewText = ChatExport({{"2016-5-3 9:08:01 a(1)", "漢字與書"}});
  host.options().组合框繁简转换 = 1;
  EXPECT_EQ(Extract(host), std::vector<std::string>{"汉字与书"});
  host.previewText = ChatExport({{"2016-5-3 9:08:01 a(1)", "汉字与书"}});
  host.options().组合框繁简转换 = 2;
  EXPECT_EQ(Extract(host), std::vector<std::string>{"漢字與書"});
}

TEST(Extraction, ShuffledOrderUsesEveryMessageOnceAndStopEndsTheFeed) {
  FakeHost host;
  std::vector<std::vector<std::string>> records;
  std::vector<std::string> expected;
  for (int i = 0; i < 40; ++i) {
    records.push_back(
        {"2016-5-3 9:08:" + std::to_string(10 + i) + " a(1)", "消息" + std::to_string(i)});
    expected.push_back("消息" + std::to_string(i));
  }
  host.previewText = ChatExport(records);
  host.options().选择框打乱消息顺序 = true;
  std::vector<std::string> shuffled = Extract(host, 5);
  EXPECT_NE(shuffled, expected);
  EXPECT_EQ(Extract(host, 5), shuffled);  // the same seed gives the same order
  std::sort(shuffled.begin(), shuffled.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(shuffled, expected);

  host.progressCalls = 0;
  host.stopAfterProgress = 3;
  EXPECT_EQ(Extract(host).size(), 3u);
}

TEST(Extraction, StatusLineNamesTheFileWithoutItsExtension) {
  const auto folder = std::filesystem::temp_directory_path() / "gw-extraction-status";
  std::filesystem::create_directories(folder);
  const auto file = folder / "群聊.记录.txt";
  std::ofstream(file, std::ios::binary) << ChatExport({{"2016-5-3 9:08:01 a(1)", "你好"}});
  FakeHost host;
  RunContext run(1);
  SourceRef source{false, file.string(), 3, 2};
  EXPECT_EQ(LoadSource(host, run, host.options(), source).failure, LoadFailure::None);
  EXPECT_EQ(host.statuses.at(0), "正在分析格式..(3:2) 群聊.记录");

  source.path = (folder / "missing.txt").string();
  EXPECT_EQ(LoadSource(host, run, host.options(), source).failure, LoadFailure::Unreadable);
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace gw
