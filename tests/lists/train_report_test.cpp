// The train data report printed to a PDF file and read back: its four
// sections and their titles, the line of a train that becomes another, the
// platform groups, whole entry blocks on a page, and a full schedule.
#include "lists/train_report.h"

#include <gtest/gtest.h>

#include <QPageSize>
#include <string>

#include "engine/movement_common.h"
#include "store/fixed_text.h"
#include "tests/lists/pdf_printer_fixture.h"

namespace {

bool Has(const std::string& page, const std::string& text) { return page.find(text) != std::string::npos; }

class TrainReportTest : public PdfPrinterFixture {
 protected:
  TrainData& Train(int slot, const std::string& id) {
    TrainData train = store().GetTrainData(slot);
    train.InUse = 1;
    SetFieldText(train.TrainId, id);
    train.Type = 0xFF;
    train.EntryDirection = 1;
    train.Length = 800;
    train.CrewMinutesWorked = 30;
    SetFieldText(train.Entrance, "E1");
    SetFieldText(train.Exit, "X1");
    train.EntranceMinutes = 6 * 60 + 5;
    train.LinkedTrain = train.BecomesTrain = train.SplitTrain = -1;
    for (TrainStationEntry& stop : train.Stations) stop.Minutes = 0xFFFF;
    for (TrainMultipleEntry& leg : train.Multiple) SetFieldText(leg.NextEntrance, "");
    for (TrainLocalWork& work : train.LocalWork) SetFieldText(work.AreaName, "");
    store().UpdateTrainData(slot, train);
    edited_ = store().GetTrainData(slot);
    return edited_;
  }
  void Save(int slot) { store().UpdateTrainData(slot, edited_); }
  void Platform(int slot, const std::string& name) {
    PlatformData platform = store().GetPlatformData(slot);
    platform.InUse = 1;
    SetFieldText(platform.Name, name);
    store().UpdatePlatformData(slot, platform);
  }
  static void Entry(TrainData& train, int i, const std::string& entrance) {
    SetFieldText(train.Multiple[i].NextEntrance, entrance);
    SetFieldText(train.Multiple[i].LegExit, "X2");
    train.Multiple[i].ReentryMinutes = 12;
    train.Multiple[i].Word19 = 0xFFFF;
  }
  int Lines() {
    TTPrintTrain probe(store(), {-1});
    return LinesPerPage(probe);
  }

  TrainData edited_{};
};

TEST_F(TrainReportTest, EverySectionWithDataPrintsUnderItsTitleAndABecomingTrainGetsItsLine) {
  Platform(0, "Alder");
  Train(3, "NB-7");
  TrainData& first = Train(1, "SB-2");
  first.BecomesTrain = 3;
  first.BecomeMinutes = 15;
  first.ChangePlaceKind = 'P';
  SetFieldText(first.ChangePlaceName, "Alder");
  first.Stations[0].Minutes = 7 * 60 + 30;
  first.Stations[0].DwellSeconds = 45;
  Entry(first, 2, "E5");
  SetFieldText(first.LocalWork[0].AreaName, "Mill Spur");
  first.LocalWork[0].Minutes = 20;
  Save(1);

  TTPrintTrain printout(store(), {1, 3, -1});
  const auto pages = Print(printout);
  ASSERT_EQ(pages.size(), 4u);
  EXPECT_TRUE(Has(pages[0], "Train Data"));
  EXPECT_TRUE(Has(pages[0], "SB-2"));
  EXPECT_TRUE(Has(pages[0], "Unknown"));
  EXPECT_TRUE(Has(pages[0], "NB-7-3")) << "the To Train column names the train it becomes";
  EXPECT_TRUE(Has(pages[0], "becomes \"NB-7-3\" at location \"Alder\" after 15 minutes"));
  EXPECT_LT(pages[0].find("SB-2"), pages[0].find("NB-7 ")) << "the window's order";
  EXPECT_TRUE(Has(pages[1], "Train Data - Station Schedules"));
  EXPECT_TRUE(Has(pages[1], "Alder"));
  EXPECT_TRUE(Has(pages[1], "07:30-045"));
  EXPECT_FALSE(Has(pages[1], "NB-7")) << "a train without departures has no schedule line";
  EXPECT_TRUE(Has(pages[2], "Train Data - Multiple Entries"));
  EXPECT_TRUE(Has(pages[2], "E5"));
  EXPECT_TRUE(Has(pages[2], "Forward"));
  EXPECT_TRUE(Has(pages[3], "Train Data - Local Work Schedule"));
  EXPECT_TRUE(Has(pages[3], "Mill Spur"));
  EXPECT_TRUE(Has(pages[3], "Page 4"));
  EXPECT_TRUE(errors.empty());
}

TEST_F(TrainReportTest, SectionsWithoutDataAreLeftOutAndAnEmptyListHasNoPages) {
  TrainData& only = Train(0, "Local");
  only.SplitTrain = 0;
  only.BecomeMinutes = 5;
  SetFieldText(only.ChangePlaceName, "Yard");
  Save(0);
  TTPrintTrain printout(store(), {0, -1});
  const auto pages = Print(printout);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_FALSE(Has(pages[0], "Station Schedules"));
  EXPECT_TRUE(Has(pages[0], "at location \"Yard\" after 5 minutes splits into \"Local-0\""));
  EXPECT_FALSE(Has(pages[0], "becomes"));

  TTPrintTrain empty(store(), {-1});
  LinesPerPage(empty);
  EXPECT_FALSE(empty.HasPage(1));
}

TEST_F(TrainReportTest, PlatformsComeSevenToAGroupAndGapsAmongTheSlotsLoseNone) {
  // Nine platforms, two of them far apart: two groups, each repeating the train.
  for (int slot : {0, 1, 2, 3, 4, 5, 40, 41, 99}) Platform(slot, "P" + std::to_string(slot));
  TrainData& train = Train(0, "Local");
  train.Stations[99].Minutes = 23 * 60 + 59;
  train.Stations[99].DwellSeconds = 5;
  Save(0);
  TTPrintTrain printout(store(), {0, -1});
  const auto pages = Print(printout);
  const auto sections = printout.PageSections();
  ASSERT_EQ(sections, (std::vector<TTPrintTrain::Section>{TTPrintTrain::TrainTable, TTPrintTrain::StationSchedules,
                                                          TTPrintTrain::StationSchedules}));
  ASSERT_EQ(pages.size(), 3u);
  EXPECT_TRUE(Has(pages[1], "P40"));
  EXPECT_FALSE(Has(pages[1], "23:59"));
  EXPECT_TRUE(Has(pages[1], "Local"));
  EXPECT_TRUE(Has(pages[2], "P41"));
  EXPECT_TRUE(Has(pages[2], "P99"));
  EXPECT_TRUE(Has(pages[2], "23:59-005"));
}

TEST_F(TrainReportTest, ATrainsEntriesStayTogetherOnOnePage) {
  const int lines = Lines();
  // Trains of one entry fill the page to two lines short of full; the next train has three entries.
  const int fillers = lines - 2;
  std::vector<int16_t> order;
  for (int slot = 0; slot < fillers; ++slot) {
    Entry(Train(slot, "F" + std::to_string(slot)), 0, "E1");
    Save(slot);
    order.push_back(static_cast<int16_t>(slot));
  }
  TrainData& three = Train(fillers, "Three");
  Entry(three, 0, "Q1");
  Entry(three, 4, "Q2");
  Entry(three, 9, "Q3");
  Save(fillers);
  order.push_back(static_cast<int16_t>(fillers));
  order.push_back(-1);

  TTPrintTrain printout(store(), order);
  const auto pages = Print(printout);
  const auto sections = printout.PageSections();
  ASSERT_EQ(pages.size(), sections.size());
  int withThree = -1;
  for (size_t i = 0; i < pages.size(); ++i) {
    if (sections[i] == TTPrintTrain::MultipleEntries && Has(pages[i], "Q1")) withThree = static_cast<int>(i);
  }
  ASSERT_GE(withThree, 0);
  EXPECT_TRUE(Has(pages[static_cast<size_t>(withThree)], "Q3"));
  EXPECT_TRUE(Has(pages[static_cast<size_t>(withThree)], "Three"));
  EXPECT_FALSE(Has(pages[static_cast<size_t>(withThree)], "F0 ")) << "the train went on to a page of its own";
}

TEST_F(TrainReportTest, EntriesLongerThanAPageGoOnToTheNextPage) {
  printer.Device().setPageSize(QPageSize(QSizeF(150, 70), QPageSize::Millimeter));
  ASSERT_LT(Lines(), kTrainMultipleEntries) << "the page must be short for this test";
  TrainData& train = Train(0, "Long");
  for (int i = 0; i < kTrainMultipleEntries; ++i) Entry(train, i, "N" + std::to_string(i));
  Save(0);
  TTPrintTrain printout(store(), {0, -1});
  const auto pages = Print(printout);
  std::string entries;
  for (size_t i = 0; i < pages.size(); ++i) {
    if (printout.PageSections()[i] == TTPrintTrain::MultipleEntries) entries += pages[i];
  }
  for (int i = 0; i < kTrainMultipleEntries; ++i)
    EXPECT_EQ(Occurrences(entries, " N" + std::to_string(i) + " "), 1) << i;
}

TEST_F(TrainReportTest, AThousandTrainsAllPrint) {
  std::vector<int32_t> rows;
  for (int slot = 0; slot < kMaxTrains; ++slot) {
    Train(slot, "T" + std::to_string(slot));
    rows.push_back(slot);
    rows.push_back(slot);  // a train over two rows of the window
  }
  rows.resize(10000, -1);
  TTPrintTrain printout(store(), TrainOrderOf(rows));
  const auto pages = Print(printout);
  std::string all;
  for (const auto& page : pages) all += page + "\n";
  for (int slot = 0; slot < kMaxTrains; ++slot) {
    ASSERT_TRUE(Has(all, " T" + std::to_string(slot) + " ")) << slot;
  }
  EXPECT_TRUE(Has(pages.back(), "Page " + std::to_string(pages.size())));
}

TEST(TrainOrderOfTest, EachTrainOnceInRowOrder) {
  EXPECT_EQ(TrainOrderOf({5, 5, 2, -1, 5, 7, 2000}), (std::vector<int16_t>{5, 2, 7, -1}));
  EXPECT_EQ(TrainOrderOf({}), (std::vector<int16_t>{-1}));
}

}  // namespace
