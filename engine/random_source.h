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
  // Reseeding keeps any scripted draws still waiting. The engine reseeds from the wall clock's second
  // before many draws, so the state a seed gives (with its first number drawn) is kept and copied back
  // instead of being worked out again: the numbers drawn are the same.
  void Seed(uint32_t seed) {
    if (!seededValid_ || seed != seededWith_) {
      seeded_.seed(seed);
      seededFirst_ = seeded_();
      seededWith_ = seed;
      seededValid_ = true;
    }
    generator_ = seeded_;
    firstPending_ = true;
  }
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
    return static_cast<int>(Draw() % static_cast<uint32_t>(n));
  }

 private:
  uint32_t Draw() {
    if (firstPending_) {
      firstPending_ = false;
      return seededFirst_;
    }
    return generator_();
  }

  std::mt19937 generator_;
  // The generator as the last seed left it after its first number, and that number.
  std::mt19937 seeded_;
  uint32_t seededFirst_ = 0;
  uint32_t seededWith_ = 0;
  bool seededValid_ = false;
  bool firstPending_ = false;  // the next draw is seededFirst_; generator_ already stands after it
  std::deque<int> scripted_;
};
