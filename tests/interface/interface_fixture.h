// The interface code over a small territory, as an outside program sees it:
// the channels' folders are a temporary folder, and the tests read the files
// the simulator wrote there.
#pragma once

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "interface/interface_service.h"
#include "interface/xfer_msg.h"
#include "tests/engine/interlocking_fixture.h"

class InterfaceTest : public InterlockingTest {
 protected:
  InterfaceTest() : service(engine), io_(folder() / "io") {
    // Time stamps are local time: pin the zone so that they read the same everywhere.
    setenv("TZ", "UTC", 1);
    tzset();
    std::filesystem::create_directory(io_);
    store().SetInterfaceService(&service);
    OptionData options = store().GetOptionData();
    SetFieldText(options.EIOFolder, io_.string() + "/");
    SetFieldText(options.CTCFolder, io_.string() + "/");
    options.EIOLogOn = options.CTCLogOn = 0;
    options.EIONextOutgoing = options.CTCNextOutgoing = 0;
    store().UpdateOptionData(options);
  }
  ~InterfaceTest() override { store().SetInterfaceService(nullptr); }

  // External I/O mode with a run prepared and standing still at 08:00 of day 1.
  void ExternalIOMode() {
    OptionData options = store().GetOptionData();
    options.ExternalIOOn = 1;
    options.CTCControlOn = 0;
    store().UpdateOptionData(options);
    run().AwaitingStart = 0;
    run().OutputHold = 0;
    run().SimStopped = 1;
  }
  void CTCMode() {
    OptionData options = store().GetOptionData();
    options.CTCControlOn = 1;
    options.ExternalIOOn = 0;
    store().UpdateOptionData(options);
  }
  void SetLogs(bool on) {
    OptionData options = store().GetOptionData();
    options.EIOLogOn = options.CTCLogOn = on ? 1 : 0;
    store().UpdateOptionData(options);
  }

  const std::filesystem::path& io() const { return io_; }
  std::filesystem::path File(const char* name) const { return io_ / name; }

  // The file's lines as an outside program reads them ("\n" ends each one).
  std::vector<std::string> Lines(const char* name) const {
    std::vector<std::string> lines;
    std::ifstream in(File(name), std::ios::binary);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
  }
  std::string Bytes(const char* name) const {
    std::ifstream in(File(name), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }
  std::vector<std::string> Indications() const { return Lines(xfer::kEIOIndicationFile); }
  std::vector<std::string> Controls() const { return Lines(xfer::kCTCControlFile); }

  std::vector<std::string> ErrorTexts() const {
    std::vector<std::string> texts;
    for (const MessageCall& call : messages.Calls) texts.push_back(call.Text);
    return texts;
  }

  MessageInterfaceService service;

 private:
  std::filesystem::path io_;
};
