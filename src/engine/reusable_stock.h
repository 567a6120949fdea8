// Objects that take a while to build (compiled patterns with their room for matches) and serve
// one thread at a time: a job borrows one for as long as it runs and the stock takes it back for
// the next job, so that a run builds about one per thread instead of one per job.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace gw {

template <typename T>
class ReusableStock {
 public:
  explicit ReusableStock(std::function<std::unique_ptr<T>()> make) : make_(std::move(make)) {}

  class Lease {
   public:
    Lease(ReusableStock& stock, std::unique_ptr<T> object)
        : stock_(&stock), object_(std::move(object)) {}
    ~Lease() {
      if (object_) {
        stock_->giveBack(std::move(object_));
      }
    }
    Lease(Lease&& other) noexcept = default;
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;
    Lease& operator=(Lease&&) = delete;
    T& operator*() const { return *object_; }
    T* operator->() const { return object_.get(); }

   private:
    ReusableStock* stock_;
    std::unique_ptr<T> object_;
  };

  // An object no other job holds: one given back earlier, or a new one.
  Lease borrow() {
    {
      const std::lock_guard lock(mutex_);
      if (!free_.empty()) {
        std::unique_ptr<T> object = std::move(free_.back());
        free_.pop_back();
        return Lease(*this, std::move(object));
      }
    }
    return Lease(*this, make_());
  }

 private:
  void giveBack(std::unique_ptr<T> object) {
    const std::lock_guard lock(mutex_);
    free_.push_back(std::move(object));
  }

  std::function<std::unique_ptr<T>()> make_;
  std::mutex mutex_;
  std::vector<std::unique_ptr<T>> free_;
};

}  // namespace gw
