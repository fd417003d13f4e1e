// The OS point list ("OS Data"): every named OS point with the blocks,
// switches and diamonds that carry its name. Building the list also stores
// each OS point's device list, which the train graph and OS reports read.
#pragma once

#include <QString>
#include <array>
#include <cstdint>

#include "lists/list_frame.h"
#include "store/records.h"

using OSDeviceList = std::array<int16_t, kOSDevices>;

// Recomputes every named OS point's device list and stores it: blocks in use whose name equals the OS
// point's (letter case counts), then switches, then diamonds in use, as device numbers, up to ten; -1 after.
// Returns the OS slots that have a name, in slot order.
std::vector<int> RebuildOSDeviceLists(Corvane3Data& store);

// "B-3", "S-2", "D-1" for a block, switch or diamond device number; empty for -1.
QString OSDeviceText(int16_t device);

class TTOS : public TListFrame {
  Q_OBJECT

 public:
  TTOS(Corvane3Data& store, QWidget* parent);

 protected:
  std::vector<list::Row> Fill() override;
};
