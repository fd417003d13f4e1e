// The list-frame pattern on a fake member: selection rules, the row kept over a
// rebuild, column headers, saved column widths and place, help.
#include "lists/list_frame.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QTableView>

#include "platform/controls.h"
#include "tests/shell/gui_app.h"
#include "tests/support/store_fixture.h"

namespace {

constexpr int kWindow = 5;
constexpr int kColumns = 9;
const std::string kNone = "A train has not be selected.";
const std::string kMany = "More than one train has been selected.  Please select only one train.";

class FakeList : public TListFrame {
 public:
  explicit FakeList(Corvane3Data& store)
      : TListFrame(store,
                   list::FrameSpec{"TTFake",
                                   "Fake Trains",
                                   kWindow,
                                   kColumns,
                                   {{"Train ID", Qt::AlignLeft}, {"Time", Qt::AlignRight}},
                                   "fake window"},
                   nullptr) {
    AddButton(1013, "Properties");
    AddSaveColumnWidthsButton();
    AddHelpButton();
  }
  std::vector<list::Row> Rows;
  std::string OperationDuringFill;

 protected:
  std::vector<list::Row> Fill() override {
    OperationDuringFill = store_.CurrentOperation;
    return Rows;
  }
};

list::Row TrainRow(int32_t record, const char* id, const char* time) { return list::Row{record, {id, time}}; }

class ListFrameTest : public StoreFixture {
 protected:
  ListFrameTest() {
    EnsureQApplication();
    store().UpdateWindowSize(kWindow, WindowSize{-1, 0, 0, 0});
    list_ = new FakeList(store());
    list_->Rows = {TrainRow(4, "NB 12", "10:00"), TrainRow(7, "SB 3", "9:05"), TrainRow(9, "NB 14", "9:05")};
  }
  ~ListFrameTest() override { delete list_.data(); }

  QTableView* View() { return list_->List(); }
  QString Cell(int row, int column) { return View()->model()->index(row, column).data().toString(); }
  void Select(std::initializer_list<int> rows) {
    for (int row : rows) {
      View()->selectionModel()->select(View()->model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const MessageCall& call : messages.Calls) texts.push_back(call.Text);
    return texts;
  }

  QPointer<FakeList> list_;
};

TEST_F(ListFrameTest, NoneOrTwoSelectedAreRefusedWithTheirMessagesAndOneGivesItsRecord) {
  list_->show();
  EXPECT_EQ(list_->SelectedRecord(kNone, kMany), -1);
  Select({0, 2});
  EXPECT_EQ(list_->SelectedRecord(kNone, kMany), -1);
  EXPECT_EQ(Texts(), (std::vector<std::string>{kNone, kMany}));
  for (const MessageCall& call : messages.Calls) EXPECT_EQ(call.Icon, MessageIcon::Error);

  View()->selectionModel()->clearSelection();
  EXPECT_EQ(list_->TrackedRow(), -1);
  Select({1});
  EXPECT_EQ(list_->SelectedRecord(kNone, kMany), 7);
  EXPECT_EQ(messages.Calls.size(), 2u);
}

TEST_F(ListFrameTest, ARebuildSelectsTheSameRowNumberAndNamesItselfWhileItRuns) {
  list_->show();
  EXPECT_EQ(list_->OperationDuringFill, "TTFake::ListBuild");
  EXPECT_STREQ(store().CurrentOperation, "");
  Select({1});
  // The selected train moved: the same row number is selected again, now another train.
  std::swap(list_->Rows[1], list_->Rows[2]);
  list_->ListBuild();
  EXPECT_EQ(list_->TrackedRow(), 1);
  EXPECT_TRUE(View()->selectionModel()->isRowSelected(1, {}));
  EXPECT_EQ(list_->SelectedRecord(kNone, kMany), 9);

  // A row number beyond the rebuilt rows selects nothing.
  list_->Rows.resize(1);
  list_->ListBuild();
  EXPECT_EQ(list_->TrackedRow(), -1);
}

TEST_F(ListFrameTest, RowsKeepTheMembersOrderUnderTheirHeadersAndAlignment) {
  list_->show();
  EXPECT_EQ(Cell(0, 0), "NB 12");
  EXPECT_EQ(Cell(2, 0), "NB 14");
  EXPECT_EQ(list_->RecordsShown(), (std::vector<int32_t>{4, 7, 9}));
  EXPECT_EQ(View()->model()->headerData(1, Qt::Horizontal).toString(), "Time");
  EXPECT_EQ(View()->model()->index(0, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight,
            Qt::AlignRight);
}

TEST_F(ListFrameTest, SaveColumnWidthsStoresEachColumnAndZeroBeyond) {
  store().UpdateColumnSize(kColumns, 1, 77);
  store().UpdateColumnSize(kColumns, 5, 66);
  list_->show();
  EXPECT_EQ(View()->columnWidth(1), 77);
  View()->setColumnWidth(0, 123);
  FindControl<QPushButton>(list_, list::kSaveColumnWidthsId)->click();
  EXPECT_EQ(store().GetColumnSize(kColumns, 0), 123u);
  EXPECT_EQ(store().GetColumnSize(kColumns, 1), 77u);
  for (int column = 2; column < kColumnsPerList; ++column) EXPECT_EQ(store().GetColumnSize(kColumns, column), 0u);
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, "Column widths saved.");
  EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Information);
}

TEST_F(ListFrameTest, TheListTakesTheDisplaysColours) {
  OptionData options = store().GetOptionData();
  options.ClassicDisplay = 1;
  store().UpdateOptionData(options);
  list_->show();
  EXPECT_EQ(View()->palette().color(QPalette::Base), QColor(Qt::black));
  EXPECT_EQ(View()->palette().color(QPalette::Text), QColor(Qt::white));
}

TEST_F(ListFrameTest, HelpWithoutAViewerShowsTheNotAvailableMessage) {
  list_->show();
  FindControl<QPushButton>(list_, list::kHelpId)->click();
  EXPECT_EQ(shell.HelpNotAvailableCalls, 1);
}

TEST_F(ListFrameTest, TheWindowTakesItsSavedPlaceAndStoresItWhenItGoes) {
  store().UpdateWindowSize(kWindow, WindowSize{100, 120, 500, 420});
  list_->show();
  EXPECT_EQ(list_->geometry(), QRect(100, 120, 400, 300));
  list_->setGeometry(140, 150, 420, 310);
  delete list_.data();
  const WindowSize saved = store().GetWindowSize(kWindow);
  EXPECT_EQ(saved.Left, 140);
  EXPECT_EQ(saved.Top, 150);
  EXPECT_EQ(saved.Right, 560);
  EXPECT_EQ(saved.Bottom, 460);
}

TEST_F(ListFrameTest, AMaximizedWindowKeepsTheEarlierPlace) {
  store().UpdateWindowSize(kWindow, WindowSize{100, 120, 500, 420});
  list_->show();
  list_->showMaximized();
  delete list_.data();
  EXPECT_EQ(store().GetWindowSize(kWindow).Left, 100);
  EXPECT_EQ(store().GetWindowSize(kWindow).Right, 500);
}

TEST_F(ListFrameTest, APlaceOffEveryScreenComesBackOnThePrimaryScreen) {
  store().UpdateWindowSize(kWindow, WindowSize{30000, 30000, 30400, 30300});
  list_->show();
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_TRUE(area.contains(list_->geometry().topLeft()));
  EXPECT_EQ(list_->geometry().size(), QSize(400, 300));
}

TEST_F(ListFrameTest, CascadedWindowsStepTenPixelsPerOpenWindow) {
  store().UpdateWindowSize(kWindow, WindowSize{100, 120, 500, 420});
  int32_t open = 3;
  list_->SetCascadeCounter(&open);
  list_->show();
  EXPECT_EQ(list_->geometry().topLeft(), QPoint(130, 150));
  EXPECT_EQ(open, 4);
  delete list_.data();
  EXPECT_EQ(open, 3);
  EXPECT_EQ(store().GetWindowSize(kWindow).Left, 130) << "the last one closed stores its own place";
}

}  // namespace
