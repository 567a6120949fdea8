// How the window thread fares while a run works through a large export: the run controller
// starts a run, a 10 ms timer on the window thread records how late its ticks come, every tick
// posts an event and records how long it waits to be delivered, and after a while the stop is
// requested and the time until the run ends is taken.
//
//   gw_bench_responsiveness --export FILE --output DIR [--stop-after SECONDS]
//                           [--stop-after-messages] [--words FILE]
//
// --stop-after-messages counts the delay from the first message taken (the run is then in its
// message loop) instead of from the start. --words turns the blocked-word filter on with that
// library (one word a line).
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/run_controller.h"
#include "engine/options.h"

namespace {

struct Arguments {
  QString exportPath;
  std::string outputFolder;
  double stopAfterSeconds = 3.0;
  bool fromFirstMessage = false;
  std::string wordsPath;
};

bool Parse(int argc, char** argv, Arguments& arguments) {
  for (int i = 1; i < argc; ++i) {
    const std::string flag = argv[i];
    const bool hasValue = i + 1 < argc;
    if (flag == "--export" && hasValue) {
      arguments.exportPath = QString::fromLocal8Bit(argv[++i]);
    } else if (flag == "--output" && hasValue) {
      arguments.outputFolder = argv[++i];
    } else if (flag == "--stop-after" && hasValue) {
      arguments.stopAfterSeconds = std::atof(argv[++i]);
    } else if (flag == "--stop-after-messages") {
      arguments.fromFirstMessage = true;
    } else if (flag == "--words" && hasValue) {
      arguments.wordsPath = argv[++i];
    } else {
      return false;
    }
  }
  return !arguments.exportPath.isEmpty() && !arguments.outputFolder.empty();
}

double Ms(qint64 nanoseconds) {
  return static_cast<double>(nanoseconds) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  Arguments arguments;
  if (!Parse(argc, argv, arguments)) {
    std::fprintf(stderr,
                 "usage: gw_bench_responsiveness --export FILE --output DIR [--stop-after S] "
                 "[--stop-after-messages] [--words FILE]\n");
    return 2;
  }

  gw::Options options = gw::Options::FormDefaults();
  // Paragraphs of 3..8 messages, articles of 5..10 paragraphs: a few hundred articles a second
  // rather than one file per message.
  options.编辑框连横1 = "3";
  options.编辑框连横2 = "8";
  options.编辑框合纵1 = "5";
  options.编辑框合纵2 = "10";
  options.编辑框保存文件夹 = arguments.outputFolder;
  gw::BlockedWordSettings blockedWords;
  if (!arguments.wordsPath.empty()) {
    options.选择框过滤屏蔽词 = true;
    blockedWords.separatedByLineBreaks = true;
    blockedWords.libraryPath = arguments.wordsPath;
  }

  gw::app::RunController controller;
  controller.setOptions(options);
  controller.setSeed(42);

  QElapsedTimer clock;
  clock.start();
  qint64 lastTick = -1;
  qint64 worstTickLateness = 0;  // beyond the 10 ms interval
  qint64 worstDelivery = 0;      // from posting an event to its delivery
  long ticks = 0;
  long statusTexts = 0;
  long progressReports = 0;
  qint64 firstMessageAt = -1;
  qint64 stopAt = -1;
  qint64 summaryAt = -1;
  qint64 finishedAt = -1;
  QString stageAtStop;
  QString lastStatus;
  int doneAtStop = 0;
  int totalAtStop = 0;
  int lastDone = 0;
  int lastTotal = 0;

  QTimer ticker;
  ticker.setTimerType(Qt::PreciseTimer);
  ticker.setInterval(10);
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    const qint64 now = clock.nsecsElapsed();
    if (lastTick >= 0) {
      worstTickLateness = std::max(worstTickLateness, now - lastTick - 10'000'000);
    }
    lastTick = now;
    ++ticks;
    QMetaObject::invokeMethod(
        &controller,
        [&, posted = now] {
          worstDelivery = std::max(worstDelivery, clock.nsecsElapsed() - posted);
        },
        Qt::QueuedConnection);
  });

  const auto stop = [&] {
    if (stopAt >= 0 || !controller.busy()) {
      return;
    }
    stopAt = clock.nsecsElapsed();
    stageAtStop = lastStatus;
    doneAtStop = lastDone;
    totalAtStop = lastTotal;
    controller.requestStop();
  };
  const int stopDelayMs = static_cast<int>(arguments.stopAfterSeconds * 1000);

  QObject::connect(&controller, &gw::app::RunController::statusChanged, [&](const QString& text) {
    ++statusTexts;
    lastStatus = text;
  });
  QObject::connect(&controller, &gw::app::RunController::progressChanged,
                   [&](int, int, int done, int total) {
                     ++progressReports;
                     lastDone = done;
                     lastTotal = total;
                     if (done > 0 && firstMessageAt < 0) {
                       firstMessageAt = clock.nsecsElapsed();
                       if (arguments.fromFirstMessage) {
                         QTimer::singleShot(stopDelayMs, &controller, stop);
                       }
                     }
                   });
  QObject::connect(&controller, &gw::app::RunController::summaryReady, [&](const QString& text) {
    summaryAt = clock.nsecsElapsed();
    std::printf("summary: %s\n", text.toUtf8().constData());
    controller.summaryAcknowledged();
  });
  QObject::connect(&controller, &gw::app::RunController::finished, [&] {
    finishedAt = clock.nsecsElapsed();
    app.quit();
  });

  ticker.start();
  if (!controller.startRun({arguments.exportPath}, blockedWords)) {
    return 1;
  }
  const qint64 startedAt = clock.nsecsElapsed();
  if (!arguments.fromFirstMessage) {
    QTimer::singleShot(stopDelayMs, &controller, stop);
  }
  app.exec();
  ticker.stop();

  std::printf("run: %.0f ms, %ld ticks, %ld status texts, %ld progress reports delivered\n",
              Ms(finishedAt - startedAt), ticks, statusTexts, progressReports);
  if (firstMessageAt >= 0) {
    std::printf("loading and splitting before the first message: %.0f ms\n",
                Ms(firstMessageAt - startedAt));
  }
  std::printf(
      "event loop: worst tick lateness %.1f ms, worst post-to-delivery %.1f ms "
      "(target: at most 50 ms)\n",
      Ms(worstTickLateness), Ms(worstDelivery));
  if (stopAt < 0) {
    std::printf("stop: the run ended before the stop was requested\n");
    return 0;
  }
  std::printf("stop requested at %.0f ms, during \"%s\" (%d of %d messages)\n",
              Ms(stopAt - startedAt), stageAtStop.toUtf8().constData(), doneAtStop, totalAtStop);
  std::printf(
      "stop: run ended (summary) after %.1f ms, finished after %.1f ms "
      "(target: at most 200 ms)\n",
      Ms(summaryAt - stopAt), Ms(finishedAt - stopAt));
  return 0;
}
