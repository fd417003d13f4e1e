// Reading a track file of structure version below 30, written by an earlier
// generation of the program with smaller tables and other record layouts. The
// old tables are converted into the first slots of the current ones; device
// numbers are renumbered, start times are built from the trains, default
// detectors are made and the counts are worked out afresh.
//
// The old format has no end magic. So that a damaged file is not loaded as
// garbage, the reader first checks that the file's length is exactly that of
// the fixed sections plus the maintenance images they announce, and refuses it
// (result 1) before anything is stored or written otherwise.
//
// The old station and text label records are read field by field. Their fields
// follow the current records in the old order (our choice; no old layout is on
// record beyond what is said here):
//   station (77 bytes): uint16 in use; char[21] name; char[3] short code; int16 left, top, width, height;
//     font: int16 height, int16 width, int16 weight, byte italic, char[32] face name; int32 colour.
//   text label (157 bytes): char[100] text; int16 left, top, width, height; int16 format, frame, layer;
//     font as for stations; int32 colour.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "store/binary_io.h"
#include "store/corvane3_data.h"
#include "store/file_results.h"
#include "store/fixed_text.h"
#include "store/track_file.h"
#include "store/track_file_format.h"

namespace {

constexpr int kIdentityBytes = 2 + 4 + 4;
constexpr int kHeaderBytes = 624;
constexpr int kOldTrains = 200, kOldTrainBytes = 245;
constexpr int kOldPermits = 40, kOldPermitBytes = 41;
constexpr int kOldSlows = 40, kOldSlowBytes = 49;
constexpr int kOldTypes = 4, kOldTypeBytes = 41;
constexpr int kOldPlatforms = 10, kOldPlatformBytes = 55;
constexpr int kOldBlocks = 600, kOldBlockBytes = 97, kOldBlockBytes2 = 37;
constexpr int kOldSwitches = 250, kOldSwitchBytes = 58;
constexpr int kOldSignals = 250, kOldSignalBytes = 48;
constexpr int kOldLocations = 50, kOldLocationBytes = 31;
constexpr int kOldStations = 50, kOldStationBytes = 77;
constexpr int kOldTexts = 80, kOldTextBytes = 157;
constexpr int kOldSkipped1 = 48;
constexpr int kOldSkipped2 = 7 * 292 + 78 + 7550;
constexpr int kOldInserts = 80;
constexpr int kOldMaints = 40;

// The bytes from behind the maintenance sizes back to the version word.
constexpr int64_t FixedBytesBeforeSizes(int version) {
  return (version >= 10 ? kIdentityBytes : 0) + kHeaderBytes + 16 + kGridCells * (2 + 2 + 1) +
         int64_t{kOldTrains} * kOldTrainBytes + kOldPermits * kOldPermitBytes + kOldSlows * kOldSlowBytes +
         kOldTypes * kOldTypeBytes + kOldPlatforms * kOldPlatformBytes +
         int64_t{kOldBlocks} * (kOldBlockBytes + kOldBlockBytes2) + kOldSwitches * kOldSwitchBytes +
         kOldSignals * kOldSignalBytes + kOldLocations * kOldLocationBytes + kOldStations * kOldStationBytes +
         kOldTexts * kOldTextBytes + kOldSkipped1 + 4 + kOldSkipped2 + kOldInserts * sizeof(BitmapInsert) +
         kOldMaints * sizeof(BitmapMaint);
}

int16_t I16(const uint8_t* p) {
  int16_t v;
  std::memcpy(&v, p, 2);
  return v;
}

int32_t I32(const uint8_t* p) {
  int32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

// A NUL-terminated text of at most width bytes.
std::string OldText(const uint8_t* p, size_t width) {
  return std::string(reinterpret_cast<const char*>(p), strnlen(reinterpret_cast<const char*>(p), width));
}

// Device numbers of the old layout: switches were 1000-1999 and signals 2000-2999. A number outside
// them leaves the current value. Values in and out: the fields are packed, never bound by reference.
int16_t RenumberDevice(int16_t old, int16_t current) {
  if (old == -1 || (old >= 0 && old < 1000)) return old;
  if (old >= 1000 && old < 3000) return static_cast<int16_t>(old + 1000);
  return current;
}

// The font description the old font values make, in the 60-byte layout of the current records.
FontBytes OldFont(const uint8_t* p) {
  FontBytes font{};
  font.Height = I16(p);
  font.Width = I16(p + 2);
  font.Weight = I16(p + 4);
  font.Italic = p[6];
  font.CharSet = 1;  // default character set
  std::memcpy(font.FaceName, p + 7, 31);
  font.FaceName[31] = 0;
  return font;
}

// "A to B" becomes prefix + "A-B"; false for a name without " to ".
bool SplitTrackName(const std::string& name, const std::string& prefix, std::string& out) {
  const size_t at = name.find(" to ");
  if (at == std::string::npos) return false;
  out = prefix + name.substr(0, at) + "-" + name.substr(at + 4);
  return true;
}

}  // namespace

uint64_t OldTrackFile::LargestBody(int version) {
  using Size = uint16_t;  // what a maintenance image size is stored in
  return static_cast<uint64_t>(FixedBytesBeforeSizes(version)) + kOldMaints * (sizeof(Size) + uint64_t{UINT16_MAX});
}

int OldTrackFile::Read(ByteReader& in, int version, const std::string& path) {
  // The length check, before anything is changed.
  const int64_t length = static_cast<int64_t>(in.Left());
  const int64_t fixed = FixedBytesBeforeSizes(version);
  if (length < fixed + kOldMaints * 2) return file_result::kDamaged;
  // The image sizes stand behind the fixed part: read them ahead on a copy of the reader.
  ByteReader ahead = in;
  uint16_t sizes[kOldMaints];
  if (!ahead.Skip(fixed) || !ahead.Get(sizes)) return file_result::kDamaged;
  int64_t images = 0;
  for (const uint16_t size : sizes) images += size;
  if (length != fixed + static_cast<int64_t>(sizeof sizes) + images) return file_result::kDamaged;

  if (version >= 10) {
    int16_t reserved = 0;
    in.Get(reserved);
    in.Get(store_.TrackIdentity1);
    in.Get(store_.TrackIdentity2);
    store_.TrackReservedWord = reserved;
  } else {
    store_.TrackIdentity1 = store_.TrackIdentity2 = 0;
  }
  store_.ChangeCount = store_.LoadedChangeCount = 0;

  // Territory header.
  std::vector<uint8_t> old(kHeaderBytes);
  in.Read(old.data(), old.size());
  TerritoryData territory{};
  SetFieldText(territory.Name, OldText(&old[0], 31));
  SetFieldText(territory.Version, OldText(&old[31], 6));
  SetFieldText(territory.Author, OldText(&old[37], 31));
  SetFieldText(territory.Address, OldText(&old[68], 163));
  SetFieldText(territory.Email, OldText(&old[231], 31));
  territory.PublicDomain = I16(&old[262]);
  territory.CopyrightProtected = I16(&old[264]);
  const std::string commentsText = OldText(&old[266], 201);
  SetFieldText(territory.CopyrightNotice, OldText(&old[467], kHeaderBytes - 467));
  const std::string base = PathFolder(path) + PathBaseName(path);
  SetFieldText(territory.TrackFileName, base + ".trk");
  const std::string commentsPath = base + ".txt";
  SetFieldText(territory.CommentsFile, commentsPath);
  store_.UpdateTerritoryData(territory);
  // The comments go to their own file, unless one is there already (or its name does not fit the field).
  if (commentsPath.size() < sizeof territory.CommentsFile) WriteCommentsFile(commentsPath, commentsText);

  in.Get(store_.TerritoryCounters);
  // The grids are whole and run column by column as the store's do: read in place.
  in.Read(store_.GridTrack.data(), sizeof store_.GridTrack);
  if (const uint8_t* devices = in.Take(sizeof store_.GridDevice)) {
    // Most cells name no device (0 or -1, which keep their value): they are taken four at a time.
    static_assert(kGridCells % 4 == 0);
    for (int first = 0; first < kGridCells; first += 4) {
      uint64_t four = 0;
      std::memcpy(&four, devices + 2 * first, sizeof four);
      if (four == 0 || four == ~uint64_t{0}) {
        std::memcpy(store_.GridDevice.data() + first, &four, sizeof four);
        continue;
      }
      for (int cell = first; cell < first + 4; ++cell)
        store_.GridDevice[cell] = RenumberDevice(I16(devices + 2 * cell), store_.GridDevice[cell]);
    }
  }
  in.Read(store_.GridFlags.data(), store_.GridFlags.size());

  old.resize(kOldTrainBytes);
  for (int i = 0; i < kOldTrains && in.Read(old.data(), kOldTrainBytes); ++i) {
    if (I16(&old[0]) == 0) continue;
    TrainData train = store_.GetTrainData(i);
    train.InUse = static_cast<uint16_t>(I16(&old[0]));
    train.EntryDirection = old[7];
    train.Length = I16(&old[9]);
    train.Type = old[11];
    train.Word1335 = I16(&old[13]);
    SetFieldText(train.Entrance, OldText(&old[15], 3));
    train.EntranceMinutes = static_cast<uint16_t>(I16(&old[18]));
    SetFieldText(train.Exit, OldText(&old[20], 3));
    train.Byte50 = 1;
    for (int k = 0; k < 10; ++k) {
      const int16_t minutes = I16(&old[23 + 2 * k]);
      train.Stations[k].Minutes = static_cast<uint16_t>(minutes);
      train.Stations[k].DwellSeconds = minutes == -1 ? -1 : I16(&old[43 + 2 * k]);
    }
    for (int k = 0; k < 5; ++k) {
      const uint8_t* entry = &old[63 + 21 * k];
      TrainMultipleEntry& leg = train.Multiple[k];
      SetFieldText(leg.LegExit, OldText(entry, 3));
      SetFieldText(leg.NextEntrance, OldText(entry + 3, 3));
      leg.ReentryMinutes = static_cast<uint16_t>(I16(entry + 6));
      SetFieldText(leg.Text8, OldText(entry + 8, 11));
      leg.Word19 = static_cast<uint16_t>(I16(entry + 19));
    }
    std::memcpy(train.Days, &old[168], 7);
    SetFieldText(train.Description, OldText(&old[213], 21));
    SetFieldText(train.TrainId, OldText(&old[234], 11));
    store_.UpdateTrainData(i, train);
  }

  old.resize(kOldPermitBytes);
  for (int i = 0; i < kOldPermits && in.Read(old.data(), kOldPermitBytes); ++i) {
    std::string name;
    if (I16(&old[0]) == 0 || !SplitTrackName(OldText(&old[2], 15), "", name)) continue;
    PermitData permit = store_.GetPermitData(i);
    permit.InUse = I16(&old[0]);
    SetFieldText(permit.TrackName, name);
    permit.StartMinutes = I16(&old[17]);
    permit.EndMinutes = I16(&old[19]);
    store_.UpdatePermitData(i, permit);
  }

  old.resize(kOldSlowBytes);
  for (int i = 0; i < kOldSlows && in.Read(old.data(), kOldSlowBytes); ++i) {
    std::string name;
    if (I16(&old[0]) == 0 || !SplitTrackName(OldText(&old[2], 15), "Track ", name)) continue;
    SlowData slow = store_.GetSlowData(i);
    slow.InUse = I16(&old[0]);
    SetFieldText(slow.Location, name);
    slow.StartMinutes = I16(&old[17]);
    slow.EndMinutes = I16(&old[19]);
    for (int k = 0; k < 4; ++k) slow.SpeedsFirst[k] = slow.SpeedsSecond[k] = I16(&old[21 + 2 * k]);
    store_.UpdateSlowData(i, slow);
  }

  old.resize(kOldTypeBytes);
  for (int i = 0; i < kOldTypes && in.Read(old.data(), kOldTypeBytes); ++i) {
    TrainType type = store_.GetTrainType(i);
    const std::string name = OldText(&old[1], 21);
    SetFieldText(type.Name, name);
    type.InUse = name.empty() ? 0 : 1;
    type.Kind = 7;
    store_.UpdateTrainType(i, type);
  }

  old.resize(kOldPlatformBytes);
  for (int i = 0; i < kOldPlatforms && in.Read(old.data(), kOldPlatformBytes); ++i) {
    if (I16(&old[0]) == 0) continue;
    PlatformData platform = store_.GetPlatformData(i);
    platform.InUse = I16(&old[0]);
    SetFieldText(platform.Name, OldText(&old[2], 21));
    store_.UpdatePlatformData(i, platform);
  }

  old.resize(kOldBlockBytes);
  for (int i = 0; i < kOldBlocks && in.Read(old.data(), kOldBlockBytes); ++i) {
    if (old[0] == 0) continue;
    BlockData block = store_.GetBlockData(i);
    block.InUse = old[0];
    SetFieldText(block.TrackStation1, OldText(&old[1], 2));
    SetFieldText(block.TrackStation2, OldText(&old[3], 2));
    SetFieldText(block.TrackPart, OldText(&old[5], 6));
    block.PassThrough = old[11];
    if (block.PassThrough == 1) SetFieldText(block.TrackPart, "Connector");
    block.LeftLinked = old[12];
    block.RightLinked = old[13];
    for (int side = 0; side < 2; ++side) {
      int16_t neighbour = I16(&old[14 + 2 * side]);
      if (neighbour >= 1000 && neighbour < 2000) neighbour = static_cast<int16_t>(neighbour + 1000);
      (side == 0 ? block.LeftNeighbour : block.RightNeighbour) = neighbour;
    }
    SetFieldText(block.LeftLocation, OldText(&old[18], 3));
    SetFieldText(block.RightLocation, OldText(&old[21], 3));
    block.SignalledLeft = old[24];
    block.SignalledRight = old[25];
    block.Length = I16(&old[26]);
    block.LeftSignal = I16(&old[30]);
    block.RightSignal = I16(&old[32]);
    for (int k = 0; k < 4; ++k) {
      block.SpeedOneClear[0][k] = block.SpeedOneClear[1][k] = I16(&old[34 + 2 * k]);
      block.SpeedTwoClear[0][k] = block.SpeedTwoClear[1][k] = I16(&old[42 + 2 * k]);
      block.SpeedMax[0][k] = block.SpeedMax[1][k] = I16(&old[50 + 2 * k]);
    }
    const std::string platform = OldText(&old[58], 21);
    SetFieldText(block.PlatformName, platform == "none" ? "" : platform);
    block.LeftCellX = I16(&old[79]);
    block.LeftCellY = I16(&old[81]);
    block.RightCellX = I16(&old[83]);
    block.RightCellY = I16(&old[85]);
    int detector = 0;
    if (old[88] == 1) SetFieldText(block.DetectorNames[detector++], "hot box");
    if (old[87] == 1) SetFieldText(block.DetectorNames[detector++], "dragging equipment");
    block.Word383 = I16(&old[89]);
    block.LongUnits = I16(&old[26]) % 528 == 0 ? 1 : 0;
    store_.UpdateBlockData(i, block);
  }
  old.resize(kOldBlockBytes2);
  for (int i = 0; i < kOldBlocks && in.Read(old.data(), kOldBlockBytes2); ++i) {
    BlockData block = store_.GetBlockData(i);
    if (block.InUse == 0) continue;
    for (int k = 0; k < 4; ++k) block.LabelCells[k] = I16(&old[2 * k]);
    block.ReversesPath = old[8];
    block.RunBytes[0] = old[11];
    block.RunBytes[1] = old[12];
    block.LabelFirstRight = I16(&old[16]);
    block.LabelSecondLeft = I16(&old[18]);
    store_.UpdateBlockData(i, block);
  }

  old.resize(kOldSwitchBytes);
  for (int i = 0; i < kOldSwitches && in.Read(old.data(), kOldSwitchBytes); ++i) {
    if (I16(&old[0]) == 0) continue;
    SwitchData sw = store_.GetSwitchData(i);
    sw.InUse = static_cast<uint16_t>(I16(&old[0]));
    SetFieldText(sw.DisplayName, OldText(&old[2], 16));
    for (int k = 0; k < 4; ++k) {
      sw.Legs[k] = RenumberDevice(I16(&old[18 + 2 * k]), sw.Legs[k]);
      sw.DivergingSpeed[k] = I16(&old[26 + 2 * k]);
    }
    sw.CellX = I16(&old[34]);
    sw.CellY = I16(&old[36]);
    sw.Partner = I16(&old[38]);
    sw.TrackCode = I16(&old[40]);
    store_.UpdateSwitchData(i, sw);
  }

  old.resize(kOldSignalBytes);
  for (int i = 0; i < kOldSignals && in.Read(old.data(), kOldSignalBytes); ++i) {
    if (I16(&old[0]) == 0) continue;
    SignalData signal = store_.GetSignalData(i);
    signal.InUse = static_cast<uint16_t>(I16(&old[0]));
    signal.Block = I16(&old[2]);
    SetFieldText(signal.Name, OldText(&old[4], 16));
    signal.CellX = I16(&old[20]);
    signal.CellY = I16(&old[22]);
    signal.Word44 = I16(&old[26]);
    signal.TrackCode = I16(&old[28]);
    store_.UpdateSignalData(i, signal);
  }

  old.resize(kOldLocationBytes);
  for (int i = 0; i < kOldLocations && in.Read(old.data(), kOldLocationBytes); ++i) {
    if (I16(&old[0]) == 0) continue;
    OrgData org = store_.GetOrgData(i);
    org.InUse = static_cast<uint16_t>(I16(&old[0]));
    SetFieldText(org.Name, OldText(&old[2], 3));
    org.Block = I16(&old[5]);
    org.Side = I16(&old[7]);
    org.Priority = I16(&old[9]);
    store_.UpdateOrgData(i, org);
  }

  old.resize(kOldStationBytes);
  for (int i = 0; i < kOldStations && in.Read(old.data(), kOldStationBytes); ++i) {
    if (I16(&old[0]) == 0) continue;
    StationData station = store_.GetStationData(i);
    station.InUse = static_cast<uint16_t>(I16(&old[0]));
    SetFieldText(station.Name, OldText(&old[2], 21));
    SetFieldText(station.ShortCode, OldText(&old[23], 3));
    for (int k = 0; k < 4; ++k) station.Words26[k] = I16(&old[26 + 2 * k]);
    station.Font = OldFont(&old[34]);
    station.Longs106[1] = I32(&old[73]);
    store_.UpdateStationData(i, station);
  }

  old.resize(kOldTextBytes);
  for (int i = 0; i < kOldTexts && in.Read(old.data(), kOldTextBytes); ++i) {
    if (old[0] == 0) continue;
    TextData text = store_.GetTextData(i);
    SetFieldText(text.Text, OldText(&old[0], 100));
    for (int k = 0; k < 7; ++k) text.Words100[k] = I16(&old[100 + 2 * k]);
    text.Font = OldFont(&old[114]);
    text.Longs186[1] = I32(&old[153]);
    store_.UpdateTextData(i, text);
  }

  // Start times: one per day of the week, listing that day's trains.
  int16_t startValues[2] = {0, 0};
  in.Skip(kOldSkipped1);
  in.Read(startValues, sizeof startValues);
  // The trains that can be listed, in table order, taken in one walk of the table for all seven days.
  std::vector<int> paired;
  for (int t = 0; t < kMaxTrains; ++t) {
    const TrainData& train = store_.TrainDataRef(t);
    if (train.InUse != 0 && train.Word1335 != -1) paired.push_back(t);
  }
  for (int d = 0; d < 7; ++d) {
    StartTime start = store_.GetStartTime(0);
    start.InUse = 1;
    start.Word1 = startValues[0];
    start.Word460 = startValues[1];
    std::memset(start.Days, 0, sizeof start.Days);
    start.Days[d] = 1;
    std::memset(start.TrainIndex, 0xFF, sizeof start.TrainIndex);
    std::memset(start.PairedIndex, 0xFF, sizeof start.PairedIndex);
    std::memset(start.Bytes210, 0, sizeof start.Bytes210);
    int listed = 0;
    for (const int t : paired) {
      if (listed == kStartTimeTrains) break;
      const TrainData& train = store_.TrainDataRef(t);
      if (train.Days[d] == 0) continue;
      start.TrainIndex[listed] = static_cast<uint16_t>(t);
      start.PairedIndex[listed] = static_cast<uint16_t>(train.Word1335);
      start.Bytes210[listed] = train.EntryDirection;
      ++listed;
    }
    store_.UpdateStartTime(d, start);
  }

  in.Skip(kOldSkipped2);
  for (int i = 0; i < kOldInserts; ++i) {
    BitmapInsert insert;
    if (in.Get(insert)) store_.UpdateBitmapInsert(i, insert);
  }
  for (int i = 0; i < kOldMaints; ++i) {
    BitmapMaint maint;
    if (in.Get(maint)) store_.UpdateBitmapMaint(i, maint);
  }
  in.Skip(sizeof sizes);  // read above
  for (int i = 0; i < kOldMaints; ++i) {
    store_.MaintImageSizes[i] = sizes[i];
    if (sizes[i] == 0) continue;
    const int kept = std::min<int>(sizes[i], kMaintImageBytes);
    in.Read(store_.MaintImage(i), kept);
    in.Skip(sizes[i] - kept);
  }
  if (!in.Ok()) return file_result::kDamaged;

  // Detectors: the two the old program knew.
  for (int i = 0; i < kMaxDetectors; ++i) {
    DetectorData detector{};
    detector.AlarmCheckMinutes = 30;
    detector.RepairMinutes = 120;
    if (i == 0) {
      detector.InUse = 1;
      SetFieldText(detector.Description, "hot box");
      detector.RaisesAlarm = 1;
    } else if (i == 1) {
      detector.InUse = 1;
      SetFieldText(detector.Description, "dragging equipment");
      detector.RepairMinutes = 30;
    }
    store_.UpdateDetectorData(i, detector);
  }
  TerritoryOptions options = store_.GetTerritoryOptions();
  options.Byte0 = 0;
  options.Units = 1;
  options.RunTimeSource = 1;
  store_.UpdateTerritoryOptions(options);
  store_.UpdateCountData(TrackFile(store_).ComputeCounts());
  return file_result::kDone;
}
