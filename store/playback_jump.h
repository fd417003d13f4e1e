// The OK button of the playback time dialog as a plain function: it checks the
// typed jump, sets the clock to the moment it names and keeps the scroll option.
#pragma once

#include <cstdint>
#include <string_view>

#include "store/replay.h"

class Corvane3Data;

enum class PlaybackJumpAnswer { Done, StayOnTime, StayOnDay };

// time: the "Jump to start time" text (a wrong one is reported naming "Start time"); day: the chosen day of
// the week, -1 none ("You must select a jump to day."); weeks: the week text, empty for 0.
PlaybackJumpAnswer ApplyPlaybackJump(Corvane3Data& store, std::string_view time, int day, std::string_view weeks,
                                     bool autoScroll, int32_t clockAtStart);
