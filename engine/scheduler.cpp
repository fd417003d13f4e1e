// The train scheduler: every scheduled train whose entry lies within the next
// eight hours of the week gets a running-train slot, waiting to enter.
#include <algorithm>
#include <array>

#include "engine/engine.h"
#include "store/fixed_text.h"
#include "store/run_times.h"
#include "store/train_codes.h"
#include "store/wall_clock.h"

namespace {

constexpr int32_t kWeekSeconds = 604800;
constexpr int kLookAheadMinutes = 480;

bool ValidType(int type) { return type >= 0 && type < kMaxTrainTypes; }

}  // namespace

void Engine::ScheduleTrains() {
  Corvane3Data& store = Store();
  Random().Seed(static_cast<uint32_t>(WallClockNow()));
  const int32_t clock = store.GetSimClock();
  if (clock < 0) return;
  const int now = store.GetSimTimeOfDay() / 60 + 1440 * store.GetSimDayOfWeek();
  const int32_t day = store.GetSimDay();
  const int32_t endTime = store.GetSimEndTime();
  const CountData counts = store.GetCountData();
  const int schedules = std::clamp(+counts.Words[kCountTrains], 0, kMaxTrains);
  const RandomData random = store.GetRandomData();

  for (int t = 0; t < schedules; ++t) {
    const TrainData& data = store.TrainDataRef(t);
    if (data.InUse != 1 || data.EntranceMinutes == 0xFFFF || data.Entrance[0] == '\0') continue;

    // The first weekday, in week order, whose entry lies within the window.
    int32_t entry = -1;
    for (int d = 0; d < 7; ++d) {
      if (data.Days[d] == 0) continue;
      const int minute = 1440 * d + data.EntranceMinutes;
      if (minute < now || minute > now + kLookAheadMinutes) continue;
      // A schedule with a running train whose entry is less than 12 hours ago (or still to come) waits.
      if (store.LatestScheduledEntry(t) >= clock - kCrewShift) continue;
      entry = (day / 7) * kWeekSeconds + 60 * minute;
      break;
    }
    if (entry < 0 || (endTime != -1 && entry > endTime)) continue;

    const int slot = store.FindFreeTrainStatus();
    if (slot < 0) return;  // no room: the next minute tries again
    TrainStatus train = store.GetTrainStatus(slot);
    train.InUse = 1;
    train.TrainIndex = static_cast<int16_t>(t);
    train.State = TrainState::Scheduled;
    SetFieldText(train.TrainId, FieldText(data.TrainId));
    train.Byte29 = 0;
    train.Type = data.Type;
    train.Length = data.Length;
    train.HeadDirection = data.EntryDirection;
    // Schedule location names are 3 bytes; the running train's fields 5: copied bounded and terminated.
    SetFieldText(train.Entrance, FieldText(data.Entrance));
    SetFieldText(train.Exit, FieldText(data.Exit));
    train.MultipleAdvancePending = 0;
    train.HeadEventTime = entry;
    train.ScheduledEntry = entry;
    train.CrewExpiry = entry + kCrewShift - 60 * data.CrewMinutesWorked;
    train.Speed = 0;
    const bool typed = ValidType(data.Type);
    const TrainType type = typed ? store.GetTrainType(data.Type) : TrainType{};
    train.ReverseSpeed = typed ? type.ReverseSpeed : int16_t{-1};
    train.SpeedCap = typed ? type.TopSpeed : int16_t{-1};

    // Station times on the current day; a stop already passed today is tomorrow's (new track files only).
    TrainStationTime times = store.GetTrainStationTime(slot);
    for (int k = 0; k < kTrainStations; ++k) {
      times.Times[k] = -1;
      if (data.Stations[k].Minutes == 0xFFFF) continue;
      int32_t time = 60 * data.Stations[k].Minutes + kSecondsPerDay * day;
      if (clock > time && store.LoadedTrackVersion > 29) time += kSecondsPerDay;
      times.Times[k] = time;
    }
    store.UpdateTrainStationTime(slot, times);

    train.PerformancePercent = 100;
    train.LocoProblem = 0;
    train.TrainProblem = 0;
    if (typed) {
      const int late = random.LateStartPercent[data.Type];
      if (late != 0 && Random().Next(100) <= late) {
        const int hours = (RandomHalvingIndex(1000) >> 16) & 0xFFFF;
        train.HeadEventTime += 3600 * hours + 60 * Random().Next(59);
        if (train.HeadEventTime > entry + 14400)
          train.CrewExpiry = train.HeadEventTime + kCrewShift - 60 * data.CrewMinutesWorked;
      }
      const int spread = random.PerformanceSpread[data.Type];
      if (spread > 0) train.PerformancePercent = static_cast<int16_t>(100 + spread - Random().Next(2 * spread));
      const int loco = random.LocoProblemPercent[data.Type];
      if (loco != 0 && Random().Next(100) < loco) train.LocoProblem = 5;
      const int problem = random.TrainProblemPercent[data.Type];
      if (problem != 0 && Random().Next(100) < problem) train.TrainProblem = 5;
    }
    ++train.BlockEntries;
    store.UpdateTrainStatus(slot, train, 1);
  }
}
