#include "store/settings_files.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "store/fixed_text.h"
#include "tests/support/huge_files.h"
#include "tests/support/store_fixture.h"

namespace {

namespace fs = std::filesystem;

constexpr uint32_t kGuard[4] = {3456, 19234, 5678, 23445};
constexpr size_t kOptionFileBytes =
    16 + 4 + 20 + 10 + 255 + 178 + 5165 + 1000 + 633 + 16008 + 400 + 2550 + 1000 + 255 + 16;

using Bytes = std::vector<uint8_t>;

void Append(Bytes& out, const void* data, size_t size) {
  const auto* p = static_cast<const uint8_t*>(data);
  out.insert(out.end(), p, p + size);
}
void AppendFill(Bytes& out, size_t size, uint8_t value) { out.insert(out.end(), size, value); }
template <class T>
void AppendValue(Bytes& out, T value) {
  Append(out, &value, sizeof value);
}
void AppendText(Bytes& out, const std::string& text, size_t width) {
  Bytes field(width, 0);
  std::memcpy(field.data(), text.data(), std::min(text.size(), width - 1));
  Append(out, field.data(), width);
}

Bytes ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}
void WriteAll(const fs::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// An option file as a program of `version` wrote it: every alert table and
// option block of that version, the options filled with `optionByte`.
Bytes OldOptionFile(uint32_t version, uint8_t optionByte) {
  Bytes out;
  Append(out, kGuard, sizeof kGuard);
  AppendValue(out, version);
  AppendFill(out, 20, 0x20);
  AppendText(out, "V2.10", 10);
  AppendText(out, "old/track.trk", version < 41 ? 80 : 255);
  AppendFill(out, 178, 0);  // random data
  if (version < 37) {       // ten alerts: enable, bells, wave files
    AppendFill(out, 10, 0);
    for (int i = 0; i < 10; ++i) AppendValue(out, uint16_t(100 + i));
    for (int i = 0; i < 10; ++i) AppendText(out, "ten" + std::to_string(i) + ".wav", 255);
  }
  if (version < 40) {  // twenty alerts
    AppendFill(out, 20, 1);
    for (int i = 0; i < 20; ++i) AppendValue(out, uint16_t(200 + i));
    for (int i = 0; i < 20; ++i) AppendText(out, "twenty" + std::to_string(i) + ".wav", 255);
  } else {
    AppendFill(out, 5165, 0);
  }
  AppendFill(out, 1000, 0x30);
  AppendFill(out, version < 45 ? 104 : 633, optionByte);
  for (int i = 0; i < 4002; ++i) AppendValue(out, uint32_t(i % 97));
  for (int i = 0; i < 25 * 4; ++i) AppendValue(out, int32_t(i));
  if (version >= 34)
    for (int i = 0; i < 10; ++i) AppendText(out, "recent" + std::to_string(i) + ".trk", 255);
  if (version >= 35) AppendFill(out, 1000, 0x40);
  if (version >= 36) AppendText(out, "old.ply", 255);
  Append(out, kGuard, sizeof kGuard);
  return out;
}

class SettingsFilesTest : public StoreFixture {
 protected:
  fs::path OptionPath() const { return folder() / "CV3 option.tds"; }
  fs::path ColumnPath() const { return folder() / "CV3 window column.tds"; }

  // A store whose every option-file field differs from the defaults.
  void SetEveryField() {
    SetFieldText(store().TrackFilePath, kPathChars, "lines/east.trk");
    RandomData random;
    std::memset(&random, 0x11, sizeof random);
    store().UpdateRandomData(random);  // no file: the start-up flag is still set
    AlertData alerts;
    std::memset(&alerts, 0x22, sizeof alerts);
    alerts.WaveFiles[3][254] = '\0';
    store().UpdateAlertData(alerts);
    OptionData options;
    std::memset(&options, 0x33, sizeof options);
    store().UpdateOptionData(options);
    for (int list = 0; list < kColumnLists; ++list)
      for (int column = 0; column < kColumnsPerList; ++column)
        store().UpdateColumnSize(list, column, uint32_t(list * 1000 + column));
    store().UpdateWindowSize(24, WindowSize{1, 2, 3, 4});
    SetFieldText(store().OldFileList[9], kPathChars, "ninth.trk");
    SetFieldText(store().PlaybackFileName, kPathChars, "run.ply");
    store().OptionReserved20.fill(0x44);
    store().OptionReservedA.fill(0x55);
    store().OptionReservedB.fill(0x66);
  }
};

TEST_F(SettingsFilesTest, OptionFileHasItsSizeGuardsAndVersionAndReadsBackEveryField) {
  store().SetDefaultOptions();
  SetEveryField();
  ASSERT_EQ(SettingsFiles(store()).SaveOptions(), 0);

  const Bytes bytes = ReadAll(OptionPath());
  ASSERT_EQ(bytes.size(), kOptionFileBytes);
  EXPECT_EQ(std::memcmp(bytes.data(), kGuard, 16), 0);
  EXPECT_EQ(std::memcmp(bytes.data() + bytes.size() - 16, kGuard, 16), 0);
  uint32_t version;
  std::memcpy(&version, bytes.data() + 16, 4);
  EXPECT_EQ(version, 46u);
  EXPECT_TRUE(fs::exists(ColumnPath())) << "saving the options also saves the column widths";
  EXPECT_FALSE(fs::exists(OptionPath().string() + ".tmp"));

  const OptionData options = store().GetOptionData();
  const AlertData alerts = store().GetAlertData();
  const RandomData random = store().GetRandomData();
  store().SetDefaultOptions();
  store().OptionReserved20.fill(0);
  ASSERT_EQ(SettingsFiles(store()).LoadOptions(), 0);

  EXPECT_STREQ(store().TrackFilePath, "lines/east.trk");
  const RandomData randomRead = store().GetRandomData();
  EXPECT_EQ(std::memcmp(&random, &randomRead, sizeof random), 0);
  const AlertData alertsRead = store().GetAlertData();
  EXPECT_EQ(std::memcmp(&alerts, &alertsRead, sizeof alerts), 0);
  const OptionData optionsRead = store().GetOptionData();
  EXPECT_EQ(std::memcmp(&options, &optionsRead, sizeof options), 0);
  EXPECT_EQ(store().GetColumnSize(39, 23), 39023u) << "the 4,002nd width is the last one stored";
  EXPECT_EQ(store().GetColumnSize(39, 24), 0u) << "widths past the 4,002nd are not in the file";
  EXPECT_EQ(+store().GetWindowSize(24).Bottom, 4);
  EXPECT_STREQ(store().OldFileList[9], "ninth.trk");
  EXPECT_STREQ(store().PlaybackFileName, "run.ply");
  EXPECT_EQ(store().OptionReserved20[19], 0x44);
  EXPECT_EQ(store().OptionReservedA[999], 0x55);
  EXPECT_EQ(store().OptionReservedB[0], 0x66);
  EXPECT_STREQ(store().ProgramVersion, "X3.00");
}

TEST_F(SettingsFilesTest, MissingOrDamagedOptionFileLeavesTheDefaults) {
  store().SetDefaultOptions();
  SetEveryField();
  ASSERT_EQ(SettingsFiles(store()).SaveOptions(), 0);
  const Bytes good = ReadAll(OptionPath());

  struct Case {
    const char* Name;
    int Damage;  // byte to change, -1 remove the file, -2 cut the file short, -4 far too long
    int Result;
  };
  for (const Case& c : {Case{"missing", -1, 3}, Case{"leading guard", 3, 1}, Case{"trailing guard", -3, 1},
                        Case{"cut short", -2, 1}, Case{"40 GB behind a good file", -4, 1}}) {
    Bytes bytes = good;
    if (c.Damage == -1) fs::remove(OptionPath());
    if (c.Damage == -2) bytes.resize(bytes.size() / 2);
    if (c.Damage >= 0) bytes[c.Damage] ^= 0xFF;
    if (c.Damage == -3) bytes.back() ^= 0xFF;
    if (c.Damage >= -3 && c.Damage != -1) WriteAll(OptionPath(), bytes);
    if (c.Damage == -4) {
      ASSERT_TRUE(huge_files::MakeSparse(OptionPath(), huge_files::kFortyGB, std::string(good.begin(), good.end())));
    }
    SetFieldText(store().TrackFilePath, kPathChars, "before.trk");

    EXPECT_EQ(SettingsFiles(store()).LoadOptions(), c.Result) << c.Name;
    EXPECT_STREQ(store().TrackFilePath, "default.trk") << c.Name;
    EXPECT_EQ(store().GetOptionData().AlertSoundsOn, 1) << c.Name;
    EXPECT_EQ(+store().GetAlertData().Bells[0], 0) << c.Name;
    EXPECT_EQ(store().GetColumnSize(0, 0), 60u) << c.Name;
    EXPECT_EQ(store().OldFileList[9][0], '\0') << c.Name;
  }
}

TEST_F(SettingsFilesTest, DefaultsFollowTheirTables) {
  store().SetDefaultOptions();
  const OptionData o = store().GetOptionData();
  const uint8_t* b = reinterpret_cast<const uint8_t*>(&o);
  const int expected[][2] = {{0, 1},  {1, 0},  {2, 1},   {4, 1},   {5, 1},   {6, 1},   {7, 1},   {8, 1},  {9, 1},
                             {10, 0}, {11, 1}, {12, 60}, {14, 90}, {16, 4},  {17, 1},  {18, 0},  {21, 0}, {22, 0},
                             {23, 0}, {27, 0}, {31, 0},  {32, 0},  {233, 1}, {234, 1}, {235, 0}, {239, 0}};
  for (const auto& [offset, value] : expected) EXPECT_EQ(b[offset], value) << "option +" << offset;
  EXPECT_EQ(FieldText(o.EIOFolder), folder().string());
  EXPECT_EQ(FieldText(o.CTCFolder), folder().string());

  const AlertData a = store().GetAlertData();
  const char* waves[] = {"tr_arrived.wav",
                         "tr_stopped_signal.wav",
                         "tr_st_det_alarm.wav",
                         "",
                         "tr_st_derailed.wav",
                         "block_per_active.wav",
                         "late_stat_depart.wav",
                         "loco_probl.wav",
                         "block_per_complete.wav",
                         "slow_order_active.wav",
                         "",
                         "crew_exp_2_hr_warning.wav",
                         "crew_expired.wav",
                         "",
                         ""};
  for (int k = 0; k < 15; ++k) EXPECT_EQ(FieldText(a.WaveFiles[k], 255), waves[k]) << k;
  for (int k = 0; k < kAlertKinds; ++k) EXPECT_EQ(a.Enabled[k], 1) << k;
  EXPECT_EQ(a.LateArrivalMinutes, 5);
  EXPECT_EQ(+store().GetRandomData().MaintainerRepairMinutes, 120);
  EXPECT_EQ(+store().GetRandomData().SwitchFailuresPer1000, 0);
  EXPECT_EQ(store().OptionFileVersion, 46u);
  EXPECT_STREQ(store().PlaybackFileName, "playback.ply");

  // Column widths: list, column, width ("then" lists repeat their last width to column 101).
  const int widths[][3] = {{0, 15, 66}, {0, 16, 0},     {1, 6, 82},    {1, 7, 0},    {2, 2, 82},  {2, 101, 82},
                           {4, 0, 60},  {4, 1, 0},      {5, 4, 136},   {8, 101, 50}, {9, 1, 146}, {9, 101, 76},
                           {10, 7, 0},  {11, 101, 116}, {12, 101, 50}, {13, 0, 0},   {39, 101, 0}};
  for (const auto& [list, column, width] : widths)
    EXPECT_EQ(store().GetColumnSize(list, column), uint32_t(width)) << list << "/" << column;
  EXPECT_EQ(+store().GetWindowSize(6).Bottom, 463);
  EXPECT_EQ(+store().GetWindowSize(24).Right, 922) << "slots past the seventh copy the first";
}

TEST_F(SettingsFilesTest, OlderOptionFilesUpgrade) {
  // Version 36: the ten-alert table, then the twenty-alert table over it.
  WriteAll(OptionPath(), OldOptionFile(36, 0x77));
  ASSERT_EQ(SettingsFiles(store()).LoadOptions(), 0);
  AlertData a = store().GetAlertData();
  EXPECT_EQ(a.Enabled[0], 1);
  EXPECT_EQ(+a.Bells[9], 209) << "the twenty-alert table comes last";
  EXPECT_EQ(FieldText(a.WaveFiles[19], 255), "twenty19.wav");
  EXPECT_EQ(a.LateArrivalMinutes, 5);
  EXPECT_STREQ(store().TrackFilePath, "old/track.trk");
  EXPECT_STREQ(store().PlaybackFileName, "old.ply");
  EXPECT_STREQ(store().OldFileList[3], "recent3.trk");
  EXPECT_STREQ(store().ProgramVersion, "X3.00");
  OptionData o = store().GetOptionData();
  EXPECT_EQ(o.Flag10, 0x77) << "known from version 36";
  EXPECT_EQ(o.StackMessage, 1);
  EXPECT_EQ(+o.Setting12, 60);
  EXPECT_EQ(+o.Setting14, 90);
  EXPECT_EQ(o.Setting16, 4);
  EXPECT_EQ(o.Flag17, 1);
  EXPECT_EQ(o.Flags18[3], 0);
  EXPECT_EQ(o.AutoScroll, 0);
  EXPECT_EQ(o.CTCControlOn, 0);
  EXPECT_EQ(+o.EIONextOutgoing, 0);
  EXPECT_EQ(FieldText(o.CTCFolder), folder().string());

  // Version 44: the 104-byte options; everything behind them keeps its default.
  WriteAll(OptionPath(), OldOptionFile(44, 0x07));
  ASSERT_EQ(SettingsFiles(store()).LoadOptions(), 0);
  o = store().GetOptionData();
  EXPECT_EQ(o.AutoScroll, 7);
  EXPECT_EQ(o.CTCControlOn, 7) << "mode flags came with version 44";
  EXPECT_EQ(+o.EIOLastReceived, 0x07070707);
  EXPECT_EQ(FieldText(o.EIOFolder), folder().string());
  EXPECT_EQ(FieldText(o.CTCFolder), folder().string());
  EXPECT_EQ(o.EIOLogOn, 1);
  EXPECT_EQ(+o.CTCNextOutgoing, 0);

  // Version 30: eighty-character track path, and the function switches all on.
  WriteAll(OptionPath(), OldOptionFile(30, 0x00));
  ASSERT_EQ(SettingsFiles(store()).LoadOptions(), 0);
  o = store().GetOptionData();
  EXPECT_STREQ(store().TrackFilePath, "old/track.trk");
  for (uint8_t flag : {o.SlowOrdersActive, o.BlockPermitsActive, o.HelperRequirementActive, o.PermissionToEnterActive,
                       o.YardCapacityLimitActive, o.CrewExpirationActive})
    EXPECT_EQ(flag, 1);
  EXPECT_EQ(o.AlertSoundsOn, 0) << "read from the file";
  EXPECT_STREQ(store().PlaybackFileName, "playback.ply") << "not in a version-30 file";
  EXPECT_EQ(store().OldFileList[0][0], '\0');
}

TEST_F(SettingsFilesTest, AFolderTooLongForTheOptionFieldLeavesItEmpty) {
  WriteAll(OptionPath(), OldOptionFile(45, 0x00));
  const std::string folderText = store().ProgramFolder;
  fs::create_directory(folder() / std::string(120, 'x'));
  SetFieldText(store().ProgramFolder, kPathChars, folderText + "/" + std::string(120, 'x') + "/..");
  ASSERT_EQ(SettingsFiles(store()).LoadOptions(), 0);
  EXPECT_EQ(store().GetOptionData().EIOFolder[0], '\0');
  EXPECT_EQ(store().GetOptionData().CTCFolder[0], '\0');
}

TEST_F(SettingsFilesTest, OptionFileThatCannotBeWrittenIsReported) {
  SetFieldText(store().ProgramFolder, kPathChars, (folder() / "no such folder").string());
  EXPECT_EQ(SettingsFiles(store()).SaveOptions(), 3);
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, "Could not open or create Options File!");
  EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Error);
  EXPECT_EQ(SettingsFiles(store()).SaveWindowColumns(), 3);
  EXPECT_EQ(messages.Calls.size(), 1u) << "the column file fails silently";
}

TEST_F(SettingsFilesTest, WindowColumnFileRoundTripsAndMendsWidths) {
  store().SetDefaultOptions();
  store().UpdateColumnSize(3, 4, 5000);
  store().UpdateColumnSize(7, 1, 1000);
  store().UpdateWindowSize(2, WindowSize{5, 6, 7, 8});
  ASSERT_EQ(SettingsFiles(store()).SaveWindowColumns(), 0);
  EXPECT_EQ(ReadAll(ColumnPath()).size(), 16u + 4 + 16008 + 400 + 16);

  store().SetDefaultWindowColumns();
  ASSERT_EQ(SettingsFiles(store()).LoadWindowColumns(), 0);
  EXPECT_EQ(store().GetColumnSize(3, 4), 80u);
  EXPECT_EQ(store().GetColumnSize(7, 1), 1000u);
  EXPECT_EQ(+store().GetWindowSize(2).Left, 5);

  // A byte more than the writer ever writes: no file of this program, refused unread and changing nothing.
  Bytes longer = ReadAll(ColumnPath());
  longer.push_back(0);
  WriteAll(ColumnPath(), longer);
  store().UpdateColumnSize(7, 1, 999);
  EXPECT_EQ(SettingsFiles(store()).LoadWindowColumns(), 1);
  EXPECT_EQ(store().GetColumnSize(7, 1), 999u);
  longer.pop_back();
  WriteAll(ColumnPath(), longer);

  Bytes bytes = ReadAll(ColumnPath());
  bytes[20] ^= 0xFF;
  bytes.back() ^= 0xFF;
  WriteAll(ColumnPath(), bytes);
  store().UpdateColumnSize(7, 1, 999);
  EXPECT_EQ(SettingsFiles(store()).LoadWindowColumns(), 1);
  EXPECT_EQ(store().GetColumnSize(7, 1), 40u) << "a damaged end brings the defaults back";
  bytes[0] ^= 0xFF;
  WriteAll(ColumnPath(), bytes);
  store().UpdateColumnSize(7, 1, 999);
  EXPECT_EQ(SettingsFiles(store()).LoadWindowColumns(), 1);
  EXPECT_EQ(store().GetColumnSize(7, 1), 999u) << "a bad leading guard changes nothing";
  fs::remove(ColumnPath());
  EXPECT_EQ(SettingsFiles(store()).LoadWindowColumns(), 3);
}

TEST_F(SettingsFilesTest, TerritorySettingsLiveBesideTheTrackFile) {
  fs::create_directory(folder() / "lines.v2");
  const std::string track = (folder() / "lines.v2" / "east.trk").string();
  const fs::path settings = folder() / "lines.v2" / "east.tds";
  SetFieldText(store().TrackFilePath, kPathChars, track);
  RandomData random = store().GetRandomData();
  random.SignalFailuresPer1000 = 7;

  store().UpdateRandomData(random);  // still loading the first territory
  EXPECT_FALSE(fs::exists(settings));

  store().NoTerritorySettings = 0;
  store().UpdateRandomData(random);
  ASSERT_TRUE(fs::exists(settings));
  const Bytes written = ReadAll(settings);
  ASSERT_EQ(written.size(), 16u + 4 + 178 + 16);
  EXPECT_EQ(written[16], 46) << "the version of the layout written, whatever the store was given";

  store().UpdateRandomData(RandomData{});
  WriteAll(settings, [&] {
    Bytes b;
    Append(b, kGuard, 16);
    AppendValue(b, uint32_t{46});
    RandomData r{};
    r.SignalFailuresPer1000 = 9;
    Append(b, &r, sizeof r);
    Append(b, kGuard, 16);
    return b;
  }());
  EXPECT_EQ(SettingsFiles(store()).LoadTerritory(track), 0);
  EXPECT_EQ(+store().GetRandomData().SignalFailuresPer1000, 9);

  // A dot in a folder name is no extension.
  const std::string noExtension = (folder() / "lines.v2" / "east").string();
  SetFieldText(store().TrackFilePath, kPathChars, noExtension);
  EXPECT_EQ(SettingsFiles(store()).SaveTerritory(), 3);
  EXPECT_EQ(SettingsFiles(store()).LoadTerritory(noExtension), 3);
  EXPECT_FALSE(fs::exists(folder() / "lines.tds"));

  Bytes bytes = ReadAll(settings);
  bytes.back() ^= 0xFF;
  WriteAll(settings, bytes);
  EXPECT_EQ(SettingsFiles(store()).LoadTerritory(track), 1);
  EXPECT_EQ(+store().GetRandomData().SignalFailuresPer1000, 0);
  EXPECT_EQ(+store().GetRandomData().MaintainerRepairMinutes, 120);
  bytes[0] ^= 0xFF;
  WriteAll(settings, bytes);
  store().NoTerritorySettings = 1;
  random.SignalFailuresPer1000 = 5;
  store().UpdateRandomData(random);
  EXPECT_EQ(SettingsFiles(store()).LoadTerritory(track), 1);
  EXPECT_EQ(+store().GetRandomData().SignalFailuresPer1000, 5) << "a bad leading guard changes nothing";
  fs::remove(settings);
  EXPECT_EQ(SettingsFiles(store()).LoadTerritory(track), 3);
}

}  // namespace
