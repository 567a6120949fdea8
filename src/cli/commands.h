// The subcommands of gathwrite-cli. Each prints its result on `out` (UTF-8, LF line ends),
// reports problems on `err` and returns the exit status.
#pragma once

#include <ostream>

#include "cli/cli_arguments.h"
#include "cli/cli_settings.h"
#include "cli/progress_display.h"

namespace gw::cli {

struct CommandContext {
  const CliArguments& arguments;
  const CliSettings& settings;
  std::ostream& out;
  std::ostream& err;
  bool errIsTerminal = false;             // progress draws a bar instead of lines
  ProgressDisplay::ColumnSource columns;  // the terminal's width, for the bar
};

// The progress display a command's context asks for.
ProgressDisplay::Style ProgressStyle(const CommandContext& context);

// The path the engine reads for a file argument: standard input for "-".
std::string SourcePath(const std::string& argument);

// Runs over the files, writing the articles; prints the summary line ("已停止，" before it when a
// signal stopped the run) and the folders the articles went to, one per line.
int GenerateCommand(const CommandContext& context);
// Composes the first article of the file and prints its title, then the article.
int PreviewCommand(const CommandContext& context);
// Prints every message handed to composition, in order of use; with --stats only the message
// counts (the lines the summary of generate gives).
int MessagesCommand(const CommandContext& context);
// Writes <name>_已过滤.<ext> beside each file; prints the batch summary.
int FilterCommand(const CommandContext& context);
// Lists every option with its kind, default and value in effect, as text or JSON.
int OptionsCommand(const CommandContext& context);

}  // namespace gw::cli
