// Reading a track file of structure version 30 to 37 into the store. Nothing
// read is trusted: every count and size is checked against the store's
// capacities before anything is copied, and a short read anywhere is a
// damaged file (result 1; TrackFile::Load then empties the store).
#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "store/binary_io.h"
#include "store/bitmap_bytes.h"
#include "store/corvane3_data.h"
#include "store/file_results.h"
#include "store/fixed_text.h"
#include "store/track_file.h"
#include "store/track_file_format.h"

namespace {

// The table words of CountData that bound a walk, with their tables' capacities.
constexpr std::pair<int, int> kCountBounds[] = {
    {kCountTrains, kMaxTrains},         {kCountPermits, kMaxPermitData},    {kCountSlowOrders, kMaxSlowData},
    {kCountPlatforms, kMaxPlatforms},   {kCountBlocks, kMaxBlocks},         {kCountSwitches, kMaxSwitches},
    {kCountSignals, kMaxSignals},       {kCountDiamonds, kMaxCrossings},    {kCountLocations, kMaxLocations},
    {kCountStations, kMaxStations},     {kCountTexts, kMaxTexts},           {kCountBitmapInserts, kMaxBitmapInserts},
    {kCountTrainTypes, kMaxTrainTypes}, {kCountStartTimes, kMaxStartTimes}, {kCountAreas, kMaxAreas},
    {kCountOSPoints, kMaxOSData},
};

bool CountsFit(const CountData& counts) {
  if (counts.Words[kCountGridColumns] < 0 || counts.Words[kCountGridColumns] >= kGridColumns) return false;
  if (counts.Words[kCountGridRows] < 0 || counts.Words[kCountGridRows] >= kGridRows) return false;
  for (const auto& [word, capacity] : kCountBounds)
    if (counts.Words[word] < 0 || counts.Words[word] > capacity) return false;
  return true;
}

// Reads n records and hands each to store(i, record).
template <class Record, class Store>
bool ReadTable(ByteReader& in, int n, Store store) {
  for (int i = 0; i < n; ++i) {
    Record record;
    if (!in.Get(record)) return false;
    store(i, record);
  }
  return true;
}

constexpr int kOldStartTimeBytes = 370;

}  // namespace

int TrackFile::ReadBody(ByteReader& in, int version, const std::string& path) {
  int16_t reserved = 0;
  int32_t identity1 = 0, identity2 = 0, changeCount = 0, changeCopy = 0;
  CountData counts{};
  in.Get(reserved);
  in.Get(identity1);
  in.Get(identity2);
  in.Get(changeCount);
  if (version >= 35) in.Get(changeCopy);
  in.Get(counts);
  if (!in.Ok() || !CountsFit(counts)) return file_result::kDamaged;
  store_.TrackReservedWord = reserved;
  store_.TrackIdentity1 = identity1;
  store_.TrackIdentity2 = identity2;
  store_.ChangeCount = store_.LoadedChangeCount = changeCount;
  store_.UpdateCountData(counts);

  TerritoryData territory{};
  if (!in.Get(territory) || !in.Get(store_.TerritoryCounters)) return file_result::kDamaged;
  store_.UpdateTerritoryData(territory);

  // Grids, column by column over the used extent. A column of the store's grids is one run of cells, so
  // the track and device columns are read in place; the flag grid is int16 in the file, a byte here.
  const int columns = counts.Words[kCountGridColumns] + 1;
  const int rows = counts.Words[kCountGridRows] + 1;
  const size_t columnBytes = sizeof(int16_t) * static_cast<size_t>(rows);
  for (auto* grid : {store_.GridTrack.data(), store_.GridDevice.data()}) {
    for (int x = 0; x < columns; ++x)
      if (!in.Read(grid + x * kGridRows, columnBytes)) return file_result::kDamaged;
  }
  for (int x = 0; x < columns; ++x) {
    const uint8_t* column = in.Take(columnBytes);
    if (!column) return file_result::kDamaged;
    // The low byte of each little-endian word, four words at a time as far as they go.
    uint8_t* flags = store_.GridFlags.data() + x * kGridRows;
    int y = 0;
    for (; y + 4 <= rows; y += 4) {
      uint64_t words = 0;
      std::memcpy(&words, column + 2 * y, sizeof words);
      const uint32_t low = static_cast<uint32_t>((words & 0xFF) | ((words >> 8) & 0xFF00) | ((words >> 16) & 0xFF0000) |
                                                 ((words >> 24) & 0xFF000000));
      std::memcpy(flags + y, &low, sizeof low);
    }
    for (; y < rows; ++y) flags[y] = column[2 * y];
  }

  const auto& w = counts.Words;
  bool ok =
      ReadTable<TrainData>(in, w[kCountTrains], [&](int i, const TrainData& r) { store_.UpdateTrainData(i, r); }) &&
      ReadTable<PermitData>(in, w[kCountPermits], [&](int i, const PermitData& r) { store_.UpdatePermitData(i, r); }) &&
      ReadTable<SlowData>(in, w[kCountSlowOrders], [&](int i, const SlowData& r) { store_.UpdateSlowData(i, r); }) &&
      ReadTable<TrainType>(in, w[kCountTrainTypes], [&](int i, const TrainType& r) { store_.UpdateTrainType(i, r); }) &&
      ReadTable<PlatformData>(in, w[kCountPlatforms],
                              [&](int i, const PlatformData& r) { store_.UpdatePlatformData(i, r); }) &&
      ReadTable<BlockData>(in, w[kCountBlocks], [&](int i, const BlockData& r) { store_.UpdateBlockData(i, r); }) &&
      ReadTable<SwitchData>(in, w[kCountSwitches],
                            [&](int i, const SwitchData& r) { store_.UpdateSwitchData(i, r); }) &&
      ReadTable<SignalData>(in, w[kCountSignals], [&](int i, const SignalData& r) { store_.UpdateSignalData(i, r); }) &&
      ReadTable<CrossData>(in, w[kCountDiamonds], [&](int i, const CrossData& r) { store_.UpdateCrossData(i, r); }) &&
      ReadTable<OrgData>(in, w[kCountLocations], [&](int i, const OrgData& r) { store_.UpdateOrgData(i, r); }) &&
      ReadTable<StationData32>(in, w[kCountStations],
                               [&](int i, const StationData32& r) { store_.UpdateStationData(i, r); }) &&
      ReadTable<TextData>(in, w[kCountTexts], [&](int i, const TextData& r) { store_.UpdateTextData(i, r); });
  if (!ok) return file_result::kDamaged;

  // Start times: the 370-byte form of versions 30-35 lacks the two 50-byte columns at 360 and 410.
  for (int i = 0; i < w[kCountStartTimes]; ++i) {
    if (version >= 36) {
      StartTime start;
      if (!in.Get(start)) return file_result::kDamaged;
      store_.UpdateStartTime(i, start);
      continue;
    }
    uint8_t old[kOldStartTimeBytes];
    if (!in.Read(old, sizeof old)) return file_result::kDamaged;
    if (old[0] == 0) continue;
    StartTime start = store_.GetStartTime(i);
    auto* bytes = reinterpret_cast<uint8_t*>(&start);
    std::memcpy(bytes, old, 360);
    std::memcpy(bytes + 460, old + 360, 5);
    store_.UpdateStartTime(i, start);
  }

  ok = ReadTable<AreaData>(in, w[kCountAreas], [&](int i, const AreaData& r) { store_.UpdateAreaData(i, r); }) &&
       ReadTable<DetectorData>(in, kMaxDetectors,
                               [&](int i, const DetectorData& r) { store_.UpdateDetectorData(i, r); });
  TerritoryOptions options{};
  if (!ok || !in.Get(options)) return file_result::kDamaged;
  store_.UpdateTerritoryOptions(options);
  if (!ReadTable<OSData>(in, w[kCountOSPoints], [&](int i, const OSData& r) { store_.UpdateOSData(i, r); }))
    return file_result::kDamaged;

  // Train icon images: kept in memory with their icon record.
  int32_t icons = 0;
  if (!in.Get(icons) || icons < 0 || icons > kMaxTrainIcons) return file_result::kDamaged;
  for (int n = 0; n < icons; ++n) {
    int32_t size = 0;
    char name[kIconNameBytes];
    if (!in.Get(size) || size < 0 || size >= kIconImageLimit || !in.Read(name, sizeof name))
      return file_result::kDamaged;
    std::vector<uint8_t> image(static_cast<size_t>(size));
    if (!in.Read(image.data(), image.size())) return file_result::kDamaged;
    if (!IsUsableBitmapImage(image.data(), image.size())) {
      store_.ShowMessage("The temporary bitmap file is illegal!", MessageIcon::Error);
      continue;
    }
    const int slot = store_.FindFreeTrainIconData();
    if (slot < 0) continue;  // the table is full: the icon is left out
    TrainIconData icon = store_.GetTrainIconData(slot);
    icon.InUse = 1;
    SetFieldText(icon.FileName, FieldText(name, sizeof name));
    store_.TrainIconImages[slot] = std::move(image);
    store_.UpdateTrainIconData(slot, icon);
  }
  // Each type's pictures: the first icon slot in use that carries the picture's name.
  std::array<std::string, kMaxTrainIcons> iconNames;
  std::array<bool, kMaxTrainIcons> iconInUse{};
  for (int slot = 0; slot < kMaxTrainIcons; ++slot) {
    const TrainIconData icon = store_.GetTrainIconData(slot);
    iconInUse[slot] = icon.InUse != 0;
    if (iconInUse[slot]) iconNames[slot] = FieldText(icon.FileName);
  }
  for (int t = 0; t < kMaxTrainTypes; ++t) {
    const TrainType& type = store_.TrainTypeRef(t);
    if (type.InUse == 0) continue;
    for (int k = 0; k < 3; ++k) {
      const std::string picture = FieldText(type.BitmapFiles[k]);
      for (int slot = 0; slot < kMaxTrainIcons; ++slot) {
        if (iconInUse[slot] && iconNames[slot] == picture) {
          store_.TrainTypeIcons[t][k] = static_cast<int16_t>(slot);
          break;
        }
      }
    }
  }

  // Comments text: present when the comments-file field is set. It goes to a file named after the track
  // file, which is written only when it does not exist yet, and only once the whole file was accepted.
  std::string commentsPath;
  std::string commentsText;
  if (territory.CommentsFile[0] != 0) {
    commentsPath = PathFolder(path) + PathBaseName(path) + ".txt";
    const bool fits = commentsPath.size() < sizeof territory.CommentsFile;
    SetFieldText(territory.CommentsFile, commentsPath);
    store_.UpdateTerritoryData(territory);
    int32_t length = 0;
    if (!in.Get(length) || length < 0) return file_result::kDamaged;
    // Taken whole from the file's bytes: a length beyond them is a cut-off text, refused before anything
    // is held in memory.
    const uint8_t* text = in.Take(static_cast<size_t>(length));
    if (!text) return file_result::kDamaged;
    commentsText.assign(reinterpret_cast<const char*>(text), static_cast<size_t>(length));
    if (!fits) commentsPath.clear();
  }
  ok = ReadTable<BitmapInsert>(in, kMaxBitmapInserts,
                               [&](int i, const BitmapInsert& r) { store_.UpdateBitmapInsert(i, r); }) &&
       ReadTable<BitmapMaint>(in, kMaxMaintBitmaps,
                              [&](int i, const BitmapMaint& r) { store_.UpdateBitmapMaint(i, r); });
  std::array<int32_t, kMaxMaintBitmaps> sizes{};
  if (!ok || !in.Read(sizes.data(), sizeof sizes)) return file_result::kDamaged;
  for (int i = 0; i < kMaxMaintBitmaps; ++i) {
    if (sizes[i] < 0) return file_result::kDamaged;
    if (sizes[i] == 0) continue;
    // A buffer holds 60,000 bytes; the rest of a larger image is passed over and the loader drops it.
    const int kept = std::min(sizes[i], kMaintImageBytes);
    if (!in.Read(store_.MaintImage(i), kept) || !in.Skip(sizes[i] - kept)) return file_result::kDamaged;
    store_.MaintImageSizes[i] = sizes[i];
  }

  std::array<int16_t, 4> endMagic{};
  if (!in.Read(endMagic.data(), sizeof endMagic) || endMagic != kTrackMagic) return file_result::kDamaged;

  // Signals of code 21 stand one column to the left in the file.
  for (int i = 0; i < w[kCountSignals]; ++i) {
    const SignalData signal = store_.GetSignalData(i);
    if (signal.InUse == 0 || signal.TrackCode != 21) continue;
    const int x = signal.CellX, y = signal.CellY;
    if (x < 1 || x >= kGridColumns || y < 0 || y >= kGridRows) return file_result::kDamaged;
    const int16_t code = store_.GetGridTrack(x - 1, y), device = store_.GetGridDevice(x - 1, y);
    store_.UpdateGridTrack(x - 1, y, 0);
    store_.UpdateGridDevice(x - 1, y, -1);
    store_.UpdateGridTrack(x, y, code);
    store_.UpdateGridDevice(x, y, device);
  }

  // Read in place first: a record that holds its value already is not stored again.
  if (version < 37) {
    const auto unset = [](const TrainData& train) {
      for (const auto& leg : train.Multiple)
        if (leg.NewLength != -1) return false;
      for (const auto& work : train.LocalWork)
        if (work.NewLength != -1) return false;
      return true;
    };
    for (int i = 0; i < kMaxTrains; ++i) {
      if (unset(store_.TrainDataRef(i))) continue;
      TrainData train = store_.GetTrainData(i);
      for (auto& leg : train.Multiple) leg.NewLength = -1;
      for (auto& work : train.LocalWork) work.NewLength = -1;
      store_.UpdateTrainData(i, train);
    }
  }
  // No switch is hand-thrown after a load, whatever the file says.
  for (int i = 0; i < kMaxSwitches; ++i) {
    if (store_.SwitchDataRef(i).HandThrown == 0) continue;
    SwitchData sw = store_.GetSwitchData(i);
    sw.HandThrown = 0;
    store_.UpdateSwitchData(i, sw);
  }

  if (!commentsPath.empty()) WriteCommentsFile(commentsPath, commentsText);
  return file_result::kDone;
}
