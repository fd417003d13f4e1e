// The check of a run's state as it comes in from outside (a saved simulation, a recording's records):
// every time, position and index of a train, block, permit and slow order status must be one the program
// itself can write, so that nothing the engine or a list reckons from them can overflow or index outside
// its table. A record that fails it is damaged.
#pragma once

#include <cstdint>

#include "store/records.h"

class Corvane3Data;

class RunCheck {
 public:
  // Longer than any delay the engine schedules from the clock, chains included: a station time or a slow
  // order reaches at most two 16-bit minute counts (2 x 65,535 minutes) and a day beyond the entry day, a
  // crew expiry 12 hours plus 32,768 minutes worked, a stop for local work 65,535 minutes. About 97 days.
  static constexpr int64_t kLongestDelay = int64_t{1} << 23;

  // The run that started at `startTime` (-1 not started) and stands at `clock`, over the territory loaded.
  RunCheck(const Corvane3Data& store, int32_t startTime, int32_t clock);

  // -1 (none), or from the longest delay before the run's start (or before the week's start, where a
  // crew expiry set by hand lies) to the longest delay after the clock.
  bool Time(int32_t time) const { return time == -1 || (time >= first_ && time <= last_); }

  bool Train(const TrainStatus& status) const;
  bool StationTimes(const TrainStationTime& times) const;
  bool Block(const BlockStatus& status) const;
  bool Permit(const PermitStatus& status) const;
  bool Slow(const SlowStatus& status) const;

 private:
  const Corvane3Data& store_;
  int64_t first_;
  int64_t last_;
};
