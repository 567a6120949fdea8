// Joins messages into paragraphs ("连横": N messages each, N drawn from a range) and paragraphs
// into articles ("合纵": M paragraphs each), and finishes every article: inserted words,
// punctuation runs, title, title words, then the file (or, in a preview, the preview boxes).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "engine/host.h"
#include "engine/random_draw.h"
#include "engine/run_context.h"
#include "engine/title_sentence.h"
#include "engine/word_insertion.h"
#include "regex/regex_service.h"

namespace gw {

class ArticleComposer {
 public:
  // Reads the separators, draws the first targets and prepares the word list from `options`, the
  // values as they stand when the source starts. `outputFolder` is unused in a preview.
  ArticleComposer(Host& host, RunContext& run, const Options& options, bool preview, int fileIndex,
                  int fileCount, std::filesystem::path outputFolder);

  // Takes message number `index` of `count` (empty when a filter dropped it). Returns false when
  // the source is done early: a preview has shown its first article.
  bool take(int index, int count, const std::string& message);

  int articlesWritten() const { return articlesWritten_; }

 private:
  void completeParagraph(int index, int count);
  void finishArticle();
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
  RegexService punctuationRuns_;
  TitleSentencePicker titles_;
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
  bool done_ = false;
};

}  // namespace gw
