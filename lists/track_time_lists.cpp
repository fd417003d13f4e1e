#include "lists/track_time_lists.h"

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLayout>

#include "platform/controls.h"
#include "resources/permit_slow_ids.h"

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
  const int32_t ofDay = ((seconds % 86400) + 86400) % 86400;
  return MinuteText(ofDay / 60);
}

int CompareNames(const std::string& a, const std::string& b) {
  return QString::localeAwareCompare(QString::fromStdString(a), QString::fromStdString(b));
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
