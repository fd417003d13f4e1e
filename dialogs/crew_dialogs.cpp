#include "dialogs/crew_dialogs.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <string>

#include "dialogs/dialog_kit.h"
#include "platform/controls.h"
#include "resources/train_dialog_ids.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/run_times.h"
#include "store/train_codes.h"

namespace {

constexpr int kCallTimeChars = 6;
constexpr int kEntryChars = 40;
constexpr int kPlatformBlocks = 10;

bool ValidBlock(int block) { return block >= 0 && block < kMaxBlocks; }

// The blocks of a platform in block order (at most ten), those whose platform name is the platform's.
std::vector<int> PlatformBlocks(const Corvane3Data& store, int platform) {
  std::vector<int> blocks;
  if (platform < 0 || platform >= kMaxPlatforms) return blocks;
  const PlatformData data = store.GetPlatformData(platform);
  const std::string name = FieldText(data.Name);
  if (data.InUse == 0 || name.empty()) return blocks;
  for (int block = 0; block < kMaxBlocks && static_cast<int>(blocks.size()) < kPlatformBlocks; ++block) {
    const BlockData& record = store.BlockDataRef(block);
    if (record.InUse == 1 && FieldText(record.PlatformName) == name) blocks.push_back(block);
  }
  return blocks;
}

// firstBlock: a platform counts by its first block (the old location of a move) instead of its last.
int32_t TravelMinutes(const Corvane3Data& store, int location, bool firstBlock) {
  if (ValidBlock(location)) return store.BlockDataRef(location).CrewSendMinutes;
  const std::vector<int> blocks = PlatformBlocks(store, location - kCrewPlatformLocation);
  if (location < kCrewPlatformLocation || blocks.empty()) return 0;
  return store.BlockDataRef(firstBlock ? blocks.front() : blocks.back()).CrewSendMinutes;
}

QString LocationEntry(const Corvane3Data& store, int location) {
  char text[64];
  if (ValidBlock(location)) {
    std::snprintf(text, sizeof text, "Block-%04d", location);
  } else if (location >= kCrewPlatformLocation && location < kCrewPlatformLocation + kMaxPlatforms) {
    std::snprintf(text, sizeof text, "Platform-%s",
                  FieldText(store.GetPlatformData(location - kCrewPlatformLocation).Name).c_str());
  } else {
    return {};
  }
  return text;
}

}  // namespace

int32_t CrewTravelMinutes(const Corvane3Data& store, int location) { return TravelMinutes(store, location, false); }

TCrewLocationDialog::TCrewLocationDialog(QWidget* parent, Corvane3Data& store, int trainSlot, int templateId,
                                         const char* caption)
    : QDialog(parent), store_(store), slot_(trainSlot) {
  SetControlId(this, templateId);
  char title[120];
  std::snprintf(title, sizeof title, caption, FieldText(store_.GetTrainStatus(slot_).TrainId).c_str());
  setWindowTitle(title);
  auto* list = new QListWidget(this);
  SetControlId(list, res::IDC_CREW_LOCATIONS);
  list->setSortingEnabled(true);
}

QListWidget* TCrewLocationDialog::Locations() const { return FindControl<QListWidget>(this, res::IDC_CREW_LOCATIONS); }

void TCrewLocationDialog::FillLocations() {
  QListWidget* list = Locations();
  list->clear();
  for (int block = 0; block < kMaxBlocks; ++block) {
    const BlockData& data = store_.BlockDataRef(block);
    if (data.InUse == 1 && data.PassThrough != 1) list->addItem(LocationEntry(store_, block));
  }
  for (int platform = 0; platform < kMaxPlatforms; ++platform) {
    const PlatformData data = store_.GetPlatformData(platform);
    if (data.InUse != 0 && !FieldText(data.Name).empty())
      list->addItem(LocationEntry(store_, kCrewPlatformLocation + platform));
  }
  const QString current = LocationEntry(store_, store_.GetTrainStatus(slot_).CrewChangeLocation);
  if (current.isEmpty()) return;
  const QList<QListWidgetItem*> found = list->findItems(current, Qt::MatchExactly);
  if (!found.isEmpty()) list->setCurrentItem(found.front());
}

int TCrewLocationDialog::SelectedLocation(int fallback) const {
  const QListWidgetItem* item = Locations()->currentItem();
  if (item == nullptr || !item->isSelected()) return fallback;
  const std::string text = item->text().left(kEntryChars).toStdString();
  const size_t dash = text.find('-');
  if (dash == std::string::npos) return fallback;
  const std::string rest = text.substr(dash + 1);
  if (text[0] == 'P') {
    // A platform removed since the list was filled is no location.
    const int platform = store_.FindPlatformData(rest);
    return platform < 0 ? -1 : kCrewPlatformLocation + platform;
  }
  const int block = std::atoi(rest.c_str());
  return ValidBlock(block) ? block : -1;
}

bool TCrewLocationDialog::RefusedSecondChange() {
  if (store_.GetTrainStatus(slot_).CrewChangeOrdered != 1) return false;
  store_.ShowMessage(
      "A crew change is already scheduled for the block the train is already in.  You cannot schedule another "
      "crew change until the current one is complete.",
      MessageIcon::Error);
  done(1);
  return true;
}

bool TCrewLocationDialog::RefusedMovingTrain(int location) {
  const TrainStatus status = store_.GetTrainStatus(slot_);
  bool here = location == status.HeadBlock;
  if (!here && location >= kCrewPlatformLocation && ValidBlock(status.HeadBlock)) {
    const std::string name = FieldText(store_.GetPlatformData(location - kCrewPlatformLocation).Name);
    here = !name.empty() && name == FieldText(store_.BlockDataRef(status.HeadBlock).PlatformName);
  }
  if (!here || status.State == TrainState::Stopped || status.Reason == StopReason::WaitSignal) return false;
  store_.ShowMessage(
      "The train is currently moving (or stopped because of problem or at a platform).  You must wait until the "
      "train is stopped waiting for a signal at the end of the block before calling a crew of this block.",
      MessageIcon::Error);
  return true;
}

void TCrewLocationDialog::ShowArrival(int location, int32_t arrival) {
  char where[64];
  if (ValidBlock(location))
    std::snprintf(where, sizeof where, "Block-%d", location);
  else
    std::snprintf(where, sizeof where, "Platform-%s",
                  FieldText(store_.GetPlatformData(location - kCrewPlatformLocation).Name).c_str());
  const int32_t time = ((arrival % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay;
  char text[160];
  std::snprintf(text, sizeof text, "Crew will arrive at %s at %02d:%02d.", where, time / 3600, time % 3600 / 60);
  store_.Messages().ShowMessage(text, FieldText(store_.Captions[0], kCaptionChars), MessageIcon::Information,
                                MessageButtons::Ok);
}

namespace {

void LayOut(TCrewLocationDialog& dialog, Corvane3Data& store, QLineEdit* callTime) {
  auto* fields = new QVBoxLayout;
  fields->addWidget(new QLabel("Location to change crew (block number or platform)", &dialog));
  fields->addWidget(dialog.Locations());
  if (callTime != nullptr) {
    auto* time = new QFormLayout;
    time->addRow("Call time", callTime);
    fields->addLayout(time);
  }
  LayOutFramedDialog(dialog, fields, store, res::IDC_TRAIN_DIALOG_HELP, "crew calling");
}

}  // namespace

TCrewChangeLocationDialog::TCrewChangeLocationDialog(QWidget* parent, Corvane3Data& store, int trainSlot)
    : TCrewLocationDialog(parent, store, trainSlot, res::IDD_CREW_CHANGE_LOCATION,
                          "New Crew Change Location for \"%s\"") {
  LayOut(*this, store_, nullptr);
  FillLocations();
}

void TCrewChangeLocationDialog::accept() {
  if (RefusedSecondChange()) return;
  TrainStatus status = store_.GetTrainStatus(slot_);
  const int32_t oldMinutes = TravelMinutes(store_, status.CrewChangeLocation, true);
  int location = status.CrewChangeLocation;
  int32_t newMinutes = oldMinutes;
  if (status.Reason != StopReason::CrewTimeExpired) {
    location = SelectedLocation(location);
    newMinutes = CrewTravelMinutes(store_, location);
  }
  if (location == -1) {
    store_.ShowMessage("You must select a platform or block location to change the crew.", MessageIcon::Error);
    FillLocations();
    Locations()->setFocus();
    return;
  }
  if (RefusedMovingTrain(location)) {
    FillLocations();
    Locations()->setFocus();
    return;
  }
  // A nearer crew never arrives earlier than the one already sent.
  int32_t arrival = status.CrewReadyTime;
  if (newMinutes > oldMinutes) arrival += (newMinutes - oldMinutes) * 60;
  arrival = std::max(arrival, store_.GetSimClock() + 600);
  status.CrewChangeLocation = static_cast<int16_t>(location);
  status.CrewReadyTime = arrival;
  store_.UpdateTrainStatus(slot_, status);
  ShowArrival(location, arrival);
  done(1);
}

TCrewCallDialog::TCrewCallDialog(QWidget* parent, Corvane3Data& store, int trainSlot)
    : TCrewLocationDialog(parent, store, trainSlot, res::IDD_CREW_CALL, "Call Crew for \"%s\"") {
  QLineEdit* time = MakeTimeField(this, res::IDC_CREW_CALL_TIME, {}, kCallTimeChars);
  LayOut(*this, store_, time);
  // A crew whose time ran out is relieved where the train stands.
  if (store_.GetTrainStatus(slot_).Reason == StopReason::CrewTimeExpired) Locations()->setEnabled(false);
  Refill();
}

QLineEdit* TCrewCallDialog::CallTime() const { return FindControl<QLineEdit>(this, res::IDC_CREW_CALL_TIME); }

void TCrewCallDialog::Refill() {
  FillLocations();
  CallTime()->setText(ClockTimeOfDay(store_.GetSimClock() + 7200));
}

void TCrewCallDialog::accept() {
  if (RefusedSecondChange()) return;
  TrainStatus status = store_.GetTrainStatus(slot_);
  const bool expired = status.Reason == StopReason::CrewTimeExpired;
  int location = status.CrewChangeLocation;
  int32_t minutes = 0;
  if (expired) {
    minutes = TravelMinutes(store_, status.HeadBlock, false);
  } else {
    const int selected = SelectedLocation(-2);
    if (selected != -2) {
      location = selected;
      minutes = CrewTravelMinutes(store_, location);
    }
  }
  auto refuseTime = [this] {
    Refill();
    CallTime()->setFocus();
    CallTime()->selectAll();
  };
  if (location == -1) {
    store_.ShowMessage("You must select a platform or block location to change the crew.", MessageIcon::Error);
    Refill();
    Locations()->setFocus();
    return;
  }
  if (RefusedMovingTrain(location)) {
    Refill();
    Locations()->setFocus();
    return;
  }
  const QString typed = CallTime()->text().trimmed();
  if (typed.isEmpty()) {
    store_.ShowMessage("You must enter a time in the \"Crew Call Time\" field.", MessageIcon::Error);
    return refuseTime();
  }
  const int minuteOfDay = store_.GetTimeField(typed.toStdString(), "Crew Call Time");
  if (minuteOfDay < 0) return refuseTime();
  const int32_t clock = store_.GetSimClock();
  int32_t call = minuteOfDay * 60 + store_.GetSimDay() * kSecondsPerDay;
  if (call < clock) call += kSecondsPerDay;
  // The lower bounds are 90 s short, so that the suggested time passes within its minute.
  const int32_t earliest = clock + (expired ? 7110 : 1710);
  if (call < earliest || call > clock + 12 * 3600) {
    store_.ShowMessage(expired ? "You must enter a time that is between 2 hours and 12 hours later than the current "
                                 "time."
                               : "You must enter a time that is between 30 minutes and 12 hours later than the "
                                 "current time.",
                       MessageIcon::Error);
    return refuseTime();
  }
  status.CrewChangeLocation = static_cast<int16_t>(location);
  status.CrewOnDuty = call;
  status.CrewReadyTime = call + minutes * 60;
  store_.UpdateTrainStatus(slot_, status);
  ShowArrival(location, status.CrewReadyTime);
  done(1);
}
