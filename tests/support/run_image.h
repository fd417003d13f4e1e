// Every run-time record of a store as its bytes, table by table, to compare whole runs.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "store/corvane3_data.h"

// A train slot keeps its crew expiry and last bytes through a reset: those are left out.
inline std::vector<uint8_t> RunImage(const Corvane3Data& store) {
  std::vector<uint8_t> bytes;
  const auto add = [&](const auto& record) {
    const auto* p = reinterpret_cast<const uint8_t*>(&record);
    bytes.insert(bytes.end(), p, p + sizeof record);
  };
  for (int i = 0; i < kMaxBlocks; ++i) add(store.GetBlockStatus(i));
  for (int i = 0; i < kMaxSwitches; ++i) add(store.GetSwitchStatus(i));
  for (int i = 0; i < kMaxSignals; ++i) add(store.GetSignalStatus(i));
  for (int i = 0; i < kMaxCrossings; ++i) add(store.GetCrossStatus(i));
  for (int i = 0; i < kMaxLocations; ++i) add(store.GetOrgStatus(i));
  for (int i = 0; i < kMaxStack; ++i) add(store.GetStackData(i));
  for (int i = 0; i < kMaxSlowStatus; ++i) add(store.GetSlowStatus(i));
  for (int i = 0; i < kMaxPermitStatus; ++i) add(store.GetPermitStatus(i));
  for (int i = 0; i < kMaxArchivePerform; ++i) add(store.GetArchivePerformStatus(i));
  for (int i = 0; i < kMaxTrainStatus; ++i) {
    TrainStatus train = store.GetTrainStatus(i);
    train.CrewExpiry = 0;
    std::memset(train.Bytes165, 0, sizeof train.Bytes165);
    add(train);
    add(store.GetTrainStationTime(i));
    add(store.GetTrainStop(i));
  }
  return bytes;
}
