// The CountData a track file carries: the grid's used extent and, per table,
// one more than the highest slot in use. The writer, the old-format reader and
// the territory builder all work it out here, the same way.
#include <cstring>

#include "store/corvane3_data.h"
#include "store/track_file.h"

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

bool EmptyGridColumn(const int16_t* column) {
  static constexpr int16_t kEmpty[kGridRows] = {};
  return std::memcmp(column, kEmpty, sizeof kEmpty) == 0;
}

CountData TrackFile::ComputeCounts() const {
  CountData counts{};
  // The highest column and the highest row of a cell with a code, at least 1 each.
  int columns = 1, rows = 1;
  for (int x = 0; x < kGridColumns; ++x) {
    const int16_t* column = store_.GridTrack.data() + x * kGridRows;
    if (EmptyGridColumn(column)) continue;
    if (x > columns) columns = x;
    int top = kGridRows - 1;
    while (column[top] == 0) --top;
    if (top > rows) rows = top;
  }
  counts.Words[kCountGridColumns] = columns;
  counts.Words[kCountGridRows] = rows;
  counts.Words[kCountTrains] = OnePastHighest(kMaxTrains, [&](int i) { return store_.trainData_[i].InUse == 1; });
  counts.Words[kCountPermits] = OnePastHighest(kMaxPermitData, [&](int i) { return store_.permitData_[i].InUse == 1; });
  counts.Words[kCountSlowOrders] = OnePastHighest(kMaxSlowData, [&](int i) { return store_.slowData_[i].InUse == 1; });
  counts.Words[kCountPlatforms] = OnePastHighest(kMaxPlatforms, [&](int i) { return store_.platforms_[i].InUse == 1; });
  counts.Words[kCountBlocks] = OnePastHighest(kMaxBlocks, [&](int i) { return store_.blockData_[i].InUse == 1; });
  counts.Words[kCountSwitches] = OnePastHighest(kMaxSwitches, [&](int i) { return store_.switchData_[i].InUse == 1; });
  counts.Words[kCountSignals] = OnePastHighest(kMaxSignals, [&](int i) { return store_.signalData_[i].InUse == 1; });
  counts.Words[kCountDiamonds] = OnePastHighest(kMaxCrossings, [&](int i) { return store_.crossData_[i].InUse == 1; });
  // At least two: the highest location index is taken as at least 1.
  counts.Words[kCountLocations] =
      OnePastHighest(kMaxLocations, [&](int i) { return i == 1 || store_.orgData_[i].InUse == 1; });
  counts.Words[kCountStations] = OnePastHighest(kMaxStations, [&](int i) { return store_.stations_[i].InUse == 1; });
  counts.Words[kCountTexts] = OnePastHighest(kMaxTexts, [&](int i) { return store_.texts_[i].Text[0] != 0; });
  counts.Words[kCountBitmapInserts] =
      OnePastHighest(kMaxBitmapInserts / 2, [&](int i) { return store_.bitmapInsert_[i].Name[0] != 0; });
  counts.Words[kCountTrainTypes] =
      OnePastHighest(kMaxTrainTypes, [&](int i) { return store_.trainTypes_[i].Name[0] != 0; });
  counts.Words[kCountStartTimes] =
      OnePastHighest(kMaxStartTimes, [&](int i) { return store_.startTimes_[i].InUse == 1; });
  counts.Words[kCountAreas] =
      OnePastHighest(kMaxAreas, [&](int i) { return (store_.areas_[i].Values[0] & 0xFF) == 1; });
  counts.Words[kCountOSPoints] = OnePastHighest(kMaxOSData, [&](int i) { return store_.osData_[i].InUse == 1; });
  return counts;
}
