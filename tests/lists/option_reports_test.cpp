// The alert parameter and random performance reports printed to PDF and read
// back: the rows in the alerts' slots, their texts, and the text block widened
// by a long header line.
#include "lists/option_reports.h"

#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <sstream>

#include "store/fixed_text.h"
#include "tests/lists/pdf_printer_fixture.h"

namespace {

class OptionReportsTest : public PdfPrinterFixture {
 protected:
  void Alert(int slot, uint8_t enabled, int16_t bells, const char* wave) {
    AlertData alerts = store().GetAlertData();
    alerts.Enabled[slot] = enabled;
    alerts.Bells[slot] = static_cast<uint16_t>(bells);
    std::memset(alerts.WaveFiles[slot], 0, sizeof alerts.WaveFiles[slot]);
    std::strncpy(alerts.WaveFiles[slot], wave, sizeof alerts.WaveFiles[slot] - 1);
    store().UpdateAlertData(alerts);
  }
  // The page's line that holds the text, or "".
  static std::string LineWith(const std::string& page, const std::string& text) {
    std::stringstream lines(page);
    for (std::string line; std::getline(lines, line);)
      if (line.find(text) != std::string::npos) return line;
    return {};
  }
};

// Exposes where the text block lies on the page.
struct AlertProbe : TTPrintAlertPar {
  using TTabularPrintout::Margin;
  using TTPrintAlertPar::TTPrintAlertPar;
};

TEST_F(OptionReportsTest, AlertReportPrintsEveryAlertFromItsOwnSlot) {
  for (int slot = 0; slot < kAlertKinds; ++slot) Alert(slot, 0, 1, "");
  Alert(0, 1, 3, "arrived.wav");
  Alert(10, 1, 77, "unused.wav");  // no row shows the slot without an alert of its own
  Alert(11, 1, -2, "warning.wav");
  Alert(12, 0, 0, "expired.wav");
  Alert(9, 1, 1, "a-very-long-sound-file-name-that-runs-past-its-column.wav");

  TTPrintAlertPar report(store());
  const auto pages = Print(report);
  ASSERT_EQ(pages.size(), 1u) << "one page, whatever is asked";
  EXPECT_FALSE(report.HasPage(2));
  const std::string& page = pages[0];
  EXPECT_NE(page.find("Alert Parameters"), std::string::npos);
  const std::string headings = LineWith(page, "Alerts");
  EXPECT_NE(headings.find("Bells"), std::string::npos);
  EXPECT_NE(headings.find("Sound Files"), std::string::npos);

  for (const char* name : {"Train arrived on territory", "Train stopped waiting signal",
                           "Train stopped - detector alarm", "Train stopped - train problem", "Train stopped - derail",
                           "Block permit (Time & Track) active", "Late station arrival", "Locomotive problem",
                           "Block permit (Time & Track) complete", "Slow order active", "Crew Warning", "Crew Expired"})
    EXPECT_NE(LineWith(page, name), "") << name;

  struct Row {
    const char* name;
    const char* cells[3];
  };
  const Row rows[] = {
      {"Train arrived on territory", {"Yes", " 3", "arrived.wav"}},
      {"Crew Warning", {"Yes", "-2", "warning.wav"}},
      {"Crew Expired", {"No", " 0", "expired.wav"}},
  };
  for (const Row& row : rows) {
    const std::string line = LineWith(page, row.name);
    for (const char* cell : row.cells) EXPECT_NE(line.find(cell), std::string::npos) << row.name << ": " << line;
  }
  EXPECT_EQ(page.find("77"), std::string::npos);
  EXPECT_EQ(page.find("unused.wav"), std::string::npos);
  const std::string slow = LineWith(page, "Slow order active");
  EXPECT_NE(slow.find("a-very-long-sound"), std::string::npos) << slow;
  EXPECT_EQ(slow.find("column.wav"), std::string::npos) << "cut at its column's edge: " << slow;
  EXPECT_TRUE(errors.empty());
}

TEST_F(OptionReportsTest, ALongHeaderLineWidensTheTextBlock) {
  QPrinter& device = printer.Device();
  // Landscape, so that the report's own cells leave a margin.
  device.setPageOrientation(QPageLayout::Landscape);
  auto marginWith = [&](const std::string& path) {
    SetFieldText(store().TrackFilePath, kPathChars, path.c_str());
    AlertProbe probe(store());
    QPainter dc(&device);
    probe.SetPrintParams(dc, device.pageLayout().paintRectPixels(device.resolution()).size());
    dc.end();
    return probe.Margin();
  };
  const int narrow = marginWith("/t.trk");
  const int wide = marginWith("/territories/" + std::string(90, 'w') + ".trk");
  EXPECT_GT(narrow, 0);
  EXPECT_LT(wide, narrow);
  EXPECT_EQ(marginWith("/territories/" + std::string(220, 'w') + ".trk"), 0) << "the block reaches the page edges";
}

TEST_F(OptionReportsTest, RandomPerformancePrintsItsHeadings) {
  TTPrintRandom report(store());
  EXPECT_EQ(report.Title(), "Random Peformance");
  const auto pages = Print(report);
  ASSERT_EQ(pages.size(), 1u);
  const std::string& page = pages[0];
  EXPECT_NE(page.find("Random Performance"), std::string::npos);
  EXPECT_NE(page.find("TRAIN TYPES"), std::string::npos);
  EXPECT_TRUE(std::regex_search(page, std::regex("\\n *1 +2 +3 +4 *\\n"))) << page;
  EXPECT_NE(page.find("Run time performance (percentage deviation)"), std::string::npos);
}

}  // namespace
