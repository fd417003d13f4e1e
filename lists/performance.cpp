#include "lists/performance.h"

#include <QPushButton>
#include <algorithm>

#include "lists/track_time_lists.h"
#include "platform/printer.h"
#include "resources/permit_slow_ids.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"

namespace {

constexpr int kPerformWindowIndex = 15;
constexpr int kPerformColumnProgram = 18;
constexpr int kPerformReportCells = 95;

bool EnglishUnits(const Corvane3Data& store) { return store.GetTerritoryOptions().Units == 1; }

std::vector<list::Column> PerformColumns(const Corvane3Data& store) {
  std::vector<list::Column> columns;
  for (const QString& header : {QString("Train ID"), DistanceHeading(store), QString("Stop Time"), QString("Lost Time"),
                                QString("Late Departure Time"), QString("Late Departures"), QString("Missed Exits")}) {
    columns.push_back({header, Qt::AlignRight});
  }
  return columns;
}

}  // namespace

void PerformFigures::Add(const TrainStatus& train) {
  Distance += train.Distance;
  StopTime += train.TotalStopTime;
  LostTime += train.TotalLostTime;
  LateDepartureTime += train.TotalLateDeparture;
  LateDepartures += train.LateDepartures;
  MissedExits += train.MissedExits;
}

std::array<QString, 6> PerformFigures::Texts(bool english) const {
  return {QString::number(Distance / (english ? 5280 : 1000)),
          QString::number(StopTime / 60),
          QString::number(LostTime / 60),
          QString::number(LateDepartureTime / 60),
          QString::number(LateDepartures),
          QString::number(MissedExits)};
}

QString DistanceHeading(const Corvane3Data& store) { return EnglishUnits(store) ? "Miles" : "Kilometers"; }

std::vector<int16_t> PerformRowTable(const Corvane3Data& store) {
  const int bound = std::clamp(store.GetCountData().Words[kCountRunningTrains], 0, kMaxTrainStatus);
  std::vector<std::pair<int16_t, std::string>> trains;
  for (int slot = 0; slot < bound; ++slot) {
    const TrainStatus& train = store.TrainStatusRef(slot);
    if (train.InUse != 0) trains.emplace_back(static_cast<int16_t>(slot), FieldText(train.TrainId));
  }
  // Equal train IDs keep their slot order.
  std::stable_sort(trains.begin(), trains.end(),
                   [](const auto& a, const auto& b) { return CompareNames(a.second, b.second) < 0; });
  std::vector<int16_t> table(kMaxTrainStatus, -1);
  for (size_t i = 0; i < trains.size(); ++i) table[i] = trains[i].first;
  return table;
}

// ---------------------------------------------------------------- the window

TPerformWindow::TPerformWindow(Corvane3Data& store, QWidget* parent)
    : TListFrame(store,
                 list::FrameSpec{"TPerformWindow", "Performance Data", kPerformWindowIndex, kPerformColumnProgram,
                                 PerformColumns(store), "performance data", /*KeepsSelection=*/false},
                 parent) {
  AddSaveColumnWidthsButton();
  connect(AddButton(res::IDC_LIST_PRINT, "Print"), &QPushButton::clicked, this, &TPerformWindow::CmPrint);
  connect(AddButton(res::IDC_LIST_PRINTER_SETUP, "Printer Setup", 0, 120), &QPushButton::clicked, this,
          &TPerformWindow::CmPrinterSetup);
  AddHelpButton();
}

std::vector<list::Row> TPerformWindow::Fill() {
  rowTable_ = PerformRowTable(store_);
  const bool english = EnglishUnits(store_);
  PerformFigures total;
  const int bound = std::clamp(store_.GetCountData().Words[kCountRunningTrains], 0, kMaxTrainStatus);
  for (int slot = 0; slot < bound; ++slot) {
    const TrainStatus& train = store_.TrainStatusRef(slot);
    if (train.InUse != 0) total.Add(train);
  }
  auto row = [english](int32_t record, const QString& id, const PerformFigures& figures) {
    list::Row out;
    out.Record = record;
    out.Texts.push_back(id);
    for (const QString& text : figures.Texts(english)) out.Texts.push_back(text);
    return out;
  };
  std::vector<list::Row> rows{row(-1, "TOTAL", total)};
  // Every running train the total counts has its row, split trains and helpers included.
  for (const int16_t slot : rowTable_) {
    if (slot < 0) break;
    PerformFigures figures;
    const TrainStatus& train = store_.TrainStatusRef(slot);
    figures.Add(train);
    rows.push_back(row(slot, QString::fromStdString(FieldText(train.TrainId)), figures));
  }
  return rows;
}

void TPerformWindow::CmPrint() {
  TTrainPrinter* printer = TheTrainPrinter();
  if (!printer) return;
  TTPrintPerform printout(store_, rowTable_);
  printer->Print(this, printout);
}

void TPerformWindow::CmPrinterSetup() {
  if (TTrainPrinter* printer = TheTrainPrinter()) printer->Setup(this);
}

// ---------------------------------------------------------------- the report

// The print job keeps its long-standing name, spelling and all; the page title is spelled right.
TTPrintPerform::TTPrintPerform(Corvane3Data& store, std::vector<int16_t> orderList)
    : TTabularPrintout(store, "Train Perormance Data", "Train Performance Data", kPerformReportCells,
                       std::move(orderList)) {}

void TTPrintPerform::PrintPage(int page) {
  const Qt::Alignment left = Qt::AlignLeft, right = Qt::AlignRight;
  PrintTop(Margin(), RightEdge(),
           {{{0, 14, "Train ID.", left},
             {16, 5, DistanceHeading(store_), left},
             {23, 9, "Stop Time", left},
             {34, 9, "Lost Time", left},
             {45, 19, "Late Departure Time", left},
             {66, 15, "Late Departures", left},
             {83, 12, "Missed Exits", left}}});

  const bool english = store_.GetTerritoryOptions().Units == 1;
  auto line = [&](const QString& id, const PerformFigures& figures) {
    const std::array<QString, 6> texts = figures.Texts(english);
    BodyText(0, 14, id, left);
    BodyText(16, 5, texts[0], right);
    BodyText(23, 6, texts[1], right);
    BodyText(34, 6, texts[2], right);
    BodyText(45, 11, texts[3], right);
    BodyText(66, 9, texts[4], right);
    BodyText(83, 7, texts[5], right);
    NextLine();
  };

  int32_t lines = 0;
  if (page == 1) {
    PerformFigures total;
    for (int32_t item = NextItem; item < ItemCount; ++item) {
      total.Add(store_.GetTrainStatus(Record(item)));
    }
    line("TOTAL", total);
    ++lines;
  }
  int32_t item = NextItem;
  while (item < ItemCount) {
    const TrainStatus train = store_.GetTrainStatus(Record(item));
    ++item;
    PerformFigures figures;
    figures.Add(train);
    line(QString::fromStdString(FieldText(train.TrainId)), figures);
    if (++lines > LinesPerPage) break;
  }
  NextItem = item;
  PrintFooter(page, Margin(), RightEdge());
}
