#include "lists/track_time_lists.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "dialogs/dialog_kit.h"
#include "platform/controls.h"
#include "resources/permit_slow_ids.h"
#include "store/corvane3_data.h"
#include "store/run_times.h"

QString DaysText(const DayFlags& days) {
  static constexpr const char* kDays[7] = {"Su", "Mo", "Tu", "We", "Th", "Fr", "Sa"};
  QString text;
  for (size_t day = 0; day < days.size(); ++day) {
    if (days[day] != 0) text += kDays[day];
  }
  return text;
}

QString MinuteText(int minutes) {
  if (minutes < 0) return {};
  return QString::asprintf("%02d:%02d", minutes / 60, minutes % 60);
}

QString ClockTimeText(int32_t seconds) {
  const int32_t ofDay = ((seconds % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay;
  return MinuteText(ofDay / 60);
}

int CompareNames(const std::string& a, const std::string& b) {
  return QString::localeAwareCompare(QString::fromStdString(a), QString::fromStdString(b));
}

void SortEntries(std::vector<SortEntry>& entries, bool byTrack) {
  std::stable_sort(entries.begin(), entries.end(), [byTrack](const SortEntry& a, const SortEntry& b) {
    const int names = CompareNames(a.Name, b.Name);
    if (byTrack) return names < 0 || (names == 0 && a.From < b.From);
    return a.From < b.From || (a.From == b.From && names < 0);
  });
}

QStringList TerritoryTrackNames(const Corvane3Data& store) {
  TrackNameList names;
  store.BuildTrackNameList(names);
  QStringList entries;
  for (const auto& name : names) {
    if (name[0] == '\0') break;
    entries << QString::fromUtf8(name.data(), static_cast<int>(strnlen(name.data(), name.size())));
  }
  return entries;
}

PermitFields AddPermitFields(QDialog* dialog, QFormLayout* form, int slot) {
  constexpr int kTextChars = 20;
  constexpr int kNumberChars = 5;
  PermitFields fields{};
  fields.Track = new QComboBox(dialog);
  SetControlId(fields.Track, res::IDC_PERMIT_DEF_TRACK);
  fields.Track->setEditable(false);
  fields.From = MakeTimeField(dialog, res::IDC_DEF_FROM_TIME, "");
  fields.To = MakeTimeField(dialog, res::IDC_DEF_TO_TIME, "");
  fields.Requestor = MakeTextField(dialog, res::IDC_PERMIT_DEF_REQUESTOR, "", kTextChars);
  fields.Reason = MakeTextField(dialog, res::IDC_PERMIT_DEF_REASON, "", kTextChars);
  form->addRow("Number",
               MakeReadOnlyField(dialog, res::IDC_DEF_NUMBER, slot >= 0 ? QString::number(slot) : "", kNumberChars));
  form->addRow("From time", fields.From);
  form->addRow("To time", fields.To);
  form->addRow("Track name", fields.Track);
  form->addRow("Requestor", fields.Requestor);
  form->addRow("Reason", fields.Reason);
  return fields;
}

bool FillNameList(QComboBox* list, QStringList entries, const std::string& name) {
  std::sort(entries.begin(), entries.end(),
            [](const QString& a, const QString& b) { return CompareNames(a.toStdString(), b.toStdString()) < 0; });
  list->addItems(entries);
  list->setCurrentIndex(-1);
  if (name.empty()) return true;
  const int found = entries.indexOf(QString::fromStdString(name));
  list->setCurrentIndex(found);
  return found >= 0;
}

void AddOkCancelHelp(QDialog* dialog, QVBoxLayout* into, Corvane3Data& store, const std::string& helpKeyword) {
  QPushButton* ok = MakeButton(dialog, 1, "OK");
  ok->setDefault(true);
  QPushButton* cancel = MakeButton(dialog, 2, "Cancel");
  QPushButton* help = MakeButton(dialog, res::IDC_DEF_HELP, "Help");
  QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  QObject::connect(help, &QPushButton::clicked, dialog, [&store, helpKeyword] { ShowHelp(store, helpKeyword); });
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  buttons->addWidget(help);
  into->addLayout(buttons);
}

std::array<QCheckBox*, 7> MakeDayBoxes(QWidget* dialog, QLayout* into) {
  static constexpr const char* kNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                            "Thursday", "Friday", "Saturday"};
  auto* group = new QGroupBox("Scheduled for", dialog);
  auto* row = new QHBoxLayout(group);
  std::array<QCheckBox*, 7> boxes{};
  for (int day = 0; day < 7; ++day) {
    boxes[day] = new QCheckBox(kNames[day], group);
    SetControlId(boxes[day], res::IDC_DEF_SUNDAY + day);
    row->addWidget(boxes[day]);
  }
  into->addWidget(group);
  return boxes;
}

DayFlags CheckedDays(const std::array<QCheckBox*, 7>& boxes) {
  DayFlags days{};
  for (size_t day = 0; day < boxes.size(); ++day) days[day] = boxes[day]->isChecked() ? 1 : 0;
  return days;
}

bool RunWithFrameHidden(QWidget* frame, QDialog& dialog) {
  frame->hide();
  const bool ok = dialog.exec() == QDialog::Accepted;
  frame->setAttribute(Qt::WA_ShowWithoutActivating, true);
  frame->show();
  frame->setAttribute(Qt::WA_ShowWithoutActivating, false);
  return ok;
}
