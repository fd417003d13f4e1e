// The track data report printed to a PDF file and read back: the names of
// blocks with unnamed ends, connectors left out, the speeds (or running times)
// of the first four train types and the switches' diverging speeds.
#include "lists/track_report.h"

#include <gtest/gtest.h>

#include <cstring>

#include "store/fixed_text.h"
#include "tests/lists/pdf_printer_fixture.h"
#include "tools/territory/demo_territory.h"

namespace {

bool Has(const std::string& page, const std::string& text) { return page.find(text) != std::string::npos; }

class TrackReportTest : public PdfPrinterFixture {
 protected:
  BlockData Block(const char* a, const char* b, const char* c) {
    BlockData block{};
    block.InUse = 1;
    SetFieldText(block.TrackStation1, a);
    SetFieldText(block.TrackStation2, b);
    SetFieldText(block.TrackPart, c);
    std::memset(reinterpret_cast<char*>(&block) + 45, 0xFF, 240);  // no speeds, no running times
    return block;
  }
  // One of the block's per-type arrays: speeds from +45, running times from +165, left then right for none,
  // one and two blocks cleared ahead.
  static void Set(BlockData& block, size_t offset, int type, int16_t value) {
    std::memcpy(reinterpret_cast<char*>(&block) + offset + 2 * static_cast<size_t>(type), &value, 2);
  }
  void Mode(bool speeds, bool perMinute) {
    TerritoryOptions options = store().GetTerritoryOptions();
    options.RunTimeSource = speeds ? 1 : 0;
    options.RunTimeUnit = perMinute ? 1 : 0;
    store().UpdateTerritoryOptions(options);
  }
  // The printed line that starts with a track name.
  static std::string LineOf(const std::string& page, const std::string& name) {
    const size_t at = page.find(name);
    if (at == std::string::npos) return {};
    return page.substr(at, page.find('\n', at) - at);
  }
};

TEST(TrackNameTextTest, UnnamedEndsShowAQuestionMark) {
  struct Case {
    const char *A, *B, *Text;
  } cases[] = {{"WY", "EY", "WY to EY Main 1"},
               {"", "EY", "? to EY Main 1"},
               {"WY", "", "WY to ? Main 1"},
               {"", "", "? to ? Main 1"}};
  for (const Case& c : cases) {
    BlockData block{};
    SetFieldText(block.TrackStation1, c.A);
    SetFieldText(block.TrackStation2, c.B);
    SetFieldText(block.TrackPart, "Main 1");
    EXPECT_EQ(TrackNameText(block).toStdString(), c.Text);
  }
}

TEST_F(TrackReportTest, BlocksAndSwitchesWithTheirSpeedsConnectorsLeftOut) {
  Mode(/*speeds=*/true, false);
  BlockData main = Block("WY", "EY", "Main");
  main.SignalledLeft = main.SignalledRight = 1;
  main.Length = 5280;
  SetFieldText(main.PlatformName, "Alder");
  Set(main, 45, 0, 45);   // type 1, none cleared, left
  Set(main, 65, 0, 35);   // and right: the lower shows
  Set(main, 85, 1, 50);   // type 2, one cleared, left only
  Set(main, 145, 3, 70);  // type 4, two cleared, right only
  store().UpdateBlockData(0, main);
  BlockData connector = Block("CX", "CY", "Link");
  connector.PassThrough = 1;
  store().UpdateBlockData(1, connector);
  SwitchData sw = store().GetSwitchData(4);
  sw.InUse = 1;
  SetFieldText(sw.Name, "SW-East");
  for (int t = 0; t < kMaxTrainTypes; ++t) sw.DivergingSpeed[t] = -1;
  sw.DivergingSpeed[2] = 15;
  store().UpdateSwitchData(4, sw);

  TTPrintTrack printout(store());
  const auto pages = Print(printout);
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_TRUE(Has(pages[0], "Track Data - Block Information"));
  EXPECT_FALSE(Has(pages[0], "CX")) << "connectors are not listed";
  const std::string line = LineOf(pages[0], "WY to EY Main");
  EXPECT_TRUE(Has(line, "Both"));
  EXPECT_TRUE(Has(line, "5280"));
  EXPECT_TRUE(Has(line, " 35 "));
  EXPECT_FALSE(Has(line, "45"));
  EXPECT_TRUE(Has(line, " 50 "));
  EXPECT_TRUE(Has(line, " 70 "));
  EXPECT_TRUE(Has(line, "Alder"));
  EXPECT_TRUE(Has(pages[1], "Track Data - Switch Information"));
  EXPECT_TRUE(Has(LineOf(pages[1], "SW-East"), "15"));
  EXPECT_TRUE(Has(pages[1], "Page 2"));
}

TEST_F(TrackReportTest, RunningTimesInRunTimeModeAndEmptySectionsKeepAPage) {
  Mode(/*speeds=*/false, /*perMinute=*/true);
  BlockData block = Block("", "", "Siding");
  Set(block, 45, 0, 40);    // a speed: not shown in run-time mode
  Set(block, 165, 0, 90);   // 90 seconds, shown as whole minutes
  Set(block, 185, 0, 150);  // the longer time shows
  store().UpdateBlockData(7, block);
  TTPrintTrack printout(store());
  const auto pages = Print(printout);
  ASSERT_EQ(pages.size(), 2u);
  const std::string line = LineOf(pages[0], "? to ? Siding");
  EXPECT_TRUE(Has(line + " ", " 2 ")) << line;
  EXPECT_FALSE(Has(line, "40"));
  EXPECT_TRUE(Has(pages[1], "Track Data - Switch Information")) << "no switches: the section's page still prints";
}

// The demonstration territory's report shows the speeds its blocks allow with none, one and two blocks
// cleared ahead, not entered running times.
TEST_F(TrackReportTest, TheDemonstrationTerritoryPrintsItsBlockSpeeds) {
  territory::BuildDemonstrationTerritory(store());
  TTPrintTrack printout(store());
  const auto pages = Print(printout);
  ASSERT_FALSE(pages.empty());
  const std::string line = LineOf(pages[0], "WE to AF 1");
  ASSERT_FALSE(line.empty());
  EXPECT_TRUE(Has(line, " 30 ")) << line;
  EXPECT_TRUE(Has(line, " 45 ")) << line;
  EXPECT_TRUE(Has(line, " 60 ")) << line;
  const std::string branch = LineOf(pages[0], "BR to JN Branch");
  EXPECT_TRUE(Has(branch, " 15 ") && Has(branch, " 20 ") && Has(branch, " 30 ")) << branch;
}

}  // namespace
