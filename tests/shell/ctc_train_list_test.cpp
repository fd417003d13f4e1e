// The CTC active train list in the running program: "Trains" and the
// show-train request open it in CTC control mode; its columns, its two orders
// and their captions, Find Train, the row pop-up, Properties, and its refill
// when a train's status is stored.
#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <memory>

#include "dialogs/train_dialog.h"
#include "interface/ctc_indications.h"
#include "platform/controls.h"
#include "resources/resource_ids.h"
#include "resources/train_list_ids.h"
#include "shell/corvane3_dec.h"
#include "shell/corvane3_window.h"
#include "shell/globals.h"
#include "shell/layout_hover.h"
#include "shell/train_lists.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/train_codes.h"
#include "tests/shell/gui_app.h"
#include "tests/shell/list_window_helpers.h"
#include "tests/support/fake_services.h"
#include "tools/territory/territory_builder.h"

namespace {

using territory::End;

constexpr const char* kNoTrainSelected =
    "A train has not be selected.  Select a train by placing the mouse pointer on the Train ID and then click the "
    "mouse left or right button.";

struct Train {
  const char* Id;
  uint8_t State;
  int32_t Arrival = -1;  // clock seconds
  int16_t Block = -1;
  int16_t Ahead = -1;  // the train it is linked to
};

class CTCTrainListTest : public ::testing::Test {
 protected:
  //   y=150  ==B0 "AA-BB Main" (2..100)==   ==B1 "AA-BB Siding" (110..190)==   W left of B0, E right of B1
  CTCTrainListTest() { Start(); }

  void Start() {
    app_.reset();
    app_ = StartShownProgram(folder_, &messages);
    territory::TerritoryBuilder t(store());
    t.Block({.Name = "B0", .From = {2, 150}, .To = {100, 150}, .Station1 = "AA", .Station2 = "BB", .Track = "Main"});
    t.Block(
        {.Name = "B1", .From = {110, 150}, .To = {190, 150}, .Station1 = "AA", .Station2 = "BB", .Track = "Siding"});
    t.Location("W", 0, End::Left);
    t.Location("E", 1, End::Right);
    t.TrainType("Freight");
    t.Finish();
    store().InitSimulationStatus();
    app_->LayoutWindow()->ComputeLayoutExtent();
    SetCTC(true);
    messages.Calls.clear();
  }
  void Exit() { ExitProgram(messages, app_); }
  Corvane3Data& store() { return *TheStore; }
  TCorvane3Window& layout() { return *app_->LayoutWindow(); }

  void SetCTC(bool on) {
    OptionData options = store().GetOptionData();
    options.CTCControlOn = on ? 1 : 0;
    store().UpdateOptionData(options);
  }
  // A train stored as the engine stores one, standing in its block when it has one.
  void Put(int slot, const Train& spec) {
    TrainStatus train = store().GetTrainStatus(slot);
    train.InUse = 1;
    train.TrainIndex = -1;
    train.MergePrevious = spec.Ahead;
    train.MergeNext = -1;
    SetFieldText(train.TrainId, spec.Id);
    SetFieldText(train.Entrance, "W");
    SetFieldText(train.Exit, "E");
    train.State = spec.State;
    train.HeadEventTime = spec.Arrival;
    train.HeadBlock = train.RearBlock = spec.Block;
    train.Length = 700;
    train.Type = 0;
    train.CrewExpiry = 20 * 60 + 15;  // minutes after midnight
    train.HeadDirection = 1;
    store().UpdateTrainStatus(slot, train, 1);
    if (spec.Block >= 0) {
      BlockStatus block = store().GetBlockStatus(spec.Block);
      block.Trains[0] = static_cast<uint16_t>(slot);
      block.Occupancy = 3;
      store().UpdateBlockStatus(spec.Block, block);
    }
  }
  TTCTCActive* OpenTrains() {
    return ChooseListCommand<TTCTCActive>(res::CM_ACTIVE_TRAINS, TheDataWindows.CTCActiveTrains);
  }
  static QStringList Column(TListFrame* list, int column) { return ColumnTexts(list, column); }
  static QPushButton* Button(QWidget* window, int id) { return FindControl<QPushButton>(window, id); }
  std::string LastMessage() const { return messages.Calls.empty() ? "" : messages.Calls.back().Text; }

  QTemporaryDir folder_;
  FakeMessageService messages;
  std::unique_ptr<TCorvane3App> app_;
};

TEST_F(CTCTrainListTest, TrainsOpensTheListByIDWithItsColumnsAndAnEmptyTerritoryListsNothing) {
  TTCTCActive* list = OpenTrains();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->windowTitle(), "CTC Active Train List - Sorted by ID");
  EXPECT_EQ(list->List()->model()->rowCount(), 0);
  const QStringList headers{"Train ID",  "Status",          "Length",   "Type", "Location",
                            "Direction", "Crew Expiration", "Entrance", "Exit"};
  ASSERT_EQ(list->List()->model()->columnCount(), headers.size());
  for (int column = 0; column < headers.size(); ++column)
    EXPECT_EQ(list->List()->model()->headerData(column, Qt::Horizontal).toString(), headers[column]);
  for (const auto& [id, text] : {std::pair{res::IDC_TRAINS_FIND, "Find Train"},
                                 {res::IDC_TRAINS_PROPERTIES, "Properties"},
                                 {res::IDC_TRAINS_OS, "OS"},
                                 {res::IDC_TRAINS_SORT_ID, "Sort ID"},
                                 {res::IDC_TRAINS_SORT_STATUS, "Sort Status"}}) {
    ASSERT_NE(Button(list, id), nullptr) << text;
    EXPECT_EQ(Button(list, id)->text(), text);
  }

  // A train the field side reports is stored while the list is open: the list shows it at once.
  Put(3, {"P7", TrainState::Moving, -1, 1});
  EXPECT_EQ(Column(list, 0), QStringList{"P7"});
  EXPECT_EQ(Column(list, 2), QStringList{"700"});
  EXPECT_EQ(Column(list, 3), QStringList{"Freight"});
  EXPECT_EQ(Column(list, 4), QStringList{"AA-BB Siding"});
  EXPECT_EQ(Column(list, 5), QStringList{"Right"});
  EXPECT_EQ(Column(list, 6), QStringList{"20:15"});
  EXPECT_EQ(Column(list, 7), QStringList{"W"});
  EXPECT_EQ(Column(list, 8), QStringList{"E"});
  EXPECT_FALSE(Column(list, 1)[0].isEmpty()) << "the train's status text";

  // Another train with no block: no location and no direction.
  Put(0, {"A1", TrainState::Scheduled, 9 * 3600});
  EXPECT_EQ(Column(list, 0), (QStringList{"A1", "P7"}));
  EXPECT_EQ(Column(list, 4), (QStringList{"", "AA-BB Siding"}));
  EXPECT_EQ(Column(list, 5), (QStringList{"", "Right"}));
}

TEST_F(CTCTrainListTest, AProxyTrainMadeByABlockIndicationAppearsInTheOpenList) {
  TTCTCActive* list = OpenTrains();
  ASSERT_NE(list, nullptr);
  store().ProxyTrainCount = 6;
  xfer::CTCProcessBlockMsg(layout().TheEngine(), "BLOCK,0001,B0,10:00:00,OCCUPIEDRIGHT", "B0", "OCCUPIEDRIGHT");
  ASSERT_EQ(list->List()->model()->rowCount(), 1);
  EXPECT_TRUE(Column(list, 0)[0].startsWith("T")) << Column(list, 0)[0].toStdString();
  EXPECT_TRUE(Column(list, 0)[0].endsWith("0006")) << Column(list, 0)[0].toStdString();
  EXPECT_EQ(Column(list, 4), QStringList{"AA-BB Main"});
  EXPECT_EQ(Column(list, 5), QStringList{"Right"});
}

TEST_F(CTCTrainListTest, SortStatusOrdersByStateThenArrivalThenIDAndTheOrderIsKeptForTheNextOpening) {
  Put(0, {"D", TrainState::Moving, 8 * 3600, 0});
  Put(1, {"C", TrainState::Scheduled, -1});
  Put(2, {"B", TrainState::Scheduled, 9 * 3600});
  Put(3, {"A", TrainState::Moving, 8 * 3600, 1});
  Put(4, {"E", TrainState::Scheduled, 7 * 3600});
  TTCTCActive* list = OpenTrains();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(Column(list, 0), (QStringList{"A", "B", "C", "D", "E"}));

  Button(list, res::IDC_TRAINS_SORT_STATUS)->click();
  EXPECT_EQ(list->windowTitle(), "CTC Active Train List - Sorted by Status");
  EXPECT_EQ(Column(list, 0), (QStringList{"E", "B", "C", "A", "D"}))
      << "state 2 before 5; by arrival, none last; equal arrivals by ID";

  Exit();  // the open list keeps its order in the option file
  Start();
  list = OpenTrains();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->windowTitle(), "CTC Active Train List - Sorted by Status");
  Button(list, res::IDC_TRAINS_SORT_ID)->click();
  EXPECT_EQ(list->windowTitle(), "CTC Active Train List - Sorted by ID");
}

TEST_F(CTCTrainListTest, FindTrainNeedsOneRowTellsOfTrainsOffTheLayoutAndElseCentresTheTrain) {
  Put(0, {"401", TrainState::Scheduled, 7 * 3600 + 5 * 60});
  Put(1, {"402", 1, 6 * 3600});  // made, not yet on the territory
  Put(2, {"403", TrainState::Gone});
  Put(3, {"404", TrainState::Became});
  Put(4, {"405", TrainState::Moving, -1, 1});
  Put(5, {"406", TrainState::Moving, -1, -1, /*Ahead=*/4});  // linked to 405
  TTCTCActive* list = OpenTrains();
  ASSERT_NE(list, nullptr);

  Button(list, res::IDC_TRAINS_FIND)->click();
  EXPECT_EQ(LastMessage(), kNoTrainSelected);

  const std::pair<int, const char*> told[] = {
      {0, "Train will arrive on territory at location \"W\" at 7:05."},
      {1, "Train will arrive on territory at location \"W\" at 6:00."},
      {2, "Train is no longer on territory."},
      {3, "Train became another train."},
  };
  for (const auto& [row, text] : told) {
    list->List()->selectRow(row);
    Button(list, res::IDC_TRAINS_FIND)->click();
    EXPECT_EQ(LastMessage(), text) << row;
    EXPECT_FALSE(list->isMinimized());
  }

  // The linked train is found at the train it is linked to, in block 1.
  messages.Calls.clear();
  list->List()->selectRow(5);
  list->List()->doubleClicked(list->List()->model()->index(5, 0));
  EXPECT_TRUE(messages.Calls.empty());
  EXPECT_TRUE(list->isMinimized());
  const BlockStatus block = store().GetBlockStatus(1);
  const layout::Point centre =
      layout().CurrentView().CentreOn(block.RightLabelX, block.RightLabelY, layout().width(), layout().height());
  EXPECT_EQ(layout().horizontalScrollBar()->value(), centre.X);
}

TEST_F(CTCTrainListTest, ALinkedChainDamagedIntoALoopEndsTheWalk) {
  Put(0, {"501", TrainState::Moving, -1, 0, /*Ahead=*/1});
  Put(1, {"502", TrainState::Gone, -1, -1, /*Ahead=*/0});
  TTCTCActive* list = OpenTrains();
  ASSERT_NE(list, nullptr);
  list->List()->selectRow(0);
  Button(list, res::IDC_TRAINS_FIND)->click();
  EXPECT_EQ(LastMessage(), "Train is no longer on territory.") << "the walk stops at 502, before 501 again";
}

TEST_F(CTCTrainListTest, ThePopupLeavesOutFindTrainForTrainsNotOnTheTerritoryAndItsItemsWork) {
  Put(0, {"401", TrainState::Scheduled, 7 * 3600});
  Put(1, {"402", TrainState::Gone});
  Put(2, {"403", TrainState::Moving, -1, 0});
  TTCTCActive* list = OpenTrains();
  ASSERT_NE(list, nullptr);

  list->List()->customContextMenuRequested(QPoint(5, 5));
  EXPECT_EQ(LastMessage(), kNoTrainSelected);
  EXPECT_EQ(list->PopupMenu(), nullptr);

  auto items = [&](int row) {
    list->List()->selectRow(row);
    list->List()->customContextMenuRequested(QPoint(5, 5));
    QStringList texts;
    if (list->PopupMenu())
      for (QAction* action : list->PopupMenu()->actions()) texts << action->text();
    return texts;
  };
  EXPECT_EQ(items(0), (QStringList{"OS", "Properties"}));
  EXPECT_EQ(items(1), (QStringList{"OS", "Properties"}));
  EXPECT_EQ(items(2), (QStringList{"Find Train", "OS", "Properties"}));
  list->PopupMenu()->actions()[1]->trigger();
  auto* report = qobject_cast<TTrainOSWindow*>(TheDataWindows.TrainOS.data());
  ASSERT_NE(report, nullptr);
  EXPECT_EQ(report->windowTitle(), " Train \"403\" OS Report");

  // Properties: the train data dialog; after OK the list shows the new ID and the crew expiration typed,
  // and so does the layout's description of the train.
  OnModal<TTrainDialog>([](TTrainDialog* dialog) {
    EXPECT_EQ(FindControl<QLineEdit>(dialog, res::IDC_TRAIN_DIALOG_CREW)->text(), "20:15");
    FindControl<QLineEdit>(dialog, res::IDC_TRAIN_DIALOG_ID)->setText("777");
    FindControl<QLineEdit>(dialog, res::IDC_TRAIN_DIALOG_CREW)->setText("09:30");
    dialog->accept();
  });
  items(2);
  list->PopupMenu()->actions()[2]->trigger();
  EXPECT_EQ(FieldText(store().GetTrainStatus(2).TrainId), "777");
  EXPECT_EQ(+store().GetTrainStatus(2).CrewExpiry, 9 * 60 + 30);
  EXPECT_EQ(Column(list, 0), (QStringList{"401", "402", "777"}));
  EXPECT_EQ(Column(list, 6), (QStringList{"20:15", "20:15", "09:30"}));
  std::string line;
  ASSERT_TRUE(hover::TrainStatusLine(store(), 2, line));
  EXPECT_NE(line.find("Crew 09:30"), std::string::npos) << line;
}

TEST_F(CTCTrainListTest, TheShowTrainRequestOpensTheCTCListOnThatTrainAndTheSimulationListWhenCTCIsOff) {
  Put(0, {"401", TrainState::Scheduled, 7 * 3600});
  Put(1, {"402", TrainState::Moving, -1, 0});
  store().Shell().ShowActiveTrain(1);
  QCoreApplication::processEvents();
  auto* list = qobject_cast<TTCTCActive*>(TheDataWindows.CTCActiveTrains.data());
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(list->isVisible());
  EXPECT_EQ(list->Model()->Record(list->TrackedRow()), 1);
  EXPECT_TRUE(TheDataWindows.ActiveTrains.isNull());

  // Out of CTC control mode "Trains" opens the simulation's list; the CTC list stays open.
  SetCTC(false);
  TheMainFrame->Commands().Dispatch(res::CM_ACTIVE_TRAINS);
  EXPECT_NE(qobject_cast<TTActive*>(TheDataWindows.ActiveTrains.data()), nullptr);
  EXPECT_EQ(TheDataWindows.CTCActiveTrains.data(), list);
}

}  // namespace
