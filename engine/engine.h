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

  // ---- alerts (alerts.cpp)

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
