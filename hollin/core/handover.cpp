#include "hollin/core/handover.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace hollin {
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

bool LockExclusive(int fd) {
  while (::flock(fd, LOCK_EX) != 0) {
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

bool AppendLocked(const std::string& path, const std::string& text) {
  // The reader may rename the file away between our open and our lock, read it and delete it:
  // a batch written then would be lost. So once locked, the file must still be the one at the path.
  for (int attempt = 0; attempt < 100; ++attempt) {
    FileDescriptor file{::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644)};
    if (file.Fd < 0 || !LockExclusive(file.Fd)) return false;
    struct stat opened {
    }, named{};
    if (::fstat(file.Fd, &opened) != 0) return false;
    if (::stat(path.c_str(), &named) != 0 || named.st_ino != opened.st_ino || named.st_dev != opened.st_dev) {
      continue;  // taken away meanwhile: append to the new file instead
    }
    std::size_t done = 0;
    while (done < text.size()) {
      const ssize_t n = ::write(file.Fd, text.data() + done, text.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        // No half batch stays behind: the reader would take its cut line for a whole one later.
        if (::ftruncate(file.Fd, opened.st_size) != 0) return false;
        return false;
      }
      done += static_cast<std::size_t>(n);
    }
    return true;
  }
  return false;
}

bool ReadLinesLocked(const std::string& path, std::size_t maxLine, std::vector<std::string>& lines, bool* partial) {
  lines.clear();
  if (partial) *partial = false;
  FileDescriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  // A writer that opened the file before it was renamed finishes its batch first.
  if (file.Fd < 0 || !LockExclusive(file.Fd)) return false;
  std::string content;
  char buffer[8192];
  for (;;) {
    const ssize_t n = ::read(file.Fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    content.append(buffer, static_cast<std::size_t>(n));
  }
  std::size_t start = 0;
  while (start < content.size()) {
    const std::size_t end = content.find('\n', start);
    if (end == std::string::npos) {
      if (partial) *partial = true;
      break;
    }
    std::string line = StripLineEnd(content.substr(start, end - start + 1));
    if (line.size() > maxLine) line.resize(maxLine);
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return true;
}

std::string StripLineEnd(std::string line) {
  if (!line.empty() && line.back() == '\n') line.pop_back();
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace hollin
