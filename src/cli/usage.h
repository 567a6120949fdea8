// The program's usage: its subcommands, options and exit statuses, as one table that --help,
// the manual page and the shell completion are all written from.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace gw::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFileProblem = 1;   // a file not read or written, a pattern rejected
inline constexpr int kExitUsage = 2;         // the command line itself is wrong
inline constexpr int kExitSignalBase = 128;  // stopped by signal N: 128 + N (130 Ctrl-C, 143 TERM)

struct SubcommandUsage {
  std::string_view name;
  std::string_view arguments;  // what follows the name, e.g. "[选项] 文件..."
  std::string_view summary;    // one line, Chinese
};

struct OptionUsage {
  std::string_view shortName;  // "-o", or empty
  std::string_view longName;   // "--output"
  std::string_view argument;   // "DIR", or empty for a switch
  std::string_view summary;    // Chinese; may run over several lines
};

struct ExitStatusUsage {
  int status;
  std::string_view meaning;
};

std::span<const SubcommandUsage> Subcommands();
std::span<const OptionUsage> CommandOptions();
std::span<const ExitStatusUsage> ExitStatuses();

// What --help prints: the synopsis, the subcommands, the options and the exit statuses.
std::string UsageText();
// "gathwrite-cli " and the project version.
std::string_view VersionText();
// The line that follows every usage error.
inline constexpr std::string_view kUsageHint = "请用 gathwrite-cli --help 查看用法。";

}  // namespace gw::cli
