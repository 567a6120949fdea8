#include "engine/output_writer.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>

#include "text/charset.h"

namespace gw {
namespace {

namespace fs = std::filesystem;

std::string G(std::string_view utf8) {
  return Utf8ToGbk(utf8);
}

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// File names in `folder`, as the file system holds them (UTF-8).
std::set<std::string> NamesIn(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

// While it lives, no file of this process may grow past `maxBytes`: a write beyond it fails as on
// a full disk, for the super-user too.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t maxBytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    savedHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved_;
    limited.rlim_cur = maxBytes;
    setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, savedHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  void (*savedHandler_)(int) = nullptr;
};

class ArticleWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "gw-output-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override {
    std::error_code error;
    fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add, error);
    fs::remove_all(folder_, error);
  }

  fs::path folder_;
  ArticleWriter writer_;
};

TEST(OutputFolderTest, EmptyBoxGivesSubFolderNamedAfterTheSource) {
  EXPECT_EQ(OutputFolderFor("/data/chats/group1.txt", ""), fs::path("/data/chats/group1"));
  EXPECT_EQ(OutputFolderFor("/data/chats/archive.2024.txt", ""),
            fs::path("/data/chats/archive.2024"));
}

TEST(OutputFolderTest, ASourceWithoutAnExtensionOfItsOwnGetsAFolderBesideItNeverItsOwnFolder) {
  EXPECT_EQ(OutputFolderFor("/data/chats/chatlog", ""), fs::path("/data/chats/chatlog_文章"));
  EXPECT_EQ(OutputFolderFor("/data/chats/.chat", ""), fs::path("/data/chats/.chat_文章"));
  EXPECT_EQ(OutputFolderFor("/data/chats/..txt", ""), fs::path("/data/chats/..txt_文章"));
  EXPECT_EQ(OutputFolderFor("/data/chats/...txt", ""), fs::path("/data/chats/...txt_文章"));
  EXPECT_EQ(OutputFolderFor("chatlog", ""), fs::path("chatlog_文章"));
  // A name ending in "." still has a name of its own before it.
  EXPECT_EQ(OutputFolderFor("/data/chats/group1.", ""), fs::path("/data/chats/group1"));
}

TEST(OutputFolderTest, BoxTextIsConvertedAndTrailingSeparatorDoesNotMatter) {
  const fs::path expected("/srv/输出/文章");
  EXPECT_EQ(OutputFolderFor("/data/a.txt", G("/srv/输出/文章")), expected);
  EXPECT_EQ(OutputFolderFor("/data/a.txt", G("/srv/输出/文章/")), expected);
  EXPECT_EQ(OutputFolderFor("/data/a.txt", "/"), fs::path("/"));
}

TEST_F(ArticleWriterTest, PreparingAFolderCreatesItsParents) {
  const fs::path nested = folder_ / "a" / "b" / "c";
  EXPECT_TRUE(PrepareOutputFolder(nested));
  EXPECT_TRUE(fs::is_directory(nested));
  EXPECT_TRUE(PrepareOutputFolder(nested));  // already there
}

TEST(CleanFileNameTest, ForbiddenCharactersBecomeFullWidthAndBreaksAndQuotesGo) {
  EXPECT_EQ(CleanFileName("a/b:c?"), G("a／b：c？"));
  EXPECT_EQ(CleanFileName("\\/:*?|<>"), G("＼／：＊？｜＜＞"));
  EXPECT_EQ(CleanFileName("say \"hi\""), "say hi");
  EXPECT_EQ(CleanFileName("one\r\ntwo\rthree\nfour\tfive"), "onetwothreefourfive");
  // Nothing else changes: spaces and dots stay.
  EXPECT_EQ(CleanFileName(" .name. "), " .name. ");
  // Double-byte characters whose second byte is "|" or "\" stay whole.
  EXPECT_EQ(CleanFileName(G("億俓|")), G("億俓｜"));
}

TEST_F(ArticleWriterTest, NameIsTheTitleWithTheExtensionInUtf8AndContentsStayGbk) {
  const std::string article = G("第一段，中文。\r\n第二段\r\n");
  ASSERT_TRUE(writer_.write(folder_, G("群聊/精选?"), "txt", article));
  EXPECT_EQ(NamesIn(folder_), std::set<std::string>{"群聊／精选？.txt"});
  EXPECT_EQ(ReadBytes(folder_ / "群聊／精选？.txt"), article);
  EXPECT_EQ(writer_.written(), 1);
}

TEST_F(ArticleWriterTest, EmptyExtensionLeavesTheNameEndingInADot) {
  ASSERT_TRUE(writer_.write(folder_, "plain", "", "x"));
  EXPECT_EQ(NamesIn(folder_), std::set<std::string>{"plain."});
}

TEST_F(ArticleWriterTest, EqualTitlesInOneRunEachKeepTheirOwnFile) {
  for (const char* body : {"one", "two", "three"}) {
    ASSERT_TRUE(writer_.write(folder_, G("同一标题"), "txt", body));
  }
  // A title that already looks like a numbered copy does not take another article's place.
  ASSERT_TRUE(writer_.write(folder_, G("同一标题 (2)"), "txt", "four"));
  EXPECT_EQ(writer_.written(), 4);
  EXPECT_EQ(NamesIn(folder_).size(), 4u);
  EXPECT_EQ(ReadBytes(folder_ / "同一标题.txt"), "one");
  EXPECT_EQ(ReadBytes(folder_ / "同一标题 (2).txt"), "two");
  EXPECT_EQ(ReadBytes(folder_ / "同一标题 (3).txt"), "three");
  EXPECT_EQ(ReadBytes(folder_ / "同一标题 (2) (2).txt"), "four");
}

TEST_F(ArticleWriterTest, TitlesThatCleanToTheSameNameAreNumberedToo) {
  ASSERT_TRUE(writer_.write(folder_, "a\"b", "txt", "1"));
  ASSERT_TRUE(writer_.write(folder_, "ab", "txt", "2"));
  EXPECT_EQ(NamesIn(folder_), (std::set<std::string>{"ab.txt", "ab (2).txt"}));
}

TEST_F(ArticleWriterTest, EmptyTitleIsWrittenAsUntitled) {
  ASSERT_TRUE(writer_.write(folder_, "", "txt", "1"));
  ASSERT_TRUE(writer_.write(folder_, "\"\r\n", "txt", "2"));
  EXPECT_EQ(NamesIn(folder_), (std::set<std::string>{"无标题.txt", "无标题 (2).txt"}));
}

TEST_F(ArticleWriterTest, OverlongTitleIsCutAtACharacterBoundaryToFitTheFileSystem) {
  std::string title;
  for (int i = 0; i < 100; ++i) {
    title += G("长");  // three bytes in UTF-8: 300 bytes in all
  }
  ASSERT_TRUE(writer_.write(folder_, title, "txt", "1"));
  ASSERT_TRUE(writer_.write(folder_, title, "txt", "2"));
  std::string first;
  for (int i = 0; i < 83; ++i) {
    first += "长";  // 249 bytes + ".txt" = 253
  }
  const std::string second = first.substr(0, 82 * 3) + " (2)";  // 246 + 4 + 4 = 254
  EXPECT_EQ(NamesIn(folder_), (std::set<std::string>{first + ".txt", second + ".txt"}));
  EXPECT_EQ(ReadBytes(folder_ / (second + ".txt")), "2");
}

TEST_F(ArticleWriterTest, FileFromAnEarlierRunIsOverwritten) {
  std::ofstream(folder_ / "old.txt") << "from yesterday, much longer";
  ASSERT_TRUE(writer_.write(folder_, "old", "txt", "today"));
  EXPECT_EQ(NamesIn(folder_), std::set<std::string>{"old.txt"});
  EXPECT_EQ(ReadBytes(folder_ / "old.txt"), "today");
}

TEST_F(ArticleWriterTest, ASourceIsNeverWrittenOverByWhateverPathTheArticleReachesItThrough) {
  const fs::path chats = folder_ / "chats";
  const fs::path out = folder_ / "out";
  fs::create_directories(chats);
  fs::create_directories(out);
  std::ofstream(chats / "群.txt") << "source one";
  std::ofstream(chats / "其他.txt") << "source two";
  fs::create_hard_link(chats / "群.txt", out / "硬链接.txt");
  fs::create_symlink(chats / "其他.txt", folder_ / "快捷方式.txt");
  // One source named by another spelling of its path, one through a symbolic link to it.
  writer_.protectSource(chats / "." / "群.txt");
  writer_.protectSource(folder_ / "快捷方式.txt");
  writer_.protectSource(folder_ / "不存在.txt");  // a source that is not there protects nothing

  const struct Row {
    fs::path folder;
    const char* title;
    fs::path expected;
  } rows[] = {
      {chats, "群", chats / "群 (2).txt"},
      {chats, "其他", chats / "其他 (2).txt"},
      {out, "硬链接", out / "硬链接 (2).txt"},
      {folder_, "不存在", folder_ / "不存在.txt"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.title);
    ASSERT_TRUE(writer_.write(row.folder, G(row.title), "txt", "article"));
    EXPECT_EQ(writer_.lastPath(), row.expected);
    EXPECT_EQ(ReadBytes(row.expected), "article");
  }
  EXPECT_EQ(ReadBytes(chats / "群.txt"), "source one");
  EXPECT_EQ(ReadBytes(chats / "其他.txt"), "source two");
  EXPECT_EQ(ReadBytes(out / "硬链接.txt"), "source one");
}

TEST_F(ArticleWriterTest, ALinkAFolderOrAFifoInTheWayIsLeftAloneAndTheArticleNumbered) {
  std::ofstream(folder_ / "target") << "the user's";
  fs::create_symlink(folder_ / "target", folder_ / "link.txt");
  fs::create_symlink(folder_ / "nowhere", folder_ / "dangling.txt");
  fs::create_directory(folder_ / "folder.txt");
  ASSERT_EQ(mkfifo((folder_ / "fifo.txt").c_str(), 0644), 0);

  for (const char* title : {"link", "dangling", "folder", "fifo"}) {
    SCOPED_TRACE(title);
    ASSERT_TRUE(writer_.write(folder_, title, "txt", "article"));
    EXPECT_EQ(writer_.lastPath(), folder_ / (std::string(title) + " (2).txt"));
  }
  EXPECT_EQ(ReadBytes(folder_ / "target"), "the user's");
  EXPECT_TRUE(fs::is_symlink(folder_ / "link.txt"));
  EXPECT_TRUE(fs::is_symlink(folder_ / "dangling.txt"));
  EXPECT_FALSE(fs::exists(folder_ / "nowhere"));
  EXPECT_TRUE(fs::is_directory(folder_ / "folder.txt"));
  EXPECT_TRUE(fs::is_fifo(folder_ / "fifo.txt"));
}

TEST_F(ArticleWriterTest, AWriteThatFailsHalfwayKeepsTheEarlierFileAndLeavesNothingBehind) {
  std::ofstream(folder_ / "old.txt") << "from yesterday";
  const std::string article(64 * 1024, 'x');
  {
    const FileSizeLimit fullDisk(4096);
    EXPECT_FALSE(writer_.write(folder_, "old", "txt", article));
    EXPECT_FALSE(writer_.write(folder_, "new", "txt", article));
  }
  EXPECT_EQ(writer_.written(), 0);
  EXPECT_EQ(NamesIn(folder_), std::set<std::string>{"old.txt"});
  EXPECT_EQ(ReadBytes(folder_ / "old.txt"), "from yesterday");

  ASSERT_TRUE(writer_.write(folder_, "old", "txt", article));
  EXPECT_EQ(ReadBytes(folder_ / "old.txt"), article);
  EXPECT_EQ(NamesIn(folder_), std::set<std::string>{"old.txt"});
}

TEST_F(ArticleWriterTest, AWriterKilledMidArticleLeavesNoShortArticle) {
  const std::string article(64 * 1024, 'x');
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Killed by the kernel (SIGXFSZ) once the article passes 4 KiB, in the middle of writing.
    rlimit limited{};
    getrlimit(RLIMIT_FSIZE, &limited);
    limited.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &limited);
    std::signal(SIGXFSZ, SIG_DFL);
    ArticleWriter writer;
    writer.write(folder_, "killed", "txt", article);
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
  // Only a hidden temporary file may remain; the article's name never shows a part of it.
  for (const std::string& name : NamesIn(folder_)) {
    EXPECT_EQ(name.rfind(".", 0), 0u) << name;
  }
  EXPECT_FALSE(fs::exists(folder_ / "killed.txt"));
}

TEST_F(ArticleWriterTest, FailedWriteIsNotCountedAndDoesNotReserveTheName) {
  EXPECT_FALSE(writer_.write(folder_ / "missing", "t", "txt", "x"));
  EXPECT_EQ(writer_.written(), 0);

  const fs::path locked = folder_ / "locked";
  fs::create_directory(locked);
  fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
  if (geteuid() != 0) {  // the super-user writes anywhere
    EXPECT_FALSE(writer_.write(locked, "t", "txt", "x"));
    EXPECT_EQ(writer_.written(), 0);
  }

  const int before = writer_.written();
  ASSERT_TRUE(writer_.write(folder_, "t", "txt", "x"));
  EXPECT_EQ(writer_.lastPath().filename(), "t.txt");
  EXPECT_EQ(writer_.written(), before + 1);
}

}  // namespace
}  // namespace gw
