// Generation runs over whatever users throw at the program: files that cannot or must not be
// read, damaged text, huge lines, hostile patterns and word libraries, output places that
// refuse files, titles that are no names. Every run ends, says what went wrong and goes on with
// the next file.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/batch_replacer.h"
#include "engine/output_writer.h"
#include "engine/run_driver.h"
#include "engine/word_library.h"
#include "fake_host.h"
#include "gtest/gtest.h"
#include "text/source_reader.h"

namespace gw {
namespace {

namespace fs = std::filesystem;
using testing::ChatExport;
using testing::FakeHost;
using testing::G;
using testing::U;

// One gzip member holding `data`.
std::string GzipMember(const std::string& data) {
  uLongf size = compressBound(static_cast<uLong>(data.size())) + 64;
  z_stream stream{};
  deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::string out(size, '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

// The fake host, also keeping the file problems the run reports.
class RecordingHost : public FakeHost {
 public:
  void reportFileProblem(std::string_view text) override { fileProblems.push_back(U(text)); }
  std::vector<std::string> fileProblems;  // UTF-8
};

class HostileRun : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("gw-hostile-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    // One message per paragraph and per article: one article per message.
    host_.options().编辑框连横1 = host_.options().编辑框连横2 = "1";
    host_.options().编辑框合纵1 = host_.options().编辑框合纵2 = "1";
  }
  void TearDown() override {
    std::error_code ignored;
    fs::permissions(folder_ / "out", fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(folder_, ignored);
  }

  std::string Write(const std::string& name, std::string_view bytes) const {
    const fs::path path = folder_ / name;
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path.string();
  }

  // An export of `count` short messages (GBK).
  static std::string Export(int count, const std::string& text = "一条普通的聊天消息") {
    std::vector<std::vector<std::string>> records;
    for (int i = 0; i < count; ++i) {
      records.push_back(
          {"2016-5-3 9:08:" + std::to_string(10 + i) + " 某人(100)", text + std::to_string(i)});
    }
    return ChatExport(records);
  }

  int FilesIn(const fs::path& dir) const {
    std::error_code error;
    if (!fs::is_directory(dir, error)) {
      return 0;
    }
    return static_cast<int>(std::distance(fs::directory_iterator(dir), {}));
  }

  // The contents of every article in `dir`, one after the other (UTF-8).
  static std::string ArticlesIn(const fs::path& dir) {
    std::string all;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(dir, error)) {
      std::ifstream in(entry.path(), std::ios::binary);
      all += U(std::string{std::istreambuf_iterator<char>(in), {}}) + "\n";
    }
    return all;
  }

  bool HasProblem(const std::string& text) const {
    return std::find(host_.fileProblems.begin(), host_.fileProblems.end(), text) !=
           host_.fileProblems.end();
  }

  RecordingHost host_;
  fs::path folder_;
};

TEST_F(HostileRun, FilesThatCannotOrMustNotBeReadAreNamedAndTheRunGoesOn) {
  const std::string limit = std::to_string(kMaxSourceBytes >> 20);
  // A 2 GB file that takes no disk room.
  const std::string huge = (folder_ / "huge.txt").string();
  const int fd = ::open(huge.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, off_t{2} << 30), 0);
  ::close(fd);
  // A small gzip file that inflates beyond the limit: one member of 1 MB of zeros, repeated.
  const std::string member = GzipMember(std::string(std::size_t{1} << 20, '\0'));
  std::string bomb;
  for (std::size_t i = 0; i <= (kMaxSourceBytes >> 20); ++i) {
    bomb += member;
  }
  const std::string bombPath = Write("bomb.txt", bomb);
  const std::string empty = Write("empty.txt", "");
  fs::create_directory(folder_ / "folder.txt");
  const std::string vanished = Write("vanished.txt", Export(2));
  fs::remove(vanished);
  const std::string good = Write("good.txt", Export(3));

  const std::vector<std::string> paths = {
      huge, bombPath, empty, (folder_ / "folder.txt").string(), vanished, good};
  const auto start = std::chrono::steady_clock::now();
  const RunOutcome outcome = RunFiles(host_, paths, 1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));

  EXPECT_EQ(outcome.filesProcessed, 6);
  EXPECT_EQ(outcome.articlesWritten, 3);
  EXPECT_EQ(FilesIn(folder_ / "good"), 3);
  EXPECT_TRUE(HasProblem("文件超过 " + limit + " MB，未读取：" + huge));
  EXPECT_TRUE(HasProblem("文件解压后超过 " + limit + " MB，未读取：" + bombPath));
  EXPECT_TRUE(HasProblem("无法读取文件：" + (folder_ / "folder.txt").string() + "（是一个目录）"));
  EXPECT_TRUE(HasProblem("无法读取文件：" + vanished + "（没有那个文件或目录）"));
  EXPECT_TRUE(HasProblem("未找到聊天消息：" + empty));  // read, but holds no chat message
  EXPECT_EQ(host_.fileProblems.size(), 5u);
  EXPECT_EQ(outcome.filesFailed, 5);
}

TEST_F(HostileRun, AFiftyMegabyteLineIsOneMessageAndTheRunEndsPromptly) {
  const std::size_t half = std::size_t{25} << 20;
  const std::string line = std::string(half, 'x') + G("长") + std::string(half - 2, 'y');
  std::string text = Export(1);
  text += G("2016-5-3 9:09:00 某人(100)\r\n") + line + "\r\n\r\n";
  text += G("没有发送者的尾巴");  // no sender line: part of the last message
  const std::string path = Write("long.txt", text);
  const auto start = std::chrono::steady_clock::now();
  const RunOutcome outcome = RunFiles(host_, {path}, 1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
  EXPECT_TRUE(host_.fileProblems.empty());
  EXPECT_TRUE(host_.errors.empty());
  EXPECT_EQ(outcome.articlesWritten, 2);
  EXPECT_EQ(FilesIn(folder_ / "long"), 2);
}

TEST_F(HostileRun, ASenderLineWithoutABodyAtTheEndGivesNoEmptyArticleAndLosesNoMessage) {
  for (const std::string lineEnd : {"", "\r\n"}) {
    SCOPED_TRACE(lineEnd.empty() ? "without a line end" : "with CR LF");
    fs::remove_all(folder_ / "cut");
    std::string text = Export(2);
    text += G("2016-5-3 9:10:00 某人(100)") + lineEnd;  // the export ends right after it
    const RunOutcome outcome = RunFiles(host_, {Write("cut.txt", text)}, 1);
    EXPECT_EQ(outcome.articlesWritten, 2);
    EXPECT_TRUE(host_.fileProblems.empty());
    const std::string articles = ArticlesIn(folder_ / "cut");
    EXPECT_NE(articles.find("一条普通的聊天消息0"), std::string::npos) << articles;
    EXPECT_NE(articles.find("一条普通的聊天消息1"), std::string::npos) << articles;
  }
}

TEST_F(HostileRun, AFileWithoutChatMessagesIsToldAndTheRunGoesOn) {
  std::string bareLf = Export(2);
  std::erase(bareLf, '\r');
  const std::string notes = Write("notes.txt", G("这不是聊天记录\r\n只是一些笔记\r\n"));
  const std::vector<std::string> paths = {notes, Write("bare.txt", bareLf),
                                          Write("good.txt", Export(3))};
  const RunOutcome outcome = RunFiles(host_, paths, 1);
  EXPECT_EQ(host_.fileProblems, std::vector<std::string>{"未找到聊天消息：" + notes});
  EXPECT_EQ(outcome.filesFailed, 1);
  EXPECT_EQ(outcome.filesProcessed, 3);
  EXPECT_FALSE(fs::exists(folder_ / "notes")) << "no output folder for it";
  EXPECT_EQ(FilesIn(folder_ / "bare"), 2) << "bare line feeds read as CR LF";
  EXPECT_EQ(FilesIn(folder_ / "good"), 3);
  EXPECT_EQ(outcome.articlesWritten, 5);
}

TEST_F(HostileRun, DamagedTextKeepsItsBytesOrBecomesQuestionMarks) {
  // Invalid GBK in a GBK export: lead bytes before ASCII and at the end of the message.
  std::string gbk = ChatExport({{"2016-5-3 9:08:10 某人(100)", "开头"}});
  gbk.insert(gbk.size() - 4,
             "\x81"
             "a\xFF\x81");
  // A UTF-16 export with unpaired surrogates.
  std::u16string wide = u"\uFEFF";
  for (const char c : std::string("2016-5-3 9:08:10 x(100)\r\nA")) {
    wide += static_cast<char16_t>(c);
  }
  wide += char16_t{0xD800};
  wide += u"B\r\n\r\n";
  std::string utf16(reinterpret_cast<const char*>(wide.data()), wide.size() * 2);
  const RunOutcome outcome = RunFiles(host_, {Write("gbk.txt", gbk), Write("utf16.txt", utf16)}, 1);
  EXPECT_EQ(outcome.articlesWritten, 2);
  ASSERT_EQ(FilesIn(folder_ / "utf16"), 1);
  const fs::path article = fs::directory_iterator(folder_ / "utf16")->path();
  std::ifstream in(article, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), {}};
  EXPECT_NE(bytes.find("A?B"), std::string::npos) << bytes;
}

TEST_F(HostileRun, ACustomPatternThatBacktracksWithoutEndIsReportedAndTheFileSkipped) {
  Options& options = host_.options();
  options.选择框自定义替换 = true;
  options.选择框正则替换 = true;
  options.编辑框欲替换 = "(a|aa)+$";
  options.编辑框替换为 = "";
  const std::string hostile = Write("hostile.txt", Export(2, std::string(5000, 'a') + "b"));
  const std::string plain = Write("plain.txt", Export(2, "没有那个字母"));
  const auto start = std::chrono::steady_clock::now();
  const RunOutcome outcome = RunFiles(host_, {hostile, plain}, 1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
  ASSERT_EQ(host_.errors.size(), 1u);
  EXPECT_EQ(host_.errors[0], "正则替换超出匹配限制，未能完成，文件未处理：" + hostile);
  EXPECT_EQ(outcome.filesFailed, 1);
  EXPECT_EQ(FilesIn(folder_ / "hostile"), 0);
  EXPECT_EQ(FilesIn(folder_ / "plain"), 2);
}

TEST_F(HostileRun, TypedIgnoreAndDeleteWordsAreLiteralsEvenWhenTheyLookLikePatterns) {
  Options& options = host_.options();
  options.选择框忽略指定 = true;
  options.编辑框忽略字符 = "(a+)+$";
  options.选择框删除指定 = true;
  options.编辑框删除字符 = "(.*)*x";
  std::string text = Export(1, std::string(5000, 'a') + "!");  // kept: no "(a+)+$" in it
  const std::string path = Write("words.txt", text);
  const RunOutcome outcome = RunFiles(host_, {path}, 1);
  EXPECT_EQ(outcome.articlesWritten, 1);
  EXPECT_TRUE(host_.errors.empty());
}

TEST_F(HostileRun, AHundredThousandWordLibraryFiltersARunPromptly) {
  std::string library;
  for (int i = 0; i < 100000; ++i) {
    library += G("禁") + std::to_string(i) + G("号") + "\r\n";
  }
  library += "(a+)+$\r\n";  // a word like a pattern is just a word
  const std::string libraryPath = Write("library.txt", library);
  Options& options = host_.options();
  options.选择框过滤屏蔽词 = true;
  host_.blockedWords.libraryPath = libraryPath;
  host_.blockedWords.separatedByLineBreaks = true;
  host_.blockedWords.replacement = "**";
  const std::string path = Write("chat.txt", Export(1, "说了禁99999号和(a+)+$两个"));
  const auto start = std::chrono::steady_clock::now();
  const RunOutcome outcome = RunFiles(host_, {path}, 1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  ASSERT_EQ(outcome.articlesWritten, 1);
  const fs::path article = fs::directory_iterator(folder_ / "chat")->path();
  std::ifstream in(article, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), {}};
  EXPECT_NE(U(bytes).find("说了**和**两个"), std::string::npos) << U(bytes);

  // The batch replacer with the same library.
  BatchReplaceSettings settings;
  settings.words = host_.blockedWords;
  BatchReplacer replacer(library, settings);
  EXPECT_EQ(U(replacer.filter(G("禁0号与禁100000号与(a+)+$"))), "**与禁100000号与**");
}

TEST_F(HostileRun, AWordLibraryOverTheLimitIsNamedAndTheRunGoesOnUnfiltered) {
  const std::string libraryPath = Write("library.txt", G("禁词"));
  fs::resize_file(libraryPath, kMaxWordLibraryBytes + 1);  // sparse: no disk room
  host_.options().选择框过滤屏蔽词 = true;
  host_.blockedWords.libraryPath = libraryPath;
  const RunOutcome outcome = RunFiles(host_, {Write("chat.txt", Export(2))}, 1);
  EXPECT_EQ(outcome.articlesWritten, 2);
  ASSERT_EQ(host_.fileProblems.size(), 1u);
  EXPECT_EQ(host_.fileProblems[0], "词库文件超过 " + std::to_string(kMaxWordLibraryBytes >> 20) +
                                       " MB，未读取：" + libraryPath);

  BatchReplaceSettings settings;
  settings.words = host_.blockedWords;
  const BatchReplacer replacer(settings);
  EXPECT_FALSE(replacer.usable());
  EXPECT_EQ(U(replacer.problem()), host_.fileProblems[0]);
}

TEST_F(HostileRun, AnOutputFolderThatIsAFileFailsEveryArticleAloud) {
  const std::string blocker = Write("blocker", "a file, not a folder");
  host_.options().编辑框保存文件夹 = G(blocker);
  const RunOutcome outcome = RunFiles(host_, {Write("chat.txt", Export(2))}, 1);
  EXPECT_EQ(outcome.articlesWritten, 0);
  ASSERT_EQ(host_.fileProblems.size(), 2u);
  EXPECT_EQ(host_.fileProblems[0].rfind("无法写入文章：" + blocker + "/", 0), 0u);
  std::ifstream in(blocker, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "a file, not a folder");
}

TEST_F(HostileRun, AReadOnlyOutputFolderFailsEveryArticleAloud) {
  fs::path out = folder_ / "out";
  fs::create_directory(out);
  fs::permissions(out, fs::perms::owner_read | fs::perms::owner_exec);
  // The superuser writes into any folder whatever its modes: then the folder is /proc, where
  // no one can create a file.
  const fs::path probe = out / "probe";
  const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT, 0644);
  if (fd >= 0) {
    ::close(fd);
    fs::remove(probe);
    out = "/proc";
  }
  host_.options().编辑框保存文件夹 = G(out.string());
  const RunOutcome outcome = RunFiles(host_, {Write("chat.txt", Export(2))}, 1);
  EXPECT_EQ(outcome.articlesWritten, 0);
  EXPECT_EQ(host_.fileProblems.size(), 2u);
}

TEST_F(HostileRun, TitlesAndExtensionsThatAreNoNamesStayInsideTheOutputFolder) {
  const fs::path out = folder_ / "out";
  fs::create_directory(out);
  struct Row {
    const char* title;
    const char* extension;
    const char* name;
  };
  const Row rows[] = {
      {".", "txt", "..txt"},
      {".", "", "无标题."},
      {"..", "", "..."},
      {"   ", "txt", "   .txt"},
      {"..", "/../../escaped", "...／..／..／escaped"},
      {"a", "txt\n", "a.txt"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ArticleWriter writer;
    ASSERT_TRUE(writer.write(out, G(row.title), G(row.extension), "article"));
    EXPECT_EQ(writer.lastPath(), out / row.name);
    EXPECT_TRUE(fs::is_regular_file(out / row.name));
  }
  EXPECT_EQ(FilesIn(out), 6);
  EXPECT_EQ(FilesIn(folder_), 1);  // nothing landed beside the output folder
}

}  // namespace
}  // namespace gw
