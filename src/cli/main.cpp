// gathwrite-cli: the command-line front end of Gathwrite.
//
// Ctrl-C and SIGTERM stop a run as the stop button does (see stop_signals.h); the progress bar
// follows the width of the terminal on standard error.
#include <unistd.h>

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "cli/stop_signals.h"
#include "cli/terminal_width.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  std::vector<std::string> arguments(argv + 1, argv + argc);
  gw::cli::InstallStopSignals();
  const bool errIsTerminal = ::isatty(STDERR_FILENO) != 0;
  std::optional<gw::cli::TerminalWidth> width;
  gw::cli::ProgressDisplay::ColumnSource columns;
  if (errIsTerminal) {
    width.emplace(STDERR_FILENO);
    columns = [&width] { return width->columns(); };
  }
  const int status = gw::cli::RunCli(arguments, std::cout, std::cerr, errIsTerminal, columns);
  std::cout.flush();
  return status;
}
