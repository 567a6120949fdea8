#include "engine/random_draw.h"

#include <utility>

namespace gw {

RandomSource RandomSource::Unseeded() {
  std::random_device device;
  const std::uint64_t seed = static_cast<std::uint64_t>(device()) << 32 | device();
  return RandomSource(seed);
}

int RandomInRange(RandomSource& random, int low, int high) {
  if (low < 0) {
    low = 0;
  }
  if (high < 0) {
    high = 0;
  }
  if (low > high) {
    std::swap(low, high);
  }
  if (low == high) {
    return low;
  }
  const auto span = static_cast<std::uint64_t>(high) - static_cast<std::uint64_t>(low) + 1;
  return low + static_cast<int>(random.next() % span);
}

int NonRepeatingDraw::Next(int low, int high) {
  if (pool_.empty()) {
    if (low > high) {
      std::swap(low, high);
    }
    pool_.reserve(static_cast<std::size_t>(high) - low + 1);
    for (long long value = low; value <= high; ++value) {
      pool_.push_back(static_cast<int>(value));
    }
  }
  const int position = RandomInRange(*random_, 1, static_cast<int>(pool_.size()));
  const int value = pool_[position - 1];
  // The drawn entry leaves the pool; the last entry takes its place, so a draw costs O(1) and a
  // pool of a million messages is shuffled in linear time.
  pool_[position - 1] = pool_.back();
  pool_.pop_back();
  return value;
}

}  // namespace gw
