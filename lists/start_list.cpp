#include "lists/start_list.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

#include "dialogs/dialog_kit.h"
#include "lists/list_commands.h"
#include "lists/list_text.h"
#include "platform/controls.h"
#include "resources/territory_list_ids.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"

namespace {

constexpr const char* kNoneSelected =
    "A start time has not be selected.  Select a start time by placing the mouse pointer on the name and then "
    "click the mouse left or right button.";
constexpr const char* kMoreThanOne = "More than one start time has been selected.  Please select only one start time.";
constexpr int kFixedColumns = 5;
constexpr uint16_t kNoTrain = 0xFFFF;
constexpr const char* kDayNames[7] = {"Su", "Mo", "Tu", "We", "Th", "Fr", "Sa"};

// One train entry of a start time, its six fields together.
struct Entry {
  uint16_t Train;
  uint16_t Block;
  uint8_t Direction;
  int16_t CrewTime;
  uint8_t WorkArea;
  uint8_t EntryPoint;
};

Entry EntryAt(const StartTime& start, int k) {
  return {start.TrainIndex[k], start.PairedIndex[k], start.Bytes210[k],
          start.Words260[k],   start.Bytes360[k],    start.Bytes410[k]};
}

void SetEntry(StartTime& start, int k, const Entry& entry) {
  start.TrainIndex[k] = entry.Train;
  start.PairedIndex[k] = entry.Block;
  start.Bytes210[k] = entry.Direction;
  start.Words260[k] = entry.CrewTime;
  start.Bytes360[k] = entry.WorkArea;
  start.Bytes410[k] = entry.EntryPoint;
}

QString TimeText(int minutes) { return QString::asprintf("%02d:%02d", minutes / 60, minutes % 60); }

QString DirectionText(uint8_t direction) { return direction == 0 ? "Left" : "Right"; }

// "%s-%d": the train's ID and its slot.
QString TrainReference(Corvane3Data& store, uint16_t train) {
  const QString id = train < kMaxTrains ? ListText(FieldText(store.GetTrainData(train).TrainId)) : QString();
  return QString("%1-%2").arg(id).arg(train);
}

std::vector<list::Column> StartColumns() {
  std::vector<list::Column> columns{{"Start Time", Qt::AlignLeft},
                                    {"Start Day", Qt::AlignLeft},
                                    {"End", Qt::AlignHCenter},
                                    {"End Time", Qt::AlignLeft},
                                    {"After (days)", Qt::AlignRight}};
  for (int k = 0; k < kStartTimeTrains; ++k) columns.push_back({"Train/Block/Direction", Qt::AlignLeft});
  return columns;
}

}  // namespace

void NormaliseStartEntries(StartTime& start) {
  std::vector<Entry> entries;
  for (int k = 0; k < kStartTimeTrains; ++k) {
    const Entry entry = EntryAt(start, k);
    if (entry.Train != kNoTrain) entries.push_back(entry);
  }
  SortKeepingOrder(entries, [](const Entry& a, const Entry& b) { return a.Train < b.Train; });
  const Entry none{kNoTrain, 0xFFFF, 0xFF, -1, 0xFF, 0xFF};
  for (int k = 0; k < kStartTimeTrains; ++k) {
    SetEntry(start, k, k < static_cast<int>(entries.size()) ? entries[static_cast<size_t>(k)] : none);
  }
}

TTStart::TTStart(Corvane3Data& store, QWidget* parent)
    : TListFrame(store,
                 list::FrameSpec{"TTStart", "Start Times", 7, 11, StartColumns(), "start times window",
                                 /*KeepsSelection=*/true},
                 parent) {
  connect(AddButton(res::CM_LIST_EDIT, "View"), &QPushButton::clicked, this, &TTStart::Edit);
  AddSaveColumnWidthsButton();
  AddHelpButton();
  OnListRightClick(*this, [this] { Edit(); });
  OnListDoubleClick(*this, [this] { Edit(); });
}

std::vector<list::Row> TTStart::Fill() {
  // The entry columns are counted before the entries are put in order: the highest position used.
  int columns = 1;
  for (int slot = 0; slot < kMaxStartTimes; ++slot) {
    const StartTime start = store_.GetStartTime(slot);
    if (start.InUse == 0) continue;
    for (int k = 0; k < kStartTimeTrains; ++k) {
      if (start.TrainIndex[k] != kNoTrain) columns = std::max(columns, k + 1);
    }
  }
  entryColumns_ = columns;
  for (int k = 0; k < kStartTimeTrains; ++k) List()->setColumnHidden(kFixedColumns + k, k >= columns);

  std::vector<std::pair<int, StartTime>> listed;
  for (int slot = 0; slot < kMaxStartTimes; ++slot) {
    StartTime start = store_.GetStartTime(slot);
    if (start.InUse == 0) continue;
    NormaliseStartEntries(start);
    store_.UpdateStartTime(slot, start);
    listed.emplace_back(slot, start);
  }
  SortKeepingOrder(listed, [](const auto& a, const auto& b) { return a.second.Word1 < b.second.Word1; });

  std::vector<list::Row> rows;
  for (const auto& [slot, start] : listed) {
    const int16_t minutes = start.Word1;
    const bool ends = start.Byte462 != 0;
    const int16_t endMinutes = start.Word460;
    const int16_t afterDays = start.Word463;
    QString days;
    for (int day = 0; day < 7; ++day) {
      if (start.Days[day] != 0) days += kDayNames[day];
    }
    list::Row row;
    row.Record = slot;
    row.Texts = {TimeText(minutes), days, YesNo(ends), ends && endMinutes != -1 ? TimeText(endMinutes) : QString(),
                 ends ? QString::number(afterDays) : QString()};
    for (int k = 0; k < columns; ++k) {
      const Entry entry = EntryAt(start, k);
      row.Texts.push_back(entry.Train == kNoTrain
                              ? QString()
                              : QString::asprintf("%s/%04d/%s", qPrintable(TrainReference(store_, entry.Train)),
                                                  static_cast<int16_t>(entry.Block),
                                                  qPrintable(DirectionText(entry.Direction))));
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

void TTStart::Edit() {
  ActOnSelectedRow(*this, store_, "TTStart::Edit", kNoneSelected, kMoreThanOne, [this](int32_t slot) {
    TStartInfo display(parentWidget(), store_, store_.GetStartTime(slot));
    if (RunOverList(*this, display) == QDialog::Accepted) ListBuild();
  });
}

TStartInfo::TStartInfo(QWidget* parent, Corvane3Data& store, const StartTime& start) : QDialog(parent), store_(store) {
  SetControlId(this, res::IDD_START_INFO);
  setWindowTitle("Start Time Data");
  setModal(true);
  const bool ends = start.Byte462 != 0;
  const int16_t endMinutes = start.Word460;
  const int16_t afterDays = start.Word463;

  auto* form = new QFormLayout;
  form->addRow("Start time", MakeTimeField(this, res::IDC_START_TIME, TimeText(start.Word1)));
  auto* days = new QGridLayout;
  constexpr const char* kDays[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
  for (int day = 0; day < 7; ++day) {
    auto* box = new QCheckBox(kDays[day], this);
    SetControlId(box, res::IDC_START_SUNDAY + day);
    box->setChecked(start.Days[day] == 1);
    days->addWidget(box, day / 4, day % 4);
  }
  form->addRow("Scheduled for:", days);
  auto* noEnd = new QCheckBox("No end time", this);
  SetControlId(noEnd, res::IDC_START_NO_END);
  noEnd->setChecked(!ends);
  form->addRow(noEnd);
  form->addRow("End time", MakeTimeField(this, res::IDC_START_END_TIME,
                                         ends && endMinutes != -1 ? TimeText(endMinutes) : QString()));
  form->addRow("after",
               MakeNumberField(this, res::IDC_START_END_DAYS, ends ? QString::number(afterDays) : QString(), 2));

  auto* trains = new QListWidget(this);
  SetControlId(trains, res::IDC_START_TRAINS);
  for (int k = 0; k < kStartTimeTrains; ++k) {
    const Entry entry = EntryAt(start, k);
    if (entry.Train == kNoTrain) continue;
    trains->addItem(QString::asprintf("%s\t%04d\t%s\t%03d\t%d\t%d", qPrintable(TrainReference(store, entry.Train)),
                                      static_cast<int16_t>(entry.Block), qPrintable(DirectionText(entry.Direction)),
                                      entry.CrewTime, entry.WorkArea, entry.EntryPoint));
  }
  form->addRow("Train location at start time", trains);
  form->addRow("Train", MakeTextField(this, res::IDC_START_TRAIN, "", 20));
  form->addRow("Start block", MakeTextField(this, res::IDC_START_BLOCK, "", 4));
  form->addRow("Crew time", MakeNumberField(this, res::IDC_START_CREW_TIME, "", 3));
  auto* left = new QRadioButton("Left", this);
  auto* right = new QRadioButton("Right", this);
  SetControlId(left, res::IDC_START_LEFT);
  SetControlId(right, res::IDC_START_RIGHT);
  (start.Bytes210[0] == 0 ? left : right)->setChecked(true);
  auto* direction = new QHBoxLayout;
  direction->addWidget(left);
  direction->addWidget(right);
  direction->addStretch();
  form->addRow("Start direction", direction);
  form->addRow("Start at work area", MakeNumberField(this, res::IDC_START_WORK_AREA, "", 2));
  form->addRow("Start at multiple entry point", MakeNumberField(this, res::IDC_START_ENTRY_POINT, "", 2));
  connect(trains, &QListWidget::itemSelectionChanged, this, &TStartInfo::ShowSelectedEntry);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(DialogButtons(*this, false, [this] { ShowHelp(store_, "start times dialog"); }));
}

void TStartInfo::ShowSelectedEntry() {
  auto field = [this](int id) { return FindControl<QLineEdit>(this, id); };
  const QList<QListWidgetItem*> selected = FindControl<QListWidget>(this, res::IDC_START_TRAINS)->selectedItems();
  if (selected.isEmpty()) {
    for (int id : {res::IDC_START_TRAIN, res::IDC_START_BLOCK, res::IDC_START_CREW_TIME, res::IDC_START_WORK_AREA,
                   res::IDC_START_ENTRY_POINT}) {
      field(id)->clear();
    }
    return;
  }
  const QStringList fields = selected.front()->text().split('\t');
  auto* left = FindControl<QRadioButton>(this, res::IDC_START_LEFT);
  auto* right = FindControl<QRadioButton>(this, res::IDC_START_RIGHT);
  if (fields.size() < 2) {
    field(res::IDC_START_TRAIN)->clear();
    field(res::IDC_START_BLOCK)->clear();
    for (QRadioButton* button : {left, right}) {
      button->setAutoExclusive(false);
      button->setChecked(false);
      button->setAutoExclusive(true);
    }
    return;
  }
  const int ids[] = {res::IDC_START_TRAIN,     res::IDC_START_BLOCK,     0,
                     res::IDC_START_CREW_TIME, res::IDC_START_WORK_AREA, res::IDC_START_ENTRY_POINT};
  for (qsizetype i = 0; i < fields.size() && i < 6; ++i) {
    if (i == 2) {
      (fields[i].startsWith("Left") ? left : right)->setChecked(true);
    } else {
      field(ids[i])->setText(fields[i]);
    }
  }
}

void TStartInfo::keyPressEvent(QKeyEvent* event) {
  // The display has no OK button; Enter is its OK.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TStartInfo::accept() {
  RefuseReadOnlyChange(store_);
  QDialog::accept();
}
