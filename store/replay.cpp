// Replay of a playback recording: every record whose time has come is applied
// through the accessor that changed the state when it was recorded, with
// recording suppressed. A damaged record (unknown kind, index outside its
// table, cut short) ends the replay before anything of it is applied.
#include "store/replay.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "store/alert_lines.h"
#include "store/corvane3_data.h"
#include "store/device_numbers.h"
#include "store/file_results.h"
#include "store/playback_file.h"
#include "store/playback_format.h"
#include "store/run_check.h"
#include "store/run_times.h"

namespace {

// A tick of a playback reads the records of its ten seconds; a read further behind the clock than this is
// a jump.
constexpr int64_t kPlaybackJumpSeconds = 60;

// The table size behind the index of a kind; 0 for a kind without index.
int IndexLimit(PlaybackKind kind) {
  switch (kind) {
    case PlaybackKind::TrainStatus:
    case PlaybackKind::TrainStationTime:
    case PlaybackKind::TrainStop:
      return kMaxTrainStatus;
    case PlaybackKind::BlockStatus:
      return kMaxBlocks;
    case PlaybackKind::SwitchStatus:
      return kMaxSwitches;
    case PlaybackKind::SignalStatus:
      return kMaxSignals;
    case PlaybackKind::CrossStatus:
      return kMaxCrossings;
    case PlaybackKind::SlowStatus:
      return kMaxSlowStatus;
    case PlaybackKind::PermitStatus:
      return kMaxPermitStatus;
    case PlaybackKind::OrgStatus:
      return kMaxLocations;
    case PlaybackKind::StackData:
      return kMaxStack;
    default:
      return 0;
  }
}

template <class Record>
Record ImageAs(const uint8_t* image) {
  Record record;
  std::memcpy(&record, image, sizeof record);
  return record;
}

// Reads the recording ahead in blocks and hands its bytes out in order: a jump applies a week of records
// in one call, and one read of the file a record is what made it slow. Whatever was read ahead and not
// taken is given back to the file, so the next call (or anything else) reads on from the right place.
class RecordReader {
 public:
  explicit RecordReader(std::FILE* in) : in_(in) {}
  RecordReader(const RecordReader&) = delete;
  RecordReader& operator=(const RecordReader&) = delete;
  ~RecordReader() {
    if (in_ && end_ > at_) std::fseek(in_, -static_cast<long>(end_ - at_), SEEK_CUR);
  }
  // Copies the next `bytes` bytes; false when the file ends first (what there was is taken).
  bool Take(void* out, size_t bytes) {
    if (end_ - at_ < bytes) Refill(bytes);
    const size_t taken = std::min(bytes, end_ - at_);
    if (taken > 0) std::memcpy(out, buffer_.data() + at_, taken);
    at_ += taken;
    return taken == bytes;
  }
  // The file is about to be closed: nothing to give back.
  void Detach() { in_ = nullptr; }

 private:
  void Refill(size_t wanted) {
    // Nothing left over (on the first fill the buffer is not even allocated): nothing to move.
    if (end_ > at_) std::memmove(buffer_.data(), buffer_.data() + at_, end_ - at_);
    end_ -= at_;
    at_ = 0;
    // Small first (a tick in playback takes ten seconds of records), larger while the records go on.
    block_ = std::min<size_t>(block_ * 2, 1 << 20);
    if (buffer_.size() < end_ + std::max(block_, wanted)) buffer_.resize(end_ + std::max(block_, wanted));
    end_ += std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, in_);
  }

  std::FILE* in_;
  std::vector<uint8_t> buffer_;
  size_t at_ = 0;
  size_t end_ = 0;
  size_t block_ = 2048;
};

}  // namespace

PlaybackStartFields MakePlaybackStartFields(int32_t clockAtStart) {
  PlaybackStartFields fields;
  // A recording made before the clock started begins at the week's start.
  const int32_t clock = clockAtStart < 0 ? 0 : clockAtStart;
  fields.Minutes = clock % kSecondsPerDay / 60;
  fields.Day = clock / kSecondsPerDay % 7;
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d", fields.Minutes / 60, fields.Minutes % 60);
  fields.TimeText = text;
  fields.DayText = kPlaybackDayNames[fields.Day];
  return fields;
}

int32_t PlaybackJumpTarget(int32_t minutes, int32_t day, int32_t weeks, int32_t clockAtStart) {
  const int64_t target = int64_t{minutes} * 60 + int64_t{day} * kSecondsPerDay + int64_t{weeks} * kSecondsPerWeek;
  if (target < clockAtStart) return clockAtStart;
  return target > INT32_MAX ? INT32_MAX : static_cast<int32_t>(target);
}

int PlaybackFile::Read(int32_t clock) {
  store_.RecordingSuppressed = 1;
  if (!store_.PlaybackIn) return file_result::kPlaybackEnded;
  RecordReader reader(store_.PlaybackIn);
  const auto end = [&] {
    reader.Detach();
    std::fclose(store_.PlaybackIn);
    store_.PlaybackIn = nullptr;
    return file_result::kPlaybackEnded;
  };
  const auto damaged = [&] {
    store_.ShowMessage("Problem with playback file.", MessageIcon::Error);
    return end();
  };
  const auto readTime = [&] {
    int32_t time = 0;
    if (!reader.Take(&time, 4)) return false;
    store_.NextPlaybackTime = time;
    return true;
  };

  // A status record is checked as a saved run's is, against the run at the record's time: a stamp the
  // recording could not hold counts as the nearest it could.
  const auto recordFits = [&](PlaybackKind kind, const uint8_t* record) {
    const int32_t start = store_.SimStartTime;
    const int64_t latest = int64_t{start} + int64_t{kMaxArchivePerform} * 3600;
    const auto stamp = static_cast<int32_t>(std::clamp<int64_t>(store_.NextPlaybackTime, start, latest));
    const RunCheck check(store_, start, stamp);
    switch (kind) {
      case PlaybackKind::TrainStatus:
        return check.Train(ImageAs<TrainStatus>(record));
      case PlaybackKind::TrainStationTime:
        return check.StationTimes(ImageAs<TrainStationTime>(record));
      case PlaybackKind::BlockStatus:
        return check.Block(ImageAs<BlockStatus>(record));
      case PlaybackKind::PermitStatus:
        return check.Permit(ImageAs<PermitStatus>(record));
      case PlaybackKind::SlowStatus:
        return check.Slow(ImageAs<SlowStatus>(record));
      default:
        return true;
    }
  };

  bool ok = true;
  if (store_.NextPlaybackTime == -1) ok = readTime();
  // A jump (the clock well ahead of the next record) repaints the layout and shows the alert line once, at
  // the end, not for every record on the way.
  const bool jump = ok && int64_t{clock} - store_.NextPlaybackTime > kPlaybackJumpSeconds;
  std::optional<Corvane3Data::RepaintHold> repaints;
  std::optional<Corvane3Data::PerformanceLineHold> performanceLine;
  if (jump) {
    repaints.emplace(store_);
    performanceLine.emplace(store_);
  }
  int alertToShow = -1;
  const struct AlertAtTheEnd {
    Corvane3Data& Store;
    const int& Index;
    ~AlertAtTheEnd() {
      if (Index >= 0) ShowNewAlertLine(Store, Index);
    }
  } alertAtTheEnd{store_, alertToShow};
  while (ok && store_.NextPlaybackTime <= clock) {
    uint8_t kindByte = 0;
    if (!reader.Take(&kindByte, 1)) return damaged();
    const auto kind = static_cast<PlaybackKind>(kindByte);
    const uint32_t bytes = kindByte <= static_cast<uint8_t>(PlaybackKind::View) ? PlaybackImageBytes(kind) : 0;
    if (bytes == 0) return damaged();
    uint8_t image[512];
    static_assert(PlaybackImageBytes(PlaybackKind::TrainStationTime) <= sizeof image);
    if (!reader.Take(image, bytes)) return damaged();
    int index = 0;
    const uint8_t* record = image;
    if (PlaybackKindHasIndex(kind)) {
      int16_t index16;
      std::memcpy(&index16, image, 2);
      index = index16;
      record = image + 2;
      if (index < 0 || index >= IndexLimit(kind)) return damaged();
    }
    if (kind == PlaybackKind::View) {
      // The next time stamp is read before the view is applied.
      const PlaybackView view = ImageAs<PlaybackView>(record);
      ok = readTime();
      if (store_.GetOptionData().AutoScroll == 1) {
        if (view.ZoomDivisor != 1 && view.ZoomDivisor != 2) return damaged();
        if (view.ZoomDivisor != store_.ZoomDivisor) store_.Shell().SwapZoomButtons();
        store_.ZoomDivisor = view.ZoomDivisor;
        store_.Shell().SetScrollPosition(view.ScrollX, view.ScrollY);
        const CellSize used = store_.Shell().LayoutUsedCells();
        store_.Shell().SetScrollRanges(used.Columns * 16 / store_.ZoomDivisor, used.Rows * 16 / store_.ZoomDivisor, 1);
        if (view.ClassicDisplay == store_.GetOptionData().ClassicDisplay) {
          if (!store_.HoldRepaint()) store_.Shell().InvalidateLayout(true);
        } else {
          store_.Shell().CmClassicDisplay();
        }
      }
      continue;
    }
    if (!recordFits(kind, record)) return damaged();
    switch (kind) {
      case PlaybackKind::TrainStatus:
        store_.UpdateTrainStatus(index, ImageAs<TrainStatus>(record), 1, 1);
        break;
      case PlaybackKind::BlockStatus: {
        const auto status = ImageAs<BlockStatus>(record);
        store_.UpdateBlockStatus(index, status, 0, 0);
        if (status.InUse == 1) store_.InvalidateDevice(index);
        break;
      }
      case PlaybackKind::SwitchStatus:
        store_.UpdateSwitchStatus(index, ImageAs<SwitchStatus>(record), 0);
        store_.InvalidateDevice(device::SwitchNumber(index));
        break;
      case PlaybackKind::SignalStatus:
        store_.UpdateSignalStatus(index, ImageAs<SignalStatus>(record), 0);
        store_.InvalidateDevice(device::SignalNumber(index));
        store_.PaintSignal(index);
        break;
      case PlaybackKind::CrossStatus:
        store_.UpdateCrossStatus(index, ImageAs<CrossStatus>(record));
        store_.InvalidateDevice(device::DiamondNumber(index));
        break;
      case PlaybackKind::SlowStatus:
        store_.UpdateSlowStatus(index, ImageAs<SlowStatus>(record));
        break;
      case PlaybackKind::PermitStatus: {
        const auto status = ImageAs<PermitStatus>(record);
        if (status.InUse == 1) {
          store_.UpdatePermitStatus(index, status);
        } else if (store_.GetPermitStatus(index).InUse != 0) {
          store_.FreePermitStatus(index);
        }
        break;
      }
      case PlaybackKind::OrgStatus:
        store_.UpdateOrgStatus(index, ImageAs<OrgStatus>(record));
        break;
      case PlaybackKind::OSHit: {
        const auto image = ImageAs<OSHit>(record);
        if (image.Device == kOSHitNoDevice && image.Minutes == 0) {
          // A train slot was handed out again: its former train's hits leave the ring.
          store_.ClearTrainOSHits(image.TrainSlot);
          break;
        }
        if (image.Device == kOSHitNoDevice) {
          // A train became another: its hits move to the slot that keeps its old identity.
          if (image.TrainSlot >= kMaxTrainStatus || image.Minutes < 0 || image.Minutes > kMaxTrainStatus)
            return damaged();
          store_.RelinkTrainOSHits(image.TrainSlot, image.Minutes - 1);
          break;
        }
        // The hits are a ring of 40,000, as recording keeps them.
        const int hit = store_.OSHitCount >= 0 && store_.OSHitCount < kMaxOSHits ? store_.OSHitCount : 0;
        store_.UpdateOSHit(hit, ImageAs<OSHit>(record));
        store_.SetOSHitCount((hit + 1) % kMaxOSHits);
        break;
      }
      case PlaybackKind::TrainStationTime:
        store_.UpdateTrainStationTime(index, ImageAs<TrainStationTime>(record));
        break;
      case PlaybackKind::TrainStop:
        store_.UpdateTrainStop(index, ImageAs<TrainStop>(record));
        break;
      case PlaybackKind::PerformStatus:
        store_.FormatPerformanceLine(ImageAs<PerformStatus>(record));
        break;
      case PlaybackKind::StackData:
        store_.UpdateStackData(index, ImageAs<StackData>(record));
        break;
      case PlaybackKind::AlertLine: {
        const int line = AppendAlertLine(store_.Run, reinterpret_cast<const char*>(record), kAlertLineChars - 1);
        if (jump) {
          alertToShow = line;
        } else {
          ShowNewAlertLine(store_, line);
        }
        break;
      }
      default:
        return damaged();
    }
    ok = readTime();
  }
  if (!ok) return end();  // RecordingSuppressed stays 1 until the next reset of the run
  store_.RecordingSuppressed = 0;
  return file_result::kPlaybackMore;
}
