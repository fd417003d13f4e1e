// Alerts: a numbered, time-stamped line in the 50-line alert list, with an
// optional sound or bell beeps and the status bar's alert pane.
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/engine.h"
#include "store/alert_kinds.h"
#include "store/alert_lines.h"
#include "store/fixed_text.h"
#include "store/run_times.h"
#include "store/sound_files.h"

namespace {

constexpr size_t kAlertTextChars = kAlertLineChars - 1;
constexpr uint16_t kNoBells = 65535;
constexpr int kBeepTimer = 2;

constexpr const char* kAlertFormat[alert_kind::kCount] = {
    "Train - \"%s\" has just arrived on territory at %s.",
    "Train - \"%s\" is stopped waiting for signal.",
    "Train - \"%s\" is stopped due to %s problem.  Crew will fix the problem by %s",
    "Train - \"%s\" is stopped due to a %s.  Crew will fix the problem by %s.",
    "Train - \"%s\" is stopped due to derailment.  To be cleared by %s.",
    "Block Permit Active -  track \"%s\" to start at %s and end at %s.",
    "Train - \"%s\" is late arriving at station \"%s\".",
    "Train - \"%s\" is having locomotive problems.  The max speed is reduced to %s.",
    "Block Permit Released -  track \"%s\".",
    "Slow Order Active - %s.",
    "Train - \"%s\" is stopped due to %s alarm.  Crew will finish checking train by %s",
    "Train - \"%s\" crew time will expire at %s",
    "Train - \"%s\" is stopped due to crew expiration",
};

// Fills the format's text slots in order; a slot with no text left stays
// empty. The texts are never read as a format of their own.
std::string FillFormat(const char* format, const char* const texts[3]) {
  std::string out;
  int next = 0;
  for (const char* p = format; *p; ++p) {
    if (p[0] == '%' && p[1] == 's') {
      if (next < 3 && texts[next]) out += texts[next];
      ++next;
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

}  // namespace

std::string Engine::FormatClockTime(int32_t secondsOfDay) {
  int hours = secondsOfDay / 3600;
  if (hours >= 24) hours %= 24;
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d", hours, secondsOfDay % 3600 / 60);
  return text;
}

void Engine::RaiseAlert(int kind, const char* text1, const char* text2, const char* text3) {
  if (kind < 0 || kind >= alert_kind::kCount) {
    store_.InternalErrorTrap(kind, "Alert index error - RaiseAlert");
    return;
  }
  const AlertData alerts = store_.GetAlertData();
  if (alerts.Enabled[kind] == 0) return;

  int32_t secondOfDay = store_.SimClock % kSecondsPerDay;
  if (secondOfDay < 0) secondOfDay += kSecondsPerDay;
  const std::string stamp = FormatClockTime(secondOfDay);

  // A text given after a missing one is not used: the texts fill the slots in order.
  const char* texts[3] = {text1, text1 ? text2 : nullptr, text1 && text2 ? text3 : nullptr};
  const std::string message = FillFormat(kAlertFormat[kind], texts);

  // The detector alarm sounds like the train-problem alert.
  const int slot = kind == alert_kind::kDetectorAlarm ? alert_kind::kDetectorProblem : kind;
  const bool soundOn = store_.GetOptionData().AlertSoundsOn != 0;
  const std::string wave = FieldText(alerts.WaveFiles[slot], sizeof alerts.WaveFiles[slot]);
  bool played = false;
  if (!wave.empty() && soundOn) {
    SetStopStatus();
    played = store_.Shell().PlayWaveFile(WaveFilePath(FieldText(store_.ProgramFolder), wave));
    ClearStopStatus();
  }
  const uint16_t bells = alerts.Bells[slot];
  if (bells != 0 && bells != kNoBells && soundOn && !played) {
    store_.PendingBeeps += bells;
    // While the beep timer idles, start it at once instead of a whole period later.
    if (store_.BeepIdle == 1) store_.Shell().SetTimer(kBeepTimer, 1);
  }

  RunState& run = store_.Run;
  char line[kAlertLineChars * 2];
  std::snprintf(line, sizeof line, "ALERT %04d  %s %s", run.AlertCounter + 1, stamp.c_str(), message.c_str());
  run.AlertCounter++;

  // The stored line holds at most kAlertTextChars characters and its terminator.
  const int index = AppendAlertLine(run, line, strnlen(line, kAlertTextChars));
  store_.RecordPlayback(PlaybackKind::AlertLine, index, run.AlertLines[index].data(), kAlertLineChars);
  ShowNewAlertLine(store_, index);
}
