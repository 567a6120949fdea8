// What the engine asks of the program that runs it: the desktop window, the command line, or a
// test. The engine never touches a window; every question goes through this interface.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "engine/blocked_words.h"
#include "engine/options.h"

namespace gw {

class Host {
 public:
  virtual ~Host() = default;

  // The options as they stand now. The engine asks again at the moments a run must see fresh
  // values: when a source starts, before every message (the shuffle box), at every paragraph and
  // article (ranges and decoration).
  // The snapshot is shared, so asking costs no copy.
  virtual std::shared_ptr<const Options> currentOptions() = 0;

  // The text of the source-message box, the source of a preview (GBK).
  virtual std::string previewSourceText() = 0;

  // Section "屏蔽词过滤器" of the settings, read when the filter is loaded.
  virtual BlockedWordSettings blockedWordSettings() = 0;

  // The status line (GBK text).
  virtual void setStatus(std::string_view text) = 0;

  // A source of the run starts: `fileIndex` of `fileCount` (both 0 in a preview).
  virtual void sourceStarted(int fileIndex, int fileCount) {
    (void)fileIndex;
    (void)fileCount;
  }

  // Progress within the current source: `done` of `total` messages taken.
  virtual void reportProgress(int done, int total) {
    (void)done;
    (void)total;
  }

  // Whether the shuffle box ("选择框打乱消息顺序") may change while a run goes on: the window's
  // may, the command line's never does. Only while it cannot does a feed in file order let go of
  // the messages it has left behind: a shuffled draw may come back to any message.
  virtual bool shuffleMayChangeDuringRun() { return true; }

  // True once the user asked the run to stop; checked before every message.
  virtual bool stopRequested() = 0;

  // An error the user must know about (GBK text, the program's own words).
  virtual void reportError(std::string_view text) = 0;

  // A problem with one file that the run steps over: a source that cannot be read, an article
  // that cannot be written (GBK text naming the file). The desktop program stays silent about
  // these, as it always did; the command line reports them and fails its exit status.
  virtual void reportFileProblem(std::string_view text) { (void)text; }

  // The first file of a run, kept to open the next file dialog in its folder.
  virtual void rememberFirstFile(std::string_view path) { (void)path; }

  // The end of a run: the summary text (GBK), shown to the user.
  virtual void showSummary(std::string_view text) { (void)text; }

  // The word list was empty: word insertion is switched off (the window unchecks its box).
  virtual void turnOffWordInsertion() {}

  // Preview mode: the first article and its title (GBK).
  virtual void showPreview(std::string_view title, std::string_view article) {
    (void)title;
    (void)article;
  }

  // Preview mode: every later article of the source-message box, in order, after showPreview
  // has shown the first (GBK). Nothing is written; a host that only shows the first ignores them.
  virtual void addPreviewArticle(std::string_view title, std::string_view article) {
    (void)title;
    (void)article;
  }
};

}  // namespace gw
