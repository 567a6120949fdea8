// Joins messages into paragraphs ("连横": N messages each, N drawn from a range) and paragraphs
// into articles ("合纵": M paragraphs each), and finishes every article: inserted words,
// punctuation runs, title, title words, then the file (or, in a preview, the preview boxes).
// Articles are joined on the calling thread, finished on the run's threads a few at a time, and
// written on the calling thread in the order they were joined. A preview composes the articles
// the same way, up to kPreviewArticleLimit, and hands them to the host instead of writing them.
#pragma once

#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/article_finisher.h"
#include "engine/host.h"
#include "engine/random_draw.h"
#include "engine/reusable_stock.h"
#include "engine/run_context.h"
#include "engine/word_insertion.h"
#include "engine/work_pool.h"

namespace gw {

// The most articles a preview composes from the source-message box.
inline constexpr int kPreviewArticleLimit = 200;

// The status line of a preview shows this (GBK) followed by the title of the article shown.
const std::string& PreviewStatusLead();

class ArticleComposer {
 public:
  // Reads the separators, draws the first targets and prepares the word list from `options`, the
  // values as they stand when the source starts. `outputFolder` is unused in a preview.
  ArticleComposer(Host& host, RunContext& run, const Options& options, bool preview, int fileIndex,
                  int fileCount, std::filesystem::path outputFolder);
  // Waits for articles still being finished, without writing them (see complete()).
  ~ArticleComposer();
  ArticleComposer(const ArticleComposer&) = delete;
  ArticleComposer& operator=(const ArticleComposer&) = delete;

  // Takes message number `index` of `count` (empty when a filter dropped it). Returns false when
  // the source is done early: a preview has composed kPreviewArticleLimit articles.
  bool take(int index, int count, std::string_view message);

  // Writes the articles joined so far that are still being finished. Called when the feed ends,
  // also early on a stop request: every article joined before it is written.
  void complete();

  int articlesWritten() const { return articlesWritten_; }

 private:
  void completeParagraph(int index, int count);
  void finishArticle();
  // Writes (or, in a preview, shows) the finished articles at the front of the queue: those
  // already done, and more while over `keep` are still under way.
  void deliverFinished(std::size_t keep);
  void deliver(const FinishedArticle& article, const Options& options);
  int drawTarget(const std::string& low, const std::string& high);

  Host& host_;
  RunContext& run_;
  bool preview_;
  int fileIndex_;
  int fileCount_;
  std::filesystem::path outputFolder_;

  std::vector<std::string> separators_;
  NonRepeatingDraw separatorDraw_;
  NonRepeatingDraw wordDraw_;
  ReusableStock<ArticleFinisher> finishers_;
  struct Underway {
    WorkPool::Ticket ticket;
    std::shared_ptr<FinishedArticle> article;
    std::shared_ptr<const Options> options;
  };
  std::deque<Underway> underway_;
  WordList words_;
  bool insertWords_ = false;
  std::string chosenWord_;

  std::string paragraph_;
  int paragraphMessages_ = 0;
  int paragraphTarget_ = 0;
  std::string article_;
  int articleParagraphs_ = 0;
  int articleTarget_ = 0;

  int articlesWritten_ = 0;
  int previewArticlesJoined_ = 0;
  int previewArticlesShown_ = 0;
  bool done_ = false;
};

}  // namespace gw
