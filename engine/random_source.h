// The run's one source of random numbers; tests seed it to make a run repeatable,
// or script the next draws outright.
#pragma once

#include <cstdint>
#include <deque>
#include <initializer_list>
#include <random>

class RandomSource {
 public:
  explicit RandomSource(uint32_t seed = 1) : generator_(seed) {}
  // Reseeding keeps any scripted draws still waiting.
  void Seed(uint32_t seed) { generator_.seed(seed); }
  // The next draws return these values (taken modulo the n asked for), in order, before the generator resumes.
  void Script(std::initializer_list<int> values) { scripted_.insert(scripted_.end(), values); }
  size_t ScriptedLeft() const { return scripted_.size(); }
  // A number in [0, n); 0 when n is not positive.
  int Next(int n) {
    if (n <= 0) return 0;
    if (!scripted_.empty()) {
      const int value = scripted_.front();
      scripted_.pop_front();
      return ((value % n) + n) % n;
    }
    return static_cast<int>(generator_() % static_cast<uint32_t>(n));
  }

 private:
  std::mt19937 generator_;
  std::deque<int> scripted_;
};
