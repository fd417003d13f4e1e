// The playback file: the recording a run in recording mode writes and the
// replay that applies it again.
#pragma once

#include <cstdint>

#include "store/records.h"
#include "store/services.h"

class Corvane3Data;
struct PlaybackHeader;

class PlaybackFile {
 public:
  explicit PlaybackFile(Corvane3Data& store) : store_(store) {}

  // Asks for the recording's file name and writes its header: 0, or 3 when the dialog was cancelled.
  int Create(int32_t clockAtStart);
  // Writes the held-back records and closes the recording; the next record reopens it.
  void Close();
  // Appends one record (the index goes in front of the image for the kinds that carry one) to the
  // recording. A failed write is reported once and stops the recording until the next Create;
  // returns false then.
  bool WriteRecord(int32_t time, PlaybackKind kind, int32_t index, const void* image, uint32_t size);
  // Applies the recorded records whose time has come, up to clock, through the accessors with recording
  // suppressed. 8 applied, more remain; 7 the recording has ended (end of file, or a damaged record,
  // reported as "Problem with playback file.") and the store's PlaybackIn is closed.
  int Read(int32_t clock);

  // Whether the header's run values are ones a recording of this program can hold: a start day and
  // time within the week, a clock no further past the start than a saved run may be, and an end after
  // the start (or none). The ticks add to that clock and the clock text takes the day apart, so anything
  // else is a damaged file. (The track file's values are compared with the loaded territory's.)
  static bool HeaderFits(const PlaybackHeader& header);

 private:
  Corvane3Data& store_;
};
