// The playback recorder: the sink that the store's accessors hand every changed
// run-time record to. It records only while a run is being recorded, holds the
// last train status and block status image back so that a run of updates of
// one train (or block) within one tick becomes one record, and appends the
// records to the store's recording file.
#pragma once

#include <cstdint>

#include "store/services.h"

class Corvane3Data;
template <class Record>
struct HeldPlaybackRecord;

class PlaybackRecorder : public PlaybackSink {
 public:
  explicit PlaybackRecorder(Corvane3Data& store) : store_(store) {}
  void RecordChange(PlaybackKind kind, int32_t index, const void* record, uint32_t size) override;

 private:
  template <class Record>
  void HoldBack(HeldPlaybackRecord<Record>& held, PlaybackKind kind, int32_t index, const void* record);

  Corvane3Data& store_;
};
