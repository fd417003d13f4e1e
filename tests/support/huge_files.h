// Files far larger than any the programs write, made sparse so that they take
// no disk, and the growth of a process's peak resident size over an act,
// measured in a child process: what the test program held before cannot hide
// it, and a reader that dies on such a file (an abort on a failed allocation)
// is seen as a dead child, not a dead test program.
#pragma once

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace huge_files {

inline constexpr off_t kFortyGB = off_t{40} << 30;

// AddressSanitizer keeps freed blocks in its quarantine and adds its shadow, so a reader that frees each
// piece it reads still grows the resident size: under it a bound is widened, still far below a file held whole.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr long kSanitizerSlack = 4;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr long kSanitizerSlack = 4;
#else
inline constexpr long kSanitizerSlack = 1;
#endif
#else
inline constexpr long kSanitizerSlack = 1;
#endif

// The most a bounded reader may add to the peak resident size, for a bound of `mib` megabytes in a plain build.
inline constexpr long PeakBoundKiB(long mib) { return mib * 1024 * kSanitizerSlack; }

// `path` becomes a file of `size` bytes: `head` at its start, `end` as its last bytes, and between
// them a stretch that holds no data and reads as zero bytes. False when it cannot be made.
inline bool MakeSparse(const std::string& path, off_t size, std::string_view head, std::string_view end = {}) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok =
      ::ftruncate(fd, size) == 0 && ::pwrite(fd, head.data(), head.size(), 0) == static_cast<ssize_t>(head.size()) &&
      ::pwrite(fd, end.data(), end.size(), size - static_cast<off_t>(end.size())) == static_cast<ssize_t>(end.size());
  ok = ::close(fd) == 0 && ok;
  return ok;
}

struct ChildRun {
  bool Survived = false;   // the child returned from the act and ended normally
  long PeakGrowthKiB = 0;  // how far its peak resident size rose over the act
  int Value = 0;           // what the act returned
};

// Runs `act` in a child process. The child's changes to memory stay in it; what it writes to files
// is there afterwards.
inline ChildRun RunInChild(const std::function<int()>& act) {
  int channel[2];
  if (::pipe(channel) != 0) return {};
  const pid_t child = ::fork();
  if (child < 0) return {};
  if (child == 0) {
    ::close(channel[0]);
    rusage before{};
    ::getrusage(RUSAGE_SELF, &before);
    const int value = act();
    rusage after{};
    ::getrusage(RUSAGE_SELF, &after);
    const long report[2] = {after.ru_maxrss - before.ru_maxrss, value};
    const ssize_t written = ::write(channel[1], report, sizeof report);
    ::_exit(written == static_cast<ssize_t>(sizeof report) ? 0 : 1);
  }
  ::close(channel[1]);
  long report[2] = {};
  std::size_t got = 0;
  while (got < sizeof report) {
    const ssize_t n = ::read(channel[0], reinterpret_cast<char*>(report) + got, sizeof report - got);
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(channel[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  ChildRun run;
  run.Survived = got == sizeof report && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  run.PeakGrowthKiB = report[0];
  run.Value = static_cast<int>(report[1]);
  return run;
}

}  // namespace huge_files
