#include "lists/active_lists.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTableView>
#include <algorithm>

#include "engine/engine.h"
#include "lists/slow_list.h"
#include "lists/track_time_lists.h"
#include "resources/permit_slow_ids.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"

namespace {

constexpr int32_t kPlaybackMode = 2;

}  // namespace

TActiveList::TActiveList(Corvane3Data& store, list::FrameSpec spec, QWidget* parent)
    : TListFrame(store, std::move(spec), parent) {}

void TActiveList::AddFirstRowButtons() {
  connect(AddButton(res::IDC_LIST_SORT_TRACK, "Sort Track"), &QPushButton::clicked, this, &TActiveList::CmSortTrack);
  connect(AddButton(res::IDC_LIST_SORT_TIME, "Sort Time"), &QPushButton::clicked, this, &TActiveList::CmSortTime);
  AddSaveColumnWidthsButton();
  AddHelpButton();
}

void TActiveList::AddFilters(const std::vector<std::pair<int, QString>>& boxes) {
  all_ = AddCheckBox(res::IDC_FILTER_ALL, "All");
  all_->setChecked(true);
  connect(all_, &QCheckBox::clicked, this, [this] { FilterClicked(all_); });
  for (const auto& [id, text] : boxes) {
    QCheckBox* box = AddCheckBox(id, text);
    states_.push_back(box);
    connect(box, &QCheckBox::clicked, this, [this, box] { FilterClicked(box); });
  }
}

void TActiveList::FilterClicked(QCheckBox* box) {
  if (box == all_) {
    if (all_->isChecked()) {
      for (QCheckBox* state : states_) state->setChecked(false);
    }
  } else if (std::any_of(states_.begin(), states_.end(), [](QCheckBox* state) { return state->isChecked(); })) {
    all_->setChecked(false);
  }
  ListBuild();
}

bool TActiveList::Passes(int group) const {
  if (all_->isChecked()) return true;
  return group >= 0 && group < static_cast<int>(states_.size()) && states_[static_cast<size_t>(group)]->isChecked();
}

std::vector<QCheckBox*> TActiveList::Filters() const {
  std::vector<QCheckBox*> boxes{all_};
  boxes.insert(boxes.end(), states_.begin(), states_.end());
  return boxes;
}

void TActiveList::ChangeSort(SortKey key) {
  if (sortKey_ == key) return;
  sortKey_ = key;
  ListBuild();
}

// ------------------------------------------------------------------------------------------ permits

namespace {

// The filter box that takes a permit state: "Pending" 0, 1 and 3; "Authorized" 2; "Active" 4.
int PermitGroup(int16_t state) {
  switch (state) {
    case kPermitAwaiting:
    case kPermitAuthorized:
    case kPermitScheduled:
      return 0;
    case kPermitPending:
      return 1;
    case kPermitActive:
      return 2;
    default:
      return -1;
  }
}

QString PermitStatusText(int16_t state) {
  switch (state) {
    case kPermitAwaiting:
    case kPermitScheduled:
      return "Pending";
    case kPermitAuthorized:
    case kPermitPending:
      return "Authorized";
    case kPermitActive:
      return "Active";
    default:
      return {};
  }
}

const char* const kNoPermitSelected =
    "A block permit has not be selected.  Select a block permit by placing the mouse pointer on the block permit "
    "number and then click the mouse left or right button.";
const char* const kManyPermitsSelected =
    "More than one block permit has been selected.  Please select only one block permit.";

}  // namespace

TPermitActive::TPermitActive(Corvane3Data& store, Engine& engine, QWidget* parent)
    : TActiveList(store,
                  list::FrameSpec{"TTPermit",
                                  "Active Block Permit (T&T) List",
                                  12,
                                  16,
                                  {{"Number", Qt::AlignLeft},
                                   {"Status", Qt::AlignLeft},
                                   {"Track Name", Qt::AlignLeft},
                                   {"From Time", Qt::AlignHCenter},
                                   {"To Time", Qt::AlignHCenter},
                                   {"Time Still Needed", Qt::AlignRight},
                                   {"Requestor", Qt::AlignLeft},
                                   {"Reason", Qt::AlignLeft}},
                                  "active block permits",
                                  /*KeepsSelection=*/false},
                  parent),
      engine_(engine) {
  connect(AddButton(res::IDC_LIST_AUTHORIZE, "Authorize"), &QPushButton::clicked, this, &TPermitActive::Authorize);
  AddFirstRowButtons();
  AddFilters({{res::IDC_FILTER_PENDING, "Pending"},
              {res::IDC_FILTER_AUTHORIZED, "Authorized"},
              {res::IDC_FILTER_ACTIVE, "Active"}});
  connect(List(), &QTableView::doubleClicked, this, [this] { Authorize(); });
  List()->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(List(), &QWidget::customContextMenuRequested, this, &TPermitActive::RightClicked);
}

std::vector<list::Row> TPermitActive::Fill() {
  std::vector<SortEntry> entries;
  for (int slot = 0; slot < kMaxPermitStatus; ++slot) {
    const PermitStatus status = store_.GetPermitStatus(slot);
    if (status.InUse == 0 || !Passes(PermitGroup(status.State))) continue;
    entries.push_back({slot, FieldText(store_.GetPermitData(status.PermitIndex).TrackName), status.StartTime});
  }
  SortEntries(entries, Sort() == kByTrack);

  std::vector<list::Row> rows;
  for (const SortEntry& entry : entries) {
    const PermitStatus status = store_.GetPermitStatus(entry.Slot);
    const PermitData permit = store_.GetPermitData(status.PermitIndex);
    int span = permit.EndMinutes - permit.StartMinutes;
    if (span < 0) span += 1440;
    const int32_t needed = std::max<int32_t>(0, span - status.MinutesGranted);
    rows.push_back(list::Row{
        entry.Slot,
        {QString::number(status.PermitIndex), PermitStatusText(status.State), QString::fromStdString(entry.Name),
         ClockTimeText(status.StartTime), ClockTimeText(status.EndTime), QString::number(needed),
         QString::fromStdString(FieldText(permit.Requestor)), QString::fromStdString(FieldText(permit.Reason))}});
  }
  return rows;
}

void TPermitActive::Authorize() {
  if (store_.OperatingMode == kPlaybackMode) {
    store_.ShowMessage("You cannot authorize a block permit while you are in playback mode.", MessageIcon::Error);
    List()->setFocus();
    return;
  }
  const int slot = SelectedRecord(kNoPermitSelected, kManyPermitsSelected);
  if (slot < 0) return;
  const int16_t state = store_.GetPermitStatus(slot).State;
  if (state == kPermitAuthorized || state == kPermitPending || state == kPermitActive) {
    store_.ShowMessage(state == kPermitActive ? "The block permit selected is currently active."
                                              : "The block permit selected is already authorized.",
                       MessageIcon::Error);
    List()->setFocus();
    return;
  }
  engine_.AuthorizeBlockPermit(slot, 0);
}

void TPermitActive::RightClicked() {
  // The press has already selected the row under the pointer; exactly one row authorizes it.
  const auto rows = List()->selectionModel()->selectedRows();
  if (rows.size() > 1) {
    store_.ShowMessage(kManyPermitsSelected, MessageIcon::Error);
    List()->setFocus();
    return;
  }
  if (rows.isEmpty()) {
    store_.ShowMessage(kNoPermitSelected, MessageIcon::Error);
    List()->setFocus();
    return;
  }
  Authorize();
}

// ------------------------------------------------------------------------------------------ slow orders

namespace {

std::vector<list::Column> SlowActiveColumns() {
  return {{"Number", Qt::AlignRight},      {"Status", Qt::AlignRight},      {"Track/Block/Switch Name", Qt::AlignLeft},
          {"Permanent", Qt::AlignHCenter}, {"From Time", Qt::AlignHCenter}, {"To Time", Qt::AlignHCenter}};
}

}  // namespace

TSlowActive::TSlowActive(Corvane3Data& store, QWidget* parent)
    : TActiveList(store,
                  // The speed columns are those of the train types in use when the window opens.
                  list::FrameSpec{"TTSlow", "Active Slow Order List", 13, 17,
                                  SlowOrderColumns(store, SlowActiveColumns(), TrainTypesInUse(store)),
                                  "active slow orders", /*KeepsSelection=*/false},
                  parent),
      types_(TrainTypesInUse(store)) {
  AddFirstRowButtons();
  AddFilters({{res::IDC_FILTER_PENDING, "Pending"}, {res::IDC_FILTER_ACTIVE, "Active"}});
}

std::vector<list::Row> TSlowActive::Fill() {
  std::vector<SortEntry> entries;
  for (int slot = 0; slot < kMaxSlowStatus; ++slot) {
    const SlowStatus status = store_.GetSlowStatus(slot);
    if (status.InUse == 0 || !Passes(status.InForce == 0 ? 0 : status.InForce == 1 ? 1 : -1)) continue;
    entries.push_back({slot, FieldText(store_.GetSlowData(status.SlowIndex).Location), status.StartTime});
  }
  SortEntries(entries, Sort() == kByTrack);

  std::vector<list::Row> rows;
  for (const SortEntry& entry : entries) {
    const SlowStatus status = store_.GetSlowStatus(entry.Slot);
    const SlowData order = store_.GetSlowData(status.SlowIndex);
    list::Row row{
        entry.Slot,
        {QString::number(status.SlowIndex), status.InForce == 1 ? "Active" : "Pending",
         QString::fromStdString(entry.Name), order.Permanent == 1 ? "Yes" : "No", ClockTimeText(status.StartTime),
         status.EndTime == -1 ? QString("Permanent") : ClockTimeText(status.EndTime)}};
    for (QString& speed : SlowSpeedTexts(order, types_)) row.Texts.push_back(std::move(speed));
    rows.push_back(std::move(row));
  }
  return rows;
}
