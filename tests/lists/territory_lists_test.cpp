// The read-only territory lists (entrance/exit locations, wayside detectors,
// start times) and the train type list with its dialog: rows, orders, the
// mouse commands and the displays they open.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <cstring>

#include "lists/detector_list.h"
#include "lists/entexit_list.h"
#include "lists/start_list.h"
#include "lists/train_type_list.h"
#include "platform/controls.h"
#include "resources/strings.h"
#include "resources/territory_list_ids.h"
#include "store/fixed_text.h"
#include "tests/shell/gui_app.h"
#include "tests/store/track_file_test_util.h"
#include "tests/support/store_fixture.h"

namespace {

QStringList RowTexts(const TListFrame& frame, int row) {
  QStringList texts;
  const QAbstractItemModel* model = frame.List()->model();
  for (int column = 0; column < model->columnCount(); ++column) {
    if (!frame.List()->isColumnHidden(column)) texts << model->index(row, column).data().toString();
  }
  return texts;
}

QStringList Column(const TListFrame& frame, int column) {
  QStringList texts;
  const QAbstractItemModel* model = frame.List()->model();
  for (int row = 0; row < model->rowCount(); ++row) texts << model->index(row, column).data().toString();
  return texts;
}

// A mouse event on the list: at a row, or (row -1) below the last row.
void Mouse(const TListFrame& frame, int row, Qt::MouseButton button, QEvent::Type type) {
  QTableView* view = frame.List();
  const QPoint at =
      row >= 0 ? view->visualRect(view->model()->index(row, 0)).center() : QPoint(5, view->viewport()->height() - 3);
  QMouseEvent event(type, at, view->viewport()->mapToGlobal(at), button, button, Qt::NoModifier);
  QApplication::sendEvent(view->viewport(), &event);
}

int SelectedRow(const TListFrame& frame) {
  const QModelIndexList rows = frame.List()->selectionModel()->selectedRows();
  return rows.size() == 1 ? rows.front().row() : -1;
}

QString FieldOf(QWidget* dialog, int id) { return FindControl<QLineEdit>(dialog, id)->text(); }

class TerritoryListsTest : public StoreFixture {
 protected:
  TerritoryListsTest() {
    EnsureQApplication();
    store().SetDefaultWindowColumns();
  }

  void Location(int slot, const char* name, int16_t block, int16_t side, int32_t capacity, uint8_t yard = 0,
                uint8_t permission = 0) {
    OrgData org = store().GetOrgData(slot);
    org.InUse = 1;
    SetFieldText(org.Name, name);
    org.Block = block;
    org.Side = side;
    org.Priority = static_cast<int16_t>(slot % 10);
    org.CapacityLimited = yard;
    org.Capacity = capacity;
    org.PermissionRequired = permission;
    store().UpdateOrgData(slot, org);
  }
  void Detector(int slot, const char* name, bool warns, int16_t warningDelay, int16_t problemDelay) {
    DetectorData detector = store().GetDetectorData(slot);
    detector.InUse = 1;
    SetFieldText(detector.Description, name);
    detector.RaisesAlarm = warns ? 1 : 0;
    detector.AlarmCheckMinutes = warningDelay;
    detector.RepairMinutes = problemDelay;
    store().UpdateDetectorData(slot, detector);
  }
  void Train(int slot, const char* id) {
    TrainData train = store().GetTrainData(slot);
    train.InUse = 1;
    SetFieldText(train.TrainId, id);
    store().UpdateTrainData(slot, train);
  }
  struct Entry {
    int Position;
    uint16_t Train;
    uint16_t Block;
    uint8_t Direction;
  };
  void Start(int slot, int16_t minutes, std::array<uint8_t, 7> days, std::initializer_list<Entry> entries,
             int16_t endMinutes = -1, uint8_t ends = 0, int16_t afterDays = 0) {
    StartTime start = store().GetStartTime(slot);
    start.InUse = 1;
    start.Word1 = minutes;
    std::memcpy(start.Days, days.data(), 7);
    std::memset(start.TrainIndex, 0xFF, sizeof start.TrainIndex);
    for (const Entry& entry : entries) {
      start.TrainIndex[entry.Position] = entry.Train;
      start.PairedIndex[entry.Position] = entry.Block;
      start.Bytes210[entry.Position] = entry.Direction;
      start.Words260[entry.Position] = static_cast<int16_t>(100 + entry.Position);
      start.Bytes360[entry.Position] = static_cast<uint8_t>(entry.Position);
      start.Bytes410[entry.Position] = static_cast<uint8_t>(entry.Position + 1);
    }
    start.Word460 = endMinutes;
    start.Byte462 = ends;
    start.Word463 = afterDays;
    store().UpdateStartTime(slot, start);
  }
  void Type(int slot, const char* name, uint8_t kind, const char* caboose = "Red Caboose (internal bitmap)") {
    TrainType type = store().GetTrainType(slot);
    type.InUse = 1;
    SetFieldText(type.Name, name);
    type.Kind = kind;
    type.DualCab = 1;
    type.StartupSeconds = 45;
    type.ReverseSpeed = 15;
    SetFieldText(type.BitmapFiles[0], "Red Diesel Left (internal bitmap)");
    SetFieldText(type.BitmapFiles[1], "Red Diesel Right (internal bitmap)");
    SetFieldText(type.BitmapFiles[2], caboose);
    store().UpdateTrainType(slot, type);
  }
  void ClearTypes() {
    for (int slot = 0; slot < kMaxTrainTypes; ++slot) {
      TrainType type = store().GetTrainType(slot);
      type.InUse = 0;
      store().UpdateTrainType(slot, type);
    }
  }
  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const MessageCall& call : messages.Calls) texts.push_back(call.Text);
    return texts;
  }
};

TEST_F(TerritoryListsTest, LocationsAreListedByNameThenBlock) {
  TTEntExit empty(store(), nullptr);
  empty.show();
  EXPECT_EQ(empty.List()->model()->rowCount(), 0);

  Location(0, "WEST", 12, 0, -1, 1, 1);
  Location(1, "EAST", 40, 1, 0);
  Location(2, "WEST", 3, 1, 12);
  Location(3, "", 7, 0, 5);  // in use without a name: not listed
  Location(4, "MID", 9, 7, 30, 1);
  TTEntExit window(store(), nullptr);
  window.show();
  EXPECT_EQ(window.windowTitle(), "Entrance/Exit Locations");
  EXPECT_EQ(RowTexts(window, 0).size(), 7);
  EXPECT_EQ(window.List()->model()->headerData(5, Qt::Horizontal).toString(), "24 Hour Capacity");
  ASSERT_EQ(window.List()->model()->rowCount(), 4);
  EXPECT_EQ(RowTexts(window, 0), (QStringList{"EAST", "40", "Right", "1", "No", "0", "No"}));
  EXPECT_EQ(RowTexts(window, 1), (QStringList{"MID", "9", "Right", "4", "Yes", "30", "No"}));
  EXPECT_EQ(RowTexts(window, 2), (QStringList{"WEST", "3", "Right", "2", "No", "12", "No"}));
  EXPECT_EQ(RowTexts(window, 3), (QStringList{"WEST", "12", "Left", "0", "Yes", "", "Yes"}));
  EXPECT_NE(FindControl<QPushButton>(&window, 1047), nullptr);
  EXPECT_NE(FindControl<QPushButton>(&window, 141), nullptr);
  EXPECT_EQ(FieldText(store().CurrentOperation, kCaptionChars), "");

  // A right click only selects the row under the pointer.
  Mouse(window, 2, Qt::RightButton, QEvent::MouseButtonPress);
  EXPECT_EQ(SelectedRow(window), 2);
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(TerritoryListsTest, DetectorsAreListedByNameWhateverTheirSlots) {
  Detector(0, "Mill Creek", true, 5, 40);
  Detector(3, "", true, 1, 1);
  Detector(7, "Alder", false, 9, 25);
  TTDetector window(store(), nullptr);
  window.show();
  EXPECT_EQ(window.windowTitle(), "Wayside Detector Data");
  ASSERT_EQ(window.List()->model()->rowCount(), 2);
  EXPECT_EQ(RowTexts(window, 0), (QStringList{"Alder", "No", "", "25"}));
  EXPECT_EQ(RowTexts(window, 1), (QStringList{"Mill Creek", "Yes", "5", "40"}));

  // Four widths under the list's column program, 0 for every column it does not have.
  window.List()->setColumnWidth(2, 77);
  FindControl<QPushButton>(&window, 1047)->click();
  EXPECT_EQ(store().GetColumnSize(6, 2), 77u);
  EXPECT_GT(store().GetColumnSize(6, 3), 0u);
  for (int column = 4; column < kColumnsPerList; ++column) EXPECT_EQ(store().GetColumnSize(6, column), 0u);
}

TEST_F(TerritoryListsTest, RightClickOnADetectorShowsItsDisplayThatRefusesChanges) {
  Detector(0, "Mill Creek", true, 5, 40);
  Detector(7, "Alder", false, 9, 25);
  TTDetector window(store(), nullptr);
  window.resize(600, 300);
  window.show();

  // Beside the rows: nothing is selected, and the click says so in its own words.
  Mouse(window, -1, Qt::RightButton, QEvent::MouseButtonPress);
  EXPECT_EQ(Messages(), (std::vector<std::string>{
                            "A wayside detector has not be selected.  Select a wayside detector by placing the mouse "
                            "pointer on the wayside detector and then click the left mouse button."}));
  messages.Calls.clear();

  bool hidden = false;
  QStringList shown;
  WhenModalOpens([&](QWidget* display) {
    ASSERT_NE(display, nullptr);
    hidden = window.isHidden();
    EXPECT_EQ(display->objectName(), "29");
    for (int id : {res::IDC_DETECTOR_NAME, res::IDC_DETECTOR_WARNING_DELAY, res::IDC_DETECTOR_PROBLEM_DELAY}) {
      shown << FieldOf(display, id);
    }
    EXPECT_TRUE(FindControl<QCheckBox>(display, res::IDC_DETECTOR_WARNING)->isChecked());
    FindControl<QLineEdit>(display, res::IDC_DETECTOR_NAME)->setText("Renamed");
    FindControl<QPushButton>(display, 1)->click();
  });
  Mouse(window, 1, Qt::RightButton, QEvent::MouseButtonPress);
  EXPECT_TRUE(hidden);
  EXPECT_EQ(shown, (QStringList{"Mill Creek", "5", "40"}));
  EXPECT_EQ(Messages(), std::vector<std::string>{res::kReadOnlyDisplay});
  EXPECT_EQ(FieldText(store().GetDetectorData(0).Description), "Mill Creek");
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(SelectedRow(window), 1);
  EXPECT_EQ(FieldText(store().CurrentOperation, kCaptionChars), "");
}

TEST_F(TerritoryListsTest, StartEntriesMoveToTheFrontInTrainOrder) {
  Start(4, 300, territory::kEveryDay, {{0, 9, 120, 1}, {3, 2, 130, 0}, {7, 5, 140, 1}});
  StartTime start = store().GetStartTime(4);
  NormaliseStartEntries(start);
  const uint16_t trains[] = {start.TrainIndex[0], start.TrainIndex[1], start.TrainIndex[2], start.TrainIndex[3]};
  EXPECT_EQ(std::vector<uint16_t>(trains, trains + 4), (std::vector<uint16_t>{2, 5, 9, 0xFFFF}));
  // All six fields moved with their train.
  EXPECT_EQ(+start.PairedIndex[0], 130);
  EXPECT_EQ(+start.Bytes210[0], 0);
  EXPECT_EQ(+start.Words260[0], 103);
  EXPECT_EQ(+start.Bytes360[1], 7);
  EXPECT_EQ(+start.Bytes410[2], 1);
  for (int k = 3; k < kStartTimeTrains; ++k) {
    EXPECT_EQ(+start.PairedIndex[k], 0xFFFF) << k;
    EXPECT_EQ(+start.Bytes210[k], 0xFF) << k;
    EXPECT_EQ(+start.Words260[k], -1) << k;
    EXPECT_EQ(+start.Bytes360[k], 0xFF) << k;
    EXPECT_EQ(+start.Bytes410[k], 0xFF) << k;
  }
}

TEST_F(TerritoryListsTest, StartTimesAreListedByTimeWithAColumnPerEntry) {
  Train(2, "NB2");
  Train(5, "SB5");
  Train(9, "X9");
  Start(9, 360, territory::kEveryDay, {{0, 9, 120, 1}});
  Start(2, 330, territory::kWeekdays, {{0, 9, 120, 1}, {3, 2, 37, 0}, {7, 5, 140, 1}});
  Start(5, 360, {1, 0, 0, 0, 0, 0, 1}, {}, 1080, 1, 2);
  TTStart window(store(), nullptr);
  window.show();
  EXPECT_EQ(window.windowTitle(), "Start Times");

  // Counted before the entries moved: eight columns, then three.
  EXPECT_EQ(window.EntryColumns(), 8);
  ASSERT_EQ(window.List()->model()->rowCount(), 3);
  EXPECT_EQ(Column(window, 0), (QStringList{"05:30", "06:00", "06:00"}));
  const QStringList first = RowTexts(window, 0);
  ASSERT_EQ(first.size(), 5 + 8);
  EXPECT_EQ(first.mid(0, 8), (QStringList{"05:30", "MoTuWeThFr", "No", "", "", "NB2-2/0037/Left", "SB5-5/0140/Right",
                                          "X9-9/0120/Right"}));
  EXPECT_EQ(first.mid(8), (QStringList(5, "")));
  EXPECT_EQ(RowTexts(window, 1).mid(0, 6), (QStringList{"06:00", "SuSa", "Yes", "18:00", "2", ""}));
  EXPECT_EQ(window.List()->model()->headerData(5, Qt::Horizontal).toString(), "Train/Block/Direction");

  window.ListBuild();
  EXPECT_EQ(window.EntryColumns(), 3);
  EXPECT_EQ(RowTexts(window, 0).size(), 5 + 3);
  EXPECT_EQ(+store().GetStartTime(2).TrainIndex[2], 9);
  // Save Column Widths: hidden entry columns have no width.
  FindControl<QPushButton>(&window, 1047)->click();
  EXPECT_GT(store().GetColumnSize(11, 7), 0u);
  EXPECT_EQ(store().GetColumnSize(11, 8), 0u);
}

TEST_F(TerritoryListsTest, ViewShowsTheStartTimeAndEnterRefusesChanges) {
  Train(2, "NB2");
  Train(9, "X9");
  Start(0, 330, territory::kWeekdays, {{0, 9, 120, 1}, {1, 2, 37, 0}});
  TTStart window(store(), nullptr);
  window.resize(600, 300);
  window.show();

  // A double-click beside the rows selects nothing.
  Mouse(window, -1, Qt::LeftButton, QEvent::MouseButtonPress);
  Mouse(window, -1, Qt::LeftButton, QEvent::MouseButtonDblClick);
  EXPECT_EQ(Messages(), (std::vector<std::string>{
                            "A start time has not be selected.  Select a start time by placing the mouse pointer on "
                            "the name and then click the mouse left or right button."}));
  messages.Calls.clear();

  QStringList shown;
  bool rightChecked = false;
  WhenModalOpens([&](QWidget* display) {
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(display->objectName(), "6");
    EXPECT_EQ(FindControl<QPushButton>(display, 1), nullptr);  // Enter is the display's OK
    auto* trains = FindControl<QListWidget>(display, res::IDC_START_TRAINS);
    for (int i = 0; i < trains->count(); ++i) shown << trains->item(i)->text();
    shown << FieldOf(display, res::IDC_START_TIME) << FieldOf(display, res::IDC_START_END_TIME);
    EXPECT_TRUE(FindControl<QCheckBox>(display, res::IDC_START_NO_END)->isChecked());
    EXPECT_TRUE(FindControl<QCheckBox>(display, res::IDC_START_SUNDAY + 1)->isChecked());
    EXPECT_FALSE(FindControl<QCheckBox>(display, res::IDC_START_SUNDAY)->isChecked());
    trains->setCurrentRow(0);  // NB2, leftwards
    shown << FieldOf(display, res::IDC_START_TRAIN) << FieldOf(display, res::IDC_START_BLOCK)
          << FieldOf(display, res::IDC_START_CREW_TIME) << FieldOf(display, res::IDC_START_WORK_AREA)
          << FieldOf(display, res::IDC_START_ENTRY_POINT);
    EXPECT_TRUE(FindControl<QRadioButton>(display, res::IDC_START_LEFT)->isChecked());
    trains->setCurrentRow(1);
    rightChecked = FindControl<QRadioButton>(display, res::IDC_START_RIGHT)->isChecked();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(display, &enter);
  });
  window.List()->selectRow(0);
  FindControl<QPushButton>(&window, res::CM_LIST_EDIT)->click();
  EXPECT_EQ(shown, (QStringList{"NB2-2\t0037\tLeft\t101\t1\t2", "X9-9\t0120\tRight\t100\t0\t1", "05:30", "", "NB2-2",
                                "0037", "101", "1", "2"}));
  EXPECT_TRUE(rightChecked);
  EXPECT_EQ(Messages(), std::vector<std::string>{res::kReadOnlyDisplay});
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(SelectedRow(window), 0);
}

TEST_F(TerritoryListsTest, TrainTypesAreListedByDescription) {
  ClearTypes();
  Type(6, "Coal", 0);
  Type(1, "Amtrak", 1);
  Type(2, "", 0);
  TTTrainType window(store(), nullptr);
  window.show();
  EXPECT_EQ(window.windowTitle(), "Train Type");
  ASSERT_EQ(window.List()->model()->rowCount(), 2);
  EXPECT_EQ(RowTexts(window, 0),
            (QStringList{"Amtrak", "Passenger", "Yes", "45", "15", "Red Diesel Left (internal bitmap)",
                         "Red Diesel Right (internal bitmap)", "Red Caboose (internal bitmap)"}));
  EXPECT_EQ(RowTexts(window, 1)[0], "Coal");
  EXPECT_EQ(RowTexts(window, 1)[1], "Freight");
}

TEST_F(TerritoryListsTest, TrainTypeDialogStoresOnlyThePictureNames) {
  ClearTypes();
  Type(3, "Coal", 0);
  TTrainType dialog(nullptr, store(), 3);
  dialog.show();
  auto* category = FindControl<QComboBox>(&dialog, res::IDC_TYPE_CATEGORY);
  EXPECT_EQ(category->currentText(), "Freight");
  EXPECT_EQ(category->count(), 8);  // the empty category names are not offered
  EXPECT_EQ(FieldOf(&dialog, res::IDC_TYPE_REVERSE_SPEED), "15");

  auto* caboose = FindControl<QLineEdit>(&dialog, res::IDC_TYPE_CABOOSE);
  // A path longer than its field shows its start, where its folder is told.
  EXPECT_EQ(caboose->cursorPosition(), 0);
  EXPECT_EQ(FindControl<QLineEdit>(&dialog, res::IDC_TYPE_LOCO_LEFT)->cursorPosition(), 0);
  caboose->clear();
  FindControl<QLineEdit>(&dialog, res::IDC_TYPE_REVERSE_SPEED)->setText("99");
  FindControl<QPushButton>(&dialog, 1)->click();
  EXPECT_EQ(Messages(), std::vector<std::string>{"You must enter a caboose bitmap file name."});
  EXPECT_EQ(dialog.focusWidget(), caboose);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(FieldText(store().GetTrainType(3).BitmapFiles[2]), "Red Caboose (internal bitmap)");

  messages.Calls.clear();
  caboose->setText("/pictures/coal caboose.bmp");
  FindControl<QLineEdit>(&dialog, res::IDC_TYPE_DESCRIPTION)->setText("Renamed");
  FindControl<QPushButton>(&dialog, 1)->click();
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Information);
  EXPECT_EQ(messages.Calls[0].Caption, FieldText(store().Captions[0], kCaptionChars)) << "a notice: the title";
  EXPECT_EQ(messages.Calls[0].Text,
            "Before these bitmap changes will take affect, you must save the track file under a new name "
            "(File/Save Territory Track File menu item) and then load the new track territory you just saved.");
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  const TrainType stored = store().GetTrainType(3);
  EXPECT_EQ(FieldText(stored.BitmapFiles[2]), "/pictures/coal caboose.bmp");
  EXPECT_EQ(FieldText(stored.BitmapFiles[0]), "Red Diesel Left (internal bitmap)");
  EXPECT_EQ(FieldText(stored.Name), "Coal");
  EXPECT_EQ(+stored.ReverseSpeed, 15);
}

TEST_F(TerritoryListsTest, BrowseTakesBitmapsOnly) {
  ClearTypes();
  Type(0, "Coal", 0, "caboose.bmp");
  // A path longer than 119 characters: the whole field counts.
  const std::filesystem::path pictures = folder() / std::string(120, 'p');
  const std::string picture = (pictures / "small.bmp").string();
  std::filesystem::create_directories(pictures);
  track_test::WriteBytes(picture, track_test::MakeBitmap(16, 14));
  track_test::WriteBytes(folder() / "notes.bmp", {'t', 'e', 'x', 't', '\n'});
  TTrainType dialog(nullptr, store(), 0);
  auto* caboose = FindControl<QLineEdit>(&dialog, res::IDC_TYPE_CABOOSE);

  // A bare name starts in the program's folder; a file that is no bitmap is left out without a word.
  shell.OpenFileAnswers = {(folder() / "notes.bmp").string()};
  FindControl<QPushButton>(&dialog, res::IDC_TYPE_BROWSE_CABOOSE)->click();
  ASSERT_EQ(shell.OpenFileRequests.size(), 1u);
  EXPECT_EQ(shell.OpenFileRequests[0].InitialFolder, folder().string());
  EXPECT_EQ(shell.OpenFileRequests[0].InitialName, "caboose.bmp");
  EXPECT_EQ(shell.OpenFileRequests[0].Filter, "Bitmap Files (*.bmp)|*.bmp");
  EXPECT_EQ(caboose->text(), "caboose.bmp");
  EXPECT_TRUE(messages.Calls.empty());

  // A bitmap of another size is taken (its size is checked when the track file is saved); the next
  // browse starts in its folder with the whole path, however long.
  shell.OpenFileAnswers = {picture};
  FindControl<QPushButton>(&dialog, res::IDC_TYPE_BROWSE_CABOOSE)->click();
  EXPECT_EQ(caboose->text().toStdString(), picture);
  FindControl<QPushButton>(&dialog, res::IDC_TYPE_BROWSE_CABOOSE)->click();  // cancelled
  ASSERT_EQ(shell.OpenFileRequests.size(), 3u);
  EXPECT_EQ(shell.OpenFileRequests[2].InitialFolder, pictures.string());
  EXPECT_EQ(shell.OpenFileRequests[2].InitialName, picture);
  EXPECT_EQ(caboose->text().toStdString(), picture);
}

}  // namespace
