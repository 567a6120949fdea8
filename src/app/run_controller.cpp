#include "app/run_controller.h"

#include <QEventLoop>
#include <QFile>
#include <QMetaMethod>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <string>
#include <vector>

#include "engine/host.h"
#include "engine/run_driver.h"
#include "engine/work_pool.h"
#include "text/charset.h"

namespace gw::app {
namespace {

using Clock = std::chrono::steady_clock;
// The shortest gap between two deliveries of progress or of per-article status texts.
constexpr auto kDeliveryGap = std::chrono::milliseconds(30);

QString FromGbk(std::string_view gbk) {
  return QString::fromUtf8(GbkToUtf8(gbk));
}

// The text set after every written article begins with the counts in parentheses; every other
// status names a stage of the run.
bool IsArticleStatus(std::string_view text) {
  return !text.empty() && text.front() == '(';
}

}  // namespace

// The engine's host on the worker thread. Everything it hands to the window goes through
// post(), which runs a function on the window thread; the throttling state below is touched by
// the worker only.
class RunController::WorkerHost final : public Host {
 public:
  WorkerHost(RunController& owner, BlockedWordSettings blockedWords, std::string previewText)
      : owner_(owner),
        blockedWords_(std::move(blockedWords)),
        previewText_(std::move(previewText)) {}

  std::shared_ptr<const Options> currentOptions() override {
    const std::lock_guard lock(owner_.mutex_);
    return owner_.options_;
  }

  std::string previewSourceText() override { return previewText_; }

  BlockedWordSettings blockedWordSettings() override { return blockedWords_; }

  void setStatus(std::string_view text) override {
    const Clock::time_point now = Clock::now();
    if (IsArticleStatus(text) && now - lastStatusPost_ < kDeliveryGap) {
      pendingStatus_ = std::string(text);
      return;
    }
    // A stage supersedes the article text still held back.
    pendingStatus_.reset();
    postStatus(std::string(text), now);
  }

  void sourceStarted(int fileIndex, int fileCount) override {
    fileIndex_ = fileIndex;
    fileCount_ = fileCount;
    pendingProgress_.reset();
    postProgress(0, 0, Clock::now());
  }

  void reportProgress(int done, int total) override {
    const Clock::time_point now = Clock::now();
    if (done >= total || now - lastProgressPost_ >= kDeliveryGap) {
      pendingProgress_.reset();
      postProgress(done, total, now);
    } else {
      pendingProgress_ = std::pair{done, total};
    }
    // An article text held back goes out once its gap has passed, even when no further
    // article is written for a while.
    if (pendingStatus_ && now - lastStatusPost_ >= kDeliveryGap) {
      postStatus(std::move(*pendingStatus_), now);
      pendingStatus_.reset();
    }
  }

  bool stopRequested() override { return owner_.stop_.load(std::memory_order_relaxed); }

  void reportError(std::string_view text) override {
    post([text = FromGbk(text)](RunController& c) { emit c.errorReported(text); });
  }

  void reportFileProblem(std::string_view text) override {
    post([text = FromGbk(text)](RunController& c) { emit c.fileProblem(text); });
  }

  void rememberFirstFile(std::string_view path) override {
    post([path = QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())))](
             RunController& c) { emit c.firstFileRemembered(path); });
  }

  // Hands the summary to the window and waits until it was acknowledged (or the controller
  // goes away). When nothing listens for the summary it counts as acknowledged at once.
  void showSummary(std::string_view text) override {
    flush();
    {
      const std::lock_guard lock(summaryMutex_);
      if (abandoned_) {
        return;
      }
      summaryPending_ = true;
    }
    post([text = FromGbk(text)](RunController& c) {
      if (c.isSignalConnected(QMetaMethod::fromSignal(&RunController::summaryReady))) {
        emit c.summaryReady(text);
      } else {
        c.summaryAcknowledged();
      }
    });
    std::unique_lock lock(summaryMutex_);
    summaryDone_.wait(lock, [this] { return !summaryPending_ || abandoned_; });
  }

  void turnOffWordInsertion() override {
    {
      // The run's later sources see the box off even before the window's next setOptions.
      const std::lock_guard lock(owner_.mutex_);
      auto options = std::make_shared<Options>(*owner_.options_);
      options->选择框插入词 = false;
      owner_.options_ = std::move(options);
    }
    post([](RunController& c) { emit c.wordInsertionTurnedOff(); });
  }

  void showPreview(std::string_view title, std::string_view article) override {
    post([title = FromGbk(title), article = FromGbk(article)](RunController& c) {
      emit c.previewReady(title, article);
    });
  }

  void addPreviewArticle(std::string_view title, std::string_view article) override {
    post([title = FromGbk(title), article = FromGbk(article)](RunController& c) {
      emit c.previewArticleAdded(title, article);
    });
  }

  // Delivers what the throttle still holds back.
  void flush() {
    const Clock::time_point now = Clock::now();
    if (pendingProgress_) {
      postProgress(pendingProgress_->first, pendingProgress_->second, now);
      pendingProgress_.reset();
    }
    if (pendingStatus_) {
      postStatus(std::move(*pendingStatus_), now);
      pendingStatus_.reset();
    }
  }

  // Window thread.
  void acknowledgeSummary() {
    {
      const std::lock_guard lock(summaryMutex_);
      summaryPending_ = false;
    }
    summaryDone_.notify_all();
  }

  // Any thread: the controller is going away; nothing may wait for the window any more.
  void abandon() {
    {
      const std::lock_guard lock(summaryMutex_);
      abandoned_ = true;
    }
    summaryDone_.notify_all();
  }

  // Runs `call` on the window thread (dropped if the controller is gone by then).
  void post(std::function<void(RunController&)> call) {
    RunController* owner = &owner_;
    QMetaObject::invokeMethod(
        owner, [owner, call = std::move(call)] { call(*owner); }, Qt::QueuedConnection);
  }

 private:
  void postStatus(std::string text, Clock::time_point now) {
    lastStatusPost_ = now;
    post([text = FromGbk(text)](RunController& c) { emit c.statusChanged(text); });
  }

  void postProgress(int done, int total, Clock::time_point now) {
    lastProgressPost_ = now;
    post([index = fileIndex_, count = fileCount_, done, total](RunController& c) {
      emit c.progressChanged(index, count, done, total);
    });
  }

  RunController& owner_;
  const BlockedWordSettings blockedWords_;
  const std::string previewText_;

  // Worker thread only.
  Clock::time_point lastStatusPost_;
  Clock::time_point lastProgressPost_;
  std::optional<std::string> pendingStatus_;
  std::optional<std::pair<int, int>> pendingProgress_;
  int fileIndex_ = 0;
  int fileCount_ = 0;

  std::mutex summaryMutex_;
  std::condition_variable summaryDone_;
  bool summaryPending_ = false;
  bool abandoned_ = false;
};

RunController::RunController(QObject* parent)
    : QObject(parent), options_(std::make_shared<const Options>(Options::FormDefaults())) {}

RunController::~RunController() {
  stop_ = true;
  if (host_) {
    host_->abandon();
  }
  if (worker_.joinable()) {
    worker_.join();
  }
}

void RunController::setOptions(const Options& options) {
  auto snapshot = std::make_shared<const Options>(options);
  const std::lock_guard lock(mutex_);
  options_ = std::move(snapshot);
}

void RunController::setSeed(std::optional<std::uint64_t> seed) {
  const std::lock_guard lock(mutex_);
  seed_ = seed;
}

bool RunController::busy() const {
  return busy_;
}

bool RunController::startRun(const QStringList& files, const BlockedWordSettings& blockedWords) {
  if (busy_) {
    return false;
  }
  std::vector<std::string> paths;
  paths.reserve(static_cast<std::size_t>(files.size()));
  for (const QString& file : files) {
    paths.push_back(QFile::encodeName(file).toStdString());
  }
  host_ = std::make_unique<WorkerHost>(*this, blockedWords, std::string());
  launch([paths = std::move(paths), seed = seed_](WorkerHost& host) {
    RunFiles(host, paths, seed, WorkPool::ProcessorCount());
  });
  return true;
}

bool RunController::startPreview(const QString& sourceText,
                                 const BlockedWordSettings& blockedWords) {
  if (busy_) {
    return false;
  }
  host_ = std::make_unique<WorkerHost>(*this, blockedWords, Utf8ToGbk(sourceText.toStdString()));
  launch([seed = seed_](WorkerHost& host) { RunPreview(host, seed); });
  return true;
}

void RunController::requestStop() {
  if (busy_) {
    stop_ = true;
  }
}

void RunController::waitUntilIdle() {
  if (!busy_) {
    return;
  }
  QEventLoop loop;
  connect(this, &RunController::finished, &loop, &QEventLoop::quit);
  // busy_ changes only on this thread, inside the loop, so the end cannot slip in between.
  if (busy_) {
    loop.exec();
  }
}

void RunController::summaryAcknowledged() {
  if (host_) {
    host_->acknowledgeSummary();
  }
}

void RunController::launch(std::function<void(WorkerHost&)> job) {
  stop_ = false;
  busy_ = true;
  WorkerHost* host = host_.get();
  worker_ = std::thread([this, host, job = std::move(job)] {
    try {
      job(*host);
    } catch (const std::exception& error) {
      // A run never ends the program: whatever the engine could not cope with (memory, most
      // likely) ends the job and is told to the user.
      host->reportError(Utf8ToGbk("生成中断：") + Utf8ToGbk(error.what()));
    } catch (...) {
      host->reportError(Utf8ToGbk("生成中断。"));
    }
    host->flush();
    host->post([](RunController& c) {
      c.worker_.join();
      c.host_.reset();
      c.stop_ = false;
      c.busy_ = false;
      emit c.finished();
    });
  });
}

}  // namespace gw::app
