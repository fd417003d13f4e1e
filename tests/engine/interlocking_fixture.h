// A store with recording services, the territory builder and an engine, for
// the interlocking tests: each test draws its small territory, calls Ready()
// and acts.
#pragma once

#include <string>
#include <vector>

#include "engine/engine.h"
#include "store/fixed_text.h"
#include "store/wall_clock.h"
#include "tests/support/store_fixture.h"
#include "tools/territory/territory_builder.h"

using territory::BlockSpec;
using territory::Cell;
using territory::DiamondDevice;
using territory::Diverge;
using territory::End;
using territory::SignalDevice;
using territory::SwitchDevice;

class InterlockingTest : public StoreFixture {
 protected:
  InterlockingTest() : t(store()), engine(store()) {
    SetFieldText(store().Captions[1], kCaptionChars, "Corvane Dispatch");
    wallClock_ = 1000000;
    SetWallClockSource([]() -> std::time_t { return wallClock_; });
  }
  ~InterlockingTest() override { SetWallClockSource(nullptr); }

  // Failure draws reseed from the wall clock: set it to a time whose first
  // draw of 0..999 is `value` or, failing that, satisfies `want`.
  template <class Want>
  void FirstDrawOf1000(Want want) {
    for (uint32_t seed = 1; seed < 200000; ++seed) {
      RandomSource random(seed);
      if (want(random.Next(1000))) {
        wallClock_ = seed;
        return;
      }
    }
    ADD_FAILURE() << "no seed gives the wanted draw";
  }

  // A horizontal block on row y from column x0 to x1.
  int Block(const std::string& name, int x0, int x1, int y = 4, bool passThrough = false) {
    return t.Block({.Name = name, .From = {x0, y}, .To = {x1, y}, .PassThrough = passThrough});
  }

  // The territory is drawn: counts, then a fresh run with every device idle,
  // Help Messages on, no random failures and the clock at 08:00 of day 1.
  void Ready() {
    t.Finish();
    store().InitSimulationStatus();
    OptionData options = store().GetOptionData();
    options.HelpMessagesOn = 1;
    store().UpdateOptionData(options);
    store().SimClock = 86400 + 8 * 3600;
    RandomData random = store().GetRandomData();
    random.SignalFailuresPer1000 = random.SwitchFailuresPer1000 = 0;
    store().UpdateRandomData(random);
  }

  RunState& run() { return store().Run; }

  void SetBlockCode(int block, int code) {
    BlockStatus status = store().GetBlockStatus(block);
    status.Occupancy = static_cast<int16_t>(code);
    store().UpdateBlockStatus(block, status);
  }
  int BlockCode(int block) { return store().GetBlockStatus(block).Occupancy; }
  int SwitchCode(int sw) { return store().GetSwitchStatus(sw).Occupancy; }
  int Aspect(int signal) { return store().GetSignalStatus(signal).Aspect; }

  void SetSwitchPosition(int sw, int position) {
    SwitchStatus status = store().GetSwitchStatus(sw);
    status.Position = static_cast<uint8_t>(position);
    store().UpdateSwitchStatus(sw, status);
  }

  // Puts a train in a block's first slot, its head there, heading `direction`.
  int PlaceTrain(int slot, int block, int direction, int state = 3, int speed = 0) {
    TrainStatus train = store().GetTrainStatus(slot);
    train.InUse = 1;
    train.State = static_cast<uint8_t>(state);
    train.Reason = 3;
    train.HeadBlock = static_cast<int16_t>(block);
    train.RearBlock = static_cast<int16_t>(block);
    train.HeadDirection = static_cast<uint8_t>(direction);
    train.Speed = static_cast<int16_t>(speed);
    store().UpdateTrainStatus(slot, train, 1);
    BlockStatus status = store().GetBlockStatus(block);
    status.Trains[0] = static_cast<uint16_t>(slot);
    status.Occupancy = static_cast<int16_t>(direction == 1 ? 3 : 4);
    store().UpdateBlockStatus(block, status);
    return slot;
  }

  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> texts;
    for (const MessageCall& call : messages.Calls) texts.push_back(call.Text);
    return texts;
  }

  territory::TerritoryBuilder t;
  Engine engine;

 private:
  static inline std::time_t wallClock_ = 0;
};
