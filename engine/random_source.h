// The run's one source of random numbers; tests seed it to make a run repeatable.
#pragma once

#include <cstdint>
#include <random>

class RandomSource {
 public:
  explicit RandomSource(uint32_t seed = 1) : generator_(seed) {}
  void Seed(uint32_t seed) { generator_.seed(seed); }
  // A number in [0, n); 0 when n is not positive.
  int Next(int n) {
    if (n <= 0) return 0;
    return static_cast<int>(generator_() % static_cast<uint32_t>(n));
  }

 private:
  std::mt19937 generator_;
};
