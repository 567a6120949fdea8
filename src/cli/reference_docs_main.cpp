// gw_cli_docs MAN_PAGE COMPLETION: writes gathwrite-cli's manual page and bash completion at
// build time.
#include <fstream>
#include <iostream>
#include <string>

#include "cli/reference_docs.h"

namespace {

bool WriteFile(const char* path, const std::string& text) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
  file.close();
  if (!file) {
    std::cerr << "gw_cli_docs: cannot write " << path << '\n';
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: gw_cli_docs MAN_PAGE COMPLETION\n";
    return 2;
  }
  const bool written =
      WriteFile(argv[1], gw::cli::ManPage()) && WriteFile(argv[2], gw::cli::BashCompletion());
  return written ? 0 : 1;
}
