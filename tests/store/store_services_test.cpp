#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "store/file_commands.h"
#include "store/fixed_text.h"
#include "tests/support/store_fixture.h"

namespace {

using StoreServicesTest = StoreFixture;

TEST_F(StoreServicesTest, DialogLockAdmitsOneDialogAndNamesWhatIsRefused) {
  EXPECT_EQ(store().OpenDialog(), 1);
  EXPECT_EQ(store().OpenDialog(), 0);
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, "You cannot open a new Dialog Box until all open Dialog Boxes are closed");
  EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Warning);
  EXPECT_EQ(messages.Calls[0].Caption, "Corvane Version ");
  store().CloseDialog();
  EXPECT_EQ(store().OpenDialog(), 1);
  EXPECT_EQ(messages.Calls.size(), 1u);
}

TEST_F(StoreServicesTest, UnlockingAFreeLockIsAnInternalError) {
  store().CloseDialog();
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Caption, "Internal Error Trap");
  EXPECT_EQ(
      messages.Calls[0].Text.rfind("Trying to unlock dialog boxes when aleady unlocked - CloseDialog value \"0\". ", 0),
      0u);
  EXPECT_EQ(store().Run.DialogOpen, 0);
}

std::vector<std::string> OldFiles(Corvane3Data& store) {
  std::vector<std::string> files;
  for (int i = 0; i < kMaxOldFiles; ++i) files.push_back(FileCommands(store).GetOldFile(i));
  return files;
}

TEST_F(StoreServicesTest, AddingAListedPathMovesItToTheTopWithoutAHole) {
  for (const char* path : {"e.trk", "d.trk", "c.trk", "b.trk", "a.trk"}) FileCommands(store()).AddOldFile(path);
  EXPECT_EQ(OldFiles(store()),
            (std::vector<std::string>{"a.trk", "b.trk", "c.trk", "d.trk", "e.trk", "", "", "", "", ""}));
  shell.MenuItemsRemoved.clear();
  shell.MenuItemsInserted.clear();

  FileCommands(store()).AddOldFile("c.trk");  // third in the list

  EXPECT_EQ(OldFiles(store()),
            (std::vector<std::string>{"c.trk", "a.trk", "b.trk", "d.trk", "e.trk", "", "", "", "", ""}));
  EXPECT_EQ(shell.MenuItemsRemoved, (std::vector<int>{2000, 2001, 2002, 2003, 2004}));
  ASSERT_EQ(shell.MenuItemsInserted.size(), 5u);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(shell.MenuItemsInserted[i].Id, 2000 + i);
    EXPECT_EQ(shell.MenuItemsInserted[i].Text, OldFiles(store())[i]);
    EXPECT_EQ(shell.MenuItemsInserted[i].Before, 125);
  }
}

TEST_F(StoreServicesTest, AFullListDropsItsOldestEntry) {
  for (int i = 0; i < 11; ++i) FileCommands(store()).AddOldFile("t" + std::to_string(i) + ".trk");
  const auto files = OldFiles(store());
  EXPECT_EQ(files.front(), "t10.trk");
  EXPECT_EQ(files.back(), "t1.trk");
  FileCommands(store()).AddOldFile("t1.trk");  // the last slot moves up and nothing drops out
  EXPECT_EQ(OldFiles(store())[0], "t1.trk");
  EXPECT_EQ(OldFiles(store())[9], "t2.trk");
  FileCommands(store()).AddOldFile("");
  EXPECT_EQ(OldFiles(store())[0], "t1.trk");
}

TEST_F(StoreServicesTest, BadOldFileIndexIsReportedAndGivesSlotZero) {
  FileCommands(store()).AddOldFile("a.trk");
  EXPECT_EQ(FileCommands(store()).GetOldFile(10), "a.trk");
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text.rfind("Old File index error - GetOldFile value \"10\". ", 0), 0u);
}

class BitmapFileTest : public StoreServicesTest {
 protected:
  BitmapFileTest() : dir_(std::filesystem::temp_directory_path() / ("corvane-bmp-" + std::to_string(getpid()))) {
    std::filesystem::create_directories(dir_);
  }
  ~BitmapFileTest() override { std::filesystem::remove_all(dir_); }

  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  // A bitmap file header and the start of its info header with the given size.
  static std::string Bitmap(const char* magic, int32_t width, int32_t height) {
    std::string bytes(54, '\0');
    bytes[0] = magic[0];
    bytes[1] = magic[1];
    for (int k = 0; k < 4; ++k) {
      bytes[18 + k] = static_cast<char>(width >> (8 * k));
      bytes[22 + k] = static_cast<char>(height >> (8 * k));
    }
    return bytes;
  }

  std::filesystem::path dir_;
};

TEST_F(BitmapFileTest, ChecksMagicAndSize) {
  const struct {
    std::string bytes;
    int width, height, result;
  } cases[] = {
      {Bitmap("BM", 32, 14), 32, 14, 0},
      {Bitmap("bm", 32, 14), 32, 14, 0},
      {Bitmap("bM", 32, 14), 32, 14, 0},
      {Bitmap("BM", 32, 20), 32, 14, 4},
      {Bitmap("BM", 288, 14), 32, 14, 4},  // 288 = 256 + 32: the whole width counts
      {Bitmap("BM", 300, 400), 300, 400, 0},
      {Bitmap("BM", 5, 5), -1, 0, 0},
      {Bitmap("GI", 32, 14), 32, 14, 1},
      {"BM", -1, 0, 0},
      {"BM", 32, 14, 1},  // too short to hold a size
      {Bitmap("BM", 32, 14).substr(0, 25), 32, 14, 1},
      {"B", 32, 14, 1},
      {"", 32, 14, 1},
  };
  int n = 0;
  for (const auto& c : cases) {
    const std::string path = Write("case" + std::to_string(n++) + ".bmp", c.bytes);
    EXPECT_EQ(Corvane3Data::CheckBitmapFile(path, c.width, c.height), c.result) << n - 1;
  }
  EXPECT_EQ(Corvane3Data::CheckBitmapFile((dir_ / "missing.bmp").string(), 32, 14), 3);
}

TEST_F(StoreServicesTest, RefreshAllWindowsRefillsOnlyOpenWindowsThenClosesGraphAndRequests) {
  lists.OpenLists = {ListWindow::TrainTypes, ListWindow::CTCActivePermits, ListWindow::OSPoints};
  lists.OpenArrivalWindows = {0, 199};
  lists.OpenPlatformWindows = {42};
  store().RefreshAllWindows();
  EXPECT_EQ(lists.Refreshed,
            (std::vector<ListWindow>{ListWindow::TrainTypes, ListWindow::OSPoints, ListWindow::CTCActivePermits}));
  EXPECT_EQ(lists.ArrivalRefreshes, (std::vector<int>{0, 199}));
  EXPECT_EQ(lists.PlatformRefreshes, (std::vector<int>{42}));
  EXPECT_EQ(lists.CloseTrainGraphCalls, 1);
  EXPECT_EQ(dialogs.CloseTrainEntryDialogsCalls, 1);
  EXPECT_EQ(dialogs.ClosePermitRequestDialogsCalls, 1);
}

TEST_F(StoreServicesTest, ArrivalWindowOfTheFirstMatchingOpenLocationIsRefilled) {
  for (const int i : {3, 5, 8}) {
    OrgData org{};
    org.InUse = 1;
    SetFieldText(org.Name, i == 8 ? "WEST" : "EAST");
    store().UpdateOrgData(i, org);
  }
  OrgData unused{};
  SetFieldText(unused.Name, "EAST");
  store().UpdateOrgData(1, unused);
  lists.OpenArrivalWindows = {1, 5, 8};
  store().RefreshArrivalWindow("EAST");  // 1 is not in use, 3 has no window open
  store().RefreshArrivalWindow("NONE");
  EXPECT_EQ(lists.ArrivalRefreshes, (std::vector<int>{5}));
}

void SetBlock(Corvane3Data& store, int index, const char* first, const char* second, const char* part,
              uint8_t passThrough = 0, uint8_t inUse = 1) {
  BlockData block{};
  block.InUse = inUse;
  block.PassThrough = passThrough;
  SetFieldText(block.TrackStation1, first);
  SetFieldText(block.TrackStation2, second);
  SetFieldText(block.TrackPart, part);
  store.UpdateBlockData(index, block);
}

TEST_F(StoreServicesTest, TrackNameListHoldsEachNamedTrackOnceInBlockOrder) {
  SetBlock(store(), 0, "AB", "CD", "Main 1");
  SetBlock(store(), 1, "AB", "CD", "Main 2");
  SetBlock(store(), 2, "AB", "CD", "Main 1");      // a duplicate
  SetBlock(store(), 3, "AB", "CD", "Yard", 1);     // pass-through
  SetBlock(store(), 4, "", "", "Siding");          // no station part
  SetBlock(store(), 5, "AB", "CD", "");            // no track part
  SetBlock(store(), 6, "AB", "CD", "Spur", 0, 0);  // not in use
  SetBlock(store(), 7, "", "EF", "Siding");
  SetBlock(store(), 1999, "XY", "ZZ", "Longest 10");
  TrackNameList names;
  names[1500].fill('x');
  store().BuildTrackNameList(names);
  EXPECT_STREQ(names[0].data(), "AB-CD Main 1");
  EXPECT_STREQ(names[1].data(), "AB-CD Main 2");
  EXPECT_STREQ(names[2].data(), "-EF Siding");
  EXPECT_STREQ(names[3].data(), "XY-ZZ Longest 10");
  for (size_t i = 4; i < names.size(); ++i) ASSERT_EQ(names[i][0], '\0') << i;
  EXPECT_EQ(names[1500][19], '\0');
}

}  // namespace
