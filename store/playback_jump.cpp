#include "store/playback_jump.h"

#include "store/corvane3_data.h"

PlaybackJumpAnswer ApplyPlaybackJump(Corvane3Data& store, std::string_view time, int day, std::string_view weeks,
                                     bool autoScroll, int32_t clockAtStart) {
  const int minutes = store.GetTimeField(time, "Start time");
  if (minutes == -1) return PlaybackJumpAnswer::StayOnTime;
  if (day < 0 || day > 6) {
    store.ShowMessage("You must select a jump to day.", MessageIcon::Error);
    return PlaybackJumpAnswer::StayOnDay;
  }
  // The number the field starts with; it takes two digits at most.
  int32_t week = 0;
  for (size_t i = 0; i < weeks.size() && i < 2 && weeks[i] >= '0' && weeks[i] <= '9'; ++i)
    week = week * 10 + (weeks[i] - '0');
  store.SetSimClock(PlaybackJumpTarget(minutes, day, week, clockAtStart));
  OptionData options = store.GetOptionData();
  options.AutoScroll = autoScroll ? 1 : 0;
  store.UpdateOptionData(options);
  return PlaybackJumpAnswer::Done;
}
