#include "dialogs/train_dialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "dialogs/dialog_kit.h"
#include "dialogs/train_fields.h"
#include "platform/controls.h"
#include "resources/train_list_ids.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"

namespace {

constexpr int kIdChars = 10;  // the record's ID field holds ten characters and its end
constexpr int kLengthDigits = 6;
constexpr int kCrewChars = 6;

}  // namespace

std::pair<int, int> SplitCrewTime(const QString& text) {
  const int colon = static_cast<int>(text.indexOf(':'));
  if (colon >= 0) return {text.left(colon).toInt(), text.mid(colon + 1).toInt()};
  if (text.size() <= 2) return {0, text.toInt()};
  if (text.size() == 3) return {text.left(1).toInt(), text.mid(1).toInt()};
  return {text.left(2).toInt(), text.mid(2).toInt()};
}

TTrainDialog::TTrainDialog(QWidget* parent, Corvane3Data& store, int trainSlot)
    : QDialog(parent), store_(store), slot_(trainSlot) {
  SetControlId(this, res::IDD_TRAIN_DIALOG);
  setWindowTitle("Train Information");
  id_ = MakeTextField(this, res::IDC_TRAIN_DIALOG_ID, "", kIdChars);
  number_ = MakeReadOnlyField(this, res::IDC_TRAIN_DIALOG_NUMBER, "", 4);
  type_ = new QComboBox(this);
  SetControlId(type_, res::IDC_TRAIN_DIALOG_TYPE);
  length_ = MakeNumberField(this, res::IDC_TRAIN_DIALOG_LENGTH, "", kLengthDigits);
  units_ = new QLabel("feet", this);
  SetControlId(units_, res::IDC_TRAIN_DIALOG_UNITS);
  crew_ = MakeTimeField(this, res::IDC_TRAIN_DIALOG_CREW, "", kCrewChars);
  entrance_ = new QComboBox(this);
  SetControlId(entrance_, res::IDC_TRAIN_DIALOG_ENTRANCE);
  exit_ = new QComboBox(this);
  SetControlId(exit_, res::IDC_TRAIN_DIALOG_EXIT);

  auto* fields = new QFormLayout;
  fields->addRow("Train ID", id_);
  fields->addRow("Number", number_);
  fields->addRow("Type", type_);
  auto* length = new QHBoxLayout;
  length->addWidget(length_);
  length->addWidget(units_);
  fields->addRow("Length", length);
  fields->addRow("Crew expiration time", crew_);
  fields->addRow("Entrance location", entrance_);
  fields->addRow("Exit location", exit_);
  LayOutFramedDialog(*this, fields, store_, res::IDC_TRAIN_DIALOG_HELP, "train data - general dialog");
  Fill();
}

void TTrainDialog::Fill() {
  const TrainStatus train = store_.GetTrainStatus(slot_);
  ShowStoredText(id_, FieldQText(train.TrainId));
  number_->setText(QString::number(slot_));
  ShowStoredText(length_, QString::number(train.Length));
  FillTrainTypeList(store_, type_, static_cast<int8_t>(train.Type));
  // A CTC train's crew expiration is in minutes after midnight; none set shows empty.
  ShowStoredText(crew_, train.CrewExpiry < 0
                            ? QString()
                            : QString::asprintf("%02d:%02d", train.CrewExpiry / 60, train.CrewExpiry % 60));
  FillLocationLists(store_, entrance_, FieldQText(train.Entrance), exit_, FieldQText(train.Exit));
  units_->setText(store_.GetTerritoryOptions().Units == 1 ? "feet" : "meters");
}

void TTrainDialog::accept() {
  auto refuse = [this](const char* text) {
    store_.ShowMessage(text, MessageIcon::Error);
    return false;
  };
  FieldChecks checks;
  checks.Add(id_, [&](const QString& text) { return !text.isEmpty() || refuse("You must specify a train ID."); });
  checks.Add(crew_, [&](const QString& text) {
    if (!TextEdited(crew_)) return true;  // the stored expiration stays as it is
    const auto [hours, minutes] = SplitCrewTime(text);
    if (hours > 23) return refuse("The hour in the crew expiration field is greater than 23.");
    if (minutes > 59) return refuse("The minute in the crew expiration field is greater than 59.");
    return true;
  });
  if (!checks.Run()) return;

  TrainStatus train = store_.GetTrainStatus(slot_);
  // Fields left as shown keep the stored bytes.
  if (TextEdited(id_)) SetFieldText(train.TrainId, FieldBytes(id_->text()));
  if (TextEdited(crew_)) {
    const auto [hours, minutes] = SplitCrewTime(crew_->text());
    train.CrewExpiry = hours * 60 + minutes;
  }
  train.Length = KeptNumber<int32_t>(length_, train.Length, 0);
  const int type = store_.FindTrainType(FieldBytes(type_->currentText()));
  train.Type = static_cast<uint8_t>(type_->currentText() == "unknown" || type < 0 ? -1 : type);
  const auto location = [](const QComboBox* list) {
    return list->currentText() == "(none)" ? std::string() : FieldBytes(list->currentText());
  };
  SetFieldText(train.Entrance, location(entrance_));
  SetFieldText(train.Exit, location(exit_));
  store_.UpdateTrainStatus(slot_, train);
  QDialog::accept();
}

int RunTrainDialog(Corvane3Data& store, int trainSlot, QWidget* parent) {
  if (trainSlot < 0 || trainSlot >= kMaxTrainStatus) return 2;
  TTrainDialog dialog(parent, store, trainSlot);
  return dialog.exec() == QDialog::Accepted ? 1 : 2;
}
