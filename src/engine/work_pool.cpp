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
    const Ticket job = claimNext();
    if (!job) {
      continue;  // waiting threads took what was left
    }
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

WorkPool::Ticket WorkPool::claimNext() {
  while (!queue_.empty()) {
    Ticket job = std::move(queue_.front());
    queue_.pop_front();
    if (job->state_ == Job::State::Waiting) {
      job->state_ = Job::State::Running;
      return job;
    }
  }
  return nullptr;
}

bool WorkPool::waitUntil(const Ticket& ticket,
                         std::optional<std::chrono::steady_clock::time_point> deadline) {
  std::unique_lock lock(mutex_);
  while (ticket->state_ != Job::State::Done) {
    // The job itself when nobody has taken it, else the next job in line: a waiting thread
    // works instead of idling while a worker runs the job it waits for.
    Ticket next;
    if (ticket->state_ == Job::State::Waiting) {
      ticket->state_ = Job::State::Running;
      next = ticket;
    } else {
      next = claimNext();
    }
    if (next) {
      lock.unlock();
      run(*next);
      lock.lock();
      if (deadline && next != ticket && ticket->state_ != Job::State::Done &&
          std::chrono::steady_clock::now() >= *deadline) {
        return false;
      }
      continue;
    }
    if (!deadline) {
      jobsDone_.wait(lock);
    } else if (jobsDone_.wait_until(lock, *deadline) == std::cv_status::timeout) {
      if (ticket->state_ != Job::State::Done) {
        return false;
      }
    }
  }
  lock.unlock();
  if (ticket->failure_) {
    std::rethrow_exception(ticket->failure_);
  }
  return true;
}

void WorkPool::wait(const Ticket& ticket) {
  waitUntil(ticket, std::nullopt);
}

bool WorkPool::waitFor(const Ticket& ticket, std::chrono::milliseconds limit) {
  return waitUntil(ticket, std::chrono::steady_clock::now() + limit);
}

bool WorkPool::done(const Ticket& ticket) {
  const std::lock_guard lock(mutex_);
  return ticket->state_ == Job::State::Done;
}

}  // namespace gw
