// gathwrite-cli: the command-line front end of Gathwrite.
//
// A Ctrl-C ends the process at once, as the default signal action does; an article file being
// written at that moment may be left short.
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_app.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  std::vector<std::string> arguments(argv + 1, argv + argc);
  const int status = gw::cli::RunCli(arguments, std::cout, std::cerr, ::isatty(STDERR_FILENO) != 0);
  std::cout.flush();
  return status;
}
