// The train lists in the running program: the active train list from "Trains"
// and from a train's Status, its filters, sorts and row commands; the arrival
// and platform lists; the one train OS report; the CTC train dialog.
#include "shell/train_lists.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <memory>

#include "dialogs/train_dialog.h"
#include "dialogs/train_sheet.h"
#include "engine/engine.h"
#include "platform/controls.h"
#include "resources/resource_ids.h"
#include "resources/train_list_ids.h"
#include "shell/corvane3_dec.h"
#include "shell/corvane3_window.h"
#include "shell/globals.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/train_codes.h"
#include "tests/shell/gui_app.h"
#include "tests/shell/list_window_helpers.h"
#include "tests/support/fake_services.h"
#include "tools/territory/territory_builder.h"

namespace {

using territory::End;

struct TrainSpec {
  const char* Id;
  uint8_t State;
  int32_t Eta = -1;  // clock seconds
  int16_t HeadBlock = -1;
  const char* Entrance = "W";
  int16_t Ahead = -1;
  int16_t Behind = -1;
};

class TrainListsTest : public ::testing::Test {
 protected:
  TrainListsTest() { Start(); }

  //   y=150  ==B0 "Alder" (2..100)==   ==B1 (110..190)==   W beyond B0's left end, E beyond B1's right end
  void Start() {
    app_.reset();
    app_ = StartShownProgram(folder_, &messages);
    territory::TerritoryBuilder t(store());
    t.Block({.Name = "Alder", .From = {2, 150}, .To = {100, 150}});
    t.Block({.From = {110, 150}, .To = {190, 150}});
    t.Location("W", 0, End::Left);
    t.Location("E", 1, End::Right);
    t.TrainType("Freight");
    t.Finish();
    store().InitSimulationStatus();
    app_->LayoutWindow()->ComputeLayoutExtent();
    messages.Calls.clear();
  }
  void Exit() { ExitProgram(messages, app_); }
  Corvane3Data& store() { return *TheStore; }
  TCorvane3Window& layout() { return *app_->LayoutWindow(); }

  void Put(int slot, const TrainSpec& spec) {
    TrainStatus train = store().GetTrainStatus(slot);
    train.InUse = 1;
    train.TrainIndex = -1;
    train.MergePrevious = spec.Ahead;
    train.MergeNext = spec.Behind;
    SetFieldText(train.TrainId, spec.Id);
    SetFieldText(train.Entrance, spec.Entrance);
    SetFieldText(train.Exit, "E");
    train.State = spec.State;
    train.HeadEventTime = spec.Eta;
    train.HeadBlock = spec.HeadBlock;
    train.RearBlock = spec.HeadBlock;
    train.Length = 500;
    train.Type = 0;
    train.CrewExpiry = 20 * 3600;
    train.HeadDirection = 0;
    store().UpdateTrainStatus(slot, train, 1);
  }
  TTActive* OpenTrains() { return ChooseListCommand<TTActive>(res::CM_ACTIVE_TRAINS, TheDataWindows.ActiveTrains); }
  static QStringList Column(TListFrame* list, int column) { return ColumnTexts(list, column); }
  static void SelectRow(TListFrame* list, int row) { list->List()->selectRow(row); }
  static QCheckBox* Box(QWidget* window, int id) { return FindControl<QCheckBox>(window, id); }
  static QPushButton* Button(QWidget* window, int id) { return FindControl<QPushButton>(window, id); }
  static QStringList PopupItems(QMenu* menu) {
    QStringList items;
    for (QAction* action : menu->actions()) items << action->text();
    return items;
  }
  std::string LastMessage() const { return messages.Calls.empty() ? "" : messages.Calls.back().Text; }

  QTemporaryDir folder_;
  FakeMessageService messages;
  std::unique_ptr<TCorvane3App> app_;
};

// ------------------------------------------------------------------------------------------ active train list

TEST_F(TrainListsTest, TrainsOpensTheListSortedByEtaWithItsColumnsAndTheFiltersAndSortSurviveARestart) {
  Put(0, {"B", TrainState::Moving, 9 * 3600, 0});
  Put(1, {"A", TrainState::Scheduled, 7 * 3600 + 5 * 60});
  Put(2, {"C", TrainState::Gone});

  TTActive* list = OpenTrains();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->windowTitle(), "Active Train List - Sorted by ETA");
  const QAbstractItemModel* rows = list->List()->model();
  ASSERT_EQ(rows->columnCount(), 13);
  EXPECT_EQ(rows->headerData(0, Qt::Horizontal).toString(), "Train ID");
  EXPECT_EQ(rows->headerData(11, Qt::Horizontal).toString(), "Next Station Stop/Time");
  EXPECT_EQ(rows->headerData(12, Qt::Horizontal).toString(), "Part of Train");
  EXPECT_EQ(Column(list, 0), (QStringList{"A", "B", "C"})) << "by ETA, no ETA last";
  EXPECT_EQ(Column(list, 4), (QStringList{"", "- ", ""})) << "the head block's track name; none off the layout";
  EXPECT_EQ(Column(list, 5), (QStringList{"", "Left", ""}));
  EXPECT_EQ(Column(list, 7), (QStringList{"07:05", "09:00", ""})) << "a train that left shows no times";
  EXPECT_EQ(Column(list, 3), (QStringList{"Freight", "Freight", "Freight"}));

  Box(list, res::IDC_TRAINS_MOVING)->click();
  EXPECT_FALSE(Box(list, res::IDC_TRAINS_ALL)->isChecked());
  EXPECT_EQ(Column(list, 0), (QStringList{"B"}));
  Box(list, res::IDC_TRAINS_MOVING)->click();
  EXPECT_EQ(rows->rowCount(), 0) << "no box checked lists nothing";
  Box(list, res::IDC_TRAINS_COMPLETE)->click();
  Box(list, res::IDC_TRAINS_ARRIVING)->click();
  EXPECT_EQ(Column(list, 0), (QStringList{"A", "C"}));
  Button(list, res::IDC_TRAINS_SORT_ID)->click();
  EXPECT_EQ(list->windowTitle(), "Active Train List - Sorted by ID");

  Exit();  // the open list keeps its settings in the option file
  Start();
  Put(1, {"A", TrainState::Scheduled, 7 * 3600});
  list = OpenTrains();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->windowTitle(), "Active Train List - Sorted by ID");
  EXPECT_FALSE(Box(list, res::IDC_TRAINS_ALL)->isChecked());
  EXPECT_TRUE(Box(list, res::IDC_TRAINS_ARRIVING)->isChecked());
  EXPECT_TRUE(Box(list, res::IDC_TRAINS_COMPLETE)->isChecked());
  EXPECT_FALSE(Box(list, res::IDC_TRAINS_MOVING)->isChecked());
  Box(list, res::IDC_TRAINS_ALL)->click();
  for (int id : {res::IDC_TRAINS_ARRIVING, res::IDC_TRAINS_STOPPED, res::IDC_TRAINS_MOVING, res::IDC_TRAINS_COMPLETE})
    EXPECT_FALSE(Box(list, id)->isChecked()) << id;
}

TEST_F(TrainListsTest, SortsByStatusAndByEtaAndOnlyAllShowsOtherStates) {
  Put(0, {"M1", TrainState::Moving, 8 * 3600, 0});
  Put(1, {"S1", TrainState::Stopped, 9 * 3600, 1});
  Put(2, {"A2", TrainState::Scheduled, -1});
  Put(3, {"A1", TrainState::Scheduled, 10 * 3600});
  Put(4, {"X", TrainState::CrewExpired, 7 * 3600, 1});
  Put(5, {"A0", TrainState::Scheduled, 10 * 3600});

  TTActive* list = OpenTrains();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(Column(list, 0), (QStringList{"X", "M1", "S1", "A0", "A1", "A2"})) << "ETA, then state, then ID";
  Button(list, res::IDC_TRAINS_SORT_STATUS)->click();
  EXPECT_EQ(list->windowTitle(), "Active Train List - Sorted by Status");
  EXPECT_EQ(Column(list, 0), (QStringList{"A0", "A1", "A2", "S1", "M1", "X"})) << "state, then ETA, then ID";
  for (int id : {res::IDC_TRAINS_ARRIVING, res::IDC_TRAINS_STOPPED, res::IDC_TRAINS_MOVING, res::IDC_TRAINS_COMPLETE})
    Box(list, id)->click();
  EXPECT_FALSE(Column(list, 0).contains("X")) << "stopped for crew expiration: only under All";
}

TEST_F(TrainListsTest, PartOfTrainNamesTheJoinedTrainsFromTheFrontAndADamagedChainEnds) {
  Put(0, {"401", TrainState::Moving, 8 * 3600, 0, "W", -1, 1});
  Put(1, {"402", TrainState::Merged, -1, 0, "W", 0, 2});
  Put(2, {"403", TrainState::Merged, -1, 0, "W", 1, -1});
  Put(3, {"500", TrainState::Moving, 8 * 3600, 1});
  for (int slot : {0, 1, 2}) EXPECT_EQ(trains::PartOfTrainText(store(), slot), "(401)(402)") << slot;
  EXPECT_EQ(trains::PartOfTrainText(store(), 3), "");

  // Two trains linked to each other both ways: the walks stop at a train seen before.
  Put(5, {"L1", TrainState::Moving, -1, 0, "W", 6, 6});
  Put(6, {"L2", TrainState::Moving, -1, 0, "W", 5, 5});
  EXPECT_EQ(trains::PartOfTrainText(store(), 5), "(L2)(L1)");

  TTActive* list = OpenTrains();
  ASSERT_NE(list, nullptr);
  Button(list, res::IDC_TRAINS_SORT_ID)->click();
  EXPECT_EQ(Column(list, 12).mid(0, 3), (QStringList{"(401)(402)", "(401)(402)", "(401)(402)"}));
  EXPECT_EQ(Column(list, 7)[1], "") << "a merged train shows no ETA";
}

TEST_F(TrainListsTest, NextStationStopFollowsTheDirectionAndSkipsStopsMade) {
  for (int p : {0, 1, 2}) {
    PlatformData platform = store().GetPlatformData(p);
    platform.InUse = 1;
    SetFieldText(platform.Name, std::string(1, static_cast<char>('P' + p)));
    store().UpdatePlatformData(p, platform);
  }
  Put(0, {"R", TrainState::Moving, -1, 0});
  TrainStationTime times = store().GetTrainStationTime(0);
  for (int32_t& time : times.Times) time = -1;
  times.Times[0] = 8 * 3600;
  times.Times[2] = 9 * 3600 + 15 * 60;
  store().UpdateTrainStationTime(0, times);
  TrainStatus train = store().GetTrainStatus(0);
  train.HeadDirection = 1;
  store().UpdateTrainStatus(0, train);
  EXPECT_EQ(trains::NextStationText(store(), 0), "P/08:00");
  TrainStop stops = store().GetTrainStop(0);
  stops.Stops[0] = 1;
  store().UpdateTrainStop(0, stops);
  EXPECT_EQ(trains::NextStationText(store(), 0), "R/09:15");
  train.HeadDirection = 0;
  store().UpdateTrainStatus(0, train);
  times.Times[2] = -1;
  store().UpdateTrainStationTime(0, times);
  EXPECT_EQ(trains::NextStationText(store(), 0), "") << "leftwards from the last platform: none pending";
}

TEST_F(TrainListsTest, FindTrainTellsOfTrainsOffTheLayoutAndElseScrollsToTheTrainAndMinimisesTheList) {
  Put(0, {"401", TrainState::Scheduled, 7 * 3600 + 5 * 60});
  Put(1, {"402", TrainState::Gone});
  Put(2, {"403", TrainState::Moving, 7 * 3600, 1});
  TTActive* list = OpenTrains();
  ASSERT_NE(list, nullptr);
  Button(list, res::IDC_TRAINS_SORT_ID)->click();

  Button(list, res::IDC_TRAINS_FIND)->click();
  EXPECT_EQ(LastMessage(),
            "A train has not be selected.  Select a train by placing the mouse pointer on the Train ID "
            "and then click the mouse left or right button.");
  SelectRow(list, 0);
  Button(list, res::IDC_TRAINS_FIND)->click();
  EXPECT_EQ(LastMessage(), "Train will arrive on territory at location \"W\" at 7:05.");
  SelectRow(list, 1);
  Button(list, res::IDC_TRAINS_FIND)->click();
  EXPECT_EQ(LastMessage(), "Train is no longer on territory.");
  EXPECT_FALSE(list->isMinimized());

  SelectRow(list, 2);
  list->List()->doubleClicked(list->List()->model()->index(2, 0));
  EXPECT_TRUE(list->isMinimized());
  const BlockStatus block = store().GetBlockStatus(1);
  const layout::Point centre =
      layout().CurrentView().CentreOn(block.LeftLabelX, block.LeftLabelY, layout().width(), layout().height());
  EXPECT_EQ(layout().horizontalScrollBar()->value(), centre.X);
}

TEST_F(TrainListsTest, TheRowPopupLeavesOutFindTrainForTrainsNotYetOnAndOpensTheOSReport) {
  Put(0, {"401", TrainState::Scheduled, 7 * 3600});
  Put(1, {"402", TrainState::Moving, 8 * 3600, 0});
  TTActive* list = OpenTrains();
  ASSERT_NE(list, nullptr);
  SelectRow(list, 0);
  list->List()->customContextMenuRequested(QPoint(5, 5));
  ASSERT_NE(list->PopupMenu(), nullptr);
  EXPECT_EQ(PopupItems(list->PopupMenu()), (QStringList{"OS", "Properties"}));
  SelectRow(list, 1);
  list->List()->customContextMenuRequested(QPoint(5, 5));
  ASSERT_NE(list->PopupMenu(), nullptr);
  EXPECT_EQ(PopupItems(list->PopupMenu()), (QStringList{"Find Train", "OS", "Properties"}));
  list->PopupMenu()->actions()[1]->trigger();
  auto* report = qobject_cast<TTrainOSWindow*>(TheDataWindows.TrainOS.data());
  ASSERT_NE(report, nullptr);
  EXPECT_EQ(report->windowTitle(), " Train \"402\" OS Report");
}

TEST_F(TrainListsTest, AStatusRequestOpensTheListOnThatTrainAndTheMinuteStepRefreshesIt) {
  Put(0, {"401", TrainState::Scheduled, 7 * 3600});
  Put(1, {"402", TrainState::Moving, 8 * 3600, 0});
  store().Shell().ShowActiveTrain(1);
  EXPECT_TRUE(TheDataWindows.ActiveTrains.isNull()) << "the request is posted";
  QCoreApplication::processEvents();
  auto* list = qobject_cast<TTActive*>(TheDataWindows.ActiveTrains.data());
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->Model()->Record(list->TrackedRow()), 1);

  // A train changes state while the list is open; the clock's next minute rebuilds it.
  TrainStatus train = store().GetTrainStatus(0);
  train.State = TrainState::Stopped;
  train.HeadBlock = 1;
  store().UpdateTrainStatus(0, train);
  EXPECT_EQ(store().ActiveListDirty, 1);
  EXPECT_EQ(Column(list, 4)[0], "");
  RunState& run = store().Run;
  run.ClockSpeed = 20;
  run.SimStopped = 0;
  run.SimPaused = 0;
  run.RunStarted = 1;
  store().SimStartTime = 0;
  store().SimEndTime = -1;
  layout().TheEngine().Tick();
  EXPECT_EQ(store().ActiveListDirty, 0);
  EXPECT_EQ(Column(list, 4)[0], "- ");
}

// ------------------------------------------------------------------------------------------ arrivals and platforms

TEST_F(TrainListsTest, TheArrivalListShowsTrainsDueInEtaOrderLosesAnEnteredTrainAndCascades) {
  Put(0, {"B", TrainState::Scheduled, 8 * 3600});
  Put(1, {"A", TrainState::Scheduled, 7 * 3600});
  Put(2, {"C", TrainState::Scheduled, 8 * 3600});
  Put(3, {"D", TrainState::Scheduled, 6 * 3600, -1, "E"});
  const int west = 0;  // the builder's first location
  ASSERT_GE(west, 0);
  TTArrival* arrivals = OpenArrivalList(store(), west, TheMainFrame);
  ASSERT_NE(arrivals, nullptr);
  EXPECT_EQ(arrivals->windowTitle(), " Trains Arriving at Entrance Location \"W\"");
  EXPECT_EQ(Column(arrivals, 0), (QStringList{"A", "B", "C"})) << "equal times keep slot order";
  EXPECT_EQ(Column(arrivals, 1), (QStringList{"07:00", "08:00", "08:00"}));

  TrainStatus entered = store().GetTrainStatus(0);
  entered.State = TrainState::Moving;
  store().UpdateTrainStatus(0, entered);
  EXPECT_EQ(Column(arrivals, 0), (QStringList{"A", "C"}));

  EXPECT_EQ(OpenArrivalList(store(), west, TheMainFrame), arrivals) << "one window per location";
  arrivals->setGeometry(100, 100, 400, 200);
  delete arrivals;  // keeps its place
  arrivals = OpenArrivalList(store(), west, TheMainFrame);
  TTArrival* east = OpenArrivalList(store(), 1, TheMainFrame);
  ASSERT_NE(east, nullptr);
  EXPECT_EQ(east->geometry().topLeft() - arrivals->geometry().topLeft(), QPoint(10, 10));
  EXPECT_EQ(OpenArrivalList(store(), -1, TheMainFrame), nullptr);

  // A right click with one row selected views the train's schedule (none for these trains: nothing opens).
  east->List()->customContextMenuRequested(QPoint(1, 1));
  EXPECT_EQ(LastMessage(),
            "A train has not be selected.  Select a train by placing the mouse pointer on the Train "
            "ID and then click the mouse left or right button.");
}

TEST_F(TrainListsTest, ThePlatformListShowsPendingStopsUpToTheEndTime) {
  PlatformData platform = store().GetPlatformData(0);
  platform.InUse = 1;
  SetFieldText(platform.Name, "Main");
  store().UpdatePlatformData(0, platform);
  BlockData block = store().GetBlockData(1);
  SetFieldText(block.PlatformName, "Main");
  store().UpdateBlockData(1, block);
  const auto stopAt = [this](int slot, int32_t time) {
    TrainStationTime times = store().GetTrainStationTime(slot);
    for (int32_t& t : times.Times) t = -1;
    times.Times[0] = time;
    store().UpdateTrainStationTime(slot, times);
  };
  Put(0, {"Late", TrainState::Moving, -1, 0});
  stopAt(0, 20 * 3600);
  Put(1, {"Due", TrainState::Scheduled, -1});
  stopAt(1, 9 * 3600);
  Put(2, {"Done", TrainState::Moving, -1, 1});
  stopAt(2, 8 * 3600);
  TrainStop stops = store().GetTrainStop(2);
  stops.Stops[0] = 1;
  store().UpdateTrainStop(2, stops);
  store().SimEndTime = 12 * 3600;

  EXPECT_EQ(OpenPlatformListOfBlock(store(), 0, TheMainFrame), nullptr) << "a block with no platform";
  TTPlatform* stopsList = OpenPlatformListOfBlock(store(), 1, TheMainFrame);
  ASSERT_NE(stopsList, nullptr);
  EXPECT_EQ(stopsList->windowTitle(), " Trains Stopping at Platform \"Main\"");
  EXPECT_EQ(Column(stopsList, 0), (QStringList{"Due"}));
  EXPECT_EQ(Column(stopsList, 4), (QStringList{"Arriving \"W\""}));
  store().SimEndTime = -1;
  stopsList->ListBuild();
  EXPECT_EQ(Column(stopsList, 0), (QStringList{"Due", "Late"}));
  EXPECT_EQ(Column(stopsList, 1), (QStringList{"09:00", "20:00"}));

  Button(stopsList, res::IDC_TRAINS_FIND)->click();
  EXPECT_EQ(LastMessage(),
            "A train has not be selected.  Select a train by placing the mouse pointer on the Train "
            "ID and then click the mouse left or right button.");
  EXPECT_TRUE(stopsList->isMinimized());
  stopsList->showNormal();
  SelectRow(stopsList, 0);
  stopsList->List()->customContextMenuRequested(QPoint(1, 1));
  ASSERT_NE(stopsList->PopupMenu(), nullptr);
  EXPECT_EQ(PopupItems(stopsList->PopupMenu()), (QStringList{"Properties"}));
}

// ------------------------------------------------------------------------------------------ OS report

TEST_F(TrainListsTest, TheOSReportListsHitTimesPerOSPointAndFollowsTheTrainLastAskedFor) {
  for (int slot : {0, 1, 3}) {
    OSData os = store().GetOSData(slot);
    os.InUse = 1;
    SetFieldText(os.Name, slot == 0 ? "Alder" : slot == 1 ? "Birch" : "Hidden");
    store().UpdateOSData(slot, os);
  }
  Put(0, {"401", TrainState::Moving, -1, 0});
  Put(1, {"402", TrainState::Moving, -1, 0});
  // Eleven hits of 401 at Alder (block 0), one of 402, one at a device that is neither.
  int count = 0;
  auto hit = [&](uint16_t device, uint16_t train, int32_t minutes) {
    store().UpdateOSHit(count++, OSHit{device, train, minutes});
  };
  for (int i = 0; i < 11; ++i) hit(0, 0, 2915 + i);
  hit(0, 1, 100);
  hit(3000, 0, 50);
  store().SetOSHitCount(count);

  TTrainOSWindow* report = OpenTrainOSReport(store(), 0, TheMainFrame);
  ASSERT_NE(report, nullptr);
  EXPECT_EQ(report->windowTitle(), " Train \"401\" OS Report");
  const QAbstractItemModel* rows = report->List()->model();
  ASSERT_EQ(rows->columnCount(), 11);
  EXPECT_EQ(Column(report, 0), (QStringList{"Alder", "Birch"})) << "the first free OS slot ends the list";
  EXPECT_EQ(rows->index(0, 1).data().toString(), "00:35 Tu (2)");
  EXPECT_EQ(rows->index(0, 10).data().toString(), "00:44 Tu (2)") << "ten times; the eleventh is not shown";
  EXPECT_EQ(rows->index(1, 1).data().toString(), "");

  EXPECT_EQ(trains::OSHitText(2915, 1), "00:35 Tu (1)");

  // The layout's train pop-up asks through the list service: the same window follows the other train.
  store().Lists().ShowTrainOSWindow(" Train \"402\" OS Report", 1);
  EXPECT_EQ(TheDataWindows.TrainOS.data(), report);
  EXPECT_EQ(report->windowTitle(), " Train \"402\" OS Report");
  EXPECT_EQ(rows->index(0, 1).data().toString(), "01:40 Su (0)");
}

// ------------------------------------------------------------------------------------------ CTC train dialog

TEST(CrewTimeTest, SplitsHoursAndMinutesAsTyped) {
  const struct {
    const char* Text;
    int Hours;
    int Minutes;
  } cases[] = {{"930", 9, 30}, {"0930", 9, 30}, {"09:30", 9, 30}, {"5", 0, 5}, {"24:00", 24, 0}, {"23:60", 23, 60}};
  for (const auto& c : cases) EXPECT_EQ(SplitCrewTime(c.Text), std::make_pair(c.Hours, c.Minutes)) << c.Text;
}

TEST_F(TrainListsTest, InCTCModeTheReportsPropertiesEditTheTrainAndAChangedIDIsSentForItsHeadBlock) {
  OSData os = store().GetOSData(0);
  os.InUse = 1;
  SetFieldText(os.Name, "Alder");
  store().UpdateOSData(0, os);
  Put(0, {"401", TrainState::Moving, -1, 1});
  TrainStatus ctcTrain = store().GetTrainStatus(0);
  ctcTrain.CrewExpiry = 20 * 60;  // a CTC train's crew expiration is minutes after midnight
  store().UpdateTrainStatus(0, ctcTrain, 1);
  OptionData options = store().GetOptionData();
  options.CTCControlOn = 1;
  store().UpdateOptionData(options);
  store().CTCQueue.Count = 0;
  TTrainOSWindow* report = OpenTrainOSReport(store(), 0, TheMainFrame);
  ASSERT_NE(report, nullptr);

  bool opened = false;
  OnModal<TTrainDialog>([&](TTrainDialog* dialog) {
    opened = true;
    EXPECT_EQ(dialog->windowTitle(), "Train Information");
    EXPECT_EQ(FindControl<QLineEdit>(dialog, res::IDC_TRAIN_DIALOG_ID)->text(), "401");
    EXPECT_EQ(FindControl<QLineEdit>(dialog, res::IDC_TRAIN_DIALOG_CREW)->text(), "20:00");
    EXPECT_EQ(FindControl<QComboBox>(dialog, res::IDC_TRAIN_DIALOG_TYPE)->currentText(), "Freight");
    EXPECT_EQ(FindControl<QComboBox>(dialog, res::IDC_TRAIN_DIALOG_ENTRANCE)->currentText(), "W");
    auto* crew = FindControl<QLineEdit>(dialog, res::IDC_TRAIN_DIALOG_CREW);
    crew->setText("24:00");
    dialog->accept();
    EXPECT_EQ(LastMessage(), "The hour in the crew expiration field is greater than 23.");
    EXPECT_TRUE(dialog->isVisible());
    crew->setText("23:60");
    dialog->accept();
    EXPECT_EQ(LastMessage(), "The minute in the crew expiration field is greater than 59.");
    FindControl<QLineEdit>(dialog, res::IDC_TRAIN_DIALOG_ID)->setText("");
    dialog->accept();
    EXPECT_EQ(LastMessage(), "You must specify a train ID.");
    EXPECT_EQ(store().CTCQueue.Count, 0) << "nothing stored while refused";
    FindControl<QLineEdit>(dialog, res::IDC_TRAIN_DIALOG_ID)->setText("777");
    crew->setText("930");
    FindControl<QLineEdit>(dialog, res::IDC_TRAIN_DIALOG_LENGTH)->setText("20");
    FindControl<QComboBox>(dialog, res::IDC_TRAIN_DIALOG_EXIT)->setCurrentText("(none)");
    dialog->accept();
  });
  Button(report, res::IDC_TRAINS_PROPERTIES)->click();
  EXPECT_TRUE(opened);
  const TrainStatus train = store().GetTrainStatus(0);
  EXPECT_EQ(FieldText(train.TrainId), "777");
  EXPECT_EQ(+train.Length, 20) << "no minimum length here";
  EXPECT_EQ(+train.CrewExpiry, 9 * 60 + 30);
  EXPECT_EQ(FieldText(train.Exit), "");
  EXPECT_EQ(report->windowTitle(), " Train \"777\" OS Report");
  ASSERT_EQ(store().CTCQueue.Count, 1);
  const std::string line = store().CTCQueue.Lines[0].data();
  EXPECT_EQ(line.rfind("BLOCK,0000,BLOCK0001,", 0), 0u) << "the head block's line: " << line;
}

}  // namespace
