// The simulation clock and its texts, typed times, and the performance line.
#include <cstdio>
#include <ctime>
#include <string>

#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/run_times.h"
#include "store/wall_clock.h"

namespace {

constexpr const char* kDayNames[7] = {"Su", "Mo", "Tu", "We", "Th", "Fr", "Sa"};

}  // namespace

int32_t Corvane3Data::AdvanceSimClock(int32_t seconds) {
  SimClock += seconds;
  return SimClock;
}

// A clock below zero has not started (-1 is the only such value it takes).
int32_t Corvane3Data::GetSimDayOfWeek() const { return SimClock < 0 ? -1 : (SimClock / kSecondsPerDay) % 7; }

int32_t Corvane3Data::GetSimDay() const { return SimClock < 0 ? -1 : SimClock / kSecondsPerDay; }

int32_t Corvane3Data::GetSimTimeOfDay() const { return SimClock < 0 ? -1 : SimClock % kSecondsPerDay; }

std::tm Corvane3Data::GetRealTime() const {
  const std::time_t now = WallClockNow();
  std::tm local{};
  localtime_r(&now, &local);
  return local;
}

std::string_view Corvane3Data::FormatClockText() {
  ClockTextSource source;
  std::tm now{};
  if (options_.CTCControlOn) {
    now = GetRealTime();
    source = {2, now.tm_hour * 3600 + now.tm_min * 60 + now.tm_sec, 0};
  } else if (SimClock >= 0) {
    source = {1, SimClock / 60, SimStartDay};
  } else {
    source = {0, 0, 0};
  }
  if (source == clockShown_) return clockText_.data();
  clockShown_ = source;
  char* text = clockText_.data();
  if (source.Mode == 2) {
    std::snprintf(text, clockText_.size(), "CTC %02d:%02d:%02d", now.tm_hour, now.tm_min, now.tm_sec);
  } else if (source.Mode == 1) {
    const int32_t time = GetSimTimeOfDay();
    std::snprintf(text, clockText_.size(), "%02d:%02d %s %d days", time / 3600, time % 3600 / 60,
                  kDayNames[GetSimDayOfWeek()], GetSimDay() - SimStartDay);
  } else {
    std::snprintf(text, clockText_.size(), "not started");
  }
  shell_->ShowStatusText(StatusPane::Clock, text);
  return text;
}

int Corvane3Data::GetTimeField(std::string_view text, std::string_view fieldName) {
  const auto wrong = [&] {
    if (!fieldName.empty()) {
      ShowMessage("The time entered in field \"" + std::string(fieldName) +
                      "\" is incorrect.  The correct formats are X:XX, XX:XX, XXX or XXXX.",
                  MessageIcon::Error);
    }
    return -1;
  };
  if (text.empty() || text.size() > 5) return wrong();
  size_t colons = 0;
  for (const char c : text) {
    if (c == ':') {
      ++colons;
    } else if (c < '0' || c > '9') {
      return wrong();
    }
  }
  if (colons > 1) return wrong();
  const auto number = [](std::string_view digits) {
    int value = 0;
    for (const char c : digits) value = value * 10 + (c - '0');
    return value;
  };
  int hours = 0;
  int minutes = 0;
  if (colons == 1) {
    const size_t colon = text.find(':');
    hours = number(text.substr(0, colon));
    minutes = number(text.substr(colon + 1));
  } else {
    if (text.size() > 4) return wrong();
    const size_t hourDigits = text.size() <= 2 ? text.size() : text.size() - 2;
    hours = number(text.substr(0, hourDigits));
    minutes = number(text.substr(hourDigits));
  }
  if (hours > 23 || minutes > 59) return wrong();
  return hours * 60 + minutes;
}

void Corvane3Data::FormatPerformanceLine(const PerformStatus& record) {
  perform_ = record;
  performLineDue_ = true;
  RecordPlayback(PlaybackKind::PerformStatus, 0, &perform_, sizeof perform_);
  // A change outside a tick (a load, a command while the clock stands) is shown at once.
  if (performLineHolds_ == 0) ShowPerformanceLine();
}

void Corvane3Data::ShowPerformanceLine() {
  if (!performLineDue_) return;
  performLineDue_ = false;
  const PerformStatus& record = perform_;
  const bool imperial = territoryOptions_.Units == 1;
  const int64_t unit = imperial ? 5280 : 1000;
  const int64_t distance = record.Distance;
  const int64_t whole = distance / unit;
  const int64_t tenths = distance % unit / (unit / 10);
  // Elapsed whole minutes of the run; before the first one the rate is 0.
  const int64_t elapsed = (static_cast<int64_t>(SimClock) - SimStartTime) / 60;
  const int64_t perHour = elapsed > 0 ? (whole * 10 + tenths) * 60 / elapsed / 10 : 0;
  char text[200];
  std::snprintf(text, sizeof text, "Trains = %d  %s = %lld  /Hr = %lld  Stop = %d  Lost = %d  Late = %d  Late Dep = %d",
                static_cast<int>(record.Trains), imperial ? "Miles" : "KM", static_cast<long long>(whole),
                static_cast<long long>(perHour), static_cast<int>(record.StoppedTime / 60),
                static_cast<int>(record.LostTime / 60), static_cast<int>(record.LateTime / 60),
                static_cast<int>(record.LateDepartures));
  shell_->ShowStatusText(StatusPane::Performance, text);
}

void Corvane3Data::ArchivePerformStatus() {
  // The slot counts hours from the start of the run; the 90-day stop keeps it below 2,184, and
  // the accessor reports anything else.
  const int64_t slot = (static_cast<int64_t>(SimClock) - SimStartTime) / 3600;
  UpdateArchivePerformStatus(slot >= 0 && slot < kMaxArchivePerform ? static_cast<int>(slot) : -1, perform_);
}
