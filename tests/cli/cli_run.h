// Running the built gathwrite-cli from a test: in a folder of the test's, with its output and
// exit status captured.
#pragma once

#include <stdlib.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace gw::cli::testing {

// What a run printed and how it ended.
struct CliResult {
  int status = -1;  // the exit status; 124 when the run had to be stopped
  std::string out;  // UTF-8 as printed
  std::string err;
};

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// `argument` as one word for the shell.
inline std::string ShellQuoted(const std::string& argument) {
  std::string quoted = "'";
  for (const char c : argument) {
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  }
  return quoted + "'";
}

// Runs the program in `folder` with `arguments` (a command and what follows it), standard input
// read from `input` (empty by default). Unless the arguments name a settings file, `settings` is
// given. A run that does not end within a minute is stopped. The output is captured beside
// `folder`, not in it.
inline CliResult RunCli(const std::filesystem::path& folder, std::vector<std::string> arguments,
                        const std::filesystem::path& settings,
                        const std::filesystem::path& input = "/dev/null") {
  if (std::find(arguments.begin(), arguments.end(), "--settings") == arguments.end() &&
      arguments.size() > 1) {
    arguments.insert(arguments.begin() + 1, {"--settings", settings.string()});
  }
  std::string command =
      "cd " + ShellQuoted(folder.string()) + " && timeout 60 " + ShellQuoted(GW_CLI_BINARY);
  for (const std::string& argument : arguments) {
    command += " " + ShellQuoted(argument);
  }
  const std::filesystem::path out = folder.parent_path() / (folder.filename().string() + ".out");
  const std::filesystem::path err = folder.parent_path() / (folder.filename().string() + ".err");
  command += " >" + ShellQuoted(out.string()) + " 2>" + ShellQuoted(err.string()) + " <" +
             ShellQuoted(input.string());
  const int raw = std::system(command.c_str());
  CliResult result;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.out = ReadBytes(out);
  result.err = ReadBytes(err);
  std::filesystem::remove(out);
  std::filesystem::remove(err);
  return result;
}

}  // namespace gw::cli::testing
