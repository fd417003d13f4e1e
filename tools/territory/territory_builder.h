// TerritoryBuilder: a few readable lines build a small territory in the store,
// with the three layout grids (track codes, device numbers, cell flags) kept
// consistent with the records, so that the engine, the painter and the track
// file writer all see a territory as the territory-building program makes it.
//
// Sketch the territory above the test, then build exactly that:
//
//        x: 0    5    10   15   20   25   30
//   y=3         S1                  S3           (signals for moves to the left: code 21 above the track)
//   y=4   WEST =====B0===== SW0 =====B1===== EAST
//   y=5               S0       \       S2        (signals for moves to the right: code 22 below)
//   y=6                         ====B2 (siding)
//
//   TerritoryBuilder t(store);                           // empties the territory first
//   int b0 = t.Block({.Name = "B0", .From = {2, 4}, .To = {11, 4}});
//   int sw = t.Switch("SW0", {12, 4}, Diverge::DownRight);
//   int b1 = t.Block({.Name = "B1", .From = {13, 4}, .To = {24, 4}});
//   int b2 = t.Block({.Name = "B2", .From = {14, 6}, .To = {20, 6}});
//   t.Link(b0, SwitchDevice(sw));                         // b0's right end meets the switch
//   t.Link(SwitchDevice(sw), b1);
//   t.Branch(sw, b2, End::Left);                          // diagonal from the switch to b2's left end
//   t.Signal(b0, End::Right, "S0");  t.Signal(b1, End::Left, "S3");
//   t.Location("WEST", b0, End::Left);  t.Location("EAST", b1, End::Right);
//   int freight = t.TrainType("Freight");
//   int train = t.Train({.Id = "101", .Type = freight, .Entrance = "WEST", .Exit = "EAST", .EntranceMinutes = 360});
//   t.StartTime(300, {{.Train = train}});                 // a run may start at 05:00 with this train due
//   t.Finish();                                           // end bars, counts, entrance/exit cells, top speeds
//
// Conventions the builder keeps (and the painter and the engine expect):
// - Cells are (x, y) with x 0-199 to the right and y 0-159 downwards; the grids are stored column by column.
// - A block is a straight run of cells on one row (code 1, horizontal) or one column (code 15, vertical; its
//   "left" end is the top). Its device number is its block index; its end cells go into BlockData +366..+372.
//   Finish() puts end bars (codes 2, 3) on the horizontal ends that face the territory edge (neighbour -1).
// - A signal at a block's left end governs moves to the left: code 21 above the track, in the cell right of
//   the one above the end cell (code 21 is drawn one cell to the left; a track file keeps it in that cell,
//   which must stay empty). A signal at the right end governs moves to the right: code 22 below the end
//   cell. (Vertical blocks: code 19 right of the top cell, code 20 left of the bottom cell.) A signal never
//   covers another cell.
// - A switch cell has code 10 (diverging up and right), 11 (up and left), 12 (down and left) or 13 (down and
//   right); its diverging leg is leg 2 (right diverging) for 10 and 13 and leg 0 (left diverging) for 11 and
//   12. The diagonal cells to the diverging track (codes 4 rising, 5 falling) belong to the switch; a block
//   end that a diagonal runs into gets the matching branch code (6 to 9).
// - Device numbers: block i, 2000 + switch i, 3000 + signal i, 4000 + diamond i; -1 no device.
// - Entrance/exit locations stand beyond a block end; Finish() stores that cell in OrgData +19/+21 as the
//   track file loader does.
// - Every train type gets internal bitmap names, so that a built territory saves without bitmap files.
// - Speeds: every block allows the same speeds (BlockSpec::SpeedOne, SpeedTwo, Speed by the blocks cleared ahead)
//   to every train type in both directions.
//
// This library has no test framework in it: tools (the demonstration territory's writer) use it too.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "store/corvane3_data.h"

namespace territory {

struct Cell {
  int X = 0;
  int Y = 0;
};

enum class End { Left, Right };

// The switch cell's track code names the way its diverging track leaves it.
enum class Diverge : int16_t { UpRight = 10, UpLeft = 11, DownLeft = 12, DownRight = 13 };

inline int BlockDevice(int block) { return block; }
inline int SwitchDevice(int index) { return 2000 + index; }
inline int SignalDevice(int index) { return 3000 + index; }
inline int DiamondDevice(int index) { return 4000 + index; }

inline constexpr std::array<uint8_t, 7> kEveryDay = {1, 1, 1, 1, 1, 1, 1};
inline constexpr std::array<uint8_t, 7> kWeekdays = {0, 1, 1, 1, 1, 1, 0};

struct BlockSpec {
  std::string Name{};      // block name (+505); an OS point matches it
  Cell From;               // left (or top) end cell
  Cell To;                 // right (or bottom) end cell, on the same row or column
  int32_t Length = 5280;   // territory units
  int16_t Speed = 60;      // the block's top speed (three or more blocks cleared ahead), every type and direction
  int16_t SpeedOne = 0;    // with one block cleared ahead; 0 the top speed
  int16_t SpeedTwo = 0;    // with two blocks cleared ahead; 0 the top speed
  bool RunTimes = false;   // entered running times too, worked out from the length and the three speeds
  std::string Station1{};  // track name "%s-%s %s" from Station1, Station2, Track
  std::string Station2{};
  std::string Track{};
  std::string Area{};        // work area name (local work)
  bool PassThrough = false;  // interlocking block without signals of its own
  uint8_t Flag = 0;          // cell flag byte of every cell of the block (direction marks)
  bool CrewChangePoint = false;
  int32_t CrewReliefMinutes = 0;  // how long a relief crew takes to reach the block
};

// Local work: the train stops for the minutes when it leaves a block of the work area.
struct WorkSpec {
  std::string Area{};
  int Minutes = 0;
  uint8_t DirectionAfter = 1;  // the direction the train goes on in: 0 left, 1 right
};

// A further leg of a train: after leaving at the exit it comes back at the entrance.
struct LegSpec {
  std::string Exit{};      // where the new leg ends
  std::string Entrance{};  // where the train comes back
  int Minutes = 0;         // from leaving until coming back
  std::string NewId{};     // empty: the train keeps its ID
};

struct TrainSpec {
  std::string Id{};        // 1-10 characters
  int Type = 0;            // train type index
  std::string Entrance{};  // entrance/exit location names
  std::string Exit{};
  int EntranceMinutes = -1;  // minutes after midnight, -1 none
  uint8_t Direction = 1;     // direction of travel at the entrance: 0 left, 1 right
  int32_t Length = 1000;
  std::array<uint8_t, 7> Days = kEveryDay;
  std::string Description{};
  // Passenger schedule: (platform index, minutes after midnight), dwell 30 seconds each.
  std::vector<std::pair<int, int>> Stops{};
  int CrewMinutesWorked = 120;  // by the crew before the train enters
  std::vector<WorkSpec> Work{};
  std::vector<LegSpec> Legs{};
  // The train becomes another (a TrainData index) at a platform of that name; -1 none.
  int Becomes = -1;
  std::string BecomesAt{};
};

// The identity texts of the territory information.
struct TerritoryTexts {
  std::string Name, Version, Country, Railroad, Division, From, To, Year, TrackFileName, Author, Address, Email;
  std::string CommentsFile, CopyrightNotice;
  bool PublicDomain = true;
};

// One train of a start time: the trains that are on the territory (or due) when a run starts there.
struct StartEntry {
  int Train = -1;  // TrainData index
  int Block = -1;  // block the train stands in, -1 not yet on the territory
  uint8_t Direction = 1;
};

struct SlowSpec {
  std::string Location{};  // "Block n", "Switch n" or "Track <track name>"
  int16_t Speed = 10;      // every train type, both directions
  bool Permanent = true;
  int StartMinutes = -1;  // for a timed slow order
  int EndMinutes = -1;
  std::array<uint8_t, 7> Days = kEveryDay;
};

struct PermitSpec {
  std::string Track{};  // "A-B Main" track name or "first-last" block names
  int StartMinutes = 0;
  int EndMinutes = 60;
  std::array<uint8_t, 7> Days = kEveryDay;
  std::string Requestor{};
  std::string Reason{};
};

class TerritoryBuilder {
 public:
  // Empties the territory of the store (InitTerritoryData) and gives every train type internal bitmaps.
  explicit TerritoryBuilder(Corvane3Data& store);

  Corvane3Data& Store() { return store_; }

  // The territory's identity texts.
  void Name(const std::string& name, const std::string& railroad = "");
  void Texts(const TerritoryTexts& texts);

  // One cell of the three grids.
  void Paint(Cell cell, int16_t code, int device, uint8_t flag = 0);

  // Track devices; each returns its table index.
  int Block(const BlockSpec& spec);
  int Signal(int block, End end, const std::string& name);
  // Whether Signal(block, end) finds its cell (and, for code 21, the cell left of it) empty.
  bool SignalFits(int block, End end) const;
  int Switch(const std::string& name, Cell at, Diverge diverge);
  // A diagonal from a switch's diverging side to a block end; sets the diverging leg and the block's neighbour.
  void Branch(int switchIndex, int block, End blockEnd);
  // Two switches joined by a diagonal (a crossover); partners and diverging legs set. The two cells lie on one
  // diagonal: b to the upper right or lower right of a. Returns {switch a, switch b}.
  std::pair<int, int> Crossover(const std::string& nameA, Cell a, const std::string& nameB, Cell b);
  // A diamond cell: code 27 (two diagonals), 28 (horizontal and falling), 29 (horizontal and rising) or 30
  // (horizontal and vertical). Route 0 is the horizontal (or rising) track.
  int Diamond(const std::string& name, Cell at, int16_t code);

  // Joins the right (or bottom) end of one device to the left (or top) end of the next: block neighbours,
  // switch straight legs, diamond route 0 legs.
  void Link(int leftDevice, int rightDevice);
  // The second route of a diamond: its first and second leg devices.
  void LinkCrossing(int diamond, int firstDevice, int secondDevice);

  // Places and equipment.
  int Location(const std::string& name, int block, End end, int16_t priority = 0);
  // A yard entrance: trains ask the dispatcher before they enter, and the yard takes so many trains a day.
  void YardEntrance(int location, bool askPermission, int32_t trainsPerDay);
  // Trains of another railway crossing a diamond: so many a day over its route 0 (A) or route 1 (B).
  void CrossingTraffic(int diamond, int16_t routeA, int16_t routeB);
  // A platform beside a block: the platform piece (code 23, three cells wide) above the block's middle.
  int Platform(const std::string& name, int block);
  // A station label (short code and name) centred on a cell, 64 x 32 pixels.
  int Station(const std::string& name, const std::string& shortCode, Cell at);
  int OSPoint(const std::string& deviceName);
  int Detector(const std::string& description, bool raisesAlarm = true, int16_t checkMinutes = 30,
               int16_t repairMinutes = 120);
  // The block reports passing trains to the detector with this description.
  void FitDetector(int block, const std::string& description);
  int Text(const std::string& text, Cell at, int widthCells = 8);

  // Trains and schedules.
  int TrainType(const std::string& name, uint8_t kind = 0);
  int Train(const TrainSpec& spec);
  int StartTime(int minutes, const std::vector<StartEntry>& trains, std::array<uint8_t, 7> days = kEveryDay);
  int SlowOrder(const SlowSpec& spec);
  int Permit(const PermitSpec& spec);

  // End bars at the territory edges; entrance/exit cells, train type top speeds and CountData as a load
  // works them out. Refuses a code 21 signal whose left neighbour cell is not empty (the file keeps it there).
  void Finish();

 private:
  Cell EndCell(int block, End end) const;
  // The cell and track code of the signal at a block end.
  std::pair<Cell, int16_t> SignalCell(int block, End end) const;

  Corvane3Data& store_;
  int blocks_ = 0, switches_ = 0, signals_ = 0, diamonds_ = 0, locations_ = 0, platforms_ = 0, stations_ = 0;
  int osPoints_ = 0, detectors_ = 0, texts_ = 0, trainTypes_ = 0, startTimes_ = 0;
};

}  // namespace territory
