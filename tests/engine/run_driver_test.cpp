#include "engine/run_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/article_composer.h"
#include "fake_host.h"

namespace gw {
namespace {

using testing::ChatExport;
using testing::FakeHost;
using testing::G;

class RunDriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("gw-run-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder_);
    for (const char* name : {"a", "b", "c"}) {
      std::vector<std::vector<std::string>> records;
      for (int i = 0; i < 6; ++i) {
        records.push_back({"2016-5-3 9:08:1" + std::to_string(i) + " 某人(100)",
                           std::string(name) + "文件的第" + std::to_string(i) + "条消息内容"});
      }
      const auto path = folder_ / (std::string(name) + ".txt");
      std::ofstream(path, std::ios::binary) << ChatExport(records);
      paths_.push_back(path.string());
    }
    // One message per paragraph and per article: six articles per file.
    host_.options().编辑框连横1 = host_.options().编辑框连横2 = "1";
    host_.options().编辑框合纵1 = host_.options().编辑框合纵2 = "1";
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  int FilesIn(const std::string& sub) const {
    const auto dir = folder_ / sub;
    if (!std::filesystem::exists(dir)) {
      return 0;
    }
    return static_cast<int>(std::distance(std::filesystem::directory_iterator(dir), {}));
  }

  FakeHost host_;
  std::filesystem::path folder_;
  std::vector<std::string> paths_;
};

TEST_F(RunDriverTest, ThreeFilesReportProgressAndASummary) {
  const RunOutcome outcome = RunFiles(host_, paths_, 3);
  EXPECT_EQ(outcome.filesProcessed, 3);
  EXPECT_EQ(outcome.articlesWritten, 18);
  EXPECT_EQ(FilesIn("a") + FilesIn("b") + FilesIn("c"), 18);
  const auto& statuses = host_.statuses;
  EXPECT_NE(std::find(statuses.begin(), statuses.end(), "正在分析格式..(3:1) a"), statuses.end());
  EXPECT_NE(std::find(statuses.begin(), statuses.end(), "正在分析格式..(3:2) b"), statuses.end());
  EXPECT_NE(
      std::find(statuses.begin(), statuses.end(), "(3:3) 正在生成第 6 篇..c文件的第5条消息内容"),
      statuses.end());
  ASSERT_GE(statuses.size(), 2u);
  EXPECT_EQ(statuses[statuses.size() - 2], "处理完成，共处理 3 个文件，生成 18 篇");
  EXPECT_EQ(statuses.back(), "聊天消息组合预览（如果该消息能生成多篇文章，本预览始终显示首篇）");
}

TEST_F(RunDriverTest, AStopDuringTheSecondFileEndsTheRunAfterIt) {
  host_.stopAfterProgress = 6 + 2;  // all of the first file, two messages of the second
  const RunOutcome outcome = RunFiles(host_, paths_, 3);
  EXPECT_EQ(outcome.filesProcessed, 2);
  EXPECT_EQ(FilesIn("a"), 6);
  EXPECT_EQ(FilesIn("b"), 2);
  EXPECT_EQ(FilesIn("c"), 0);
  EXPECT_EQ(host_.statuses[host_.statuses.size() - 2], "处理完成，共处理 2 个文件，生成 8 篇");
}

// Reading gives up on the stop request too: the file is then not one that failed.
TEST_F(RunDriverTest, AStopWhileTheFirstFileIsReadEndsTheRunWithoutAFailure) {
  host_.stopAfterProgress = 0;
  const RunOutcome outcome = RunFiles(host_, paths_, 3);
  EXPECT_EQ(outcome.filesProcessed, 1);
  EXPECT_EQ(outcome.filesFailed, 0);
  EXPECT_EQ(outcome.articlesWritten, 0);
  EXPECT_EQ(FilesIn("a"), 0);
}

TEST_F(RunDriverTest, AnUnreadableFileIsSkippedAndTheOthersProcessed) {
  paths_.insert(paths_.begin() + 1, (folder_ / "missing.txt").string());
  const RunOutcome outcome = RunFiles(host_, paths_, 3);
  EXPECT_EQ(outcome.filesProcessed, 4);
  EXPECT_EQ(outcome.filesFailed, 1);
  EXPECT_EQ(outcome.articlesWritten, 18);
}

TEST_F(RunDriverTest, AnEmptyListDoesNothingAndAPreviewWritesNothing) {
  EXPECT_EQ(RunFiles(host_, {}, 3).summary, "");
  EXPECT_TRUE(host_.statuses.empty());

  host_.previewText = ChatExport({{"2016-5-3 9:08:01 某人(1)", "预览里的第一条消息"},
                                  {"2016-5-3 9:08:02 某人(1)", "预览里的第二条消息"}});
  RunPreview(host_, 3);
  ASSERT_EQ(host_.previews.size(), 1u);
  EXPECT_EQ(host_.previews[0].second, "<p>预览里的第一条消息</p>\r\n");
  EXPECT_EQ(host_.statuses.front(), "正在分析格式..(0:0) ");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_), {}), 3);
}

TEST_F(RunDriverTest, TheSameSeedWritesTheSameArticles) {
  host_.options().编辑框连横1 = "1";
  host_.options().编辑框连横2 = "3";
  host_.options().选择框打乱消息顺序 = true;
  RunFiles(host_, {paths_[0]}, 99);
  const auto read = [&] {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder_ / "a")) {
      std::ifstream in(entry.path(), std::ios::binary);
      files[entry.path().filename().string()] = std::string(std::istreambuf_iterator<char>(in), {});
    }
    return files;
  };
  const auto first = read();
  std::filesystem::remove_all(folder_ / "a");
  RunFiles(host_, {paths_[0]}, 99);
  EXPECT_EQ(read(), first);
}

// A preview composes every article of the box: the first shown as it always was, the others
// handed on after it, nothing written.
class PreviewArticlesTest : public RunDriverTest {
 protected:
  // `count` messages, each its own article unless the ranges say otherwise.
  static std::string Messages(int count) {
    std::vector<std::vector<std::string>> records;
    for (int i = 0; i < count; ++i) {
      records.push_back({"2016-5-3 9:08:10 某人(100)",
                         "第" + std::to_string(i) + "条消息，今天的书单在这里，大家一起来读吧"});
    }
    return ChatExport(records);
  }
};

TEST_F(PreviewArticlesTest, EveryArticleFollowsTheFirstInOrderAndNothingIsWritten) {
  host_.options().选择框段落插入 = false;
  host_.previewText = Messages(9);
  RunPreview(host_, 3);
  ASSERT_EQ(host_.previews.size(), 1u);
  EXPECT_EQ(host_.previews[0].second, "第0条消息，今天的书单在这里，大家一起来读吧\r\n");
  ASSERT_EQ(host_.laterPreviews.size(), 8u);
  for (std::size_t i = 0; i < 8; ++i) {
    EXPECT_EQ(host_.laterPreviews[i].second,
              "第" + std::to_string(i + 1) + "条消息，今天的书单在这里，大家一起来读吧\r\n");
  }
  // The status line names the first article only.
  const auto titled = std::count_if(host_.statuses.begin(), host_.statuses.end(), [](auto& s) {
    return s.starts_with("聊天消息组合预览 - 标题：");
  });
  EXPECT_EQ(titled, 1);
  EXPECT_EQ(host_.statuses.back(), "聊天消息组合预览 - 标题：" + host_.previews[0].first);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_), {}), 3);
}

TEST_F(PreviewArticlesTest, APreviewEndsAtItsLimitOfArticles) {
  host_.previewText = Messages(kPreviewArticleLimit + 30);
  RunPreview(host_, 3);
  ASSERT_EQ(host_.previews.size(), 1u);
  EXPECT_EQ(host_.laterPreviews.size(), static_cast<std::size_t>(kPreviewArticleLimit - 1));
}

TEST_F(PreviewArticlesTest, AStopEndsThePreviewWithTheArticlesJoinedSoFar) {
  host_.previewText = Messages(40);
  host_.stopAfterProgress = 5;
  RunPreview(host_, 3);
  ASSERT_EQ(host_.previews.size(), 1u);
  EXPECT_LT(host_.laterPreviews.size(), 10u);
}

TEST_F(PreviewArticlesTest, TheFirstArticleOfASeededPreviewIsTheOneItAlwaysWas) {
  // Shuffled messages, ranges and inserted words: every kind of draw before the first article.
  host_.options().编辑框连横1 = "2";
  host_.options().编辑框连横2 = "4";
  host_.options().编辑框合纵1 = "2";
  host_.options().编辑框合纵2 = "3";
  host_.options().选择框打乱消息顺序 = true;
  host_.options().选择框插入词 = true;
  host_.options().选择框每次不同 = true;
  host_.options().编辑框词 = G("好书|新书|旧书");
  host_.options().编辑框分隔符 = G("，。！；");
  host_.previewText = Messages(60);
  RunPreview(host_, 20261209);
  ASSERT_EQ(host_.previews.size(), 1u);
  EXPECT_FALSE(host_.laterPreviews.empty());
  // Composed by the preview that stopped after its first article.
  EXPECT_EQ(host_.previews[0].first, "今天的书好书单在这里");
  EXPECT_EQ(host_.previews[0].second,
            "<p>第20条消息，今天的书单在这里，大新书家一起来读吧！"
            "第3条消息，今天的书单在这里，大家一起来读吧</p>\r\n"
            "<p>第52条消息，今天的书单在这里，大家一起来旧书读吧；"
            "第26条消息，今天的书好书单在这里，大家一起来读吧，"
            "第7条消息，今天的书单在这里，大家一起来读吧</p>\r\n");
}

// Runs whose articles could land on their own sources.
class RunOverSourcesTest : public RunDriverTest {
 protected:
  std::string source(const std::string& name, const std::vector<std::string>& messages) {
    std::vector<std::vector<std::string>> records;
    for (const std::string& message : messages) {
      records.push_back({"2016-5-3 9:08:10 某人(100)", message});
    }
    const auto path = folder_ / name;
    std::ofstream(path, std::ios::binary) << ChatExport(records);
    return path.string();
  }
  static std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
};

TEST_F(RunOverSourcesTest, NoArticleLandsOnASourceOfTheRunNotEvenOneNotReadYet) {
  // The first source's only article is titled after the second source, which is read later.
  const std::string first = source("一号群.txt", {"二号群"});
  const std::string second = source("二号群.txt", {"第一条消息内容", "第二条消息内容"});
  const std::string firstBytes = bytesOf(first);
  const std::string secondBytes = bytesOf(second);
  host_.options().编辑框保存文件夹 = G(folder_.string());
  host_.options().编辑框最少字数 = "0";

  const RunOutcome outcome = RunFiles(host_, {first, (folder_ / "." / "二号群.txt").string()}, 1);
  EXPECT_EQ(outcome.articlesWritten, 3);
  EXPECT_EQ(bytesOf(first), firstBytes);
  EXPECT_EQ(bytesOf(second), secondBytes);
  EXPECT_TRUE(std::filesystem::exists(folder_ / "二号群 (2).txt"));

  // A one-file run whose article is titled after its own source.
  const std::string own = source("自己.txt", {"自己"});
  const std::string ownBytes = bytesOf(own);
  EXPECT_EQ(RunFiles(host_, {own}, 1).articlesWritten, 1);
  EXPECT_EQ(bytesOf(own), ownBytes);
  EXPECT_TRUE(std::filesystem::exists(folder_ / "自己 (2).txt"));
}

TEST_F(RunOverSourcesTest, ASourceWithoutAnExtensionWritesIntoAFolderBesideIt) {
  const std::string chatlog = source("chatlog", {"二号群", "另外一条消息"});
  source("二号群.txt", {"不是这次运行的文件"});
  const auto before = std::distance(std::filesystem::directory_iterator(folder_), {});
  const RunOutcome outcome = RunFiles(host_, {chatlog}, 1);
  EXPECT_EQ(outcome.articlesWritten, 2);
  EXPECT_EQ(FilesIn("chatlog_文章"), 2);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_), {}), before + 1);
}

TEST_F(RunOverSourcesTest, TheSummaryCountsEveryMessageOnceAfterItsUnchangedFirstLine) {
  Options& options = host_.options();
  options.编辑框最少字数 = "3";
  options.编辑框最多字数 = "12";
  options.选择框忽略网址 = options.选择框忽略数字 = options.选择框忽略指定 = true;
  options.编辑框数位 = "5";
  options.编辑框忽略字符 = G("广告");
  options.选择框删除系统提示 = true;
  options.选择框去除重复消息 = true;
  // Repeated within a source only: the second source takes "今天天气不错" again.
  const std::string first = source(
      "一号群.txt", {"今天天气不错", "好", "这一条消息实在是太长太长太长了", "www.qq.cn",
                     "电话12345678", "这是广告啊", "小王加入本群", "[语音]", "今天天气不错"});
  const std::string second = source("二号群.txt", {"今天天气不错", "明天一起去公园", "\r\n"});

  // A source whose last message is dropped ends with an empty article, as it always did.
  RunOutcome outcome = RunFiles(host_, {first}, 1);
  const std::string oneSource =
      "处理完成，共处理 1 个文件，生成 2 篇\n"
      "消息：找到 9 条，采用 1 条\n"
      "舍弃：过短 1，过长 1，含网址 1，含数字 1，含指定词 1，系统提示 2，重复 1，空消息 0";
  EXPECT_EQ(testing::U(outcome.summary), oneSource);
  ASSERT_EQ(host_.summaries.size(), 1u);
  EXPECT_EQ(host_.summaries[0], oneSource);
  // The status line shows only the first line.
  EXPECT_EQ(host_.statuses[host_.statuses.size() - 2], "处理完成，共处理 1 个文件，生成 2 篇");

  outcome = RunFiles(host_, {first, second}, 1);
  EXPECT_EQ(outcome.messages.found, 12);
  EXPECT_EQ(outcome.messages.taken, 3);
  EXPECT_EQ(outcome.messages.taken + outcome.messages.droppedInAll(), outcome.messages.found);
  EXPECT_EQ(host_.summaries.back(),
            "处理完成，共处理 2 个文件，生成 5 篇\n"
            "消息：找到 12 条，采用 3 条\n"
            "舍弃：过短 1，过长 1，含网址 1，含数字 1，含指定词 1，系统提示 2，重复 1，空消息 1");
}

}  // namespace
}  // namespace gw
