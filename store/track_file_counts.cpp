// The CountData a track file carries: the grid's used extent and, per table,
// one more than the highest slot in use. The writer, the old-format reader and
// the territory builder all work it out here, the same way.
#include <cstring>

#include "store/corvane3_data.h"

namespace {

// 1 + the highest index passing the test; 1 when none does.
template <class Test>
int32_t OnePastHighest(int capacity, Test inUse) {
  int highest = 0;
  for (int i = 0; i < capacity; ++i)
    if (inUse(i)) highest = i;
  return highest + 1;
}

}  // namespace

CountData Corvane3Data::ComputeTrackCounts() const {
  CountData counts{};
  int columns = 1, rows = 1;
  for (int x = 0; x < kGridColumns; ++x) {
    for (int y = 0; y < kGridRows; ++y) {
      if (GridTrack[x * kGridRows + y] == 0) continue;
      if (x > columns) columns = x;
      if (y > rows) rows = y;
    }
  }
  counts.Words[kCountGridColumns] = columns;
  counts.Words[kCountGridRows] = rows;
  counts.Words[kCountTrains] = OnePastHighest(kMaxTrains, [&](int i) { return trainData_[i].InUse == 1; });
  counts.Words[kCountPermits] = OnePastHighest(kMaxPermitData, [&](int i) { return permitData_[i].InUse == 1; });
  counts.Words[kCountSlowOrders] = OnePastHighest(kMaxSlowData, [&](int i) { return slowData_[i].InUse == 1; });
  counts.Words[kCountPlatforms] = OnePastHighest(kMaxPlatforms, [&](int i) { return platforms_[i].InUse == 1; });
  counts.Words[kCountBlocks] = OnePastHighest(kMaxBlocks, [&](int i) { return blockData_[i].InUse == 1; });
  counts.Words[kCountSwitches] = OnePastHighest(kMaxSwitches, [&](int i) { return switchData_[i].InUse == 1; });
  counts.Words[kCountSignals] = OnePastHighest(kMaxSignals, [&](int i) { return signalData_[i].InUse == 1; });
  counts.Words[kCountDiamonds] = OnePastHighest(kMaxCrossings, [&](int i) { return crossData_[i].InUse == 1; });
  // At least two: the highest location index is taken as at least 1.
  counts.Words[kCountLocations] =
      OnePastHighest(kMaxLocations, [&](int i) { return i == 1 || orgData_[i].InUse == 1; });
  counts.Words[kCountStations] = OnePastHighest(kMaxStations, [&](int i) { return stations_[i].InUse == 1; });
  counts.Words[kCountTexts] = OnePastHighest(kMaxTexts, [&](int i) { return texts_[i].Text[0] != 0; });
  counts.Words[kCountBitmapInserts] =
      OnePastHighest(kMaxBitmapInserts / 2, [&](int i) { return bitmapInsert_[i].Name[0] != 0; });
  counts.Words[kCountTrainTypes] = OnePastHighest(kMaxTrainTypes, [&](int i) { return trainTypes_[i].Name[0] != 0; });
  counts.Words[kCountStartTimes] = OnePastHighest(kMaxStartTimes, [&](int i) { return startTimes_[i].InUse == 1; });
  counts.Words[kCountAreas] = OnePastHighest(kMaxAreas, [&](int i) { return (areas_[i].Values[0] & 0xFF) == 1; });
  counts.Words[kCountOSPoints] = OnePastHighest(kMaxOSData, [&](int i) { return osData_[i].InUse == 1; });
  return counts;
}
