// The settings files: "CV3 option.tds" and "CV3 window column.tds" in the
// program folder, and a ".tds" beside each track file with that territory's
// random-event parameters. All three open and close with the same guard and
// carry a version behind the leading guard; only the option file's layout
// has changed over the versions, so only its reader looks at the version.
#include "store/settings_files.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include "store/atomic_file.h"
#include "store/binary_io.h"
#include "store/corvane3_data.h"
#include "store/file_results.h"
#include "store/fixed_text.h"
#include "store/whole_file/whole_file.h"

namespace {

constexpr uint32_t kGuard[4] = {3456, 19234, 5678, 23445};
// The layout every writer here produces; a file must never claim another.
constexpr uint32_t kSettingsVersion = 46;
constexpr const char* kOptionFileName = "CV3 option.tds";
constexpr const char* kWindowColumnFileName = "CV3 window column.tds";
constexpr const char* kDefaultTrackFile = "default.trk";
constexpr int kStoredColumnWidths = 4002;  // the first 4,002 of the 40 x 102 table
constexpr int kOldAlertSlots = 10;
constexpr int kMidAlertBytes = 5160;  // the 20-alert table of versions below 40

using file_result::kCannotOpen;
using file_result::kDamaged;
using file_result::kDone;

std::string InFolder(const char* folder, const char* name) {
  std::string path(folder);
  if (!path.empty() && path.back() != '/') path += '/';
  return path + name;
}

// The ".tds" beside a track file: the path cut at the last '.' of its file
// name. Empty when the file name has no '.'.
std::string SettingsPathFor(std::string_view trackPath) {
  const size_t separator = trackPath.find_last_of("/\\");
  const size_t dot = trackPath.rfind('.');
  if (dot == std::string_view::npos || (separator != std::string_view::npos && dot < separator)) return {};
  return std::string(trackPath.substr(0, dot)) + ".tds";
}

// A file larger than its reader's `largest` is none that was written here: it is read as empty, so that
// its guard fails and it is refused as damaged, before any of it is held.
class Reader {
 public:
  Reader(const std::string& path, size_t largest) : open_(Open(path, bytes_, largest)), in_(bytes_) {}

  bool IsOpen() const { return open_; }
  // False once any read came up short; later reads do nothing.
  bool Read(void* data, size_t size) { return in_.Read(data, size); }
  bool Guard() {
    uint32_t guard[4];
    return Read(guard, sizeof guard) && std::memcmp(guard, kGuard, sizeof guard) == 0;
  }

 private:
  static bool Open(const std::string& path, std::vector<uint8_t>& bytes, size_t largest) {
    const whole_file::Result read = whole_file::Read(path, bytes, largest);
    return read == whole_file::Result::Read || read == whole_file::Result::TooLarge;
  }

  std::vector<uint8_t> bytes_;
  bool open_;
  ByteReader in_;
};

// Built whole, then replaces the target atomically, so a failed save leaves
// the old file as it was.
class Writer {
 public:
  explicit Writer(std::string path) : path_(std::move(path)) {}

  void Write(const void* data, size_t size) { out_.Write(data, size); }
  void Guard() { Write(kGuard, sizeof kGuard); }
  bool Commit() { return ReplaceFile(path_, out_.Bytes()); }

 private:
  std::string path_;
  ByteWriter out_;
};

// Everything the option file carries, gathered before any of it reaches the
// store, so a damaged file changes nothing.
struct OptionImage {
  std::array<uint8_t, 20> Reserved20;
  char VersionText[10];
  char TrackPath[kPathChars];
  RandomData Random;
  AlertData Alerts;
  std::array<uint8_t, 1000> ReservedA;
  OptionData Options;
  uint32_t Widths[kStoredColumnWidths];
  WindowSize Rects[kMaxWindowSizes];
  char OldFiles[kMaxOldFiles][kPathChars];
  std::array<uint8_t, 1000> ReservedB;
  char PlaybackPath[kPathChars];
};

// The alert table of versions below 37: ten alerts.
struct OldAlertTable {
  uint8_t Enabled[kOldAlertSlots];
  uint16_t Bells[kOldAlertSlots];
  char WaveFiles[kOldAlertSlots][255];
};
static_assert(sizeof(OldAlertTable) == 2580);

// The largest file of each kind: the guard at either end and the version, around the records. An option
// file below version 37 carries the old alert table in front of the alert table; every other record of an
// older version is at most as long as today's.
constexpr size_t kFrameBytes = 2 * sizeof kGuard + sizeof kSettingsVersion;
constexpr size_t kLargestOptionFile = kFrameBytes + sizeof(OldAlertTable) + sizeof(OptionImage);
constexpr size_t kLargestColumnFile =
    kFrameBytes + kStoredColumnWidths * sizeof(uint32_t) + kMaxWindowSizes * sizeof(WindowSize);
constexpr size_t kLargestTerritoryFile = kFrameBytes + sizeof(RandomData);

template <size_t N>
void Terminate(char (&field)[N]) {
  field[N - 1] = '\0';
}

// A folder that does not fit a 100-byte field leaves it empty rather than cut.
void SetFolder(char (&field)[100], const char* folder) {
  const size_t length = strnlen(folder, kPathChars);
  SetFieldText(field, length < sizeof field ? std::string_view(folder, length) : std::string_view(""));
}

struct ColumnDefaults {
  int List;
  std::initializer_list<uint32_t> Widths;
  bool RepeatLast;  // the last width fills the list to its end
};

const ColumnDefaults kColumnDefaults[] = {
    {0, {60, 70, 56, 64, 50, 64, 78, 84, 72, 50, 64, 66, 80, 64, 66, 66}, false},
    {1, {60, 70, 50, 58, 66, 74, 82}, false},
    {2, {60, 70, 82}, true},
    {3, {60, 70, 50, 58, 34, 56, 50, 76, 66, 94, 94}, false},
    {4, {60}, false},
    {5, {70, 70, 62, 86, 136, 140, 140, 140, 140}, false},
    {6, {140, 120, 90, 90}, false},
    {7, {50, 40, 64, 50, 80, 96}, false},
    {8, {100, 50}, true},
    {9, {50, 146, 68, 64, 58, 110, 76}, true},
    {10, {50, 80, 72, 64, 120, 120, 120}, false},
    {11, {62, 66, 126, 116}, true},
    {12, {100, 50}, true},
};

constexpr WindowSize kDefaultRects[] = {{240, 214, 922, 483}, {164, 238, 954, 433}, {240, 214, 952, 400},
                                        {132, 132, 758, 411}, {134, 250, 960, 477}, {34, 162, 856, 387},
                                        {198, 210, 928, 463}};

constexpr const char* kDefaultWaveFiles[kAlertKinds] = {"tr_arrived.wav",
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
                                                        "crew_expired.wav"};

}  // namespace

// ---------------------------------------------------------------- defaults

void Corvane3Data::SetDefaultRandomData() {
  RandomData random = random_;
  std::memset(&random, 0, offsetof(RandomData, Reserved158));  // the trailing 20 bytes keep their value
  random.MaintainerRepairMinutes = 120;
  random_ = random;
}

WindowSize DefaultWindowSize(int index) {
  if (index < 0 || index >= kMaxWindowSizes) return WindowSize{-1, -1, -1, -1};
  return kDefaultRects[index < 7 ? index : 0];
}

uint32_t DefaultColumnSize(int list, int column) {
  if (column < 0 || column >= kColumnsPerList) return 0;
  for (const auto& defaults : kColumnDefaults) {
    if (defaults.List != list) continue;
    const int given = static_cast<int>(defaults.Widths.size());
    if (column >= given && !defaults.RepeatLast) return 0;
    const uint32_t width = *(defaults.Widths.begin() + std::min(column, given - 1));
    return width >= 160 ? 60 : width;
  }
  return 0;
}

void Corvane3Data::SetDefaultWindowColumns() {
  // Every load of the option file starts from the defaults: the table is worked out once.
  static const auto kDefaultWidths = [] {
    std::array<std::array<uint32_t, kColumnsPerList>, kColumnLists> widths{};
    for (int list = 0; list < kColumnLists; ++list)
      for (int column = 0; column < kColumnsPerList; ++column) widths[list][column] = DefaultColumnSize(list, column);
    return widths;
  }();
  columnWidths_ = kDefaultWidths;
  for (int slot = 0; slot < kMaxWindowSizes; ++slot) windowSizes_[slot] = DefaultWindowSize(slot);
}

void Corvane3Data::SetDefaultOptions() {
  SetFieldText(TrackFilePath, kPathChars, kDefaultTrackFile);
  SetFieldText(ProgramVersion, sizeof ProgramVersion, "X3.00");
  SetDefaultRandomData();

  AlertData alerts{};
  for (int kind = 0; kind < kAlertKinds; ++kind) {
    alerts.Enabled[kind] = 1;
    if (kDefaultWaveFiles[kind]) SetFieldText(alerts.WaveFiles[kind], 255, kDefaultWaveFiles[kind]);
  }
  alerts.LateArrivalMinutes = 5;
  alerts_ = alerts;

  // Byte 3 and the bytes from 243 have no default of their own.
  OptionData options = options_;
  std::memset(&options, 0, 3);
  std::memset(reinterpret_cast<uint8_t*>(&options) + 4, 0, offsetof(OptionData, CTCActiveSort) - 4);
  options.AlertSoundsOn = 1;
  options.HelpMessagesOn = 1;
  options.SlowOrdersActive = options.BlockPermitsActive = options.HelperRequirementActive = 1;
  options.PermissionToEnterActive = options.YardCapacityLimitActive = options.CrewExpirationActive = 1;
  options.StackMessage = 1;
  options.Setting12 = 60;
  options.Setting14 = 90;
  options.Setting16 = 4;
  options.Flag17 = 1;
  SetFolder(options.EIOFolder, ProgramFolder);
  SetFolder(options.CTCFolder, ProgramFolder);
  options.EIOLogOn = options.CTCLogOn = 1;
  options_ = options;

  OptionFileVersion = kSettingsVersion;
  for (auto& path : OldFileList) std::memset(path, 0, kPathChars);
  SetFieldText(PlaybackFileName, kPathChars, "playback.ply");
  SetDefaultWindowColumns();
}

// ---------------------------------------------------------------- option file

int SettingsFiles::LoadOptions() {
  store_.SetDefaultOptions();
  Reader file(InFolder(store_.ProgramFolder, kOptionFileName), kLargestOptionFile);
  if (!file.IsOpen()) return kCannotOpen;
  if (!file.Guard()) return kDamaged;

  // Start from the defaults: a field an old version lacks keeps its default.
  auto image = std::make_unique<OptionImage>();
  image->Reserved20 = store_.OptionReserved20;
  std::memcpy(image->VersionText, store_.ProgramVersion, sizeof image->VersionText);
  std::memcpy(image->TrackPath, store_.TrackFilePath, kPathChars);
  image->Random = store_.random_;
  image->Alerts = store_.alerts_;
  image->ReservedA = store_.OptionReservedA;
  image->Options = store_.options_;
  for (int i = 0; i < kStoredColumnWidths; ++i)
    image->Widths[i] = store_.columnWidths_[i / kColumnsPerList][i % kColumnsPerList];
  for (int i = 0; i < kMaxWindowSizes; ++i) image->Rects[i] = store_.windowSizes_[i];
  std::memcpy(image->OldFiles, store_.OldFileList, sizeof image->OldFiles);
  image->ReservedB = store_.OptionReservedB;
  std::memcpy(image->PlaybackPath, store_.PlaybackFileName, kPathChars);

  uint32_t version = 0;
  file.Read(&version, sizeof version);
  file.Read(image->Reserved20.data(), image->Reserved20.size());
  file.Read(image->VersionText, sizeof image->VersionText);
  std::memset(image->TrackPath, 0, kPathChars);
  file.Read(image->TrackPath, version < 41 ? 80 : kPathChars);
  file.Read(&image->Random, sizeof image->Random);
  if (version < 37) {
    OldAlertTable old;
    if (file.Read(&old, sizeof old)) {
      for (int kind = 0; kind < kOldAlertSlots; ++kind) {
        image->Alerts.Enabled[kind] = old.Enabled[kind];
        image->Alerts.Bells[kind] = old.Bells[kind];
        std::memcpy(image->Alerts.WaveFiles[kind], old.WaveFiles[kind], 255);
      }
    }
  }
  if (version < 40) {
    if (file.Read(&image->Alerts, kMidAlertBytes)) image->Alerts.LateArrivalMinutes = 5;
  } else {
    file.Read(&image->Alerts, sizeof image->Alerts);
  }
  file.Read(image->ReservedA.data(), image->ReservedA.size());
  file.Read(&image->Options, version < 45 ? 104 : sizeof image->Options);
  file.Read(image->Widths, sizeof image->Widths);
  file.Read(image->Rects, sizeof image->Rects);
  if (version >= 34) file.Read(image->OldFiles, sizeof image->OldFiles);
  if (version >= 35) file.Read(image->ReservedB.data(), image->ReservedB.size());
  if (version >= 36) file.Read(image->PlaybackPath, sizeof image->PlaybackPath);
  if (!file.Guard()) {
    store_.SetDefaultOptions();
    return kDamaged;
  }

  store_.OptionReserved20 = image->Reserved20;
  std::memcpy(store_.TrackFilePath, image->TrackPath, kPathChars);
  Terminate(store_.TrackFilePath);
  store_.random_ = image->Random;
  store_.alerts_ = image->Alerts;
  store_.OptionReservedA = image->ReservedA;
  for (int i = 0; i < kStoredColumnWidths; ++i)
    store_.columnWidths_[i / kColumnsPerList][i % kColumnsPerList] = image->Widths[i];
  for (int i = 0; i < kMaxWindowSizes; ++i) store_.windowSizes_[i] = image->Rects[i];
  std::memcpy(store_.OldFileList, image->OldFiles, sizeof store_.OldFileList);
  for (auto& path : store_.OldFileList) path[kPathChars - 1] = '\0';
  store_.OptionReservedB = image->ReservedB;
  std::memcpy(store_.PlaybackFileName, image->PlaybackPath, kPathChars);
  Terminate(store_.PlaybackFileName);

  // Settings that the file's version did not know yet.
  OptionData& options = image->Options;
  if (version < 31) options.SlowOrdersActive = options.BlockPermitsActive = options.HelperRequirementActive = 1;
  if (version < 32) {
    options.SlowOrdersActive = options.BlockPermitsActive = options.HelperRequirementActive = 1;
    options.PermissionToEnterActive = options.YardCapacityLimitActive = 1;
  }
  if (version < 33) options.CrewExpirationActive = 1;
  if (version < 36) options.Flag10 = 0;
  if (version < 38) options.StackMessage = 1;
  if (version < 39) {
    options.Setting12 = 60;
    options.Setting14 = 90;
  }
  if (version < 42) {
    options.Setting16 = 4;
    options.Flag17 = 1;
    std::memset(options.Flags18, 0, sizeof options.Flags18);
  }
  if (version < 43) options.AutoScroll = 0;
  if (version < 44) {
    options.EIOLastReceived = options.EIONextOutgoing = 0;
    options.CTCLastReceived = options.CTCNextOutgoing = 0;
    options.CTCControlOn = options.ExternalIOOn = 0;
  }
  if (version < 46) {
    SetFolder(options.EIOFolder, store_.ProgramFolder);
    SetFolder(options.CTCFolder, store_.ProgramFolder);
  }
  store_.options_ = options;
  SetFieldText(store_.ProgramVersion, sizeof store_.ProgramVersion, "X3.00");
  return kDone;
}

int SettingsFiles::SaveOptions() {
  Writer file(InFolder(store_.ProgramFolder, kOptionFileName));
  file.Guard();
  file.Write(&kSettingsVersion, sizeof kSettingsVersion);
  file.Write(store_.OptionReserved20.data(), store_.OptionReserved20.size());
  file.Write(store_.ProgramVersion, sizeof store_.ProgramVersion);
  file.Write(store_.TrackFilePath, kPathChars);
  file.Write(&store_.random_, sizeof store_.random_);
  file.Write(&store_.alerts_, sizeof store_.alerts_);
  file.Write(store_.OptionReservedA.data(), store_.OptionReservedA.size());
  file.Write(&store_.options_, sizeof store_.options_);
  file.Write(store_.columnWidths_.data(), kStoredColumnWidths * sizeof(uint32_t));
  file.Write(store_.windowSizes_.data(), sizeof store_.windowSizes_);
  file.Write(store_.OldFileList, sizeof store_.OldFileList);
  file.Write(store_.OptionReservedB.data(), store_.OptionReservedB.size());
  file.Write(store_.PlaybackFileName, kPathChars);
  file.Guard();
  if (!file.Commit()) {
    store_.ShowMessage("Could not open or create Options File!", MessageIcon::Error);
    return kCannotOpen;
  }
  SaveWindowColumns();
  return kDone;
}

// ---------------------------------------------------------------- window-column file

int SettingsFiles::LoadWindowColumns() {
  Reader file(InFolder(store_.ProgramFolder, kWindowColumnFileName), kLargestColumnFile);
  if (!file.IsOpen()) return kCannotOpen;
  if (!file.Guard()) return kDamaged;
  uint32_t version = 0;
  std::array<uint32_t, kStoredColumnWidths> widths;
  std::array<WindowSize, kMaxWindowSizes> rects;
  file.Read(&version, sizeof version);
  file.Read(widths.data(), sizeof widths);
  file.Read(rects.data(), sizeof rects);
  if (!file.Guard()) {
    store_.SetDefaultWindowColumns();
    return kDamaged;
  }
  for (int i = 0; i < kStoredColumnWidths; ++i)
    store_.columnWidths_[i / kColumnsPerList][i % kColumnsPerList] = widths[i];
  store_.windowSizes_ = rects;
  // A width no list window could show comes from a damaged save.
  for (auto& list : store_.columnWidths_)
    for (auto& width : list)
      if (width > 1000) width = 80;
  return kDone;
}

int SettingsFiles::SaveWindowColumns() {
  Writer file(InFolder(store_.ProgramFolder, kWindowColumnFileName));
  file.Guard();
  file.Write(&kSettingsVersion, sizeof kSettingsVersion);
  file.Write(store_.columnWidths_.data(), kStoredColumnWidths * sizeof(uint32_t));
  file.Write(store_.windowSizes_.data(), sizeof store_.windowSizes_);
  file.Guard();
  return file.Commit() ? kDone : kCannotOpen;
}

// ---------------------------------------------------------------- territory settings

std::string SettingsFiles::TerritoryPath() const {
  return SettingsPathFor(FieldText(store_.TrackFilePath, kPathChars));
}

int SettingsFiles::SaveTerritory() {
  if (store_.NoTerritorySettings == 1) return kCannotOpen;
  const std::string path = TerritoryPath();
  if (path.empty()) return kCannotOpen;
  Writer file(path);
  file.Guard();
  file.Write(&kSettingsVersion, sizeof kSettingsVersion);
  file.Write(&store_.random_, sizeof store_.random_);
  file.Guard();
  return file.Commit() ? kDone : kCannotOpen;
}

int SettingsFiles::LoadTerritory(std::string_view trackPath) {
  const std::string path = SettingsPathFor(trackPath);
  if (path.empty()) return kCannotOpen;
  Reader file(path, kLargestTerritoryFile);
  if (!file.IsOpen()) return kCannotOpen;
  if (!file.Guard()) return kDamaged;
  uint32_t version = 0;
  RandomData random;
  file.Read(&version, sizeof version);
  file.Read(&random, sizeof random);
  if (!file.Guard()) {
    store_.SetDefaultRandomData();
    return kDamaged;
  }
  store_.random_ = random;
  return kDone;
}
