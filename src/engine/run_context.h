// State that lives for one generation run (or one preview): the run's threads, its random
// generator, the loaded blocked-word filter, the article writer and the article counter.
#pragma once

#include <cstdint>
#include <optional>

#include "engine/blocked_words.h"
#include "engine/host.h"
#include "engine/output_writer.h"
#include "engine/random_draw.h"
#include "engine/work_pool.h"

namespace gw {

class RunContext {
 public:
  // With a seed the run is reproducible, whatever the number of threads; without one every run
  // differs. `threads` in all, the calling thread's included (1: everything on the calling
  // thread).
  explicit RunContext(std::optional<std::uint64_t> seed, int threads = 1);

  // Loads the blocked-word library when the filter is on ("正在初始化屏蔽词过滤器.." on the
  // status line); otherwise keeps what an earlier load left.
  void loadBlockedWords(Host& host, const Options& options);

  RandomSource& random() { return random_; }
  WorkPool& pool() { return pool_; }
  const BlockedWordFilter& blockedWords() const { return blockedWords_; }
  ArticleWriter& writer() { return writer_; }

  int articlesWritten = 0;
  // Whether the user was told that the character-form conversion could not be made.
  bool conversionFailureReported = false;

 private:
  RandomSource random_;
  BlockedWordFilter blockedWords_;
  ArticleWriter writer_;
  // Last, so that its workers end first: no job outlives what it uses.
  WorkPool pool_;
};

}  // namespace gw
