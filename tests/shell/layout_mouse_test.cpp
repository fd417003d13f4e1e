// The dispatcher's clicks on the layout window, synthesised as mouse events at
// cell positions, and the pop-up menus they open with their commands.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <memory>

#include "dialogs/property_displays.h"
#include "engine/train_commands.h"
#include "resources/layout_popup_ids.h"
#include "shell/corvane3_window.h"
#include "shell/display_pictures.h"
#include "shell/layout_popup.h"
#include "shell/train_lists.h"
#include "store/operating_mode.h"
#include "tests/engine/signal_line_fixture.h"
#include "tests/shell/gui_app.h"

namespace {

// The signal line: B0 =SW0= B1 =SW1= B2 on row 4, signals S0 and S1 on row 5.
class LayoutMouseTest : public SignalLineTest {
 protected:
  LayoutMouseTest() {
    EnsureQApplication();
    window_ = std::make_unique<TCorvane3Window>(store(), pictures_);
    window_->resize(800, 600);
    window_->show();
  }
  ~LayoutMouseTest() override {
    delete window().PopupMenu.data();
    window_.reset();
  }

  // The territory is drawn (a fresh run, Help Messages on, no random failures) and shown.
  void Ready() {
    SignalLineTest::Ready();
    store().Run.Loading = 0;
    window().ComputeLayoutExtent();
    QCoreApplication::processEvents();
  }

  // A press and release of the button at the middle of a cell (zoom 1, view at the origin unless moved).
  void Click(Qt::MouseButton button, int column, int row) {
    const layout::View view = window().CurrentView();
    const layout::Point corner = view.CellToWindow(column, row);
    const QPointF at(corner.X + view.CellSize() / 2, corner.Y + view.CellSize() / 2);
    ClickAt(button, at);
  }
  void ClickAt(Qt::MouseButton button, QPointF at) {
    QWidget* viewport = window().viewport();
    QMouseEvent press(QEvent::MouseButtonPress, at, viewport->mapToGlobal(at), button, button, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, viewport->mapToGlobal(at), button, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &release);
  }
  void ClickSignal(Qt::MouseButton button, int signal) {
    const SignalData data = store().GetSignalData(signal);
    Click(button, data.CellX, data.CellY);
  }

  // The shown menu's items as "id text", separators as "-", greyed items marked "(greyed)".
  std::vector<std::string> MenuItems() {
    std::vector<std::string> items;
    QMenu* menu = window().PopupMenu.data();
    if (!menu) return items;
    for (QAction* action : menu->actions()) {
      if (action->isSeparator()) {
        items.push_back("-");
        continue;
      }
      items.push_back(action->objectName().toStdString() + " " + action->text().toStdString() +
                      (action->isEnabled() ? "" : " (greyed)"));
    }
    return items;
  }
  // Picks an item of the shown menu as the user would; its command runs once the menu has gone.
  void Choose(int id) {
    QMenu* menu = window().PopupMenu.data();
    ASSERT_NE(menu, nullptr);
    QAction* action = menu->findChild<QAction*>(QString::number(id));
    ASSERT_NE(action, nullptr) << id;
    ASSERT_TRUE(action->isEnabled()) << id;
    action->trigger();
    menu->close();
    QCoreApplication::processEvents();
  }

  int Position(int sw) { return store().GetSwitchStatus(sw).Position; }
  void SetMode(int32_t mode) { store().OperatingMode = mode; }
  // A train standing in a block's slot (stopped at a signal unless told), the block occupied that way.
  void Stand(int train, int block, int slot, int occupancy, int reason = 3, const char* id = "T") {
    TrainStatus status = store().GetTrainStatus(train);
    status.InUse = 1;
    status.State = 3;
    status.Reason = static_cast<uint8_t>(reason);
    status.HeadBlock = status.RearBlock = static_cast<int16_t>(block);
    status.HeadDirection = occupancy == 3 ? 1 : 0;
    status.MergeNext = -1;
    status.StopInBlock = -1;
    status.CrewChangeLocation = -1;
    SetFieldText(status.TrainId, id);
    store().UpdateTrainStatus(train, status, 1);
    BlockStatus block_status = store().GetBlockStatus(block);
    block_status.Trains[slot] = static_cast<uint16_t>(train);
    block_status.Occupancy = static_cast<int16_t>(occupancy);
    store().UpdateBlockStatus(block, block_status);
  }

  TCorvane3Window& window() { return *window_; }

 private:
  DisplayPictures pictures_;
  std::unique_ptr<TCorvane3Window> window_;
};

TEST_F(LayoutMouseTest, AClickThrowsASwitchUnlessOccupiedOrInPlayback) {
  Ready();
  Click(Qt::LeftButton, 10, 4);
  EXPECT_EQ(Position(sw0), 1);
  EXPECT_TRUE(messages.Calls.empty());

  SwitchStatus occupied = store().GetSwitchStatus(sw0);
  occupied.Occupancy = 3;
  store().UpdateSwitchStatus(sw0, occupied);
  Click(Qt::LeftButton, 10, 4);
  EXPECT_EQ(Position(sw0), 1);
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Switch will not throw.  Switch is occupied."});

  messages.Calls.clear();
  SetMode(operating_mode::kPlayback);
  Click(Qt::LeftButton, 19, 4);
  EXPECT_EQ(Position(sw1), 0);
  ASSERT_EQ(MessageTexts(), std::vector<std::string>{"You cannot change switch positions in playback mode"});
  EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Information);
}

TEST_F(LayoutMouseTest, AClickClearsASignalAndTheNextCancelsItAlsoOnItsSecondCell) {
  // The second cell of a signal's picture names the same signal.
  t.Paint({8, 5}, 0, 13000 + s0);
  Ready();
  Click(Qt::LeftButton, 9, 5);
  EXPECT_NE(Aspect(s0), 5);
  EXPECT_EQ(window().PopupTarget, SignalDevice(s0));
  Click(Qt::LeftButton, 8, 5);
  EXPECT_EQ(Aspect(s0), 5);
  EXPECT_TRUE(messages.Calls.empty());

  SetMode(operating_mode::kPlayback);
  Click(Qt::LeftButton, 9, 5);
  EXPECT_EQ(Aspect(s0), 5);
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"You cannot change signal conditions in playback mode"});
}

TEST_F(LayoutMouseTest, EntranceSignalThenAClickOnTheExitBuildsTheRoute) {
  Ready();
  ClickSignal(Qt::RightButton, s0);
  EXPECT_EQ(MenuItems(), (std::vector<std::string>{"1080 Fleet", "1081 Entrance Signal", "-",
                                                   "1082 Add Stack Command (to next signal only)"}));
  Choose(res::CM_ENTRANCE_SIGNAL);
  EXPECT_EQ(store().Run.PendingRouteEntrance, s0);
  EXPECT_EQ(+store().GetSignalStatus(s0).Highlight, 1);
  EXPECT_EQ(store().Run.SelectedDevice, SignalDevice(s0));

  ClickSignal(Qt::LeftButton, s1);
  EXPECT_EQ(store().Run.PendingRouteEntrance, -1);
  EXPECT_NE(Aspect(s0), 5) << "the route from S0 to S1 is set up";
  EXPECT_EQ(Aspect(s1), 5) << "the exit was not cleared by the click";
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(LayoutMouseTest, AClickElsewhereDropsAPendingEntrance) {
  Ready();
  ClickSignal(Qt::RightButton, s0);
  Choose(res::CM_ENTRANCE_SIGNAL);
  Click(Qt::LeftButton, 5, 4);  // on B0
  EXPECT_EQ(store().Run.PendingRouteEntrance, -1);
  EXPECT_EQ(+store().GetSignalStatus(s0).Highlight, 0);
  EXPECT_EQ(store().Run.SelectedDevice, -1);

  // With a selection pending a right click on another signal builds the route at once, with no menu.
  ClickSignal(Qt::RightButton, s0);
  Choose(res::CM_ENTRANCE_SIGNAL);
  ClickSignal(Qt::RightButton, s1);
  EXPECT_EQ(window().PopupMenu.data(), nullptr);
  EXPECT_NE(Aspect(s0), 5);
}

TEST_F(LayoutMouseTest, AStackedCommandIsOfferedForDeletionAndDeletedFromTheMenu) {
  Ready();
  ClickSignal(Qt::RightButton, s0);
  Choose(res::CM_ADD_STACK_COMMAND);
  EXPECT_EQ(store().Run.PendingStackEntrance, s0);
  ClickSignal(Qt::LeftButton, s1);
  EXPECT_EQ(store().Run.PendingStackEntrance, -1);
  ASSERT_EQ(+store().GetStackData(0).InUse, 1) << (MessageTexts().empty() ? "" : MessageTexts()[0]);

  ClickSignal(Qt::RightButton, s0);
  const std::vector<std::string> items = MenuItems();
  ASSERT_FALSE(items.empty());
  EXPECT_EQ(items.back(), "1083 Delete Stack Command 000 S0-S1");
  Choose(res::CM_DELETE_STACK_COMMAND);
  EXPECT_EQ(+store().GetStackData(0).InUse, 0);
}

TEST_F(LayoutMouseTest, FleetClearsAndFleetsAndTheMenuThenOffersRemoveFleet) {
  Ready();
  SignalData fleetable = store().GetSignalData(s0);
  ASSERT_EQ(+fleetable.TrackCode, 22);
  ClickSignal(Qt::RightButton, s0);
  // Offered only to signals of codes 21 and 22, first.
  EXPECT_EQ(MenuItems().front(), "1080 Fleet");
  Choose(res::CM_FLEET);
  EXPECT_NE(Aspect(s0), 5);
  EXPECT_EQ(+store().GetSignalStatus(s0).Fleet, 1);
  EXPECT_EQ(+store().GetSwitchStatus(sw0).FleetLocked, 1);

  ClickSignal(Qt::RightButton, s0);
  EXPECT_EQ(MenuItems(), std::vector<std::string>{"1080 Remove Fleet"});
  Choose(res::CM_FLEET);
  EXPECT_EQ(+store().GetSignalStatus(s0).Fleet, 0);
  EXPECT_EQ(+store().GetSwitchStatus(sw0).FleetLocked, 0);
}

TEST_F(LayoutMouseTest, ASignalRightClickOutsideTheSimulationModesDoesNothing) {
  Ready();
  for (int32_t mode : {operating_mode::kPlayback, operating_mode::kNone}) {
    SetMode(mode);
    ClickSignal(Qt::RightButton, s0);
    EXPECT_EQ(window().PopupMenu.data(), nullptr) << mode;
    EXPECT_EQ(Aspect(s0), 5);
  }
}

TEST_F(LayoutMouseTest, APlainBlockOpensItsPropertySheetAtOnce) {
  Ready();
  QString caption;
  int shownBlock = -1;
  WhenModalOpens([&](QWidget* modal) {
    auto* sheet = dynamic_cast<TBlockSheet*>(modal);
    if (!sheet) return;
    caption = sheet->windowTitle();
    if (auto* number = sheet->findChild<QLineEdit*>("7296")) shownBlock = number->text().toInt();
    sheet->reject();
  });
  Click(Qt::RightButton, 14, 4);
  EXPECT_EQ(caption, "Block Properties");
  EXPECT_EQ(shownBlock, b1);
  EXPECT_EQ(window().PopupMenu.data(), nullptr);
  EXPECT_EQ(+store().Run.SimPaused, 0) << "the clock runs again once the sheet is closed";
}

TEST_F(LayoutMouseTest, AWorkingSwitchOpensItsDisplayAtOnce) {
  Ready();
  QString caption;
  WhenModalOpens([&](QWidget* modal) {
    if (!modal) return;
    caption = modal->windowTitle();
    modal->close();
  });
  Click(Qt::RightButton, 19, 4);
  EXPECT_EQ(caption, "Switch Information");
}

TEST_F(LayoutMouseTest, ACrewIsSentToThrowAHandThrownSwitch) {
  SwitchData hand = store().GetSwitchData(sw0);
  hand.HandThrown = 1;
  store().UpdateSwitchData(sw0, hand);
  Ready();
  Stand(0, b0, 0, 4);
  Click(Qt::RightButton, 10, 4);
  EXPECT_EQ(MenuItems(),
            (std::vector<std::string>{"1097 Switch 0 Properties", "-", "1098 Crew to throw Switch 0 Manually"}));
  Choose(res::CM_CREW_THROW_SWITCH);
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Crew will throw switch in 5 minutes."});
  EXPECT_EQ(+store().GetSwitchStatus(sw0).CrewThrowTime, store().SimClock + 300);
}

TEST_F(LayoutMouseTest, ABlockWithTrainsListsEachTrainsItemsAndRunsThem) {
  Ready();
  Stand(0, b1, 0, 3, 3, "A&B");
  Click(Qt::RightButton, 14, 4);
  const std::vector<std::string> expected = {
      "1077 Block 1 Properties",
      "-",
      "1190 Train \"A&&B\" OS",
      "1100 Train \"A&&B\" Properties",
      "1110 Train \"A&&B\" Status",
      "1180 Train \"A&&B\" Pass Next Red Signal",
      "1120 Train \"A&&B\" Reverse Direction",
      "1160 Train \"A&&B\" Stop in Block",
      "1130 Train \"A&&B\" Stop Now",
  };
  EXPECT_EQ(MenuItems(), expected);
  EXPECT_EQ(store().Run.PopupTrains[0], 0);
  Choose(train_menu::kStopNow);
  EXPECT_EQ(+store().GetTrainStatus(0).DispatcherStop, 1);
}

TEST_F(LayoutMouseTest, AClickOnALinkedBlockShowsTheBlockThatContinuesIt) {
  // B0's left end continues far to the right: drawn elsewhere.
  const int far = t.Block({.Name = "FAR", .From = {180, 150}, .To = {190, 150}});
  Ready();
  BlockData linked = store().GetBlockData(b0);
  linked.LeftLinked = linked.RightLinked = 1;  // both: the left link wins
  linked.LeftNeighbour = static_cast<int16_t>(far);
  store().UpdateBlockData(b0, linked);
  ASSERT_FALSE(window().IsCellVisible(180, 150));
  Click(Qt::LeftButton, 5, 4);
  EXPECT_TRUE(window().IsCellVisible(180, 150));

  // A link flag beside a neighbour that is no block (a damaged record) leads nowhere.
  linked.LeftNeighbour = static_cast<int16_t>(SwitchDevice(sw0));
  linked.RightLinked = 0;
  store().UpdateBlockData(b0, linked);
  const QPoint before(window().horizontalScrollBar()->value(), window().verticalScrollBar()->value());
  window().EdgeZone = 0;
  Click(Qt::LeftButton, 5, 4);
  EXPECT_EQ(QPoint(window().horizontalScrollBar()->value(), window().verticalScrollBar()->value()), before);
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(LayoutMouseTest, AClickInTheLeftEdgeZoneScrollsBackHalfAWindow) {
  t.Block({.Name = "LONG", .From = {2, 8}, .To = {190, 8}});
  Ready();
  window().ScrollTo(20, 0);
  ClickSignal(Qt::RightButton, s0);
  Choose(res::CM_ENTRANCE_SIGNAL);
  window().ScrollTo(20, 0);
  window().EdgeZone = 1;
  const int half = (window().viewport()->width() / 2) / 32 + 1;
  ClickAt(Qt::LeftButton, QPointF(3, 8 * 16 + 8));  // on LONG, at the left edge
  EXPECT_EQ(window().horizontalScrollBar()->value(), 20 - half);
  EXPECT_EQ(store().Run.PendingRouteEntrance, -1);
}

TEST_F(LayoutMouseTest, ARightClickOnAnEmptyCellSwitchesTheZoom) {
  Ready();
  Click(Qt::RightButton, 14, 1);
  EXPECT_EQ(store().ZoomDivisor, 2);
  EXPECT_EQ(window().ClickedColumn, 14);
  EXPECT_EQ(window().ClickedRow, 1);
  // Beyond the used layout the last column and row are taken.
  Click(Qt::RightButton, window().LayoutExtentX + 5, window().LayoutExtentY + 3);
  EXPECT_EQ(store().ZoomDivisor, 1);
  EXPECT_EQ(window().ClickedColumn, window().LayoutExtentX);
  EXPECT_EQ(window().ClickedRow, window().LayoutExtentY);
}

TEST_F(LayoutMouseTest, AtHalfZoomAClickFindsItsCellFromTheScrolledPixel) {
  t.Block({.Name = "LONG", .From = {2, 8}, .To = {190, 8}});
  Ready();
  Click(Qt::RightButton, 14, 1);  // an empty cell: half zoom
  ASSERT_EQ(store().ZoomDivisor, 2);
  window().ScrollTo(1, 0);
  ASSERT_EQ(window().horizontalScrollBar()->value(), 1);
  ClickAt(Qt::RightButton, QPointF(40, 20));
  EXPECT_EQ(window().ClickedColumn, (40 + 32) / 8);
  EXPECT_EQ(window().ClickedRow, 20 / 8);
}

// ---- the menus' rules, through the builder the window uses

TEST_F(LayoutMouseTest, TrainGroupsFollowTheBlocksDirectionAndTheTrainsState) {
  Ready();
  auto ids = [&](int block) {
    std::vector<int> out;
    for (const PopupItem& item : popup::BlockMenu(window().TheEngine(), block).Items) out.push_back(item.Id);
    return out;
  };
  auto has = [&](int block, int id) {
    const std::vector<int> all = ids(block);
    return std::find(all.begin(), all.end(), id) != all.end();
  };
  using namespace train_menu;
  // Occupied right: slot 0 leads, and the slot 1 train merges with it.
  Stand(0, b1, 0, 3, 3, "A");
  Stand(1, b1, 1, 3, 3, "B");
  std::vector<PopupItem> items = popup::BlockMenu(window().TheEngine(), b1).Items;
  ASSERT_GT(items.size(), 3u);
  EXPECT_EQ(items[2].Id, kOS + 0);
  EXPECT_FALSE(has(b1, kMerge + 0));
  EXPECT_TRUE(has(b1, kMerge + 1));
  for (const PopupItem& item : items)
    if (item.Id == kMerge + 1) {
      EXPECT_EQ(item.Text, "Train \"B\" Merge with Train \"A\"");
    }
  // Occupied left: slot 1 leads, and the slot 0 train merges with it.
  Stand(0, b1, 0, 4, 3, "A");
  Stand(1, b1, 1, 4, 3, "B");
  items = popup::BlockMenu(window().TheEngine(), b1).Items;
  EXPECT_EQ(items[2].Id, kOS + 1);
  EXPECT_TRUE(has(b1, kMerge + 0));
  EXPECT_FALSE(has(b1, kMerge + 1));

  // Waiting for a crew change: reverse only in a block occupied right.
  Stand(2, b2, 0, 3, 21, "C");
  EXPECT_TRUE(has(b2, kReverse));
  Stand(2, b2, 0, 4, 21, "C");
  EXPECT_FALSE(has(b2, kReverse));

  // In playback a train offers only OS, Properties and Status.
  SetMode(operating_mode::kPlayback);
  EXPECT_EQ(ids(b2), (std::vector<int>{res::CM_BLOCK_PROPERTIES, 0, kOS, kProperties, kStatus}));
}

TEST_F(LayoutMouseTest, InCTCControlModeEveryMainBlockHasAMenuWithThePermitItem) {
  Ready();
  BlockData platform = store().GetBlockData(b0);
  SetFieldText(platform.PlatformName, "Central");
  store().UpdateBlockData(b0, platform);
  EXPECT_EQ(popup::BlockMenu(window().TheEngine(), b0).Items,
            (std::vector<PopupItem>{{res::CM_BLOCK_PROPERTIES, "Block 0 Properties", true},
                                    {res::CM_PLATFORM_TRAINS, "Trains Stopping at Platform", true}}));
  OptionData options = store().GetOptionData();
  options.CTCControlOn = 1;
  store().UpdateOptionData(options);
  SetMode(operating_mode::kNone);
  for (int block : {b0, b1})
    EXPECT_EQ(
        popup::BlockMenu(window().TheEngine(), block).Items,
        (std::vector<PopupItem>{{res::CM_BLOCK_PROPERTIES, "Block " + std::to_string(block) + " Properties", true},
                                {res::CM_ISSUE_BLOCK_PERMIT, "Issue Block Permit", true}}));
}

TEST_F(LayoutMouseTest, ASignalCarriesAtMostFiveStackedCommandsAndAFleetedOneNoneNew) {
  Ready();
  for (int slot = 0; slot < 6; ++slot) {
    StackData command = store().GetStackData(slot);
    command.InUse = 1;
    command.EntranceSignal = static_cast<int16_t>(s0);
    command.ExitSignal = static_cast<int16_t>(s1);
    store().UpdateStackData(slot, command);
  }
  std::vector<int> ids;
  for (const PopupItem& item : popup::SignalMenu(window().TheEngine(), s0).Items) ids.push_back(item.Id);
  EXPECT_EQ(ids, (std::vector<int>{1080, 1081, 1083, 1084, 1085, 1086, 1087}));

  SignalStatus fleeted = store().GetSignalStatus(s1);
  fleeted.Fleet = 1;
  store().UpdateSignalStatus(s1, fleeted);
  EXPECT_EQ(popup::SignalMenu(window().TheEngine(), s1).Items,
            (std::vector<PopupItem>{{res::CM_FLEET, "Remove Fleet", true},
                                    {res::CM_ENTRANCE_SIGNAL, "Entrance Signal", true}}));
}

}  // namespace

namespace {

// The windows of one kind the pop-up commands opened, by caption.
template <class Window>
std::vector<std::string> OpenCaptions() {
  std::vector<std::string> captions;
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (auto* window = qobject_cast<Window*>(widget); window != nullptr && window->isVisible())
      captions.push_back(window->windowTitle().toStdString());
  return captions;
}

TEST_F(LayoutMouseTest, TrainPlatformAndLocationItemsOpenTheirLists) {
  t.Platform("Central", b0);
  const int west = t.Location("WEST", b0, End::Left);
  Ready();
  Stand(0, b1, 0, 3, 3, "401");

  // Status and OS go through the engine to the window services (the program's own open the lists).
  Click(Qt::RightButton, 14, 4);
  Choose(train_menu::kStatus);
  EXPECT_EQ(shell.ActiveTrainsShown, std::vector<int>{0});
  Click(Qt::RightButton, 14, 4);
  Choose(train_menu::kOS);
  ASSERT_EQ(lists.TrainOSWindows.size(), 1u);
  EXPECT_EQ(lists.TrainOSWindows[0].second, 0);

  Click(Qt::RightButton, 5, 4);
  Choose(res::CM_PLATFORM_TRAINS);
  EXPECT_EQ(OpenCaptions<TTPlatform>(), std::vector<std::string>{" Trains Stopping at Platform \"Central\""});

  // A right click on the location opens its arrival list at once, no menu.
  const OrgData location = store().GetOrgData(west);
  Click(Qt::RightButton, location.CellX, location.CellY);
  EXPECT_EQ(window().PopupMenu.data(), nullptr);
  EXPECT_EQ(OpenCaptions<TTArrival>(), std::vector<std::string>{" Trains Arriving at Entrance Location \"WEST\""});
}

}  // namespace
