// The Find menu in the running program: a picked line closes its dialog, the
// layout centres the element with the pointer on it and the message field
// describes it; Find a Train tells of a train that has not arrived yet.
#include <gtest/gtest.h>

#include <QCursor>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <memory>

#include "platform/bar_fields.h"
#include "platform/controls.h"
#include "resources/find_ids.h"
#include "resources/resource_ids.h"
#include "resources/strings.h"
#include "shell/corvane3_app.h"
#include "shell/corvane3_dec.h"
#include "shell/corvane3_window.h"
#include "shell/find_dialogs.h"
#include "shell/globals.h"
#include "shell/layout_hover.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "tests/shell/gui_app.h"
#include "tests/support/fake_services.h"
#include "tools/territory/territory_builder.h"

namespace {

using territory::End;

class FindMenuTest : public ::testing::Test {
 protected:
  //   y=150  ==B0 (2..100)== S0 "Alder"      S1 "Birch" ==B1 (110..190)==
  FindMenuTest() {
    app_ = StartShownProgram(folder_, &messages);
    territory::TerritoryBuilder t(store());
    t.Block({.From = {2, 150}, .To = {100, 150}});
    t.Block({.From = {110, 150}, .To = {190, 150}});
    t.Signal(0, End::Right, "Alder");
    t.Signal(1, End::Left, "Birch");
    t.Finish();
    store().InitSimulationStatus();
    layout().ComputeLayoutExtent();
    messages.Calls.clear();
  }
  Corvane3Data& store() { return *TheStore; }
  TCorvane3Window& layout() { return *app_->LayoutWindow(); }
  QPoint Scroll() { return {layout().horizontalScrollBar()->value(), layout().verticalScrollBar()->value()}; }
  // Chooses the menu item; `act` works the dialog once it is up. The dialog's result.
  void Choose(int command, std::function<void(TFindDialog*)> act) {
    bool opened = false;
    OnModal<TFindDialog>([&opened, act](TFindDialog* dialog) {
      opened = true;
      act(dialog);
    });
    QAction* item = TheMainFrame->Commands().Find(command);
    ASSERT_NE(item, nullptr);
    TheMainFrame->Commands().UpdateEnabled();
    ASSERT_TRUE(item->isEnabled());
    item->trigger();
    EXPECT_TRUE(opened) << command;
  }
  // The layout centred on a cell with the pointer on it.
  void ExpectCentredOn(int column, int row) {
    const layout::Point centre = layout().CurrentView().CentreOn(column, row, layout().width(), layout().height());
    EXPECT_EQ(Scroll(), QPoint(centre.X, centre.Y));
    const layout::Point pointer = layout().CurrentView().CursorOnCell(column, row);
    EXPECT_EQ(QCursor::pos(), layout().viewport()->mapToGlobal(QPoint(pointer.X, pointer.Y)));
  }

  QTemporaryDir folder_;
  FakeMessageService messages;
  std::unique_ptr<TCorvane3App> app_;
};

TEST_F(FindMenuTest, PickingASignalByNameCentresAndDescribesIt) {
  ASSERT_EQ(Scroll(), QPoint(0, 0));
  Choose(res::CM_FIND_SIGNAL_NAME, [](TFindDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Find Signal By Name");
    QTreeWidget* list = FindControl<QTreeWidget>(dialog, res::IDC_FIND_LIST);
    ASSERT_EQ(list, dialog->List());
    EXPECT_EQ(list->headerItem()->text(0), "Signal Name");
    EXPECT_EQ(list->headerItem()->text(1), "Number");
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(1)->text(0), "Birch");
    EXPECT_EQ(list->topLevelItem(1)->text(1), "0001");
    list->setCurrentItem(list->topLevelItem(1));  // a click: the dialog ends at once
    EXPECT_FALSE(dialog->isVisible());
  });
  const SignalData signal = store().GetSignalData(1);
  ExpectCentredOn(signal.CellX, signal.CellY);
  EXPECT_NE(Scroll(), QPoint(0, 0));
  // The pointer's move frames and describes the signal.
  QCoreApplication::processEvents();
  EXPECT_EQ(store().Run.HighlightedDevice, 3001);
  EXPECT_EQ(MessageField->text().toStdString(), hover::DescribeSignal(store(), 1));
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(FindMenuTest, AnArrowKeyIntoTheListPicksTheLineItReaches) {
  int reached = -1;
  Choose(res::CM_FIND_BLOCK_NUMBER, [&reached](TFindDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Find Block By Number");
    QTreeWidget* list = dialog->List();
    list->setFocus();
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(list, &down);
    reached = list->indexOfTopLevelItem(list->currentItem());
    EXPECT_FALSE(dialog->isVisible());
  });
  ASSERT_TRUE(reached == 0 || reached == 1);
  const BlockData block = store().GetBlockData(reached);  // the list is in block order
  ExpectCentredOn(block.LeftCellX, block.LeftCellY);
}

TEST_F(FindMenuTest, CancelFindsNothingAndF1AsksForHelp) {
  Choose(res::CM_FIND_SWITCH_NAME, [](TFindDialog* dialog) {
    EXPECT_EQ(dialog->List()->topLevelItemCount(), 0) << "no switches";
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QCoreApplication::sendEvent(dialog->List(), &f1);  // the list passes it on to its dialog
    FindControl<QPushButton>(dialog, res::IDC_FIND_CANCEL)->click();
  });
  EXPECT_EQ(Scroll(), QPoint(0, 0));
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, res::kHelpNotAvailable);
}

TEST_F(FindMenuTest, FindATrainTellsWhenAScheduledTrainWillArrive) {
  TrainStatus train = store().GetTrainStatus(3);
  train.InUse = 1;
  train.TrainIndex = -1;
  train.MergePrevious = -1;
  train.State = 2;
  SetFieldText(train.TrainId, "101");
  SetFieldText(train.Entrance, "E");
  train.HeadEventTime = 8 * 3600 + 5 * 60;
  store().UpdateTrainStatus(3, train, 1);

  Choose(res::CM_FIND_TRAIN, [](TFindDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Find Train");
    ASSERT_EQ(dialog->List()->topLevelItemCount(), 1);
    dialog->List()->setCurrentItem(dialog->List()->topLevelItem(0));
  });
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, "Train will arrive on territory at location \"E\" at 8:05.");
  EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Information);
  EXPECT_EQ(messages.Calls[0].Caption, FieldText(store().Captions[0], kCaptionChars));
  EXPECT_EQ(Scroll(), QPoint(0, 0)) << "nothing to show on the layout";
}

TEST_F(FindMenuTest, FindATrainOpensWideEnoughForTheWholeDescription) {
  TrainData schedule = store().GetTrainData(0);
  schedule.InUse = 1;
  SetFieldText(schedule.TrainId, "7L21");
  SetFieldText(schedule.Description, "Ashford and Bexley stopping tra");  // the field's full 31 characters
  store().UpdateTrainData(0, schedule);
  TrainStatus train = store().GetTrainStatus(3);
  train.InUse = 1;
  train.TrainIndex = 0;
  train.MergePrevious = -1;
  train.State = 2;
  SetFieldText(train.TrainId, "7L21");
  store().UpdateTrainStatus(3, train, 1);

  Choose(res::CM_FIND_TRAIN, [](TFindDialog* dialog) {
    QTreeWidget* list = dialog->List();
    ASSERT_EQ(list->topLevelItemCount(), 1);
    QTreeWidgetItem* line = list->topLevelItem(0);
    ASSERT_EQ(line->text(1), "Ashford and Bexley stopping tra");
    // The column holds its text, and the column's right edge lies inside the list's view.
    EXPECT_GE(list->columnWidth(1), list->fontMetrics().horizontalAdvance(line->text(1)));
    const int right = list->header()->sectionViewportPosition(1) + list->header()->sectionSize(1);
    EXPECT_LE(right, list->viewport()->width());
    dialog->reject();
  });
}

}  // namespace
