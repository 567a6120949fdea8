#include "engine/run_driver.h"

#include <chrono>
#include <filesystem>
#include <thread>

#include "engine/generation.h"
#include "engine/run_context.h"
#include "text/charset.h"
#include "text/memory_pages.h"

namespace gw {
namespace {

// How often a stop request is looked for while the run waits for a file read ahead.
constexpr std::chrono::milliseconds kStopPollInterval{20};

}  // namespace

const std::string& RestingStatusText() {
  static const std::string text =
      Utf8ToGbk("聊天消息组合预览（如果该消息能生成多篇文章，本预览始终显示首篇）");
  return text;
}

RunOutcome RunFiles(Host& host, const std::vector<std::string>& paths,
                    std::optional<std::uint64_t> seed, int threads) {
  RunOutcome outcome;
  if (paths.empty()) {
    return outcome;
  }
  KeepLargeBlocksMapped();
  RunContext run(seed, threads);
  // Every source of the run, also those not read yet, is known before the first article is
  // written, so that no article lands on one.
  for (const std::string& path : paths) {
    run.writer().protectSource(path);
  }
  const int count = static_cast<int>(paths.size());
  // With threads to spare, the next file is read while the current one is composed, from the
  // moment half of the current one's messages are handed over (its text and the messages left
  // behind are let go by then, so that the two files are never held whole at the same time).
  std::shared_ptr<ReadAhead> next;
  WorkPool::Ticket nextRead;
  const std::thread::id runThread = std::this_thread::get_id();
  // Starts reading file `index` (0-based) on another thread, where there is one.
  const auto readAheadOf = [&](std::size_t index) {
    if (run.pool().threads() < 2) {
      return;
    }
    // Only a regular file is read ahead: a pipe (standard input among them) is read when its
    // turn comes, as its writer may be waiting for that moment.
    std::error_code notRegular;
    if (!std::filesystem::is_regular_file(paths[index], notRegular)) {
      return;
    }
    next = std::make_shared<ReadAhead>();
    next->encoding = static_cast<TextEncoding>(host.currentOptions()->组合框编码);
    // The host is asked for a stop only on this thread, which runs the read itself when it
    // waits for it before a worker took it; a worker learns of the stop from `abandoned`.
    nextRead = run.pool().submit([ahead = next, nextPath = paths[index], runThread, &host] {
      TextEncoding detected = TextEncoding::Gbk;
      ahead->read = ReadSource(nextPath, ahead->encoding, detected, 1, [&] {
        if (std::this_thread::get_id() == runThread && host.stopRequested()) {
          ahead->abandoned.store(true, std::memory_order_relaxed);
        }
        return ahead->abandoned.load(std::memory_order_relaxed);
      });
    });
  };
  // Waits for the file read ahead; a stop requested meanwhile has the read give up.
  const auto waitForReadAhead = [&] {
    while (!run.pool().waitFor(nextRead, kStopPollInterval)) {
      if (host.stopRequested()) {
        next->abandoned.store(true, std::memory_order_relaxed);
      }
    }
  };
  // The first file is read while the blocked-word library is prepared.
  if (host.currentOptions()->选择框过滤屏蔽词) {
    readAheadOf(0);
  }
  run.loadBlockedWords(host, *host.currentOptions());
  for (int i = 1; i <= count; ++i) {
    const std::string& path = paths[static_cast<std::size_t>(i - 1)];
    if (i == 1) {
      host.rememberFirstFile(path);
    }
    std::shared_ptr<ReadAhead> readAhead;
    if (nextRead) {
      waitForReadAhead();
      readAhead = std::move(next);
      nextRead = nullptr;
    }
    const auto readNext = [&] {
      if (i < count) {
        readAheadOf(static_cast<std::size_t>(i));
      }
    };
    const SourceResult result =
        GenerateFromSource(host, run, SourceRef{false, path, count, i}, readNext, readAhead.get());
    if (result.failure != LoadFailure::None) {
      ++outcome.filesFailed;
    }
    outcome.messages += result.messages;
    ++outcome.filesProcessed;
    ReturnFreedMemory();  // what the source took, before the next one takes its own
    if (host.stopRequested()) {
      break;
    }
  }
  if (nextRead) {
    // A stop came while the next file was read.
    next->abandoned.store(true, std::memory_order_relaxed);
    run.pool().wait(nextRead);
  }
  outcome.articlesWritten = run.articlesWritten;
  const std::string firstLine =
      Utf8ToGbk("处理完成，共处理 ") + std::to_string(outcome.filesProcessed) +
      Utf8ToGbk(" 个文件，生成 ") + std::to_string(outcome.articlesWritten) + Utf8ToGbk(" 篇");
  outcome.summary = firstLine + "\n" + MessageCountsText(outcome.messages);
  host.setStatus(firstLine);
  host.showSummary(outcome.summary);
  host.setStatus(RestingStatusText());
  return outcome;
}

void RunPreview(Host& host, std::optional<std::uint64_t> seed) {
  RunContext run(seed);
  GenerateFromSource(host, run, SourceRef{true, std::string(), 0, 0});
}

}  // namespace gw
