// The performance window and its report: the TOTAL row over the raw sums,
// the trains by ID, the units, every running slot listed, and the pages.
#include "lists/performance.h"

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QTableView>

#include "tests/lists/pdf_printer_fixture.h"

namespace {

class PerformanceTest : public PdfPrinterFixture {
 protected:
  PerformanceTest() { Units(1); }

  void Units(uint8_t units) {
    TerritoryOptions options = store().GetTerritoryOptions();
    options.Units = units;
    store().UpdateTerritoryOptions(options);
  }
  // A running train with its counters: distance, then stop, lost and late departure seconds.
  void Train(int slot, const char* id, int32_t distance, int32_t stop = 0, int32_t lost = 0, int32_t late = 0,
             int16_t lateCount = 0, int16_t missed = 0) {
    TrainStatus train = store().GetTrainStatus(slot);
    train.InUse = 1;
    SetFieldText(train.TrainId, id);
    train.Distance = distance;
    train.TotalStopTime = stop;
    train.TotalLostTime = lost;
    train.TotalLateDeparture = late;
    train.LateDepartures = lateCount;
    train.MissedExits = missed;
    store().UpdateTrainStatus(slot, train, 1);
  }
  std::vector<std::vector<std::string>> Shown(TPerformWindow& window) {
    window.show();
    const QAbstractItemModel* model = window.List()->model();
    std::vector<std::vector<std::string>> rows;
    for (int row = 0; row < model->rowCount(); ++row) {
      std::vector<std::string> texts;
      for (int column = 0; column < model->columnCount(); ++column)
        texts.push_back(model->index(row, column).data().toString().toStdString());
      rows.push_back(texts);
    }
    return rows;
  }
  int PerformLinesPerPage() {
    TTPrintPerform probe(store(), {-1});
    return LinesPerPage(probe);
  }
};

using Rows = std::vector<std::vector<std::string>>;

TEST_F(PerformanceTest, TheTotalRowComesFirstOverTheRawSumsAndTrainsFollowByID) {
  Train(0, "B20", 5279, 125, 3600, 59, 2, 1);
  Train(2, "A10", 3000, 60, 61, 120, 1, 0);
  Train(4, "C30", 3000);
  TPerformWindow window(store(), nullptr);
  EXPECT_EQ(window.windowTitle(), "Performance Data");
  const QAbstractItemModel* model = window.List()->model();
  EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), "Miles");
  // 11279 feet run in all is 2 miles, though the rows come to 0 + 0 + 0.
  EXPECT_EQ(Shown(window), (Rows{{"TOTAL", "2", "3", "61", "2", "3", "1"},
                                 {"A10", "0", "1", "1", "2", "1", "0"},
                                 {"B20", "0", "2", "60", "0", "2", "1"},
                                 {"C30", "0", "0", "0", "0", "0", "0"}}));
}

TEST_F(PerformanceTest, WithoutTrainsOnlyTheTotalOfZerosAndAMetricTerritoryInKilometres) {
  Units(0);
  {
    TPerformWindow empty(store(), nullptr);
    EXPECT_EQ(Shown(empty), (Rows{{"TOTAL", "0", "0", "0", "0", "0", "0"}}));
  }
  Train(1, "M1", 2500);
  TPerformWindow window(store(), nullptr);
  EXPECT_EQ(window.List()->model()->headerData(1, Qt::Horizontal).toString(), "Kilometers");
  EXPECT_EQ(Shown(window)[1], (std::vector<std::string>{"M1", "2", "0", "0", "0", "0", "0"}));
}

TEST_F(PerformanceTest, EveryRunningSlotTheTotalCountsHasItsRow) {
  // One scheduled train that split in two: two running slots, one train in the territory.
  CountData counts = store().GetCountData();
  counts.Words[kCountTrains] = 1;
  store().UpdateCountData(counts);
  Train(0, "401", 5280);
  Train(1, "401A", 5280);
  TPerformWindow window(store(), nullptr);
  const Rows rows = Shown(window);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0][1], "2");
  EXPECT_EQ(rows[2][0], "401A");
}

TEST_F(PerformanceTest, TheReportPrintsTheTotalFirstAndEndsWithAPageOfHeadingsWhenTrainsFillPageOne) {
  const int lines = PerformLinesPerPage();
  ASSERT_GT(lines, 5);
  ASSERT_LT(lines, 100);  // the IDs below stay "T0nn"
  for (int slot = 0; slot < lines; ++slot) Train(slot, QString::asprintf("T%03d", slot).toStdString().c_str(), 5280);
  TPerformWindow window(store(), nullptr);
  window.show();
  TTPrintPerform printout(store(), window.RowTable());
  const auto pages = Print(printout);
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_NE(pages[0].find("Train Performance Data"), std::string::npos);
  for (const char* heading :
       {"Train ID.", "Miles", "Stop Time", "Lost Time", "Late Departure Time", "Late Departures", "Missed Exits"}) {
    EXPECT_NE(pages[0].find(heading), std::string::npos) << heading;
  }
  const size_t total = pages[0].find("TOTAL");
  ASSERT_NE(total, std::string::npos);
  EXPECT_LT(total, pages[0].find("T000"));
  EXPECT_NE(pages[0].find(std::to_string(lines)), std::string::npos);  // the total distance in miles
  EXPECT_EQ(Occurrences(pages[0], "T0"), lines);
  EXPECT_EQ(Occurrences(pages[1], "T0"), 0);
  EXPECT_NE(pages[1].find("Missed Exits"), std::string::npos);
  EXPECT_NE(pages[1].find("Page 2"), std::string::npos);
  EXPECT_TRUE(errors.empty());
}

}  // namespace
