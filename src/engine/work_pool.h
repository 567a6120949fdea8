// The threads of a generation run. A pool of worker threads takes jobs in the order they are
// handed in; whoever needs a job's result waits for it through its ticket, and a job that no
// worker has started yet is then run on the waiting thread itself. A pool of one thread has no
// workers at all: every job runs on the caller's thread at the moment it is waited for, in the
// order of the waits, which is the plain sequential run.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace gw {

class WorkPool {
 public:
  class Job;
  using Ticket = std::shared_ptr<Job>;

  // `threads` in all, the caller's thread included: the pool starts threads − 1 workers (none for
  // 1 or less).
  explicit WorkPool(int threads);
  // Every job handed in must have been waited for; the workers are told to end and joined.
  ~WorkPool();
  WorkPool(const WorkPool&) = delete;
  WorkPool& operator=(const WorkPool&) = delete;

  // The threads the pool works with, the caller's included.
  int threads() const { return static_cast<int>(workers_.size()) + 1; }

  // The number of threads a run uses by default: one per processor.
  static int ProcessorCount();

  // Hands `work` in. It runs on a worker, or on the thread that waits for it first.
  Ticket submit(std::function<void()> work);

  // Returns once the job has run; runs it here when no worker has taken it, and meanwhile runs
  // the jobs next in line that no worker has taken. An exception the job threw is thrown again
  // here.
  void wait(const Ticket& ticket);
  // As wait(), but gives up after `limit` (or after the job it ran meanwhile) while a worker runs
  // the job. Returns whether it is done.
  bool waitFor(const Ticket& ticket, std::chrono::milliseconds limit);
  // Whether the job has run (without waiting).
  bool done(const Ticket& ticket);

 private:
  void workerLoop();
  // Runs a job the calling thread has claimed, then marks it done. Called without the lock held.
  void run(Job& job);
  // The next job in line that nobody has taken, marked as running; null when there is none.
  // Called with the lock held.
  Ticket claimNext();
  bool waitUntil(const Ticket& ticket,
                 std::optional<std::chrono::steady_clock::time_point> deadline);

  std::mutex mutex_;
  std::condition_variable jobsWaiting_;  // workers wait here for jobs
  std::condition_variable jobsDone_;     // waiters wait here for a job to end
  std::deque<Ticket> queue_;
  bool ending_ = false;
  std::vector<std::thread> workers_;
};

class WorkPool::Job {
 public:
  explicit Job(std::function<void()> work) : work_(std::move(work)) {}

 private:
  friend class WorkPool;
  enum class State { Waiting, Running, Done };
  std::function<void()> work_;
  State state_ = State::Waiting;
  std::exception_ptr failure_;
};

}  // namespace gw
