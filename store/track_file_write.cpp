// Saving the territory as a version 37 track file, and the small WAV test of
// the alert sound settings. The file is built whole and replaces the target
// atomically, so a failed save leaves the old file as it was.
#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "store/atomic_file.h"
#include "store/binary_io.h"
#include "store/corvane3_data.h"
#include "store/device_numbers.h"
#include "store/file_results.h"
#include "store/fixed_text.h"
#include "store/track_file_format.h"

namespace {

constexpr int kMaxListedBitmaps = 30;
constexpr const char* kInternalBitmapMark = "(internal bitmap)";

// The whole content of a file, or false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& text) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  text.clear();
  char piece[kCommentsPiece];
  size_t n;
  while ((n = std::fread(piece, 1, sizeof piece, file)) > 0) text.append(piece, n);
  const bool ok = !std::ferror(file);
  std::fclose(file);
  return ok;
}

struct ListedBitmap {
  std::string Name;
  int Type;
};

}  // namespace

int Corvane3Data::WriteTrackFile(const std::string& path, uint8_t announce) {
  // Checks: nothing is created unless the territory can be written.
  std::vector<ListedBitmap> bitmaps;
  for (int t = 0; t < kMaxTrainTypes; ++t) {
    const TrainType type = GetTrainType(t);
    for (const auto& field : type.BitmapFiles) {
      const std::string name = FieldText(field);
      if (name.empty() || name.find(kInternalBitmapMark) != std::string::npos) continue;
      const bool listed =
          std::any_of(bitmaps.begin(), bitmaps.end(), [&](const ListedBitmap& b) { return b.Name == name; });
      if (!listed && static_cast<int>(bitmaps.size()) < kMaxListedBitmaps) bitmaps.push_back({name, t});
    }
  }
  int errors = 0;
  for (const ListedBitmap& bitmap : bitmaps) {
    const std::string head =
        "\"" + FieldText(GetTrainType(bitmap.Type).Name) + "(" + std::to_string(bitmap.Type) + ")\", ";
    std::string text;
    // A picture the territory carries is checked as held; only a newly named one is read from disk.
    const std::vector<uint8_t>* held = HeldTrainIconImage(bitmap.Name);
    const int check =
        held ? CheckBitmapBytes(held->data(), held->size(), 32, 14) : CheckBitmapFile(bitmap.Name, 32, 14);
    switch (check) {
      case 3:
        text = head + "Could not find or open locomotive or caboose bitmap file \"" + bitmap.Name + "\".";
        break;
      case 1:
        text = head + "Locomotive or caboose bitmap file \"" + bitmap.Name + "\" is not a valid bitmap file.";
        break;
      case 4:
        text = head + "Locomotive or caboose bitmap file \"" + bitmap.Name +
               "\" is not the correct size.  It should have a width of 32 pixes and a height of 14 pixels.";
        break;
      default:
        continue;
    }
    ShowMessage(text, MessageIcon::Error);
    ++errors;
  }
  const TerritoryData territory = GetTerritoryData();
  const std::string commentsPath = FieldText(territory.CommentsFile);
  std::string comments;
  std::error_code sizeError;
  const auto commentsSize = commentsPath.empty() ? 0 : std::filesystem::file_size(commentsPath, sizeError);
  if (!commentsPath.empty() && !sizeError && commentsSize > static_cast<uintmax_t>(INT32_MAX)) {
    // The file gives the text a 32-bit length: a longer one could not be loaded again.
    ShowMessage("The comments file \"" + commentsPath + "\" is too large to be saved in the track file.",
                MessageIcon::Error);
    ++errors;
  } else if (!commentsPath.empty() && !ReadWholeFile(commentsPath, comments)) {
    comments.clear();
    ShowMessage("Could not find or open comments file \"" + commentsPath + "\".", MessageIcon::Error);
  }
  bool anyStartTime = false;
  for (int i = 0; i < kMaxStartTimes; ++i) anyStartTime = anyStartTime || GetStartTime(i).InUse != 0;
  if (!anyStartTime) {
    ShowMessage("The territory has no start time.  Add at least one start time before saving the track file.",
                MessageIcon::Error);
    ++errors;
  }
  if (errors > 0) {
    ShowMessage("Could not create new track file because of errors.", MessageIcon::Error);
    return file_result::kRefusedByChecks;
  }

  // The icon images go in list order; an image that cannot be read or is too large is left out.
  std::vector<std::pair<std::string, std::vector<uint8_t>>> icons;
  for (const ListedBitmap& bitmap : bitmaps) {
    if (const std::vector<uint8_t>* held = HeldTrainIconImage(bitmap.Name)) {
      if (held->size() < static_cast<size_t>(kIconImageLimit)) icons.emplace_back(bitmap.Name, *held);
      continue;
    }
    std::FILE* file = std::fopen(bitmap.Name.c_str(), "rb");
    if (!file) continue;
    std::vector<uint8_t> bytes(kIconImageLimit);
    const size_t n = std::fread(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    if (n >= static_cast<size_t>(kIconImageLimit)) continue;
    bytes.resize(n);
    icons.emplace_back(bitmap.Name, std::move(bytes));
  }

  const CountData counts = ComputeTrackCounts();
  const auto& w = counts.Words;

  // Signals of code 21 are written one column to the left; the store keeps them where they are.
  std::vector<int16_t> track(GridTrack.begin(), GridTrack.end());
  std::vector<int16_t> device(GridDevice.begin(), GridDevice.end());
  for (int i = 0; i < w[kCountSignals]; ++i) {
    const SignalData signal = GetSignalData(i);
    if (signal.InUse == 0 || signal.TrackCode != 21) continue;
    const int x = signal.CellX, y = signal.CellY;
    if (x < 1 || x >= kGridColumns || y < 0 || y >= kGridRows) continue;  // no column to its left
    const int to = (x - 1) * kGridRows + y, from = x * kGridRows + y;
    track[to] = 21;
    track[from] = 0;
    device[to] = static_cast<int16_t>(device::SignalNumber(i));
    device[from] = -1;
  }

  ByteWriter out;
  out.Write(kTrackMagic.data(), sizeof kTrackMagic);
  out.Put(static_cast<int16_t>(HighestTrackVersion));
  out.Put(static_cast<int16_t>(TrackReservedWord));
  out.Put(TrackIdentity1);
  out.Put(TrackIdentity2);
  out.Put(ChangeCount);
  out.Put(ChangeCount);
  out.Put(counts);
  out.Put(territory);
  out.Put(TerritoryCounters);
  const int columns = w[kCountGridColumns] + 1, rows = w[kCountGridRows] + 1;
  for (int x = 0; x < columns; ++x) out.Write(&track[x * kGridRows], sizeof(int16_t) * rows);
  for (int x = 0; x < columns; ++x) out.Write(&device[x * kGridRows], sizeof(int16_t) * rows);
  for (int x = 0; x < columns; ++x) {
    for (int y = 0; y < rows; ++y) out.Put(static_cast<int16_t>(static_cast<int8_t>(GridFlags[x * kGridRows + y])));
  }
  for (int i = 0; i < w[kCountTrains]; ++i) out.Put(GetTrainData(i));
  for (int i = 0; i < w[kCountPermits]; ++i) out.Put(GetPermitData(i));
  for (int i = 0; i < w[kCountSlowOrders]; ++i) out.Put(GetSlowData(i));
  for (int i = 0; i < w[kCountTrainTypes]; ++i) out.Put(GetTrainType(i));
  for (int i = 0; i < w[kCountPlatforms]; ++i) out.Put(GetPlatformData(i));
  for (int i = 0; i < w[kCountBlocks]; ++i) out.Put(GetBlockData(i));
  for (int i = 0; i < w[kCountSwitches]; ++i) out.Put(GetSwitchData(i));
  for (int i = 0; i < w[kCountSignals]; ++i) out.Put(GetSignalData(i));
  for (int i = 0; i < w[kCountDiamonds]; ++i) out.Put(GetCrossData(i));
  for (int i = 0; i < w[kCountLocations]; ++i) out.Put(GetOrgData(i));
  for (int i = 0; i < w[kCountStations]; ++i) out.Put(GetStationData(i));
  for (int i = 0; i < w[kCountTexts]; ++i) out.Put(GetTextData(i));
  for (int i = 0; i < w[kCountStartTimes]; ++i) out.Put(GetStartTime(i));
  for (int i = 0; i < w[kCountAreas]; ++i) out.Put(GetAreaData(i));
  for (int i = 0; i < kMaxDetectors; ++i) out.Put(GetDetectorData(i));
  out.Put(GetTerritoryOptions());
  for (int i = 0; i < w[kCountOSPoints]; ++i) out.Put(GetOSData(i));

  out.Put(static_cast<int32_t>(icons.size()));
  for (const auto& [name, bytes] : icons) {
    char field[kIconNameBytes];
    SetFieldText(field, sizeof field, name);
    out.Put(static_cast<int32_t>(bytes.size()));
    out.Write(field, sizeof field);
    out.Write(bytes.data(), bytes.size());
  }
  if (!commentsPath.empty()) {
    out.Put(static_cast<int32_t>(comments.size()));
    out.Write(comments.data(), comments.size());
  }
  for (int i = 0; i < kMaxBitmapInserts; ++i) out.Put(GetBitmapInsert(i));
  for (int i = 0; i < kMaxMaintBitmaps; ++i) out.Put(GetBitmapMaint(i));
  std::array<int32_t, kMaxMaintBitmaps> sizes{};
  for (int i = 0; i < kMaxMaintBitmaps; ++i) {
    // Only what an image buffer can hold is ever written.
    sizes[i] = MaintImageSizes[i] > 0 && MaintImageSizes[i] <= kMaintImageBytes ? MaintImageSizes[i] : 0;
  }
  out.Write(sizes.data(), sizeof sizes);
  for (int i = 0; i < kMaxMaintBitmaps; ++i) out.Write(MaintImage(i), sizes[i]);
  out.Write(kTrackMagic.data(), sizeof kTrackMagic);

  if (!ReplaceFile(path, out.Bytes())) {
    ShowMessage("Could not save track file", MessageIcon::Error);
    return file_result::kCannotOpen;
  }

  if (announce == 1) {
    messages_->ShowMessage("Created new track file called \"" + path + "\".", FieldText(Captions[0], kCaptionChars),
                           MessageIcon::Information, MessageButtons::Ok);
  }
  SetFieldText(LastSavedTrackPath, path);
  ChangeCount = LoadedChangeCount;
  return file_result::kDone;
}

const std::vector<uint8_t>* Corvane3Data::HeldTrainIconImage(const std::string& name) const {
  for (int slot = 0; slot < kMaxTrainIcons; ++slot) {
    if (TrainIconImages[slot].empty()) continue;
    const TrainIconData icon = GetTrainIconData(slot);
    if (icon.InUse != 0 && FieldText(icon.FileName) == name) return &TrainIconImages[slot];
  }
  return nullptr;
}

int Corvane3Data::CheckWaveFile(const std::string& path) const {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return file_result::kCannotOpen;
  unsigned char head[20] = {};
  const size_t n = std::fread(head, 1, sizeof head, file);
  std::fclose(file);
  if (n < 12) return file_result::kDamaged;
  const char* wave = "wave";
  for (int i = 0; i < 4; ++i)
    if (std::tolower(head[8 + i]) != wave[i]) return file_result::kDamaged;
  return file_result::kDone;
}
