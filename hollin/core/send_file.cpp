#include "hollin/core/send_file.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "hollin/core/control_reader.h"
#include "hollin/core/hollin_data.h"
#include "store/whole_file/whole_file.h"

namespace hollin {

std::optional<std::string> BuildSendLine(const std::string& line, int sequence, const std::string& time) {
  const std::size_t first = line.find(',');
  if (first == std::string::npos) return std::nullopt;
  const std::size_t second = line.find(',', first + 1);
  if (second == std::string::npos) return std::nullopt;
  const std::size_t third = line.find(',', second + 1);
  const std::string type = line.substr(0, first);
  const std::string name = line.substr(first + 1, second - first - 1);
  const std::string value =
      line.substr(second + 1, third == std::string::npos ? std::string::npos : third - second - 1);
  const std::string extra = third == std::string::npos ? std::string() : line.substr(third + 1);
  char number[16];
  std::snprintf(number, sizeof number, "%04d", sequence);
  std::string out = type + "," + number + "," + name + "," + time + "," + value;
  if (!extra.empty()) out += "," + extra;
  return out;
}

std::optional<std::string> SendFile(THollinData& data, const std::string& path) {
  // Only a regular file is sent: a folder, a FIFO or a device is refused before it is opened.
  const int fd = whole_file::OpenRegular(path);
  if (fd < 0) return std::string(kCannotReadSendFile);
  const std::string time = data.GetTimeText();  // every line of one send carries the same time
  const THollinData::SaveBatch batch(data);
  // Line by line as the file is read: a file of any length is sent in a few pieces' worth of memory
  // (the queue goes out whenever it fills).
  const bool read = whole_file::ReadLines(fd, kMaxSendLine, [&](std::string_view line, bool) {
    const auto out = BuildSendLine(std::string(line), data.GetOptions().OwnSequence, time);
    if (out) SendIndication(data, *out);
  });
  ::close(fd);
  if (!read) {
    data.FlushIndications();  // what was read before the error has gone out; the file is not kept
    return std::string(kCannotReadSendFile);
  }
  HollinOptions options = data.GetOptions();
  const std::string kept = path.substr(0, sizeof options.FileToSend - 1);
  std::memset(options.FileToSend, 0, sizeof options.FileToSend);
  std::memcpy(options.FileToSend, kept.data(), kept.size());
  data.SetOptions(options);
  data.FlushIndications();  // the simulator sees the lines without waiting for the next tick
  return std::nullopt;
}

}  // namespace hollin
