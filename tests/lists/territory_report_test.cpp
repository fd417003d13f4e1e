// The territory data and alert list reports printed to PDF files and read
// back: the labelled fields and their line bands, the comments file over as
// many pages as it takes, and alert pages of one line over the page's lines.
#include "lists/territory_report.h"

#include <gtest/gtest.h>

#include <QPageSize>
#include <cstring>
#include <fstream>
#include <sstream>

#include "store/fixed_text.h"
#include "tests/lists/pdf_printer_fixture.h"

namespace {

bool Has(const std::string& page, const std::string& text) { return page.find(text) != std::string::npos; }

class TerritoryReportTest : public PdfPrinterFixture {
 protected:
  TerritoryData Territory(const std::string& comments) {
    TerritoryData data = store().GetTerritoryData();
    SetFieldText(data.Name, "Alder Valley");
    SetFieldText(data.Address, "12 Depot Road\nAlder\nNorth Province");
    SetFieldText(data.CopyrightNotice, "");
    SetFieldText(data.CommentsFile, comments);
    data.PublicDomain = 1;
    return data;
  }
  std::string Path(const std::string& name) const { return (folder() / name).string(); }
  // The lines of a page, trimmed.
  static std::vector<std::string> LinesOf(const std::string& page) {
    std::vector<std::string> lines;
    std::stringstream in(page);
    for (std::string line; std::getline(in, line);) {
      const size_t first = line.find_first_not_of(' ');
      lines.push_back(first == std::string::npos ? "" : line.substr(first));
    }
    return lines;
  }
  static size_t LineStarting(const std::vector<std::string>& lines, const std::string& start) {
    for (size_t i = 0; i < lines.size(); ++i) {
      if (lines[i].rfind(start, 0) == 0) return i;
    }
    return std::string::npos;
  }
};

TEST_F(TerritoryReportTest, FieldsTakeTheirBandsAndTheCommentsRunOverFurtherPages) {
  std::ofstream(Path("comments.txt")) << [] {
    std::string text;
    for (int i = 1; i <= 150; ++i) text += "Comment line " + std::to_string(1000 + i) + "\n";
    return text;
  }();
  TTPrintTerritory printout(store(), Territory(Path("comments.txt")));
  const auto pages = Print(printout);
  ASSERT_GE(pages.size(), 3u);
  const auto first = LinesOf(pages[0]);
  EXPECT_EQ(first[0], "Territory Data");
  const size_t address = LineStarting(first, "Address:");
  ASSERT_NE(address, std::string::npos);
  EXPECT_TRUE(Has(first[address], "12 Depot Road"));
  EXPECT_EQ(first[address + 1], "Alder");
  EXPECT_EQ(first[address + 2], "North Province");
  EXPECT_EQ(first[address + 3], "");
  EXPECT_EQ(LineStarting(first, "Copyrighted:"), address + 4);
  EXPECT_TRUE(Has(first[address + 4], "No"));
  // An empty notice: its label's line and one empty line.
  const size_t notice = LineStarting(first, "Notice:");
  EXPECT_EQ(first[notice + 1], "");
  EXPECT_EQ(LineStarting(first, "Comments File:"), notice + 2);

  std::string all;
  for (size_t i = 0; i < pages.size(); ++i) {
    EXPECT_EQ(LinesOf(pages[i])[0], "Territory Data") << i;
    if (i > 0) {
      EXPECT_FALSE(Has(pages[i], "Name:")) << i;
    }
    all += pages[i];
  }
  for (int i = 1; i <= 150; ++i) EXPECT_EQ(Occurrences(all, "Comment line " + std::to_string(1000 + i)), 1) << i;
  EXPECT_TRUE(Has(pages.back(), "Comment line 1150"));
}

TEST_F(TerritoryReportTest, ACommentsFileThatCannotBeReadLeavesTheFields) {
  TTPrintTerritory printout(store(), Territory(Path("missing.txt")));
  const auto pages = Print(printout);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_TRUE(Has(pages[0], "Alder Valley"));
  EXPECT_TRUE(printout.CommentLines().isEmpty());
  EXPECT_TRUE(errors.empty());
}

TEST_F(TerritoryReportTest, AnAlertPageHoldsOneLineOverThePagesLinesAndTheRestFollows) {
  printer.Device().setPageSize(QPageSize(QSizeF(150, 120), QPageSize::Millimeter));
  for (int i = 0; i < kAlertLines; ++i) {
    auto& line = store().Run.AlertLines[static_cast<size_t>(i)];
    std::snprintf(line.data(), line.size(), "ALERT %04d  08:00 text", i + 1);
  }
  store().Run.AlertLinesUsed = kAlertLines;
  TTPrintAlerts probe(store());
  const int lines = LinesPerPage(probe);
  ASSERT_LT(lines + 1, kAlertLines) << "the page must be short for this test";

  TTPrintAlerts printout(store());
  const auto pages = Print(printout);
  ASSERT_GE(pages.size(), 2u);
  EXPECT_TRUE(Has(pages[0], "Alert List"));
  EXPECT_EQ(Occurrences(pages[0], "ALERT "), lines + 1);
  EXPECT_TRUE(Has(pages[0], "ALERT 0001"));
  std::string all;
  for (const auto& page : pages) all += page;
  EXPECT_EQ(Occurrences(all, "ALERT "), kAlertLines);
  EXPECT_LT(all.find("ALERT 0049"), all.find("ALERT 0050"));
  EXPECT_TRUE(Has(pages[1], "Page 2"));
}

}  // namespace
