// Paths that name no regular file, the kinds every reader must refuse at once:
// a folder, a FIFO (whose open would wait for a writer for ever) and a device
// that never ends. And a guard that ends the test program when a reader blocks
// anyway, so that one fault cannot hold the whole run.
#pragma once

#include <sys/stat.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace not_files {

struct NotAFile {
  const char* Kind;
  std::string Path;
};

// A folder and a FIFO in `folder`, named `stem` and the kind with `extension`, and /dev/zero.
inline std::vector<NotAFile> Make(const std::filesystem::path& folder, const std::string& extension) {
  const std::filesystem::path directory = folder / ("a folder" + extension);
  const std::filesystem::path fifo = folder / ("a fifo" + extension);
  std::filesystem::create_directories(directory);
  if (!std::filesystem::exists(fifo)) ::mkfifo(fifo.c_str(), 0600);
  return {{"folder", directory.string()}, {"fifo", fifo.string()}, {"device", "/dev/zero"}};
}

// Runs `act`; when it has not returned within `seconds`, the program ends with a message.
template <class Act>
void WithinSeconds(Act act, int seconds = 5) {
  std::mutex mutex;
  std::condition_variable returned;
  bool finished = false;
  std::thread watchdog([&] {
    std::unique_lock<std::mutex> lock(mutex);
    if (!returned.wait_for(lock, std::chrono::seconds(seconds), [&] { return finished; })) {
      std::fprintf(stderr, "A reader blocked for %d seconds\n", seconds);
      std::_Exit(1);
    }
  });
  act();
  {
    std::lock_guard<std::mutex> lock(mutex);
    finished = true;
  }
  returned.notify_all();
  watchdog.join();
}

}  // namespace not_files
