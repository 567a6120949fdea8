// What --help and --version print, and the exit statuses of the program.
#pragma once

#include <string_view>

namespace gw::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFileProblem = 1;  // a file not read or written, a pattern rejected
inline constexpr int kExitUsage = 2;        // the command line itself is wrong

std::string_view UsageText();
// "gathwrite-cli " and the project version.
std::string_view VersionText();
// The line that follows every usage error.
inline constexpr std::string_view kUsageHint = "Try 'gathwrite-cli --help'.";

}  // namespace gw::cli
