// Bringing the store to a known state: an empty territory (InitTerritoryData)
// and an empty run over the territory that is loaded (InitSimulationStatus).
// Every record is built in a local copy that starts all zero and is stored
// through its accessor, so the accessors' side effects apply slot by slot. A
// slot that holds the image already is left alone: storing it again changes
// nothing (a reset records nothing), and after a load or a short run most
// slots are untouched, so a reset costs what the run or the load touched.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <type_traits>

#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/status_codes.h"

namespace {

template <class Record>
void FillAt(Record& record, int offset, int count, uint8_t value) {
  std::memset(reinterpret_cast<uint8_t*>(&record) + offset, value, count);
}

// Stores `image` through `update(index)` in every slot of `table` that does not hold it already. The slots
// are compared a run at a time with a run of images: most runs are untouched and cost one comparison.
// With `written`, only the slots written since the last reset are compared, and what the updates write
// is noted afresh.
template <class Record, std::size_t N, class Update>
void ResetSlots(const std::array<Record, N>& table, const Record& image, WrittenSlots* written, Update update) {
  static_assert(std::is_trivially_copyable_v<Record>);
  constexpr std::size_t kRun = std::clamp<std::size_t>(4096 / sizeof(Record), 1, N);
  std::size_t begin = 0, end = N;
  if (written) {
    begin = static_cast<std::size_t>(std::max(written->First, 0));
    end = std::min(static_cast<std::size_t>(std::max(written->End, 0)), N);
    *written = WrittenSlots::None();
  }
  std::array<Record, kRun> images;
  images.fill(image);
  for (std::size_t first = begin; first < end; first += kRun) {
    const std::size_t count = std::min(kRun, end - first);
    if (std::memcmp(&table[first], images.data(), count * sizeof(Record)) == 0) continue;
    for (std::size_t i = first; i < first + count; ++i)
      if (std::memcmp(&table[i], &image, sizeof image) != 0) update(static_cast<int>(i));
  }
}

template <class Record, std::size_t N, class Update>
void ResetSlots(const std::array<Record, N>& table, const Record& image, Update update) {
  ResetSlots(table, image, nullptr, update);
}

// Stores `target` through `update` unless the slot holds it already: a slot in use that the run left alone
// costs one comparison.
template <class Record, class Update>
void StoreUnlessHeld(const Record& held, const Record& target, Update update) {
  if (std::memcmp(&held, &target, sizeof target) != 0) update();
}

template <class Record>
Record Zeroed() {
  Record record;
  std::memset(&record, 0, sizeof record);
  return record;
}

// The label font of a new text or station: "Courier New", height -11, weight
// 400, default character set, in the 60-byte layout the files carry (height,
// width, escapement, orientation, weight as int32; italic, underline,
// strike-out, character set, output and clip precision, quality, pitch as
// bytes; a 32-byte face name).
FontBytes DefaultLabelFont() {
  FontBytes font{};
  font.Height = -11;
  font.Weight = 400;
  font.CharSet = 1;
  std::memcpy(font.FaceName, "Courier New", 11);
  return font;
}

constexpr uint32_t kFontDialogFlags = 0x10041;
constexpr int32_t kColourDialogFlags = 4;
constexpr int32_t kLabelPointSize = 80;  // tenths of a point

}  // namespace

void Corvane3Data::InitTerritoryData() {
  TrackReservedWord = 1000;
  TrackIdentity1 = 0;
  TrackIdentity2 = 0;
  Run.SimStopped = 1;

  // Every cell lies inside the grid: no cell check is needed. Filled in bulk (-1 is all bits set).
  std::memset(GridTrack.data(), 0, sizeof GridTrack);
  std::memset(GridDevice.data(), 0xFF, sizeof GridDevice);

  auto insert = Zeroed<BitmapInsert>();
  insert.Left = insert.Top = insert.Width = insert.Height = -1;
  insert.Layer = 1;
  ResetSlots(bitmapInsert_, insert, [&](int i) { UpdateBitmapInsert(i, insert); });

  const auto maint = Zeroed<BitmapMaint>();
  ResetSlots(bitmapMaint_, maint, [&](int i) { UpdateBitmapMaint(i, maint); });
  MaintImageSizes.fill(0);

  const FontBytes font = DefaultLabelFont();
  auto text = Zeroed<TextData>();
  text.Words100[6] = 1;  // +112
  text.Longs114[0] = kFontDialogFlags;
  text.Font = font;
  text.Longs186[0] = kLabelPointSize;
  text.Longs200[2] = kColourDialogFlags;  // +208
  ResetSlots(texts_, text, [&](int i) { UpdateTextData(i, text); });

  auto station = Zeroed<StationData>();
  station.Longs34[0] = kFontDialogFlags;
  station.Font = font;
  station.Longs106[0] = kLabelPointSize;
  station.Longs120[2] = kColourDialogFlags;  // +128
  ResetSlots(stations_, station, [&](int i) { UpdateStationData(i, station); });

  ChangeCount = 0;

  auto block = Zeroed<BlockData>();
  block.LeftNeighbour = block.RightNeighbour = -1;
  block.SignalledLeft = block.SignalledRight = 1;
  block.Length = 5280;
  block.LeftSignal = block.RightSignal = -1;
  FillAt(block, offsetof(BlockData, SpeedOneClear), 3 * sizeof block.SpeedOneClear, 0xFF);  // +45, +85, +125
  for (int d = 0; d < 2; ++d)
    for (int t = 0; t < kMaxTrainTypes; ++t) block.TypeSpeed[d][t] = 120;
  block.CrewReliefMinutes = 5;
  block.Word383 = -1;
  block.LongUnits = 1;
  ResetSlots(blockData_, block, [&](int i) { UpdateBlockData(i, block); });

  auto os = Zeroed<OSData>();
  FillAt(os, offsetof(OSData, Devices), sizeof os.Devices, 0xFF);
  ResetSlots(osData_, os, [&](int i) { UpdateOSData(i, os); });

  auto platform = Zeroed<PlatformData>();
  FillAt(platform, offsetof(PlatformData, Devices), sizeof platform.Devices, 0xFF);
  ResetSlots(platforms_, platform, [&](int i) { UpdatePlatformData(i, platform); });

  auto type = Zeroed<TrainType>();
  type.StartupSeconds = 120;
  type.ReverseSpeed = 10;
  SetFieldText(type.BitmapFiles[0], "red diesel left.bmp");
  SetFieldText(type.BitmapFiles[1], "red diesel right.bmp");
  SetFieldText(type.BitmapFiles[2], "red caboose.bmp");
  type.TopSpeed = 60;
  for (int i = 0; i < kMaxTrainTypes; ++i) UpdateTrainType(i, type);
  SetFieldText(type.Name, "Passenger");
  UpdateTrainType(0, type);
  SetFieldText(type.Name, "Freight");
  UpdateTrainType(1, type);

  auto cross = Zeroed<CrossData>();
  FillAt(cross, offsetof(CrossData, Legs), sizeof cross.Legs, 0xFF);
  cross.CellX = cross.CellY = -1;
  cross.StatusWord = -1;
  cross.TrafficRouteA = cross.TrafficRouteB = -1;
  ResetSlots(crossData_, cross, [&](int i) { UpdateCrossData(i, cross); });

  auto sw = Zeroed<SwitchData>();
  FillAt(sw, offsetof(SwitchData, Legs), sizeof sw.Legs, 0xFF);
  for (int t = 0; t < kMaxTrainTypes; ++t) sw.DivergingSpeed[t] = 35;
  ResetSlots(switchData_, sw, [&](int i) { UpdateSwitchData(i, sw); });

  auto signal = Zeroed<SignalData>();
  signal.Block = -1;
  signal.Word44 = 1;
  ResetSlots(signalData_, signal, [&](int i) { UpdateSignalData(i, signal); });

  auto org = Zeroed<OrgData>();
  org.Block = -1;
  org.Capacity = -1;
  ResetSlots(orgData_, org, [&](int i) { UpdateOrgData(i, org); });

  auto slow = Zeroed<SlowData>();
  slow.StartMinutes = slow.EndMinutes = -1;
  for (int t = 0; t < kMaxTrainTypes; ++t) slow.SpeedsFirst[t] = slow.SpeedsSecond[t] = -1;
  std::memset(slow.Days, 1, sizeof slow.Days);
  slow.OnceOnly = 1;
  ResetSlots(slowData_, slow, [&](int i) { UpdateSlowData(i, slow); });

  auto permit = Zeroed<PermitData>();
  permit.StartMinutes = permit.EndMinutes = -1;
  std::memset(permit.Days, 1, sizeof permit.Days);
  permit.NonRepeating = 1;
  ResetSlots(permitData_, permit, [&](int i) { UpdatePermitData(i, permit); });

  auto train = Zeroed<TrainData>();
  train.CrewMinutesWorked = 120;
  train.Length = 1000;
  train.EntranceMinutes = 0xFFFF;
  train.Byte50 = 1;
  for (auto& stop : train.Stations) {
    stop.Minutes = 0xFFFF;
    stop.DwellSeconds = -1;
  }
  for (auto& leg : train.Multiple) {
    leg.ReentryMinutes = 0xFFFF;
    leg.Word19 = 0xFFFF;
    leg.CrewMinutes = leg.NewLength = -1;
  }
  for (auto& work : train.LocalWork) {
    work.Minutes = 0xFFFF;
    work.NewLength = -1;
  }
  train.BecomesTrain = train.BecomeMinutes = train.SplitTrain = train.LinkedTrain = -1;
  std::memset(train.Days, 1, sizeof train.Days);
  ResetSlots(trainData_, train, [&](int i) { UpdateTrainData(i, train); });

  auto territory = Zeroed<TerritoryData>();
  SetFieldText(territory.Version, "1.0");
  territory.PublicDomain = 1;
  territory.Byte1079 = 1;
  UpdateTerritoryData(territory);

  const auto icon = Zeroed<TrainIconData>();
  ResetSlots(trainIcons_, icon, [&](int i) { UpdateTrainIconData(i, icon); });
  shell_->LoadTrainIcons();

  TerritoryCounters = {1, 50, 100, 0, 0, 0, 0, 1};

  auto start = Zeroed<StartTime>();
  for (int k = 0; k < kStartTimeTrains; ++k) {
    start.TrainIndex[k] = start.PairedIndex[k] = 0xFFFF;
    start.Words260[k] = 240;
    start.Bytes360[k] = 1;
  }
  start.Word460 = -1;
  start.Byte462 = 1;
  ResetSlots(startTimes_, start, [&](int i) { UpdateStartTime(i, start); });

  Run.PointerHighlightCells.fill(-1);
  shell_->SetArrowCursor();

  // The counts bound every table walk: a new territory walks whole tables.
  // Words 16-18 and 21-24 are not table bounds and keep their values.
  CountData counts = GetCountData();
  const int32_t capacities[] = {200, 160, 1000, 300, 200, 100, 2000, 1000, 1000, 1000, 200, 200, 400, 100, 10, 50};
  for (int word = 0; word < 16; ++word) counts.Words[word] = capacities[word];
  counts.Words[kCountAreas] = 100;
  counts.Words[kCountOSPoints] = 100;
  UpdateCountData(counts);

  Run.Loading = 0;
  Run.RunStarted = 0;
  Run.OutputHold = 1;
  PendingBeeps = 0;
  BeepIdle = 1;
  shell_->InvalidateLayout(true);
}

void Corvane3Data::InitSimulationStatus() {
  RecordingSuppressed = 1;
  Run.LastCTCPermitMinute = -1;

  auto freeBlock = Zeroed<BlockStatus>();
  freeBlock.LeftLabelX = freeBlock.LeftLabelY = freeBlock.RightLabelX = freeBlock.RightLabelY = -1;
  freeBlock.LabelFirstRight = freeBlock.LabelSecondLeft = -1;
  freeBlock.PermitActiveUntil = freeBlock.PermitPendingFrom = -1;
  FillAt(freeBlock, offsetof(BlockStatus, SlowSpeeds), sizeof freeBlock.SlowSpeeds, 0xFF);
  FillAt(freeBlock, offsetof(BlockStatus, Trains), sizeof freeBlock.Trains, 0xFF);
  freeBlock.StackMark = 4;
  // A slot in use is set from its block below, straight from the free image: not stored free on the way.
  ResetSlots(blockStatus_, freeBlock, &blockStatusWritten_, [&](int i) {
    if (blockData_[i].InUse == 0) UpdateBlockStatus(i, freeBlock, 0, 1);
  });
  for (int i = NextSlotIn(blocksInUse_, -1, kMaxBlocks); i >= 0; i = NextSlotIn(blocksInUse_, i, kMaxBlocks)) {
    const BlockData& data = blockData_[i];
    BlockStatus status = freeBlock;
    status.InUse = 1;
    status.LeftLabelX = data.LabelCells[0];
    status.LeftLabelY = data.LabelCells[1];
    status.RightLabelX = data.LabelCells[2];
    status.RightLabelY = data.LabelCells[3];
    status.PassThrough = data.PassThrough;
    status.ReversesPath = data.ReversesPath;
    status.RunBytes[0] = data.RunBytes[0];
    status.RunBytes[1] = data.RunBytes[1];
    status.LabelFirstRight = data.LabelFirstRight;
    status.LabelSecondLeft = data.LabelSecondLeft;
    // The fastest speed of any train type, by direction, with three blocks cleared ahead.
    int16_t fastest[2] = {-1, -1};
    for (int d = 0; d < 2; ++d)
      for (int t = 0; t < kMaxTrainTypes; ++t)
        if (data.SpeedMax[d][t] > fastest[d]) fastest[d] = data.SpeedMax[d][t];
    status.MaxSpeedLeft = fastest[0];
    status.MaxSpeedRight = fastest[1];
    status.ClearedValue = -1;
    StoreUnlessHeld(blockStatus_[i], status, [&] { UpdateBlockStatus(i, status, 0, 1); });
  }

  auto freeSwitch = Zeroed<SwitchStatus>();
  freeSwitch.Partner = -1;
  freeSwitch.FailureCount = -1;  // 255: working
  freeSwitch.MaintainerFixTime = -1;
  FillAt(freeSwitch, offsetof(SwitchStatus, SlowSpeeds), sizeof freeSwitch.SlowSpeeds, 0xFF);
  freeSwitch.StackMark = 4;
  freeSwitch.CrewThrowTime = -1;
  ResetSlots(switchStatus_, freeSwitch, &switchStatusWritten_, [&](int i) {
    if (switchData_[i].InUse == 0) UpdateSwitchStatus(i, freeSwitch, 1);
  });
  bool typeInUse[kMaxTrainTypes];
  for (int t = 0; t < kMaxTrainTypes; ++t) typeInUse[t] = trainTypes_[t].InUse != 0;
  for (int i = NextSlotIn(switchesInUse_, -1, kMaxSwitches); i >= 0; i = NextSlotIn(switchesInUse_, i, kMaxSwitches)) {
    const SwitchData& data = switchData_[i];
    SwitchStatus status = freeSwitch;
    status.InUse = 1;
    status.TrackCode = data.TrackCode;
    status.Partner = data.Partner;
    // The diverging speeds over the train types in use: the highest, and the lowest that is set.
    int16_t highest = -1;
    int16_t lowest = 1000;
    for (int t = 0; t < kMaxTrainTypes; ++t) {
      if (!typeInUse[t]) continue;
      const int16_t speed = data.DivergingSpeed[t];
      if (speed > highest) highest = speed;
      if (speed != -1 && speed < lowest) lowest = speed;
    }
    status.HighestDivergingSpeed = highest;
    status.LowestDivergingSpeed = lowest;
    StoreUnlessHeld(switchStatus_[i], status, [&] { UpdateSwitchStatus(i, status, 1); });
  }

  auto freeSignal = Zeroed<SignalStatus>();
  freeSignal.Aspect = aspect::kStop;
  freeSignal.RunningTimeEnd = -1;
  freeSignal.FailureCount = 255;
  freeSignal.MaintainerFixTime = -1;
  ResetSlots(signalStatus_, freeSignal, &signalStatusWritten_, [&](int i) {
    if (signalData_[i].InUse == 0) UpdateSignalStatus(i, freeSignal, 1);
  });
  for (int i = NextSlotIn(signalsInUse_, -1, kMaxSignals); i >= 0; i = NextSlotIn(signalsInUse_, i, kMaxSignals)) {
    const SignalData& data = signalData_[i];
    SignalStatus status = freeSignal;
    status.InUse = 1;
    status.TrackCode = data.TrackCode;
    StoreUnlessHeld(signalStatus_[i], status, [&] { UpdateSignalStatus(i, status, 1); });
  }

  auto freeCross = Zeroed<CrossStatus>();
  freeCross.Route[0].StackMark = freeCross.Route[1].StackMark = 4;
  freeCross.PermitPendingFrom[0] = freeCross.PermitPendingFrom[1] = -1;
  freeCross.PermitActiveUntil[0] = freeCross.PermitActiveUntil[1] = -1;
  freeCross.TrafficNextTime = -1;
  freeCross.TrafficEndBlock = -1;
  ResetSlots(crossStatus_, freeCross, &crossStatusWritten_, [&](int i) {
    if (crossData_[i].InUse == 0) UpdateCrossStatus(i, freeCross);
  });
  for (int i = NextSlotIn(crossesInUse_, -1, kMaxCrossings); i >= 0; i = NextSlotIn(crossesInUse_, i, kMaxCrossings)) {
    const CrossData& data = crossData_[i];
    CrossStatus status = freeCross;
    status.InUse = 1;
    status.StatusWord = data.StatusWord;
    StoreUnlessHeld(crossStatus_[i], status, [&] { UpdateCrossStatus(i, status); });
  }

  auto freeOrg = Zeroed<OrgStatus>();
  freeOrg.Long1 = -1;
  FillAt(freeOrg, offsetof(OrgStatus, OffTimes), sizeof freeOrg.OffTimes, 0xFF);
  ResetSlots(orgStatus_, freeOrg, [&](int i) {
    if (orgData_[i].InUse == 0) UpdateOrgStatus(i, freeOrg);
  });
  for (int i = NextSlotIn(locationsInUse_, -1, kMaxLocations); i >= 0;
       i = NextSlotIn(locationsInUse_, i, kMaxLocations)) {
    OrgStatus status = freeOrg;
    status.InUse = 1;
    StoreUnlessHeld(orgStatus_[i], status, [&] { UpdateOrgStatus(i, status); });
  }

  ClearOSHits();

  auto freeStack = Zeroed<StackData>();
  freeStack.EntranceSignal = freeStack.ExitSignal = -1;
  FillAt(freeStack, offsetof(StackData, Devices), sizeof freeStack.Devices, 0xFF);
  ResetSlots(stack_, freeStack, &stackWritten_, [&](int i) { UpdateStackData(i, freeStack); });

  // A slot nothing wrote since it was cleared is cleared still.
  for (int i = NextSlotIn(unclearedTrains_, -1, kMaxTrainStatus); i >= 0;
       i = NextSlotIn(unclearedTrains_, i, kMaxTrainStatus)) {
    if (TrainSlotCleared(i))
      MarkTrainSlotCleared(i);
    else
      ClearTrainStatus(i);
  }

  auto freeSlow = Zeroed<SlowStatus>();
  freeSlow.OpeningTime = freeSlow.SlowIndex = freeSlow.StartTime = freeSlow.EndTime = -1;
  freeSlow.InForce = 2;
  FillAt(freeSlow, offsetof(SlowStatus, Devices), sizeof freeSlow.Devices, 0xFF);
  ResetSlots(slowStatus_, freeSlow, [&](int i) { UpdateSlowStatus(i, freeSlow); });

  auto freePermit = Zeroed<PermitStatus>();
  freePermit.RequestTime = -1;
  freePermit.PermitIndex = -1;
  freePermit.StartTime = freePermit.EndTime = freePermit.MinutesGranted = -1;
  freePermit.State = kPermitPending;
  freePermit.Long26 = freePermit.Long30 = -1;
  ResetSlots(permitStatus_, freePermit, [&](int i) { UpdatePermitStatus(i, freePermit); });

  const auto performance = Zeroed<PerformStatus>();
  FormatPerformanceLine(performance);
  ResetSlots(archivePerform_, performance, &archivePerformWritten_,
             [&](int i) { UpdateArchivePerformStatus(i, performance); });

  RecordingSuppressed = 0;
  Run.AlertLinesUsed = 0;
}
