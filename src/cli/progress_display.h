// Progress of a command on the error stream: every status text on a line of its own, or, on a
// terminal, one bar line redrawn in place that fits the terminal's width.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>

namespace gw::cli {

class ProgressDisplay {
 public:
  enum class Style {
    Silent,  // --quiet
    Lines,   // the status texts, one per line (a pipe or a file)
    Bar,     // a bar with the times and the latest status, redrawn a few times a second
  };
  using Clock = std::chrono::steady_clock;
  // The terminal's columns, asked at every redraw.
  using ColumnSource = std::function<std::size_t()>;
  using TimeSource = std::function<Clock::time_point()>;

  // Without sources the bar assumes 80 columns and the steady clock.
  ProgressDisplay(std::ostream& stream, Style style, ColumnSource columns = {},
                  TimeSource now = {});
  ProgressDisplay(const ProgressDisplay&) = delete;
  ProgressDisplay& operator=(const ProgressDisplay&) = delete;
  ~ProgressDisplay() { clear(); }

  // A new status text (GBK).
  void status(std::string_view gbk);
  // Source `fileIndex` (from 1) of `fileCount` starts.
  void sourceStarted(int fileIndex, int fileCount);
  // `done` of `total` messages of the current source taken.
  void progress(int done, int total);
  // Takes the bar off the screen, so that other output starts on a clean line.
  void clear();

  // The bar line for `columns` columns (without the carriage return and erase that start it):
  // "[###   ] 42% 已用 0:12 剩余 0:17 " and the status, cut to fit into columns - 1, so that the
  // cursor never reaches the last column and the line never wraps.
  std::string barLine(std::size_t columns) const;

 private:
  void drawBar(bool force);
  // Share of the whole run done, 0 to 1: finished sources and the messages of the current one.
  double fractionDone() const;

  std::ostream& stream_;
  Style style_;
  ColumnSource columns_;
  TimeSource now_;
  Clock::time_point started_;
  std::string status_;  // UTF-8, one line
  int fileIndex_ = 1;
  int fileCount_ = 1;
  int done_ = 0;
  int total_ = 0;
  bool barShown_ = false;
  Clock::time_point lastDraw_{};
};

// Seconds as "m:ss", or "h:mm:ss" from an hour on.
std::string ElapsedText(long long seconds);

}  // namespace gw::cli
