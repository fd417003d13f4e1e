// The active block permit and slow order lists: state texts, filters, sorting,
// the time still needed, the permanent order, and Authorize handing a waiting
// request to the engine.
#include "lists/active_lists.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QTableView>

#include "engine/engine.h"
#include "platform/controls.h"
#include "resources/permit_slow_ids.h"
#include "tests/shell/gui_app.h"
#include "tests/support/store_fixture.h"

namespace {

constexpr int32_t kMonday = 86400;
const char* const kNoneSelected =
    "A block permit has not be selected.  Select a block permit by placing the mouse pointer on the block permit "
    "number and then click the mouse left or right button.";

class ActiveListsTest : public StoreFixture {
 protected:
  ActiveListsTest() {
    EnsureQApplication();
    OptionData options = store().GetOptionData();
    options.BlockPermitsActive = 1;
    store().UpdateOptionData(options);
    store().SimClock = kMonday + 5 * 3600;
  }

  // A permit definition and its running slot in the given state.
  int Permit(int slot, const char* track, int16_t fromMinute, int16_t toMinute, int32_t startSeconds, int16_t state,
             int32_t worked = 0) {
    const int index = store().FindFreePermitData(1);
    PermitData permit = store().GetPermitData(index);
    SetFieldText(permit.TrackName, track);
    permit.StartMinutes = fromMinute;
    permit.EndMinutes = toMinute;
    SetFieldText(permit.Requestor, "Gang 4");
    store().UpdatePermitData(index, permit);
    PermitStatus status{};
    status.InUse = 1;
    status.PermitIndex = static_cast<int16_t>(index);
    status.StartTime = startSeconds;
    status.EndTime = startSeconds + 3600;
    status.NextActionTime = startSeconds + 86400;
    status.MinutesGranted = worked;
    status.State = state;
    store().UpdatePermitStatus(slot, status);
    return index;
  }
  static QStringList Column(TListFrame& list, int column) {
    QStringList texts;
    for (int row = 0; row < list.List()->model()->rowCount(); ++row) {
      texts << list.List()->model()->index(row, column).data().toString();
    }
    return texts;
  }
  static void Select(TListFrame& list, int row) {
    list.List()->selectionModel()->setCurrentIndex(list.List()->model()->index(row, 0),
                                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }
  static void Click(QWidget* window, int id) { FindControl<QAbstractButton>(window, id)->click(); }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const MessageCall& call : messages.Calls) texts.push_back(call.Text);
    return texts;
  }

  Engine engine{store()};
};

TEST_F(ActiveListsTest, PermitRowsFiltersAndSorting) {
  Permit(0, "B-C Main", 1380, 60, kMonday + 23 * 3600, kPermitActive, 30);       // 23:00-01:00, 90 still needed
  Permit(1, "A-B Main", 360, 420, kMonday + 6 * 3600, kPermitAuthorized);        // state 1 reads "Authorized"
  Permit(2, "A-B Main", 360, 400, kMonday + 6 * 3600 + 60, kPermitPending, 90);  // worked past its span
  Permit(3, "C-D Main", 360, 420, kMonday + 6 * 3600, kPermitScheduled);
  TPermitActive list(store(), engine, nullptr);
  list.show();
  EXPECT_EQ(list.windowTitle(), "Active Block Permit (T&T) List");
  EXPECT_TRUE(FindControl<QCheckBox>(&list, res::IDC_FILTER_ALL)->isChecked());

  // By time, equal times by track name.
  EXPECT_EQ(Column(list, 2), (QStringList{"A-B Main", "C-D Main", "A-B Main", "B-C Main"}));
  EXPECT_EQ(Column(list, 1), (QStringList{"Authorized", "Pending", "Authorized", "Active"}));
  EXPECT_EQ(Column(list, 3), (QStringList{"06:00", "06:00", "06:01", "23:00"}));
  EXPECT_EQ(Column(list, 5), (QStringList{"60", "60", "0", "90"}));
  EXPECT_EQ(Column(list, 0), (QStringList{"1", "3", "2", "0"}));

  int rebuilds = 0;
  QObject::connect(list.List()->model(), &QAbstractItemModel::modelReset, [&] { ++rebuilds; });
  Click(&list, res::IDC_LIST_SORT_TIME);
  EXPECT_EQ(rebuilds, 0);
  Click(&list, res::IDC_LIST_SORT_TRACK);
  EXPECT_EQ(Column(list, 3), (QStringList{"06:00", "06:01", "23:00", "06:00"}));

  // "Pending" takes states 0, 1 and 3; "Authorized" only 2.
  Click(&list, res::IDC_FILTER_PENDING);
  EXPECT_FALSE(FindControl<QCheckBox>(&list, res::IDC_FILTER_ALL)->isChecked());
  EXPECT_EQ(Column(list, 0), (QStringList{"1", "3"}));
  Click(&list, res::IDC_FILTER_PENDING);
  Click(&list, res::IDC_FILTER_AUTHORIZED);
  EXPECT_EQ(Column(list, 0), (QStringList{"2"}));
  Click(&list, res::IDC_FILTER_AUTHORIZED);
  EXPECT_EQ(list.List()->model()->rowCount(), 0) << "no box checked";
  Click(&list, res::IDC_LIST_AUTHORIZE);
  EXPECT_EQ(Texts(), std::vector<std::string>{kNoneSelected});

  Click(&list, res::IDC_FILTER_ACTIVE);
  Click(&list, res::IDC_FILTER_ALL);
  EXPECT_FALSE(FindControl<QCheckBox>(&list, res::IDC_FILTER_ACTIVE)->isChecked());
  EXPECT_EQ(list.List()->model()->rowCount(), 4);
}

TEST_F(ActiveListsTest, AuthorizeRefusesInPlaybackAndWhenAuthorizedOrActiveElseAsksTheEngine) {
  Permit(0, "A-B Main", 360, 420, kMonday + 6 * 3600, kPermitAwaiting);
  Permit(1, "B-C Main", 360, 420, kMonday + 7 * 3600, kPermitAuthorized);
  Permit(2, "C-D Main", 360, 420, kMonday + 8 * 3600, kPermitActive);
  TPermitActive list(store(), engine, nullptr);
  list.show();

  store().OperatingMode = 2;
  Click(&list, res::IDC_LIST_AUTHORIZE);  // before the selection is looked at
  store().OperatingMode = 0;
  Select(list, 1);
  Click(&list, res::IDC_LIST_AUTHORIZE);
  Select(list, 2);
  Click(&list, res::IDC_LIST_AUTHORIZE);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"You cannot authorize a block permit while you are in playback mode.",
                                               "The block permit selected is already authorized.",
                                               "The block permit selected is currently active."}));
  EXPECT_TRUE(dialogs.PermitRequests.empty());

  Select(list, 0);
  list.List()->doubleClicked(list.List()->model()->index(0, 0));
  EXPECT_EQ(dialogs.PermitRequests, std::vector<int>{0});
  EXPECT_EQ(Texts().size(), 3u);
}

TEST_F(ActiveListsTest, SlowOrderRowsShowPermanentAndTheSpeedsOfTheTypesInUse) {
  for (int type : {0, 3}) {
    TrainType train = store().GetTrainType(type);
    train.InUse = 1;
    SetFieldText(train.Name, type == 0 ? "Freight" : "Yard");
    store().UpdateTrainType(type, train);
  }
  const auto order = [&](int slot, const char* name, uint8_t permanent, int16_t speed) {
    const int index = store().FindFreeSlowData(1);
    SlowData data = store().GetSlowData(index);
    SetFieldText(data.Location, name);
    data.Permanent = permanent;
    data.SpeedsFirst[3] = speed;
    store().UpdateSlowData(index, data);
    SlowStatus status{};
    status.InUse = 1;
    status.SlowIndex = index;
    status.StartTime = kMonday + (permanent ? 3600 : 7200);
    status.EndTime = permanent ? -1 : kMonday + 9000;
    status.InForce = permanent;
    store().UpdateSlowStatus(slot, status);
  };
  order(4, "Track A-B Main", 1, 20);
  order(7, "Block 0012", 0, -1);
  TSlowActive list(store(), nullptr);
  list.show();
  EXPECT_EQ(list.windowTitle(), "Active Slow Order List");
  const QAbstractItemModel* model = list.List()->model();
  ASSERT_EQ(model->columnCount(), 10);
  EXPECT_EQ(model->headerData(8, Qt::Horizontal).toString(), "Yard(Left)");
  QStringList permanent;
  for (int column = 0; column < 10; ++column) permanent << model->index(0, column).data().toString();
  EXPECT_EQ(permanent, (QStringList{"0", "Active", "Track A-B Main", "Yes", "01:00", "Permanent", "", "", "20", ""}));
  EXPECT_EQ(model->index(1, 5).data().toString(), "02:30");
  EXPECT_EQ(model->index(1, 8).data().toString(), "") << "no speed for the type";

  Click(&list, res::IDC_FILTER_PENDING);
  EXPECT_EQ(Column(list, 1), QStringList{"Pending"});
  Click(&list, res::IDC_FILTER_PENDING);
  EXPECT_EQ(model->rowCount(), 0);
}

}  // namespace
