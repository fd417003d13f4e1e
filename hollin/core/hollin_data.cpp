#include "hollin/core/hollin_data.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "interface/handover/handover.h"
#include "store/whole_file/whole_file.h"

namespace hollin {
namespace {

// The guard at both ends of the options file, as in the simulator's settings files.
constexpr uint32_t kGuard[4] = {3456, 19234, 5678, 23445};
constexpr uint32_t kOptionFileVersion = 1;
constexpr std::size_t kOptionFileSize = sizeof kGuard + sizeof(uint32_t) + sizeof(HollinOptions) + sizeof kGuard;
static_assert(kOptionFileSize == 648);

template <std::size_t N>
void CopyText(char (&field)[N], const std::string& text) {
  const std::size_t n = std::min(text.size(), N - 1);
  std::memcpy(field, text.data(), n);
  std::memset(field + n, 0, N - n);
}

template <std::size_t N>
std::string FieldText(const char (&field)[N]) {
  return std::string(field, strnlen(field, N));
}

std::tm LocalNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local;
}

std::string Format(const char* format, int a, int b, int c) {
  char text[64];
  std::snprintf(text, sizeof text, format, a, b, c);
  return text;
}

}  // namespace

std::string WithTrailingSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace hollin

using namespace hollin;

THollinData::THollinData(std::string programFolder)
    : programFolder_(WithTrailingSlash(std::move(programFolder))), clock_(LocalNow) {
  options_.LastReceivedSequence = -1;
  SetDefaultOptions();
}

std::string THollinData::TestFolder() const {
  const std::string folder = FieldText(options_.TestFileFolder);
  return folder.empty() ? programFolder_ : WithTrailingSlash(folder);
}

void THollinData::SetOptions(const HollinOptions& options) {
  options_ = options;
  if (heldSaves_ > 0)
    savePending_ = true;
  else
    SaveOptions();
}

void THollinData::SetDefaultOptions() {
  CopyText(options_.TestFileFolder, programFolder_);
  options_.Interval = kDefaultInterval;
  options_.OwnSequence = 0;
  CopyText(options_.FileToSend, "");
}

LoadResult THollinData::LoadOptions() {
  SetDefaultOptions();
  const std::string path = programFolder_ + kOptionFileName;
  std::string bytes;
  const whole_file::Result taken = whole_file::Read(path, bytes, kOptionFileSize);
  if (taken == whole_file::Result::TooLarge) {
    // Longer than the record it carries: no file this program wrote. Judged from its size alone.
    LogError("Option file \"" + path + "\" is too long");
    return LoadResult::GuardMismatch;
  }
  if (taken != whole_file::Result::Read) {
    LogError("Could not open option file \"" + path + "\"");
    return LoadResult::Missing;
  }
  if (bytes.size() < sizeof kGuard || std::memcmp(bytes.data(), kGuard, sizeof kGuard) != 0) {
    return LoadResult::GuardMismatch;
  }
  if (bytes.size() < kOptionFileSize) {
    // A cut file would leave the record half read: keep the defaults.
    LogError("Option file \"" + path + "\" is too short");
    return LoadResult::GuardMismatch;
  }
  HollinOptions read{};
  std::memcpy(&read, bytes.data() + sizeof kGuard + sizeof(uint32_t), sizeof read);
  // Nothing read is trusted: texts are terminated and numbers kept in their ranges.
  read.TestFileFolder[sizeof read.TestFileFolder - 1] = 0;
  read.FileToSend[sizeof read.FileToSend - 1] = 0;
  if (read.Interval < 1) read.Interval = 1;
  if (read.OwnSequence < 0 || read.OwnSequence > kMaxSequence) read.OwnSequence = 0;
  if (read.LastReceivedSequence < -1 || read.LastReceivedSequence > kMaxSequence) read.LastReceivedSequence = -1;
  if (read.TestFileFolder[0] == 0) CopyText(read.TestFileFolder, programFolder_);
  options_ = read;
  return LoadResult::Loaded;
}

bool THollinData::SaveOptions() {
  std::string image;
  image.append(reinterpret_cast<const char*>(kGuard), sizeof kGuard);
  image.append(reinterpret_cast<const char*>(&kOptionFileVersion), sizeof kOptionFileVersion);
  image.append(reinterpret_cast<const char*>(&options_), sizeof options_);
  image.append(reinterpret_cast<const char*>(kGuard), sizeof kGuard);

  // Written beside the file and renamed over it, so a failed write never leaves half a file.
  const std::string path = programFolder_ + kOptionFileName;
  std::string temp = path + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  bool ok = fd >= 0;
  if (ok) {
    ::fchmod(fd, 0644);  // an ordinary file, not the temporary's private mode
    std::size_t done = 0;
    while (ok && done < image.size()) {
      const ssize_t n = ::write(fd, image.data() + done, image.size() - done);
      if (n <= 0)
        ok = false;
      else
        done += static_cast<std::size_t>(n);
    }
    ok = ::close(fd) == 0 && ok;
    ok = ok && std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) std::remove(temp.c_str());
  }
  if (!ok) LogError("Could not save options file");
  return ok;
}

int THollinData::Take(std::array<Slot, kSlots>& slots, int& count, const std::string& line) {
  for (int i = 0; i < kSlots; ++i) {
    Slot& slot = slots[static_cast<std::size_t>(i)];
    if (slot.InUse) continue;
    const std::size_t n = std::min<std::size_t>(line.size(), kSlotText);
    std::memcpy(slot.Text, line.data(), n);
    slot.Text[n] = 0;
    slot.InUse = true;
    ++count;
    return i;
  }
  return -1;
}

int THollinData::QueueIndication(const std::string& line) {
  const int slot = Take(queue_, queued_, line);
  if (slot < 0) {
    LogError("Indication queue full, line dropped: " + line.substr(0, kSlotText));
    return -1;
  }
  if (queued_ >= kFlushAt) FlushIndications();
  return slot;
}

void THollinData::FlushIndications() {
  if (queued_ == 0) return;
  std::string batch;
  int lines = 0;
  for (const Slot& slot : queue_) {
    if (!slot.InUse) break;
    batch += slot.Text;
    batch += '\n';
    ++lines;
  }
  // One write under the lock: the simulator takes either none of the batch or all of it.
  if (!handover::AppendLocked(TestFolder() + kIndicationFileName, batch, true)) return;
  for (int i = 0; i < lines; ++i) LogLine(queue_[static_cast<std::size_t>(i)].Text, true);
  for (Slot& slot : queue_) slot.InUse = false;
  queued_ = 0;
}

void THollinData::ClearIncoming() {
  for (Slot& slot : incomingList_) slot.InUse = false;
  incoming_ = 0;
}

int THollinData::AddIncoming(const std::string& line) { return Take(incomingList_, incoming_, line); }

int THollinData::GetIncoming(int slot, std::string& text) const {
  if (slot < 0 || slot >= kSlots || !incomingList_[static_cast<std::size_t>(slot)].InUse) return 0;
  text = incomingList_[static_cast<std::size_t>(slot)].Text;
  return 1;
}

std::string THollinData::GetTimeText() const {
  const std::tm now = clock_();
  return Format("%02d:%02d:%02d", now.tm_hour, now.tm_min, now.tm_sec);
}

std::string THollinData::Stamp() const {
  const std::tm now = clock_();
  return Format("%02d/%02d/%04d ", now.tm_mon + 1, now.tm_mday, now.tm_year + 1900) +
         Format("%02d:%02d:%02d", now.tm_hour, now.tm_min, now.tm_sec);
}

void THollinData::LogLine(const std::string& text, bool output) {
  std::string line = Stamp();
  line += output ? " Output " : " Input  ";
  line += text;
  line += '\n';
  if (heldSaves_ == 0) {
    AppendLog(line);
    return;
  }
  // Held lines go out when the log would pass its limit with them, so it is trimmed where it would
  // have been with a write for every line.
  if (heldLogBase_ < 0) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(programFolder_ + kLogFileName, error);
    heldLogBase_ = error ? 0 : static_cast<std::intmax_t>(size);
  }
  heldLog_ += line;
  if (static_cast<std::uintmax_t>(heldLogBase_) + heldLog_.size() > kLogLimit) {
    AppendLog(heldLog_);
    heldLog_.clear();
    heldLogBase_ = -1;
  }
}

void THollinData::AppendLog(const std::string& lines) {
  const std::string path = programFolder_ + kLogFileName;
  {
    std::ofstream log(path, std::ios::app | std::ios::binary);
    if (!log) return;
    log << lines;
  }
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (!error && size > kLogLimit) TrimLog(path);
}

void THollinData::ReleaseHeld() {
  if (!heldLog_.empty()) AppendLog(heldLog_);
  heldLog_.clear();
  heldLogBase_ = -1;
  if (savePending_) {
    savePending_ = false;
    SaveOptions();
  }
}

void THollinData::TrimLog(const std::string& path) {
  // Only the end that is kept is read, and the character before it, which tells whether a line starts
  // there: a log of any length is trimmed in that much memory.
  std::string content;
  if (whole_file::ReadTail(path, content, kLogKeep + 1) != whole_file::Result::Read) return;
  // Keep from the first line whose start leaves at most the kept size to the end.
  std::size_t start = 0;
  if (content.size() > kLogKeep) {
    const std::size_t end = content.find('\n');
    start = end == std::string::npos ? content.size() : end + 1;
  }
  // The copy lies beside the log, so renaming it over the log never crosses file systems.
  const std::string copy = programFolder_ + kLogTrimName;
  {
    std::ofstream out(copy, std::ios::binary | std::ios::trunc);
    out.write(content.data() + start, static_cast<std::streamsize>(content.size() - start));
    out.close();
    if (!out) {
      std::remove(copy.c_str());
      LogError("Could not trim the log \"" + path + "\"");
      return;
    }
  }
  if (std::rename(copy.c_str(), path.c_str()) != 0) {
    std::remove(copy.c_str());
    LogError("Could not trim the log \"" + path + "\"");
  }
}

void THollinData::LogError(const std::string& message) {
  const std::tm now = clock_();
  std::ofstream log(programFolder_ + kErrorLogName, std::ios::app | std::ios::binary);
  if (!log) return;
  char time[128];
  std::snprintf(time, sizeof time, "%02d:%02d:%02d Order (%s)  ", now.tm_hour, now.tm_min, now.tm_sec, kProgramName);
  log << Format("%02d/%02d/%04d ", now.tm_mon + 1, now.tm_mday, now.tm_year + 1900) << time << message << '\n';
}
