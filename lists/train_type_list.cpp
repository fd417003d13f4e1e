#include "lists/train_type_list.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>

#include "dialogs/dialog_kit.h"
#include "lists/list_commands.h"
#include "lists/list_text.h"
#include "platform/controls.h"
#include "resources/territory_list_ids.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"

namespace {

constexpr const char* kClickNoneSelected =
    "A train type has not be selected.  Select a train type by placing the mouse pointer on the train type and "
    "then click the left mouse button.";
constexpr const char* kClickMoreThanOne = "More than train type has been selected.  Please select only one train type.";
constexpr const char* kEditNoneSelected =
    "A train type has not be selected.  Select a train type by placing the mouse pointer on the train type and "
    "then click the left mouse.";
constexpr const char* kEditMoreThanOne =
    "More than one train type has been selected.  Please select only one train type.";
constexpr const char* kPicturesLater =
    "Before these bitmap changes will take affect, you must save the track file under a new name (File/Save "
    "Territory Track File menu item) and then load the new track territory you just saved.";
constexpr const char* kBitmapFilter = "Bitmap Files (*.bmp)|*.bmp";
constexpr int kPathFieldChars = 254;
constexpr int kPictureWidth = 32;
constexpr int kPictureHeight = 14;

// The picture fields in record order (locomotive left, locomotive right, caboose) with their Browse
// buttons and the message for an empty field.
struct PictureField {
  int Field;
  int Browse;
  const char* Label;
  const char* Missing;
};
constexpr PictureField kPictureFields[3] = {
    {res::IDC_TYPE_LOCO_LEFT, res::IDC_TYPE_BROWSE_LEFT, "Locomotive left bitmap file",
     "You must enter a locomotive left bitmap file name."},
    {res::IDC_TYPE_LOCO_RIGHT, res::IDC_TYPE_BROWSE_RIGHT, "Locomotive right bitmap file",
     "You must enter a locomotive right bitmap file name."},
    {res::IDC_TYPE_CABOOSE, res::IDC_TYPE_BROWSE_CABOOSE, "Caboose bitmap file",
     "You must enter a caboose bitmap file name."},
};

QString CategoryName(Corvane3Data& store, uint8_t category) {
  return category < kMaxTrainTypes ? ListText(FieldText(store.GetTrainTypeName(category), kTrainTypeNameChars))
                                   : QString();
}

std::vector<list::Column> TrainTypeColumns() {
  return {{"Description", Qt::AlignLeft},
          {"Type", Qt::AlignLeft},
          {"Dual Cab", Qt::AlignLeft},
          {"Startup Time", Qt::AlignRight},
          {"Reverse Speed", Qt::AlignRight},
          {"Locomotive Left Bitmap", Qt::AlignLeft},
          {"Locomotive Right Bitmap", Qt::AlignLeft},
          {"Caboose Bitmap", Qt::AlignLeft}};
}

}  // namespace

TTTrainType::TTTrainType(Corvane3Data& store, QWidget* parent)
    : TListFrame(store,
                 list::FrameSpec{"TTTrainType", "Train Type", 1, 5, TrainTypeColumns(), "train type descriptions",
                                 /*KeepsSelection=*/true},
                 parent) {
  connect(AddButton(res::CM_LIST_EDIT, "Edit"), &QPushButton::clicked, this, &TTTrainType::Edit);
  AddSaveColumnWidthsButton();
  AddHelpButton();
  OnListRightClick(*this, [this] {
    if (SelectedRecord(kClickNoneSelected, kClickMoreThanOne) >= 0) Edit();
  });
}

std::vector<list::Row> TTTrainType::Fill() {
  const auto listed = ListByName<TrainType>(
      kMaxTrainTypes, [this](int slot) { return store_.GetTrainType(slot); },
      [](const TrainType& type) { return FieldText(type.Name); });

  std::vector<list::Row> rows;
  for (const auto& entry : listed) {
    const TrainType& type = entry.Data;
    const int32_t startup = type.StartupSeconds;
    const int16_t reverse = type.ReverseSpeed;
    list::Row row;
    row.Record = entry.Slot;
    row.Texts = {entry.Name,
                 CategoryName(store_, type.Kind),
                 YesNo(type.DualCab == 1),
                 QString::number(startup),
                 QString::number(reverse),
                 ListText(FieldText(type.BitmapFiles[0], sizeof type.BitmapFiles[0])),
                 ListText(FieldText(type.BitmapFiles[1], sizeof type.BitmapFiles[1])),
                 ListText(FieldText(type.BitmapFiles[2], sizeof type.BitmapFiles[2]))};
    rows.push_back(std::move(row));
  }
  return rows;
}

void TTTrainType::Edit() {
  ActOnSelectedRow(*this, store_, "TTTrainType::Edit", kEditNoneSelected, kEditMoreThanOne, [this](int32_t slot) {
    DialogLock lock(store_);
    if (!lock.Held()) return;
    TTrainType dialog(parentWidget(), store_, slot);
    if (RunOverList(*this, dialog) == QDialog::Accepted) ListBuild();
  });
}

TTrainType::TTrainType(QWidget* parent, Corvane3Data& store, int trainType)
    : QDialog(parent), store_(store), trainType_(trainType) {
  SetControlId(this, res::IDD_TRAIN_TYPE);
  setWindowTitle("Train Type");
  setModal(true);
  const TrainType type = store.GetTrainType(trainType);
  const int32_t startup = type.StartupSeconds;
  const int16_t reverse = type.ReverseSpeed;

  auto* category = new QComboBox(this);
  SetControlId(category, res::IDC_TYPE_CATEGORY);
  for (int index = 0; index < kMaxTrainTypes; ++index) {
    const QString name = CategoryName(store, static_cast<uint8_t>(index));
    if (!name.isEmpty()) category->addItem(name);
  }
  category->model()->sort(0);
  category->setCurrentIndex(category->findText(CategoryName(store, type.Kind)));
  auto* dualCab = new QCheckBox("Cabs at each end of train (direction reversible)", this);
  SetControlId(dualCab, res::IDC_TYPE_DUAL_CAB);
  dualCab->setChecked(type.DualCab != 0);

  auto* form = new QFormLayout;
  form->addRow("Description", MakeTextField(this, res::IDC_TYPE_DESCRIPTION, ListText(FieldText(type.Name)), 20));
  form->addRow("Type", category);
  form->addRow(dualCab);
  auto* startupRow = new QHBoxLayout;
  startupRow->addWidget(MakeNumberField(this, res::IDC_TYPE_STARTUP, QString::number(startup), 3));
  startupRow->addWidget(new QLabel("seconds", this));
  startupRow->addStretch();
  form->addRow("Startup time", startupRow);
  form->addRow("Reverse speed", MakeNumberField(this, res::IDC_TYPE_REVERSE_SPEED, QString::number(reverse), 3));
  for (int k = 0; k < 3; ++k) {
    const PictureField& picture = kPictureFields[k];
    auto* row = new QHBoxLayout;
    QLineEdit* path = MakeTextField(
        this, picture.Field, ListText(FieldText(type.BitmapFiles[k], sizeof type.BitmapFiles[k])), kPathFieldChars);
    path->setCursorPosition(0);  // a long path shows its start, where its folder is told
    row->addWidget(path, 1);
    QPushButton* browse = MakeButton(this, picture.Browse, "Browse");
    connect(browse, &QPushButton::clicked, this, [this, field = picture.Field] { Browse(field); });
    row->addWidget(browse);
    form->addRow(picture.Label, row);
  }

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(DialogButtons(*this, true, [this] { ShowHelp(store_, "train type dialog"); }));
}

void TTrainType::Browse(int fieldId) {
  auto* field = FindControl<QLineEdit>(this, fieldId);
  const std::string text = field->text().toStdString();
  // A path that names its own folder starts there; a bare or relative name starts in the program's folder.
  const std::filesystem::path path(text);
  const std::string folder = path.has_root_directory() ? path.parent_path().string()
                                                       : FieldText(store_.ProgramFolder, sizeof store_.ProgramFolder);
  const std::string chosen = store_.Shell().AskOpenFileName({kBitmapFilter, folder, text, "*"});
  if (chosen.empty()) return;
  const int check = Corvane3Data::CheckBitmapFile(chosen, kPictureWidth, kPictureHeight);
  // A picture of another size is taken: the size is checked again when the track file is saved.
  if (check == 0 || check == 4) {
    field->setText(QString::fromStdString(chosen));
    field->setCursorPosition(0);
  }
}

void TTrainType::accept() {
  FieldChecks checks;
  for (const PictureField& picture : kPictureFields) {
    checks.Add(FindControl<QLineEdit>(this, picture.Field), [this, &picture](const QString& text) {
      if (!text.isEmpty()) return true;
      store_.ShowMessage(picture.Missing, MessageIcon::Error);
      return false;
    });
  }
  if (!checks.Run()) return;
  // Only the picture names are the dispatcher's to change; the rest stays as the territory has it.
  TrainType type = store_.GetTrainType(trainType_);
  for (int k = 0; k < 3; ++k) {
    const QLineEdit* field = FindControl<QLineEdit>(this, kPictureFields[k].Field);
    if (TextEdited(field)) SetFieldText(type.BitmapFiles[k], sizeof type.BitmapFiles[k], field->text().toStdString());
  }
  store_.UpdateTrainType(trainType_, type);
  store_.ShowMessage(kPicturesLater, MessageIcon::Information);
  QDialog::accept();
}
