#include "cli/progress_display.h"

#include "cli/terminal_text.h"

namespace gw::cli {
namespace {

constexpr int kBarWidth = 24;
// Most status texts end in a file name or a title; the bar shows their start.
constexpr std::size_t kStatusColumns = 48;
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

// The first `columns` characters of UTF-8 text, counting a character of three or more bytes
// (CJK) as two columns.
std::string FitColumns(const std::string& utf8, std::size_t columns) {
  std::size_t used = 0;
  std::size_t i = 0;
  while (i < utf8.size()) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    const std::size_t width = length >= 3 ? 2 : 1;
    if (used + width > columns) {
      break;
    }
    used += width;
    i += length;
  }
  return utf8.substr(0, i);
}

}  // namespace

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

void ProgressDisplay::drawBar(bool force) {
  const auto now = std::chrono::steady_clock::now();
  if (!force && barShown_ && now - lastDraw_ < kRedrawInterval) {
    return;
  }
  lastDraw_ = now;
  const int percent = total_ > 0 ? static_cast<int>(100LL * done_ / total_) : 0;
  const int filled = kBarWidth * percent / 100;
  std::string line = "\r\033[K[";
  line.append(static_cast<std::size_t>(filled), '#');
  line.append(static_cast<std::size_t>(kBarWidth - filled), ' ');
  line += "] " + std::to_string(percent) + "% " + FitColumns(status_, kStatusColumns);
  stream_ << line << std::flush;
  barShown_ = true;
}

}  // namespace gw::cli
