#include "engine/message_feed.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "engine/message_cleaner.h"
#include "engine/random_draw.h"
#include "engine/reusable_stock.h"
#include "engine/text_set.h"

namespace gw {
namespace {

// Messages cleaned by one job, and how many such jobs are under way ahead of the one handed
// over: enough to keep every thread busy, few enough that a change of the shuffle box takes
// effect soon.
constexpr int kBatchSize = 256;
constexpr std::size_t kBatchesAhead = 8;
// How far ahead of the message handed over the set of taken texts is asked to load its entry.
constexpr std::size_t kPrefetchAhead = 8;

// A batch's cleaned messages are kept one after the other in one text, each ending where `ends`
// says, so that a batch allocates a few times instead of once per message.
struct Batch {
  int firstIndex = 1;
  std::vector<int> positions;
  std::string cleaned;
  std::vector<std::size_t> ends;
  std::vector<DropReason> reasons;    // why each message was dropped; None: cleaned and kept
  std::vector<std::uint64_t> hashes;  // of each cleaned text, when repeated texts are dropped
  WorkPool::Ticket ticket;

  std::string_view message(std::size_t j) const {
    const std::size_t start = j == 0 ? 0 : ends[j - 1];
    return std::string_view(cleaned).substr(start, ends[j] - start);
  }
};

// The batches under way, waited for whenever the feed ends (they read the messages, the batch
// and the cleaners); once abandoned, a batch stops at its next message.
class BatchWindow {
 public:
  explicit BatchWindow(WorkPool& pool) : pool_(pool) {}
  ~BatchWindow() {
    abandoned_.store(true, std::memory_order_relaxed);
    for (const Batch& batch : batches_) {
      try {
        pool_.wait(batch.ticket);
      } catch (...) {  // NOLINT(bugprone-empty-catch): the feed ends anyway
      }
    }
  }
  BatchWindow(const BatchWindow&) = delete;
  BatchWindow& operator=(const BatchWindow&) = delete;

  std::deque<Batch>& batches() { return batches_; }
  const std::atomic<bool>& abandoned() const { return abandoned_; }

 private:
  WorkPool& pool_;
  std::deque<Batch> batches_;
  std::atomic<bool> abandoned_{false};
};

}  // namespace

MessageCounts FeedMessages(Host& host, RunContext& run, MessageList& messages,
                           const Options& options, const MessageSink& sink) {
  const int count = messages.count();
  MessageCounts counts;
  counts.found = count;
  // The texts taken so far, when a text is taken only once; checked here, in order of use, so
  // that which of two equal messages is taken never depends on the threads.
  const bool dropRepeated = options.选择框去除重复消息;
  TextSet takenTexts;
  if (dropRepeated) {
    takenTexts.reserve(static_cast<std::size_t>(count));
  }
  RandomSource shuffleRandom(run.random().next());
  NonRepeatingDraw order(shuffleRandom);
  WorkPool& pool = run.pool();
  ReusableStock<MessageCleaner> cleaners(
      [&options] { return std::make_unique<MessageCleaner>(options); });
  BatchWindow window(pool);
  std::deque<Batch>& batches = window.batches();
  const std::atomic<bool>& abandoned = window.abandoned();

  int nextIndex = 1;
  // Every position drawn so far is its own index, and no later one can be drawn at random.
  bool inFileOrder = !host.shuffleMayChangeDuringRun();
  const auto refill = [&] {
    while (batches.size() < kBatchesAhead && nextIndex <= count) {
      Batch& batch = batches.emplace_back();
      batch.firstIndex = nextIndex;
      const int last = nextIndex + std::min(kBatchSize, count - nextIndex + 1) - 1;
      for (; nextIndex <= last; ++nextIndex) {
        const bool shuffle = host.currentOptions()->选择框打乱消息顺序;
        batch.positions.push_back(shuffle ? order.Next(1, count) : nextIndex);
        inFileOrder = inFileOrder && batch.positions.back() == nextIndex;
      }
      batch.ends.reserve(batch.positions.size());
      batch.reasons.reserve(batch.positions.size());
      batch.ticket = pool.submit([&messages, &cleaners, &abandoned, &batch, dropRepeated] {
        const auto cleaner = cleaners.borrow();
        for (std::size_t j = 0; j < batch.positions.size(); ++j) {
          if (abandoned.load(std::memory_order_relaxed)) {
            return;
          }
          batch.reasons.push_back(
              cleaner->appendCleaned(messages.bodyGbk(batch.positions[j]), batch.cleaned));
          batch.ends.push_back(batch.cleaned.size());
        }
        // The hashes are made here, off the thread that hands the messages over.
        if (dropRepeated) {
          batch.hashes.reserve(batch.positions.size());
          for (std::size_t j = 0; j < batch.positions.size(); ++j) {
            batch.hashes.push_back(TextSet::HashOf(batch.message(j)));
          }
        }
      });
    }
  };

  bool ended = false;
  refill();
  while (!ended && !batches.empty()) {
    Batch& batch = batches.front();
    pool.wait(batch.ticket);
    for (std::size_t j = 0; j < batch.positions.size(); ++j) {
      if (host.stopRequested()) {
        ended = true;
        break;
      }
      const int index = batch.firstIndex + static_cast<int>(j);
      std::string_view message = batch.message(j);
      DropReason reason = batch.reasons[j];
      if (dropRepeated && j + kPrefetchAhead < batch.hashes.size()) {
        takenTexts.prefetch(batch.hashes[j + kPrefetchAhead]);
      }
      if (dropRepeated && reason == DropReason::None &&
          !takenTexts.insert(message, batch.hashes[j])) {
        reason = DropReason::Repeated;
        message = {};
      }
      counts.count(reason);
      const bool more = sink(index, count, message);
      host.reportProgress(index, count);
      if (!more) {
        ended = true;
        break;
      }
    }
    if (inFileOrder && !ended) {
      // The batches still under way, and every one to come, hold later positions only.
      messages.releaseThrough(batch.firstIndex + static_cast<int>(batch.positions.size()) - 1);
    }
    batches.pop_front();
    if (!ended) {
      refill();
    }
  }
  return counts;
}

}  // namespace gw
