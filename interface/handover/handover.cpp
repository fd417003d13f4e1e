#include "interface/handover/handover.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "store/whole_file/whole_file.h"

namespace handover {
namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
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

// The file at `path` is still the one the descriptor holds (not taken away meanwhile).
bool StillAtPath(int fd, const std::string& path) {
  struct stat held {};
  struct stat named {};
  if (::fstat(fd, &held) != 0 || ::stat(path.c_str(), &named) != 0) return false;
  return held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

}  // namespace

std::string FindFile(const std::string& folder, const std::string& name) {
  const std::string exact = folder + name;
  struct stat named {};
  if (::stat(exact.c_str(), &named) == 0 && S_ISREG(named.st_mode)) return exact;
  // Polled every tick while the other side has written nothing: read the folder without a path or a
  // string made for each entry.
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return {};
  std::string found;
  while (const dirent* entry = ::readdir(dir)) {  // to the end, or an error: nothing found either way
    if (!SameIgnoringCase(entry->d_name, name)) continue;
    bool regular = entry->d_type == DT_REG;
    if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
      struct stat target {};
      regular = ::fstatat(::dirfd(dir), entry->d_name, &target, 0) == 0 && S_ISREG(target.st_mode);
    }
    if (regular) {
      found = folder + entry->d_name;
      break;
    }
  }
  ::closedir(dir);
  return found;
}

std::string StripLineEnd(std::string line) {
  if (!line.empty() && line.back() == '\n') line.pop_back();
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

ReadResult TakeFile(const std::string& folder, const std::string& name, const std::string& takenName,
                    std::size_t maxLine, bool wait, const LineHandler& line) {
  const std::string found = FindFile(folder, name);
  if (found.empty()) return ReadResult::CannotOpen;
  FileDescriptor file{whole_file::OpenRegular(found)};
  if (file.Fd < 0) return ReadResult::CannotOpen;
  // A writer in the middle of a batch keeps the file where it is until the next poll.
  bool busy = false;
  if (!Lock(file.Fd, wait, busy)) return busy ? ReadResult::Locked : ReadResult::CannotOpen;
  // What lies under the taken name was left by a read that never finished: whatever of it was
  // carried out must not be carried out again, so it goes unread.
  const std::string taken = folder + takenName;
  std::remove(taken.c_str());
  if (std::rename(found.c_str(), taken.c_str()) != 0) return ReadResult::CannotOpen;
  // Each line is carried out as it is read; the file stays under the taken name meanwhile, so that
  // after an interruption none of it is carried out again.
  bool handed = false;
  std::string text;
  const bool read = whole_file::ReadLines(file.Fd, maxLine, [&](std::string_view piece, bool complete) {
    handed = true;
    text.assign(piece);
    line(text, complete);
  });
  if (!read && !handed) {
    // Given back for the next poll unless the writer has begun a new file meanwhile.
    std::error_code error;
    if (!std::filesystem::exists(found, error) && !error) std::rename(taken.c_str(), found.c_str());
    return ReadResult::CannotOpen;
  }
  // Deleted while the lock is still held: a writer waiting at it then sees the file gone.
  std::remove(taken.c_str());
  return ReadResult::Read;
}

bool AppendLocked(const std::string& path, std::string_view text, bool wait) {
  if (path.empty()) return false;
  // Each round that finds the file taken away between the open and the lock opens the new one.
  for (int attempt = 0; attempt < 100; ++attempt) {
    FileDescriptor file{::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666)};
    if (file.Fd < 0) return false;
    bool busy = false;
    if (!Lock(file.Fd, wait, busy)) return false;
    if (!StillAtPath(file.Fd, path)) continue;
    struct stat before {};
    if (::fstat(file.Fd, &before) != 0 || !S_ISREG(before.st_mode)) return false;
    std::size_t done = 0;
    while (done < text.size()) {
      const ssize_t n = ::write(file.Fd, text.data() + done, text.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        // Half a batch would be read as lines that were never meant: take it back.
        if (::ftruncate(file.Fd, before.st_size) != 0) return false;
        return false;
      }
      done += static_cast<std::size_t>(n);
    }
    return true;
  }
  return false;
}

}  // namespace handover
