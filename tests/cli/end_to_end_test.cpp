// gathwrite-cli as a user runs it: the built program on files in a temporary folder.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "cli_run.h"
#include "engine/options.h"
#include "text/charset.h"

namespace {

namespace fs = std::filesystem;
using Result = gw::cli::testing::CliResult;
using gw::cli::testing::ReadBytes;
using gw::cli::testing::RunCli;

// Every file below `folder`, by path relative to it, with its bytes.
std::map<std::string, std::string> Tree(const fs::path& folder) {
  std::map<std::string, std::string> files;
  if (!fs::exists(folder)) {
    return files;
  }
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) {
      files[fs::relative(entry.path(), folder).string()] = ReadBytes(entry.path());
    }
  }
  return files;
}

std::size_t Occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

// The message counts that follow the summary's first line: those of the sample export (every
// message but one taken, the one left empty) times `copies`.
std::string SampleCounts(int copies = 1) {
  return "消息：找到 " + std::to_string(44 * copies) + " 条，采用 " + std::to_string(43 * copies) +
         " 条\n舍弃：过短 0，过长 0，含网址 0，含数字 0，含指定词 0，系统提示 0，重复 0，空消息 " +
         std::to_string(copies) + "\n";
}

class CliEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "gw_cli_e2e_XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    fs::copy_file(fs::path(GW_SOURCE_DIR) / "examples" / "sample-export.txt", folder_ / "群聊.txt");
  }
  void TearDown() override { fs::remove_all(folder_); }

  // Runs the program in the temporary folder. Unless the arguments name one, the settings file
  // is one that does not exist, so the form defaults apply whatever the user keeps.
  Result run(std::vector<std::string> arguments, const fs::path& input = "/dev/null") {
    return RunCli(folder_, std::move(arguments), folder_ / "none.ini", input);
  }

  std::string outFolder(const std::string& name) { return (folder_ / name).string(); }
  std::string saveTo(const std::string& name) { return "编辑框保存文件夹=" + outFolder(name); }

  fs::path folder_;
};

TEST_F(CliEndToEnd, GenerateWritesTheArticlesItCountsInTheSummary) {
  const Result result = run({"generate", "--seed", "3", "--set", saveTo("out"), "群聊.txt"});
  ASSERT_EQ(result.status, 0) << result.err;
  const auto articles = Tree(outFolder("out"));
  ASSERT_FALSE(articles.empty());
  EXPECT_EQ(result.out, "处理完成，共处理 1 个文件，生成 " + std::to_string(articles.size()) +
                            " 篇\n" + SampleCounts() + "文章保存在：" + outFolder("out") + "\n");
  for (const auto& [name, bytes] : articles) {
    EXPECT_TRUE(name.ends_with(".txt")) << name;
    EXPECT_NE(bytes.find("<p>"), std::string::npos)
        << "articles are written as the engine makes them";
    EXPECT_NE(bytes.find("\r\n"), std::string::npos) << "article files keep CR LF";
  }
  EXPECT_NE(result.err.find("正在分析格式..(1:1) 群聊"), std::string::npos)
      << "progress goes to stderr: " << result.err;
  EXPECT_EQ(result.err.find("处理完成"), std::string::npos) << "the summary goes to stdout only";
}

TEST_F(CliEndToEnd, WithoutAFolderTheArticlesGoBesideTheSourceAndQuietHidesProgress) {
  const Result result = run({"generate", "--quiet", "--seed", "1", "群聊.txt"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_FALSE(Tree(folder_ / "群聊").empty());
}

// A QQ export (GBK) holding `messages`, each from the same sender.
std::string ExportOf(const std::vector<std::string>& messages) {
  std::string text = "消息记录（此消息记录为文本格式，不支持重新导入）\r\n\r\n" +
                     std::string(64, '=') + "\r\n消息分组:我的群组\r\n" + std::string(64, '=') +
                     "\r\n消息对象:测试群\r\n" + std::string(64, '=') + "\r\n\r\n";
  for (const std::string& message : messages) {
    text += "2016-5-3 9:08:10 某人(100)\r\n" + message + "\r\n\r\n";
  }
  return gw::Utf8ToGbk(text);
}

TEST_F(CliEndToEnd, ArticlesWrittenBesideTheSourcesNeverReplaceThem) {
  fs::create_directory(folder_ / "S");
  // The only article of the first source is titled after the second source, read later.
  std::ofstream(folder_ / "S" / "一号群.txt", std::ios::binary) << ExportOf({"二号群"});
  std::ofstream(folder_ / "S" / "二号群.txt", std::ios::binary)
      << ExportOf({"第一条消息内容", "第二条消息内容"});
  const auto sources = Tree(folder_ / "S");

  const Result result =
      run({"generate", "--set", "编辑框保存文件夹=S", "--set", "编辑框连横1=1", "--set",
           "编辑框连横2=1", "--set", "编辑框合纵1=1", "--set", "编辑框合纵2=1", "--set",
           "编辑框最少字数=0", "S/一号群.txt", "S/二号群.txt"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out,
            "处理完成，共处理 2 个文件，生成 3 篇\n消息：找到 3 条，采用 3 条\n"
            "舍弃：过短 0，过长 0，含网址 0，含数字 0，含指定词 0，系统提示 0，重复 0，空消息 0\n"
            "文章保存在：S\n");
  const auto after = Tree(folder_ / "S");
  for (const auto& [name, bytes] : sources) {
    ASSERT_TRUE(after.contains(name)) << name;
    EXPECT_EQ(after.at(name), bytes) << name << " is a source of the run";
  }
  ASSERT_TRUE(after.contains("二号群 (2).txt"));
  EXPECT_NE(after.at("二号群 (2).txt").find(gw::Utf8ToGbk("<p>二号群</p>")), std::string::npos);
  EXPECT_EQ(after.size(), sources.size() + 3);
}

TEST_F(CliEndToEnd, TheSameSeedGivesByteIdenticalArticles) {
  const std::vector<std::string> options = {
      "--seed", "42", "--quiet", "--set", "选择框打乱消息顺序=真", "--set", "选择框插入词=真"};
  std::vector<std::string> first = {"generate"};
  first.insert(first.end(), options.begin(), options.end());
  std::vector<std::string> second = first;
  first.insert(first.end(), {"--set", saveTo("one"), "群聊.txt"});
  second.insert(second.end(), {"--set", saveTo("two"), "群聊.txt"});
  ASSERT_EQ(run(first).status, 0);
  ASSERT_EQ(run(second).status, 0);
  const auto one = Tree(outFolder("one"));
  EXPECT_FALSE(one.empty());
  EXPECT_EQ(one, Tree(outFolder("two")));
}

TEST_F(CliEndToEnd, SetOverridesReachTheRun) {
  const Result result =
      run({"generate", "--seed", "5", "--set", "编辑框合纵1=1", "--set", "编辑框合纵2=1", "--set",
           "组合框标题位置=标题前", "--set", "编辑框标题关键词=读书会", "--set", "编辑框扩展名=md",
           "--set", saveTo("out"), "群聊.txt"});
  ASSERT_EQ(result.status, 0) << result.err;
  const auto articles = Tree(outFolder("out"));
  ASSERT_GT(articles.size(), 3u);
  EXPECT_TRUE(result.out.starts_with("处理完成，共处理 1 个文件，生成 " +
                                     std::to_string(articles.size()) + " 篇\n"))
      << result.out;
  for (const auto& [name, bytes] : articles) {
    EXPECT_TRUE(name.starts_with("读书会")) << "keyword before the title: " << name;
    EXPECT_TRUE(name.ends_with(".md")) << name;
    EXPECT_EQ(Occurrences(bytes, "<p>"), 1u) << "one paragraph per article: " << name;
  }
}

TEST_F(CliEndToEnd, TheSettingsFileIsReadAndNeitherChangedNorCreated) {
  const fs::path settings = folder_ / "settings.ini";
  const std::string content = gw::Utf8ToGbk(
      "[基本配置]\r\n标题关键词=书友\r\n标题位置=1\r\n扩展名=htm\r\n组合数1=2\r\n组合数2=2\r\n");
  std::ofstream(settings, std::ios::binary) << content;
  const auto before = fs::last_write_time(settings);
  const Result result = run({"generate", "--settings", settings.string(), "--seed", "1", "--set",
                             saveTo("out"), "群聊.txt"});
  ASSERT_EQ(result.status, 0) << result.err;
  const auto articles = Tree(outFolder("out"));
  ASSERT_FALSE(articles.empty());
  for (const auto& [name, bytes] : articles) {
    EXPECT_TRUE(name.ends_with("书友.htm")) << "keyword after the title: " << name;
  }
  EXPECT_EQ(ReadBytes(settings), content);
  EXPECT_EQ(fs::last_write_time(settings), before);

  const fs::path missing = folder_ / "nowhere" / "settings.ini";
  ASSERT_EQ(run({"generate", "--settings", missing.string(), "--quiet", "--set", saveTo("out2"),
                 "群聊.txt"})
                .status,
            0);
  EXPECT_FALSE(fs::exists(folder_ / "nowhere"));
}

TEST_F(CliEndToEnd, APrefixInTheSettingsFileEndsAtItsZeroByteAndArticlesStayWhole) {
  const fs::path settings = folder_ / "settings.ini";
  std::ofstream(settings, std::ios::binary)
      << gw::Utf8ToGbk("[基本配置]\r\n选择框段落插入=真\r\n组合数1=2\r\n组合数2=2\r\n前缀=<q>")
      << std::string("\0<x>", 4);
  const Result result = run({"generate", "--settings", settings.string(), "--seed", "3", "--set",
                             saveTo("out"), "群聊.txt"});
  ASSERT_EQ(result.status, 0) << result.err;
  const auto articles = Tree(outFolder("out"));
  ASSERT_FALSE(articles.empty());
  for (const auto& [name, bytes] : articles) {
    EXPECT_EQ(bytes.find('\0'), std::string::npos) << name;
    EXPECT_EQ(bytes.find("<x>"), std::string::npos) << name;
    // Every paragraph opens with the whole prefix: two per article, one in a last article
    // that only one paragraph was left for.
    EXPECT_EQ(Occurrences(bytes, "<q>"), Occurrences(bytes, "</p>")) << name;
    EXPECT_GE(Occurrences(bytes, "<q>"), 1u) << name;
    EXPECT_LE(Occurrences(bytes, "<q>"), 2u) << name;
  }
}

TEST_F(CliEndToEnd, TheNumberOfThreadsNeverChangesTheArticles) {
  ASSERT_EQ(run({"generate", "--threads", "1", "--seed", "5", "--set", "选择框打乱消息顺序=真",
                 "--set", saveTo("one"), "群聊.txt"})
                .status,
            0);
  ASSERT_EQ(run({"generate", "--threads=3", "--seed", "5", "--set", "选择框打乱消息顺序=真",
                 "--set", saveTo("three"), "群聊.txt"})
                .status,
            0);
  const auto one = Tree(outFolder("one"));
  ASSERT_GT(one.size(), 1u);
  EXPECT_EQ(Tree(outFolder("three")), one);
}

TEST_F(CliEndToEnd, PreviewPrintsTheTitleThenTheArticleAndWritesNothing) {
  const auto before = Tree(folder_);
  const Result result = run({"preview", "--seed", "9", "--set", saveTo("out"), "群聊.txt"});
  ASSERT_EQ(result.status, 0) << result.err;
  const std::size_t firstLineEnd = result.out.find('\n');
  ASSERT_NE(firstLineEnd, std::string::npos);
  const std::string title = result.out.substr(0, firstLineEnd);
  const std::string article = result.out.substr(firstLineEnd + 1);
  EXPECT_FALSE(title.empty());
  EXPECT_TRUE(article.starts_with("<p>")) << article;
  EXPECT_EQ(article.find('\r'), std::string::npos) << "terminal text has LF line ends";
  EXPECT_NE(article.find("</p>\n<p>"), std::string::npos);
  EXPECT_NE(article.find(title.substr(0, 6)), std::string::npos) << "the title is a sentence of it";
  EXPECT_EQ(Tree(folder_), before);
}

// System notices, placeholders, mentions and repeated messages, as a user turns the filters on.
TEST_F(CliEndToEnd, MessagesStatsAndTheGenerateSummaryCountWhatWasDropped) {
  std::ofstream(folder_ / "通知.txt", std::ios::binary)
      << ExportOf({"阿明撤回了一条消息", "小王加入本群。", "[语音]", "@小林 明天早上八点集合",
                   "明天早上八点集合", "好", "今晚一起去看电影吗", "今晚一起去看电影吗"});
  const std::vector<std::string> filters = {"--set", "选择框删除系统提示=真", "--set",
                                            "选择框去除重复消息=真"};
  const std::string counts =
      "消息：找到 8 条，采用 2 条\n"
      "舍弃：过短 1，过长 0，含网址 0，含数字 0，含指定词 0，系统提示 3，重复 2，空消息 0\n";

  std::vector<std::string> listed = {"messages"};
  listed.insert(listed.end(), filters.begin(), filters.end());
  listed.push_back("通知.txt");
  const Result messages = run(listed);
  ASSERT_EQ(messages.status, 0) << messages.err;
  EXPECT_EQ(messages.out, "明天早上八点集合\n今晚一起去看电影吗\n");

  listed.insert(listed.begin() + 1, "--stats");
  const Result stats = run(listed);
  ASSERT_EQ(stats.status, 0) << stats.err;
  EXPECT_EQ(stats.out, counts) << "only the counts, no messages";

  std::vector<std::string> generate = {"generate", "--quiet", "-o", outFolder("out")};
  generate.insert(generate.end(), filters.begin(), filters.end());
  generate.push_back("通知.txt");
  const Result generated = run(generate);
  ASSERT_EQ(generated.status, 0) << generated.err;
  const std::string firstLine =
      "处理完成，共处理 1 个文件，生成 " + std::to_string(Tree(outFolder("out")).size()) + " 篇\n";
  EXPECT_EQ(generated.out, firstLine + counts + "文章保存在：" + outFolder("out") + "\n");

  // Off, nothing is dropped for these reasons.
  const Result plain = run({"messages", "--stats", "通知.txt"});
  EXPECT_EQ(plain.out,
            "消息：找到 8 条，采用 7 条\n"
            "舍弃：过短 1，过长 0，含网址 0，含数字 0，含指定词 0，系统提示 0，重复 0，空消息 0\n");
  EXPECT_EQ(run({"messages", "--stats"}).status, 2) << "a file is still needed";
}

TEST_F(CliEndToEnd, MessagesListsTheCleanedMessagesOnePerLine) {
  const Result result = run({"messages", "群聊.txt"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_TRUE(
      result.out.starts_with("早上好\n今天的书单在这里共三本\n"
                             "第一本是《城南旧事》，第二本是《边城》，第三本还没定。\n"))
      << result.out;
  EXPECT_EQ(result.out.find("[图片]"), std::string::npos);
  EXPECT_EQ(result.out.find("http"), std::string::npos) << "web addresses are deleted";
  EXPECT_EQ(result.out.find("\n\n"), std::string::npos) << "dropped messages leave no line";
  EXPECT_EQ(result.out.find("2016"), std::string::npos) << "sender lines are no messages";

  const Result shuffled =
      run({"messages", "--seed", "2", "--set", "选择框打乱消息顺序=真", "群聊.txt"});
  ASSERT_EQ(shuffled.status, 0);
  EXPECT_NE(shuffled.out, result.out);
  auto sortedLines = [](const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; start < text.size(); start = end + 1) {
      end = text.find('\n', start);
      lines.push_back(text.substr(start, end - start));
    }
    std::sort(lines.begin(), lines.end());
    return lines;
  };
  EXPECT_EQ(sortedLines(shuffled.out), sortedLines(result.out)) << "the same messages, reordered";
}

TEST_F(CliEndToEnd, FilterWritesFilteredCopiesAndPrintsTheBatchSummary) {
  std::ofstream(folder_ / "words.txt", std::ios::binary) << gw::Utf8ToGbk("边城|书单");
  std::ofstream(folder_ / "note", std::ios::binary) << gw::Utf8ToGbk("看完边城再定书单。");
  const Result result = run({"filter", "--set", "屏蔽词过滤器/词库=words.txt", "--set",
                             "屏蔽词过滤器/代替符=#", "群聊.txt", "note"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "处理完毕！总共处理了 2 个文件！\n");
  EXPECT_EQ(ReadBytes(folder_ / "note_已过滤."), gw::Utf8ToGbk("看完#再定#。"));
  const std::string filtered = gw::GbkToUtf8(ReadBytes(folder_ / "群聊_已过滤.txt"));
  EXPECT_EQ(filtered.find("边城"), std::string::npos);
  EXPECT_NE(filtered.find("《#》"), std::string::npos);
  EXPECT_EQ(ReadBytes(folder_ / "群聊.txt"),
            ReadBytes(fs::path(GW_SOURCE_DIR) / "examples" / "sample-export.txt"))
      << "the source is never changed";

  // The sample library separates its words by line breaks.
  std::ofstream(folder_ / "ad.txt", std::ios::binary) << gw::Utf8ToGbk("加微信领优惠券");
  const std::string library =
      (fs::path(GW_SOURCE_DIR) / "examples" / "sample-blocked-words.txt").string();
  const Result lines = run({"filter", "--quiet", "--set", "屏蔽词过滤器/词库=" + library, "--set",
                            "屏蔽词过滤器/换行符=真", "ad.txt"});
  ASSERT_EQ(lines.status, 0) << lines.err;
  EXPECT_EQ(ReadBytes(folder_ / "ad_已过滤.txt"), gw::Utf8ToGbk("**领**"));
}

TEST_F(CliEndToEnd, AnUnreadableFileFailsTheRunButTheOthersAreStillProcessed) {
  const Result result =
      run({"generate", "--quiet", "--set", saveTo("out"), "缺失.txt", "群聊.txt"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "gathwrite-cli: 无法读取文件：缺失.txt（没有那个文件或目录）\n");
  const auto articles = Tree(outFolder("out"));
  EXPECT_FALSE(articles.empty());
  EXPECT_EQ(result.out, "处理完成，共处理 2 个文件，生成 " + std::to_string(articles.size()) +
                            " 篇\n" + SampleCounts() + "文章保存在：" + outFolder("out") + "\n")
      << "the folder of the missing file is not named";

  // The reason is the system's, in the program's words, for every command that reads a source.
  const Result preview = run({"preview", "--quiet", "群聊.txt/x"});
  EXPECT_EQ(preview.status, 1);
  EXPECT_EQ(preview.err, "gathwrite-cli: 无法读取文件：群聊.txt/x（不是目录）\n");
  fs::create_directory(folder_ / "目录");
  const Result messages = run({"messages", "--quiet", "目录"});
  EXPECT_EQ(messages.status, 1);
  EXPECT_EQ(messages.err, "gathwrite-cli: 无法读取文件：目录（是一个目录）\n");
  const Result filter = run({"filter", "--set", "屏蔽词过滤器/词库=缺失.txt", "群聊.txt"});
  EXPECT_EQ(filter.status, 1) << "a library that cannot be read";
  EXPECT_FALSE(fs::exists(folder_ / "群聊_已过滤.txt"));
}

TEST_F(CliEndToEnd, AFileWithoutChatMessagesFailsTheRunButTheOthersAreStillWritten) {
  std::ofstream(folder_ / "笔记.txt", std::ios::binary) << gw::Utf8ToGbk("没有一条聊天消息\r\n");
  const Result result =
      run({"generate", "--quiet", "--set", saveTo("out"), "笔记.txt", "群聊.txt"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "gathwrite-cli: 未找到聊天消息：笔记.txt\n");
  const auto articles = Tree(outFolder("out"));
  EXPECT_FALSE(articles.empty());
  EXPECT_EQ(result.out, "处理完成，共处理 2 个文件，生成 " + std::to_string(articles.size()) +
                            " 篇\n" + SampleCounts() + "文章保存在：" + outFolder("out") + "\n");

  const Result messages = run({"messages", "笔记.txt"});
  EXPECT_EQ(messages.status, 1);
  EXPECT_NE(messages.err.find("gathwrite-cli: 未找到聊天消息：笔记.txt\n"), std::string::npos)
      << messages.err;
}

TEST_F(CliEndToEnd, AnExportWithBareLineFeedsGivesTheArticlesOfItsCrLfTwin) {
  std::string bareLf = ReadBytes(folder_ / "群聊.txt");
  std::erase(bareLf, '\r');
  fs::create_directory(folder_ / "lf");
  std::ofstream(folder_ / "lf" / "群聊.txt", std::ios::binary) << bareLf;
  const Result crLf =
      run({"generate", "--quiet", "--seed", "7", "--set", saveTo("crlf"), "群聊.txt"});
  const Result lf =
      run({"generate", "--quiet", "--seed", "7", "--set", saveTo("lf-out"), "lf/群聊.txt"});
  ASSERT_EQ(crLf.status, 0) << crLf.err;
  EXPECT_EQ(lf.status, 0) << lf.err;
  EXPECT_FALSE(Tree(outFolder("crlf")).empty());
  EXPECT_EQ(Tree(outFolder("lf-out")), Tree(outFolder("crlf")));
}

// The conversion library is loaded only when a conversion is asked for, beside a program that
// carries its own C++ runtime: both directions must still convert, phrases included.
TEST_F(CliEndToEnd, SimplifiedAndTraditionalFormsAreConverted) {
  // "发" is "髮" in "头发" (hair) and "發" elsewhere: only a phrase-aware conversion gets it.
  const std::string simplified = "这个说明书写得很清楚，头发很长";
  const std::string traditional = "這個說明書寫得很清楚，頭髮很長";
  const auto exportOf = [](const std::string& body) {
    return gw::Utf8ToGbk("2020-01-01 10:00:00 甲(123)\r\n" + body + "\r\n\r\n");
  };
  std::ofstream(folder_ / "简.txt", std::ios::binary) << exportOf(simplified);
  std::ofstream(folder_ / "繁.txt", std::ios::binary) << exportOf(traditional);
  const Result toTraditional = run({"generate", "--quiet", "--set", "组合框繁简转换=2", "--set",
                                    saveTo("to-traditional"), "简.txt"});
  const Result toSimplified = run({"generate", "--quiet", "--set", "组合框繁简转换=1", "--set",
                                   saveTo("to-simplified"), "繁.txt"});
  ASSERT_EQ(toTraditional.status, 0) << toTraditional.err;
  ASSERT_EQ(toSimplified.status, 0) << toSimplified.err;
  const auto traditionalArticles = Tree(outFolder("to-traditional"));
  const auto simplifiedArticles = Tree(outFolder("to-simplified"));
  ASSERT_EQ(traditionalArticles.size(), 1u);
  ASSERT_EQ(simplifiedArticles.size(), 1u);
  EXPECT_NE(traditionalArticles.begin()->second.find(gw::Utf8ToGbk(traditional)), std::string::npos)
      << gw::GbkToUtf8(traditionalArticles.begin()->second);
  EXPECT_NE(simplifiedArticles.begin()->second.find(gw::Utf8ToGbk(simplified)), std::string::npos)
      << gw::GbkToUtf8(simplifiedArticles.begin()->second);
}

// OpenCC reads a configuration named like its own from the working folder first: a broken one
// there makes the conversion fail, which the run must say (once) instead of passing the text on
// as if it had been converted.
TEST_F(CliEndToEnd, AConversionThatCannotBeMadeIsReportedAndTheTextGoesOnUnconverted) {
  const std::string simplified = "这个说明书写得很清楚";
  std::ofstream(folder_ / "简.txt", std::ios::binary)
      << gw::Utf8ToGbk("2020-01-01 10:00:00 甲(123)\r\n" + simplified + "\r\n\r\n");
  std::ofstream(folder_ / "s2t.json") << "{ not a configuration";
  const Result result = run({"generate", "--quiet", "--set", "组合框繁简转换=2", "--set",
                             saveTo("out"), "简.txt", "简.txt"});
  EXPECT_EQ(result.status, 1) << result.err;
  EXPECT_EQ(Occurrences(result.err, "繁简转换不可用，文本未转换："), 1u) << result.err;
  const auto articles = Tree(outFolder("out"));
  ASSERT_FALSE(articles.empty());
  EXPECT_NE(articles.begin()->second.find(gw::Utf8ToGbk(simplified)), std::string::npos);
}

TEST_F(CliEndToEnd, ARejectedCustomPatternFailsTheRun) {
  const std::vector<std::string> pattern = {
      "--set", "选择框自定义替换=真", "--set", "选择框正则替换=真", "--set", "编辑框欲替换=("};
  std::vector<std::string> generate = {"generate", "--quiet", "--set", saveTo("out")};
  generate.insert(generate.end(), pattern.begin(), pattern.end());
  generate.push_back("群聊.txt");
  const Result result = run(generate);
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("正则表达式有误"), std::string::npos) << result.err;
  EXPECT_EQ(result.out,
            "处理完成，共处理 1 个文件，生成 0 篇\n消息：找到 0 条，采用 0 条\n"
            "舍弃：过短 0，过长 0，含网址 0，含数字 0，含指定词 0，系统提示 0，重复 0，空消息 0\n");

  std::vector<std::string> preview = {"preview"};
  preview.insert(preview.end(), pattern.begin(), pattern.end());
  preview.push_back("群聊.txt");
  const Result previewed = run(preview);
  EXPECT_EQ(previewed.status, 1);
  EXPECT_EQ(previewed.out, "");
}

TEST_F(CliEndToEnd, UsageErrorsExitWithTwoAndAHint) {
  const std::vector<std::vector<std::string>> commands = {
      {"publish", "群聊.txt"},
      {"generate", "--colour", "群聊.txt"},
      {"generate", "--set", "编辑框不存在=1", "群聊.txt"},
      {"generate", "--set", "组合框标题位置=中间", "群聊.txt"},
      {"generate", "--seed", "many", "群聊.txt"},
      {"preview"},
  };
  for (const auto& command : commands) {
    const Result result = run(command);
    EXPECT_EQ(result.status, 2) << command[0] << " " << command[1];
    EXPECT_TRUE(result.err.starts_with("gathwrite-cli: ")) << result.err;
    EXPECT_TRUE(result.err.ends_with("\n请用 gathwrite-cli --help 查看用法。\n")) << result.err;
    EXPECT_EQ(result.out, "");
  }
  EXPECT_FALSE(fs::exists(folder_ / "群聊")) << "nothing runs after a usage error";
}

TEST_F(CliEndToEnd, OutputOptionChoosesTheFolderAndTheSummaryNamesEveryFolderUsed) {
  const Result result = run({"generate", "--quiet", "--seed", "1", "-o", outFolder("a"), "--set",
                             saveTo("b"), "--output", outFolder("c"), "群聊.txt"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_FALSE(fs::exists(outFolder("a")));
  EXPECT_FALSE(fs::exists(outFolder("b")));
  const auto articles = Tree(outFolder("c"));
  EXPECT_EQ(result.out, "处理完成，共处理 1 个文件，生成 " + std::to_string(articles.size()) +
                            " 篇\n" + SampleCounts() + "文章保存在：" + outFolder("c") + "\n")
      << "the last folder given wins";

  // Without a folder every source has its own, beside it.
  fs::create_directory(folder_ / "二");
  fs::copy_file(folder_ / "群聊.txt", folder_ / "二" / "另一群.txt");
  const Result beside = run({"generate", "--quiet", "--seed", "1", "群聊.txt", "二/另一群.txt"});
  ASSERT_EQ(beside.status, 0) << beside.err;
  EXPECT_TRUE(
      beside.out.ends_with("篇\n" + SampleCounts(2) + "文章保存在：群聊\n文章保存在：二/另一群\n"))
      << beside.out;
}

TEST_F(CliEndToEnd, ADashReadsStandardInputAndGenerateThenNeedsAFolder) {
  const fs::path sample = folder_ / "群聊.txt";
  EXPECT_EQ(run({"messages", "-"}, sample).out, run({"messages", "群聊.txt"}).out);
  EXPECT_EQ(run({"preview", "--seed", "4", "-"}, sample).out,
            run({"preview", "--seed", "4", "群聊.txt"}).out);

  const Result refused = run({"generate", "-"}, sample);
  EXPECT_EQ(refused.status, 2);
  EXPECT_NE(refused.err.find("从标准输入（-）生成文章时需要用 -o 文件夹 指定输出文件夹"),
            std::string::npos)
      << refused.err;

  const Result piped =
      run({"generate", "--quiet", "--seed", "6", "-o", outFolder("in"), "-"}, sample);
  ASSERT_EQ(piped.status, 0) << piped.err;
  const Result named =
      run({"generate", "--quiet", "--seed", "6", "-o", outFolder("file"), "群聊.txt"});
  EXPECT_FALSE(Tree(outFolder("in")).empty());
  EXPECT_EQ(Tree(outFolder("in")), Tree(outFolder("file"))) << "the same articles either way";
}

TEST_F(CliEndToEnd, OptionsListsEveryOptionWithTheValueARunWouldUse) {
  const fs::path settings = folder_ / "settings.ini";
  std::ofstream(settings, std::ios::binary) << gw::Utf8ToGbk(
      "[基本配置]\r\n最少字数a=3\r\n标题位置=0\r\n[屏蔽词过滤器]\r\n代替符=@@\r\n");
  const Result text =
      run({"options", "--settings", settings.string(), "--set", "编辑框最少字数=9"});
  ASSERT_EQ(text.status, 0) << text.err;
  // What the listing says of `name`, after the padding that aligns the names.
  const auto described = [&text](const std::string& name) {
    const std::size_t at = text.out.find("\n" + name + " ");
    if (at == std::string::npos) {
      return std::string("not listed");
    }
    const std::size_t begin = text.out.find_first_not_of(' ', at + 1 + name.size());
    return text.out.substr(begin, text.out.find('\n', begin) - begin);
  };
  EXPECT_EQ(described("编辑框最少字数"), "文本  默认 \"2\"  当前 \"9\"")
      << "--set wins over the file";
  EXPECT_EQ(described("组合框标题位置"),
            "组合框（0 标题前，1 标题后，2 随机位置）  默认 2 随机位置  当前 0 标题前");
  EXPECT_EQ(described("屏蔽词过滤器/代替符"), "文本  默认 \"**\"  当前 \"@@\"");
  EXPECT_EQ(described("选择框删除日期"), "复选框  默认 真  当前 真");
  EXPECT_EQ(Occurrences(text.out, "\n"), gw::OptionTable().size() + 6) << "one line per option";

  const Result json = run({"options", "--json", "--settings", settings.string()});
  ASSERT_EQ(json.status, 0) << json.err;
  EXPECT_TRUE(json.out.starts_with("[\n {\"name\": \"组合框繁简转换\", \"kind\": \"combo box\""))
      << json.out;
  EXPECT_NE(json.out.find("{\"name\": \"编辑框最少字数\", \"kind\": \"text\", \"default\": "
                          "\"2\", \"value\": \"3\"}"),
            std::string::npos)
      << json.out;

  const Result unknown = run({"options", "--set", "编辑框最少字=1"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_NE(unknown.err.find("是否想用：编辑框最少字数、编辑框最多字数？"), std::string::npos)
      << unknown.err;
}

TEST_F(CliEndToEnd, HelpAndVersion) {
  const Result help = run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.starts_with("用法：\n  gathwrite-cli generate [选项] 文件...\n"))
      << help.out;
  for (const char* part :
       {"--set 名称=值", "-o, --output 文件夹", "gathwrite-cli options",
        "退出状态：\n  0    成功\n  1    ", "\n  2    命令行有误\n", "\n  130  ", "\n  143  "}) {
    EXPECT_NE(help.out.find(part), std::string::npos) << part;
  }
  const Result version = run({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "gathwrite-cli " GW_EXPECTED_VERSION "\n");
}

}  // namespace
