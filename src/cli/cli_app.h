// gathwrite-cli from its arguments to its exit status, apart from the process itself so that
// it can run inside a test.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/progress_display.h"

namespace gw::cli {

// `arguments` are those after the program name (UTF-8). `errIsTerminal` chooses the progress
// bar over progress lines; `columns` gives the terminal's width for it. A run stopped by a
// signal (see stop_signals.h) ends with 128 + the signal's number.
int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
           bool errIsTerminal, ProgressDisplay::ColumnSource columns = {});

}  // namespace gw::cli
