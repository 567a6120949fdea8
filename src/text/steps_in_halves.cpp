#include "text/steps_in_halves.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

namespace gw {
namespace {

constexpr std::chrono::milliseconds kStopPollInterval{20};

}  // namespace

bool RunStepsInHalves(std::size_t count, std::size_t firstHalf, bool sideBySide,
                      const std::function<void(std::size_t)>& step,
                      const StopQuery& stopRequested) {
  firstHalf = std::min(firstHalf, count);
  // Set when no step may begin any more: on a stop request, or when a step failed.
  std::atomic<bool> givenUp{false};
  const auto askStop = [&] {
    if (!givenUp.load(std::memory_order_relaxed) && stopRequested && stopRequested()) {
      givenUp.store(true, std::memory_order_relaxed);
    }
    return givenUp.load(std::memory_order_relaxed);
  };

  std::mutex mutex;
  std::condition_variable secondEnded;
  bool secondDone = false;
  std::exception_ptr secondFailure;
  const auto runSecondHalf = [&] {
    try {
      for (std::size_t i = firstHalf; i < count && !givenUp.load(std::memory_order_relaxed); ++i) {
        step(i);
      }
    } catch (...) {
      givenUp.store(true, std::memory_order_relaxed);
      secondFailure = std::current_exception();
    }
    const std::lock_guard lock(mutex);
    secondDone = true;
    secondEnded.notify_one();
  };

  std::optional<std::jthread> helper;
  if (sideBySide && firstHalf < count) {
    try {
      helper.emplace(runSecondHalf);
    } catch (const std::system_error&) {  // no thread to be had: the calling thread does both
    }
  }
  try {
    for (std::size_t i = 0; i < firstHalf && !askStop(); ++i) {
      step(i);
    }
  } catch (...) {
    givenUp.store(true, std::memory_order_relaxed);
    throw;  // the helper, told to give up, is joined on the way out
  }
  if (helper) {
    std::unique_lock lock(mutex);
    while (!secondEnded.wait_for(lock, kStopPollInterval, [&] { return secondDone; })) {
      lock.unlock();
      askStop();
      lock.lock();
    }
  } else {
    for (std::size_t i = firstHalf; i < count && !askStop(); ++i) {
      step(i);
    }
  }
  helper.reset();
  if (secondFailure) {
    std::rethrow_exception(secondFailure);
  }
  return !givenUp.load(std::memory_order_relaxed);
}

}  // namespace gw
