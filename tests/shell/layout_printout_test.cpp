// The track layout printout on a PDF printer with 7.5 x 10 inches to print
// on: how many pages the drawing takes at both sizes, the state colours on a
// colour and a grey-scale printer, and the train IDs at full size only.
#include "shell/layout_printout.h"

#include <gtest/gtest.h>

#include <QPageLayout>
#include <QPageSize>
#include <array>
#include <string>
#include <vector>

#include "shell/display_pictures.h"
#include "shell/picture_art.h"
#include "store/fixed_text.h"
#include "tests/lists/pdf_printer_fixture.h"
#include "tools/territory/demo_territory.h"
#include "tools/territory/territory_builder.h"

namespace {

using namespace art;

class LayoutPrintoutTest : public PdfPrinterFixture {
 protected:
  LayoutPrintoutTest() {
    printer.Device().setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                               QMarginsF(0.5, 0.5, 0.5, 0.5), QPageLayout::Inch));
    pictures_.LoadDisplayResources(false);
    pictures_.LoadTrainIcons();
    state_.LabelFont = LayoutLabelFont();
  }

  // A printout measured for the printer, as a job would measure it.
  std::unique_ptr<TTPrintLayout> Measured() {
    auto printout = std::make_unique<TTPrintLayout>(store(), painter_, state_);
    QPrinter& device = printer.Device();
    QPainter dc(&device);
    printout->SetPrintParams(dc, device.pageLayout().paintRectPixels(device.resolution()).size());
    dc.end();
    return printout;
  }
  // A territory of blocks, each (first column, last column, row); their numbers.
  std::vector<int> Blocks(std::initializer_list<std::array<int, 3>> spans) {
    territory::TerritoryBuilder builder(store());
    std::vector<int> blocks;
    for (const auto& [from, to, row] : spans) {
      const std::string name = "B" + std::to_string(blocks.size());
      blocks.push_back(builder.Block({.Name = name, .From = {from, row}, .To = {to, row}}));
    }
    builder.TrainType("Passenger");
    builder.Finish();
    store().InitSimulationStatus();
    return blocks;
  }
  void Occupy(int block, int occupancy) {
    BlockStatus status = store().GetBlockStatus(block);
    status.Occupancy = static_cast<int16_t>(occupancy);
    store().UpdateBlockStatus(block, status, 1);
  }
  static int Count(const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) n += (image.pixel(x, y) | 0xFF000000) == colour;
    return n;
  }

  DisplayPictures pictures_;
  LayoutPainter painter_{store(), pictures_};
  LayoutPaintState state_;
};

TEST_F(LayoutPrintoutTest, TheDrawingIsTiledOverPagesAcrossThenDown) {
  // 7.5 x 10 inches hold 46 x 62 cells at full size and 93 x 125 at half size.
  struct Case {
    const char* name;
    int lastColumn;  // -1: an empty territory
    int zoom;
    int width, pageWidth, across, down;
  };
  const Case cases[] = {
      {"empty territory", -1, 1, 2, 46, 1, 1},
      {"one page and a bit", 50, 1, 52, 46, 2, 1},
      {"exactly two page widths", 90, 1, 92, 46, 3, 1},
      {"the same at half size", 90, 2, 92, 93, 1, 1},
  };
  for (const Case& c : cases) {
    store().InitTerritoryData();
    if (c.lastColumn >= 0) Blocks({{c.lastColumn - 5, c.lastColumn, 3}});
    store().ZoomDivisor = static_cast<uint8_t>(c.zoom);
    auto printout = Measured();
    EXPECT_EQ(printout->LayoutWidth, c.width) << c.name;
    EXPECT_EQ(printout->PageWidth, c.pageWidth) << c.name;
    EXPECT_EQ(printout->PagesAcross, c.across) << c.name;
    EXPECT_EQ(printout->PagesDown, c.down) << c.name;
    EXPECT_TRUE(printer.Print(nullptr, *printout));
    EXPECT_EQ(PdfPageCount(Pdf().toStdString()), c.across * c.down) << c.name;
  }
  EXPECT_TRUE(errors.empty());
}

TEST_F(LayoutPrintoutTest, LabelsAndPicturesWidenTheDrawing) {
  TextData text = store().GetTextData(0);
  SetFieldText(text.Text, "Far label");
  text.Words100[0] = 900;
  text.Words100[1] = 1200;
  text.Words100[2] = 100;
  text.Words100[3] = 20;
  store().UpdateTextData(0, text);
  const auto printout = Measured();
  EXPECT_EQ(printout->LayoutWidth, 1000 / 16 + 1 + 2);
  EXPECT_EQ(printout->LayoutHeight, 1220 / 16 + 1 + 2);
}

TEST_F(LayoutPrintoutTest, TheDemonstrationTerritoryAtBothSizes) {
  territory::BuildDemonstrationTerritory(store());
  store().InitSimulationStatus();
  struct Case {
    int zoom;
    size_t pages;
  };
  for (const Case c : {Case{1, 5}, Case{2, 3}}) {
    store().ZoomDivisor = static_cast<uint8_t>(c.zoom);
    auto printout = Measured();
    EXPECT_TRUE(printer.Print(nullptr, *printout));
    EXPECT_EQ(PdfPageCount(Pdf().toStdString()), c.pages) << "zoom " << c.zoom;
  }
}

TEST_F(LayoutPrintoutTest, StateColoursInColourAndOnAGreyScalePrinter) {
  const auto blocks = Blocks({{2, 12, 3}, {20, 30, 6}});
  Occupy(blocks[0], 3);
  Occupy(blocks[1], 1);
  auto printout = Measured();
  QImage page = printout->PageImage(1, false);
  EXPECT_GT(Count(page, kRed), 0) << "occupied";
  EXPECT_GT(Count(page, kBrightGreen), 0) << "cleared";

  page = printout->PageImage(1, true);
  EXPECT_EQ(Count(page, kRed) + Count(page, kBrightGreen), 0);
  EXPECT_GT(Count(page, kBlack), 0);

  OptionData options = store().GetOptionData();
  options.ClassicDisplay = 1;
  store().UpdateOptionData(options);
  page = printout->PageImage(1, true);
  EXPECT_EQ(Count(page, kRed) + Count(page, kBrightGreen), 0);
  EXPECT_GT(Count(page, kWhite), 0) << "the track in white on black";

  // The grey-scale printer is asked for through the printer's colour mode.
  printer.Device().setColorMode(QPrinter::GrayScale);
  EXPECT_TRUE(printer.Print(nullptr, *Measured()));
  EXPECT_EQ(PdfPageCount(Pdf().toStdString()), 1);
  EXPECT_TRUE(errors.empty());
}

TEST_F(LayoutPrintoutTest, TrainIdsPrintAtFullSizeOnly) {
  const int block = Blocks({{2, 12, 3}})[0];
  TrainStatus train{};
  train.InUse = 1;
  train.TrainIndex = -1;
  SetFieldText(train.TrainId, "Q417");
  train.HeadBlock = static_cast<int16_t>(block);
  train.RearBlock = static_cast<int16_t>(block);
  store().UpdateTrainStatus(0, train, 1);
  BlockStatus status = store().GetBlockStatus(block);
  status.Occupancy = 3;
  status.Trains[0] = 0;
  store().UpdateBlockStatus(block, status, 1);

  auto pages = Print(*Measured());
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_NE(pages[0].find("Q417"), std::string::npos);

  store().ZoomDivisor = 2;
  pages = Print(*Measured());
  EXPECT_EQ(PdfPageCount(Pdf().toStdString()), 1);
  for (const auto& page : pages) EXPECT_EQ(page.find("Q417"), std::string::npos);
}

}  // namespace
