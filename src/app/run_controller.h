// Runs generation off the window thread. The controller lives on the window thread and is the
// engine's host for one run or preview at a time: it keeps the options snapshot the worker
// reads, carries the worker's status, progress and results back as queued signals, and passes a
// stop request on as an atomic flag (the run ends at the next message).
//
// The worker is a std::thread started for each job and joined when the job's end reaches the
// window thread. Every signal is emitted on the window thread (the worker posts to it), so slots
// run there whatever the connection type. Progress and the per-article status texts are
// coalesced to at most one delivery every 30 ms; the latest value always arrives.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "engine/blocked_words.h"
#include "engine/options.h"

namespace gw::app {

class RunController : public QObject {
  Q_OBJECT

 public:
  explicit RunController(QObject* parent = nullptr);
  ~RunController() override;  // requests a stop and waits for the worker

  // The options as the controls hold them now; call on every change. The worker sees the new
  // values at its next read (next message, paragraph or article).
  void setOptions(const Options& options);
  // A seed for every random draw of the next runs (tests); none: every run differs.
  void setSeed(std::optional<std::uint64_t> seed);

  bool busy() const;

  // Starts a run over `files` (a file list as the dialog returned it). Returns false when a run
  // or preview is already in progress.
  bool startRun(const QStringList& files, const BlockedWordSettings& blockedWords);
  // Starts a preview of `sourceText` (the source-message box). False when busy.
  bool startPreview(const QString& sourceText, const BlockedWordSettings& blockedWords);
  // Asks the running job to stop at its next message.
  void requestStop();
  // Blocks until the running job (if any) has ended, delivering its signals.
  void waitUntilIdle();

 signals:
  void statusChanged(const QString& text);
  // The current file's position (1-based) of the run's files, and messages taken of the current
  // file's messages (0 of 0 while the file is loading). A preview reports file 0 of 0.
  void progressChanged(int fileIndex, int fileCount, int messagesDone, int messageCount);
  // The first article of a preview; then every later one, in order (a new preview starts over
  // with previewReady).
  void previewReady(const QString& title, const QString& article);
  void previewArticleAdded(const QString& title, const QString& article);
  void errorReported(const QString& text);
  // A file the run stepped over (unreadable source, article that could not be written); the
  // window may log it or ignore it.
  void fileProblem(const QString& text);
  void wordInsertionTurnedOff();
  void firstFileRemembered(const QString& path);
  // The end of a run: the summary box is the window's to show; the controller waits for
  // summaryAcknowledged() before it sets the resting status and emits finished().
  void summaryReady(const QString& text);
  void finished();

 public slots:
  void summaryAcknowledged();

 private:
  class WorkerHost;
  void launch(std::function<void(WorkerHost&)> job);

  mutable std::mutex mutex_;
  std::shared_ptr<const Options> options_;
  std::optional<std::uint64_t> seed_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> busy_{false};
  std::thread worker_;
  std::unique_ptr<WorkerHost> host_;
};

}  // namespace gw::app
