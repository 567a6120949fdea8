// Random draws of a generation run. One seedable generator serves the whole run, so that the same
// seed, input and options give the same output.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

namespace gw {

class RandomSource {
 public:
  explicit RandomSource(std::uint64_t seed) : engine_(seed) {}
  // Seeded from the system's entropy source: a run without a seed differs every time.
  static RandomSource Unseeded();

  std::uint64_t next() { return engine_(); }

 private:
  std::mt19937_64 engine_;
};

// A uniform integer of the closed range: bounds below 0 count as 0, reversed bounds are swapped,
// equal bounds give that value.
int RandomInRange(RandomSource& random, int low, int high);

// A pool of integers that returns every number of a range once, in random order, and starts over
// when all are drawn. A non-empty pool is not refilled, whatever range a later call passes.
class NonRepeatingDraw {
 public:
  explicit NonRepeatingDraw(RandomSource& random) : random_(&random) {}

  int Next(int low, int high);
  bool empty() const { return pool_.empty(); }

 private:
  RandomSource* random_;
  std::vector<int> pool_;
};

}  // namespace gw
