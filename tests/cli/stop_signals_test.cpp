// Ctrl-C and SIGTERM during a run of the built gathwrite-cli on a generated export: the run
// stops like the stop button, prints its summary with "已停止", exits with 128 + the signal and
// leaves only whole articles.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "cli_run.h"

namespace {

namespace fs = std::filesystem;
using gw::cli::testing::ReadBytes;
using gw::cli::testing::ShellQuoted;

constexpr int kExportMegabytes = 8;

// Every file in `folder` by name, with its bytes.
std::map<std::string, std::string> Files(const fs::path& folder) {
  std::map<std::string, std::string> files;
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(folder, ignored)) {
    files[entry.path().filename().string()] = ReadBytes(entry.path());
  }
  return files;
}

std::size_t FileCount(const fs::path& folder) {
  std::error_code ignored;
  std::size_t count = 0;
  for (auto it = fs::directory_iterator(folder, ignored); it != fs::directory_iterator();
       it.increment(ignored)) {
    ++count;
  }
  return count;
}

class StopSignals : public ::testing::Test {
 protected:
  // One export and one uninterrupted run of it for all tests: the reference articles.
  static void SetUpTestSuite() {
    std::string pattern = (fs::temp_directory_path() / "gw_cli_signal_XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    const std::string generate = ShellQuoted(GW_GENERATE_EXPORT) + " --seed 7 --megabytes " +
                                 std::to_string(kExportMegabytes) + " --output " +
                                 ShellQuoted((folder_ / "export.txt").string());
    ASSERT_EQ(std::system(generate.c_str()), 0);
    const int status = Run({"-o", (folder_ / "whole").string()}).wait();
    ASSERT_EQ(status, 0);
    reference_ = Files(folder_ / "whole");
    ASSERT_GT(reference_.size(), 100u);
  }
  static void TearDownTestSuite() { fs::remove_all(folder_); }

  // A running gathwrite-cli generate over the export, its output in files beside it.
  struct Child {
    pid_t pid = -1;
    fs::path out;
    // Waits for the child and gives its exit status, or -1 when a signal ended it.
    int wait() const {
      int raw = 0;
      while (::waitpid(pid, &raw, 0) < 0 && errno == EINTR) {
      }
      return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
  };

  static Child Run(const std::vector<std::string>& options) {
    static int runs = 0;
    Child child;
    child.out = folder_ / ("run" + std::to_string(++runs) + ".out");
    std::vector<std::string> arguments = {
        GW_CLI_BINARY, "generate", "--seed", "3", "--settings", (folder_ / "none.ini").string(),
        "--quiet"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    arguments.push_back((folder_ / "export.txt").string());
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
      argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    child.pid = ::fork();
    if (child.pid == 0) {
      const int out = ::open(child.out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      ::dup2(out, STDOUT_FILENO);
      ::dup2(out, STDERR_FILENO);
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
    return child;
  }

  // Starts a run, waits until it has written some articles and sends it `signal`.
  void stopWith(int signal, int expectedStatus) {
    const fs::path output = folder_ / ("stopped-" + std::to_string(signal));
    const Child child = Run({"-o", output.string()});
    ASSERT_GT(child.pid, 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (FileCount(output) < 5 && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ASSERT_EQ(::kill(child.pid, signal), 0);
    EXPECT_EQ(child.wait(), expectedStatus);

    const std::map<std::string, std::string> written = Files(output);
    EXPECT_LT(written.size(), reference_.size()) << "the run stopped before its end";
    // The summary line, the counts of the messages handed over before the stop, the folder.
    const std::string printed = ReadBytes(child.out);
    const std::string firstLine =
        "已停止，处理完成，共处理 1 个文件，生成 " + std::to_string(written.size()) + " 篇\n";
    const std::string lastLine = "文章保存在：" + output.string() + "\n";
    EXPECT_TRUE(printed.starts_with(firstLine + "消息：找到 ")) << printed;
    EXPECT_NE(printed.find("\n舍弃：过短 "), std::string::npos) << printed;
    EXPECT_TRUE(printed.ends_with(lastLine)) << printed;
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 4) << printed;
    for (const auto& [name, bytes] : written) {
      const auto same = reference_.find(name);
      ASSERT_NE(same, reference_.end()) << name;
      EXPECT_EQ(bytes, same->second)
          << "a whole article, as the uninterrupted run wrote it: " << name;
    }
  }

  static fs::path folder_;
  static std::map<std::string, std::string> reference_;
};

fs::path StopSignals::folder_;
std::map<std::string, std::string> StopSignals::reference_;

TEST_F(StopSignals, CtrlCStopsTheRunAfterTheArticleInHandAndExitsWith130) {
  stopWith(SIGINT, 130);
}

TEST_F(StopSignals, SigtermStopsTheRunTheSameWayAndExitsWith143) {
  stopWith(SIGTERM, 143);
}

TEST_F(StopSignals, ASecondCtrlCEndsTheProgramWithTheSameStatus) {
  const fs::path output = folder_ / "twice";
  const Child child = Run({"-o", output.string()});
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (FileCount(output) < 1 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ASSERT_EQ(::kill(child.pid, SIGINT), 0);
  ASSERT_EQ(::kill(child.pid, SIGINT), 0);
  EXPECT_EQ(child.wait(), 130) << "an exit status, not a death by the signal";
}

}  // namespace
