// The playback recording (".ply"): a header that ties the file to its track
// file and to the run's clock, then records to the end of the file, each an
// int32 time stamp, a kind byte and the image of one changed run-time record.
// Little-endian, no padding: the recorder writes these bytes and the replay
// reads them back.
#pragma once

#include <cstddef>
#include <cstdint>

#include "store/records.h"
#include "store/services.h"

inline constexpr uint32_t kPlaybackMagic[4] = {8910, 198191, 19011, 6835};
inline constexpr const char* kPlaybackFilter = "Playback Files (*.ply)|*.ply";

#pragma pack(push, 1)

struct PlaybackHeader {
  uint32_t Magic[4];         // +0   kPlaybackMagic
  int16_t Version;           // +16  playback structure version
  char TrackPath[255];       // +18  full path of the territory track file
  int16_t TrackVersion;      // +273 structure version of the loaded track file
  int16_t ReservedIdentity;  // +275 the track file's reserved identity word (not compared)
  int32_t Identity1;         // +277
  int32_t Identity2;         // +281
  int32_t ChangeCount;       // +285 the territory's current change count
  int32_t ChangeCountCopy;   // +289 the same value again
  int32_t ClockAtStart;      // +293 SimClock when the recording was created
  int32_t StartTime;         // +297 simulation start time of the run
  int32_t StartDay;          // +301 simulation start day of the run
  int32_t EndTime;           // +305 simulation end time of the run, -1 none
};
static_assert(sizeof(PlaybackHeader) == 309);
static_assert(offsetof(PlaybackHeader, Version) == 16 && offsetof(PlaybackHeader, TrackPath) == 18);
static_assert(offsetof(PlaybackHeader, TrackVersion) == 273 && offsetof(PlaybackHeader, ReservedIdentity) == 275);
static_assert(offsetof(PlaybackHeader, Identity1) == 277 && offsetof(PlaybackHeader, Identity2) == 281);
static_assert(offsetof(PlaybackHeader, ChangeCount) == 285 && offsetof(PlaybackHeader, ChangeCountCopy) == 289);
static_assert(offsetof(PlaybackHeader, ClockAtStart) == 293 && offsetof(PlaybackHeader, StartTime) == 297);
static_assert(offsetof(PlaybackHeader, StartDay) == 301 && offsetof(PlaybackHeader, EndTime) == 305);

// The layout view as the view records (kind 14) carry it.
struct PlaybackView {
  int32_t ScrollX;         // +0 horizontal scroll position
  int32_t ScrollY;         // +4 vertical scroll position
  uint8_t ZoomDivisor;     // +8 low byte
  uint8_t ClassicDisplay;  // +9 OptionData +1
};
static_assert(sizeof(PlaybackView) == 10);
static_assert(offsetof(PlaybackView, ZoomDivisor) == 8 && offsetof(PlaybackView, ClassicDisplay) == 9);

#pragma pack(pop)

// An OS hit record with no device changes the hits already in the ring instead of adding one, as its
// minutes say: 0, the hits of its train slot leave the ring (the slot was handed out again); n > 0, they
// move to train slot n - 1 (the train became another, and that slot keeps its old identity).
inline constexpr uint16_t kOSHitNoDevice = 0xFFFF;
constexpr OSHit OSHitsClearedRecord(int train) { return {kOSHitNoDevice, static_cast<uint16_t>(train), 0}; }
constexpr OSHit OSHitsMovedRecord(int fromTrain, int toTrain) {
  return {kOSHitNoDevice, static_cast<uint16_t>(fromTrain), toTrain + 1};
}

// Every record starts with the int32 time stamp and the kind byte.
inline constexpr uint32_t kPlaybackRecordHead = 5;
// The alert line image (kind 13): a NUL-terminated text in a fixed field.
inline constexpr uint32_t kPlaybackAlertBytes = 151;

// The bytes of the record that a kind stores (without the int16 index that
// most kinds put in front); 0 for a kind that does not exist.
constexpr uint32_t PlaybackRecordBytes(PlaybackKind kind) {
  switch (kind) {
    case PlaybackKind::TrainStatus:
      return sizeof(TrainStatus);
    case PlaybackKind::BlockStatus:
      return sizeof(BlockStatus);
    case PlaybackKind::SwitchStatus:
      return sizeof(SwitchStatus);
    case PlaybackKind::SignalStatus:
      return sizeof(SignalStatus);
    case PlaybackKind::CrossStatus:
      return sizeof(CrossStatus);
    case PlaybackKind::SlowStatus:
      return sizeof(SlowStatus);
    case PlaybackKind::PermitStatus:
      return sizeof(PermitStatus);
    case PlaybackKind::OrgStatus:
      return sizeof(OrgStatus);
    case PlaybackKind::OSHit:
      return sizeof(OSHit);
    case PlaybackKind::TrainStationTime:
      return sizeof(TrainStationTime);
    case PlaybackKind::TrainStop:
      return sizeof(TrainStop);
    case PlaybackKind::PerformStatus:
      return sizeof(PerformStatus);
    case PlaybackKind::StackData:
      return sizeof(StackData);
    case PlaybackKind::AlertLine:
      return kPlaybackAlertBytes;
    case PlaybackKind::View:
      return sizeof(PlaybackView);
  }
  return 0;
}

// Kinds 8, 11, 13 and 14 carry no index in front of their image.
constexpr bool PlaybackKindHasIndex(PlaybackKind kind) {
  return kind != PlaybackKind::OSHit && kind != PlaybackKind::PerformStatus && kind != PlaybackKind::AlertLine &&
         kind != PlaybackKind::View;
}

// The image size that follows the kind byte: 170 for a train status, 8 for an OS hit...
constexpr uint32_t PlaybackImageBytes(PlaybackKind kind) {
  return PlaybackRecordBytes(kind) + (PlaybackKindHasIndex(kind) ? 2u : 0u);
}

static_assert(PlaybackImageBytes(PlaybackKind::TrainStatus) == 170);
static_assert(PlaybackImageBytes(PlaybackKind::BlockStatus) == 101);
static_assert(PlaybackImageBytes(PlaybackKind::SwitchStatus) == 127);
static_assert(PlaybackImageBytes(PlaybackKind::SignalStatus) == 36);
static_assert(PlaybackImageBytes(PlaybackKind::CrossStatus) == 61);
static_assert(PlaybackImageBytes(PlaybackKind::SlowStatus) == 101);
static_assert(PlaybackImageBytes(PlaybackKind::PermitStatus) == 109);
static_assert(PlaybackImageBytes(PlaybackKind::OrgStatus) == 27);
static_assert(PlaybackImageBytes(PlaybackKind::OSHit) == 8);
static_assert(PlaybackImageBytes(PlaybackKind::TrainStationTime) == 402);
static_assert(PlaybackImageBytes(PlaybackKind::TrainStop) == 202);
static_assert(PlaybackImageBytes(PlaybackKind::PerformStatus) == 32);
static_assert(PlaybackImageBytes(PlaybackKind::StackData) == 317);
static_assert(PlaybackImageBytes(PlaybackKind::AlertLine) == 151);
static_assert(PlaybackImageBytes(PlaybackKind::View) == 10);
