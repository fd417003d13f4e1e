// Joining and parting trains. Coupling within a block keeps the rear train as
// a record in state 12 behind its front train (the chain through +3 and +5),
// so that a split can make it a train again; merging with the train in the
// next block ahead or behind absorbs that train for good.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/device_walks.h"
#include "engine/engine.h"
#include "engine/interlocking_devices.h"
#include "engine/movement_common.h"
#include "engine/train_commands.h"
#include "store/fixed_text.h"
#include "store/status_codes.h"
#include "store/text_format.h"
#include "store/train_codes.h"

using textfmt::Format;

using namespace movement;
using namespace train_menu;

namespace {

int32_t ScheduledLength(const Corvane3Data& store, int train) {
  const int data = store.GetTrainStatus(train).TrainIndex;
  return data >= 0 && data < kMaxTrains ? store.GetTrainData(data).Length : 0;
}

// The scheduled lengths of a train and of every train coupled behind it.
int32_t ChainLength(const Corvane3Data& store, int train) {
  int64_t sum = ScheduledLength(store, train);
  for (int coupled : CoupledTrains(store, train)) sum += ScheduledLength(store, coupled);
  return static_cast<int32_t>(std::clamp<int64_t>(sum, 0, INT32_MAX));
}

std::string Name(const TrainStatus& train) { return FieldText(train.TrainId); }

// Replaces the first slot that holds `from` by `to`; false when `from` is not there.
bool ReplaceInSlots(BlockStatus& status, int from, int to) {
  const int k = FindSlot(status, from);
  if (k < 0) return false;
  status.Trains[k] = static_cast<uint16_t>(to);
  return true;
}

bool Standing(const TrainStatus& train) { return train.State == TrainState::Stopped && train.Speed == 0; }

}  // namespace

void Engine::CmTrainMerge(int id) {
  Corvane3Data& store = Store();
  const int a = PopupTrain(*this, id, kMerge);
  if (a < 0) return;
  TrainStatus front = store.GetTrainStatus(a);
  auto refuse = [&](const std::string& text) {
    ShowCommandMessage(*this, text, MessageIcon::Error);
    ClearStopStatus();
  };

  const int head = front.HeadBlock;
  if (!ValidBlock(head)) return refuse("Could not find train in block.  Try again to merge.");
  const int direction = front.HeadDirection == 1 ? 1 : 0;
  BlockStatus headStatus = store.GetBlockStatus(head);
  if ((direction == 0 && headStatus.Occupancy != occupancy::kOccupiedLeft) ||
      (direction == 1 && headStatus.Occupancy != occupancy::kOccupiedRight))
    return refuse(
        "Train must be traveling in the same direction as the lead train in block.  Reverse the train and try to "
        "merge again.");
  const int k = FindSlot(headStatus, a);
  if (k < 0) return refuse("Could not find train in block.  Try again to merge.");
  const int j = direction == 0 ? k + 1 : k - 1;
  if (j < 0 || j >= kBlockTrainSlots || headStatus.Trains[j] == kEmptyTrainSlot || !ValidTrain(headStatus.Trains[j]))
    return refuse("Train to merge with is no longer in the block.  Try again to merge.");
  const int b = headStatus.Trains[j];
  TrainStatus lead = store.GetTrainStatus(b);
  if (!Standing(front)) return refuse(Format("Train \"%s\" must be at stop to merge", Name(front)));
  if (!Standing(lead)) return refuse(Format("Train \"%s\" must be at stop to merge", Name(lead)));

  // A becomes a coupled train: it and whatever was coupled behind it go to the end of B's chain.
  front.State = TrainState::Merged;
  front.HeadBlock = -1;
  front.HeadEventTime = -1;
  front.PassRedPermission = 0;
  const std::vector<int> chain = CoupledTrains(store, b);
  const int last = chain.empty() ? b : chain.back();
  front.MergePrevious = static_cast<int16_t>(last);
  store.UpdateTrainStatus(a, front);
  TrainStatus tail = store.GetTrainStatus(last);
  tail.MergeNext = static_cast<int16_t>(a);
  store.UpdateTrainStatus(last, tail);

  // B takes the length of the whole consist, and its rear is worked out for that length.
  lead = store.GetTrainStatus(b);
  lead.Length = ChainLength(store, b);
  store.UpdateTrainStatus(b, lead);
  store.InvalidateDevice(lead.HeadBlock);
  const TrainExtent extent = GetTrainHeadPosition(b);
  lead = store.GetTrainStatus(b);
  lead.RearBlock = static_cast<int16_t>(extent.RearBlock);
  store.UpdateTrainStatus(b, lead);

  // B stands in every block from its rear to its head, in A's place where A stood.
  std::vector<bool> covered(kMaxBlocks, false);
  covered[head] = true;
  if (ValidBlock(lead.RearBlock)) {
    DevicePath path;
    TraceDevicePath(direction, lead.RearBlock, path);
    for (int i = 0; i < kPathEntries && path.Ids[i] != -1; ++i) {
      const int device = path.Ids[i];
      if (device == head) break;
      if (!ValidBlock(device) || store.GetBlockData(device).PassThrough == 1) continue;
      covered[device] = true;
      BlockStatus status = store.GetBlockStatus(device);
      if (!ReplaceInSlots(status, a, b) && FindSlot(status, b) < 0) {
        for (int k2 = 0; k2 < kBlockTrainSlots; ++k2) {
          if (status.Trains[k2] == kEmptyTrainSlot) {
            status.Trains[k2] = static_cast<uint16_t>(b);
            break;
          }
        }
      }
      if (status.Occupancy == occupancy::kFree) status.Occupancy = static_cast<int16_t>(occupancy::Occupied(direction));
      store.UpdateBlockStatus(device, status);
      store.InvalidateDevice(device);
    }
  }
  // A coupled record stands in no block: the head block and any block beyond the new rear let it go.
  for (int block = 0; block < kMaxBlocks; ++block) {
    BlockStatus status = store.GetBlockStatus(block);
    if (status.InUse == 0 || FindSlot(status, a) < 0) continue;
    RemoveFromSlots(status, a);
    if (!covered[block] && status.Trains[0] == kEmptyTrainSlot) {
      if (status.HeldRoutes < 1) {
        status.Occupancy = occupancy::kFree;
      } else {
        --status.HeldRoutes;
        status.Occupancy =
            status.Occupancy == occupancy::kOccupiedRight ? occupancy::kClearedRight : occupancy::kClearedLeft;
      }
    }
    store.UpdateBlockStatus(block, status);
    store.InvalidateDevice(block);
  }
  front = store.GetTrainStatus(a);
  lead = store.GetTrainStatus(b);

  ShowCommandMessage(*this, Format("Trains \"%s\"is now merged into Train \"%s\".", Name(front), Name(lead)),
                     MessageIcon::Warning);
  ClearStopStatus();
}

void Engine::CmTrainSplit(int id) {
  Corvane3Data& store = Store();
  const int a = PopupTrain(*this, id, kSplit);
  if (a < 0) return;
  TrainStatus front = store.GetTrainStatus(a);
  auto refuse = [&](const std::string& text) {
    ShowCommandMessage(*this, text, MessageIcon::Error);
    ClearStopStatus();
  };
  if (!Standing(front) || !ValidBlock(front.HeadBlock))
    return refuse(Format("Train \"%s\" must be at stop to split", Name(front)));
  const TrainStatus before = front;

  const int result = store.Dialogs().RunSplitTrainDialog(Format("Split Train \"%s\"", Name(front)), a);
  const int n = result - 1000;
  // Only a train coupled behind this one can leave with the rear part.
  const std::vector<int> chain = CoupledTrains(store, a);
  if (result == 2 || std::find(chain.begin(), chain.end(), n) == chain.end()) {
    ClearStopStatus();
    return;
  }

  const int32_t leaving = ChainLength(store, n);
  front.Length -= leaving;
  store.UpdateTrainStatus(a, front);
  const int previous = store.GetTrainStatus(n).MergePrevious;

  const TrainExtent extent = GetTrainHeadPosition(a);
  front.RearBlock = static_cast<int16_t>(extent.RearBlock);
  front.RearDirection = extent.RearDirection;
  store.UpdateTrainStatus(a, front);

  const int rear = extent.RearBlock;
  BlockStatus rearStatus = ValidBlock(rear) ? store.GetBlockStatus(rear) : BlockStatus{};
  const int k = ValidBlock(rear) ? FindSlot(rearStatus, a) : -1;
  if (ValidBlock(rear) && CountTrains(rearStatus) >= kBlockTrainSlots) {
    store.UpdateTrainStatus(a, before);
    char text[120];
    std::snprintf(text, sizeof text,
                  "You cannot split the train.  The maximum number of trains allowed in a block is %d.",
                  kBlockTrainSlots);
    return refuse(text);
  }
  if (k < 0) {
    store.UpdateTrainStatus(a, before);
    return refuse("Could not find train in block.  Try again.");
  }

  // N stands right behind A in A's new rear block.
  const int at = front.RearDirection == 1 ? k + 1 : k;
  for (int s = kBlockTrainSlots - 1; s > at; --s) rearStatus.Trains[s] = rearStatus.Trains[s - 1];
  rearStatus.Trains[at] = static_cast<uint16_t>(n);
  store.UpdateBlockStatus(rear, rearStatus);
  store.InvalidateDevice(rear);

  if (ValidTrain(previous)) {
    TrainStatus cut = store.GetTrainStatus(previous);
    cut.MergeNext = -1;
    store.UpdateTrainStatus(previous, cut);
  }

  TrainStatus part = store.GetTrainStatus(n);
  part.HeadBlock = static_cast<int16_t>(rear);
  part.Length = leaving;
  part.HeadDirection = front.RearDirection;
  part.MergePrevious = -1;
  part.HeadPosition = part.PreviousHeadPosition = extent.RearPosition;
  part.State = TrainState::Stopped;
  part.Reason = StopReason::WaitSignal;
  part.PassRedPermission = 0;
  store.UpdateTrainStatus(n, part);
  const TrainExtent partExtent = GetTrainHeadPosition(n);
  part = store.GetTrainStatus(n);
  part.RearBlock = static_cast<int16_t>(partExtent.RearBlock);
  part.RearDirection = partExtent.RearDirection;
  store.UpdateTrainStatus(n, part);

  // N takes A's place in the blocks behind its head.
  const int partDirection = part.HeadDirection == 1 ? 1 : 0;
  if (part.HeadBlock != part.RearBlock && ValidBlock(part.RearBlock)) {
    DevicePath path;
    TraceDevicePath(1 - partDirection, part.HeadBlock, path);
    for (int i = 1; i < kPathEntries && path.Ids[i] != -1; ++i) {
      const int device = path.Ids[i];
      if (ValidBlock(device) && store.GetBlockData(device).PassThrough != 1) {
        BlockStatus status = store.GetBlockStatus(device);
        if (ReplaceInSlots(status, a, n)) {
          store.UpdateBlockStatus(device, status);
          store.InvalidateDevice(device);
        }
      }
      if (device == part.RearBlock) break;
    }
  }

  if (ExitSignal(store.GetBlockData(rear), partDirection) == -1) CheckRoute(partDirection, rear, 0, 1, kScreenRequest);

  ShowCommandMessage(
      *this, Format("Trains \"%s\"is now split into Train \"%s\" and \"%s\".", Name(front), Name(front), Name(part)),
      MessageIcon::Warning);
  store.InvalidateDevice(rear);
  ClearStopStatus();
}

namespace {

// Merge Ahead (which 0) and Merge Behind (which 1): the survivor takes the
// absorbed train's blocks and length; the absorbed train's record is given up.
void MergeNextBlock(Engine& engine, int chosen, int which) {
  Corvane3Data& store = engine.Store();
  const int found = walks::FindTrainInNextBlock(engine, chosen, which);
  if (!ValidTrain(found) || found == chosen || store.GetTrainStatus(found).InUse != 1) {
    ShowCommandMessage(engine,
                       which == 0 ? "There is no longer a train in the next block ahead"
                                  : "There is no longer a train in the next block behind",
                       MessageIcon::Error);
    return;
  }
  const int s = which == 0 ? found : chosen;
  const int x = which == 0 ? chosen : found;
  TrainStatus survivor = store.GetTrainStatus(s);
  TrainStatus absorbed = store.GetTrainStatus(x);
  const int oldRear = survivor.RearBlock;
  const int absorbedHead = absorbed.HeadBlock;
  survivor.RearBlock = absorbed.RearBlock;
  survivor.Length += absorbed.Length;
  store.UpdateTrainStatus(s, survivor);
  // The trains coupled behind the absorbed one stay coupled, now at the end of the survivor's consist.
  const std::vector<int> carried = CoupledTrains(store, x);
  if (!carried.empty() && std::find(carried.begin(), carried.end(), s) == carried.end()) {
    const std::vector<int> own = CoupledTrains(store, s);
    const int last = own.empty() ? s : own.back();
    TrainStatus tail = store.GetTrainStatus(last);
    tail.MergeNext = static_cast<int16_t>(carried.front());
    store.UpdateTrainStatus(last, tail);
    TrainStatus first = store.GetTrainStatus(carried.front());
    first.MergePrevious = static_cast<int16_t>(last);
    store.UpdateTrainStatus(carried.front(), first);
  }
  absorbed.InUse = 0;
  absorbed.MergeNext = absorbed.MergePrevious = -1;
  store.UpdateTrainStatus(x, absorbed);

  const int direction =
      ValidBlock(absorbedHead) && store.GetBlockStatus(absorbedHead).Occupancy == occupancy::kOccupiedLeft ? 1 : 0;
  if (ValidBlock(oldRear)) {
    DevicePath path;
    engine.TraceDevicePath(direction, oldRear, path);
    store.InvalidateDevice(oldRear);
    if (ValidBlock(absorbedHead)) store.InvalidateDevice(absorbedHead);
    // Without a rear block on the territory the absorbed train ends at its head block.
    const int end = ValidBlock(survivor.RearBlock) ? survivor.RearBlock : absorbedHead;
    for (int i = 0; i < kPathEntries && path.Ids[i] != -1; ++i) {
      const int device = path.Ids[i];
      const int code = occupancy::Occupied(path.Dirs[i] == 0 ? 1 : 0);
      if (ValidBlock(device)) {
        BlockStatus status = store.GetBlockStatus(device);
        // The absorbed train's place becomes the survivor's; other trains keep theirs.
        if (!ReplaceInSlots(status, x, s) && FindSlot(status, s) < 0) {
          for (int k = 0; k < kBlockTrainSlots; ++k) {
            if (status.Trains[k] == kEmptyTrainSlot) {
              status.Trains[k] = static_cast<uint16_t>(s);
              break;
            }
          }
        }
        status.Occupancy = static_cast<int16_t>(code);
        store.UpdateBlockStatus(device, status);
        store.InvalidateDevice(device);
        if (device == end) break;
      } else if (interlocking::IsSwitch(device)) {
        const int index = device - interlocking::kSwitchBase;
        SwitchStatus status = store.GetSwitchStatus(index);
        status.Occupancy = static_cast<uint8_t>(code);
        store.UpdateSwitchStatus(index, status);
        store.InvalidateDevice(device);
      }
    }
  }
  if (ValidBlock(survivor.HeadBlock)) store.InvalidateDevice(survivor.HeadBlock);
}

}  // namespace

void Engine::CmTrainMergeAhead(int id) {
  const int train = PopupTrain(*this, id, kMergeAhead);
  if (train >= 0) MergeNextBlock(*this, train, 0);
}

void Engine::CmTrainMergeBehind(int id) {
  const int train = PopupTrain(*this, id, kMergeBehind);
  if (train >= 0) MergeNextBlock(*this, train, 1);
}
