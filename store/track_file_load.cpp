// TrackFile::Load: the one entry for every territory load. It checks the file's
// head, hands the body to the reader of its version and then works out what
// the file does not carry. A refused file leaves the empty territory under the
// name "new.trk", never a half-loaded one.
#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "store/binary_io.h"
#include "store/bitmap_bytes.h"
#include "store/corvane3_data.h"
#include "store/file_commands.h"
#include "store/file_results.h"
#include "store/fixed_text.h"
#include "store/settings_files.h"
#include "store/track_file.h"
#include "store/track_file_format.h"
#include "store/whole_file/whole_file.h"

namespace {

constexpr int kFirstCurrentVersion = 30;

// The magic and the version word: how long a file may be depends on its version.
constexpr size_t kTrackHeadBytes = sizeof kTrackMagic + sizeof(int16_t);

template <class Record>
constexpr uint64_t Table(int capacity) {
  return uint64_t{sizeof(Record)} * static_cast<uint64_t>(capacity);
}

// The longest body of a version 30-37 file, as the reader takes it: every table at its capacity (start
// times in their longer form), the grids whole, every icon entry the icon table holds at the largest
// image carried, the longest comments text its 32-bit length can give, and every maintenance image at
// the size of its buffer, the most the writer writes. A longer file is refused from its size.
constexpr uint64_t kLargestCurrentBody =
    sizeof(int16_t) + 4 * sizeof(int32_t) + sizeof(CountData) + sizeof(TerritoryData) +
    sizeof(Corvane3Data::TerritoryCounters) + 3 * Table<int16_t>(kGridCells) + Table<TrainData>(kMaxTrains) +
    Table<PermitData>(kMaxPermitData) + Table<SlowData>(kMaxSlowData) + Table<TrainType>(kMaxTrainTypes) +
    Table<PlatformData>(kMaxPlatforms) + Table<BlockData>(kMaxBlocks) + Table<SwitchData>(kMaxSwitches) +
    Table<SignalData>(kMaxSignals) + Table<CrossData>(kMaxCrossings) + Table<OrgData>(kMaxLocations) +
    Table<StationData32>(kMaxStations) + Table<TextData>(kMaxTexts) + Table<StartTime>(kMaxStartTimes) +
    Table<AreaData>(kMaxAreas) + Table<DetectorData>(kMaxDetectors) + sizeof(TerritoryOptions) +
    Table<OSData>(kMaxOSData) + sizeof(int32_t) +
    uint64_t{kMaxTrainIcons} * (sizeof(int32_t) + kIconNameBytes + (kIconImageLimit - 1)) + sizeof(int32_t) +
    uint64_t{INT32_MAX} + Table<BitmapInsert>(kMaxBitmapInserts) + Table<BitmapMaint>(kMaxMaintBitmaps) +
    Table<int32_t>(kMaxMaintBitmaps) + uint64_t{kMaxMaintBitmaps} * kMaintImageBytes + sizeof kTrackMagic;

// A room larger than this (a file full of pictures) is given back after its load, not kept.
constexpr size_t kKeptRoomBytes = size_t{1} << 20;

// The store's read room, lent to one load and handed back when it ends. A load that begins meanwhile
// (from a message box's own event loop) finds no room and reads into one of its own, never into the
// bytes the first one is still reading.
class LentRoom {
 public:
  explicit LentRoom(whole_file::Buffer& home) : home_(home), room_(std::move(home)) {}
  ~LentRoom() {
    room_.clear();
    if (room_.capacity() <= kKeptRoomBytes && home_.capacity() == 0) home_ = std::move(room_);
  }
  LentRoom(const LentRoom&) = delete;
  LentRoom& operator=(const LentRoom&) = delete;
  whole_file::Buffer& Room() { return room_; }

 private:
  whole_file::Buffer& home_;
  whole_file::Buffer room_;
};

}  // namespace

void TrackFile::ForgetImages() {
  for (auto& image : store_.TrainIconImages) image.clear();
  store_.TrainTypeIcons = MakeNoTrainTypeIcons();
  store_.MaintBitmapUsable.fill(0);
}

void TrackFile::ForgetTables() {
  store_.GridFlags.fill(0);
  for (int i = 0; i < kMaxAreas; ++i) store_.UpdateAreaData(i, AreaData{});
  for (int i = 0; i < kMaxDetectors; ++i) store_.UpdateDetectorData(i, DetectorData{});
  store_.UpdateTerritoryOptions(TerritoryOptions{});
}

int TrackFile::Load(const std::string& path, int report) {
  const int result = LoadTerritory(path, report);
  // Whatever refused the file, the territory was emptied: the store must not go on naming the one it
  // held, or a saved run of that territory would be taken as matching it and laid over nothing.
  if (result != file_result::kDone) SetFieldText(store_.TrackFilePath, kEmptyTrackName);
  return result;
}

int TrackFile::LoadTerritory(const std::string& path, int report) {
  const bool tell = report != -1;
  // The images go first: emptying the territory gives types 0-9 the internal pictures, which stand
  // until a type names another picture.
  ForgetImages();
  store_.InitTerritoryData();
  ForgetTables();
  store_.ChangeCount = store_.LoadedChangeCount;

  const auto cannotOpen = [&] {
    if (tell) store_.ShowMessage("Could not open track territory file \"" + path + "\".", MessageIcon::Error);
    return file_result::kCannotOpen;
  };
  // The head alone first: a file is judged by the length its version allows before it is read whole.
  std::vector<uint8_t> head;
  if (whole_file::ReadHead(path, head, kTrackHeadBytes) != whole_file::Result::Read) return cannotOpen();
  ByteReader in(head.data(), head.size());
  for (const int16_t expected : kTrackMagic) {
    int16_t word = 0;
    if (!in.Get(word) || word != expected) {
      if (tell) store_.ShowMessage("Illegal track territory file!", MessageIcon::Error);
      return file_result::kDamaged;
    }
  }
  int16_t version = 0;
  int result = 1;  // a file that ends behind the magic, or longer than its version allows, is damaged
  if (in.Get(version)) {
    if (version > store_.HighestTrackVersion) {
      if (tell) {
        store_.ShowMessage(
            "The track territory file being loaded has an newer file structure than this program can handle.",
            MessageIcon::Error);
      }
      return file_result::kCannotOpen;
    }
    const bool old = version < kFirstCurrentVersion;
    const uint64_t largest = kTrackHeadBytes + (old ? OldTrackFile::LargestBody(version) : kLargestCurrentBody);
    LentRoom lent(store_.TrackFileRoom);
    whole_file::Buffer& bytes = lent.Room();
    const whole_file::Result read =
        whole_file::Read(path, bytes, static_cast<size_t>(std::min<uint64_t>(largest, SIZE_MAX)));
    if (read == whole_file::Result::CannotOpen || read == whole_file::Result::ReadError) return cannotOpen();
    // The body, behind the head read before: a head changed meanwhile makes the file damaged.
    if (read == whole_file::Result::Read && bytes.size() >= kTrackHeadBytes &&
        std::memcmp(bytes.data(), head.data(), kTrackHeadBytes) == 0) {
      ByteReader body(bytes.data() + kTrackHeadBytes, bytes.size() - kTrackHeadBytes);
      result = old ? OldTrackFile(store_).Read(body, version, path) : ReadBody(body, version, path);
    }
  }
  CountData counts = store_.GetCountData();
  counts.Words[kCountRunningTrains] = 0;
  store_.UpdateCountData(counts);
  if (result != file_result::kDone) {
    ForgetImages();
    store_.InitTerritoryData();
    ForgetTables();
    store_.LoadedChangeCount =
        store_.ChangeCount;  // the empty territory counts as unchanged, whatever the reader had read
    if (tell) {
      store_.ShowMessage("The track file you attempted to open \"" + path +
                             "\" has corruptd data. A new layout file was loaded instead.",
                         MessageIcon::Error);
    }
    return result;
  }

  // Entrance/exit cells: one step beyond the block end, following the end cell's track.
  for (int i = 0; i < kMaxLocations; ++i) {
    const OrgData& held = store_.OrgDataRef(i);
    if (held.InUse == 0 || held.Block < 0 || held.Block >= kMaxBlocks) continue;
    OrgData org = held;
    const BlockData& block = store_.BlockDataRef(org.Block);
    TrackCell cell;
    if (org.Side == 0) {
      cell.X = block.LeftCellX;
      cell.Y = block.LeftCellY;
      cell = store_.GetLeftTrackCell(cell);
    } else {
      cell.X = block.RightCellX;
      cell.Y = block.RightCellY;
      cell = store_.GetRightTrackCell(cell);
    }
    org.CellX = cell.X;
    org.CellY = cell.Y;
    store_.UpdateOrgData(i, org);
  }

  // Top speed of each train type: the highest block speed for it over the ordinary blocks. One walk of
  // the blocks, read in place, serves every type.
  std::array<int16_t, kMaxTrainTypes> top{};
  for (int b = 0; b < kMaxBlocks; ++b) {
    const BlockData& block = store_.BlockDataRef(b);
    if (block.InUse == 0 || block.PassThrough == 1) continue;
    for (int d = 0; d < 2; ++d) {
      for (int t = 0; t < kMaxTrainTypes; ++t) {
        const int16_t speed = block.SpeedMax[d][t];
        if (speed > top[t]) top[t] = speed;
      }
    }
  }
  for (int t = 0; t < kMaxTrainTypes; ++t) {
    if (store_.TrainTypeRef(t).InUse == 0) continue;
    TrainType type = store_.GetTrainType(t);
    type.TopSpeed = top[t];
    store_.UpdateTrainType(t, type);
  }

  store_.LoadedTrackVersion = version;

  // Maintenance bitmaps: an image that fills its buffer or more is dropped; the others must be bitmaps.
  for (int i = 0; i < kMaxMaintBitmaps; ++i) {
    BitmapMaint maint = store_.GetBitmapMaint(i);
    if (store_.MaintImageSizes[i] >= kMaintImageBytes) {
      store_.MaintImageSizes[i] = 0;
      if (maint.Name[0] != 0) {
        maint.Name[0] = 0;
        store_.UpdateBitmapMaint(i, maint);
      }
      continue;
    }
    if (maint.Name[0] == 0) continue;
    if (IsUsableBitmapImage(store_.MaintImage(i), static_cast<size_t>(store_.MaintImageSizes[i]))) {
      store_.MaintBitmapUsable[i] = 1;
    } else if (tell) {
      store_.ShowMessage("The temporary bitmap file is illegal!", MessageIcon::Error);
    }
  }

  // A track or signal cell that names no device is not drawn. Most cells are empty: they are passed over
  // four at a time.
  static_assert(kGridCells % 4 == 0);
  for (int first = 0; first < kGridCells; first += 4) {
    uint64_t four = 0;
    std::memcpy(&four, store_.GridTrack.data() + first, sizeof four);
    if (four == 0) continue;
    for (int cell = first; cell < first + 4; ++cell) {
      const int16_t code = store_.GridTrack[cell];
      if (code == 0 || store_.GridDevice[cell] >= 0) continue;
      const int type = code > 0 && code <= 40 ? store_.GetDeviceType(code) : 3;
      if (type != 3 && type != 4) store_.UpdateGridTrack(cell / kGridRows, cell % kGridRows, 0);
    }
  }

  store_.Shell().MakeTrainIconBitmaps();
  SettingsFiles(store_).SaveTerritory();  // still the territory loaded before this one: the caller records the new name
  FileCommands(store_).AddOldFile(path);
  SettingsFiles(store_).LoadTerritory(path);
  store_.Shell().CloseDataWindows();
  return file_result::kDone;
}
