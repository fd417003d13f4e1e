#include "interface/xfer_msg.h"

#include <cstdio>
#include <ctime>

#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/run_times.h"
#include "store/status_codes.h"
#include "store/wall_clock.h"

namespace xfer {

namespace {

constexpr int8_t kSwitchWorking = -1;
constexpr uint8_t kSignalWorking = 0xFF;

std::string NumberedName(const char* word, int index) {
  char text[24];
  std::snprintf(text, sizeof text, "%s%04d", word, index);
  return text;
}

std::string NameOr(std::string name, const char* word, int index) {
  return name.empty() ? NumberedName(word, index) : name;
}

}  // namespace

std::string FolderPath(std::string_view folder, std::string_view name) {
  if (folder.empty()) return {};
  std::string path(folder);
  if (path.back() != '/') path += '/';
  path += name;
  return path;
}

std::string ChannelFolder(const Corvane3Data& store, Channel channel) {
  const OptionData options = store.GetOptionData();
  return channel == Channel::CTCControl ? FieldText(options.CTCFolder) : FieldText(options.EIOFolder);
}

std::string LogFolder(const Corvane3Data& store) { return FieldText(store.GetOptionData().EIOFolder); }

int32_t TakeSequence(int32_t& next) {
  if (next < 0 || next >= kSequenceLimit) next = 0;
  const int32_t taken = next;
  next = taken + 1 == kSequenceLimit ? 0 : taken + 1;
  return taken;
}

const char* OccupancyWord(int code) {
  switch (code) {
    case occupancy::kFree:
    case 7:  // 7 and 8 have no meaning of their own here: they read as unoccupied
    case 8:
      return "UNOCCUPIED";
    case occupancy::kOccupiedLeft:
      return "OCCUPIEDLEFT";
    case occupancy::kOccupiedRight:
      return "OCCUPIEDRIGHT";
    case occupancy::kClearedRight:
    case occupancy::kRunningTimeRight:
      return "CLEAREDRIGHT";
    case occupancy::kClearedLeft:
    case occupancy::kRunningTimeLeft:
      return "CLEAREDLEFT";
    default:
      return "UNKNOWNSTATUS";
  }
}

std::string SwitchPositionWord(const SwitchStatus& status) {
  std::string word;
  switch (status.Position) {
    case 0:
      word = "NORMAL";
      break;
    case 1:
      word = "REVERSE";
      break;
    default:
      return "UNKNOWNPOSITION";
  }
  if (status.FailureCount != kSwitchWorking) {
    word += "FAILED";
  } else if (status.Refused != 0) {
    word += "ERROR";
  }
  return word;
}

std::string SignalWord(const SignalStatus& status) {
  std::string word;
  switch (status.Aspect) {
    case aspect::kClearLeft:
    case occupancy::kRunningTimeLeft:  // a running-time code reads as its direction's clear aspect
      word = "CLEARLEFT";
      break;
    case aspect::kClearRight:
    case occupancy::kRunningTimeRight:
      word = "CLEARRIGHT";
      break;
    case aspect::kStop:
      word = "STOP";
      break;
    default:
      return "UNKNOWNSTATUS";
  }
  if (status.Fleet == 1) word += "FLEET";
  if (status.FailureCount != kSignalWorking) {
    word += "FAILED";
  } else if (status.RefusalCount != 0) {
    word += "ERROR";
  }
  return word;
}

std::string BlockName(const Corvane3Data& store, int index) {
  return NameOr(FieldText(store.GetBlockData(index).Name), "BLOCK", index);
}

std::string SwitchName(const Corvane3Data& store, int index) {
  return NameOr(FieldText(store.GetSwitchData(index).Name), "SWITCH", index);
}

std::string SignalName(const Corvane3Data& store, int index) {
  return NameOr(FieldText(store.GetSignalData(index).Name), "SIGNAL", index);
}

std::string SimulationStamp(int32_t clock) {
  if (clock < 0) clock = 0;
  const int32_t seconds = clock % kSecondsPerDay;
  char text[32];
  std::snprintf(text, sizeof text, "%02d-%02d:%02d:%02d", clock / kSecondsPerDay, seconds / 3600, seconds / 60 % 60,
                seconds % 60);
  return text;
}

std::string WallClockStamp() {
  const std::time_t now = WallClockNow();
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
  return text;
}

}  // namespace xfer
