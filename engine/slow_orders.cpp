// Slow orders in force: the four minute steps that open, put in force and end
// the active slow-order records, and the merge of an order's speeds into the
// status of the switch or blocks it covers, where the path check reads them.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/engine.h"
#include "store/alert_kinds.h"
#include "store/device_numbers.h"
#include "store/fixed_text.h"
#include "store/run_times.h"
#include "store/track_names.h"

namespace {

constexpr int kMinutesPerDay = 1440;
constexpr int kOpeningLeadMinutes = 480;  // a timed order's record opens up to 8 hours ahead

bool SlowOrdersOn(const Corvane3Data& store) { return store.GetOptionData().SlowOrdersActive != 0; }

int TableCount(const Corvane3Data& store, CountWord word, int capacity) {
  const int32_t count = store.GetCountData().Words[word];
  if (count < 0) return 0;
  return count < capacity ? count : capacity;
}

// The definition an active record names, when that index can be trusted.
bool GetDefinition(const Corvane3Data& store, int32_t index, SlowData& definition) {
  if (index < 0 || index >= kMaxSlowData) return false;
  definition = store.GetSlowData(index);
  return definition.InUse != 0;
}

// "Switch 12" -> 12; -1 when the text after the prefix does not start with a number.
int ReadNumber(std::string_view text) {
  int value = 0;
  size_t digits = 0;
  while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9' && value < 100000) {
    value = value * 10 + (text[digits] - '0');
    ++digits;
  }
  return digits == 0 ? -1 : value;
}

// An order without a speed for a type (-1) lifts that type's restriction;
// of two orders on one device the higher speed stays. The status records are
// packed: their speed fields are reached through the record, never bound.
template <class Status>
void MergeSpeeds(Status& status, const SlowData& order) {
  for (int k = 0; k < 10; ++k) {
    const int16_t first = order.SpeedsFirst[k];
    const int16_t second = order.SpeedsSecond[k];
    if (first == -1 || status.SlowSpeeds[0][k] < first) status.SlowSpeeds[0][k] = first;
    if (second == -1 || status.SlowSpeeds[1][k] < second) status.SlowSpeeds[1][k] = second;
  }
}

template <class Status>
void ClearSpeeds(Status& status) {
  for (int d = 0; d < 2; ++d)
    for (int k = 0; k < 10; ++k) status.SlowSpeeds[d][k] = -1;
}

void ClearDeviceList(SlowStatus& record) {
  for (int i = 0; i < kSlowOrderDevices; ++i) record.Devices[i] = -1;
}

bool IsBlockInUse(const Corvane3Data& store, int block) {
  return block >= 0 && block < kMaxBlocks && store.GetBlockData(block).InUse != 0;
}

bool IsSwitchInUse(const Corvane3Data& store, int index) {
  return index >= 0 && index < kMaxSwitches && store.GetSwitchData(index).InUse != 0;
}

void MergeIntoDevice(Corvane3Data& store, int device, const SlowData& order) {
  if (device >= 0 && device < kMaxBlocks) {
    BlockStatus status = store.GetBlockStatus(device);
    MergeSpeeds(status, order);
    store.UpdateBlockStatus(device, status);
  } else if (device >= device::kSwitchBase && device < device::kSwitchBase + kMaxSwitches) {
    SwitchStatus status = store.GetSwitchStatus(device - device::kSwitchBase);
    MergeSpeeds(status, order);
    store.UpdateSwitchStatus(device - device::kSwitchBase, status);
  }
}

void ClearDevice(Corvane3Data& store, int device) {
  if (device >= 0 && device < kMaxBlocks) {
    BlockStatus status = store.GetBlockStatus(device);
    ClearSpeeds(status);
    store.UpdateBlockStatus(device, status);
  } else if (device >= device::kSwitchBase && device < device::kSwitchBase + kMaxSwitches) {
    SwitchStatus status = store.GetSwitchStatus(device - device::kSwitchBase);
    ClearSpeeds(status);
    store.UpdateSwitchStatus(device - device::kSwitchBase, status);
  }
}

bool ListsDevice(const SlowStatus& record, int device) {
  for (int i = 0; i < kSlowOrderDevices && record.Devices[i] != -1; ++i)
    if (record.Devices[i] == device) return true;
  return false;
}

// Puts the order's speeds on the switch, the block or every block of the
// track its location names, and lists those devices in the record. A number
// out of range or naming a device not in use covers nothing; a track order
// covers no more blocks than the record can list.
void ApplyOrder(Corvane3Data& store, SlowStatus& record, const SlowData& order) {
  ClearDeviceList(record);
  const std::string location = FieldText(order.Location);
  const std::string_view text = location;
  constexpr std::string_view kSwitch = "Switch ", kBlock = "Block ", kTrack = "Track ";
  if (text.starts_with(kSwitch)) {
    const int index = ReadNumber(text.substr(kSwitch.size()));
    if (!IsSwitchInUse(store, index)) return;
    record.Devices[0] = static_cast<int16_t>(device::kSwitchBase + index);
    MergeIntoDevice(store, device::kSwitchBase + index, order);
  } else if (text.starts_with(kBlock)) {
    const int block = ReadNumber(text.substr(kBlock.size()));
    if (!IsBlockInUse(store, block)) return;
    record.Devices[0] = static_cast<int16_t>(block);
    MergeIntoDevice(store, block, order);
  } else if (text.starts_with(kTrack)) {
    const std::string_view track = text.substr(kTrack.size());
    const int blocks = TableCount(store, kCountBlocks, kMaxBlocks);
    int listed = 0;
    for (int b = 0; b < blocks && listed < kSlowOrderDevices; ++b) {
      const BlockData block = store.GetBlockData(b);
      if (block.InUse == 0 || BlockTrackName(block) != track) continue;
      record.Devices[listed++] = static_cast<int16_t>(b);
      MergeIntoDevice(store, b, order);
    }
  }
}

// Alert 9: "Slow Order Active - <text>."
void SlowOrderAlert(Engine& engine, const std::string& text) {
  engine.RaiseAlert(alert_kind::kSlowOrderActive, text.c_str());
}

}  // namespace

void Engine::ActivateSlowOrders() {
  Corvane3Data& store = Store();
  if (!SlowOrdersOn(store)) return;
  const int orders = TableCount(store, kCountSlowOrders, kMaxSlowData);
  for (int i = 0; i < orders; ++i) {
    const SlowData order = store.GetSlowData(i);
    if (order.InUse == 0 || order.Permanent != 1) continue;
    bool active = false;
    for (int s = 0; s < kMaxSlowStatus && !active; ++s) {
      const SlowStatus& record = store.SlowStatusRef(s);
      active = record.InUse != 0 && record.SlowIndex == i;
    }
    if (active) continue;
    const int slot = store.FindFreeSlowStatus();
    if (slot < 0) return;  // every slot taken: tried again next minute
    SlowStatus record = store.GetSlowStatus(slot);
    record.InUse = 1;
    record.SlowIndex = i;
    record.OpeningTime = record.StartTime = store.GetSimClock();
    record.EndTime = -1;
    ApplyOrder(store, record, order);
    record.InForce = 1;
    store.UpdateSlowStatus(slot, record);
    SlowOrderAlert(*this, "Location \"" + FieldText(order.Location) + "\" permanent");
  }
}

void Engine::UpdateTimedSlowOrders() {
  Corvane3Data& store = Store();
  const int32_t clock = store.GetSimClock();
  if (!SlowOrdersOn(store) || clock < 0) return;
  const int32_t day = store.GetSimDay();
  const int now = store.GetSimTimeOfDay() / 60 + kMinutesPerDay * store.GetSimDayOfWeek();
  const int orders = TableCount(store, kCountSlowOrders, kMaxSlowData);
  for (int i = 0; i < orders; ++i) {
    const SlowData order = store.GetSlowData(i);
    if (order.InUse == 0 || order.Permanent == 1) continue;
    // Times outside the day (a definition never completed) schedule nothing.
    if (order.StartMinutes < 0 || order.StartMinutes >= kMinutesPerDay || order.EndMinutes < 0 ||
        order.EndMinutes >= kMinutesPerDay)
      continue;
    int opening = -1;  // minute of the week 8 hours before the start
    bool found = false;
    for (int d = 0; d < 7 && !found; ++d) {
      if (order.Days[d] == 0) continue;
      opening = kMinutesPerDay * d + order.StartMinutes - kOpeningLeadMinutes;
      found = now - kOpeningLeadMinutes <= opening && opening <= now;
    }
    if (!found) continue;

    bool exists = order.OnceOnly == 1 && store.GetSimStartTime() + kSecondsPerWeek < clock;
    for (int s = 0; s < kMaxSlowStatus && !exists; ++s) {
      const SlowStatus& record = store.SlowStatusRef(s);
      if (record.InUse == 0 || record.SlowIndex != i) continue;
      exists = order.OnceOnly == 1 || record.OpeningTime >= clock - kSecondsPerDay;
    }
    if (exists) continue;

    const int slot = store.FindFreeSlowStatus();
    if (slot < 0) return;  // every slot taken: tried again next minute
    // The device list stays as the slot left it until the order comes into force.
    SlowStatus record = store.GetSlowStatus(slot);
    record.InUse = 1;
    record.SlowIndex = i;
    record.InForce = 0;
    record.OpeningTime = (day / 7) * kSecondsPerWeek + 60 * opening;
    record.StartTime = kSecondsPerDay * day + 60 * order.StartMinutes;
    if (record.StartTime < record.OpeningTime) record.StartTime += kSecondsPerDay;
    int duration = order.EndMinutes - order.StartMinutes;
    if (duration < 0) duration += kMinutesPerDay;
    record.EndTime = record.StartTime + 60 * duration;
    store.UpdateSlowStatus(slot, record);
  }
}

void Engine::ActivateTimedSlowOrders() {
  Corvane3Data& store = Store();
  const bool on = SlowOrdersOn(store);
  for (int s = 0; s < kMaxSlowStatus; ++s) {
    if (store.SlowStatusRef(s).InUse == 0) continue;  // most slots are free: passed over without a copy
    SlowStatus record = store.GetSlowStatus(s);
    if (!on) {
      store.FreeSlowStatus(s);  // the device speeds stay as they are
      continue;
    }
    if (record.InForce != 0 || record.StartTime >= store.GetSimClock()) continue;
    SlowData order{};
    if (GetDefinition(store, record.SlowIndex, order)) {
      ApplyOrder(store, record, order);
    } else {
      ClearDeviceList(record);
    }
    record.InForce = 1;
    store.UpdateSlowStatus(s, record);
    const int32_t endOfDay = ((record.EndTime % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay;
    char until[16];
    std::snprintf(until, sizeof until, "%02d:%02d", endOfDay / 3600, endOfDay % 3600 / 60);
    SlowOrderAlert(*this, "Location \"" + FieldText(order.Location) + "\" until " + until);
  }
}

void Engine::ExpireSlowOrders() {
  Corvane3Data& store = Store();
  for (int s = 0; s < kMaxSlowStatus; ++s) {
    const SlowStatus& view = store.SlowStatusRef(s);
    if (view.InUse == 0 || view.InForce != 1 || view.EndTime == -1 || view.EndTime > store.GetSimClock()) continue;
    const SlowStatus ending = view;  // kept as it was while the devices are put back
    for (int i = 0; i < kSlowOrderDevices && ending.Devices[i] != -1; ++i) ClearDevice(store, ending.Devices[i]);
    // Orders still in force on the same devices put their speeds back. A
    // pending record may carry a stale list from an earlier use of its slot,
    // so only records in force take part.
    for (int o = 0; o < kMaxSlowStatus; ++o) {
      if (o == s) continue;
      const SlowStatus& other = store.SlowStatusRef(o);
      SlowData order{};
      if (other.InUse == 0 || other.InForce != 1 || !GetDefinition(store, other.SlowIndex, order)) continue;
      for (int i = 0; i < kSlowOrderDevices && ending.Devices[i] != -1; ++i)
        if (ListsDevice(other, ending.Devices[i])) MergeIntoDevice(store, ending.Devices[i], order);
    }
    store.FreeSlowStatus(s);
  }
}
