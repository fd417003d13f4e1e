// Creating, appending to and closing the playback recording.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "store/atomic_file.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/operating_mode.h"
#include "store/playback_file.h"
#include "store/playback_format.h"
#include "store/run_times.h"

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

bool PlaybackFile::HeaderFits(const PlaybackHeader& header) {
  return RunClockFits(header.StartDay, header.StartTime, header.ClockAtStart, header.EndTime);
}

int PlaybackFile::Create(int32_t clockAtStart) {
  if (store_.PlaybackOut) {
    std::fclose(store_.PlaybackOut);  // a new recording starts; what was held back is dropped
    store_.PlaybackOut = nullptr;
  }
  const PlaybackHeader header = BuildHeader(store_, clockAtStart);
  for (;;) {
    const std::string path = store_.Shell().AskSaveFileName(
        {kPlaybackFilter, FieldText(store_.DialogFolder), FieldText(store_.PlaybackFileName), "*"});
    if (path.empty()) {
      // The run goes on without a recording: nothing may be appended to an older file of that name.
      store_.PlaybackWriteFailed = 1;
      return 3;
    }
    if (path.size() < kPathChars && WriteHeaderFile(path, header)) {
      store_.HeldTrainStatus.Time = -1;
      store_.HeldBlockStatus.Time = -1;
      store_.PlaybackWriteFailed = 0;
      SetFieldText(store_.PlaybackFileName, path);
      return 0;
    }
    store_.ShowMessage("Could not create playback file.", MessageIcon::Error);
  }
}

bool PlaybackFile::WriteRecord(int32_t time, PlaybackKind kind, int32_t index, const void* image, uint32_t size) {
  if (store_.PlaybackWriteFailed) return false;
  if (!store_.PlaybackOut) {
    store_.PlaybackOut = std::fopen(store_.PlaybackFileName, "ab");
    // Appends go to the end anyway; seeking there makes ftell tell where the next record starts.
    if (store_.PlaybackOut) std::fseek(store_.PlaybackOut, 0, SEEK_END);
  }
  if (store_.PlaybackOut) {
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
    const long before = std::ftell(store_.PlaybackOut);
    if (std::fwrite(record.data(), record.size(), 1, store_.PlaybackOut) == 1 && std::fflush(store_.PlaybackOut) == 0)
      return true;
    std::fclose(store_.PlaybackOut);
    store_.PlaybackOut = nullptr;
    // Cut a torn record off so that the recording ends with a whole one.
    if (before >= 0) {
      std::error_code ignored;
      std::filesystem::resize_file(store_.PlaybackFileName, static_cast<uintmax_t>(before), ignored);
    }
  }
  store_.PlaybackWriteFailed = 1;
  store_.ShowMessage(kWriteFailed, MessageIcon::Error);
  return false;
}

void PlaybackFile::Close() {
  if (store_.RecordingSuppressed == 1 || store_.OperatingMode != operating_mode::kRecording ||
      store_.Run.OutputHold == 1)
    return;
  if (store_.HeldTrainStatus.Time != -1) {
    WriteRecord(store_.SimClock, PlaybackKind::TrainStatus, store_.HeldTrainStatus.Index, &store_.HeldTrainStatus.Image,
                sizeof(TrainStatus));
    store_.HeldTrainStatus.Time = -1;
  }
  if (store_.HeldBlockStatus.Time != -1) {
    WriteRecord(store_.SimClock, PlaybackKind::BlockStatus, store_.HeldBlockStatus.Index, &store_.HeldBlockStatus.Image,
                sizeof(BlockStatus));
    store_.HeldBlockStatus.Time = -1;
  }
  if (store_.PlaybackOut) {
    const bool closed = std::fclose(store_.PlaybackOut) == 0;
    store_.PlaybackOut = nullptr;
    if (!closed && !store_.PlaybackWriteFailed) {
      store_.PlaybackWriteFailed = 1;
      store_.ShowMessage(kWriteFailed, MessageIcon::Error);
    }
  }
}
