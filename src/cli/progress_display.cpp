#include "cli/progress_display.h"

#include <algorithm>
#include <cmath>

#include "cli/terminal_text.h"
#include "cli/terminal_width.h"

namespace gw::cli {
namespace {

constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
constexpr std::size_t kMostBarCells = 30;
// Before this much of the run is done, or this early, an estimate of the time left means nothing.
constexpr double kLeastFractionForEstimate = 0.001;
constexpr double kLeastSecondsForEstimate = 1.0;

std::string TwoDigits(long long value) {
  return (value < 10 ? "0" : "") + std::to_string(value);
}

}  // namespace

std::string ElapsedText(long long seconds) {
  seconds = std::max(seconds, 0LL);
  const long long hours = seconds / 3600;
  const long long minutes = seconds / 60 % 60;
  const std::string rest = TwoDigits(seconds % 60);
  if (hours > 0) {
    return std::to_string(hours) + ":" + TwoDigits(minutes) + ":" + rest;
  }
  return std::to_string(minutes) + ":" + rest;
}

ProgressDisplay::ProgressDisplay(std::ostream& stream, Style style, ColumnSource columns,
                                 TimeSource now)
    : stream_(stream),
      style_(style),
      columns_(columns ? std::move(columns) : [] { return kDefaultColumns; }),
      now_(now ? std::move(now) : [] { return Clock::now(); }),
      started_(now_()) {}

void ProgressDisplay::status(std::string_view gbk) {
  switch (style_) {
    case Style::Silent:
      return;
    case Style::Lines:
      stream_ << ToTerminalLine(gbk) << '\n';
      return;
    case Style::Bar:
      status_ = ToTerminalLine(gbk);
      drawBar(false);
      return;
  }
}

void ProgressDisplay::sourceStarted(int fileIndex, int fileCount) {
  if (fileCount > 0) {
    fileIndex_ = std::clamp(fileIndex, 1, fileCount);
    fileCount_ = fileCount;
  }
  done_ = 0;
  total_ = 0;
}

void ProgressDisplay::progress(int done, int total) {
  if (style_ != Style::Bar) {
    return;
  }
  done_ = done;
  total_ = total;
  drawBar(done == total);
}

void ProgressDisplay::clear() {
  if (barShown_) {
    stream_ << "\r\033[K" << std::flush;
    barShown_ = false;
  }
}

double ProgressDisplay::fractionDone() const {
  const double inSource = total_ > 0 ? std::clamp(double(done_) / total_, 0.0, 1.0) : 0.0;
  return std::clamp((fileIndex_ - 1 + inSource) / fileCount_, 0.0, 1.0);
}

std::string ProgressDisplay::barLine(std::size_t columns) const {
  const double fraction = fractionDone();
  const double elapsed = std::chrono::duration<double>(now_() - started_).count();
  std::string left = "--:--";
  if (fraction >= 1.0) {
    left = ElapsedText(0);
  } else if (fraction >= kLeastFractionForEstimate && elapsed >= kLeastSecondsForEstimate) {
    left = ElapsedText(std::llround(elapsed * (1.0 - fraction) / fraction));
  }
  const std::size_t cells = std::min(kMostBarCells, columns / 4);
  const std::size_t filled = static_cast<std::size_t>(std::floor(fraction * double(cells)));
  std::string line;
  if (cells > 0) {
    line = "[" + std::string(filled, '#') + std::string(cells - filled, ' ') + "] ";
  }
  line += std::to_string(static_cast<int>(fraction * 100)) + "% 已用 " +
          ElapsedText(static_cast<long long>(elapsed)) + " 剩余 " + left + " " + status_;
  return FitColumns(line, columns > 0 ? columns - 1 : 0);
}

void ProgressDisplay::drawBar(bool force) {
  const auto now = now_();
  if (!force && barShown_ && now - lastDraw_ < kRedrawInterval) {
    return;
  }
  lastDraw_ = now;
  stream_ << "\r\033[K" << barLine(columns_()) << std::flush;
  barShown_ = true;
}

}  // namespace gw::cli
