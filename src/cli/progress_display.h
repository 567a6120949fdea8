// Progress of a command on the error stream: every status text on a line of its own, or, on a
// terminal, one bar line redrawn in place.
#pragma once

#include <chrono>
#include <ostream>
#include <string>
#include <string_view>

namespace gw::cli {

class ProgressDisplay {
 public:
  enum class Style {
    Silent,  // --quiet
    Lines,   // the status texts, one per line (a pipe or a file)
    Bar,     // a bar with the latest status, redrawn at most a few times a second (a terminal)
  };

  ProgressDisplay(std::ostream& stream, Style style) : stream_(stream), style_(style) {}
  ProgressDisplay(const ProgressDisplay&) = delete;
  ProgressDisplay& operator=(const ProgressDisplay&) = delete;
  ~ProgressDisplay() { clear(); }

  // A new status text (GBK).
  void status(std::string_view gbk);
  // `done` of `total` messages of the current source taken.
  void progress(int done, int total);
  // Takes the bar off the screen, so that other output starts on a clean line.
  void clear();

 private:
  void drawBar(bool force);

  std::ostream& stream_;
  Style style_;
  std::string status_;  // UTF-8, one line
  int done_ = 0;
  int total_ = 0;
  bool barShown_ = false;
  std::chrono::steady_clock::time_point lastDraw_{};
};

}  // namespace gw::cli
