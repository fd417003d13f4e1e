// The slow order and block permit reports, printed to PDF files and read
// back: the page's top and foot, the lines per slow order, the page breaks,
// and the printer's refusals.
#include "lists/printouts.h"

#include <gtest/gtest.h>

#include "store/wall_clock.h"
#include "tests/lists/pdf_printer_fixture.h"

namespace {

// 22:35:05 local time on 7 December 2026.
std::time_t FixedNow() {
  std::tm when{};
  when.tm_year = 126;
  when.tm_mon = 11;
  when.tm_mday = 7;
  when.tm_hour = 22;
  when.tm_min = 35;
  when.tm_sec = 5;
  when.tm_isdst = -1;
  return std::mktime(&when);
}

class PrintoutTest : public PdfPrinterFixture {
 protected:
  PrintoutTest() {
    SetWallClockSource(FixedNow);
    SetFieldText(store().TrackFilePath, kPathChars, "/home/dispatcher/Alder Valley.trk");
  }
  ~PrintoutTest() override { SetWallClockSource(nullptr); }

  void TrainType(int slot, const char* name) {
    ::TrainType type = store().GetTrainType(slot);
    type.InUse = 1;
    SetFieldText(type.Name, name);
    store().UpdateTrainType(slot, type);
  }
  int SlowOrder(const char* where, bool permanent) {
    const int slot = store().FindFreeSlowData(1);
    SlowData order = store().GetSlowData(slot);
    order.InUse = 1;
    SetFieldText(order.Location, where);
    order.Permanent = permanent ? 1 : 0;
    order.StartMinutes = 7 * 60 + 5;
    order.EndMinutes = 18 * 60;
    for (int type = 0; type < kMaxTrainTypes; ++type) {
      order.SpeedsFirst[type] = static_cast<int16_t>(10 + type);
      order.SpeedsSecond[type] = static_cast<int16_t>(20 + type);
    }
    store().UpdateSlowData(slot, order);
    return slot;
  }
  int Permit(const std::string& track) {
    const int slot = store().FindFreePermitData(1);
    PermitData permit = store().GetPermitData(slot);
    permit.InUse = 1;
    SetFieldText(permit.TrackName, track);
    permit.StartMinutes = 9 * 60;
    permit.EndMinutes = 1 * 60 + 30;
    permit.Days[1] = permit.Days[3] = 1;
    SetFieldText(permit.Requestor, "Track Foreman");
    SetFieldText(permit.Reason, "Rail grinding");
    store().UpdatePermitData(slot, permit);
    return slot;
  }
  // The lines a report of these fonts has room for on the page.
  int PermitLinesPerPage() {
    TTPrintPermit probe(store(), {-1});
    return LinesPerPage(probe);
  }
};

TEST(PrintDateTimeTest, MonthNameDayYearAndATwelveHourClock) {
  struct Case {
    int Hour, Minute, Second;
    const char* Text;
  } cases[] = {{22, 35, 5, "December 7, 2026 10:35:05 pm"},
               {9, 5, 0, "December 7, 2026 9:05:00 am"},
               {12, 0, 59, "December 7, 2026 12:00:59 pm"},
               {0, 15, 0, "December 7, 2026 0:15:00 am"}};
  for (const Case& c : cases) {
    std::tm when{};
    when.tm_year = 126;
    when.tm_mon = 11;
    when.tm_mday = 7;
    when.tm_hour = c.Hour;
    when.tm_min = c.Minute;
    when.tm_sec = c.Second;
    EXPECT_EQ(PrintDateTime(when), c.Text);
  }
}

TEST_F(PrintoutTest, SlowOrdersPrintTheTopTheHeadingsALinePerTrainTypeAndTheFooter) {
  TrainType(0, "Passenger");
  TrainType(2, "Freight");
  TrainType(5, "Work Train");
  const int timed = SlowOrder("Block 12", false);
  const int permanent = SlowOrder("Track AA-BB Main", true);
  SlowData noDays = store().GetSlowData(permanent);
  std::fill(std::begin(noDays.Days), std::end(noDays.Days), uint8_t{0});
  store().UpdateSlowData(permanent, noDays);
  SlowData days = store().GetSlowData(timed);
  days.Days[0] = days.Days[6] = 1;
  store().UpdateSlowData(timed, days);

  // The list's order, which is not the slot order.
  TTPrintSlow printout(store(), OrderListOf({permanent, timed}, kMaxSlowData));
  const auto pages = Print(printout);
  ASSERT_EQ(pages.size(), 1u);
  const std::string& page = pages[0];
  EXPECT_NE(page.find("Slow Orders"), std::string::npos);
  EXPECT_NE(page.find("/home/dispatcher/Alder Valley.trk    December 7, 2026 10:35:05 pm"), std::string::npos);
  for (const char* heading : {"No.", "Track/Block/Switch", "Permanent", "From", "To", "Days of Week", "Train Type",
                              "Left", "Right", "Time", "Speed"}) {
    EXPECT_NE(page.find(heading), std::string::npos) << heading;
  }
  EXPECT_NE(page.find("Page 1"), std::string::npos);
  EXPECT_EQ(Occurrences(page, "Passenger"), 2);
  EXPECT_EQ(Occurrences(page, "Work Train"), 2);
  // Three train types: three lines per order, the first with the order's own fields.
  EXPECT_LT(page.find("001"), page.find("000"));
  const size_t permanentAt = page.find("001");
  const std::string permanentLine = page.substr(permanentAt, page.find('\n', permanentAt) - permanentAt);
  EXPECT_NE(permanentLine.find("Track AA-BB Main"), std::string::npos);
  EXPECT_NE(permanentLine.find("Yes"), std::string::npos);
  EXPECT_EQ(permanentLine.find("07:05"), std::string::npos);  // a permanent order has no times
  EXPECT_NE(permanentLine.find("Passenger"), std::string::npos);
  EXPECT_NE(permanentLine.find("10"), std::string::npos);
  const size_t timedAt = page.find("000");
  const std::string timedLine = page.substr(timedAt, page.find('\n', timedAt) - timedAt);
  for (const char* text : {"Block 12", "No", "07:05", "18:00", "SuSa", "Passenger"}) {
    EXPECT_NE(timedLine.find(text), std::string::npos) << text;
  }
  const std::string afterTimed = page.substr(timedAt);
  EXPECT_NE(afterTimed.find("Freight"), std::string::npos);
  EXPECT_NE(afterTimed.find("25"), std::string::npos);  // the right speed of type 5
  EXPECT_TRUE(errors.empty());
}

TEST_F(PrintoutTest, AnEmptyListPrintsOnePageWithItsTopAndFooter) {
  // No train type in use either: the estimate still comes to one page.
  TTPrintSlow slow(store(), {-1});
  const auto slowPages = Print(slow);
  ASSERT_EQ(slowPages.size(), 1u);
  EXPECT_NE(slowPages[0].find("Track/Block/Switch"), std::string::npos);
  EXPECT_NE(slowPages[0].find("Page 1"), std::string::npos);

  TTPrintPermit permits(store(), {-1});
  const auto permitPages = Print(permits);
  ASSERT_EQ(permitPages.size(), 1u);
  EXPECT_NE(permitPages[0].find("Block Permits"), std::string::npos);
  EXPECT_NE(permitPages[0].find("Requestor"), std::string::npos);
  EXPECT_EQ(permitPages[0].find("Track Foreman"), std::string::npos);
}

TEST_F(PrintoutTest, WithoutATrainTypeEachSlowOrderStillTakesALine) {
  std::vector<int32_t> order;
  for (const char* where : {"Block 1", "Block 2", "Block 3"}) order.push_back(SlowOrder(where, true));
  TTPrintSlow printout(store(), OrderListOf(order, kMaxSlowData));
  const auto pages = Print(printout);
  ASSERT_EQ(pages.size(), 1u);
  for (const char* line : {"000", "001", "002"}) EXPECT_EQ(Occurrences(pages[0], line), 1) << line;
  EXPECT_LT(pages[0].find("Block 1"), pages[0].find("Block 2"));
  EXPECT_NE(pages[0].find("Block 2"), pages[0].rfind("Block 1"));
}

TEST_F(PrintoutTest, PermitsBreakAfterOneMoreThanTheLinesOfAPage) {
  const int lines = PermitLinesPerPage();
  ASSERT_GT(lines, 5);
  ASSERT_LE(lines + 2, kMaxPermitData);
  std::vector<int32_t> all;
  for (int i = 0; i < lines + 2; ++i) all.push_back(Permit("Track " + std::to_string(1000 + i)));

  struct Case {
    int Permits;
    size_t Pages;
    int OnPage1;
  } cases[] = {{lines, 2, lines}, {lines + 1, 2, lines + 1}, {lines + 2, 2, lines + 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Permits);
    // Printed in the list's order: the last permit of the list first.
    std::vector<int32_t> order(all.begin(), all.begin() + c.Permits);
    std::reverse(order.begin(), order.end());
    TTPrintPermit printout(store(), OrderListOf(order, kMaxPermitData));
    const auto pages = Print(printout);
    ASSERT_EQ(pages.size(), c.Pages);
    EXPECT_EQ(Occurrences(pages[0], "Track Foreman"), c.OnPage1);
    EXPECT_EQ(Occurrences(pages[1], "Track Foreman"), c.Permits - c.OnPage1);
    EXPECT_NE(pages[1].find("Block Permits"), std::string::npos);
    EXPECT_NE(pages[1].find("Page 2"), std::string::npos);
    EXPECT_LT(pages[0].find("Track " + std::to_string(1000 + c.Permits - 1)), pages[0].find("Track 1000"));
    if (c.Permits == lines + 2) {
      EXPECT_NE(pages[1].find("Track 1000"), std::string::npos);
    }
  }
}

TEST_F(PrintoutTest, ASlowOrderPageHoldsTheLinesDividedByTheTrainTypes) {
  TrainType(0, "Passenger");
  TrainType(1, "Freight");
  TrainType(2, "Local");
  const int perPage = PermitLinesPerPage() / 3;  // the same fonts and page: the same lines
  std::vector<int32_t> all;
  for (int i = 0; i < 2 * perPage + 1; ++i) all.push_back(SlowOrder(("Block " + std::to_string(i)).c_str(), true));
  struct Case {
    int Orders;
    std::vector<int> PerPage;
  } cases[] = {{perPage, {perPage, 0}}, {perPage + 1, {perPage, 1}}, {2 * perPage + 1, {perPage, perPage, 1}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Orders);
    TTPrintSlow printout(store(), OrderListOf({all.begin(), all.begin() + c.Orders}, kMaxSlowData));
    const auto pages = Print(printout);
    ASSERT_EQ(pages.size(), c.PerPage.size());
    for (size_t page = 0; page < pages.size(); ++page) {
      EXPECT_EQ(Occurrences(pages[page], "Yes"), c.PerPage[page]) << page;
      EXPECT_EQ(Occurrences(pages[page], "Local"), c.PerPage[page]) << page;
      EXPECT_NE(pages[page].find("Page " + std::to_string(page + 1)), std::string::npos);
    }
  }
}

TEST_F(PrintoutTest, ThePrinterRefusesWithoutAPrinterAndWhenTheFileCannotBeWritten) {
  TTPrintSlow printout(store(), {-1});
  printer.Device().setOutputFileName("");
  EXPECT_FALSE(printer.Print(nullptr, printout));
  printer.Device().setOutputFileName(QString::fromStdString((folder() / "missing" / "report.pdf").string()));
  EXPECT_FALSE(printer.Print(nullptr, printout));
  EXPECT_EQ(errors,
            (std::vector<std::string>{"Print Error: Cannot print without a default printer.",
                                      "Print Error: 'Slow Orders' not printed. Error encountered during print."}));
}

}  // namespace
