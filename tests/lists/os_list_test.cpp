// The OS point list: the devices that carry each OS point's name, stored back
// into the OS records, and the list's rows, columns and buttons.
#include "lists/os_list.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <algorithm>
#include <cstring>

#include "platform/controls.h"
#include "store/fixed_text.h"
#include "tests/shell/gui_app.h"
#include "tests/support/store_fixture.h"

namespace {

class OSListTest : public StoreFixture {
 protected:
  OSListTest() { EnsureQApplication(); }

  void Block(int index, const char* name) {
    BlockData block = store().GetBlockData(index);
    block.InUse = 1;
    SetFieldText(block.Name, name);
    store().UpdateBlockData(index, block);
  }
  void Switch(int index, const char* name) {
    SwitchData item = store().GetSwitchData(index);
    item.InUse = 1;
    SetFieldText(item.Name, name);
    store().UpdateSwitchData(index, item);
  }
  void Diamond(int index, const char* name, bool inUse) {
    CrossData diamond = store().GetCrossData(index);
    diamond.InUse = inUse ? 1 : 0;
    SetFieldText(diamond.Name, name);
    store().UpdateCrossData(index, diamond);
  }
  void OS(int slot, const char* name, std::initializer_list<int16_t> devices = {}) {
    OSData os = store().GetOSData(slot);
    os.InUse = 1;
    SetFieldText(os.Name, name);
    OSDeviceList list;
    list.fill(-1);
    std::copy(devices.begin(), devices.end(), list.begin());
    std::memcpy(reinterpret_cast<char*>(&os) + offsetof(OSData, Devices), list.data(), sizeof list);
    store().UpdateOSData(slot, os);
  }
  OSDeviceList Devices(int slot) {
    const OSData os = store().GetOSData(slot);
    OSDeviceList list;
    std::memcpy(list.data(), reinterpret_cast<const char*>(&os) + offsetof(OSData, Devices), sizeof list);
    return list;
  }
  static OSDeviceList List(std::initializer_list<int16_t> devices) {
    OSDeviceList list;
    list.fill(-1);
    std::copy(devices.begin(), devices.end(), list.begin());
    return list;
  }
};

TEST_F(OSListTest, EachOSPointListsTheBlocksSwitchesAndDiamondsOfItsName) {
  Block(3, "Alton");
  Block(7, "Alton");
  Switch(2, "Alton");
  Block(4, "ALTON");
  Diamond(1, "Ferry", true);
  Diamond(2, "Ferry", false);
  OS(0, "Alton", {900, 901});  // stale devices are replaced
  OS(1, "alton", {5});
  OS(2, "Ferry");
  OS(3, "", {12, 13});
  OS(4, "Nowhere");

  EXPECT_EQ(RebuildOSDeviceLists(store()), (std::vector<int>{0, 1, 2, 4}));
  EXPECT_EQ(Devices(0), List({3, 7, 2002}));
  EXPECT_EQ(Devices(1), List({})) << "letter case counts";
  EXPECT_EQ(Devices(2), List({4001})) << "a diamond not in use is no device";
  EXPECT_EQ(Devices(3), List({12, 13})) << "an OS point with no name is left as it was";
  EXPECT_EQ(Devices(4), List({}));
}

TEST_F(OSListTest, TenDevicesAtMostTheLowestBlocksFirst) {
  for (int block = 20; block < 32; ++block) Block(block, "Mill");
  Switch(0, "Mill");
  OS(0, "Mill");
  RebuildOSDeviceLists(store());
  EXPECT_EQ(Devices(0), List({20, 21, 22, 23, 24, 25, 26, 27, 28, 29}));
}

TEST_F(OSListTest, DeviceTexts) {
  const struct {
    int16_t device;
    const char* text;
  } cases[] = {{0, "B-0"}, {1999, "B-1999"}, {2002, "S-2"}, {4010, "D-10"}, {-1, ""}, {3005, ""}};
  for (const auto& c : cases) EXPECT_EQ(OSDeviceText(c.device), c.text) << c.device;
}

TEST_F(OSListTest, TheWindowShowsOneRowPerNamedOSPoint) {
  Block(3, "Alton");
  Block(7, "Alton");
  Switch(2, "Alton");
  OS(0, "Alton");
  OS(1, "");
  OS(2, "Brook");
  store().SetDefaultWindowColumns();
  TTOS window(store(), nullptr);
  window.show();
  EXPECT_EQ(window.windowTitle(), "OS Data");
  EXPECT_NE(FindControl<QPushButton>(&window, 1047), nullptr);
  EXPECT_NE(FindControl<QPushButton>(&window, 141), nullptr);

  const QAbstractItemModel* model = window.List()->model();
  ASSERT_EQ(model->columnCount(), 11);
  EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "Name");
  for (int column = 1; column <= 10; ++column) {
    EXPECT_EQ(model->headerData(column, Qt::Horizontal).toString(), "Block/Switch");
  }
  ASSERT_EQ(model->rowCount(), 2);
  QStringList first;
  for (int column = 0; column < 5; ++column) first << model->index(0, column).data().toString();
  EXPECT_EQ(first, (QStringList{"Alton", "B-3", "B-7", "S-2", ""}));
  EXPECT_EQ(model->index(1, 0).data().toString(), "Brook");
  EXPECT_EQ(model->index(1, 1).data().toString(), "");
  // The default widths of its column program: the name wider than the devices; a default narrower than
  // its heading grows to show the heading whole.
  EXPECT_EQ(window.List()->columnWidth(0), 100);
  EXPECT_EQ(window.List()->columnWidth(10), std::max(50, window.List()->horizontalHeader()->sectionSizeHint(10)));
  EXPECT_GT(window.List()->columnWidth(10), 50) << "\"Block/Switch\" is wider than 50 pixels";
}

}  // namespace
