#include "lists/permit_list.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>

#include "dialogs/dialog_kit.h"
#include "lists/printouts.h"
#include "lists/track_time_lists.h"
#include "platform/controls.h"
#include "resources/permit_slow_ids.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"

namespace {

DefinitionListTexts PermitTexts() {
  DefinitionListTexts t;
  t.Capacity = kMaxPermitData;
  t.TableFull =
      "The maximum of %d block permits (track & time) have been assigned.  You will have delete a block permit to "
      "add another.";
  t.EditNone = t.DeleteNone =
      "A block permit (track & time) has not be selected.  Select a block permit by placing the mouse pointer on the "
      "name and then click the mouse left or right button.";
  t.EditMany = "More than one block permit (track & timek) has been selected.  Please select only one block permit.";
  t.DeleteMany =
      "More than one block permit (track & time) has been selected.  Please select only one block permit order.";
  t.PopupNone =
      "A block permit (time & track) has not be selected.  Select a block permit by placing the mouse pointer on the "
      "block permit and then click the left mouse button.";
  t.PopupMany = "More than one block permit (time & track) has been selected.  Please select only one block permit.";
  return t;
}

list::FrameSpec PermitSpec() {
  return list::FrameSpec{"TTPermit",
                         "Block Permits (Track & Time)",
                         6,
                         10,
                         {{"Number", Qt::AlignLeft},
                          {"Track Name", Qt::AlignLeft},
                          {"From Time", Qt::AlignHCenter},
                          {"To Time", Qt::AlignHCenter},
                          {"Days of the Week", Qt::AlignLeft},
                          {"Requestor", Qt::AlignLeft},
                          {"Reason", Qt::AlignLeft}},
                         "block permit window",
                         /*KeepsSelection=*/false};
}

}  // namespace

TTPermit::TTPermit(Corvane3Data& store, QWidget* parent)
    : TDefinitionList(store, PermitSpec(), PermitTexts(), parent) {}

int TTPermit::FindFree() { return store_.FindFreePermitData(0); }

void TTPermit::Free(int slot) { store_.FreePermitData(slot); }

std::unique_ptr<TPrintout> TTPermit::MakePrintout(const std::vector<int32_t>& records) {
  return std::make_unique<TTPrintPermit>(store_, OrderListOf(records, kMaxPermitData));
}

bool TTPermit::RunDialog(int slot, QWidget* owner) {
  TPermitInfo dialog(owner, store_, slot);
  return RunWithFrameHidden(this, dialog);
}

std::vector<list::Row> TTPermit::Fill() {
  std::vector<SortEntry> entries;
  for (int slot = 0; slot < kMaxPermitData; ++slot) {
    const PermitData permit = store_.GetPermitData(slot);
    if (permit.InUse != 0) entries.push_back({slot, FieldText(permit.TrackName), permit.StartMinutes});
  }
  SortEntries(entries, Sort() == kByTrack);

  std::vector<list::Row> rows;
  for (const SortEntry& entry : entries) {
    const PermitData permit = store_.GetPermitData(entry.Slot);
    rows.push_back(list::Row{
        entry.Slot,
        {QString::number(entry.Slot), QString::fromStdString(entry.Name), MinuteText(permit.StartMinutes),
         MinuteText(permit.EndMinutes), DaysText(DaysOf(permit)), QString::fromStdString(FieldText(permit.Requestor)),
         QString::fromStdString(FieldText(permit.Reason))}});
  }
  return rows;
}

TPermitInfo::TPermitInfo(QWidget* parent, Corvane3Data& store, int slot) : QDialog(parent), store_(store), slot_(slot) {
  setWindowTitle("Block Permit (Track & Time)");
  setModal(true);

  auto* form = new QFormLayout;
  fields_ = AddPermitFields(this, form, slot);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  days_ = MakeDayBoxes(this, layout);

  AddOkCancelHelp(this, layout, store_, "block permit dialog");
  SetupWindow();
}

void TPermitInfo::SetupWindow() {
  PermitData permit{};
  if (slot_ >= 0) {
    permit = store_.GetPermitData(slot_);
  } else {
    permit.StartMinutes = permit.EndMinutes = -1;
    SetDays(permit, DayFlags{1, 1, 1, 1, 1, 1, 1});
    SetFieldText(permit.Requestor, "Track Foreman");
    SetFieldText(permit.Reason, "Track Maintenance");
  }

  if (!FillNameList(fields_.Track, TerritoryTrackNames(store_), FieldText(permit.TrackName)) && slot_ >= 0) {
    // The track has gone from the territory: the definition forgets it at once.
    SetFieldText(permit.TrackName, "");
    store_.UpdatePermitData(slot_, permit);
  }

  ShowStoredText(fields_.From, MinuteText(permit.StartMinutes));
  ShowStoredText(fields_.To, MinuteText(permit.EndMinutes));
  const DayFlags days = DaysOf(permit);
  for (size_t day = 0; day < days.size(); ++day) days_[day]->setChecked(days[day] == 1);
  ShowStoredText(fields_.Requestor, QString::fromStdString(FieldText(permit.Requestor)));
  ShowStoredText(fields_.Reason, QString::fromStdString(FieldText(permit.Reason)));
}

void TPermitInfo::accept() {
  if (slot_ < 0 && store_.FindFreePermitData(0) < 0) {
    store_.ShowMessage(QString::asprintf("The maximum number of %d block permits (track & time) has been reached.  "
                                         "You cannot create another block permit until you delete one.",
                                         kMaxPermitData)
                           .toStdString(),
                       MessageIcon::Error);
    return;
  }
  // A new definition starts clean: nothing of a deleted one that held the slot carries over.
  PermitData permit = slot_ >= 0 ? store_.GetPermitData(slot_) : PermitData{};

  if (fields_.Track->currentIndex() < 0) {
    store_.ShowMessage("You must assign a track name to the block permit (track & time).", MessageIcon::Error);
    fields_.Track->setFocus();
    return;
  }
  SetFieldText(permit.TrackName, fields_.Track->currentText().toStdString());
  if (!FieldChecks()
           .Add(fields_.From, TimeFieldCheck(store_, "From Time"))
           .Add(fields_.To, TimeFieldCheck(store_, "To Time"))
           .Run()) {
    return;
  }
  permit.StartMinutes = static_cast<int16_t>(store_.GetTimeField(fields_.From->text().toStdString(), ""));
  permit.EndMinutes = static_cast<int16_t>(store_.GetTimeField(fields_.To->text().toStdString(), ""));
  permit.InUse = 1;
  const DayFlags days = CheckedDays(days_);
  if (std::none_of(days.begin(), days.end(), [](uint8_t day) { return day != 0; })) {
    store_.ShowMessage("You must schedule the block permit (track & time) for one day during the week.",
                       MessageIcon::Error);
    days_[0]->setFocus();
    return;
  }
  SetDays(permit, days);
  // A text left as shown keeps the stored one: the reason holds 30 characters, 20 are typed.
  if (slot_ < 0 || TextEdited(fields_.Requestor))
    SetFieldText(permit.Requestor, fields_.Requestor->text().toStdString());
  if (slot_ < 0 || TextEdited(fields_.Reason)) SetFieldText(permit.Reason, fields_.Reason->text().toStdString());

  if (slot_ < 0) slot_ = store_.FindFreePermitData(1);
  store_.BackupEditTables();
  store_.UpdatePermitData(slot_, permit);
  QDialog::accept();
}
