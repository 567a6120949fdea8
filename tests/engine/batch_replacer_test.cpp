#include "engine/batch_replacer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "text/charset.h"

namespace gw {
namespace {

namespace fs = std::filesystem;

std::string G(const char* utf8) {
  return Utf8ToGbk(utf8);
}

// A fresh temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir() {
    static std::atomic<int> counter{0};
    path_ = fs::temp_directory_path() /
            ("gw_batch_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const fs::path& path() const { return path_; }

  fs::path Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(path_ / name, std::ios::binary) << bytes;
    return path_ / name;
  }

 private:
  fs::path path_;
};

std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

BatchReplaceSettings Settings(std::string separator = "|", std::string replacement = "**") {
  BatchReplaceSettings settings;
  settings.words.separator = std::move(separator);
  settings.words.replacement = std::move(replacement);
  settings.encoding = 1;  // GBK
  return settings;
}

BatchReplaceSettings LineSettings() {
  BatchReplaceSettings settings = Settings();
  settings.words.separatedByLineBreaks = true;
  return settings;
}

std::string Filter(const std::string& library, const std::string& text,
                   const BatchReplaceSettings& settings = Settings()) {
  return BatchReplacer(library, settings).filter(text);
}

TEST(BatchReplacerTest, FilteredCopyIsNamedAfterTheSourceInTheSameFolder) {
  EXPECT_EQ(FilteredOutputPath("/x/a.txt"), fs::path("/x/a_已过滤.txt"));
  EXPECT_EQ(FilteredOutputPath("/x/README"), fs::path("/x/README_已过滤."));
  EXPECT_EQ(FilteredOutputPath("/x/chat.2024.log"), fs::path("/x/chat.2024_已过滤.log"));
  EXPECT_EQ(FilteredOutputPath("/x/群聊.txt"), fs::path("/x/群聊_已过滤.txt"));
  EXPECT_EQ(BatchSummaryText(3), G("处理完毕！总共处理了 3 个文件！"));
  EXPECT_EQ(BatchProgressTitle("/x/群聊.txt"), G("正在处理..群聊"));
}

TEST(BatchReplacerTest, EveryWordIsReplacedByTheReplacementAsAWhole) {
  EXPECT_EQ(Filter(G("甲\r\n乙"), G("甲乙丙"), LineSettings()), G("****丙"));
  EXPECT_EQ(Filter(G("广告、代购"), G("代购广告x"), Settings(G("、"))), "****x");
  EXPECT_EQ(Filter("abc", "ABC Abc", Settings("|", "")), " ");
  // "$&" or "$1" in the replacement are written as they are.
  EXPECT_EQ(Filter("ab", "xaby", Settings("|", "$&$1$$")), "x$&$1$$y");
}

TEST(BatchReplacerTest, WordsMatchOnlyLiterally) {
  EXPECT_EQ(Filter("a.c|(b", "abc a.c (b b"), "abc ** ** b");
  EXPECT_EQ(Filter("x*|[y]", "xxx x* [y] y"), "xxx ** ** y");
  // With another separator a "|" belongs to the word and does not split it.
  EXPECT_EQ(Filter("a|b\r\nc", "a|b c a b", LineSettings()), "** ** a b");
}

TEST(BatchReplacerTest, EmptyWordsAreLeftOutAndMatchNothing) {
  // A trailing separator, adjacent separators, a library ending in a line break.
  EXPECT_EQ(Filter(G("|甲||"), G("甲乙")), G("**乙"));
  EXPECT_EQ(Filter(G("甲\r\n\r\n乙\r\n"), G("甲乙丙"), LineSettings()), G("****丙"));
  EXPECT_EQ(BatchReplacer(G("甲\r\n乙\r\n"), LineSettings()).words().size(), 2u);
  // A library with no words at all leaves texts as they are.
  EXPECT_EQ(Filter("||", "abc"), "abc");
  EXPECT_EQ(Filter("", "abc"), "abc");
}

TEST(BatchReplacerTest, SeparatorIsFoundOnlyBetweenCharacters) {
  // The second byte of "亅" is "|": it neither splits the word nor the alternation.
  const std::string library = G("亅丙|乙");
  EXPECT_EQ(BatchReplacer(library, Settings()).words(),
            (std::vector<std::string>{G("亅丙"), G("乙")}));
  EXPECT_EQ(Filter(library, G("亅丙乙丁亅")), G("****丁亅"));
  // A word of one such character, next to a separator.
  EXPECT_EQ(Filter(G("亅|昞"), G("亅a昞")), "**a**");
}

// AA A1 is a code of the user-defined area: it is a character, not "?", and can be a word.
TEST(BatchReplacerTest, UserDefinedCharactersAreKept) {
  EXPECT_EQ(Filter(G("甲"), "\x41\xAA\xA1\x42"), "\x41\xAA\xA1\x42");
  EXPECT_EQ(Filter("\xAA\xA1", "\x41\xAA\xA1\x42\xAA\xA2"), "\x41**\x42\xAA\xA2");
}

TEST(BatchReplacerTest, LibraryTooBigForThePatternStillFiltersEveryWord) {
  std::string library;
  for (int i = 0; i < 50000; ++i) {
    library += G("屏蔽") + std::to_string(i) + G("号\r\n");
  }
  BatchReplacer replacer(library, LineSettings());
  ASSERT_EQ(replacer.words().size(), 50000u);
  EXPECT_TRUE(replacer.usesLiteralMatcher());
  EXPECT_FALSE(replacer.patternError().empty());
  EXPECT_EQ(replacer.filter(G("屏蔽7号和屏蔽49999号，屏蔽50000号不在")),
            G("**和**，屏蔽50000号不在"));

  // A small library goes through the engine.
  EXPECT_FALSE(BatchReplacer("a|b", Settings()).usesLiteralMatcher());
}

TEST(BatchReplacerTest, ProcessWritesTheFilteredCopyAndNeverTouchesTheSource) {
  TempDir dir;
  BatchReplaceSettings settings = Settings();
  settings.words.libraryPath = dir.Write("words.txt", G("代购|广告")).string();
  settings.encoding = 0;  // detected: the source is UTF-8
  const std::string source = "代购的广告\n";
  const fs::path file = dir.Write("群聊.txt", source);
  // An older output is overwritten.
  dir.Write("群聊_已过滤.txt", "old old old old old old");

  BatchReplacer replacer(settings);
  ASSERT_TRUE(replacer.usable());
  const BatchFileResult result = replacer.process(file);
  EXPECT_TRUE(result.written);
  EXPECT_EQ(result.problem, "");
  EXPECT_EQ(result.output, dir.path() / "群聊_已过滤.txt");
  EXPECT_EQ(ReadBytes(result.output), G("**的**\n"));
  EXPECT_EQ(ReadBytes(file), source);
}

TEST(BatchReplacerTest, TextMadeOnlyOfBlockedWordsBecomesEmpty) {
  TempDir dir;
  BatchReplaceSettings settings = Settings("|", "");
  settings.words.libraryPath = dir.Write("words.txt", G("甲|乙")).string();
  const BatchFileResult result = BatchReplacer(settings).process(dir.Write("a", G("甲乙甲")));
  EXPECT_TRUE(result.written);
  EXPECT_EQ(result.output, dir.path() / "a_已过滤.");
  EXPECT_TRUE(fs::exists(result.output));
  EXPECT_EQ(ReadBytes(result.output), "");
}

TEST(BatchReplacerTest, FailuresAreReportedAndWriteNothing) {
  TempDir dir;
  BatchReplaceSettings settings = Settings();

  // No library: nothing is processed.
  settings.words.libraryPath = (dir.path() / "missing.txt").string();
  BatchReplacer noLibrary(settings);
  EXPECT_FALSE(noLibrary.usable());
  EXPECT_NE(noLibrary.problem(), "");
  const fs::path source = dir.Write("a.txt", "abc");
  const BatchFileResult skipped = noLibrary.process(source);
  EXPECT_FALSE(skipped.written);
  EXPECT_EQ(skipped.problem, noLibrary.problem());
  EXPECT_FALSE(fs::exists(skipped.output));

  settings.words.libraryPath = dir.Write("words.txt", "b").string();
  BatchReplacer replacer(settings);
  ASSERT_TRUE(replacer.usable());

  // A source that cannot be read.
  const BatchFileResult unreadable = replacer.process(dir.path() / "gone.txt");
  EXPECT_FALSE(unreadable.written);
  EXPECT_NE(unreadable.problem.find(G("无法读取")), std::string::npos);
  EXPECT_FALSE(fs::exists(unreadable.output));

  // An output that cannot be written (a folder is in the way).
  fs::create_directory(dir.path() / "a_已过滤.txt");
  const BatchFileResult blocked = replacer.process(source);
  EXPECT_FALSE(blocked.written);
  EXPECT_NE(blocked.problem.find(G("无法写入")), std::string::npos);
  EXPECT_EQ(ReadBytes(source), "abc");

  // An output name that leads back to the source.
  const fs::path other = dir.Write("b.txt", "abc");
  fs::create_symlink(other, dir.path() / "b_已过滤.txt");
  const BatchFileResult loop = replacer.process(other);
  EXPECT_FALSE(loop.written);
  EXPECT_EQ(ReadBytes(other), "abc");
}

}  // namespace
}  // namespace gw
