#include "store/playback_recorder.h"

#include <cstring>

#include "store/corvane3_data.h"
#include "store/operating_mode.h"
#include "store/playback_file.h"
#include "store/playback_format.h"

template <class Record>
void PlaybackRecorder::HoldBack(HeldPlaybackRecord<Record>& held, PlaybackKind kind, int32_t index,
                                const void* record) {
  const int32_t now = store_.SimClock;
  // Another record, or the same one at a later tick, pushes the held image out.
  if (held.Time != -1 && !(held.Time == now && held.Index == index)) {
    PlaybackFile(store_).WriteRecord(held.Time, kind, held.Index, &held.Image, sizeof(Record));
  }
  held.Time = now;
  held.Index = index;
  std::memcpy(&held.Image, record, sizeof(Record));
}

void PlaybackRecorder::RecordChange(PlaybackKind kind, int32_t index, const void* record, uint32_t size) {
  // With no run in progress (the output held) this run's recording does not exist yet: the file named is
  // an earlier run's, or the default name in the working folder, and must not be appended to.
  if (store_.RecordingSuppressed == 1 || store_.OperatingMode != operating_mode::kRecording ||
      store_.Run.OutputHold == 1 || store_.PlaybackWriteFailed)
    return;
  const uint32_t bytes = PlaybackRecordBytes(kind);
  if (bytes == 0) return;
  if (kind == PlaybackKind::AlertLine) {
    // The text of alert line `index`, terminated and zero-filled to its fixed width.
    if (index < 0 || index >= kAlertLines) return;
    char line[kPlaybackAlertBytes] = {};
    const auto& text = store_.Run.AlertLines[index];
    std::memcpy(line, text.data(), strnlen(text.data(), text.size() - 1));
    PlaybackFile(store_).WriteRecord(store_.SimClock, kind, index, line, sizeof line);
    return;
  }
  if (!record || size != bytes) return;
  switch (kind) {
    case PlaybackKind::TrainStatus:
      HoldBack(store_.HeldTrainStatus, kind, index, record);
      return;
    case PlaybackKind::BlockStatus:
      HoldBack(store_.HeldBlockStatus, kind, index, record);
      return;
    case PlaybackKind::SwitchStatus:
    case PlaybackKind::SignalStatus:
    case PlaybackKind::CrossStatus: {
      // A device slot that is not in use is not recorded.
      int16_t inUse;
      std::memcpy(&inUse, record, sizeof inUse);
      if (inUse == 0) return;
      break;
    }
    default:
      break;
  }
  PlaybackFile(store_).WriteRecord(store_.SimClock, kind, index, record, size);
}
