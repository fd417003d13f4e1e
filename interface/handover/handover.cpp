#include "interface/handover/handover.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace handover {
namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// Closes the descriptor (and so drops its lock) however the function leaves.
struct FileDescriptor {
  int Fd;
  ~FileDescriptor() {
    if (Fd >= 0) ::close(Fd);
  }
};

bool Lock(int fd, bool wait, bool& busy) {
  busy = false;
  while (::flock(fd, wait ? LOCK_EX : LOCK_EX | LOCK_NB) != 0) {
    if (errno == EWOULDBLOCK && !wait) {
      busy = true;
      return false;
    }
    if (errno != EINTR) return false;
  }
  return true;
}

}  // namespace

std::string FindFile(const std::string& folder, const std::string& name) {
  namespace fs = std::filesystem;
  std::error_code error;
  const std::string exact = folder + name;
  if (fs::is_regular_file(exact, error)) return exact;
  fs::directory_iterator it(folder.empty() ? "." : folder, error);
  if (error) return {};
  for (const fs::directory_iterator end; it != end; it.increment(error)) {
    if (error) return {};
    const std::string entry = it->path().filename().string();
    if (SameIgnoringCase(entry, name) && it->is_regular_file(error)) return folder + entry;
  }
  return {};
}

std::string StripLineEnd(std::string line) {
  if (!line.empty() && line.back() == '\n') line.pop_back();
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

ReadResult ReadLinesLocked(const std::string& path, std::size_t maxLine, bool wait, std::vector<std::string>& lines,
                           std::string& tail) {
  lines.clear();
  tail.clear();
  FileDescriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (file.Fd < 0) return ReadResult::CannotOpen;
  // A writer that opened the file before it was renamed finishes its batch first.
  bool busy = false;
  if (!Lock(file.Fd, wait, busy)) return busy ? ReadResult::Locked : ReadResult::CannotOpen;
  std::string content;
  char buffer[8192];
  for (;;) {
    const ssize_t n = ::read(file.Fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return ReadResult::CannotOpen;
    if (n == 0) break;
    content.append(buffer, static_cast<std::size_t>(n));
  }
  std::size_t start = 0;
  while (start < content.size()) {
    const std::size_t end = content.find('\n', start);
    const bool complete = end != std::string::npos;
    std::string line = StripLineEnd(content.substr(start, complete ? end - start + 1 : std::string::npos));
    if (line.size() > maxLine) line.resize(maxLine);
    if (!complete) {
      tail = std::move(line);
      break;
    }
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return ReadResult::Read;
}

ReadResult TakeFile(const std::string& folder, const std::string& name, const std::string& takenName,
                    std::size_t maxLine, bool wait, std::vector<std::string>& lines, std::string& tail) {
  const std::string taken = folder + takenName;
  std::error_code error;
  // A reader that does not wait leaves a file its writer still held under the taken name: it is
  // read before the next one is renamed over it. A waiting reader never leaves one behind, so a
  // file there is a leftover and is replaced.
  if (wait || !std::filesystem::is_regular_file(taken, error)) {
    const std::string found = FindFile(folder, name);
    if (found.empty()) return ReadResult::CannotOpen;
    std::remove(taken.c_str());
    if (std::rename(found.c_str(), taken.c_str()) != 0) return ReadResult::CannotOpen;
  }
  const ReadResult result = ReadLinesLocked(taken, maxLine, wait, lines, tail);
  if (result == ReadResult::Read) std::remove(taken.c_str());
  return result;
}

}  // namespace handover
