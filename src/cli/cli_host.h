// The engine's host on the command line: a fixed snapshot of the options, stop requests from
// SIGINT and SIGTERM, progress on the error stream, problems reported there and counted for the
// exit status.
#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "cli/progress_display.h"
#include "engine/host.h"

namespace gw::cli {

class CliHost : public Host {
 public:
  CliHost(Options options, BlockedWordSettings blockedWords, ProgressDisplay& progress,
          std::ostream& errors);

  std::shared_ptr<const Options> currentOptions() override { return options_; }
  bool shuffleMayChangeDuringRun() override { return false; }
  std::string previewSourceText() override { return previewText_; }
  BlockedWordSettings blockedWordSettings() override { return blockedWords_; }
  // Progress, except the run's summary and resting text: the command prints the summary itself.
  void setStatus(std::string_view text) override;
  void reportProgress(int done, int total) override { progress_.progress(done, total); }
  void sourceStarted(int fileIndex, int fileCount) override {
    progress_.sourceStarted(fileIndex, fileCount);
  }
  bool stopRequested() override;
  void reportError(std::string_view text) override { report(text); }
  void reportFileProblem(std::string_view text) override { report(text); }
  // Replaces the snapshot with one whose word insertion is off; holders of the old one keep it.
  void turnOffWordInsertion() override;
  void showPreview(std::string_view title, std::string_view article) override;

  // The text a preview composes from (GBK).
  void setPreviewText(std::string text) { previewText_ = std::move(text); }
  bool hasPreview() const { return hasPreview_; }
  const std::string& previewTitle() const { return previewTitle_; }
  const std::string& previewArticle() const { return previewArticle_; }
  // Errors and file problems reported so far.
  int problems() const { return problems_; }

 private:
  void report(std::string_view text);

  std::shared_ptr<const Options> options_;
  BlockedWordSettings blockedWords_;
  ProgressDisplay& progress_;
  std::ostream& errors_;
  std::string previewText_;
  bool hasPreview_ = false;
  std::string previewTitle_;
  std::string previewArticle_;
  int problems_ = 0;
};

}  // namespace gw::cli
