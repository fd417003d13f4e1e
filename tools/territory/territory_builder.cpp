#include "tools/territory/territory_builder.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>

#include "store/fixed_text.h"
#include "store/track_file.h"

namespace territory {

namespace {

constexpr const char* kInternalBitmaps[3] = {"Red Diesel Left (internal bitmap)", "Red Diesel Right (internal bitmap)",
                                             "Red Caboose (internal bitmap)"};

void Require(bool condition, const std::string& what) {
  if (!condition) throw std::invalid_argument("TerritoryBuilder: " + what);
}

// A text put into a fixed field of a record: a text too long for the field and its terminator is refused,
// never cut, so that what the territory shows is what was written.
template <size_t N>
void PutText(char (&field)[N], std::string_view text) {
  Require(text.size() < N,
          "\"" + std::string(text) + "\" is longer than its field of " + std::to_string(N - 1) + " characters");
  SetFieldText(field, text);
}

// A location name in a schedule's field of three characters with no terminator: the field keeps a name's
// first three characters by its own form, so a longer name is not an error here.
template <size_t N>
void PutCode(char (&field)[N], std::string_view text) {
  std::memset(field, 0, N);
  std::memcpy(field, text.data(), std::min(text.size(), N));
}

bool InGrid(Cell c) { return c.X >= 0 && c.X < kGridColumns && c.Y >= 0 && c.Y < kGridRows; }

int CellIndex(Cell c) { return c.X * kGridRows + c.Y; }

template <class Value, class Record>
void PutAt(Record& record, int offset, Value value) {
  std::memcpy(reinterpret_cast<uint8_t*>(&record) + offset, &value, sizeof value);
}

bool IsBlock(int device) { return device >= 0 && device < 2000; }
bool IsSwitch(int device) { return device >= 2000 && device < 3000; }
bool IsDiamond(int device) { return device >= 4000 && device < 5000; }

}  // namespace

TerritoryBuilder::TerritoryBuilder(Corvane3Data& store) : store_(store) {
  store_.InitTerritoryData();
  for (int t = 0; t < kMaxTrainTypes; ++t) {
    ::TrainType type = store_.GetTrainType(t);
    for (int k = 0; k < 3; ++k) PutText(type.BitmapFiles[k], kInternalBitmaps[k]);
    store_.UpdateTrainType(t, type);
  }
}

void TerritoryBuilder::Name(const std::string& name, const std::string& railroad) {
  TerritoryData data = store_.GetTerritoryData();
  PutText(data.Name, name);
  PutText(data.Railroad, railroad);
  store_.UpdateTerritoryData(data);
}

void TerritoryBuilder::Texts(const TerritoryTexts& texts) {
  TerritoryData data = store_.GetTerritoryData();
  PutText(data.Name, texts.Name);
  PutText(data.Version, texts.Version);
  PutText(data.Country, texts.Country);
  PutText(data.Railroad, texts.Railroad);
  PutText(data.Division, texts.Division);
  PutText(data.From, texts.From);
  PutText(data.To, texts.To);
  PutText(data.Year, texts.Year);
  PutText(data.TrackFileName, texts.TrackFileName);
  PutText(data.Author, texts.Author);
  PutText(data.Address, texts.Address);
  PutText(data.Email, texts.Email);
  PutText(data.CommentsFile, texts.CommentsFile);
  PutText(data.CopyrightNotice, texts.CopyrightNotice);
  data.PublicDomain = texts.PublicDomain ? 1 : 0;
  data.CopyrightProtected = texts.PublicDomain ? 0 : 1;
  store_.UpdateTerritoryData(data);
}

void TerritoryBuilder::Paint(Cell cell, int16_t code, int device, uint8_t flag) {
  Require(InGrid(cell), "cell outside the grid");
  store_.GridTrack[CellIndex(cell)] = code;
  store_.GridDevice[CellIndex(cell)] = static_cast<int16_t>(device);
  store_.GridFlags[CellIndex(cell)] = flag;
}

Cell TerritoryBuilder::EndCell(int block, End end) const {
  const BlockData data = store_.GetBlockData(block);
  return end == End::Left ? Cell{data.LeftCellX, data.LeftCellY} : Cell{data.RightCellX, data.RightCellY};
}

int TerritoryBuilder::Block(const BlockSpec& spec) {
  Require(blocks_ < kMaxBlocks, "too many blocks");
  const bool horizontal = spec.From.Y == spec.To.Y;
  Require(horizontal ? spec.From.X <= spec.To.X : spec.From.X == spec.To.X && spec.From.Y <= spec.To.Y,
          "block " + spec.Name + " is not a straight run from left (top) to right (bottom)");
  const int index = blocks_++;
  BlockData block = store_.GetBlockData(index);
  block.InUse = 1;
  PutText(block.Name, spec.Name);
  PutText(block.TrackStation1, spec.Station1);
  PutText(block.TrackStation2, spec.Station2);
  PutText(block.TrackPart, spec.Track);
  PutText(block.AreaName, spec.Area);
  block.PassThrough = spec.PassThrough ? 1 : 0;
  block.Length = spec.Length;
  const int16_t speeds[3] = {spec.SpeedOne != 0 ? spec.SpeedOne : spec.Speed,
                             spec.SpeedTwo != 0 ? spec.SpeedTwo : spec.Speed, spec.Speed};
  for (int d = 0; d < 2; ++d) {
    for (int t = 0; t < 10; ++t) {
      block.SpeedOneClear[d][t] = speeds[0];
      block.SpeedTwoClear[d][t] = speeds[1];
      block.SpeedMax[d][t] = speeds[2];
    }
  }
  if (spec.RunTimes) {
    // Seconds to run the block's length at each speed (feet and miles per hour).
    for (int level = 0; level < 3; ++level)
      for (int d = 0; d < 2; ++d)
        for (int t = 0; t < 10; ++t)
          block.RunTimes[level][d][t] = static_cast<int16_t>(spec.Length * 3600 / (5280 * speeds[level]));
  }
  block.CrewChangePoint = spec.CrewChangePoint ? 1 : 0;
  block.CrewReliefMinutes = spec.CrewReliefMinutes;
  block.LeftCellX = static_cast<int16_t>(spec.From.X);
  block.LeftCellY = static_cast<int16_t>(spec.From.Y);
  block.RightCellX = static_cast<int16_t>(spec.To.X);
  block.RightCellY = static_cast<int16_t>(spec.To.Y);
  // The run-start copy: end cells, and no second drawn run.
  block.LabelCells[0] = block.LeftCellX;
  block.LabelCells[1] = block.LeftCellY;
  block.LabelCells[2] = block.RightCellX;
  block.LabelCells[3] = block.RightCellY;
  PutAt(block, 497, int16_t{-1});
  PutAt(block, 499, int16_t{-1});
  store_.UpdateBlockData(index, block);

  for (int x = spec.From.X; x <= spec.To.X; ++x)
    for (int y = spec.From.Y; y <= spec.To.Y; ++y)
      Require(InGrid({x, y}) && store_.GridTrack[CellIndex({x, y})] == 0, "block " + spec.Name + " covers a cell");
  if (horizontal) {
    for (int x = spec.From.X; x <= spec.To.X; ++x) Paint({x, spec.From.Y}, 1, index, spec.Flag);
  } else {
    for (int y = spec.From.Y; y <= spec.To.Y; ++y) Paint({spec.From.X, y}, 15, index, spec.Flag);
  }
  return index;
}

std::pair<Cell, int16_t> TerritoryBuilder::SignalCell(int block, End end) const {
  const BlockData data = store_.GetBlockData(block);
  const Cell endCell = EndCell(block, end);
  if (data.LeftCellY == data.RightCellY) {
    // A code 21 signal is drawn one cell to the left of its own cell: above the block's end cell.
    return end == End::Left ? std::pair{Cell{endCell.X + 1, endCell.Y - 1}, int16_t{21}}
                            : std::pair{Cell{endCell.X, endCell.Y + 1}, int16_t{22}};
  }
  return end == End::Left ? std::pair{Cell{endCell.X + 1, endCell.Y}, int16_t{19}}
                          : std::pair{Cell{endCell.X - 1, endCell.Y}, int16_t{20}};
}

bool TerritoryBuilder::SignalFits(int block, End end) const {
  const auto [at, code] = SignalCell(block, end);
  if (!InGrid(at) || store_.GridTrack[CellIndex(at)] != 0) return false;
  return code != 21 || (at.X > 0 && store_.GridTrack[CellIndex({at.X - 1, at.Y})] == 0);
}

int TerritoryBuilder::Signal(int block, End end, const std::string& name) {
  Require(signals_ < kMaxSignals, "too many signals");
  BlockData data = store_.GetBlockData(block);
  Require(data.InUse == 1, "signal on a block that does not exist");
  const auto [at, code] = SignalCell(block, end);
  Require(InGrid(at) && (code != 21 || at.X > 0), "signal " + name + " would stand outside the grid");
  Require(store_.GridTrack[CellIndex(at)] == 0, "signal " + name + " would cover another cell");
  const int index = signals_++;
  SignalData signal = store_.GetSignalData(index);
  signal.InUse = 1;
  signal.Block = static_cast<int16_t>(block);
  PutText(signal.Name, name);
  signal.CellX = static_cast<int16_t>(at.X);
  signal.CellY = static_cast<int16_t>(at.Y);
  signal.TrackCode = code;
  store_.UpdateSignalData(index, signal);
  Paint(at, code, SignalDevice(index));
  if (end == End::Left) {
    data.LeftSignal = static_cast<int16_t>(index);
  } else {
    data.RightSignal = static_cast<int16_t>(index);
  }
  store_.UpdateBlockData(block, data);
  return index;
}

int TerritoryBuilder::Switch(const std::string& name, Cell at, territory::Diverge diverge) {
  Require(switches_ < kMaxSwitches, "too many switches");
  const int index = switches_++;
  SwitchData data = store_.GetSwitchData(index);
  data.InUse = 1;
  PutText(data.Name, name);
  data.CellX = static_cast<int16_t>(at.X);
  data.CellY = static_cast<int16_t>(at.Y);
  data.Partner = -1;
  data.TrackCode = static_cast<int16_t>(diverge);
  store_.UpdateSwitchData(index, data);
  Paint(at, static_cast<int16_t>(diverge), SwitchDevice(index));
  return index;
}

namespace {

// The diagonal step a switch code diverges by.
Cell DivergeStep(int16_t code) {
  switch (code) {
    case 10:
      return {1, -1};
    case 11:
      return {-1, -1};
    case 12:
      return {-1, 1};
    default:
      return {1, 1};
  }
}

int DivergingLeg(int16_t code) { return code == 10 || code == 13 ? 2 : 0; }

}  // namespace

void TerritoryBuilder::Branch(int switchIndex, int block, End blockEnd) {
  SwitchData sw = store_.GetSwitchData(switchIndex);
  Require(sw.InUse == 1, "branch from a switch that does not exist");
  const Cell step = DivergeStep(sw.TrackCode);
  const Cell target = EndCell(block, blockEnd);
  const int dx = target.X - sw.CellX;
  const int dy = target.Y - sw.CellY;
  Require(dx != 0 && std::abs(dx) == std::abs(dy) && (dx > 0) == (step.X > 0) && (dy > 0) == (step.Y > 0),
          "block end does not lie on the switch's diverging diagonal");
  const int16_t diagonal = step.X == step.Y ? 5 : 4;  // falling or rising to the right
  for (int k = 1; k < std::abs(dx); ++k) {
    Paint({sw.CellX + k * step.X, sw.CellY + k * step.Y}, diagonal, SwitchDevice(switchIndex));
  }
  // The block end takes the track piece that opens towards the diagonal.
  int16_t endCode;
  if (step.X > 0) {
    endCode = step.Y < 0 ? 8 : 7;  // arriving at a left end from the lower left or the upper left
  } else {
    endCode = step.Y < 0 ? 9 : 6;  // arriving at a right end from the lower right or the upper right
  }
  const int endIndex = CellIndex(target);
  store_.GridTrack[endIndex] = endCode;

  sw.Legs[DivergingLeg(sw.TrackCode)] = static_cast<int16_t>(block);
  store_.UpdateSwitchData(switchIndex, sw);
  BlockData data = store_.GetBlockData(block);
  (blockEnd == End::Left ? data.LeftNeighbour : data.RightNeighbour) = static_cast<int16_t>(SwitchDevice(switchIndex));
  store_.UpdateBlockData(block, data);
}

std::pair<int, int> TerritoryBuilder::Crossover(const std::string& nameA, Cell a, const std::string& nameB, Cell b) {
  const int dx = b.X - a.X;
  const int dy = b.Y - a.Y;
  Require(dx > 1 && std::abs(dy) == dx, "crossover ends must lie on one diagonal, left to right");
  const bool rising = dy < 0;
  const int first = Switch(nameA, a, rising ? Diverge::UpRight : Diverge::DownRight);
  const int second = Switch(nameB, b, rising ? Diverge::DownLeft : Diverge::UpLeft);
  const int stepY = rising ? -1 : 1;
  for (int k = 1; k < dx; ++k) {
    // The first half of the diagonal belongs to the first switch, the rest to the second.
    const int owner = k <= dx / 2 ? first : second;
    Paint({a.X + k, a.Y + k * stepY}, rising ? 4 : 5, SwitchDevice(owner));
  }
  SwitchData one = store_.GetSwitchData(first);
  SwitchData two = store_.GetSwitchData(second);
  one.Partner = static_cast<int16_t>(second);
  two.Partner = static_cast<int16_t>(first);
  one.Legs[2] = static_cast<int16_t>(SwitchDevice(second));
  two.Legs[0] = static_cast<int16_t>(SwitchDevice(first));
  store_.UpdateSwitchData(first, one);
  store_.UpdateSwitchData(second, two);
  return {first, second};
}

int TerritoryBuilder::Diamond(const std::string& name, Cell at, int16_t code) {
  Require(code >= 27 && code <= 30, "a diamond has code 27 to 30");
  Require(diamonds_ < kMaxCrossings, "too many diamonds");
  const int index = diamonds_++;
  CrossData data = store_.GetCrossData(index);
  data.InUse = 1;
  PutText(data.Name, name);
  data.CellX = static_cast<int16_t>(at.X);
  data.CellY = static_cast<int16_t>(at.Y);
  store_.UpdateCrossData(index, data);
  Paint(at, code, DiamondDevice(index));
  return index;
}

void TerritoryBuilder::Link(int leftDevice, int rightDevice) {
  if (IsBlock(leftDevice)) {
    BlockData data = store_.GetBlockData(leftDevice);
    data.RightNeighbour = static_cast<int16_t>(rightDevice);
    store_.UpdateBlockData(leftDevice, data);
  } else if (IsSwitch(leftDevice)) {
    SwitchData data = store_.GetSwitchData(leftDevice - 2000);
    data.Legs[3] = static_cast<int16_t>(rightDevice);
    store_.UpdateSwitchData(leftDevice - 2000, data);
  } else if (IsDiamond(leftDevice)) {
    CrossData data = store_.GetCrossData(leftDevice - 4000);
    data.Legs[1] = static_cast<int16_t>(rightDevice);
    store_.UpdateCrossData(leftDevice - 4000, data);
  } else {
    Require(false, "link from a device that is not a block, switch or diamond");
  }
  if (IsBlock(rightDevice)) {
    BlockData data = store_.GetBlockData(rightDevice);
    data.LeftNeighbour = static_cast<int16_t>(leftDevice);
    store_.UpdateBlockData(rightDevice, data);
  } else if (IsSwitch(rightDevice)) {
    SwitchData data = store_.GetSwitchData(rightDevice - 2000);
    data.Legs[1] = static_cast<int16_t>(leftDevice);
    store_.UpdateSwitchData(rightDevice - 2000, data);
  } else if (IsDiamond(rightDevice)) {
    CrossData data = store_.GetCrossData(rightDevice - 4000);
    data.Legs[0] = static_cast<int16_t>(leftDevice);
    store_.UpdateCrossData(rightDevice - 4000, data);
  } else {
    Require(false, "link to a device that is not a block, switch or diamond");
  }
}

void TerritoryBuilder::LinkCrossing(int diamond, int firstDevice, int secondDevice) {
  CrossData data = store_.GetCrossData(diamond);
  data.Legs[2] = static_cast<int16_t>(firstDevice);
  data.Legs[3] = static_cast<int16_t>(secondDevice);
  store_.UpdateCrossData(diamond, data);
  if (IsBlock(firstDevice)) {
    BlockData block = store_.GetBlockData(firstDevice);
    block.RightNeighbour = static_cast<int16_t>(DiamondDevice(diamond));
    store_.UpdateBlockData(firstDevice, block);
  }
  if (IsBlock(secondDevice)) {
    BlockData block = store_.GetBlockData(secondDevice);
    block.LeftNeighbour = static_cast<int16_t>(DiamondDevice(diamond));
    store_.UpdateBlockData(secondDevice, block);
  }
}

int TerritoryBuilder::Location(const std::string& name, int block, End end, int16_t priority) {
  Require(locations_ < kMaxLocations, "too many entrance/exit locations");
  Require(!name.empty() && name.size() <= 4, "entrance/exit names have 1 to 4 characters");
  const int index = locations_++;
  OrgData org = store_.GetOrgData(index);
  org.InUse = 1;
  PutText(org.Name, name);
  org.Block = static_cast<int16_t>(block);
  org.Side = end == End::Left ? 0 : 1;
  org.Priority = priority;
  store_.UpdateOrgData(index, org);
  BlockData data = store_.GetBlockData(block);
  PutText(end == End::Left ? data.LeftLocation : data.RightLocation, name);
  store_.UpdateBlockData(block, data);
  return index;
}

void TerritoryBuilder::YardEntrance(int location, bool askPermission, int32_t trainsPerDay) {
  Require(location >= 0 && location < locations_, "no such entrance/exit location");
  OrgData org = store_.GetOrgData(location);
  org.PermissionRequired = askPermission ? 1 : 0;
  org.CapacityLimited = trainsPerDay > 0 ? 1 : 0;
  org.Capacity = trainsPerDay > 0 ? trainsPerDay : -1;
  store_.UpdateOrgData(location, org);
}

void TerritoryBuilder::CrossingTraffic(int diamond, int16_t routeA, int16_t routeB) {
  Require(diamond >= 0 && diamond < diamonds_, "no such diamond");
  CrossData data = store_.GetCrossData(diamond);
  data.TrafficRouteA = routeA;
  data.TrafficRouteB = routeB;
  store_.UpdateCrossData(diamond, data);
}

int TerritoryBuilder::Platform(const std::string& name, int block) {
  Require(platforms_ < kMaxPlatforms, "too many platforms");
  const int index = platforms_++;
  PlatformData platform = store_.GetPlatformData(index);
  platform.InUse = 1;
  PutText(platform.Name, name);
  store_.UpdatePlatformData(index, platform);
  BlockData data = store_.GetBlockData(block);
  PutText(data.PlatformName, name);
  store_.UpdateBlockData(block, data);
  const int middle = (data.LeftCellX + data.RightCellX) / 2;
  Paint({middle - 1, data.LeftCellY - 1}, 23, -1);  // drawn three cells wide from here
  return index;
}

int TerritoryBuilder::Station(const std::string& name, const std::string& shortCode, Cell at) {
  Require(stations_ < kMaxStations, "too many stations");
  const int index = stations_++;
  StationData station = store_.GetStationData(index);
  station.InUse = 1;
  PutText(station.Name, name);
  PutText(station.ShortCode, shortCode);
  // Left, top, width and height in pixels at zoom 1, centred on the cell.
  station.Words26[0] = static_cast<int16_t>(at.X * 16 - 24);
  station.Words26[1] = static_cast<int16_t>(at.Y * 16 - 8);
  station.Words26[2] = 64;
  station.Words26[3] = 32;
  store_.UpdateStationData(index, station);
  return index;
}

int TerritoryBuilder::OSPoint(const std::string& deviceName) {
  Require(osPoints_ < kMaxOSData, "too many OS points");
  const int index = osPoints_++;
  OSData os = store_.GetOSData(index);
  os.InUse = 1;
  PutText(os.Name, deviceName);
  store_.UpdateOSData(index, os);
  return index;
}

int TerritoryBuilder::Detector(const std::string& description, bool raisesAlarm, int16_t checkMinutes,
                               int16_t repairMinutes) {
  Require(detectors_ < kMaxDetectors, "too many detectors");
  const int index = detectors_++;
  DetectorData detector = store_.GetDetectorData(index);
  detector.InUse = 1;
  PutText(detector.Description, description);
  detector.RaisesAlarm = raisesAlarm ? 1 : 0;
  detector.AlarmCheckMinutes = checkMinutes;
  detector.RepairMinutes = repairMinutes;
  store_.UpdateDetectorData(index, detector);
  return index;
}

void TerritoryBuilder::FitDetector(int block, const std::string& description) {
  BlockData data = store_.GetBlockData(block);
  for (auto& name : data.DetectorNames) {
    if (name[0] != 0) continue;
    PutText(name, description);
    store_.UpdateBlockData(block, data);
    return;
  }
  Require(false, "a block has three detectors at most");
}

int TerritoryBuilder::Text(const std::string& text, Cell at, int widthCells) {
  Require(texts_ < kMaxTexts, "too many text labels");
  const int index = texts_++;
  TextData label = store_.GetTextData(index);
  PutText(label.Text, text);
  // Left, top, width and height in pixels at zoom 1.
  label.Words100[0] = static_cast<int16_t>(at.X * 16);
  label.Words100[1] = static_cast<int16_t>(at.Y * 16);
  label.Words100[2] = static_cast<int16_t>(widthCells * 16);
  label.Words100[3] = 16;
  store_.UpdateTextData(index, label);
  return index;
}

int TerritoryBuilder::WorkArea(const std::string& name) {
  Require(areas_ < kMaxAreas, "too many work areas");
  // The record is an in-use byte (1) and the name after it.
  Require(!name.empty() && name.size() < sizeof(AreaData) - 1, "work area names have 1 to 30 characters");
  const int index = areas_++;
  AreaData area{};
  auto* bytes = reinterpret_cast<char*>(&area);
  bytes[0] = 1;
  std::memcpy(bytes + 1, name.data(), name.size());
  store_.UpdateAreaData(index, area);
  return index;
}

int TerritoryBuilder::TrainType(const std::string& name, uint8_t kind) {
  Require(trainTypes_ < kMaxTrainTypes, "too many train types");
  const int index = trainTypes_++;
  ::TrainType type = store_.GetTrainType(index);
  type.InUse = 1;
  PutText(type.Name, name);
  type.Kind = kind;
  store_.UpdateTrainType(index, type);
  return index;
}

int TerritoryBuilder::Train(const TrainSpec& spec) {
  Require(!spec.Id.empty() && spec.Id.size() <= 10, "train IDs have 1 to 10 characters");
  const int index = store_.FindFreeTrainData();
  Require(index >= 0, "too many trains");
  TrainData train = store_.GetTrainData(index);
  PutText(train.TrainId, spec.Id);
  PutText(train.Description, spec.Description);
  train.Type = static_cast<uint8_t>(spec.Type);
  // A schedule's location fields hold up to three characters with no room for a terminator.
  PutCode(train.Entrance, spec.Entrance);
  PutCode(train.Exit, spec.Exit);
  train.EntranceMinutes = spec.EntranceMinutes < 0 ? 0xFFFF : static_cast<uint16_t>(spec.EntranceMinutes);
  train.EntryDirection = spec.Direction;
  train.Length = spec.Length;
  std::memcpy(train.Days, spec.Days.data(), 7);
  for (const auto& [platform, minutes] : spec.Stops) {
    Require(platform >= 0 && platform < kTrainStations, "stop at a platform index outside 0-99");
    train.Stations[platform].Minutes = static_cast<uint16_t>(minutes);
    train.Stations[platform].DwellSeconds = 30;
  }
  train.CrewMinutesWorked = static_cast<int16_t>(spec.CrewMinutesWorked);
  Require(spec.Work.size() <= kTrainLocalWork && spec.Legs.size() <= kTrainMultipleEntries, "too many work or legs");
  for (size_t k = 0; k < spec.Work.size(); ++k) {
    PutText(train.LocalWork[k].AreaName, spec.Work[k].Area);
    train.LocalWork[k].Minutes = static_cast<uint16_t>(spec.Work[k].Minutes);
    train.LocalWork[k].DirectionAfter = spec.Work[k].DirectionAfter;
  }
  for (size_t k = 0; k < spec.Legs.size(); ++k) {
    TrainMultipleEntry& leg = train.Multiple[k];
    // Location fields of three characters with no room for a terminator, as the schedule's own.
    PutCode(leg.LegExit, spec.Legs[k].Exit);
    PutCode(leg.NextEntrance, spec.Legs[k].Entrance);
    leg.ReentryMinutes = static_cast<uint16_t>(spec.Legs[k].Minutes);
    PutText(leg.Text8, spec.Legs[k].NewId);
  }
  if (spec.Becomes >= 0) {
    // As the train editor links them: the new train is created from this one and enters nowhere.
    Require(spec.Exit.empty(), "a train that becomes another has no exit");
    TrainData next = store_.GetTrainData(spec.Becomes);
    Require(next.InUse == 1 && next.Entrance[0] == '\0' && next.EntranceMinutes == 0xFFFF && next.LinkedTrain == -1,
            "the train that another becomes is built before it, with no entrance");
    next.LinkedTrain = static_cast<int16_t>(index);
    store_.UpdateTrainData(spec.Becomes, next);
    train.BecomesTrain = static_cast<int16_t>(spec.Becomes);
    train.BecomeMinutes = 0;
    train.ChangePlaceKind = 'P';  // "P-<platform>", as the editor stores the place
    train.Reserved1292 = '-';
    PutText(train.ChangePlaceName, spec.BecomesAt);
  }
  store_.UpdateTrainData(index, train);
  return index;
}

int TerritoryBuilder::StartTime(int minutes, const std::vector<StartEntry>& trains, std::array<uint8_t, 7> days) {
  Require(startTimes_ < kMaxStartTimes, "too many start times");
  Require(trains.size() <= kStartTimeTrains, "a start time lists 50 trains at most");
  const int index = startTimes_++;
  ::StartTime start = store_.GetStartTime(index);
  start.InUse = 1;
  start.Word1 = static_cast<int16_t>(minutes);
  start.Byte462 = 0;  // a run from it has no end time
  std::memcpy(start.Days, days.data(), 7);
  for (size_t k = 0; k < trains.size(); ++k) {
    start.TrainIndex[k] = static_cast<uint16_t>(trains[k].Train);
    start.PairedIndex[k] = static_cast<uint16_t>(trains[k].Block);
    start.Bytes210[k] = trains[k].Direction;
  }
  store_.UpdateStartTime(index, start);
  return index;
}

int TerritoryBuilder::SlowOrder(const SlowSpec& spec) {
  const int index = store_.FindFreeSlowData(1);
  Require(index >= 0, "too many slow orders");
  SlowData slow = store_.GetSlowData(index);
  PutText(slow.Location, spec.Location);
  for (int t = 0; t < 10; ++t) slow.SpeedsFirst[t] = slow.SpeedsSecond[t] = spec.Speed;
  slow.Permanent = spec.Permanent ? 1 : 0;
  slow.StartMinutes = static_cast<int16_t>(spec.StartMinutes);
  slow.EndMinutes = static_cast<int16_t>(spec.EndMinutes);
  std::memcpy(slow.Days, spec.Days.data(), 7);
  store_.UpdateSlowData(index, slow);
  return index;
}

int TerritoryBuilder::Permit(const PermitSpec& spec) {
  const int index = store_.FindFreePermitData(1);
  Require(index >= 0, "too many block permits");
  PermitData permit = store_.GetPermitData(index);
  PutText(permit.TrackName, spec.Track);
  permit.StartMinutes = static_cast<int16_t>(spec.StartMinutes);
  permit.EndMinutes = static_cast<int16_t>(spec.EndMinutes);
  std::memcpy(permit.Days, spec.Days.data(), 7);
  PutText(permit.Requestor, spec.Requestor);
  PutText(permit.Reason, spec.Reason);
  store_.UpdatePermitData(index, permit);
  return index;
}

void TerritoryBuilder::Finish() {
  for (int b = 0; b < blocks_; ++b) {
    const BlockData data = store_.GetBlockData(b);
    if (data.LeftCellY != data.RightCellY) continue;
    const int left = CellIndex({data.LeftCellX, data.LeftCellY});
    const int right = CellIndex({data.RightCellX, data.RightCellY});
    if (data.LeftNeighbour == -1 && store_.GridTrack[left] == 1) store_.GridTrack[left] = 2;
    if (data.RightNeighbour == -1 && store_.GridTrack[right] == 1) store_.GridTrack[right] = 3;
  }
  // A track file holds a code 21 signal in the cell to its left, which must therefore stay empty.
  for (int i = 0; i < signals_; ++i) {
    const SignalData signal = store_.GetSignalData(i);
    Require(signal.TrackCode != 21 || store_.GridTrack[CellIndex({signal.CellX - 1, signal.CellY})] == 0,
            "the cell left of signal " + FieldText(signal.Name) + " must stay empty");
  }
  // The cell beyond the block end, as the loader finds it by following the end cell's track.
  for (int i = 0; i < locations_; ++i) {
    OrgData org = store_.GetOrgData(i);
    const BlockData data = store_.GetBlockData(org.Block);
    const bool horizontal = data.LeftCellY == data.RightCellY;
    Cell cell = org.Side == 0 ? Cell{data.LeftCellX, data.LeftCellY} : Cell{data.RightCellX, data.RightCellY};
    const int step = org.Side == 0 ? -1 : 1;
    const bool atEdge =
        org.Side == 0 ? (cell.X == 0 || cell.Y == 0) : (cell.X >= kGridColumns - 1 || cell.Y >= kGridRows - 1);
    if (!atEdge) cell = horizontal ? Cell{cell.X + step, cell.Y} : Cell{cell.X, cell.Y + step};
    org.CellX = static_cast<int16_t>(cell.X);
    org.CellY = static_cast<int16_t>(cell.Y);
    store_.UpdateOrgData(i, org);
  }
  // Top speeds as a load works them out: the highest block speed for the type over the ordinary blocks.
  for (int t = 0; t < kMaxTrainTypes; ++t) {
    ::TrainType type = store_.GetTrainType(t);
    if (type.InUse == 0) continue;
    int16_t top = 0;
    for (int b = 0; b < blocks_; ++b) {
      const BlockData data = store_.GetBlockData(b);
      if (data.InUse == 0 || data.PassThrough == 1) continue;
      top = std::max({top, data.SpeedMax[0][t], data.SpeedMax[1][t]});
    }
    type.TopSpeed = top;
    store_.UpdateTrainType(t, type);
  }
  CountData counts = TrackFile(store_).ComputeCounts();
  counts.Words[kCountRunningTrains] = 0;
  store_.UpdateCountData(counts);
}

}  // namespace territory
