// A block permit whose request is before the dispatcher: Monday 06:00-10:00 on
// "AA-BB Main", raised by the engine's minute step at 05:59 into permit slot 0.
#pragma once

#include "engine/engine.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"

// The clock on Monday at that time of day.
constexpr int32_t MondayAt(int hour, int minute) { return 86400 + hour * 3600 + minute * 60; }

inline void RaiseMondayPermitRequest(Corvane3Data& store, Engine& engine) {
  const int index = store.FindFreePermitData(1);
  PermitData permit = store.GetPermitData(index);
  SetFieldText(permit.TrackName, "AA-BB Main");
  permit.StartMinutes = 360;
  permit.EndMinutes = 600;
  for (auto& day : permit.Days) day = 0;
  permit.Days[1] = 1;
  SetFieldText(permit.Requestor, "Track gang 4");
  SetFieldText(permit.Reason, "Tie renewal");
  store.UpdatePermitData(index, permit);
  OptionData options = store.GetOptionData();
  options.BlockPermitsActive = 1;
  store.UpdateOptionData(options);
  store.SimStartTime = 0;
  store.SimClock = MondayAt(5, 59);
  engine.ScheduleBlockPermits();
  engine.ProcessPermitRequests();
}
