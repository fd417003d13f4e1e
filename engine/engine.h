// The simulation engine: the operations the layout window, the tick and the
// interfaces call, over the store and its run state. One object per run; the
// layout window owns it. Its operations are split into files by topic.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string_view>

#include "engine/path_check.h"
#include "engine/permit_request.h"
#include "engine/permits.h"
#include "engine/random_source.h"
#include "store/corvane3_data.h"
#include "store/run_times.h"

// A request made by the dispatcher at the screen or a menu; any other report
// source is an interface, which never gets a message box.
inline constexpr int kScreenRequest = -1;

// The two parallel lists a path walk fills: device numbers and directions of
// travel on entering each one; -1 where unused.
inline constexpr int kPathEntries = 50;
// How a route check treats the CTC control requests. The dispatcher's office
// refuses a route over a switch requested to its other position, marks the
// cleared route as waiting for the field's indication, and stops no clock
// around its messages (the clock stands in CTC control mode).
struct RouteRequestRules {
  bool RefuseRequestedSwitch = false;
  bool MarkPending = false;
  bool PauseForMessages = true;
};

// How cancelling a cleared signal treats a train approaching it. The
// dispatcher at the screen is asked first and told of the running time; an
// interface or the signal stack is not. The dispatcher's office in CTC control
// mode is always asked, stopped run or not, stops no clock around its
// messages, and lets no train run past the signal it cancels.
struct SignalCancelRules {
  bool Ask = true;
  bool StoppedRunReleases = true;  // a stopped run lets no train count as approaching
  bool PauseForMessages = true;
  bool MayRunPast = true;
};

// What a cancel did about a train approaching the signal.
enum class ApproachCancel : uint8_t {
  NoTrain,      // none approaches: the caller takes the route back its own way
  Declined,     // the dispatcher answered No: nothing has changed
  RunningTime,  // the route runs time, and the signal's running-time end is set
};

struct DevicePath {
  std::array<int32_t, kPathEntries> Ids;
  std::array<int32_t, kPathEntries> Dirs;
};

// Where a caller's use of a traced path ends: the walk stops once it has listed
// what the caller needs, and everything after is left -1 as at the path's end.
// Any condition set ends the walk; none set walks the whole path.
struct PathEnd {
  int Device = -1;              // this device is listed
  bool UnclearedBlock = false;  // a main block not cleared in the walk's direction is listed
  int64_t BlockLength = -1;     // the main blocks listed beyond the start are together this long
  // A main block beyond the start at which a route ends in the walk's direction is the last listed, as
  // its own step through it leaves its entry: a route check reads no further.
  bool RouteEnd = false;
};

class Engine {
 public:
  explicit Engine(Corvane3Data& store) : store_(store) {}
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  Corvane3Data& Store() { return store_; }
  RunState& Run() { return store_.Run; }
  RandomSource& Random() { return random_; }

  // ---- small routines: random bands and the pause flag (routines.cpp)
  // A random value below n in the low 16 bits and its halving band in the high 16 bits: band k
  // while the value is below n/2 + n/4 + ... (k + 1 terms), 10 beyond; n = 0 gives value 0, band 10.
  int32_t RandomHalvingIndex(int n);
  // Pauses the run while a message box or sound is in progress, and resumes it.
  void SetStopStatus();
  void ClearStopStatus();

  // ---- alerts (alerts.cpp)
  // Raises alert `kind` (0-12) when it is enabled: the texts fill the kind's
  // format in order (null = not given).
  void RaiseAlert(int kind, const char* text1 = nullptr, const char* text2 = nullptr, const char* text3 = nullptr);
  // "hh:mm" of a time of day in seconds; hours of 24 and more wrap to the next day's.
  static std::string FormatClockTime(int32_t secondsOfDay);

  // ---- clock and tick (tick.cpp)
  // Seconds a tick moves the clock, and the 90-day limit of every run.
  static constexpr int32_t kTickSeconds = 10;
  static constexpr int32_t RunLimit = 7776000;
  // Timer 0: one tick in the present mode (CTC poll, playback or simulation).
  // Returns the interval in ms after which the tick is due again.
  int Tick();
  // The tick's interval at the present speed: 10000 / ClockSpeed ms (500 ms for a speed of 0).
  int TickInterval() const;
  // The work of each simulated minute, in its fixed order.
  void MinuteWork();
  // Timer 1: the blink step; returns its interval (500 ms).
  int BlinkStep();
  // Timer 2: one pending alert beep; returns its interval (1100 ms).
  int BeepStep();
  // Called with the name of each step the tick and the minute work run, before it runs
  // (diagnostics; empty = no trace).
  void SetStepTrace(std::function<void(std::string_view)> trace) { stepTrace_ = std::move(trace); }

  // ---- interlocking: path tracing, signals, switches (interlocking*.cpp)

  // Walks the devices beyond `start` in `direction` over the switches as they
  // lie. Fills ids/dirs (count entries, -1 where unused); the last entry of ids
  // receives the switch that stopped the walk by lying against the move, or -1.
  // Lists at most count - 2 devices, the start included; returns how many.
  // For a diamond start, `direction` is the leg (0-3) to leave by.
  int TraceDevicePath(int direction, int start, int32_t* ids, int32_t* dirs, int count, const PathEnd& end = {});
  int TraceDevicePath(int direction, int start, DevicePath& path, const PathEnd& end = {}) {
    return TraceDevicePath(direction, start, path.Ids.data(), path.Dirs.data(), kPathEntries, end);
  }
  // The crew walk from a switch out through one of its legs, over pass-through
  // blocks, with chosen switch positions (one per path entry, updated for
  // trailing moves). Returns the first main block reached when a train waits
  // at a signal at the head of it, else -1.
  int FindCrewTrainAlongPath(int direction, int switchIndex, int legDevice, int32_t* positions, int32_t* ids,
                             int32_t* dirs, int count);

  // Clears a signal at stop or cancels a cleared one. 1 = done (or nothing to
  // do), 0 = refused or failed. `signalDevice` is 3000 + index (or 13000 +
  // index); `forced` is set by the signal stack; `source` is kScreenRequest or
  // an interface's number.
  int ClearSignal(int signalDevice, uint8_t forced, int source);
  // Checks the route beyond `block` in `direction` and marks it cleared.
  // Returns the number of free signalled blocks found, 0 when refused.
  int CheckRoute(int direction, int block, uint8_t quiet, uint8_t permissive, int source,
                 const RouteRequestRules& rules = {});
  // Cancels cleared signal `index` in front of the train approaching it, if
  // any: on the dispatcher's Yes the route traced beyond it (`path`) runs time
  // for five minutes, the end kept in `status` for the caller to store.
  ApproachCancel CancelBeforeApproachingTrain(int index, const DevicePath& path, SignalStatus& status,
                                              const SignalCancelRules& rules);
  // A cleared route cancelled in front of a train: its devices cleared for this
  // route alone become running time, the rest give up this route's hold.
  void SetRouteRunningTime(const DevicePath& path);
  // Takes back a route listed by TraceDevicePath.
  void ReleaseRoute(const int32_t* ids, const int32_t* dirs, int count);
  // Writes an occupancy code along the walk from `start` to `end` (mode 1: the
  // start up to, not including, the end; else the device after the start up
  // to and including the end).
  void SetRouteStatus(int direction, int start, int end, int code, int train, int mode, uint8_t useHeld);

  // Sets the fleet of a signal (3000 + index or 13000 + index), clearing it first when it is at stop,
  // or removes it; the switches of its route up to the next signal are locked or freed with it.
  // `source` as for ClearSignal: only the dispatcher's request shows refusals, and only with Help
  // Messages on (fleeting.cpp).
  void FleetSignal(int signalDevice, int source);

  // Throws a switch (2000 + index). 1 = thrown, 0 = refused or failed.
  int ThrowSwitch(int switchDevice, uint8_t forced, uint8_t crew, int source);
  // The block where a train stands whose crew can throw the switch by hand, or -1.
  int FindSwitchCrewTrain(int switchIndex);
  int SearchSwitchLegForCrew(int leg, int switchIndex);

  // ---- device timers, repairs, routes and stack (devices.cpp, routes.cpp)
  // Minute steps: release the routes of signals whose running time is over,
  // let crews throw hand-thrown switches, repair switches and signals whose
  // maintainer is due.
  void ExpireRunningTimes();
  void ProcessCrewSwitchThrows();
  void RepairSwitches();
  void RepairSignals();
  // Every running tick: fleeted signals at stop clear again once their route is free.
  void ReclearSignals();
  // Every 500 ms: signals in running time blink, and so does the selected device.
  void BlinkRunningTimeSignals();
  void FlashSelectedDevice();

  // Walks from `startBlock` in `direction` over the chosen switch positions
  // (one per entry; a trailing move from a diverging leg sets its entry to
  // reversed) looking for the exit signal. Returns the number of route entries,
  // -1 when no route was found that way, or -(10000 + device) for a block not
  // signalled for the move or a facing switch beyond the exit. With
  // stopAtNextSignal the exit must be the next signal.
  int SearchRoute(int direction, int startBlock, int32_t* ids, int32_t* dirs, int32_t* positions, int exitSignal,
                  int count, uint8_t stopAtNextSignal);
  // Sets up the route between two signals (indexes): throws its switches and
  // clears its signals. 1 = done, 0 = refused.
  int CreateRoute(int entranceSignal, int exitSignal);
  // Finds the route from a signal to the next signal for the stack; 1 = found.
  int CheckStackRoute(int entranceSignal, int exitSignal, int32_t* ids, int32_t* dirs, int32_t* positions);
  // Stores a stack command from one signal to the next. 1 = stored, 0 = refused.
  int AddStackCommand(int entranceSignal, int exitSignal);
  // Deletes the position-th (0-4) command whose entrance is the signal of the
  // pop-up target device (Run().PopupSignal, a device number 3000 + index).
  void DeleteStackCommand(int position);
  // Each tick: carries out the first waiting command whose route is free and shares no device with an
  // earlier command.
  void ProcessSignalStack();
  int StackRouteIsFree(int slot);
  int ExecuteStackCommand(int slot);
  // Redraws the stack marks of every device from the commands in the stack.
  void RefreshStackMarks();
  void MarkStackRoutes();

  // ---- slow orders and running speed (slow_orders.cpp, speed.cpp)
  // The four minute steps of slow orders, in the order the minute work runs them.
  void ActivateSlowOrders();
  void UpdateTimedSlowOrders();
  void ActivateTimedSlowOrders();
  void ExpireSlowOrders();

  // Clearance and speed over a traced device path (ids and directions, -1
  // ends); firstEntry is 0 or 1, the two flags are 0 or 1.
  void CheckPathAhead(PathCheckResult& result, int train, std::span<const int32_t> ids, std::span<const int32_t> dirs,
                      int firstEntry, int countFirstEntry, int startFromGivenBlock);
  // The speed with which a stopped train starts.
  int16_t RestartSpeed(int train);
  // Seconds to run length (territory units) at speed; a speed below 1 runs at restricted speed.
  int32_t TravelTime(int speed, int32_t length);
  // A speed given in miles per hour, in the territory's units.
  int16_t SpeedInUnits(int milesPerHour);

  // ---- train movement (movement_*.cpp)
  // Where a train stands now: head and rear positions (length units from the
  // block's left end) and blocks; head block -1 once the head has left.
  struct TrainExtent {
    int32_t HeadPosition = -1;
    int32_t RearPosition = -1;
    int32_t HeadBlock = -1;
    int32_t RearBlock = -1;
    uint8_t RearDirection = 0;
  };
  // Where the head of a train may run inside its block: Code 0 at the block
  // end, 2 up against the rear of the train ahead, 1 room to run; Distance to
  // the Limit point.
  struct HeadCheck {
    uint8_t Code = 0;
    int32_t Distance = 0;
    int32_t Limit = 0;
  };
  // The next head event of a train in a block: its HeadEvent code and point.
  struct BlockEvent {
    int32_t Code = 5;
    int32_t Point = 0;
  };

  TrainExtent GetTrainHeadPosition(int train);
  // Recomputes the rear from the head's previous position, releases the
  // blocks the rear has left and sets the rear event from timeBase.
  // keepRearTime = 0: no rear event while the rear is in the head block.
  void UpdateTrainRear(int train, int32_t timeBase, int keepRearTime);
  // One rear event: the rear leaves its block, or the train leaves the territory.
  void MoveTrain(int train);
  void RelinkOSHits(int fromTrain, int toTrain);
  // The lengths of the real blocks between `fromBlock` and `toBlock` on the path (neither counted).
  int32_t SumBlockLengths(int direction, int fromBlock, int toBlock);
  // `targetBlock` when it lies on the path from `fromBlock`, else -1.
  int FindBlockOnPath(int direction, int fromBlock, int targetBlock);

  HeadCheck CheckHeadInBlock(int train);
  BlockEvent ComputeBlockEvent(int block, int train, uint8_t switchLimited, uint8_t restrictedSwitch);
  // The head leaves `block` (or enters it, firstEntry 0): local work, the path
  // check, and the head placed in the next block with its event from timeBase.
  // StoppedForLocalWork = 1 when the train was stopped for local work; AllowedSpeed 0
  // when it may not go on (nothing moved).
  PathCheckResult EnterNextBlock(int train, int block, int firstEntry, int32_t timeBase);

  // The head event of a starting or running train.
  void StartOrMoveTrain(int train);

  // The dispatcher's reverse: refuses with a message, turns a standing train,
  // marks a moving one to stop and reverse.
  void ReverseTrain(int train);
  // The program's own turn (local work, platforms): 1 turned, 0 refused.
  int ReverseTrainQuiet(int train, int keepRoute);

  // ---- train life cycle (scheduler.cpp, trains.cpp, stops.cpp)
  // Creates, in state "scheduled to arrive", every scheduled train whose entry falls within the next 8 hours.
  void ScheduleTrains();
  // Per tick: the head event of every train whose time has come, then the rear events.
  void StepTrains();
  void AdvanceMovingTrains();
  // Head events of stopped and scheduled trains.
  void EnterTerritory(int train);
  void WaitSignal(int train);
  void WaitYardPermission(int train);
  // Head events of running trains that reach something armed for them: the train stops.
  void DispatcherStop(int train);
  void StopToThrowSwitch(int train);
  void StopAndReverse(int train);
  void DetectorCheck(int train);
  void LocomotiveProblem(int train);
  void BrokenHose(int train);
  void ArriveAtPlatform(int train);
  // Head events of stopped trains whose stop time has come: prolong the stop or start again.
  void DetectorAlarmCheck(int train);
  void RestartAfterProblem(int train);
  void RestartAfterBrokenHose(int train);
  void RestartAfterDerailment(int train);
  void FinishLocalWork(int train);
  void StopAtPlatform(int train);
  // The common restart of a stopped train from where its head stands.
  void RestartTrain(int train);
  // A crew change ordered for the train: it waits (reason 21) until the relief crew is there, or the crew
  // changes now. Returns false when no crew change is ordered.
  bool ApplyCrewChange(int train);
  // At a stop where the schedule says so: the train takes on schedule `schedule` (its old identity kept in a
  // free slot, state 31), or a new train for `schedule` splits off its rear. Return the train as stored.
  TrainStatus BecomeTrain(int train, int schedule);
  void SplitTrain(int train, int schedule, bool parentBecame);

  // ---- train commands, merging, crews (commands.cpp, merging.cpp, crews.cpp)
  // The train entries of the layout window's pop-up menu (ids in
  // engine/train_commands.h). The train is Run().PopupTrains[id - the base of
  // the id's range]; an id whose entry holds no running train does nothing.
  // Routes a train command id to its handler; false for an id of no train command.
  bool TrainCommand(int id);
  void CmTrainProperties(int id);
  void CmTrainStatus(int id);
  void CmTrainReverse(int id);
  void CmTrainStopNow(int id);
  void CmTrainStopInBlock(int id);
  void CmTrainClearStop(int id);
  void CmTrainStartMovement(int id);
  void CmTrainPassRedSignal(int id);
  void CmTrainOS(int id);
  void CmTrainClearBlockAhead(int id);
  // Coupling within a block and splitting keep the coupled trains as a chain
  // (state 12); merging ahead or behind absorbs the other train for good.
  void CmTrainMerge(int id);
  void CmTrainSplit(int id);
  void CmTrainMergeAhead(int id);
  void CmTrainMergeBehind(int id);
  // Crews: calling a relief crew, moving the crew change location, and the
  // minute watch that warns two hours ahead and stops a train whose crew expired.
  void CmTrainChangeCrew(int id);
  void CmTrainNewCrewLocation(int id);
  void CheckCrewTimes();
  void WarnCrewExpiry(int train);
  void ExpireCrew(int train);

  // ---- block permits (permits.cpp)
  // Per-minute steps, the first two of the minute work.
  void ScheduleBlockPermits();
  void ProcessPermitRequests();
  // Puts a slot's request before the dispatcher: fromTimer 1 from the minute
  // step, 0 from the active permit list's Authorize button.
  void AuthorizeBlockPermit(int slot, uint8_t fromTimer);
  // The state steps of a permit slot.
  void RaisePermitRequest(int slot);
  void MarkPermitLimits(int slot);
  void ActivateBlockPermit(int slot);
  void ReleaseBlockPermit(int slot);
  // The blocks a permit on a track takes out of service.
  PermitLimits FindPermitRoute(std::string_view trackName);
  // The marks a permit leaves along its limits, shared by simulation and CTC
  // permits; start and end are seconds on the permit's own clock; no limits,
  // no marks. The editor hands the marks of each block and diamond side along
  // the limits to edit, and stores and invalidates those it says it changed
  // (drawing blocks at once when asked).
  void EditPermitMarks(const PermitLimits& limits, const std::function<bool(PermitMarks& marks)>& edit,
                       bool drawBlocks = false);
  void MarkLimitsPending(const PermitLimits& limits, int32_t start);
  // True when a route is cleared into either end block: the permit waits five
  // minutes, and that block's pending start moves on with it.
  bool HoldPermitForRoute(const PermitLimits& limits, int32_t start);
  void PutLimitsInForce(const PermitLimits& limits, int32_t start, int32_t end);
  void ReleaseLimits(const PermitLimits& limits, int32_t end);
  // The open request of a slot, null when none; its window shares it.
  std::shared_ptr<PermitRequestForm> PermitRequestDialog(int slot);
  // Lets go of a slot's request and removes its window (the request comes back an hour later).
  void DeletePermitRequestDialog(int slot);

 private:
  // The limits' blocks and diamonds from the left end to the right end, each with the device before it.
  void ForEachPermitDevice(const PermitLimits& limits, const std::function<void(int device, int before)>& visit);

  Corvane3Data& store_;
  RandomSource random_;
  std::function<void(std::string_view)> stepTrace_;                                        // clock and tick
  std::array<std::shared_ptr<PermitRequestForm>, kMaxPermitStatus> permitRequestDialogs_;  // block permits
};
