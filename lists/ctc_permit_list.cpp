#include "lists/ctc_permit_list.h"

#include <QComboBox>
#include <QFormLayout>
#include <QPushButton>
#include <QTableView>
#include <algorithm>
#include <cstring>

#include "dialogs/dialog_kit.h"
#include "engine/ctc_permits.h"
#include "engine/engine.h"
#include "engine/permit_times.h"
#include "lists/track_time_lists.h"
#include "platform/controls.h"
#include "resources/ctc_permit_ids.h"
#include "resources/permit_slow_ids.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/operating_mode.h"
#include "store/track_names.h"

namespace {

constexpr int kTextChars = 20;
constexpr int kTrackChars = 29;
// A new permit's span.
constexpr int kProposedMinutes = 120;

const char* const kNoPermitSelected =
    "A block permit has not be selected.  Select a block permit by placing the mouse pointer on the block permit "
    "number and then click the mouse left or right button.";
const char* const kManyPermitsSelected =
    "More than one block permit has been selected.  Please select only one block permit.";

// The filter box of a state: "Pending" takes 0 to 3, "Active" 4.
int PermitGroup(int16_t state) {
  if (state >= 0 && state <= 3) return 0;
  return state == kCtcPermitInForce ? 1 : -1;
}

QString DayMinuteText(int32_t minute) {
  return MinuteText(((minute % kMinutesPerDay) + kMinutesPerDay) % kMinutesPerDay);
}

}  // namespace

// ------------------------------------------------------------------------------------------ the list

TCTCPermitActive::TCTCPermitActive(Corvane3Data& store, Engine& engine, QWidget* parent)
    : TActiveList(store,
                  list::FrameSpec{"TTPermit",
                                  "CTC Active Block Permit (T&T) List",
                                  17,
                                  20,
                                  {{"Number", Qt::AlignLeft},
                                   {"Status", Qt::AlignLeft},
                                   {"Track Name", Qt::AlignLeft},
                                   {"From Time", Qt::AlignHCenter},
                                   {"To Time", Qt::AlignHCenter},
                                   {"Requestor", Qt::AlignLeft},
                                   {"Reason", Qt::AlignLeft}},
                                  "active block permits",
                                  /*KeepsSelection=*/false},
                  parent),
      engine_(engine) {
  connect(AddButton(res::IDC_CTC_PERMIT_ISSUE, "Issue"), &QPushButton::clicked, this, &TCTCPermitActive::CmIssue);
  connect(AddButton(res::IDC_CTC_PERMIT_CANCEL, "Cancel"), &QPushButton::clicked, this, &TCTCPermitActive::CmCancel);
  connect(AddButton(res::IDC_CTC_PERMIT_EDIT, "Edit"), &QPushButton::clicked, this, &TCTCPermitActive::CmEdit);
  connect(AddButton(res::IDC_LIST_SORT_TRACK, "Sort Track"), &QPushButton::clicked, this, &TActiveList::CmSortTrack);
  AddSaveColumnWidthsButton();
  AddFilters({{res::IDC_FILTER_PENDING, "Pending"}, {res::IDC_FILTER_ACTIVE, "Active"}});
  connect(AddButton(res::IDC_LIST_SORT_TIME, "Sort Time", 1), &QPushButton::clicked, this, &TActiveList::CmSortTime);
  AddHelpButton(1);

  connect(List(), &QTableView::doubleClicked, this, [this] { CmEdit(); });
  List()->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(List(), &QWidget::customContextMenuRequested, this, &TCTCPermitActive::RightClicked);
}

std::vector<list::Row> TCTCPermitActive::Fill() {
  std::vector<SortEntry> entries;
  for (int slot = 0; slot < kMaxPermitStatus; ++slot) {
    const PermitStatus permit = store_.GetPermitStatus(slot);
    if (permit.InUse == 0 || !Passes(PermitGroup(permit.State))) continue;
    entries.push_back({slot, FieldText(permit.Track), permit.StartMinute});
  }
  SortEntries(entries, Sort() == kByTrack);

  std::vector<list::Row> rows;
  for (const SortEntry& entry : entries) {
    const PermitStatus permit = store_.GetPermitStatus(entry.Slot);
    // The number is the slot's, as the dialog shows it, whatever the order of the rows.
    rows.push_back(list::Row{
        entry.Slot,
        {QString::number(entry.Slot), permit.State == kCtcPermitInForce ? QString("Active") : QString("Pending"),
         QString::fromStdString(entry.Name), DayMinuteText(permit.StartMinute), DayMinuteText(permit.EndMinute),
         QString::fromStdString(FieldText(permit.Requestor)), QString::fromStdString(FieldText(permit.Reason))}});
  }
  return rows;
}

int TCTCPermitActive::CheckedSelection() {
  if (store_.OperatingMode == operating_mode::kPlayback) {
    store_.ShowMessage("You cannot authorize a block permit while you are in playback mode.", MessageIcon::Error);
    List()->setFocus();
    return -1;
  }
  return SelectedRecord(kNoPermitSelected, kManyPermitsSelected);
}

void TCTCPermitActive::CmIssue() {
  if (RunCTCPermitDialog(store_, engine_, this, -1)) ListBuild();
  List()->setFocus();
}

void TCTCPermitActive::CmEdit() {
  const int slot = CheckedSelection();
  if (slot < 0) return;
  if (RunCTCPermitDialog(store_, engine_, this, slot)) ListBuild();
  List()->setFocus();
}

void TCTCPermitActive::CmCancel() {
  const int slot = CheckedSelection();
  if (slot < 0) return;
  ctc::ReleasePermit(engine_, slot);
  ListBuild();
}

void TCTCPermitActive::RightClicked() {
  // The press has already selected the row under the pointer.
  const auto rows = List()->selectionModel()->selectedRows().size();
  if (rows == 1) {
    CmEdit();
    return;
  }
  store_.ShowMessage(rows == 0 ? kNoPermitSelected : kManyPermitsSelected, MessageIcon::Error);
  List()->setFocus();
}

// ------------------------------------------------------------------------------------------ the dialog

TCTCPermitInfo::TCTCPermitInfo(QWidget* parent, Corvane3Data& store, Engine& engine, int slot, int block)
    : QDialog(parent), store_(store), engine_(engine), slot_(slot), block_(block) {
  SetControlId(this, res::IDD_CTC_PERMIT_INFO);
  setWindowTitle("CTC Block Permit (Track & Time)");
  setModal(true);

  auto* form = new QFormLayout;
  fields_ = AddPermitFields(this, form, slot);
  LayOutFramedDialog(*this, form, store_, res::IDC_DEF_HELP, "block permit dialog");
  SetupWindow();
}

void TCTCPermitInfo::SetupWindow() {
  PermitStatus permit{};
  if (slot_ >= 0) {
    permit = store_.GetPermitStatus(slot_);
  } else {
    permit.StartMinute = ctc::PermitClockMinute(store_);
    permit.EndMinute = permit.StartMinute + kProposedMinutes;
    if (permit.EndMinute >= kMinutesPerDay) permit.EndMinute -= kMinutesPerDay;
    SetFieldText(permit.Requestor, "Track Foreman");
    SetFieldText(permit.Reason, "Track Maintenance");
  }

  // A track that has gone from the territory shows no name; OK then asks for one. The permit keeps its
  // track until OK, so cancelling loses nothing.
  FillNameList(fields_.Track, TerritoryTrackNames(store_), FieldText(permit.Track));
  // The marks of an announced or in-force permit lie along its track: the track stays, shown as it is.
  if (permit.State == kCtcPermitAnnounced || permit.State == kCtcPermitInForce) {
    if (fields_.Track->currentIndex() < 0) {
      fields_.Track->addItem(QString::fromStdString(FieldText(permit.Track)));
      fields_.Track->setCurrentIndex(fields_.Track->count() - 1);
    }
    fields_.Track->setEnabled(false);
  }
  if (block_ >= 0 && block_ < kMaxBlocks) {
    fields_.Track->setCurrentIndex(
        fields_.Track->findText(QString::fromStdString(BlockTrackName(store_.GetBlockData(block_)))));
  }

  ShowStoredText(fields_.From, DayMinuteText(permit.StartMinute));
  ShowStoredText(fields_.To, DayMinuteText(permit.EndMinute));
  ShowStoredText(fields_.Requestor, QString::fromStdString(FieldText(permit.Requestor)));
  ShowStoredText(fields_.Reason, QString::fromStdString(FieldText(permit.Reason)));
  shownTrack_ = fields_.Track->currentIndex();
}

void TCTCPermitInfo::accept() {
  PermitStatus permit{};
  if (slot_ >= 0) {
    permit = store_.GetPermitStatus(slot_);
    // Its end came, or it was cancelled, while the dialog was open: nothing is written back.
    if (permit.InUse == 0) {
      store_.ShowMessage("The block permit has ended or has been cancelled.", MessageIcon::Error);
      QDialog::reject();
      return;
    }
  } else if (store_.FindFreePermitStatus() < 0) {
    store_.ShowMessage(QString::asprintf("The maximum number of %d block permits (track & time) has been "
                                         "reached.  You cannot create another block permit until you delete one.",
                                         kMaxPermitStatus)
                           .toStdString(),
                       MessageIcon::Error);
    return;
  }

  if (fields_.Track->currentIndex() < 0 || fields_.Track->currentText().isEmpty()) {
    store_.ShowMessage("You must assign a track name to the block permit (track & time).", MessageIcon::Error);
    fields_.Track->setFocus();
    return;
  }
  if (!FieldChecks()
           .Add(fields_.From, TimeFieldCheck(store_, "From Time"))
           .Add(fields_.To, TimeFieldCheck(store_, "To Time"))
           .Run()) {
    return;
  }

  const QLineEdit* textFields[] = {fields_.From, fields_.To, fields_.Requestor, fields_.Reason};
  // A permit OK'd as it was shown is left as it is stored.
  if (slot_ >= 0 && fields_.Track->currentIndex() == shownTrack_ &&
      !std::any_of(std::begin(textFields), std::end(textFields), [](const QLineEdit* f) { return TextEdited(f); })) {
    QDialog::accept();
    return;
  }
  ctc::PermitEntry entry;
  // The track of an announced or in-force permit stays as it is (see SetupWindow).
  entry.Track = fields_.Track->isEnabled() ? fields_.Track->currentText().left(kTrackChars).toStdString()
                                           : FieldText(permit.Track);
  entry.From = store_.GetTimeField(fields_.From->text().toStdString(), "");
  entry.To = store_.GetTimeField(fields_.To->text().toStdString(), "");
  entry.Requestor = slot_ < 0 || TextEdited(fields_.Requestor)
                        ? fields_.Requestor->text().left(kTextChars).toStdString()
                        : FieldText(permit.Requestor);
  entry.Reason = slot_ < 0 || TextEdited(fields_.Reason) ? fields_.Reason->text().left(kTextChars).toStdString()
                                                         : FieldText(permit.Reason);
  slot_ = ctc::StorePermit(store_, slot_, entry, ctc::PermitClockMinute(store_));
  if (permit.State == kCtcPermitInForce) ctc::MovePermitEnd(engine_, slot_, permit.EndMinute);
  QDialog::accept();
}

bool RunCTCPermitDialog(Corvane3Data& store, Engine& engine, QWidget* parent, int slot, int block) {
  DialogLock lock(store);
  if (!lock.Held()) return false;
  TCTCPermitInfo dialog(parent, store, engine, slot, block);
  if (dialog.exec() != QDialog::Accepted) return false;
  if (store.Lists().IsListOpen(ListWindow::CTCActivePermits)) store.Lists().RefreshList(ListWindow::CTCActivePermits);
  return true;
}
