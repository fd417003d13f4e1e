// Throwing switches under their locks, random switch failures, and finding a
// train whose crew can throw a hand-thrown switch.
#include <algorithm>

#include "engine/interlocking_devices.h"
#include "engine/interlocking_rules.h"
#include "store/status_codes.h"

using namespace interlocking;

namespace {

constexpr int kMaxSwitchFailures = 10;
// The crew search tries each combination of facing switches once; a damaged
// territory must not keep it busy for ever.
constexpr int kMaxCrewWalks = 4096;

}  // namespace

int Engine::ThrowSwitch(int switchDevice, uint8_t forced, uint8_t crew, int source) {
  Corvane3Data& store = Store();
  if (!IsSwitch(switchDevice)) {
    store.InternalErrorTrap(switchDevice, "Switch index error - ThrowSwitch");
    return 0;
  }
  if (store.GetOptionData().CTCControlOn == 1) return store.Interface().CTCThrowSwitch(switchDevice, forced);

  // The signal stack's forced requests open no message box, like an interface's.
  const bool screen = source == kScreenRequest && !forced;
  const bool help = store.GetOptionData().HelpMessagesOn == 1;
  const int index = switchDevice - kSwitchBase;
  // The dispatcher's own throw drops an entrance picked but not completed; the stack's forced one
  // works in the background and leaves it.
  if (screen) {
    Run().PendingRouteEntrance = -1;
    Run().PendingStackEntrance = -1;
  }
  SwitchStatus status = store.GetSwitchStatus(index);
  const SwitchData data = store.GetSwitchData(index);
  status.Refused = 0;

  if (data.HandThrown == 1 && !crew && source == kScreenRequest) {
    if (screen)
      ShowPaused(
          *this,
          "This switch must be manually thrown by a train's crew.  Stop a train near the switch and instruct the "
          "crew to throw the switch by placing the mouse on the switch and clicking the right mouse button.",
          MessageIcon::Error, MessageButtons::Ok);
    return 0;
  }

  if (const Refusal refusal = SwitchLockRefusal(store, index, {.PartnerFailureLocks = true, .Crew = crew != 0})) {
    MarkSwitchRefused(*this, index, refusal);
    if (help && screen && refusal.Text != nullptr)
      ShowPaused(*this, refusal.Text, MessageIcon::Error, MessageButtons::Ok);
    return 0;
  }

  const int partner = status.Partner;
  const HalvingDraw draw = ReseedAndDraw(*this, 1000);
  if (status.FailureCount == -1 || crew) {
    if (draw.Value < store.GetRandomData().SwitchFailuresPer1000 && !forced && !crew) {
      if (screen) ShowPaused(*this, "Switch failure. Try to throw it again.", MessageIcon::Error, MessageButtons::Ok);
      status.FailureCount = 0;
      store.UpdateSwitchStatus(index, status);
      return 0;
    }
  } else if (draw.Band == status.FailureCount) {
    status.FailureCount = -1;
    status.MaintainerCalled = 0;
    status.MaintainerFixTime = -1;
  } else {
    status.FailureCount = static_cast<int8_t>(std::min(status.FailureCount + 1, kMaxSwitchFailures));
    if (status.MaintainerCalled == 0) {
      OfferMaintainer(*this, status, screen, "Switch is still not working.  Do you wish to call a maintainer?");
    } else if (screen) {
      ShowPaused(*this, "Switch is still not working.", MessageIcon::Error, MessageButtons::Ok);
    }
    store.UpdateSwitchStatus(index, status);
    return 0;
  }

  status.Position = status.Position == 0 ? 1 : 0;
  store.UpdateSwitchStatus(index, status);
  store.Shell().InvalidateCellRect(data.CellX, data.CellY, true, 18, 18);
  if (partner >= 0 && partner < kMaxSwitches) {
    SwitchStatus other = store.GetSwitchStatus(partner);
    other.Position = status.Position;
    store.UpdateSwitchStatus(partner, other);
    const SwitchData otherData = store.GetSwitchData(partner);
    store.Shell().InvalidateCellRect(otherData.CellX, otherData.CellY, true, 18, 18);
  }
  return 1;
}

int Engine::FindSwitchCrewTrain(int switchIndex) {
  if (switchIndex < 0 || switchIndex >= kMaxSwitches) return -1;
  static constexpr int kLegOrder[4] = {1, 3, 0, 2};
  for (int leg : kLegOrder) {
    const int block = SearchSwitchLegForCrew(leg, switchIndex);
    if (block != -1) return block;
  }
  const int partner = Store().GetSwitchData(switchIndex).Partner;
  if (partner < 0 || partner >= kMaxSwitches) return -1;
  for (int leg : kLegOrder) {
    const int block = SearchSwitchLegForCrew(leg, partner);
    if (block != -1) return block;
  }
  return -1;
}

int Engine::SearchSwitchLegForCrew(int leg, int switchIndex) {
  if (leg < 0 || leg > 3 || switchIndex < 0 || switchIndex >= kMaxSwitches) return -1;
  Corvane3Data& store = Store();
  const int legDevice = store.GetSwitchData(switchIndex).Legs[leg];
  if (legDevice == -1) return -1;
  const int direction = leg <= 1 ? 0 : 1;
  DevicePath path;
  std::array<int32_t, kPathEntries> positions{};
  int r = FindCrewTrainAlongPath(direction, switchIndex, legDevice, positions.data(), path.Ids.data(), path.Dirs.data(),
                                 kPathEntries);
  for (int walks = 1; r == -1 && walks < kMaxCrewWalks; ++walks) {
    int turn = -1;
    for (int i = kPathEntries - 1; i >= 1 && turn == -1; --i) {
      const int device = path.Ids[i];
      if (!IsSwitch(device) || positions[i] != 0) continue;
      if (SwitchFacesMove(store.GetSwitchData(device - kSwitchBase).TrackCode, path.Dirs[i])) turn = i;
    }
    if (turn == -1) break;
    positions[turn] = 1;
    for (int j = turn + 1; j < kPathEntries; ++j) positions[j] = 0;
    r = FindCrewTrainAlongPath(direction, switchIndex, legDevice, positions.data(), path.Ids.data(), path.Dirs.data(),
                               kPathEntries);
  }
  return r;
}
