#include "engine/work_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <stdexcept>
#include <thread>
#include <vector>

namespace gw {
namespace {

using namespace std::chrono_literals;

TEST(WorkPool, WithOneThreadEveryJobRunsOnTheCallerInTheOrderOfTheWaits) {
  WorkPool pool(1);
  EXPECT_EQ(pool.threads(), 1);
  std::vector<int> order;
  std::vector<std::thread::id> threads;
  std::vector<WorkPool::Ticket> tickets;
  for (int i = 0; i < 3; ++i) {
    tickets.push_back(pool.submit([&, i] {
      order.push_back(i);
      threads.push_back(std::this_thread::get_id());
    }));
  }
  EXPECT_TRUE(order.empty()) << "nothing runs before it is waited for";
  pool.wait(tickets[2]);
  pool.wait(tickets[0]);
  EXPECT_FALSE(pool.done(tickets[1]));
  pool.wait(tickets[1]);
  EXPECT_EQ(order, (std::vector<int>{2, 0, 1}));
  for (const std::thread::id id : threads) {
    EXPECT_EQ(id, std::this_thread::get_id());
  }
}

TEST(WorkPool, ManyJobsOnSeveralThreadsAllRunOnceAndAJobsFailureReachesItsWaiter) {
  WorkPool pool(3);
  EXPECT_EQ(pool.threads(), 3);
  constexpr int kJobs = 2000;
  std::vector<std::atomic<int>> runs(kJobs);
  std::vector<WorkPool::Ticket> tickets;
  for (int i = 0; i < kJobs; ++i) {
    tickets.push_back(pool.submit([&runs, i] {
      runs[static_cast<std::size_t>(i)].fetch_add(1);
      if (i == 1234) {
        throw std::runtime_error("job 1234");
      }
    }));
  }
  for (int i = 0; i < kJobs; ++i) {
    if (i == 1234) {
      EXPECT_THROW(pool.wait(tickets[static_cast<std::size_t>(i)]), std::runtime_error);
    } else {
      EXPECT_NO_THROW(pool.wait(tickets[static_cast<std::size_t>(i)]));
    }
    EXPECT_TRUE(pool.done(tickets[static_cast<std::size_t>(i)]));
  }
  for (const std::atomic<int>& count : runs) {
    EXPECT_EQ(count.load(), 1);
  }
}

TEST(WorkPool, AWaitWithALimitGivesUpWhileAWorkerHoldsTheJobAndAWaiterHelpsWithOthers) {
  WorkPool pool(2);
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  std::atomic<bool> started{false};
  const WorkPool::Ticket held = pool.submit([&] {
    started = true;
    released.wait();
  });
  while (!started) {
    std::this_thread::yield();
  }
  // The one worker is busy: a job handed in now runs on the waiting thread.
  std::thread::id ranOn;
  const WorkPool::Ticket next = pool.submit([&] { ranOn = std::this_thread::get_id(); });
  EXPECT_FALSE(pool.waitFor(held, 30ms));
  EXPECT_TRUE(pool.done(next));
  EXPECT_EQ(ranOn, std::this_thread::get_id());
  release.set_value();
  EXPECT_TRUE(pool.waitFor(held, 10s));
}

}  // namespace
}  // namespace gw
