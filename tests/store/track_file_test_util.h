// Helpers of the track file tests: a private folder, whole-file bytes, a
// small bitmap, and the territory most of the tests write and read.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "store/corvane3_data.h"
#include "store/track_file_format.h"
#include "tests/support/file_bytes.h"
#include "tests/support/store_fixture.h"
#include "tools/territory/territory_builder.h"

namespace track_test {

using file_bytes::Bytes;
using file_bytes::Peek;
using file_bytes::Poke;
using file_bytes::ReadBytes;
using file_bytes::WriteBytes;

// An uncompressed 24-bit bitmap file of the given size.
inline Bytes MakeBitmap(int width, int height) {
  const int row = (width * 3 + 3) / 4 * 4;
  const uint32_t pixels = static_cast<uint32_t>(row * height);
  Bytes bmp(54 + pixels, 0);
  bmp[0] = 'B';
  bmp[1] = 'M';
  Poke(bmp, 2, static_cast<uint32_t>(bmp.size()));
  Poke(bmp, 10, uint32_t{54});
  Poke(bmp, 14, uint32_t{40});
  Poke(bmp, 18, int32_t{width});
  Poke(bmp, 22, int32_t{height});
  Poke(bmp, 26, uint16_t{1});
  Poke(bmp, 28, uint16_t{24});
  Poke(bmp, 34, pixels);
  for (uint32_t i = 0; i < pixels; ++i) bmp[54 + i] = static_cast<uint8_t>(i * 7);
  return bmp;
}

// Where each section of a version 37 file starts, worked out from its CountData.
struct Sections {
  size_t Counts, Grids, Trains, Signals, StartTimes, Areas, Icons, End;
};

inline Sections FindSections(const Bytes& file) {
  Sections s{};
  s.Counts = 28;
  const auto word = [&](int w) { return static_cast<size_t>(Peek<int32_t>(file, s.Counts + 4 * w)); };
  s.Grids = s.Counts + 100 + 1120 + 16;
  s.Trains = s.Grids + 3 * 2 * (word(0) + 1) * (word(1) + 1);
  s.Signals = s.Trains + word(2) * 1357 + word(3) * 88 + word(4) * 87 + word(14) * 817 + word(5) * 53 + word(6) * 547 +
              word(7) * 103;
  s.StartTimes = s.Signals + word(8) * 66 + word(9) * 51 + word(10) * 28 + word(11) * 158 + word(12) * 248;
  s.Areas = s.StartTimes + word(15) * 470;
  s.Icons = s.Areas + word(19) * 32 + 10 * 37 + 105 + word(20) * 53;
  s.End = file.size() - 8;
  return s;
}

// A fresh folder per test, removed afterwards.
class TrackFileTest : public StoreFixture {
 protected:
  TrackFileTest() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = std::filesystem::temp_directory_path() / ("corvane-" + std::string(info->test_suite_name()) + "-" +
                                                        info->name() + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  ~TrackFileTest() override { std::filesystem::remove_all(folder_); }

  std::string In(const std::string& name) const { return (folder_ / name).string(); }

  std::filesystem::path folder_;
};

}  // namespace track_test
