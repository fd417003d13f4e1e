#include "hollin/core/control_reader.h"

#include <charconv>
#include <cstdio>

#include "hollin/core/hollin_data.h"
#include "interface/handover/handover.h"

namespace hollin {
namespace {

std::string Sequence(int n) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d", n);
  return text;
}

}  // namespace

std::string ToLower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

std::optional<std::vector<std::string>> SplitControlLine(const std::string& line) {
  if (line.size() > kMaxControlLine) return std::nullopt;
  std::vector<std::string> fields;
  std::size_t start = 0;
  while (fields.size() < kMaxControlFields) {
    const std::size_t comma = line.find(',', start);
    std::string field = line.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    if (field.size() > kMaxControlField) return std::nullopt;
    fields.push_back(std::move(field));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return fields;
}

bool ReadControls(THollinData& data) {
  const std::string folder = data.TestFolder();
  const THollinData::SaveBatch batch(data);
  bool cleared = false;  // the list shows the lines of the last file taken
  const auto clear = [&] {
    if (!cleared) data.ClearIncoming();
    cleared = true;
  };
  const handover::ReadResult taken = handover::TakeFile(
      folder, kControlFileName, kControlTakeName, kMaxReadLine, true, [&](const std::string& line, bool complete) {
        clear();
        // The simulator writes whole lines only; a cut one is noted, never taken for a request.
        if (!complete) {
          if (!line.empty()) data.LogError("Control file ended in an unfinished line; it was not taken");
          return;
        }
        data.AddIncoming(line);
        data.LogLine(line, false);
        ParseControl(data, line);
      });
  if (taken != handover::ReadResult::Read) return false;
  clear();
  return true;
}

void ParseControl(THollinData& data, const std::string& line) {
  const auto fields = SplitControlLine(line);
  if (!fields || fields->size() < 4) return;
  const std::vector<std::string>& f = *fields;
  if (f[2].empty()) return;
  int sequence = -1;
  const auto [end, error] = std::from_chars(f[1].data(), f[1].data() + f[1].size(), sequence);
  if (error != std::errc() || end != f[1].data() + f[1].size() || sequence < 0 || sequence > kMaxSequence) return;

  HollinOptions options = data.GetOptions();
  if (options.LastReceivedSequence != -1 && options.LastReceivedSequence == sequence) return;  // a repeat
  options.LastReceivedSequence = sequence;
  data.SetOptions(options);

  const std::string kind = ToLower(f[0]);
  const std::string value = f.size() > 4 ? f[4] : std::string();
  if (kind == "switch") {
    RespondSwitch(data, f[2], value);
  } else if (kind == "signal") {
    RespondSignal(data, f[2], value);
  }
  // "control" and "block" lines are shown and logged only; other kinds are dropped.
}

void SendIndication(THollinData& data, const std::string& line) {
  HollinOptions options = data.GetOptions();
  options.OwnSequence = NextSequence(options.OwnSequence);
  data.SetOptions(options);
  data.QueueIndication(line);
}

void RespondSwitch(THollinData& data, const std::string& name, const std::string& value) {
  const std::string position = ToLower(value);
  if (position != "reverse" && position != "normal") return;
  SendIndication(data, "SWITCH," + Sequence(data.GetOptions().OwnSequence) + "," + name + "," + data.GetTimeText() +
                           "," + value + ",UNOCCUPIED");
}

void RespondSignal(THollinData& data, const std::string& name, const std::string& value) {
  const std::string request = ToLower(value);
  const char* aspect = request == "clear" ? "CLEARED" : request == "cancel" ? "STOP" : nullptr;
  if (!aspect) return;
  SendIndication(
      data, "SIGNAL," + Sequence(data.GetOptions().OwnSequence) + "," + name + "," + data.GetTimeText() + "," + aspect);
}

}  // namespace hollin
