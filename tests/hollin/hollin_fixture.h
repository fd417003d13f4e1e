// A fresh program folder and shared folder under a temporary folder, a data
// object over them with a fixed wall clock, and small file helpers.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "hollin/core/hollin_data.h"

class HollinTest : public ::testing::Test {
 protected:
  HollinTest() {
    root_ = std::filesystem::temp_directory_path() / ("hollin_test_" + std::to_string(::getpid()) + "_" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_ / "program");
    std::filesystem::create_directories(root_ / "shared");
    program_ = (root_ / "program").string() + "/";
    shared_ = (root_ / "shared").string() + "/";
    data_ = std::make_unique<THollinData>(program_);
    data_->SetClock([this] { return now_; });
    data_->LoadOptions();
    HollinOptions options = data_->GetOptions();
    std::snprintf(options.TestFileFolder, sizeof options.TestFileFolder, "%s", shared_.c_str());
    data_->SetOptions(options);
  }
  ~HollinTest() override { std::filesystem::remove_all(root_); }

  static std::tm Time(int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 2;  // March
    t.tm_mday = 7;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
  }

  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  static std::vector<std::string> Lines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  static void Write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
  }
  static bool Exists(const std::string& path) { return std::filesystem::exists(path); }

  // What the simulator finds: the lines Hollin has appended to the indication file.
  std::vector<std::string> Indications() const { return Lines(shared_ + "cv3ctcindications.txt"); }

  std::filesystem::path root_;
  std::string program_;
  std::string shared_;
  std::tm now_ = Time(14, 5, 9);
  std::unique_ptr<THollinData> data_;
};
