#include "dialogs/train_sheet.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "dialogs/dialog_kit.h"
#include "dialogs/train_fields.h"
#include "dialogs/train_pages.h"
#include "platform/controls.h"
#include "resources/train_ids.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"

namespace {

const QString kNone = kNoneChoice;
const QString kUnknownType = "unknown";
const char* const kDayNames[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

// The train slot an item of a train list names, -1 for "(none)".
int ChosenTrain(const QComboBox* list) {
  const QVariant slot = list->currentData();
  return slot.isValid() ? slot.toInt() : -1;
}

}  // namespace

TTrainPage::TTrainPage(TTrainSheet& sheet, Corvane3Data& store, int slot, bool viewOnly, const QString& title,
                       int templateId, const char* helpKeyword)
    : PropertyPage(title, templateId),
      sheet_(sheet),
      store_(store),
      slot_(slot),
      viewOnly_(viewOnly),
      helpKeyword_(helpKeyword) {}

void TTrainPage::SetActive() {
  EnsureFilled();
  GivePendingFocus();
}

void TTrainPage::EnsureFilled() {
  if (filled_) return;
  Fill();
  filled_ = true;
}

void TTrainPage::Help() { ShowHelp(store_, helpKeyword_); }

bool TTrainPage::Refuse(const QString& text, QWidget* control) {
  store_.ShowMessage(text.toStdString(), MessageIcon::Error);
  return RefuseQuietly(control);
}

bool TTrainPage::RefuseQuietly(QWidget* control) {
  focusId_ = control->objectName().toInt();
  GivePendingFocus();
  return false;
}

bool TTrainPage::NewLengthAccepted(QLineEdit* field, const QString& fieldName) {
  if (field->text().isEmpty()) return true;
  // The entry keeps a new length in 16 bits: a longer one is refused, never wrapped.
  const qlonglong length = field->text().toLongLong();
  if (length > INT16_MAX) return Refuse(NewLengthTooLong(store_, fieldName), field);
  const QString tooShort = LengthTooShort(store_, static_cast<int>(length));
  return tooShort.isEmpty() || Refuse(tooShort, field);
}

void TTrainPage::StoreTrain(const TrainData& train) {
  sheet_.BeforeStore();
  store_.UpdateTrainData(slot_, train);
}

void TTrainPage::showEvent(QShowEvent* event) {
  PropertyPage::showEvent(event);
  // The sheet brings a refusing page to the front after its Apply: the focus follows once the switch is done.
  if (focusId_ >= 0) QMetaObject::invokeMethod(this, &TTrainPage::GivePendingFocus, Qt::QueuedConnection);
}

void TTrainPage::GivePendingFocus() {
  if (focusId_ < 0 || !isVisible()) return;
  if (QWidget* control = FindControl(this, focusId_)) {
    control->setFocus();
    if (auto* field = qobject_cast<QLineEdit*>(control)) field->selectAll();
  }
  focusId_ = -1;
}

void TTrainPage::ReportChanges() {
  for (QLineEdit* field : findChildren<QLineEdit*>()) {
    connect(field, &QLineEdit::textEdited, this, &PropertyPage::Changed);
  }
  for (QComboBox* list : findChildren<QComboBox*>()) {
    connect(list, &QComboBox::activated, this, &PropertyPage::Changed);
  }
  for (QAbstractButton* button : findChildren<QAbstractButton*>()) {
    connect(button, &QAbstractButton::clicked, this, &PropertyPage::Changed);
  }
}

void TTrainPage::ShowOnly() {
  for (QLineEdit* field : findChildren<QLineEdit*>()) field->setReadOnly(true);
  for (QComboBox* list : findChildren<QComboBox*>()) list->setEnabled(false);
  for (QAbstractButton* button : findChildren<QAbstractButton*>()) button->setEnabled(false);
}

TTrainGeneral::TTrainGeneral(TTrainSheet& sheet, Corvane3Data& store, int slot, bool viewOnly)
    : TTrainPage(sheet, store, slot, viewOnly, "General Train Data",
                 viewOnly ? res::IDD_TRAIN_GENERAL_VIEW : res::IDD_TRAIN_GENERAL, "train data - general dialog") {
  id_ = MakeTextField(this, res::IDC_TRAIN_ID, {}, 10);
  number_ = MakeReadOnlyField(this, res::IDC_TRAIN_NUMBER, {}, 4);
  description_ = MakeTextField(this, res::IDC_TRAIN_DESCRIPTION, {}, 20);
  left_ = new QRadioButton("Left", this);
  SetControlId(left_, res::IDC_TRAIN_LEFT);
  right_ = new QRadioButton("Right", this);
  SetControlId(right_, res::IDC_TRAIN_RIGHT);
  auto* direction = new QButtonGroup(this);
  direction->addButton(left_);
  direction->addButton(right_);
  length_ = MakeNumberField(this, res::IDC_TRAIN_LENGTH, {}, 5);
  lengthUnits_ = new QLabel("feet", this);
  SetControlId(lengthUnits_, res::IDC_TRAIN_LENGTH_UNITS);
  type_ = MakeDropList(this, res::IDC_TRAIN_TYPE);
  crewTime_ = MakeNumberField(this, res::IDC_TRAIN_CREW_TIME, {}, 3);
  entrance_ = MakeDropList(this, res::IDC_TRAIN_ENTRANCE);
  entranceTime_ = MakeTimeField(this, res::IDC_TRAIN_ENTRANCE_TIME, {});
  // This one time field also takes a blank; the time rule judges the text.
  entranceTime_->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9: ]*"), entranceTime_));
  createdFrom_ = MakeDropList(this, res::IDC_TRAIN_CREATED_FROM);
  exit_ = MakeDropList(this, res::IDC_TRAIN_EXIT);
  becomes_ = MakeDropList(this, res::IDC_TRAIN_BECOMES);
  becomesAt_ = MakeDropList(this, res::IDC_TRAIN_BECOMES_AT);
  becomesAfter_ = MakeNumberField(this, res::IDC_TRAIN_BECOMES_AFTER, {}, 3);
  splitsInto_ = MakeDropList(this, res::IDC_TRAIN_SPLITS_INTO);
  scheduled_ = new QCheckBox("Scheduled Train", this);
  SetControlId(scheduled_, res::IDC_TRAIN_SCHEDULED);
  for (int day = 0; day < 7; ++day) {
    days_[day] = new QCheckBox(kDayNames[day], this);
    SetControlId(days_[day], res::IDC_TRAIN_DAYS[day]);
  }

  auto* grid = new QGridLayout;
  int row = 0;
  auto label = [this](const char* text) { return new QLabel(text, this); };
  grid->addWidget(label("Train ID"), row, 0);
  grid->addWidget(id_, row, 1);
  grid->addWidget(label("Number"), row, 2);
  grid->addWidget(number_, row++, 3);
  grid->addWidget(label("Train Description"), row, 0);
  grid->addWidget(description_, row++, 1, 1, 3);
  auto* directions = new QHBoxLayout;
  directions->addWidget(left_);
  directions->addWidget(right_);
  directions->addStretch();
  grid->addWidget(label("Direction"), row, 0);
  grid->addLayout(directions, row++, 1);
  grid->addWidget(label("Length"), row, 0);
  grid->addWidget(length_, row, 1);
  grid->addWidget(lengthUnits_, row++, 2);
  grid->addWidget(label("Train Type"), row, 0);
  grid->addWidget(type_, row, 1);
  grid->addWidget(label("Crew time"), row, 2);
  grid->addWidget(crewTime_, row++, 3);
  grid->addWidget(label("Train enters at location"), row, 0);
  grid->addWidget(entrance_, row, 1);
  grid->addWidget(label("at time"), row, 2);
  grid->addWidget(entranceTime_, row++, 3);
  grid->addWidget(label("Train is created from train"), row, 0);
  grid->addWidget(createdFrom_, row++, 1);
  grid->addWidget(label("Train exits at location"), row, 0);
  grid->addWidget(exit_, row++, 1);
  grid->addWidget(label("Train becomes new train"), row, 0);
  grid->addWidget(becomes_, row, 1);
  grid->addWidget(label("at location"), row, 2);
  grid->addWidget(becomesAt_, row++, 3);
  grid->addWidget(label("after"), row, 2);
  auto* after = new QHBoxLayout;
  after->addWidget(becomesAfter_);
  after->addWidget(label("minutes"));
  grid->addLayout(after, row++, 3);
  grid->addWidget(label("and splits into 2nd train"), row, 0);
  grid->addWidget(splitsInto_, row++, 1);
  grid->addWidget(scheduled_, row++, 0, 1, 2);
  auto* days = new QHBoxLayout;
  for (QCheckBox* day : days_) days->addWidget(day);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(days);
  layout->addStretch();

  ReportChanges();
  if (viewOnly_) ShowOnly();
}

void TTrainGeneral::Fill() {
  const TrainData train = store_.GetTrainData(slot_);
  ShowStoredText(id_, FieldQText(train.TrainId));
  number_->setText(QString::number(slot_));
  ShowStoredText(description_, FieldQText(train.Description));
  (train.EntryDirection == 0 ? left_ : right_)->setChecked(true);
  ShowStoredText(length_, QString::number(train.Length));
  ShowStoredText(crewTime_, train.CrewMinutesWorked < 0 ? QString() : QString::number(train.CrewMinutesWorked));
  ShowStoredText(becomesAfter_, train.BecomeMinutes < 0 ? QString() : QString::number(train.BecomeMinutes));
  for (int day = 0; day < 7; ++day) days_[day]->setChecked(train.Days[day] == 1);
  scheduled_->setChecked(train.Byte50 == 1);
  lengthUnits_->setText(store_.GetTerritoryOptions().Units == 1 ? "feet" : "meters");

  FillTrainTypeList(store_, type_, static_cast<int8_t>(train.Type));
  FillLocationLists(store_, entrance_, FieldQText(train.Entrance), exit_, FieldQText(train.Exit));
  ShowStoredText(entranceTime_, train.EntranceMinutes == 0xFFFF ? QString() : MinutesText(train.EntranceMinutes));

  // The other trains: created from leaves out the trains this one becomes or splits into, becomes and
  // splits into leave out the train it is created from.
  for (QComboBox* list : {createdFrom_, becomes_, splitsInto_}) list->addItem(kNone);
  for (int i = 0; i < kMaxTrains; ++i) {
    if (i == slot_) continue;
    const TrainData other = store_.GetTrainData(i);
    if (other.InUse == 0) continue;
    const QString reference = TrainReference(other, i);
    if (i != train.BecomesTrain && i != train.SplitTrain) createdFrom_->addItem(reference, i);
    if (i != train.LinkedTrain) {
      becomes_->addItem(reference, i);
      splitsInto_->addItem(reference, i);
    }
  }
  auto selectTrain = [](QComboBox* list, int linked) {
    const int at = linked >= 0 ? list->findData(linked) : -1;
    list->setCurrentIndex(at > 0 ? at : 0);
  };
  selectTrain(createdFrom_, train.LinkedTrain);
  selectTrain(becomes_, train.BecomesTrain);
  selectTrain(splitsInto_, train.SplitTrain);

  // At location: the platforms in use, and the work area the train names when there is one.
  const QString place = QString::fromLatin1(BecomesPlace(train));
  becomesAt_->addItem(kNone);
  for (const int platform : PlatformsInUse(store_)) {
    becomesAt_->addItem("P-" + FieldQText(store_.GetPlatformData(platform).Name));
  }
  for (int i = 0; i < kMaxAreas; ++i) {
    const AreaData area = store_.GetAreaData(i);
    const QString name = "A-" + QString::fromLatin1(AreaName(area));
    if (AreaInUse(area) && name == place) {
      becomesAt_->addItem(name);
      break;
    }
  }
  if (place.isEmpty() || !SelectText(becomesAt_, place)) becomesAt_->setCurrentIndex(0);
}

bool TTrainGeneral::Apply() {
  if (viewOnly_ || !filled_) return true;
  if (id_->text().trimmed().isEmpty()) return Refuse("You must specify a train ID.", id_);

  const bool entrance = Chosen(entrance_);
  const int createdFrom = ChosenTrain(createdFrom_);
  if (entrance && createdFrom >= 0) {
    return Refuse(
        "A train cannot be scheduled to arrive on the territory at a specified time and also be created from "
        "another train.",
        createdFrom_);
  }
  int entranceMinutes = -1;
  if (entrance) {
    // The field takes blanks as it is typed; around the time they are no part of it.
    const QString typed = entranceTime_->text().trimmed();
    if (typed.isEmpty()) {
      return Refuse("The time when the train is scheduled to arrive on the territory must be entered.", entranceTime_);
    }
    entranceMinutes = store_.GetTimeField(typed.toStdString(), "time when the train is scheduled to arrive");
    if (entranceMinutes < 0) return RefuseQuietly(entranceTime_);
    entranceTime_->setText(MinutesText(entranceMinutes));
  } else {
    entranceTime_->clear();
  }
  if (!entrance && createdFrom < 0) {
    return Refuse("A train must be scheduled to arrive or be created from another train.", entrance_);
  }
  // The train's location fields are shorter than a location's name: a longer name is refused, not cut.
  if (entrance && entrance_->currentText().size() > kTrainLocationChars) {
    return Refuse(LocationTooLong(entrance_->currentText(), "Train enters at location"), entrance_);
  }

  const int32_t length = KeptNumber<int32_t>(length_, store_.GetTrainData(slot_).Length, 0);
  if (const QString tooShort = LengthTooShort(store_, length); !tooShort.isEmpty()) return Refuse(tooShort, length_);

  const bool exit = Chosen(exit_);
  const int becomes = ChosenTrain(becomes_);
  const int splitsInto = ChosenTrain(splitsInto_);
  if (exit && becomes >= 0)
    return Refuse("A train cannot have an exit location and also become a new train.", becomes_);
  if (!exit && becomes < 0) return Refuse("A train must either have an exit location or become a new train.", exit_);
  if (becomes >= 0 && !Chosen(becomesAt_)) {
    return Refuse("If a train becomes another train, the location where this change takes place must be assigned.",
                  becomesAt_);
  }
  if (becomes >= 0 && becomes == splitsInto) {
    return Refuse("A train cannot create two trains that are the same.", becomesAt_);
  }
  if (exit && exit_->currentText().size() > kTrainLocationChars) {
    return Refuse(LocationTooLong(exit_->currentText(), "Train exits at location"), exit_);
  }

  const TrainData old = store_.GetTrainData(slot_);
  TrainData train = old;
  // A field left as it was shown keeps the stored bytes: its typing limit may be shorter than the record's.
  if (TextEdited(id_)) SetFieldText(train.TrainId, FieldBytes(id_->text()));
  if (TextEdited(description_)) SetFieldText(train.Description, FieldBytes(description_->text()));
  train.CrewMinutesWorked = KeptNumber<int16_t>(crewTime_, old.CrewMinutesWorked, -1);
  train.EntryDirection = right_->isChecked() ? 1 : 0;
  train.Length = length;
  const int type = type_->currentText() == kUnknownType ? -1 : store_.FindTrainType(FieldBytes(type_->currentText()));
  if (type < 0) return Refuse("The train type cannot be unknown.", type_);
  train.Type = static_cast<uint8_t>(type);
  SetFieldText(train.Entrance, entrance ? FieldBytes(entrance_->currentText()) : std::string());
  train.EntranceMinutes = static_cast<uint16_t>(entranceMinutes);
  SetFieldText(train.Exit, exit ? FieldBytes(exit_->currentText()) : std::string());
  train.Byte50 = scheduled_->isChecked() ? 1 : 0;
  train.LinkedTrain = static_cast<int16_t>(createdFrom);
  train.BecomesTrain = static_cast<int16_t>(becomes);
  train.SplitTrain = static_cast<int16_t>(splitsInto);
  SetBecomesPlace(train, Chosen(becomesAt_) ? FieldBytes(becomesAt_->currentText()) : std::string());
  train.BecomeMinutes = KeptNumber<int16_t>(becomesAfter_, old.BecomeMinutes, -1);
  for (int day = 0; day < 7; ++day) train.Days[day] = days_[day]->isChecked() ? 1 : 0;

  StoreTrain(train);
  KeepLinksInStep(old, train);
  return true;
}

void TTrainGeneral::KeepLinksInStep(const TrainData& old, const TrainData& now) {
  const int16_t self = static_cast<int16_t>(slot_);
  auto change = [this](int other, auto edit) {
    if (other == slot_ || !TrainInUse(store_, other)) return;
    TrainData train = store_.GetTrainData(other);
    if (edit(train)) store_.UpdateTrainData(other, train);
  };

  // Former links first, so that a train that keeps a link in another role keeps it.
  if (old.LinkedTrain != now.LinkedTrain) {
    change(old.LinkedTrain, [self](TrainData& parent) {
      const bool linked = parent.BecomesTrain == self || parent.SplitTrain == self;
      if (parent.BecomesTrain == self) parent.BecomesTrain = -1;
      if (parent.SplitTrain == self) parent.SplitTrain = -1;
      return linked;
    });
  }
  for (const int16_t former : {old.BecomesTrain, old.SplitTrain}) {
    if (former == now.BecomesTrain || former == now.SplitTrain) continue;
    change(former, [self](TrainData& child) {
      if (child.LinkedTrain != self) return false;
      child.LinkedTrain = -1;
      return true;
    });
  }

  // The train it is created from becomes it, or splits into it when it already becomes another.
  change(now.LinkedTrain, [self](TrainData& parent) {
    if (parent.BecomesTrain == self || parent.SplitTrain == self) return false;
    if (parent.BecomesTrain == -1) {
      parent.BecomesTrain = self;
    } else if (parent.SplitTrain == -1) {
      parent.SplitTrain = self;
    } else {
      return false;
    }
    SetFieldText(parent.Exit, "");
    return true;
  });
  // The trains it becomes and splits into are created from it, unless created from another.
  for (const int16_t child : {now.BecomesTrain, now.SplitTrain}) {
    change(child, [self](TrainData& train) {
      if (train.LinkedTrain != -1) return false;
      train.LinkedTrain = self;
      SetFieldText(train.Entrance, "");
      train.EntranceMinutes = 0xFFFF;
      return true;
    });
  }
}

TTrainSheet::TTrainSheet(QWidget* parent, Corvane3Data& store, const QString& caption, int slot, int startPage,
                         bool viewOnly)
    : PropertySheet(parent, caption, startPage), store_(store) {
  AddPage(new TTrainGeneral(*this, store, slot, viewOnly));
  AddPage(new TTrainMultiple32(*this, store, slot, viewOnly));
  AddPage(new TTrainWork(*this, store, slot, viewOnly));
  const int pages = PassengerPageCount(store);
  for (int page = 0; page < pages; ++page) {
    passengerPages_.push_back(new TTrainPassenger(*this, store, slot, page, pages, viewOnly));
    AddPage(passengerPages_.back());
  }
  if (viewOnly) HideApplyButton();
}

void TTrainSheet::BeforeStore() {
  if (scheduleChanged_) return;
  store_.BackupEditTables();
  scheduleChanged_ = true;
}

void OpenTrainPropertiesViewOnly(Corvane3Data& store, int trainDataSlot, QWidget* parent) {
  if (!TrainInUse(store, trainDataSlot)) return;
  const TrainData train = store.GetTrainData(trainDataSlot);
  const QString caption = QString("View Train \"%1 %2\"").arg(FieldQText(train.TrainId), FieldQText(train.Description));
  TTrainSheet sheet(parent, store, caption, trainDataSlot, 0, /*viewOnly=*/true);
  sheet.exec();
}
