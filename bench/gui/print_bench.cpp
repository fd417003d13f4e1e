// Printing to a PDF file through the program's printer, as a user's print
// job does: the train data report of a full train table (1,000 trains over
// every section of the report) and the track layout printout of a full
// 200 x 160 layout. Pages and the pieces of text or grid cells drawn are
// counted.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QPageLayout>
#include <QPageSize>
#include <QTemporaryDir>
#include <memory>
#include <string>

#include "lists/train_report.h"
#include "platform/printer.h"
#include "shell/display_pictures.h"
#include "shell/layout_painter.h"
#include "shell/layout_printout.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "tools/territory/territory_builder.h"

namespace {

// The program's printer on a PDF file of Letter paper with half-inch margins.
struct PdfPrinter {
  QTemporaryDir folder;
  TTrainPrinter printer;
  PdfPrinter() {
    printer.SetErrorReporter(
        [](const std::string& text, const std::string&) { std::fprintf(stderr, "%s\n", text.c_str()); });
    printer.Device().setOutputFormat(QPrinter::PdfFormat);
    printer.Device().setOutputFileName(folder.filePath("print.pdf"));
    printer.Device().setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                               QMarginsF(0.5, 0.5, 0.5, 0.5), QPageLayout::Inch));
  }
};

// The train data report, counting the pieces of text it puts on its pages.
class CountedTrainPrintout : public TTPrintTrain {
 public:
  using TTPrintTrain::TTPrintTrain;
  int64_t Texts = 0;

 protected:
  void Text(const QFont& font, int left, int top, int right, int bottom, const QString& text,
            Qt::Alignment align) override {
    if (!text.isEmpty()) ++Texts;
    TTPrintTrain::Text(font, left, top, right, bottom, text, align);
  }
};

// 1,000 trains, half of them becoming another (a second line in the table), each leaving from 35
// platforms (five groups of station schedules) with four multiple entries and four pieces of local work.
void FillTrains(Corvane3Data& store) {
  TrainType type = store.GetTrainType(0);
  type.InUse = 1;
  SetFieldText(type.Name, "Through Freight");
  store.UpdateTrainType(0, type);
  constexpr int kPlatforms = 35;
  for (int p = 0; p < kPlatforms; ++p) {
    PlatformData platform = store.GetPlatformData(p);
    platform.InUse = 1;
    SetFieldText(platform.Name, "Platform " + std::to_string(p));
    store.UpdatePlatformData(p, platform);
  }
  for (int slot = 0; slot < kMaxTrains; ++slot) {
    TrainData train = store.GetTrainData(slot);
    train.InUse = 1;
    SetFieldText(train.TrainId, "T" + std::to_string(slot));
    train.Type = 0;
    train.EntryDirection = static_cast<uint8_t>(slot % 2);
    train.Length = 800 + slot;
    train.CrewMinutesWorked = 30;
    SetFieldText(train.Entrance, "E1");
    SetFieldText(train.Exit, "X1");
    train.EntranceMinutes = static_cast<uint16_t>((6 * 60 + slot) % (24 * 60));
    for (uint8_t& day : train.Days) day = 1;
    train.LinkedTrain = train.SplitTrain = -1;
    train.BecomesTrain = slot % 2 == 0 && slot + 1 < kMaxTrains ? static_cast<int16_t>(slot + 1) : -1;
    train.BecomeMinutes = 10;
    train.ChangePlaceKind = 'P';
    SetFieldText(train.ChangePlaceName, "Platform 3");
    for (int i = 0; i < kTrainStations; ++i) {
      train.Stations[i].Minutes = i < kPlatforms ? static_cast<uint16_t>(7 * 60 + i) : 0xFFFF;
      train.Stations[i].DwellSeconds = 45;
    }
    for (int i = 0; i < kTrainMultipleEntries; ++i) {
      TrainMultipleEntry& leg = train.Multiple[i];
      SetFieldText(leg.NextEntrance, i < 4 ? "E2" : "");
      SetFieldText(leg.LegExit, "X2");
      SetFieldText(leg.Text8, "T" + std::to_string(slot) + "-" + std::to_string(i));
      leg.ReentryMinutes = 12;
      leg.Word19 = 0;
      leg.CrewMinutes = -1;
    }
    for (int i = 0; i < kTrainLocalWork; ++i) {
      TrainLocalWork& work = train.LocalWork[i];
      SetFieldText(work.AreaName, i < 4 ? "Mill Spur " + std::to_string(i) : "");
      work.Minutes = 20;
      work.DirectionAfter = static_cast<uint8_t>(i % 2);
    }
    store.UpdateTrainData(slot, train);
  }
}

void BM_PrintTrainReportToPdf(benchmark::State& state) {
  auto store = std::make_unique<Corvane3Data>();
  FillTrains(*store);
  std::vector<int16_t> order;
  for (int slot = 0; slot < kMaxTrains; ++slot) order.push_back(static_cast<int16_t>(slot));
  order.push_back(-1);
  PdfPrinter pdf;
  int64_t pages = 0, texts = 0;
  for (auto _ : state) {
    CountedTrainPrintout printout(*store, order);
    if (!pdf.printer.Print(nullptr, printout)) state.SkipWithError("not printed");
    pages = printout.PageCount;
    texts = printout.Texts;
  }
  state.counters["pages"] = static_cast<double>(pages);
  state.counters["texts"] = static_cast<double>(texts);
}
BENCHMARK(BM_PrintTrainReportToPdf)->Unit(benchmark::kMillisecond);

// A full layout: every cell of the 200 x 160 grid is track in blocks of 20 cells, every block named
// and labelled with its length, a third of them occupied by a train.
void BM_PrintTrackLayoutToPdf(benchmark::State& state) {
  auto store = std::make_unique<Corvane3Data>();
  {
    territory::TerritoryBuilder builder(*store);
    builder.TrainType("Freight");
    int n = 0;
    for (int row = 0; row < 160; ++row) {
      for (int column = 0; column + 20 <= 200; column += 20) {
        builder.Block({.Name = "B" + std::to_string(n++), .From = {column, row}, .To = {column + 19, row}});
      }
    }
    builder.Finish();
  }
  store->InitSimulationStatus();
  int slot = 0;
  const int blocks = store->GetCountData().Words[kCountBlocks];
  for (int b = 0; b < blocks; b += 3) {
    BlockStatus status = store->GetBlockStatus(b);
    status.Occupancy = 3;
    if (slot < kMaxTrainStatus) {
      TrainStatus train = store->GetTrainStatus(slot);
      train.InUse = 1;
      train.State = 4;
      train.HeadBlock = train.RearBlock = static_cast<int16_t>(b);
      SetFieldText(train.TrainId, "T" + std::to_string(slot));
      store->UpdateTrainStatus(slot, train, 1);
      status.Trains[0] = static_cast<uint16_t>(slot++);
    }
    store->UpdateBlockStatus(b, status, 1);
  }
  DisplayPictures pictures;
  pictures.LoadDisplayResources(false);
  pictures.LoadTrainIcons();
  LayoutPaintState paintState;
  paintState.ShowBlockLengths = 1;
  paintState.LabelFont = LayoutLabelFont();
  LayoutPainter painter(*store, pictures);
  PdfPrinter pdf;
  int64_t pages = 0, cells = 0;
  for (auto _ : state) {
    TTPrintLayout printout(*store, painter, paintState);
    if (!pdf.printer.Print(nullptr, printout)) state.SkipWithError("not printed");
    pages = printout.PageCount;
    cells = int64_t{printout.LayoutWidth} * printout.LayoutHeight;
  }
  state.counters["pages"] = static_cast<double>(pages);
  state.counters["cells"] = static_cast<double>(cells);
}
BENCHMARK(BM_PrintTrackLayoutToPdf)->Unit(benchmark::kMillisecond);

}  // namespace
