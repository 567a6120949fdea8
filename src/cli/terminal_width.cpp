#include "cli/terminal_width.h"

#include <signal.h>
#include <sys/ioctl.h>

#include <atomic>

namespace gw::cli {
namespace {

std::atomic<bool> gResized{false};

extern "C" void OnWindowChange(int) {
  gResized.store(true);
}

std::size_t ReadColumns(int fd) {
  struct winsize size {};
  if (::ioctl(fd, TIOCGWINSZ, &size) != 0 || size.ws_col == 0) {
    return kDefaultColumns;
  }
  return size.ws_col;
}

}  // namespace

TerminalWidth::TerminalWidth(int fd) : fd_(fd) {
  struct sigaction action {};
  action.sa_handler = OnWindowChange;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGWINCH, &action, nullptr);
}

std::size_t TerminalWidth::columns() {
  if (columns_ == 0 || gResized.exchange(false)) {
    columns_ = ReadColumns(fd_);
  }
  return columns_;
}

}  // namespace gw::cli
