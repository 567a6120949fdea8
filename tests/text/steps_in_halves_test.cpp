#include "text/steps_in_halves.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace gw {
namespace {

// Every step runs once: the first half in order on the calling thread, the second half in order
// on one other thread (or on the calling thread after the first, when asked for no second).
TEST(RunStepsInHalves, EveryStepRunsOnceInOrderWithinItsHalf) {
  for (const bool sideBySide : {false, true}) {
    for (const std::size_t count : {0, 1, 2, 7}) {
      const std::size_t firstHalf = (count + 1) / 2;
      std::mutex mutex;
      std::vector<std::size_t> order;
      std::vector<std::thread::id> threadOf(count);
      const auto step = [&](std::size_t i) {
        const std::lock_guard lock(mutex);
        order.push_back(i);
        threadOf[i] = std::this_thread::get_id();
      };
      ASSERT_TRUE(RunStepsInHalves(count, firstHalf, sideBySide, step, {}));
      ASSERT_EQ(order.size(), count);
      std::vector<std::size_t> first;
      std::vector<std::size_t> second;
      for (const std::size_t i : order) {
        (i < firstHalf ? first : second).push_back(i);
      }
      for (std::size_t k = 0; k < first.size(); ++k) {
        EXPECT_EQ(first[k], k);
        EXPECT_EQ(threadOf[first[k]], std::this_thread::get_id());
      }
      for (std::size_t k = 0; k < second.size(); ++k) {
        EXPECT_EQ(second[k], firstHalf + k);
        EXPECT_EQ(threadOf[second[k]] == std::this_thread::get_id(), !sideBySide);
        EXPECT_EQ(threadOf[second[k]], threadOf[second[0]]);
      }
    }
  }
}

// Once the stop query says yes, no step begins on either thread, also when the calling thread
// is done with its half and waits for the other one.
TEST(RunStepsInHalves, AStopEndsBothHalves) {
  for (const bool sideBySide : {false, true}) {
    std::atomic<int> ran{0};
    int asked = 0;
    const bool finished = RunStepsInHalves(
        100, 2, sideBySide,
        [&](std::size_t) {
          ++ran;
          std::this_thread::sleep_for(std::chrono::milliseconds(2));
        },
        [&] { return ++asked > 2; });
    EXPECT_FALSE(finished);
    EXPECT_LT(ran.load(), 100);
  }
}

// A step that throws ends the work, on whichever thread it ran, and the exception comes out of
// the call once both threads are done.
TEST(RunStepsInHalves, AFailedStepEndsTheWorkAndIsPassedOn) {
  for (const std::size_t failing : {std::size_t{1}, std::size_t{6}}) {
    std::atomic<int> ran{0};
    const auto step = [&](std::size_t i) {
      if (i == failing) {
        throw std::runtime_error("step failed");
      }
      ++ran;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    EXPECT_THROW(RunStepsInHalves(400, 5, true, step, {}), std::runtime_error);
    EXPECT_LT(ran.load(), 399);
  }
}

}  // namespace
}  // namespace gw
