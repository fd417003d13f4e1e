// A fresh store per test with every service replaced by a recording fake.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "tests/support/fake_services.h"
#include "tests/support/test_store.h"

class StoreFixture : public ::testing::Test {
 protected:
  StoreFixture() : store_(std::make_unique<Corvane3Data>()) {
    TheStore = store_.get();
    store_->SetMessageService(&messages);
    store_->SetShellService(&shell);
    store_->SetInterfaceService(&interface);
    store_->SetDialogService(&dialogs);
    store_->SetListService(&lists);
    store_->SetPlaybackSink(&playback);
    store_->SetDisplayService(&display);
    // Settings files land in the program folder: give each test its own.
    std::string pattern = (std::filesystem::temp_directory_path() / "corvane-test-XXXXXX").string();
    if (mkdtemp(pattern.data())) folder_ = pattern;
    SetFieldText(store_->ProgramFolder, kPathChars, folder_.string());
  }
  ~StoreFixture() override {
    TheStore = nullptr;
    std::error_code ignored;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
  }

  Corvane3Data& store() { return *store_; }
  // The test's own program folder, removed with everything in it after the test.
  const std::filesystem::path& folder() const { return folder_; }

  FakeMessageService messages;
  FakeShellService shell;
  FakeInterfaceService interface;
  FakeDialogService dialogs;
  FakeListService lists;
  FakePlaybackSink playback;
  FakeDisplayService display;

 private:
  std::unique_ptr<Corvane3Data> store_;
  std::filesystem::path folder_;
};
