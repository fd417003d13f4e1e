// The Data menu's territory lists in the running program: each item opens its
// one window; the detector display opens from its list; a train type's new
// caboose picture, chosen in the running program, is drawn after the track
// file is saved and loaded again.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <memory>

#include "lists/detector_list.h"
#include "lists/entexit_list.h"
#include "lists/start_list.h"
#include "lists/train_type_list.h"
#include "platform/controls.h"
#include "resources/resource_ids.h"
#include "resources/strings.h"
#include "resources/territory_list_ids.h"
#include "shell/corvane3_app.h"
#include "shell/corvane3_dec.h"
#include "shell/globals.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/track_file.h"
#include "tests/shell/gui_app.h"
#include "tests/store/track_file_test_util.h"
#include "tests/support/fake_services.h"
#include "tools/territory/territory_builder.h"

namespace {

using territory::End;

class TerritoryListsWindowTest : public ::testing::Test {
 protected:
  TerritoryListsWindowTest() {
    EnsureQApplication();
    app_ = std::make_unique<TCorvane3App>(QStringList{folder_.filePath("corvane3")}, &messages);
    app_->InitMainWindow();
    TheStore = &app_->Store();
    // The start-up's posted load runs first (a modal dialog's loop would run it later).
    QCoreApplication::processEvents();
    messages.Calls.clear();
  }

  Corvane3Data& store() { return *TheStore; }
  TListFrame* Open(int command, QPointer<QWidget>& slot) {
    EXPECT_TRUE(TheMainFrame->Commands().IsEnabled(command)) << command;
    EXPECT_TRUE(TheMainFrame->Commands().Dispatch(command)) << command;
    return qobject_cast<TListFrame*>(slot.data());
  }
  // Builds a small territory: one line with an entrance at each end, a detector, a train type and a
  // start time with one train.
  void BuildTerritory() {
    territory::TerritoryBuilder t(store());
    const int b0 = t.Block({.Name = "B0", .From = {2, 4}, .To = {11, 4}});
    const int b1 = t.Block({.Name = "B1", .From = {12, 4}, .To = {24, 4}});
    t.Link(b0, b1);
    t.Location("WEST", b0, End::Left);
    t.Location("EAST", b1, End::Right, 3);
    t.Detector("Mill Creek");
    const int freight = t.TrainType("Freight");
    const int train = t.Train({.Id = "101", .Type = freight, .Entrance = "WEST", .Exit = "EAST"});
    t.StartTime(300, {{.Train = train, .Block = b0}});
    t.Finish();
    store().RefreshAllWindows();
  }

  QTemporaryDir folder_;
  FakeMessageService messages;
  std::unique_ptr<TCorvane3App> app_;
};

TEST_F(TerritoryListsWindowTest, EachDataItemOpensItsOneList) {
  BuildTerritory();
  DataWindows& w = TheDataWindows;
  const struct {
    int Command;
    QPointer<QWidget>* Slot;
    const char* Title;
    const char* FirstCell;
  } lists[] = {{res::CM_ENTRANCE_EXIT, &w.EntranceExit, "Entrance/Exit Locations", "EAST"},
               {res::CM_WAYSIDE_DETECTORS, &w.Detectors, "Wayside Detector Data", "Mill Creek"},
               {res::CM_START_TIME, &w.StartTimes, "Start Times", "05:00"},
               {res::CM_TRAIN_TYPES, &w.TrainTypes, "Train Type", "Freight"}};
  for (const auto& list : lists) {
    TListFrame* window = Open(list.Command, *list.Slot);
    ASSERT_NE(window, nullptr) << list.Title;
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), list.Title);
    EXPECT_EQ(window->List()->model()->index(0, 0).data().toString(), list.FirstCell);
    EXPECT_EQ(Open(list.Command, *list.Slot), window) << "asked again, the open window comes forward";
  }
  FindControl<QPushButton>(w.StartTimes.data(), 141)->click();
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, res::kHelpNotAvailable);

  // Closing the data windows (as a new territory does) leaves every slot empty.
  TheMainFrame->CloseDataWindows();
  for (const auto& list : lists) EXPECT_TRUE(list.Slot->isNull()) << list.Title;
}

TEST_F(TerritoryListsWindowTest, TheDetectorDisplayOpensFromItsList) {
  BuildTerritory();
  TListFrame* window = Open(res::CM_WAYSIDE_DETECTORS, TheDataWindows.Detectors);
  ASSERT_NE(window, nullptr);
  QString name;
  WhenModalOpens([&](QWidget* display) {
    ASSERT_NE(display, nullptr);
    name = FindControl<QLineEdit>(display, res::IDC_DETECTOR_NAME)->text();
    EXPECT_EQ(display->parentWidget(), TheMainFrame);
    FindControl<QPushButton>(display, 2)->click();  // Cancel: nothing to refuse
  });
  QTableView* view = window->List();
  const QPoint at = view->visualRect(view->model()->index(0, 0)).center();
  QMouseEvent press(QEvent::MouseButtonPress, at, view->viewport()->mapToGlobal(at), Qt::RightButton, Qt::RightButton,
                    Qt::NoModifier);
  QApplication::sendEvent(view->viewport(), &press);
  EXPECT_EQ(name, "Mill Creek");
  EXPECT_TRUE(messages.Calls.empty());
  EXPECT_TRUE(window->isVisible());
}

TEST_F(TerritoryListsWindowTest, ANewCaboosePictureIsDrawnAfterTheNextLoad) {
  BuildTerritory();
  const std::string picture = folder_.filePath("green caboose.bmp").toStdString();
  const track_test::Bytes bytes = track_test::MakeBitmap(32, 14);
  track_test::WriteBytes(picture, bytes);

  TListFrame* window = Open(res::CM_TRAIN_TYPES, TheDataWindows.TrainTypes);
  ASSERT_NE(window, nullptr);
  window->List()->selectRow(0);
  WhenModalOpens([&](QWidget* dialog) {
    ASSERT_NE(dialog, nullptr);
    FindControl<QLineEdit>(dialog, res::IDC_TYPE_CABOOSE)->setText(QString::fromStdString(picture));
    FindControl<QPushButton>(dialog, 1)->click();
  });
  FindControl<QPushButton>(window, res::CM_LIST_EDIT)->click();
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Information);
  messages.Calls.clear();
  EXPECT_EQ(window->List()->model()->index(0, 7).data().toString().toStdString(), picture);
  EXPECT_EQ(+store().Run.DialogOpen, 0) << "the dialog lock is given back";

  // Until the next load the type keeps drawing the picture it had.
  const auto pictureSlot = [&]() -> int {
    const int slot = store().TrainTypeIcons[0][2];
    return slot >= 0 && FieldText(store().GetTrainIconData(slot).FileName) == picture ? slot : -1;
  };
  EXPECT_EQ(pictureSlot(), -1);

  const std::string track = folder_.filePath("new name.trk").toStdString();
  ASSERT_EQ(TrackFile(store()).Write(track, 0), 0);
  for (const auto& call : messages.Calls) ADD_FAILURE() << call.Text;
  ASSERT_EQ(TrackFile(store()).Load(track, 0), 0);
  const int slot = pictureSlot();
  ASSERT_GE(slot, 0);
  EXPECT_EQ(store().TrainIconImages[static_cast<size_t>(slot)], bytes);
}

}  // namespace
