// The progress of the built gathwrite-cli on a terminal: a pseudo-terminal of a set width, and a
// change of that width while the program runs.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/terminal_text.h"
#include "cli_run.h"

namespace {

namespace fs = std::filesystem;
using gw::cli::DisplayColumns;
using gw::cli::testing::ShellQuoted;

constexpr std::string_view kRedraw = "\r\033[K";

// The pieces of terminal output between line ends and redraws, that is every line as it stood
// on the screen.
std::vector<std::string> ScreenLines(const std::string& output) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < output.size(); ++i) {
    if (output.compare(i, kRedraw.size(), kRedraw) == 0) {
      lines.push_back(line);
      line.clear();
      i += kRedraw.size() - 1;
    } else if (output[i] == '\n' || output[i] == '\r') {
      lines.push_back(line);
      line.clear();
    } else {
      line += output[i];
    }
  }
  lines.push_back(line);
  return lines;
}

class TerminalProgress : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "gw_cli_pty_XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    const std::string generate = ShellQuoted(GW_GENERATE_EXPORT) +
                                 " --seed 5 --megabytes 4 --output " +
                                 ShellQuoted((folder_ / "群聊记录导出文件名很长很长.txt").string());
    ASSERT_EQ(std::system(generate.c_str()), 0);
  }
  void TearDown() override { fs::remove_all(folder_); }

  // Runs generate on a terminal of `columns` columns; once the first bar shows, the terminal
  // becomes `resizedTo` columns wide (when not 0). Gives everything the terminal received.
  std::string runOnTerminal(unsigned short columns, unsigned short resizedTo) {
    struct winsize size {};
    size.ws_row = 24;
    size.ws_col = columns;
    int master = -1;
    std::string settings = (folder_ / "none.ini").string();
    std::string out = (folder_ / "out").string();
    std::string source = (folder_ / "群聊记录导出文件名很长很长.txt").string();
    std::vector<std::string> arguments = {GW_CLI_BINARY, "generate", "--seed", "1",   "--settings",
                                          settings,      "-o",       out,      source};
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
      argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    const pid_t pid = ::forkpty(&master, nullptr, nullptr, &size);
    if (pid == 0) {
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
    EXPECT_GT(pid, 0);
    std::string received;
    bool resized = resizedTo == 0;
    char buffer[4096];
    while (true) {
      struct pollfd ready {
        master, POLLIN, 0
      };
      if (::poll(&ready, 1, 30000) <= 0) {
        break;
      }
      const ssize_t got = ::read(master, buffer, sizeof buffer);
      if (got <= 0) {
        break;  // the program ended and closed the terminal
      }
      received.append(buffer, static_cast<std::size_t>(got));
      if (!resized && received.find("剩余") != std::string::npos) {
        size.ws_col = resizedTo;
        ::ioctl(master, TIOCSWINSZ, &size);
        resized = true;
      }
    }
    ::close(master);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << received;
    return received;
  }

  fs::path folder_;
};

TEST_F(TerminalProgress, TheBarFitsTheTerminalAndShowsTheTimes) {
  const std::string output = runOnTerminal(40, 0);
  bool sawBar = false;
  for (const std::string& line : ScreenLines(output)) {
    if (line.starts_with("[")) {
      sawBar = true;
      EXPECT_NE(line.find("% 已用 "), std::string::npos) << line;
      EXPECT_LE(DisplayColumns(line), 39u) << "never wraps: " << line;
    }
  }
  EXPECT_TRUE(sawBar) << output;
  EXPECT_NE(output.find("处理完成，共处理 1 个文件，生成 "), std::string::npos) << output;
}

TEST_F(TerminalProgress, TheBarFollowsAResizeOfTheTerminal) {
  const std::string output = runOnTerminal(100, 30);
  std::vector<std::string> bars;
  for (const std::string& line : ScreenLines(output)) {
    if (line.starts_with("[")) {
      bars.push_back(line);
    }
  }
  ASSERT_GE(bars.size(), 2u) << output;
  EXPECT_GT(DisplayColumns(bars.front()), 29u) << "drawn for 100 columns first: " << bars.front();
  EXPECT_LE(DisplayColumns(bars.back()), 29u) << "then for 30: " << bars.back();
}

}  // namespace
