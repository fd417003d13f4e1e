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

  // x:  2   6 7  8 9  13 15  19
  //     =B0=  =P=  D0 =B1=  =B2=    y=4  (P a connecting block)
  //               crossed by B4 (y 0-3) above and B3 (y 5-8) below
  struct DiamondLine {
    int B0, P, D, B1, B2, B3, B4;
  };
  DiamondLine DrawDiamondLine() {
    DiamondLine line{};
    line.B0 = Block("B0", 2, 6);
    line.P = Block("P", 7, 7, 4, true);
    line.D = t.Diamond("D0", {8, 4}, 30);
    line.B1 = Block("B1", 9, 13);
    line.B2 = Block("B2", 15, 19);
    line.B3 = t.Block({.Name = "B3", .From = {8, 5}, .To = {8, 8}});
    line.B4 = t.Block({.Name = "B4", .From = {8, 0}, .To = {8, 3}});
    t.Link(line.B0, line.P);
    t.Link(line.P, DiamondDevice(line.D));
    t.Link(DiamondDevice(line.D), line.B1);
    t.Link(line.B1, line.B2);
    t.LinkCrossing(line.D, line.B4, line.B3);
    return line;
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
