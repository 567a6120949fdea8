// The command line of gathwrite-cli: a subcommand, its options and its files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gw::cli {

enum class Command { Generate, Preview, Messages, Filter, Options, Help, Version };

// One --set NAME=VALUE, both UTF-8 as typed.
struct OptionOverride {
  std::string name;
  std::string value;
};

// The file argument that stands for standard input.
inline constexpr std::string_view kStandardInput = "-";

// The control that -o/--output sets.
inline constexpr std::string_view kOutputFolderOption = "编辑框保存文件夹";

struct CliArguments {
  Command command = Command::Help;
  std::optional<std::filesystem::path> settingsFile;
  // --set and -o, in command-line order; a later one wins.
  std::vector<OptionOverride> overrides;
  std::optional<std::uint64_t> seed;
  // Threads of a generation run, the main thread's included; nothing: one per processor.
  std::optional<int> threads;
  bool quiet = false;
  bool json = false;               // options: print JSON
  bool stats = false;              // messages: print only the message counts
  std::vector<std::string> files;  // UTF-8 file-system paths; "-" is standard input

  // Whether one of the files is "-".
  bool readsStandardInput() const;
};

// Either the arguments or the reason they make no valid command line.
struct ParsedArguments {
  CliArguments arguments;
  std::string usageError;  // empty when the command line is valid (UTF-8, Chinese)
};

// Reads the arguments after the program name. Options may come before or after the subcommand
// and take their value either as the next argument or after "=" (--seed=7); "--" ends the
// options, so that a file name may start with "-". --help and --version win over everything
// that follows them.
ParsedArguments ParseArguments(const std::vector<std::string>& arguments);

// A decimal thread count of 1 to kMostThreads; nothing for anything else.
inline constexpr int kMostThreads = 256;
std::optional<int> ParseThreadCount(std::string_view text);

// A decimal seed of 0 to 2^64 - 1; nothing for anything else.
std::optional<std::uint64_t> ParseSeed(std::string_view text);

}  // namespace gw::cli
