// A fresh store per test with every service replaced by a recording fake.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "store/corvane3_data.h"
#include "tests/support/fake_services.h"

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
  }
  ~StoreFixture() override { TheStore = nullptr; }

  Corvane3Data& store() { return *store_; }

  FakeMessageService messages;
  FakeShellService shell;
  FakeInterfaceService interface;
  FakeDialogService dialogs;
  FakeListService lists;
  FakePlaybackSink playback;
  FakeDisplayService display;

 private:
  std::unique_ptr<Corvane3Data> store_;
};
