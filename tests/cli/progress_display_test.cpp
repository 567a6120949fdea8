#include "cli/progress_display.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cli/terminal_text.h"
#include "text/charset.h"

namespace gw::cli {
namespace {

using Clock = ProgressDisplay::Clock;
using std::chrono::seconds;

// A display on a string stream, with a terminal width and a clock the test moves.
struct BarFixture {
  std::ostringstream stream;
  std::size_t columns = 80;
  Clock::time_point now{};
  ProgressDisplay display{stream, ProgressDisplay::Style::Bar, [this] { return columns; },
                          [this] { return now; }};

  // What the screen shows after the last redraw: the text after the last erase.
  std::string lastLine() const {
    const std::string all = stream.str();
    const std::size_t erase = all.rfind("\r\033[K");
    return erase == std::string::npos ? all : all.substr(erase + 4);
  }
};

TEST(ProgressBar, NeverReachesTheLastColumnWhateverTheWidthAndTheStatus) {
  const std::string status = Utf8ToGbk("正在生成文章..(3:12) 城南旧事与边城的读书会记录《第二本》");
  for (std::size_t columns = 1; columns <= 120; ++columns) {
    BarFixture bar;
    bar.columns = columns;
    bar.display.status(status);
    bar.display.progress(5, 10);
    const std::string line = bar.lastLine();
    EXPECT_LE(DisplayColumns(line), columns - 1) << columns << ": " << line;
    EXPECT_EQ(line.find('\n'), std::string::npos);
  }
}

TEST(ProgressBar, FollowsANewWidthAtTheNextRedraw) {
  BarFixture bar;
  bar.display.status(Utf8ToGbk(std::string(200, 'x')));
  EXPECT_EQ(DisplayColumns(bar.lastLine()), 79u);
  bar.columns = 40;
  bar.now += seconds(1);
  bar.display.progress(1, 2);
  EXPECT_EQ(DisplayColumns(bar.lastLine()), 39u);
}

TEST(ProgressBar, ShowsTheTimeSpentAndTheTimeLeftFromTheShareDone) {
  BarFixture bar;
  bar.columns = 200;
  bar.display.sourceStarted(1, 2);
  bar.display.progress(0, 100);
  EXPECT_NE(bar.lastLine().find("0% 已用 0:00 剩余 --:-- "), std::string::npos) << bar.lastLine();

  // Half of the first of two files after 30 s: a quarter of the run, 90 s left.
  bar.now += seconds(30);
  bar.display.progress(50, 100);
  EXPECT_NE(bar.lastLine().find("25% 已用 0:30 剩余 1:30 "), std::string::npos) << bar.lastLine();
  EXPECT_TRUE(bar.lastLine().starts_with("[" + std::string(7, '#') + std::string(23, ' ') + "]"))
      << "a quarter of the 30 cells of a wide terminal, rounded down: " << bar.lastLine();

  // The second file starts after 2 minutes: half of the run is done.
  bar.now += seconds(90);
  bar.display.sourceStarted(2, 2);
  bar.display.progress(0, 10);
  EXPECT_NE(bar.lastLine().find("50% 已用 2:00 剩余 2:00 "), std::string::npos) << bar.lastLine();

  bar.now += seconds(3600);
  bar.display.progress(10, 10);
  EXPECT_NE(bar.lastLine().find("100% 已用 1:02:00 剩余 0:00 "), std::string::npos)
      << bar.lastLine();
}

TEST(ProgressBar, RedrawsAtMostTenTimesASecondButAlwaysAtTheEndOfASource) {
  BarFixture bar;
  bar.display.progress(1, 100);
  const std::size_t after = bar.stream.str().size();
  bar.display.progress(2, 100);
  EXPECT_EQ(bar.stream.str().size(), after) << "too soon";
  bar.display.progress(100, 100);
  EXPECT_GT(bar.stream.str().size(), after) << "a finished source is always shown";
}

TEST(ProgressLines, OnAPipeEveryStatusHasItsOwnLineAndNoBar) {
  std::ostringstream stream;
  {
    ProgressDisplay display(stream, ProgressDisplay::Style::Lines, [] { return std::size_t{10}; });
    display.status(Utf8ToGbk("正在分析格式..(1:1) 一个很长很长很长很长的文件名"));
    display.sourceStarted(1, 1);
    display.progress(3, 4);
    display.status(Utf8ToGbk("第二行"));
  }
  EXPECT_EQ(stream.str(), "正在分析格式..(1:1) 一个很长很长很长很长的文件名\n第二行\n");
}

TEST(ElapsedText, MinutesAndSecondsThenHours) {
  EXPECT_EQ(ElapsedText(0), "0:00");
  EXPECT_EQ(ElapsedText(59), "0:59");
  EXPECT_EQ(ElapsedText(61), "1:01");
  EXPECT_EQ(ElapsedText(3599), "59:59");
  EXPECT_EQ(ElapsedText(3600), "1:00:00");
  EXPECT_EQ(ElapsedText(-5), "0:00");
}

}  // namespace
}  // namespace gw::cli
