// A run on several threads writes what the same run on one thread writes, byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "engine/message_cut_points.h"
#include "engine/run_driver.h"
#include "fake_host.h"
#include "synthetic_export.h"

namespace gw {
namespace {

namespace fs = std::filesystem;
using testing::FakeHost;
using testing::G;

// Every file under `folder`: relative path → content.
std::map<std::string, std::string> Tree(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) {
      std::ifstream in(entry.path(), std::ios::binary);
      files[fs::relative(entry.path(), folder).string()] =
          std::string(std::istreambuf_iterator<char>(in), {});
    }
  }
  return files;
}

class RunOnThreads : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ =
        new fs::path(fs::temp_directory_path() / ("gw-run-threads-" + std::to_string(::getpid())));
    fs::create_directories(*folder_);
    // Two exports large enough to be searched in parts on two threads, and a small one.
    const std::vector<std::pair<std::string, std::size_t>> sources = {
        {"一号群.txt", 2'600'000}, {"二号群.txt", 40'000}, {"三号群.txt", 2'300'000}};
    std::uint32_t seed = 1;
    for (const auto& [name, bytes] : sources) {
      const std::string text = testing::SyntheticExport(bytes, seed++);
      std::ofstream(*folder_ / name, std::ios::binary) << text;
      paths_->push_back((*folder_ / name).string());
    }
    library_ = new fs::path(*folder_ / "屏蔽词.txt");
    std::ofstream(*library_, std::ios::binary) << G("天气|哈哈|公园|結構");
  }
  static void TearDownTestSuite() {
    fs::remove_all(*folder_);
    delete folder_;
    delete library_;
    paths_->clear();
  }

  // The files a run with `threads` writes, with the options `configure` sets on the defaults.
  std::map<std::string, std::string> Run(int threads,
                                         const std::function<void(Options&)>& configure,
                                         int stopAfterMessages = -1) {
    FakeHost host;
    configure(host.options());
    host.blockedWords.libraryPath = library_->string();
    host.stopAfterProgress = stopAfterMessages;
    const fs::path out = *folder_ / ("out-" + std::to_string(threads));
    fs::remove_all(out);
    host.options().编辑框保存文件夹 = G(out.string());
    const RunOutcome outcome = RunFiles(host, *paths_, 2024, threads);
    EXPECT_TRUE(host.errors.empty()) << host.errors.front();
    summary_ = outcome.summary;
    std::map<std::string, std::string> files = Tree(out);
    EXPECT_EQ(static_cast<int>(files.size()), outcome.articlesWritten);
    return files;
  }

  void ExpectSameOnEveryThreadCount(const std::function<void(Options&)>& configure,
                                    int stopAfterMessages = -1) {
    const auto alone = Run(1, configure, stopAfterMessages);
    const std::string summary = summary_;
    ASSERT_GT(alone.size(), 5u);
    for (const int threads : {2, 3}) {
      const auto together = Run(threads, configure, stopAfterMessages);
      EXPECT_EQ(summary_, summary) << threads << " threads";  // the message counts too
      ASSERT_EQ(together.size(), alone.size()) << threads << " threads";
      for (const auto& [name, content] : alone) {
        const auto same = together.find(name);
        ASSERT_NE(same, together.end()) << name << " is missing with " << threads << " threads";
        ASSERT_EQ(same->second, content) << name << " differs with " << threads << " threads";
      }
    }
  }

  std::string summary_;  // of the last run
  static fs::path* folder_;
  static fs::path* library_;
  static std::vector<std::string>* paths_;
};

fs::path* RunOnThreads::folder_ = nullptr;
fs::path* RunOnThreads::library_ = nullptr;
std::vector<std::string>* RunOnThreads::paths_ = new std::vector<std::string>();

TEST_F(RunOnThreads, TheExportsAreLargeEnoughToBeCutIntoParts) {
  std::ifstream in((*paths_)[0], std::ios::binary);
  const std::string text(std::istreambuf_iterator<char>(in), {});
  EXPECT_GE(MessageCutPoints(text, std::size_t{1} << 20, true).size(), 1u);
}

TEST_F(RunOnThreads, DefaultOptions) {
  ExpectSameOnEveryThreadCount([](Options&) {});
}

TEST_F(RunOnThreads, ShuffledMessagesParagraphDecorationAndRanges) {
  ExpectSameOnEveryThreadCount([](Options& options) {
    options.选择框打乱消息顺序 = true;
    options.选择框段落插入 = true;
    options.编辑框前缀 = "<p>";
    options.编辑框后缀 = "</p>";
    options.编辑框分隔符 = G("，。！");
    options.编辑框连横1 = "1";
    options.编辑框连横2 = "7";
    options.编辑框合纵1 = "2";
    options.编辑框合纵2 = "9";
  });
}

TEST_F(RunOnThreads, InsertedWordsTitleWordsAndTitleKeyword) {
  ExpectSameOnEveryThreadCount([](Options& options) {
    options.选择框插入词 = true;
    options.编辑框词 = G("词一|词二|<a href=\"http://x.cn\">链接</a>|English words");
    options.编辑框插入1 = "1";
    options.编辑框插入2 = "4";
    options.选择框每次不同 = true;
    options.选择框插入到标题 = true;
    options.编辑框标题关键词 = G("关键词");
    options.组合框标题位置 = 2;
    options.编辑框标题最少字数 = "6";
  });
}

TEST_F(RunOnThreads, WholeTextStepsAndMessageRules) {
  ExpectSameOnEveryThreadCount([](Options& options) {
    options.选择框过滤屏蔽词 = true;
    options.选择框自定义替换 = true;
    options.选择框正则替换 = true;
    options.编辑框欲替换 = G("哈+");
    options.编辑框替换为 = G("呵");
    options.选择框忽略网址 = true;
    options.选择框忽略数字 = true;
    options.编辑框数位 = "6";
    options.选择框删除字母 = true;
    options.选择框删除数字 = true;
    options.编辑框最少字数 = "3";
    options.编辑框最多字数 = "40";
    options.选择框删除系统提示 = true;
    options.选择框去除重复消息 = true;
  });
}

TEST_F(RunOnThreads, SimplifiedForms) {
  ExpectSameOnEveryThreadCount([](Options& options) { options.组合框繁简转换 = 1; });
}

TEST_F(RunOnThreads, AStopAtTheSameMessageLeavesTheSameArticles) {
  // The first export holds some 30,000 messages: the stop comes in the middle of it.
  ExpectSameOnEveryThreadCount([](Options&) {}, 12'345);
}

}  // namespace
}  // namespace gw
