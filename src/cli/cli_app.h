// gathwrite-cli from its arguments to its exit status, apart from the process itself so that
// it can run inside a test.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace gw::cli {

// `arguments` are those after the program name (UTF-8). `errIsTerminal` chooses the progress
// bar over progress lines.
int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
           bool errIsTerminal);

}  // namespace gw::cli
