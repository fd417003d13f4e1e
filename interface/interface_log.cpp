#include "interface/interface_log.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "interface/handover/handover.h"
#include "interface/xfer_msg.h"
#include "store/atomic_file.h"
#include "store/corvane3_data.h"
#include "store/wall_clock.h"
#include "store/whole_file/whole_file.h"

namespace xfer {

namespace {

void WriteLog(Corvane3Data& store, bool on, const char* logName, const char* copyName, std::string_view line,
              int direction) {
  if (!on) return;
  const std::string folder = LogFolder(store);
  const std::string path = FolderPath(folder, logName);
  if (!handover::AppendLocked(path, LogLine(line, direction), false)) return;
  TrimLog(path, FolderPath(folder, copyName));
}

}  // namespace

std::string LogLine(std::string_view line, int direction) {
  const std::time_t now = WallClockNow();
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[48];
  std::snprintf(stamp, sizeof stamp, "%02d/%02d/%04d %02d:%02d:%02d", local.tm_mon + 1, local.tm_mday,
                local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec);
  std::string text = direction == kLogOutput ? "Output" : "Input ";
  text += ' ';
  text += stamp;
  text += ' ';
  text += line;
  text += '\n';
  return text;
}

void WriteEIOLog(Corvane3Data& store, std::string_view line, int direction) {
  WriteLog(store, store.GetOptionData().EIOLogOn == 1, kEIOLogFile, kEIOLogCopy, line, direction);
}

void WriteCTCLog(Corvane3Data& store, std::string_view line, int direction) {
  WriteLog(store, store.GetOptionData().CTCLogOn == 1, kCTCLogFile, kCTCLogCopy, line, direction);
}

void TrimLog(const std::string& logPath, const std::string& copyPath) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(logPath, error);
  if (error || size <= kLogTrimAbove) return;
  // Only the end that may be kept is read, and the character before it: a log of any length is cut
  // back in that much memory.
  std::string bytes;
  if (whole_file::ReadTail(logPath, bytes, kLogKeep + 1) != whole_file::Result::Read) return;
  if (bytes.size() <= kLogKeep) return;  // it shrank meanwhile
  // The newest whole lines that fit: they start at the first line start from which the rest is at most kLogKeep.
  const size_t lineEnd = bytes.find('\n');
  const size_t start = lineEnd == std::string::npos ? bytes.size() : lineEnd + 1;
  // The copy replaces the log in one step: the log is never missing and never half-written.
  ReplaceFile(logPath, copyPath, bytes.data() + start, bytes.size() - start);
}

}  // namespace xfer
