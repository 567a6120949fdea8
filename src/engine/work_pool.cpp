#include "engine/work_pool.h"

namespace gw {

WorkPool::WorkPool(int threads) {
  for (int i = 1; i < threads; ++i) {
    workers_.emplace_back([this] { workerLoop(); });
  }
}

WorkPool::~WorkPool() {
  {
    const std::lock_guard lock(mutex_);
    ending_ = true;
  }
  jobsWaiting_.notify_all();
  for (std::thread& worker : workers_) {
    worker.join();
  }
}

int WorkPool::ProcessorCount() {
  const unsigned count = std::thread::hardware_concurrency();
  return count == 0 ? 1 : static_cast<int>(count);
}

WorkPool::Ticket WorkPool::submit(std::function<void()> work) {
  Ticket job = std::make_shared<Job>(std::move(work));
  if (workers_.empty()) {
    return job;  // runs when waited for
  }
  {
    const std::lock_guard lock(mutex_);
    queue_.push_back(job);
  }
  jobsWaiting_.notify_one();
  return job;
}

void WorkPool::workerLoop() {
  std::unique_lock lock(mutex_);
  for (;;) {
    jobsWaiting_.wait(lock, [this] { return ending_ || !queue_.empty(); });
    if (queue_.empty()) {
      return;  // ending, and nothing left to take
    }
    const Ticket job = std::move(queue_.front());
    queue_.pop_front();
    if (job->state_ != Job::State::Waiting) {
      continue;  // a waiting thread took it already
    }
    job->state_ = Job::State::Running;
    lock.unlock();
    run(*job);
    lock.lock();
  }
}

void WorkPool::run(Job& job) {
  try {
    job.work_();
  } catch (...) {
    job.failure_ = std::current_exception();
  }
  job.work_ = nullptr;  // releases what the job held as soon as it has run
  {
    const std::lock_guard lock(mutex_);
    job.state_ = Job::State::Done;
  }
  jobsDone_.notify_all();
}

void WorkPool::finishWait(Job& job) {
  if (job.failure_) {
    std::rethrow_exception(job.failure_);
  }
}

void WorkPool::wait(const Ticket& ticket) {
  std::unique_lock lock(mutex_);
  if (ticket->state_ == Job::State::Waiting) {
    ticket->state_ = Job::State::Running;
    lock.unlock();
    run(*ticket);
    lock.lock();
  }
  jobsDone_.wait(lock, [&] { return ticket->state_ == Job::State::Done; });
  lock.unlock();
  finishWait(*ticket);
}

bool WorkPool::waitFor(const Ticket& ticket, std::chrono::milliseconds limit) {
  std::unique_lock lock(mutex_);
  if (ticket->state_ == Job::State::Waiting) {
    ticket->state_ = Job::State::Running;
    lock.unlock();
    run(*ticket);
    lock.lock();
  }
  if (!jobsDone_.wait_for(lock, limit, [&] { return ticket->state_ == Job::State::Done; })) {
    return false;
  }
  lock.unlock();
  finishWait(*ticket);
  return true;
}

bool WorkPool::done(const Ticket& ticket) {
  const std::lock_guard lock(mutex_);
  return ticket->state_ == Job::State::Done;
}

}  // namespace gw
