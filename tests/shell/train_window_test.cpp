// Data > Train Schedule in the running program: the train data window, its
// views, sorts and commands, the train property sheet it opens, and a train
// edited there that a saved track file brings back. Also the read-only sheet
// that the core opens for a running train.
//
//   W1 =====B0 (platform Central)===== E1
#include "lists/train_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <memory>

#include "dialogs/qt_dialog_service.h"
#include "dialogs/train_sheet.h"
#include "engine/engine.h"
#include "engine/train_commands.h"
#include "platform/controls.h"
#include "resources/resource_ids.h"
#include "resources/strings.h"
#include "resources/train_ids.h"
#include "shell/corvane3_app.h"
#include "shell/corvane3_dec.h"
#include "shell/corvane3_window.h"
#include "shell/globals.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/track_file.h"
#include "tests/shell/gui_app.h"
#include "tests/support/fake_services.h"
#include "tests/support/pdf_text.h"
#include "tools/territory/territory_builder.h"

namespace {

using territory::End;

constexpr int kOk = 1;
constexpr int kCancel = 2;

class TrainWindowTest : public ::testing::Test {
 protected:
  TrainWindowTest() {
    EnsureQApplication();
    app_ = std::make_unique<TCorvane3App>(QStringList{folder_.filePath("corvane3")}, &messages);
    app_->InitMainWindow();
    TheStore = &app_->Store();
    QCoreApplication::processEvents();  // the start-up load, before the territory is built
    messages.Calls.clear();

    territory::TerritoryBuilder t(store());
    const int b0 = t.Block({.Name = "B0", .From = {2, 4}, .To = {11, 4}});
    t.Location("W1", b0, End::Left);
    t.Location("E1", b0, End::Right);
    t.Platform("Central", b0);
    const int freight = t.TrainType("Freight");
    auto train = [&](const char* id, uint8_t direction, int minutes) {
      return t.Train({.Id = id,
                      .Type = freight,
                      .Entrance = "W1",
                      .Exit = "E1",
                      .EntranceMinutes = minutes,
                      .Direction = direction,
                      .Description = std::string("Train ") + id});
    };
    t203 = train("203", 0, 8 * 60);
    t101 = train("101", 1, 9 * 60);
    t102 = train("102", 1, 7 * 60);
    t150 = train("150", 0, 6 * 60);
    t.StartTime(5 * 60, {{.Train = t150}});  // a territory saves only with a start time
    t.Finish();
    TerritoryOptions units = store().GetTerritoryOptions();
    units.Units = 1;  // feet
    store().UpdateTerritoryOptions(units);
  }
  Corvane3Data& store() { return *TheStore; }
  TTTrainWindow* Open() {
    EXPECT_TRUE(TheMainFrame->Commands().Dispatch(res::CM_TRAIN_SCHEDULE));
    return qobject_cast<TTTrainWindow*>(TheDataWindows.TrainData.data());
  }
  QPushButton* Button(int id) { return FindControl<QPushButton>(window, id); }
  QString Cell(int row, int column) { return window->List()->model()->index(row, column).data().toString(); }
  std::vector<QString> Column(int column) {
    std::vector<QString> cells;
    for (int row = 0; row < window->List()->model()->rowCount(); ++row) cells.push_back(Cell(row, column));
    return cells;
  }
  std::vector<QString> Headers() {
    std::vector<QString> headers;
    const QAbstractItemModel* model = window->List()->model();
    for (int i = 0; i < model->columnCount(); ++i) headers.push_back(model->headerData(i, Qt::Horizontal).toString());
    return headers;
  }
  int RowOf(const QString& reference) {
    for (int row = 0; row < window->List()->model()->rowCount(); ++row) {
      if (Cell(row, 0) == reference) return row;
    }
    return -1;
  }
  void Select(const QString& reference) {
    const int row = RowOf(reference);
    ASSERT_GE(row, 0) << reference.toStdString();
    window->List()->selectRow(row);
  }
  // Runs `act` on the train property sheet that the button opens.
  void InSheet(int button, std::function<void(TTrainSheet*)> act) {
    bool opened = false;
    WhenModalOpens([&opened, act](QWidget* modal) {
      auto* sheet = qobject_cast<TTrainSheet*>(modal);
      ASSERT_NE(sheet, nullptr);
      opened = true;
      act(sheet);
    });
    Button(button)->click();
    EXPECT_TRUE(opened);
  }
  // A control in a page, or in a sheet: its General page first (ids repeat from page to page), then its buttons.
  template <class Control>
  static Control* In(QWidget* where, int id) {
    if (auto* sheet = qobject_cast<TTrainSheet*>(where)) {
      if (Control* control = FindControl<Control>(sheet->Page(0), id)) return control;
    }
    return FindControl<Control>(where, id);
  }
  static void Choose(QWidget* sheet, int id, const QString& text) {
    auto* list = In<QComboBox>(sheet, id);
    const int at = list->findText(text);
    ASSERT_GE(at, 0) << text.toStdString();
    list->setCurrentIndex(at);
  }
  static void Type(QWidget* sheet, int id, const QString& text) { In<QLineEdit>(sheet, id)->setText(text); }
  static void Click(QWidget* sheet, int id) { In<QPushButton>(sheet, id)->click(); }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const MessageCall& call : messages.Calls) texts.push_back(call.Text);
    return texts;
  }
  int TrainsInUse() {
    int count = 0;
    for (int i = 0; i < kMaxTrains; ++i) count += store().GetTrainData(i).InUse != 0;
    return count;
  }

  QTemporaryDir folder_;
  FakeMessageService messages;
  std::unique_ptr<TCorvane3App> app_;
  TTTrainWindow* window = nullptr;
  int t203 = -1, t101 = -1, t102 = -1, t150 = -1;
};

TEST_F(TrainWindowTest, TheMenuItemOpensTheGeneralViewWithItsButtonsAndColumns) {
  ASSERT_TRUE(TheMainFrame->Commands().IsEnabled(res::CM_TRAIN_SCHEDULE));
  window = Open();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->windowTitle(), "Train Data - General");
  EXPECT_EQ(window->findChildren<QPushButton*>().size(), 13);
  for (const int id : {1054, 1055, 1056, 1057, 1047, 141, 1058, 1059, 1060, 1061, 1062, 1050, 1049}) {
    ASSERT_NE(Button(id), nullptr) << id;
    EXPECT_TRUE(Button(id)->isEnabled()) << id;
  }
  EXPECT_EQ(Headers(),
            (std::vector<QString>{"Train Id", "Description", "Type", "Direction", "Length", "Entrance", "Entrance time",
                                  "Days of Week", "Created from", "Exit", "Becomes", "At location", "After(minutes)",
                                  "Splits into", "Scheduled", "Crew Time"}));
  EXPECT_EQ(Column(0), (std::vector<QString>{"101-1", "102-2", "150-3", "203-0"}));

  TrainData train = store().GetTrainData(t203);
  train.Days[0] = train.Days[3] = 0;
  train.BecomeMinutes = 5;
  train.ChangePlaceKind = 'P';
  SetFieldText(train.ChangePlaceName, "Gone");  // no such platform
  store().UpdateTrainData(t203, train);
  window->BuildData();
  const int row = RowOf("203-0");
  const std::vector<QString> cells{"203-0", "Train 203", "Freight", "Left", "1000", "W1", "08:00", "MoTuThFrSa",
                                   "",      "E1",        "",        "",     "5",    "",   "Yes",   "02:00"};
  for (int column = 0; column < 16; ++column) EXPECT_EQ(Cell(row, column), cells[column]) << column;

  EXPECT_EQ(Open(), window);
  FindControl<QPushButton>(window, 141)->click();
  EXPECT_EQ(Texts(), std::vector<std::string>{res::kHelpNotAvailable});
}

TEST_F(TrainWindowTest, AddRefusesWrongAnswersAndCancelLeavesNoNewTrain) {
  window = Open();
  QString caption;
  std::vector<std::string> seen;
  InSheet(res::CM_TRAIN_ADD, [&](TTrainSheet* sheet) {
    caption = sheet->windowTitle();
    EXPECT_FALSE(window->isVisible());
    Click(sheet, kOk);
    Type(sheet, res::IDC_TRAIN_ID, "300");
    Choose(sheet, res::IDC_TRAIN_ENTRANCE, "W1");
    Type(sheet, res::IDC_TRAIN_ENTRANCE_TIME, "6:00");
    Type(sheet, res::IDC_TRAIN_LENGTH, "49");
    Click(sheet, kOk);
    Type(sheet, res::IDC_TRAIN_LENGTH, "50");
    Choose(sheet, res::IDC_TRAIN_CREATED_FROM, "101-1");
    Click(sheet, kOk);
    EXPECT_TRUE(sheet->isVisible());
    Click(sheet, kCancel);
  });
  EXPECT_EQ(caption, "Add New Train");
  EXPECT_EQ(Texts(), (std::vector<std::string>{
                         "You must specify a train ID.", "A train must be at least 50 feet long.",
                         "A train cannot be scheduled to arrive on the territory at a specified time and also be "
                         "created from another train."}));
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(TrainsInUse(), 4);
  EXPECT_EQ(window->List()->model()->rowCount(), 4);

  // Added with OK, the train is in the list.
  InSheet(res::CM_TRAIN_ADD, [&](TTrainSheet* sheet) {
    Type(sheet, res::IDC_TRAIN_ID, "300");
    Choose(sheet, res::IDC_TRAIN_ENTRANCE, "W1");
    Type(sheet, res::IDC_TRAIN_ENTRANCE_TIME, "6:00");
    Choose(sheet, res::IDC_TRAIN_EXIT, "E1");
    Click(sheet, kOk);
  });
  EXPECT_EQ(TrainsInUse(), 5);
  EXPECT_GE(RowOf("300-4"), 0);
  EXPECT_TRUE(store().TrackDataChanged());
}

TEST_F(TrainWindowTest, CreatedFromShowsOnTheParentsRowAndDeletingTheChildClearsIt) {
  window = Open();
  Select("102-2");
  QString caption;
  InSheet(res::CM_TRAIN_EDIT, [&](TTrainSheet* sheet) {
    caption = sheet->windowTitle();
    Choose(sheet, res::IDC_TRAIN_ENTRANCE, "(none)");
    Choose(sheet, res::IDC_TRAIN_CREATED_FROM, "101-1");
    Click(sheet, kOk);
  });
  EXPECT_EQ(caption, "Edit Train \"102-2  Train 102\"");
  ASSERT_TRUE(messages.Calls.empty()) << messages.Calls[0].Text;
  EXPECT_EQ(Cell(RowOf("101-1"), 10), "102-2");
  EXPECT_EQ(Cell(RowOf("101-1"), 9), "");
  EXPECT_EQ(Cell(RowOf("102-2"), 8), "101-1");
  EXPECT_EQ(window->List()->currentIndex().row(), RowOf("102-2"));  // the edited row stays selected

  Select("150-3");
  InSheet(res::CM_TRAIN_EDIT, [&](TTrainSheet* sheet) {
    Choose(sheet, res::IDC_TRAIN_ENTRANCE, "(none)");
    Choose(sheet, res::IDC_TRAIN_CREATED_FROM, "101-1");
    Click(sheet, kOk);
  });
  EXPECT_EQ(Cell(RowOf("101-1"), 13), "150-3");

  Select("102-2");
  messages.ScriptAnswers({MessageResult::No});
  Button(res::CM_TRAIN_DELETE)->click();
  EXPECT_EQ(TrainsInUse(), 4);
  messages.ScriptAnswers({MessageResult::Yes});
  Button(res::CM_TRAIN_DELETE)->click();
  EXPECT_EQ(Texts(), std::vector<std::string>(2, "Are you sure you want to delete train \"102-2  Train 102\"."));
  EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Question);
  EXPECT_EQ(RowOf("102-2"), -1);
  EXPECT_EQ(Cell(RowOf("101-1"), 10), "");
  EXPECT_EQ(+store().GetTrainData(t101).BecomesTrain, -1);
}

TEST_F(TrainWindowTest, SortsAndViewsShowTheirOrderAndColumns) {
  window = Open();
  Button(res::CM_TRAIN_SORT_TIME)->click();
  EXPECT_EQ(Column(0), (std::vector<QString>{"102-2", "101-1", "150-3", "203-0"}));
  Button(res::CM_TRAIN_SORT_ID)->click();
  EXPECT_EQ(Column(0), (std::vector<QString>{"101-1", "102-2", "150-3", "203-0"}));

  // 101 leaves twice more and works in two areas; 150 stops at the platform.
  TrainData train = store().GetTrainData(t101);
  SetFieldText(train.Multiple[0].LegExit, "E1");
  SetFieldText(train.Multiple[0].NextEntrance, "W1");
  train.Multiple[0].ReentryMinutes = 30;
  SetFieldText(train.Multiple[0].Text8, "101A");
  train.Multiple[0].Word19 = 0;
  train.Multiple[0].CrewMinutes = -1;  // no new crew time
  train.Multiple[0].NewLength = -1;    // no new length
  SetFieldText(train.Multiple[3].LegExit, "W1");
  train.Multiple[3].Byte21 = 1;
  SetFieldText(train.LocalWork[0].AreaName, "Yard");
  train.LocalWork[0].Minutes = 45;
  train.LocalWork[0].DirectionAfter = 1;
  train.LocalWork[0].NewLength = 600;
  SetFieldText(train.LocalWork[1].AreaName, "Mill");
  store().UpdateTrainData(t101, train);
  train = store().GetTrainData(t150);
  train.Stations[0].Minutes = 6 * 60 + 20;
  train.Stations[0].DwellSeconds = 90;
  store().UpdateTrainData(t150, train);

  Button(res::CM_TRAIN_VIEW_MULTIPLE)->click();
  EXPECT_EQ(window->windowTitle(), "Train Data - Multiple Entries");
  EXPECT_EQ(Headers(),
            (std::vector<QString>{"Train Id", "Description", "Type", "Direction", "Entrance", "Exit", "Delay",
                                  "New Train ID", "New Type", "New Direction", "New Crew Time", "New Length"}));
  EXPECT_EQ(Column(0), (std::vector<QString>{"101-1", "101-1", "102-2", "150-3", "203-0"}));
  const std::vector<QString> first{"101-1", "Train 101", "Freight", "Right",   "W1", "E1",
                                   "30",    "101A",      "Freight", "Forward", "",   ""};
  for (int column = 0; column < 12; ++column) EXPECT_EQ(Cell(0, column), first[column]) << column;
  EXPECT_EQ(Cell(1, 1), "");
  EXPECT_EQ(Cell(1, 5), "W1");
  EXPECT_EQ(Cell(1, 9), "Reverse");

  // Edit on a train's second row edits that train.
  window->List()->selectRow(1);
  QString caption;
  InSheet(res::CM_TRAIN_EDIT, [&](TTrainSheet* sheet) {
    caption = sheet->windowTitle();
    Click(sheet, kCancel);
  });
  EXPECT_EQ(caption, "Edit Train \"101-1  Train 101\"");

  Button(res::CM_TRAIN_VIEW_WORK)->click();
  EXPECT_EQ(window->windowTitle(), "Train Data - Work Schedule");
  EXPECT_EQ(Headers(), (std::vector<QString>{"Train Id", "Description", "Type", "Direction", "Work Area",
                                             "Time in Area", "New Direction", "New Length"}));
  EXPECT_EQ(Column(4), (std::vector<QString>{"Yard", "Mill", "", "", ""}));
  EXPECT_EQ(Cell(0, 5), "45");
  EXPECT_EQ(Cell(0, 6), "Right");
  EXPECT_EQ(Cell(0, 7), "600");
  EXPECT_EQ(Cell(1, 7), "");

  // Widths are saved per view.
  window->List()->setColumnWidth(0, 133);
  Button(res::CM_TRAIN_SAVE_WIDTHS)->click();
  EXPECT_EQ(store().GetColumnSize(TTTrainWindow::WorkSchedule, 0), 133u);

  // A gap among the platform slots shifts no column: headers and cells come from the platforms in use.
  PlatformData platform = store().GetPlatformData(2);
  platform.InUse = 1;
  SetFieldText(platform.Name, "North");
  store().UpdatePlatformData(2, platform);
  train = store().GetTrainData(t203);
  train.Stations[2].Minutes = 8 * 60 + 5;
  store().UpdateTrainData(t203, train);
  Button(res::CM_TRAIN_VIEW_PASSENGER)->click();
  EXPECT_EQ(window->windowTitle(), "Train Data - Passenger Schedule");
  EXPECT_EQ(Headers(), (std::vector<QString>{"Train Id", "Description", "Central", "North"}));
  EXPECT_EQ(Cell(RowOf("150-3"), 2), "06:20 - 90");
  EXPECT_EQ(Cell(RowOf("150-3"), 3), "");
  EXPECT_EQ(Cell(RowOf("203-0"), 3), "08:05 - 30");

  Button(res::CM_TRAIN_VIEW_GENERAL)->click();
  EXPECT_EQ(window->windowTitle(), "Train Data - General");
  EXPECT_EQ(Headers().size(), 16u);
}

// On a fresh window-column file the window opens with room for fifteen rows and its Passenger Schedule
// shows each time whole; a width the user saved still stands.
TEST_F(TrainWindowTest, AFreshWindowHasRoomForItsRowsAndShowsItsTimesWhole) {
  TrainData train = store().GetTrainData(t150);
  train.Stations[0].Minutes = 6 * 60 + 20;
  train.Stations[0].DwellSeconds = 1800;
  store().UpdateTrainData(t150, train);
  window = Open();
  ASSERT_NE(window, nullptr);
  QTableView* list = window->List();
  const int rows = (list->viewport()->height()) / list->verticalHeader()->defaultSectionSize();
  EXPECT_GE(rows, 15);
  EXPECT_LE(rows, 17);

  Button(res::CM_TRAIN_VIEW_PASSENGER)->click();
  const QString cell = Cell(RowOf("150-3"), 2);
  ASSERT_EQ(cell, "06:20 - 1800");
  EXPECT_GT(list->columnWidth(2), list->fontMetrics().horizontalAdvance(cell)) << "the time is not cut";

  list->setColumnWidth(2, 41);
  Button(res::CM_TRAIN_SAVE_WIDTHS)->click();
  Button(res::CM_TRAIN_VIEW_GENERAL)->click();
  Button(res::CM_TRAIN_VIEW_PASSENGER)->click();
  EXPECT_EQ(list->columnWidth(2), 41) << "the saved width wins";
}

TEST_F(TrainWindowTest, TheSelectionRulesAndTheLimitOfAThousandTrains) {
  window = Open();
  window->List()->clearSelection();
  Button(res::CM_TRAIN_EDIT)->click();
  Button(res::CM_TRAIN_DELETE)->click();
  EXPECT_EQ(Texts(), std::vector<std::string>(
                         2,
                         "A train has not be selected.  Select a train by placing the mouse pointer on the Train "
                         "ID and then click the mouse left or right button."));
  messages.Calls.clear();

  while (store().FindFreeTrainData() >= 0) {
  }
  Button(res::CM_TRAIN_ADD)->click();
  // Copy to New, from the list's pop-up menu.
  Select("150-3");
  emit window->List()->customContextMenuRequested(QPoint(5, 5));
  ASSERT_NE(window->PopupMenu(), nullptr);
  std::vector<QString> items;
  for (QAction* action : window->PopupMenu()->actions()) items.push_back(action->text());
  EXPECT_EQ(items, (std::vector<QString>{"New", "Copy to New", "Edit", "Delete"}));
  window->PopupMenu()->findChild<QAction*>("1063")->trigger();
  QCoreApplication::processEvents();
  const std::string limit =
      "The maximum number of trains allowed is 1000.  You have reached this limit.  You cannot add another until you "
      "delete an existing train.";
  EXPECT_EQ(Texts(), (std::vector<std::string>{limit, limit}));
  EXPECT_EQ(TrainsInUse(), 1000);
}

TEST_F(TrainWindowTest, ACancelledCopyStaysWithItsOwnId) {
  window = Open();
  Select("101-1");
  emit window->List()->customContextMenuRequested(QPoint(5, 5));
  QString caption;
  // The command runs once the menu has closed: the sheet opens after the trigger is handled.
  window->PopupMenu()->findChild<QAction*>("1063")->trigger();
  WhenModalOpens([&caption](QWidget* modal) {
    ASSERT_NE(modal, nullptr);
    caption = modal->windowTitle();
    Click(modal, kCancel);
  });
  QCoreApplication::processEvents();
  EXPECT_EQ(caption, "Copy old train \"101-1  Train 101\" data to new train \"Train 4-4\"");
  EXPECT_EQ(FieldText(store().GetTrainData(4).TrainId), "Train 4");
  EXPECT_GE(RowOf("Train 4-4"), 0);
  EXPECT_TRUE(store().TrackDataChanged());
}

TEST_F(TrainWindowTest, AnEditedTrainComesBackFromTheSavedTrackFile) {
  window = Open();
  Select("203-0");
  InSheet(res::CM_TRAIN_EDIT, [&](TTrainSheet* sheet) {
    Type(sheet, res::IDC_TRAIN_DESCRIPTION, "Night freight");
    Type(sheet, res::IDC_TRAIN_LENGTH, "1500");
    Type(sheet, res::IDC_TRAIN_ENTRANCE_TIME, "2230");
    Click(sheet, kOk);
  });
  ASSERT_TRUE(messages.Calls.empty()) << messages.Calls[0].Text;
  ASSERT_TRUE(store().TrackDataChanged());

  const std::string path = folder_.filePath("edited.trk").toStdString();
  ASSERT_EQ(TrackFile(store()).Write(path, 0), 0);
  store().InitTerritoryData();
  ASSERT_EQ(TrackFile(store()).Load(path, 0), 0);
  const TrainData train = store().GetTrainData(t203);
  EXPECT_EQ(FieldText(train.TrainId), "203");
  EXPECT_EQ(FieldText(train.Description), "Night freight");
  EXPECT_EQ(+train.Length, 1500);
  EXPECT_EQ(+train.EntranceMinutes, 22 * 60 + 30);
}

TEST_F(TrainWindowTest, TheRunningTrainsSheetOpensReadOnlyThroughTheDialogService) {
  QString caption;
  bool readOnly = false;
  WhenModalOpens([&](QWidget* modal) {
    caption = modal->windowTitle();
    readOnly = FindControl<QLineEdit>(modal, res::IDC_TRAIN_ID)->isReadOnly() &&
               FindControl<QLineEdit>(modal, res::IDC_TRAIN_ID)->text() == "101";
    Type(modal, res::IDC_TRAIN_ID, "");
    Click(modal, kOk);
  });
  store().Dialogs().RunTrainSheet("View Train \"101 Train 101\"", t101, 1);
  EXPECT_EQ(caption, "View Train \"101 Train 101\"");
  EXPECT_TRUE(readOnly);
  EXPECT_TRUE(messages.Calls.empty());
  EXPECT_EQ(FieldText(store().GetTrainData(t101).TrainId), "101");
}

TEST_F(TrainWindowTest, PrintGivesTheTrainDataReportInTheListsOrder) {
  const QString pdf = folder_.filePath("trains.pdf");
  TheMainFrame->Printer().Device().setOutputFormat(QPrinter::PdfFormat);
  TheMainFrame->Printer().Device().setOutputFileName(pdf);
  window = Open();
  Button(res::CM_TRAIN_SORT_TIME)->click();
  Button(res::CM_TRAIN_PRINT)->click();
  const auto pages = PdfPages(pdf.toStdString());
  ASSERT_FALSE(pages.empty());
  EXPECT_NE(pages[0].find("Train Data"), std::string::npos);
  // By time: the trains running right first, each direction by entrance time.
  std::vector<size_t> at;
  for (const QString& id : Column(0)) at.push_back(pages[0].find(" " + id.section('-', 0, 0).toStdString() + " "));
  for (size_t i = 0; i < at.size(); ++i) {
    ASSERT_NE(at[i], std::string::npos) << i;
    if (i > 0) {
      EXPECT_LT(at[i - 1], at[i]) << i;
    }
  }
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(TrainWindowTest, MultipleEntriesMadeInTheSheetListOneRowEach) {
  constexpr int kMultiplePage = 1;
  window = Open();
  Select("101-1");
  InSheet(res::CM_TRAIN_EDIT, [&](TTrainSheet* sheet) {
    ASSERT_TRUE(sheet->SelectPage(kMultiplePage));
    QWidget* page = sheet->Page(kMultiplePage);
    Choose(page, res::IDC_MULTIPLE_EXITS[0], "E1");
    Click(sheet, kOk);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->focusWidget(), FindControl(page, res::IDC_MULTIPLE_ENTRANCES[0]));
    Choose(page, res::IDC_MULTIPLE_ENTRANCES[0], "W1");
    Choose(page, res::IDC_MULTIPLE_EXITS[1], "W1");
    Choose(page, res::IDC_MULTIPLE_ENTRANCES[1], "E1");
    Type(page, res::IDC_MULTIPLE_TRAIN_IDS[1], "101B");
    Click(sheet, kOk);
  });
  EXPECT_EQ(Texts(),
            std::vector<std::string>{"A train cannot have an exit location without a corresponding new entrance."});

  Button(res::CM_TRAIN_VIEW_MULTIPLE)->click();
  std::vector<int> rows;
  for (int row = 0; row < window->List()->model()->rowCount(); ++row) {
    if (Cell(row, 0) == "101-1") rows.push_back(row);
  }
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(Cell(rows[0], 1), "Train 101");
  EXPECT_EQ(Cell(rows[0], 5), "E1");
  EXPECT_EQ(Cell(rows[1], 1), "");
  EXPECT_EQ(Cell(rows[1], 5), "W1");
  EXPECT_EQ(Cell(rows[1], 7), "101B");
}

TEST_F(TrainWindowTest, ARunningTrainsPropertiesShowItsSheetAndOkChangesNothing) {
  TrainStatus running = store().GetTrainStatus(0);
  running.InUse = 1;
  running.TrainIndex = static_cast<int16_t>(t101);
  store().UpdateTrainStatus(0, running, /*allowUnused=*/1);
  Engine& engine = TheLayoutWindow->TheEngine();
  engine.Run().PopupTrains[0] = 0;
  const TrainData before = store().GetTrainData(t101);

  QString caption;
  bool readOnly = false;
  WhenModalOpens([&](QWidget* modal) {
    auto* sheet = qobject_cast<TTrainSheet*>(modal);
    ASSERT_NE(sheet, nullptr);
    caption = sheet->windowTitle();
    for (int page = 0; page < sheet->PageCount(); ++page) sheet->SelectPage(page);
    readOnly = FindControl<QLineEdit>(sheet->Page(0), res::IDC_TRAIN_ID)->isReadOnly() &&
               !FindControl(sheet->Page(1), res::IDC_MULTIPLE_EXITS[0])->isEnabled();
    Type(sheet->Page(0), res::IDC_TRAIN_LENGTH, "10");
    Click(sheet, kOk);
  });
  EXPECT_TRUE(engine.TrainCommand(train_menu::kProperties));
  EXPECT_EQ(caption, "View Train \"101 Train 101\"");
  EXPECT_TRUE(readOnly);
  EXPECT_TRUE(messages.Calls.empty()) << messages.Calls[0].Text;
  const TrainData after = store().GetTrainData(t101);
  EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
}

}  // namespace
