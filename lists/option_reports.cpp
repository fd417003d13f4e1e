#include "lists/option_reports.h"

#include "resources/alert_dialog_ids.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"

namespace {

constexpr int kAlertReportCells = 82;
constexpr int kRandomReportCells = 66;
constexpr int kReportHeadingPoints = 12;

}  // namespace

TTPrintAlertPar::TTPrintAlertPar(Corvane3Data& store)
    : TTabularPrintout(store, "Alert Parameters", "Alert Parameters", kAlertReportCells, {-1}, kReportHeadingPoints) {
  WidenToHeader();
}

void TTPrintAlertPar::PrintPage(int) {
  const Qt::Alignment left = Qt::AlignLeft, right = Qt::AlignRight, centre = Qt::AlignHCenter;
  PrintTop(Margin(), RightEdge(), {{{35, 7, "Alerts", left}, {43, 6, "Bells", right}, {52, 31, "Sound Files", left}}});
  const AlertData alerts = store_.GetAlertData();
  for (const res::AlertRowIds& row : res::kAlertRows) {
    // Each row shows the slot its alert is kept in: the slot without a row of its own is skipped.
    const auto slot = static_cast<size_t>(row.Slot);
    const int bells = static_cast<int16_t>(alerts.Bells[slot]);
    BodyText(0, 35, row.Name, left);
    BodyText(35, 7, alerts.Enabled[slot] == 1 ? "Yes" : "No", centre);
    BodyText(43, 4, QString::number(bells), right);
    BodyText(52, 31, QString::fromStdString(FieldText(alerts.WaveFiles[slot], sizeof alerts.WaveFiles[slot])), left);
    NextLine();
    NextLine();
  }
}

// The job keeps the name it has always had in print queues; the page says "Random Performance".
TTPrintRandom::TTPrintRandom(Corvane3Data& store)
    : TTabularPrintout(store, "Random Peformance", "Random Performance", kRandomReportCells, {-1},
                       kReportHeadingPoints) {
  WidenToHeader();
}

void TTPrintRandom::PrintPage(int) {
  const Qt::Alignment right = Qt::AlignRight, centre = Qt::AlignHCenter;
  PrintTop(Margin(), RightEdge(),
           {{{42, 25, "TRAIN TYPES", centre}},
            {{42, 4, "1", right}, {48, 4, "2", right}, {54, 4, "3", right}, {60, 4, "4", right}}},
           BodyLine());
  BodyText(0, 41, "Run time performance (percentage deviation)", Qt::AlignLeft);
}
