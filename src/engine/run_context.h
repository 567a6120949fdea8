// State that lives for one generation run (or one preview): the run's random generator, its
// markup remover, the loaded blocked-word filter and the article counter.
#pragma once

#include <cstdint>
#include <optional>

#include "engine/blocked_words.h"
#include "engine/host.h"
#include "engine/output_writer.h"
#include "engine/random_draw.h"
#include "regex/regex_service.h"

namespace gw {

class RunContext {
 public:
  // With a seed the run is reproducible; without one every run differs.
  explicit RunContext(std::optional<std::uint64_t> seed);

  // Loads the blocked-word library when the filter is on ("正在初始化屏蔽词过滤器.." on the
  // status line); otherwise keeps what an earlier load left.
  void loadBlockedWords(Host& host, const Options& options);

  RandomSource& random() { return random_; }
  RegexService& markup() { return markup_; }
  const BlockedWordFilter& blockedWords() const { return blockedWords_; }
  ArticleWriter& writer() { return writer_; }

  int articlesWritten = 0;

 private:
  RandomSource random_;
  RegexService markup_;
  BlockedWordFilter blockedWords_;
  ArticleWriter writer_;
};

}  // namespace gw
