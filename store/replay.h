// The arithmetic of the playback time dialog: where a recording starts, and
// the clock a chosen jump lands on. Plain functions, so that the dialog only
// shows and reads fields.
#pragma once

#include <cstdint>
#include <string>

// The recording's start as the dialog shows it: minutes after midnight and day of the week (0 = Sunday).
struct PlaybackStartFields {
  int32_t Minutes = 0;
  int32_t Day = 0;
  std::string TimeText;  // "%02d:%02d"
  std::string DayText;   // "Su" ... "Sa"
};
PlaybackStartFields MakePlaybackStartFields(int32_t clockAtStart);

// The clock a jump to that time of day (minutes), day of the week and week lands on; never before the
// recording's start.
int32_t PlaybackJumpTarget(int32_t minutes, int32_t day, int32_t weeks, int32_t clockAtStart);

// The seven day abbreviations, Sunday first.
inline constexpr const char* kPlaybackDayNames[7] = {"Su", "Mo", "Tu", "We", "Th", "Fr", "Sa"};
