// A host for engine tests: options set by the test, statuses and errors recorded.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/host.h"
#include "text/charset.h"

namespace gw::testing {

inline std::string G(std::string_view utf8) {
  return Utf8ToGbk(utf8);
}
inline std::string U(std::string_view gbk) {
  return GbkToUtf8(gbk);
}

class FakeHost : public Host {
 public:
  FakeHost() : options_(std::make_shared<Options>(Options::FormDefaults())) {}

  Options& options() { return *options_; }

  std::shared_ptr<const Options> currentOptions() override {
    ++optionReads;
    return options_;
  }
  std::string previewSourceText() override { return previewText; }
  BlockedWordSettings blockedWordSettings() override { return blockedWords; }
  void setStatus(std::string_view text) override { statuses.push_back(U(text)); }
  bool shuffleMayChangeDuringRun() override { return !shuffleFixed; }
  bool stopRequested() override {
    return stopAfterProgress >= 0 && progressCalls >= stopAfterProgress;
  }
  void reportProgress(int, int) override { ++progressCalls; }
  void reportError(std::string_view text) override { errors.push_back(U(text)); }
  void turnOffWordInsertion() override { wordInsertionTurnedOff = true; }
  void showSummary(std::string_view text) override { summaries.push_back(U(text)); }
  void showPreview(std::string_view title, std::string_view article) override {
    previews.emplace_back(U(title), U(article));
  }
  void addPreviewArticle(std::string_view title, std::string_view article) override {
    laterPreviews.emplace_back(U(title), U(article));
  }

  std::string previewText;
  BlockedWordSettings blockedWords;
  std::vector<std::string> statuses;                               // UTF-8
  std::vector<std::string> errors;                                 // UTF-8
  std::vector<std::string> summaries;                              // UTF-8
  std::vector<std::pair<std::string, std::string>> previews;       // the first article
  std::vector<std::pair<std::string, std::string>> laterPreviews;  // every later one, in order
  int stopAfterProgress = -1;  // stop once this many messages were reported
  int progressCalls = 0;
  int optionReads = 0;
  bool wordInsertionTurnedOff = false;
  bool shuffleFixed = false;  // as on the command line: the feed may let go of what it passed

 private:
  std::shared_ptr<Options> options_;
};

// An export in the chat format, CR LF line ends, from UTF-8 records {sender line, body lines...}.
inline std::string ChatExport(const std::vector<std::vector<std::string>>& records) {
  std::string text = "消息记录（此消息记录为文本格式，不支持重新导入）\r\n\r\n" +
                     std::string(64, '=') + "\r\n消息分组:我的群组\r\n" + std::string(64, '=') +
                     "\r\n消息对象:测试群\r\n" + std::string(64, '=') + "\r\n\r\n";
  for (const auto& record : records) {
    for (const std::string& line : record) {
      text += line + "\r\n";
    }
    text += "\r\n";
  }
  return Utf8ToGbk(text);
}

}  // namespace gw::testing
