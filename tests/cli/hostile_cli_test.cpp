// gathwrite-cli on hostile input: every refusal is a line on stderr naming the file, the exit
// status says something went wrong, and the other files are still processed.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli_run.h"

namespace {

namespace fs = std::filesystem;
using Result = gw::cli::testing::CliResult;
using gw::cli::testing::RunCli;

constexpr int kExitFileProblem = 1;
constexpr int kTimedOut = 124;  // the status timeout(1) gives a command that had to be stopped

class HostileCli : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "gw_cli_hostile_XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    fs::copy_file(fs::path(GW_SOURCE_DIR) / "examples" / "sample-export.txt", folder_ / "chat.txt");
    std::ofstream empty(path("settings.ini"));  // the form defaults apply
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string path(const std::string& name) const { return (folder_ / name).string(); }

  // A file of `size` bytes that takes no disk room.
  std::string sparse(const std::string& name, std::uintmax_t size) const {
    std::ofstream(path(name)).put('x');
    fs::resize_file(path(name), size);
    return path(name);
  }

  // Runs the program in the temporary folder with an empty settings file (unless the arguments
  // name one); a run that does not end within a minute is stopped.
  Result run(std::vector<std::string> arguments) const {
    return RunCli(folder_, std::move(arguments), path("settings.ini"));
  }

  fs::path folder_;
};

TEST_F(HostileCli, GenerateNamesEveryRefusedFileAndProcessesTheRest) {
  const std::string huge = sparse("huge.txt", std::uintmax_t{2} << 30);
  fs::create_directory(path("folder.txt"));
  const Result result =
      run({"generate", "--quiet", "--seed", "1", "--set", "编辑框保存文件夹=" + path("out"), huge,
           path("folder.txt"), path("chat.txt")});
  EXPECT_EQ(result.status, kExitFileProblem);
  EXPECT_NE(result.err.find("gathwrite-cli: 文件超过 512 MB，未读取：" + huge + "\n"),
            std::string::npos)
      << result.err;
  EXPECT_NE(
      result.err.find("gathwrite-cli: 无法读取文件：" + path("folder.txt") + "（是一个目录）\n"),
      std::string::npos)
      << result.err;
  EXPECT_EQ(result.out.rfind("处理完成，共处理 3 个文件，生成 ", 0), 0u) << result.out;
  EXPECT_FALSE(fs::is_empty(path("out")));
}

TEST_F(HostileCli, PreviewAndMessagesRefuseAFileOverTheLimit) {
  const std::string huge = sparse("huge.txt", (std::uintmax_t{512} << 20) + 1);
  for (const char* command : {"preview", "messages"}) {
    SCOPED_TRACE(command);
    const Result result = run({command, huge});
    EXPECT_EQ(result.status, kExitFileProblem);
    EXPECT_EQ(result.err, "gathwrite-cli: 文件超过 512 MB，未读取：" + huge + "\n");
    EXPECT_EQ(result.out, "");
  }
}

TEST_F(HostileCli, ACustomPatternThatHitsTheMatchLimitFailsTheRun) {
  std::ofstream(path("aaa.txt"), std::ios::binary)
      << "2016-5-3 9:08:10 x(100)\r\n" + std::string(3000, 'a') + "b\r\n\r\n";
  const Result result =
      run({"messages", "--set", "选择框自定义替换=真", "--set", "选择框正则替换=真", "--set",
           "编辑框欲替换=(a|aa)+$", path("aaa.txt")});
  EXPECT_EQ(result.status, kExitFileProblem);
  EXPECT_EQ(result.err,
            "gathwrite-cli: 正则替换超出匹配限制，未能完成，文件未处理：" + path("aaa.txt") + "\n");
  EXPECT_EQ(result.out, "");
}

TEST_F(HostileCli, FilterRefusesAWordLibraryOverTheLimitAndWritesNothing) {
  const std::string library = sparse("library.txt", (std::uintmax_t{16} << 20) + 1);
  const Result result = run({"filter", "--set", "屏蔽词过滤器/词库=" + library, path("chat.txt")});
  EXPECT_EQ(result.status, kExitFileProblem);
  EXPECT_EQ(result.err, "gathwrite-cli: 词库文件超过 16 MB，未读取：" + library + "\n");
  EXPECT_FALSE(fs::exists(path("chat_已过滤.txt")));
}

TEST_F(HostileCli, NamedPipesAsSettingsFileOrWordLibraryNeverHangTheProgram) {
  ASSERT_EQ(::mkfifo(path("pipe.ini").c_str(), 0644), 0);
  ASSERT_EQ(::mkfifo(path("pipe-words.txt").c_str(), 0644), 0);
  const Result settings = run({"messages", "--settings", path("pipe.ini"), path("chat.txt")});
  EXPECT_EQ(settings.status, 0) << settings.err;
  EXPECT_FALSE(settings.out.empty());
  const Result library =
      run({"filter", "--set", "屏蔽词过滤器/词库=" + path("pipe-words.txt"), path("chat.txt")});
  EXPECT_NE(library.status, kTimedOut);
  EXPECT_EQ(library.status, 0) << library.err;
}

}  // namespace
