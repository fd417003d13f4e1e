// LoadTrackFile: the one entry for every territory load. It checks the file's
// head, hands the body to the reader of its version and then works out what
// the file does not carry. A damaged file leaves the empty territory under the
// name "new.trk", never a half-loaded one.
#include <cstring>

#include "store/binary_io.h"
#include "store/bitmap_bytes.h"
#include "store/corvane3_data.h"
#include "store/file_results.h"
#include "store/fixed_text.h"
#include "store/track_file_format.h"

namespace {

constexpr int kFirstCurrentVersion = 30;

}  // namespace

void Corvane3Data::ForgetTrackFileImages() {
  for (auto& image : TrainIconImages) image.clear();
  TrainTypeIcons = MakeNoTrainTypeIcons();
  MaintBitmapUsable.fill(0);
}

void Corvane3Data::ForgetTrackFileTables() {
  GridFlags.fill(0);
  for (int i = 0; i < kMaxAreas; ++i) UpdateAreaData(i, AreaData{});
  for (int i = 0; i < kMaxDetectors; ++i) UpdateDetectorData(i, DetectorData{});
  UpdateTerritoryOptions(TerritoryOptions{});
}

int Corvane3Data::LoadTrackFile(const std::string& path, int report) {
  const bool tell = report != -1;
  // The images go first: emptying the territory gives types 0-9 the internal pictures, which stand
  // until a type names another picture.
  ForgetTrackFileImages();
  InitTerritoryData();
  ForgetTrackFileTables();
  ChangeCount = LoadedChangeCount;

  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(path, bytes)) {
    if (tell) ShowMessage("Could not open track territory file \"" + path + "\".", MessageIcon::Error);
    return file_result::kCannotOpen;
  }
  ByteReader in(bytes);
  for (const int16_t expected : kTrackMagic) {
    int16_t word = 0;
    if (!in.Get(word) || word != expected) {
      if (tell) ShowMessage("Illegal track territory file!", MessageIcon::Error);
      return file_result::kDamaged;
    }
  }
  int16_t version = 0;
  int result = 1;  // a file that ends behind the magic is damaged
  if (in.Get(version)) {
    if (version > HighestTrackVersion) {
      if (tell) {
        ShowMessage("The track territory file being loaded has an newer file structure than this program can handle.",
                    MessageIcon::Error);
      }
      return file_result::kCannotOpen;
    }
    result = version < kFirstCurrentVersion ? ReadOldTrackFile(in, version, path) : ReadTrackFile(in, version, path);
  }
  CountData counts = GetCountData();
  counts.Words[kCountRunningTrains] = 0;
  UpdateCountData(counts);
  if (result != file_result::kDone) {
    ForgetTrackFileImages();
    InitTerritoryData();
    ForgetTrackFileTables();
    LoadedChangeCount = ChangeCount;  // the empty territory counts as unchanged, whatever the reader had read
    SetFieldText(TrackFilePath, "new.trk");
    if (tell) {
      ShowMessage("The track file you attempted to open \"" + path +
                      "\" has corruptd data. A new layout file was loaded instead.",
                  MessageIcon::Error);
    }
    return result;
  }

  // Entrance/exit cells: one step beyond the block end, following the end cell's track.
  for (int i = 0; i < kMaxLocations; ++i) {
    OrgData org = GetOrgData(i);
    if (org.InUse == 0 || org.Block < 0 || org.Block >= kMaxBlocks) continue;
    const BlockData block = GetBlockData(org.Block);
    TrackCell cell;
    if (org.Side == 0) {
      cell.X = block.LeftCellX;
      cell.Y = block.LeftCellY;
      cell = GetLeftTrackCell(cell);
    } else {
      cell.X = block.RightCellX;
      cell.Y = block.RightCellY;
      cell = GetRightTrackCell(cell);
    }
    org.CellX = cell.X;
    org.CellY = cell.Y;
    UpdateOrgData(i, org);
  }

  // Top speed of each train type: the highest block speed for it over the ordinary blocks.
  for (int t = 0; t < kMaxTrainTypes; ++t) {
    TrainType type = GetTrainType(t);
    if (type.InUse == 0) continue;
    int16_t top = 0;
    for (int b = 0; b < kMaxBlocks; ++b) {
      const BlockData block = GetBlockData(b);
      if (block.InUse == 0 || block.PassThrough == 1) continue;
      for (int d = 0; d < 2; ++d)
        if (block.SpeedMax[d][t] > top) top = block.SpeedMax[d][t];
    }
    type.TopSpeed = top;
    UpdateTrainType(t, type);
  }

  LoadedTrackVersion = version;

  // Maintenance bitmaps: an image that fills its buffer or more is dropped; the others must be bitmaps.
  for (int i = 0; i < kMaxMaintBitmaps; ++i) {
    BitmapMaint maint = GetBitmapMaint(i);
    if (MaintImageSizes[i] >= kMaintImageBytes) {
      MaintImageSizes[i] = 0;
      if (maint.Name[0] != 0) {
        maint.Name[0] = 0;
        UpdateBitmapMaint(i, maint);
      }
      continue;
    }
    if (maint.Name[0] == 0) continue;
    if (IsUsableBitmapImage(MaintImage(i), static_cast<size_t>(MaintImageSizes[i]))) {
      MaintBitmapUsable[i] = 1;
    } else if (tell) {
      ShowMessage("The temporary bitmap file is illegal!", MessageIcon::Error);
    }
  }

  // A track or signal cell that names no device is not drawn.
  for (int cell = 0; cell < kGridCells; ++cell) {
    const int16_t code = GridTrack[cell];
    if (code == 0 || GridDevice[cell] >= 0) continue;
    const int type = code > 0 && code <= 40 ? GetDeviceType(code) : 3;
    if (type != 3 && type != 4) GridTrack[cell] = 0;
  }

  shell_->MakeTrainIconBitmaps();
  SaveTerritorySettings();  // still the territory loaded before this one: the caller records the new name
  AddOldFile(path);
  LoadTerritorySettings(path);
  Shell().CloseDataWindows();
  return file_result::kDone;
}
