// The train life cycle tests: the movement line, with the scheduler and the
// state machine driven the way the tick drives them.
#pragma once

#include <string>

#include "tests/engine/movement_fixture.h"

class TrainLifeTest : public MovementTest {
 protected:
  static constexpr int32_t kDay = 86400;
  static constexpr int32_t kMonday = kDay;  // day 0 is a Sunday

  // The line, a new-structure track file, the clock at 08:00 of Monday.
  void SetUpLine() {
    Line();
    Start();
    store().LoadedTrackVersion = 37;
  }

  TrainData Schedule(int index) { return store().GetTrainData(index); }
  void SetSchedule(int index, const TrainData& data) { store().UpdateTrainData(index, data); }
  void RunsOn(int index, std::array<uint8_t, 7> days, int minutes) {
    TrainData d = Schedule(index);
    std::memcpy(d.Days, days.data(), 7);
    d.EntranceMinutes = static_cast<uint16_t>(minutes);
    SetSchedule(index, d);
  }
  int RunningSlots() { return store().GetCountData().Words[kCountRunningTrains]; }
  int InUse() {
    int n = 0;
    for (int slot = 0; slot < RunningSlots(); ++slot) n += Train(slot).InUse == 1;
    return n;
  }

  // One tick as the running clock makes it: 10 s on, head events, rear events; the scheduler every minute.
  void LifeTick() {
    store().SimClock += 10;
    engine.StepTrains();
    engine.AdvanceMovingTrains();
    if (store().SimClock / 10 % 6 == 0) engine.ScheduleTrains();
  }
  void RunFor(int32_t seconds) {
    for (int32_t s = 0; s < seconds; s += 10) LifeTick();
  }
  void SetAspect(int signal, int aspect) {
    SignalStatus status = store().GetSignalStatus(signal);
    status.Aspect = static_cast<int16_t>(aspect);
    store().UpdateSignalStatus(signal, status);
  }
  std::string LastAlert() {
    const int used = store().Run.AlertLinesUsed;
    return used > 0 ? Alert(used - 1) : std::string();
  }
};
