// Creating, appending to and closing the playback recording.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "store/atomic_file.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/operating_mode.h"
#include "store/playback_format.h"

namespace {

constexpr const char* kWriteFailed = "Could not write to the playback file.  The recording has stopped.";

PlaybackHeader BuildHeader(const Corvane3Data& store, int32_t clockAtStart) {
  PlaybackHeader header{};
  std::memcpy(header.Magic, kPlaybackMagic, sizeof header.Magic);
  header.Version = static_cast<int16_t>(store.PlaybackVersion);
  // Bytes after the terminator are written as zeros, never as whatever the field held before.
  SetFieldText(header.TrackPath, FieldText(store.TrackFilePath));
  header.TrackVersion = static_cast<int16_t>(store.LoadedTrackVersion);
  header.ReservedIdentity = static_cast<int16_t>(store.TrackReservedWord);
  header.Identity1 = store.TrackIdentity1;
  header.Identity2 = store.TrackIdentity2;
  header.ChangeCount = store.ChangeCount;
  header.ChangeCountCopy = store.ChangeCount;
  header.ClockAtStart = clockAtStart;
  header.StartTime = store.SimStartTime;
  header.StartDay = store.SimStartDay;
  header.EndTime = store.SimEndTime;
  return header;
}

bool WriteHeaderFile(const std::string& path, const PlaybackHeader& header) {
  return ReplaceFile(path, &header, sizeof header);
}

}  // namespace

int Corvane3Data::CreatePlaybackFile(int32_t clockAtStart) {
  if (PlaybackOut) {
    std::fclose(PlaybackOut);  // a new recording starts; what was held back is dropped
    PlaybackOut = nullptr;
  }
  const PlaybackHeader header = BuildHeader(*this, clockAtStart);
  for (;;) {
    const std::string path =
        shell_->AskSaveFileName({kPlaybackFilter, FieldText(DialogFolder), FieldText(PlaybackFileName), "*"});
    if (path.empty()) {
      // The run goes on without a recording: nothing may be appended to an older file of that name.
      PlaybackWriteFailed = 1;
      return 3;
    }
    if (path.size() < kPathChars && WriteHeaderFile(path, header)) {
      HeldTrainStatus.Time = -1;
      HeldBlockStatus.Time = -1;
      PlaybackWriteFailed = 0;
      SetFieldText(PlaybackFileName, path);
      return 0;
    }
    ShowMessage("Could not create playback file.", MessageIcon::Error);
  }
}

bool Corvane3Data::WritePlaybackRecord(int32_t time, PlaybackKind kind, int32_t index, const void* image,
                                       uint32_t size) {
  if (PlaybackWriteFailed) return false;
  if (!PlaybackOut) {
    PlaybackOut = std::fopen(PlaybackFileName, "ab");
    // Appends go to the end anyway; seeking there makes ftell tell where the next record starts.
    if (PlaybackOut) std::fseek(PlaybackOut, 0, SEEK_END);
  }
  if (PlaybackOut) {
    // One whole record per write, pushed out at once: a failure is seen here, not at the close.
    const bool withIndex = PlaybackKindHasIndex(kind);
    std::vector<unsigned char> record(kPlaybackRecordHead + (withIndex ? 2 : 0) + size);
    std::memcpy(record.data(), &time, 4);
    record[4] = static_cast<unsigned char>(kind);
    size_t at = kPlaybackRecordHead;
    if (withIndex) {
      const int16_t index16 = static_cast<int16_t>(index);
      std::memcpy(record.data() + at, &index16, 2);
      at += 2;
    }
    std::memcpy(record.data() + at, image, size);
    const long before = std::ftell(PlaybackOut);
    if (std::fwrite(record.data(), record.size(), 1, PlaybackOut) == 1 && std::fflush(PlaybackOut) == 0) return true;
    std::fclose(PlaybackOut);
    PlaybackOut = nullptr;
    // Cut a torn record off so that the recording ends with a whole one.
    if (before >= 0) {
      std::error_code ignored;
      std::filesystem::resize_file(PlaybackFileName, static_cast<uintmax_t>(before), ignored);
    }
  }
  PlaybackWriteFailed = 1;
  ShowMessage(kWriteFailed, MessageIcon::Error);
  return false;
}

void Corvane3Data::ClosePlaybackFile() {
  if (RecordingSuppressed == 1 || OperatingMode != operating_mode::kRecording || Run.OutputHold == 1) return;
  if (HeldTrainStatus.Time != -1) {
    WritePlaybackRecord(SimClock, PlaybackKind::TrainStatus, HeldTrainStatus.Index, &HeldTrainStatus.Image,
                        sizeof(TrainStatus));
    HeldTrainStatus.Time = -1;
  }
  if (HeldBlockStatus.Time != -1) {
    WritePlaybackRecord(SimClock, PlaybackKind::BlockStatus, HeldBlockStatus.Index, &HeldBlockStatus.Image,
                        sizeof(BlockStatus));
    HeldBlockStatus.Time = -1;
  }
  if (PlaybackOut) {
    const bool closed = std::fclose(PlaybackOut) == 0;
    PlaybackOut = nullptr;
    if (!closed && !PlaybackWriteFailed) {
      PlaybackWriteFailed = 1;
      ShowMessage(kWriteFailed, MessageIcon::Error);
    }
  }
}
