// The width of the terminal a file descriptor writes to, followed through window resizes.
#pragma once

#include <cstddef>

namespace gw::cli {

// Columns assumed when the terminal does not say.
inline constexpr std::size_t kDefaultColumns = 80;

class TerminalWidth {
 public:
  // Starts watching for resizes (SIGWINCH) of the terminal on `fd`.
  explicit TerminalWidth(int fd);

  // The terminal's columns, read again when the window changed size since the last call.
  std::size_t columns();

 private:
  int fd_;
  std::size_t columns_ = 0;
};

}  // namespace gw::cli
