// The simulation engine: the operations the layout window, the tick and the
// interfaces call, over the store and its run state. One object per run; the
// layout window owns it. Its operations are split into files by topic.
#pragma once

#include "engine/random_source.h"
#include "store/corvane3_data.h"

class Engine {
 public:
  explicit Engine(Corvane3Data& store) : store_(store) {}
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  Corvane3Data& Store() { return store_; }
  RunState& Run() { return store_.Run; }
  RandomSource& Random() { return random_; }

  // ---- small routines: random bands and the pause flag (routines.cpp)
  // A random value below n in the low 16 bits and its halving band in the high 16 bits: band k
  // while the value is below n/2 + n/4 + ... (k + 1 terms), 10 beyond; n = 0 gives value 0, band 10.
  int32_t RandomHalvingIndex(int n);
  // Pauses the run while a message box or sound is in progress, and resumes it.
  void SetStopStatus();
  void ClearStopStatus();

  // ---- alerts (alerts.cpp)
  // Raises alert `kind` (0-12) when it is enabled: the texts fill the kind's
  // format in order (null = not given).
  void RaiseAlert(int kind, const char* text1 = nullptr, const char* text2 = nullptr, const char* text3 = nullptr);
  // "hh:mm" of a time of day in seconds; hours of 24 and more wrap to the next day's.
  static std::string FormatClockTime(int32_t secondsOfDay);

  // ---- clock and tick (tick.cpp)

  // ---- interlocking: path tracing, signals, switches (interlocking.cpp)

  // ---- device timers, repairs, routes and stack (devices.cpp, routes.cpp)

  // ---- slow orders and running speed (slow_orders.cpp, speed.cpp)

  // ---- train movement (movement.cpp)

  // ---- train life cycle (trains.cpp)

  // ---- train commands, merging, crews (commands.cpp, crews.cpp)

  // ---- block permits (permits.cpp)

 private:
  Corvane3Data& store_;
  RandomSource random_;
};
