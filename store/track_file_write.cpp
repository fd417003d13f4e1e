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
#include "store/sound_files.h"
#include "store/track_file.h"
#include "store/track_file_format.h"
#include "store/whole_file/whole_file.h"

namespace {

constexpr int kMaxListedBitmaps = 30;
constexpr const char* kInternalBitmapMark = "(internal bitmap)";

struct ListedBitmap {
  std::string Name;
  int Type;
  std::vector<uint8_t> Image;  // the file's bytes, read once for the check and the save
  bool Carried = false;        // under the size the file can carry
};

}  // namespace

int TrackFile::Write(const std::string& path, uint8_t announce) {
  // Checks: nothing is created unless the territory can be written.
  std::vector<ListedBitmap> bitmaps;
  for (int t = 0; t < kMaxTrainTypes; ++t) {
    const TrainType type = store_.GetTrainType(t);
    for (const auto& field : type.BitmapFiles) {
      const std::string name = FieldText(field);
      if (name.empty() || name.find(kInternalBitmapMark) != std::string::npos) continue;
      const bool listed =
          std::any_of(bitmaps.begin(), bitmaps.end(), [&](const ListedBitmap& b) { return b.Name == name; });
      if (!listed && static_cast<int>(bitmaps.size()) < kMaxListedBitmaps) bitmaps.push_back({name, t, {}, false});
    }
  }
  int errors = 0;
  for (ListedBitmap& bitmap : bitmaps) {
    const std::string head =
        "\"" + FieldText(store_.GetTrainType(bitmap.Type).Name) + "(" + std::to_string(bitmap.Type) + ")\", ";
    std::string text;
    // A picture the territory carries is checked as held; only a newly named one is read from disk, once,
    // so that what was checked is what is saved. One that cannot be read is refused like a missing one.
    int check = 3;
    if (const std::vector<uint8_t>* held = HeldTrainIconImage(bitmap.Name)) {
      bitmap.Image = *held;
      check = store_.CheckBitmapBytes(held->data(), held->size(), 32, 14);
    } else if (whole_file::ReadHead(bitmap.Name, bitmap.Image, kIconImageLimit) == whole_file::Result::Read) {
      check = store_.CheckBitmapBytes(bitmap.Image.data(), bitmap.Image.size(), 32, 14);
    }
    bitmap.Carried = bitmap.Image.size() < static_cast<size_t>(kIconImageLimit);
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
    store_.ShowMessage(text, MessageIcon::Error);
    ++errors;
  }
  const TerritoryData territory = store_.GetTerritoryData();
  const std::string commentsPath = FieldText(territory.CommentsFile);
  std::string comments;
  std::error_code sizeError;
  const auto commentsSize = commentsPath.empty() ? 0 : std::filesystem::file_size(commentsPath, sizeError);
  if (!commentsPath.empty() && !sizeError && commentsSize > static_cast<uintmax_t>(INT32_MAX)) {
    // The file gives the text a 32-bit length: a longer one could not be loaded again.
    store_.ShowMessage("The comments file \"" + commentsPath + "\" is too large to be saved in the track file.",
                       MessageIcon::Error);
    ++errors;
  } else if (!commentsPath.empty() && whole_file::Read(commentsPath, comments) != whole_file::Result::Read) {
    comments.clear();
    store_.ShowMessage("Could not find or open comments file \"" + commentsPath + "\".", MessageIcon::Error);
  }
  bool anyStartTime = false;
  for (int i = 0; i < kMaxStartTimes; ++i) anyStartTime = anyStartTime || store_.GetStartTime(i).InUse != 0;
  if (!anyStartTime) {
    store_.ShowMessage("The territory has no start time.  Add at least one start time before saving the track file.",
                       MessageIcon::Error);
    ++errors;
  }
  if (errors > 0) {
    store_.ShowMessage("Could not create new track file because of errors.", MessageIcon::Error);
    return file_result::kRefusedByChecks;
  }

  // The icon images go in list order; an image too large for the file is left out.
  std::vector<std::pair<std::string, std::vector<uint8_t>>> icons;
  for (ListedBitmap& bitmap : bitmaps)
    if (bitmap.Carried) icons.emplace_back(bitmap.Name, std::move(bitmap.Image));

  const CountData counts = ComputeCounts();
  const auto& w = counts.Words;

  // Signals of code 21 are written one column to the left; the store keeps them where they are.
  std::vector<int16_t> track(store_.GridTrack.begin(), store_.GridTrack.end());
  std::vector<int16_t> device(store_.GridDevice.begin(), store_.GridDevice.end());
  for (int i = 0; i < w[kCountSignals]; ++i) {
    const SignalData signal = store_.GetSignalData(i);
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
  out.Put(static_cast<int16_t>(store_.HighestTrackVersion));
  out.Put(static_cast<int16_t>(store_.TrackReservedWord));
  out.Put(store_.TrackIdentity1);
  out.Put(store_.TrackIdentity2);
  out.Put(store_.ChangeCount);
  out.Put(store_.ChangeCount);
  out.Put(counts);
  out.Put(territory);
  out.Put(store_.TerritoryCounters);
  const int columns = w[kCountGridColumns] + 1, rows = w[kCountGridRows] + 1;
  for (int x = 0; x < columns; ++x) out.Write(&track[x * kGridRows], sizeof(int16_t) * rows);
  for (int x = 0; x < columns; ++x) out.Write(&device[x * kGridRows], sizeof(int16_t) * rows);
  for (int x = 0; x < columns; ++x) {
    for (int y = 0; y < rows; ++y)
      out.Put(static_cast<int16_t>(static_cast<int8_t>(store_.GridFlags[x * kGridRows + y])));
  }
  for (int i = 0; i < w[kCountTrains]; ++i) out.Put(store_.GetTrainData(i));
  for (int i = 0; i < w[kCountPermits]; ++i) out.Put(store_.GetPermitData(i));
  for (int i = 0; i < w[kCountSlowOrders]; ++i) out.Put(store_.GetSlowData(i));
  for (int i = 0; i < w[kCountTrainTypes]; ++i) out.Put(store_.GetTrainType(i));
  for (int i = 0; i < w[kCountPlatforms]; ++i) out.Put(store_.GetPlatformData(i));
  for (int i = 0; i < w[kCountBlocks]; ++i) out.Put(store_.GetBlockData(i));
  for (int i = 0; i < w[kCountSwitches]; ++i) out.Put(store_.GetSwitchData(i));
  for (int i = 0; i < w[kCountSignals]; ++i) out.Put(store_.GetSignalData(i));
  for (int i = 0; i < w[kCountDiamonds]; ++i) out.Put(store_.GetCrossData(i));
  for (int i = 0; i < w[kCountLocations]; ++i) out.Put(store_.GetOrgData(i));
  for (int i = 0; i < w[kCountStations]; ++i) out.Put(store_.GetStationData(i));
  for (int i = 0; i < w[kCountTexts]; ++i) out.Put(store_.GetTextData(i));
  for (int i = 0; i < w[kCountStartTimes]; ++i) out.Put(store_.GetStartTime(i));
  for (int i = 0; i < w[kCountAreas]; ++i) out.Put(store_.GetAreaData(i));
  for (int i = 0; i < kMaxDetectors; ++i) out.Put(store_.GetDetectorData(i));
  out.Put(store_.GetTerritoryOptions());
  for (int i = 0; i < w[kCountOSPoints]; ++i) out.Put(store_.GetOSData(i));

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
  for (int i = 0; i < kMaxBitmapInserts; ++i) out.Put(store_.GetBitmapInsert(i));
  for (int i = 0; i < kMaxMaintBitmaps; ++i) out.Put(store_.GetBitmapMaint(i));
  std::array<int32_t, kMaxMaintBitmaps> sizes{};
  for (int i = 0; i < kMaxMaintBitmaps; ++i) {
    // Only what an image buffer can hold is ever written.
    sizes[i] =
        store_.MaintImageSizes[i] > 0 && store_.MaintImageSizes[i] <= kMaintImageBytes ? store_.MaintImageSizes[i] : 0;
  }
  out.Write(sizes.data(), sizeof sizes);
  for (int i = 0; i < kMaxMaintBitmaps; ++i) out.Write(store_.MaintImage(i), sizes[i]);
  out.Write(kTrackMagic.data(), sizeof kTrackMagic);

  if (!ReplaceFile(path, out.Bytes())) {
    store_.ShowMessage("Could not save track file", MessageIcon::Error);
    return file_result::kCannotOpen;
  }

  if (announce == 1) {
    store_.Messages().ShowMessage("Created new track file called \"" + path + "\".",
                                  FieldText(store_.Captions[0], kCaptionChars), MessageIcon::Information,
                                  MessageButtons::Ok);
  }
  SetFieldText(store_.LastSavedTrackPath, path);
  store_.ChangeCount = store_.LoadedChangeCount;
  return file_result::kDone;
}

const std::vector<uint8_t>* TrackFile::HeldTrainIconImage(const std::string& name) const {
  for (int slot = 0; slot < kMaxTrainIcons; ++slot) {
    if (store_.TrainIconImages[slot].empty()) continue;
    const TrainIconData icon = store_.GetTrainIconData(slot);
    if (icon.InUse != 0 && FieldText(icon.FileName) == name) return &store_.TrainIconImages[slot];
  }
  return nullptr;
}

std::string WaveFilePath(const std::string& programFolder, const std::string& name) {
  if (name.empty() || programFolder.empty() || name.find_first_of("/\\") != std::string::npos) return name;
  return programFolder.back() == '/' ? programFolder + name : programFolder + "/" + name;
}

int CheckWaveFile(const std::string& path) {
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
