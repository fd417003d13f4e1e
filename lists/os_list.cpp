#include "lists/os_list.h"

#include <cstddef>
#include <cstring>
#include <vector>

#include "engine/interlocking_devices.h"
#include "store/corvane3_data.h"

namespace {

constexpr int kNameChars = 21;
using DeviceName = std::array<char, kNameChars>;

// A packed record's name field, copied out whole and terminated.
template <class Record>
DeviceName NameAt(const Record& record, size_t offset) {
  DeviceName name{};
  std::memcpy(name.data(), reinterpret_cast<const char*>(&record) + offset, kNameChars);
  name.back() = '\0';
  return name;
}

// The names of the devices in use, read once per rebuild: device number and name, in device order
// (blocks, then switches, then diamonds).
std::vector<std::pair<int16_t, DeviceName>> NamedDevices(const Corvane3Data& store) {
  std::vector<std::pair<int16_t, DeviceName>> devices;
  auto add = [&devices](int device, const DeviceName& name) {
    if (name[0] != '\0') devices.emplace_back(static_cast<int16_t>(device), name);
  };
  for (int i = 0; i < kMaxBlocks; ++i) {
    const BlockData block = store.GetBlockData(i);
    if (block.InUse != 0) add(i, NameAt(block, offsetof(BlockData, Name)));
  }
  for (int i = 0; i < kMaxSwitches; ++i) {
    const SwitchData item = store.GetSwitchData(i);
    if (item.InUse != 0) add(interlocking::kSwitchBase + i, NameAt(item, offsetof(SwitchData, Name)));
  }
  for (int i = 0; i < kMaxCrossings; ++i) {
    const CrossData diamond = store.GetCrossData(i);
    if (diamond.InUse != 0) add(interlocking::kDiamondBase + i, NameAt(diamond, offsetof(CrossData, Name)));
  }
  return devices;
}

OSDeviceList DevicesOf(const OSData& os) {
  OSDeviceList devices;
  std::memcpy(devices.data(), reinterpret_cast<const char*>(&os) + offsetof(OSData, Devices), sizeof devices);
  return devices;
}

std::vector<list::Column> OSColumns() {
  std::vector<list::Column> columns{{"Name", Qt::AlignLeft}};
  for (int i = 0; i < kOSDevices; ++i) columns.push_back({"Block/Switch", Qt::AlignRight});
  return columns;
}

}  // namespace

std::vector<int> RebuildOSDeviceLists(Corvane3Data& store) {
  const auto devices = NamedDevices(store);
  std::vector<int> named;
  for (int slot = 0; slot < kMaxOSData; ++slot) {
    OSData os = store.GetOSData(slot);
    const DeviceName osName = NameAt(os, offsetof(OSData, Name));
    if (os.InUse == 0 || osName[0] == '\0') continue;
    named.push_back(slot);
    OSDeviceList found;
    found.fill(-1);
    size_t count = 0;
    for (const auto& [device, name] : devices) {
      if (count == found.size()) break;
      if (std::strcmp(name.data(), osName.data()) == 0) found[count++] = device;
    }
    std::memcpy(reinterpret_cast<char*>(&os) + offsetof(OSData, Devices), found.data(), sizeof found);
    store.UpdateOSData(slot, os);
  }
  return named;
}

QString OSDeviceText(int16_t device) {
  if (interlocking::IsBlock(device)) return QString("B-%1").arg(device);
  if (interlocking::IsSwitch(device)) return QString("S-%1").arg(device - interlocking::kSwitchBase);
  if (interlocking::IsDiamond(device)) return QString("D-%1").arg(device - interlocking::kDiamondBase);
  return {};
}

TTOS::TTOS(Corvane3Data& store, QWidget* parent)
    : TListFrame(store,
                 list::FrameSpec{"TTOS", "OS Data", 8, 12, OSColumns(), "OS name window", /*KeepsSelection=*/true},
                 parent) {
  AddSaveColumnWidthsButton();
  AddHelpButton();
}

std::vector<list::Row> TTOS::Fill() {
  std::vector<list::Row> rows;
  for (const int slot : RebuildOSDeviceLists(store_)) {
    const OSData os = store_.GetOSData(slot);
    list::Row row;
    row.Record = slot;
    row.Texts.push_back(QString::fromUtf8(NameAt(os, offsetof(OSData, Name)).data()));
    for (const int16_t device : DevicesOf(os)) row.Texts.push_back(OSDeviceText(device));
    rows.push_back(std::move(row));
  }
  return rows;
}
