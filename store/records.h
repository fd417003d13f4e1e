// The store's records. Track files, saved simulations, playback recordings and
// the settings files copy these byte for byte, so every layout here is a file
// format: packed, little-endian, fixed-width fields. A string field need not
// hold a terminator; read it with FieldText (fixed_text.h).
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

static_assert(std::endian::native == std::endian::little,
              "record layouts are little-endian; a big-endian build would need byte swapping on every file");

#pragma pack(push, 1)

// ---------------------------------------------------------------- territory

struct BlockData {
  uint8_t InUse;                   // +0
  char TrackStation1[3];           // +1   the track name reads "%s-%s %s" from +1, +4, +7
  char TrackStation2[3];           // +4
  char TrackPart[11];              // +7
  uint8_t PassThrough;             // +18  interlocking block without signals of its own
  uint8_t LeftLinked;              // +19  1: the left neighbour is drawn elsewhere on the layout
  uint8_t RightLinked;             // +20
  int16_t LeftNeighbour;           // +21  DeviceNumber, -1 territory end
  int16_t RightNeighbour;          // +23
  char LeftLocation[5];            // +25  entrance/exit at the left end
  char RightLocation[5];           // +30
  uint8_t SignalledLeft;           // +35
  uint8_t SignalledRight;          // +36
  int32_t Length;                  // +37  territory units
  int16_t LeftSignal;              // +41  -1 none
  int16_t RightSignal;             // +43
  int16_t SpeedOneClear[2][10];    // +45  [direction][train type]
  int16_t SpeedTwoClear[2][10];    // +85
  int16_t SpeedMax[2][10];         // +125 three or more blocks ahead cleared
  int16_t RunTimes[3][2][10];      // +165 entered running times, in the order of the three speed tables
  int16_t TypeSpeed[2][10];        // +285 120 each in a new territory
  uint8_t HelperRequired[2][10];   // +325
  char PlatformName[21];           // +345
  int16_t LeftCellX;               // +366
  int16_t LeftCellY;               // +368
  int16_t RightCellX;              // +370
  int16_t RightCellY;              // +372
  int32_t CrewReliefMinutes;       // +374
  uint8_t CrewChangePoint;         // +378 1: a normal crew change point
  int32_t CrewSendMinutes;         // +379 time to send a crew to the block
  int16_t Word383;                 // +383 -1 in a new territory
  char DetectorNames[3][21];       // +385
  char AreaName[21];               // +448
  char RemoteMonitor[11];          // +469 remote monitor name
  int16_t LabelCells[4];           // +480 left x, y, right x, y (copied into BlockStatus at run reset)
  uint8_t ReversesPath;            // +488 copied into BlockStatus at run reset, as are the fields below
  uint8_t Reserved489[4];          // +489
  uint8_t RunBytes[2];             // +493
  uint8_t Reserved495[2];          // +495
  int16_t LabelFirstRight;         // +497 right column of the first label strip, -1 one strip only
  int16_t LabelSecondLeft;         // +499 left column of the second label strip, -1 none
  uint8_t Reserved501[4];          // +501
  char Name[21];                   // +505 block name (an OS point matches it)
  uint8_t Reserved526;             // +526
  uint8_t LongUnits;               // +527
  uint8_t Reserved528[19];         // +528
};
static_assert(sizeof(BlockData) == 547);
static_assert(offsetof(BlockData, Length) == 37 && offsetof(BlockData, SpeedMax) == 125);
static_assert(offsetof(BlockData, TypeSpeed) == 285 && offsetof(BlockData, PlatformName) == 345);
static_assert(offsetof(BlockData, CrewReliefMinutes) == 374 && offsetof(BlockData, DetectorNames) == 385);
static_assert(offsetof(BlockData, AreaName) == 448 && offsetof(BlockData, LabelCells) == 480);
static_assert(offsetof(BlockData, Word383) == 383 && offsetof(BlockData, ReversesPath) == 488);
static_assert(offsetof(BlockData, RunBytes) == 493 && offsetof(BlockData, LabelFirstRight) == 497);
static_assert(offsetof(BlockData, LabelSecondLeft) == 499);
static_assert(offsetof(BlockData, Name) == 505 && offsetof(BlockData, LongUnits) == 527);
static_assert(offsetof(BlockData, RightLinked) == 20 && offsetof(BlockData, RunTimes) == 165);
static_assert(offsetof(BlockData, CrewSendMinutes) == 379 && offsetof(BlockData, RemoteMonitor) == 469);

struct SwitchData {
  uint16_t InUse;                  // +0
  char DisplayName[21];            // +2  the name the switch's property display shows
  int16_t Legs[4];                 // +23 left diverging, left straight, right diverging, right straight
  int16_t DivergingSpeed[10];      // +31 per train type
  int16_t CellX;                   // +51
  int16_t CellY;                   // +53
  int16_t Partner;                 // +55 crossover partner switch, -1 none
  int16_t TrackCode;               // +57 10..13
  uint8_t Reserved59[2];           // +59
  char ControlName[11];            // +61 control/monitor name
  char Name[21];                   // +72
  uint8_t HandThrown;              // +93
  uint8_t Reserved94[9];           // +94
};
static_assert(sizeof(SwitchData) == 103);
static_assert(offsetof(SwitchData, Legs) == 23 && offsetof(SwitchData, Partner) == 55);
static_assert(offsetof(SwitchData, Name) == 72 && offsetof(SwitchData, HandThrown) == 93);
static_assert(offsetof(SwitchData, ControlName) == 61);

struct SignalData {
  uint16_t InUse;                  // +0
  int16_t Block;                   // +2 block at whose end the signal stands
  char Name[21];                   // +4
  int16_t CellX;                   // +25
  int16_t CellY;                   // +27
  uint8_t Reserved29[15];          // +29
  int16_t Word44;                  // +44 1 in a new territory
  int16_t TrackCode;               // +46 19..22
  uint8_t Reserved48[18];          // +48
};
static_assert(sizeof(SignalData) == 66);
static_assert(offsetof(SignalData, CellX) == 25 && offsetof(SignalData, TrackCode) == 46);

struct CrossData {
  uint16_t InUse;                  // +0
  int16_t Legs[4];                 // +2 legs 0-1 route 0, legs 2-3 route 1
  int16_t CellX;                   // +10
  int16_t CellY;                   // +12
  uint8_t Reserved14[4];           // +14
  int16_t StatusWord;              // +18 copied into CrossStatus +6 at run reset
  char Name[21];                   // +20
  uint8_t BothRoutes;              // +41 both routes may be cleared at once
  int16_t TrafficRouteA;           // +42 crossing trains per day over route 0, -1 in a new territory
  int16_t TrafficRouteB;           // +44 crossing trains per day over route 1, -1 in a new territory
  uint8_t Reserved46[5];           // +46
};
static_assert(sizeof(CrossData) == 51);
static_assert(offsetof(CrossData, StatusWord) == 18 && offsetof(CrossData, BothRoutes) == 41);
static_assert(offsetof(CrossData, TrafficRouteB) == 44);

struct OrgData {
  uint16_t InUse;                  // +0 1 in use
  char Name[5];                    // +2 1-4 characters
  int16_t Block;                   // +7
  int16_t Side;                    // +9 0 = left end of its block
  int16_t Priority;                // +11 0-8, lower tried first
  uint8_t CapacityLimited;         // +13
  int32_t Capacity;                // +14 trains per 24 hours
  uint8_t PermissionRequired;      // +18
  int16_t CellX;                   // +19 cell beyond the block end
  int16_t CellY;                   // +21
  uint8_t Reserved23[5];           // +23
};
static_assert(sizeof(OrgData) == 28);
static_assert(offsetof(OrgData, Capacity) == 14 && offsetof(OrgData, CellY) == 21);

struct PlatformData {
  int16_t InUse;                   // +0
  char Name[21];                   // +2
  int16_t Devices[10];             // +23 -1 empty
  uint8_t Reserved43[10];          // +43
};
static_assert(sizeof(PlatformData) == 53);

// A font description in the 60-byte layout the territory files carry.
struct FontBytes {
  int32_t Height;          // +0 pixels; negative: the character height
  int32_t Width;           // +4 0: chosen from the height
  int32_t Escapement;      // +8
  int32_t Orientation;     // +12
  int32_t Weight;          // +16 400 normal, 700 bold
  uint8_t Italic;          // +20
  uint8_t Underline;       // +21
  uint8_t StrikeOut;       // +22
  uint8_t CharSet;         // +23 1 default
  uint8_t OutPrecision;    // +24
  uint8_t ClipPrecision;   // +25
  uint8_t Quality;         // +26
  uint8_t PitchAndFamily;  // +27
  char FaceName[32];       // +28
};
static_assert(sizeof(FontBytes) == 60);
static_assert(offsetof(FontBytes, Weight) == 16 && offsetof(FontBytes, CharSet) == 23);
static_assert(offsetof(FontBytes, FaceName) == 28);

struct StationData32 {
  uint16_t InUse;                  // +0
  char Name[21];                   // +2
  char ShortCode[3];               // +23 up to two characters, shown above the name
  int16_t Words26[4];              // +26
  int32_t Longs34[3];              // +34
  FontBytes Font;                  // +46
  int32_t Longs106[3];             // +106 (+110 zeroed by the constructor)
  int16_t Word118;                 // +118
  int32_t Longs120[9];             // +120 (+128, +136, +144 zeroed by the constructor)
  uint16_t Word156;                // +156
};
static_assert(sizeof(StationData32) == 158);
static_assert(offsetof(StationData32, ShortCode) == 23 && offsetof(StationData32, Words26) == 26);
static_assert(offsetof(StationData32, Font) == 46 && offsetof(StationData32, Longs120) == 120);
// Stations are handed out in the same layout they are stored in.
using StationData = StationData32;

struct TextData {
  char Text[100];                  // +0
  int16_t Words100[7];             // +100
  int32_t Longs114[3];             // +114
  FontBytes Font;                  // +126
  int32_t Longs186[3];             // +186 (+190 zeroed by the constructor)
  int16_t Word198;                 // +198
  int32_t Longs200[7];             // +200 (+208, +216, +224 zeroed by the constructor)
  uint8_t Reserved228[20];         // +228
};
static_assert(sizeof(TextData) == 248);
static_assert(offsetof(TextData, Font) == 126 && offsetof(TextData, Longs200) == 200);

inline constexpr int kOSDevices = 10;

struct OSData {
  uint16_t InUse;                  // +0
  char Name[21];                   // +2 matches a block, switch or diamond name
  int16_t Devices[kOSDevices];     // +23 device numbers carrying the name, -1 empty (the OS list fills them)
  uint8_t Reserved43[10];          // +43
};
static_assert(sizeof(OSData) == 53 && offsetof(OSData, Devices) == 23);

struct DetectorData {
  uint8_t InUse;                   // +0
  char Description[21];            // +1
  uint8_t RaisesAlarm;             // +22
  int16_t AlarmCheckMinutes;       // +23
  int16_t RepairMinutes;           // +25
  uint8_t Reserved27[10];          // +27
};
static_assert(sizeof(DetectorData) == 37);

struct AreaData {
  int32_t Values[8];
};
static_assert(sizeof(AreaData) == 32);

struct TrainType {
  uint8_t InUse;                   // +0
  char Name[21];                   // +1
  uint8_t DualCab;                 // +22
  uint8_t Kind;                    // +23 index into the train type names; 4 = "Helper"
  int32_t StartupSeconds;          // +24
  int16_t ReverseSpeed;            // +28
  uint8_t Reserved30[2];           // +30
  char BitmapFiles[3][255];        // +32 locomotive and caboose images
  int16_t TopSpeed;                // +797
  uint8_t Reserved799[18];         // +799
};
static_assert(sizeof(TrainType) == 817);
static_assert(offsetof(TrainType, BitmapFiles) == 32 && offsetof(TrainType, TopSpeed) == 797);

struct TrainIconData {
  uint8_t InUse;                   // +0
  char FileName[255];              // +1
};
static_assert(sizeof(TrainIconData) == 256);

inline constexpr int kStartTimeTrains = 50;

struct StartTime {
  uint8_t InUse;                               // +0
  int16_t Word1;                               // +1
  uint8_t Days[7];                             // +3 DaysOfWeek
  uint16_t TrainIndex[kStartTimeTrains];       // +10 0xFFFF none
  uint16_t PairedIndex[kStartTimeTrains];      // +110 0xFFFF none
  uint8_t Bytes210[kStartTimeTrains];          // +210
  int16_t Words260[kStartTimeTrains];          // +260 240 in a new territory
  uint8_t Bytes360[kStartTimeTrains];          // +360 1 (470-byte form only)
  uint8_t Bytes410[kStartTimeTrains];          // +410 0 (470-byte form only)
  int16_t Word460;                             // +460
  uint8_t Byte462;                             // +462
  int16_t Word463;                             // +463
  uint8_t Reserved465[5];                      // +465
};
static_assert(sizeof(StartTime) == 470);
static_assert(offsetof(StartTime, PairedIndex) == 110 && offsetof(StartTime, Word460) == 460);

struct TrainStationEntry {
  uint16_t Minutes;                // scheduled time of day, 0xFFFF = no stop
  int32_t DwellSeconds;
};
static_assert(sizeof(TrainStationEntry) == 6);

struct TrainMultipleEntry {
  char LegExit[3];                 // +0 exit where the leg ends
  char NextEntrance[3];            // +3 empty = none
  uint16_t ReentryMinutes;         // +6 0xFFFF none
  char Text8[11];                  // +8
  uint16_t Word19;                 // +19 0xFFFF
  uint8_t Byte21;                  // +21
  int16_t CrewMinutes;             // +22 -1 none
  int16_t NewLength;               // +24 -1 unchanged
};
static_assert(sizeof(TrainMultipleEntry) == 26);

struct TrainLocalWork {
  char AreaName[25];               // +0 matches BlockData::AreaName
  uint16_t Minutes;                // +25 0xFFFF none
  uint8_t DirectionAfter;          // +27
  int16_t NewLength;               // +28 -1 unchanged
  uint8_t Reserved30[8];           // +30
};
static_assert(sizeof(TrainLocalWork) == 38);

inline constexpr int kTrainStations = 100;
inline constexpr int kTrainMultipleEntries = 10;
inline constexpr int kTrainLocalWork = 10;

struct TrainData {
  uint16_t InUse;                                      // +0
  char Description[32];                                // +2
  int16_t CrewMinutesWorked;                           // +34
  uint8_t EntryDirection;                              // +36
  int32_t Length;                                      // +37
  uint8_t Type;                                        // +41
  char Entrance[3];                                    // +42
  uint16_t EntranceMinutes;                            // +45 0xFFFF none
  char Exit[3];                                        // +47
  uint8_t Byte50;                                      // +50
  TrainStationEntry Stations[kTrainStations];          // +51
  TrainMultipleEntry Multiple[kTrainMultipleEntries];  // +651
  TrainLocalWork LocalWork[kTrainLocalWork];           // +911
  uint8_t ChangePlaceKind;                             // +1291 'A' work area, 'P' platform
  uint8_t Reserved1292;                                // +1292
  char ChangePlaceName[23];                            // +1293
  int16_t BecomesTrain;                                // +1316 TrainData index, -1 none
  int16_t BecomeMinutes;                               // +1318
  int16_t SplitTrain;                                  // +1320 train that splits off (or the helper)
  uint8_t Reserved1322[4];                             // +1322
  int16_t LinkedTrain;                                 // +1326
  uint8_t Days[7];                                     // +1328 DaysOfWeek
  int16_t Word1335;                                    // +1335
  char TrainId[11];                                    // +1337 1-10 characters
  uint8_t Reserved1348[9];                             // +1348
};
static_assert(sizeof(TrainData) == 1357);
static_assert(offsetof(TrainData, Stations) == 51 && offsetof(TrainData, Multiple) == 651);
static_assert(offsetof(TrainData, LocalWork) == 911 && offsetof(TrainData, ChangePlaceKind) == 1291);
static_assert(offsetof(TrainData, BecomesTrain) == 1316 && offsetof(TrainData, SplitTrain) == 1320);
static_assert(offsetof(TrainData, LinkedTrain) == 1326 && offsetof(TrainData, Days) == 1328);
static_assert(offsetof(TrainData, TrainId) == 1337);

struct PermitData {
  int16_t InUse;                   // +0
  char TrackName[21];              // +2
  int16_t StartMinutes;            // +23
  int16_t EndMinutes;              // +25 smaller than the start = past midnight
  uint8_t Days[7];                 // +27
  uint8_t NonRepeating;            // +34
  uint8_t Reserved35;              // +35
  char Requestor[21];              // +36
  char Reason[31];                 // +57
};
static_assert(sizeof(PermitData) == 88);
static_assert(offsetof(PermitData, Requestor) == 36 && offsetof(PermitData, Reason) == 57);

struct SlowData {
  int16_t InUse;                   // +0
  char Location[21];               // +2 "Switch n", "Block n" or "Track <track name>"
  int16_t StartMinutes;            // +23
  int16_t EndMinutes;              // +25
  int16_t SpeedsFirst[10];         // +27 per train type, -1 no restriction
  int16_t SpeedsSecond[10];        // +47
  uint8_t Days[7];                 // +67
  uint8_t OnceOnly;                // +74
  uint8_t Reserved75;              // +75
  uint8_t Permanent;               // +76
  uint8_t Reserved77[10];          // +77
};
static_assert(sizeof(SlowData) == 87);
static_assert(offsetof(SlowData, Days) == 67 && offsetof(SlowData, Permanent) == 76);

struct TerritoryData {
  char Name[31];                   // +0
  char Version[6];                 // +31
  int32_t Long37;                  // +37 reserved
  char Country[41];                // +41
  char Railroad[41];               // +82
  char Division[41];               // +123
  char From[61];                   // +164
  char To[61];                     // +225
  char Year[11];                   // +286
  char TrackFileName[121];         // +297
  uint8_t Reserved418[134];        // +418
  char Author[31];                 // +552
  char Address[101];               // +583
  char Email[31];                  // +684
  int16_t PublicDomain;            // +715
  int16_t CopyrightProtected;      // +717
  char CommentsFile[121];          // +719
  uint8_t Reserved840[134];        // +840
  char CopyrightNotice[101];       // +974
  int32_t Long1075;                // +1075
  uint8_t Byte1079;                // +1079 1 in a new territory
  uint8_t Reserved1080[40];        // +1080
};
static_assert(sizeof(TerritoryData) == 1120);
static_assert(offsetof(TerritoryData, Country) == 41 && offsetof(TerritoryData, Railroad) == 82 &&
              offsetof(TerritoryData, Division) == 123 && offsetof(TerritoryData, From) == 164 &&
              offsetof(TerritoryData, To) == 225 && offsetof(TerritoryData, Year) == 286 &&
              offsetof(TerritoryData, TrackFileName) == 297);
static_assert(offsetof(TerritoryData, Author) == 552 && offsetof(TerritoryData, CommentsFile) == 719 &&
              offsetof(TerritoryData, CopyrightNotice) == 974 && offsetof(TerritoryData, Byte1079) == 1079);

struct TerritoryOptions {
  uint8_t Byte0;                   // +0
  uint8_t Units;                   // +1 1 = feet and miles, else metres and kilometres
  uint8_t RunTimeSource;           // +2 1 = block running times come from distance and speed
  uint8_t RunTimeUnit;             // +3 1 = running times are shown divided by 60
  uint8_t Reserved4[101];          // +4
};
static_assert(sizeof(TerritoryOptions) == 105 && offsetof(TerritoryOptions, RunTimeUnit) == 3);

// Indices of the CountData words.
enum CountWord : int {
  kCountGridColumns = 0,
  kCountGridRows = 1,
  kCountTrains = 2,
  kCountPermits = 3,
  kCountSlowOrders = 4,
  kCountPlatforms = 5,
  kCountBlocks = 6,
  kCountSwitches = 7,
  kCountSignals = 8,
  kCountDiamonds = 9,
  kCountLocations = 10,
  kCountStations = 11,
  kCountTexts = 12,
  kCountBitmapInserts = 13,
  kCountTrainTypes = 14,
  kCountStartTimes = 15,
  kCountAreas = 19,
  kCountOSPoints = 20,
  kCountRunningTrains = 21,
};

struct CountData {
  int32_t Words[25];
};
static_assert(sizeof(CountData) == 100);

// A bitmap the maintainer program keeps for an insert of the same name.
struct BitmapMaint {
  char Name[41];           // +0 empty: slot not in use
  char SecondName[41];     // +41
  uint8_t Reserved82[20];  // +82
};
static_assert(sizeof(BitmapMaint) == 102);

// A picture placed on the layout: its file name and its rectangle in pixels.
struct BitmapInsert {
  char Name[41];   // +0 empty: slot not in use
  int16_t Left;    // +41 -1 in a new territory, as are the next three
  int16_t Top;     // +43
  int16_t Width;   // +45
  int16_t Height;  // +47
  int16_t Layer;   // +49 1 in a new territory
};
static_assert(offsetof(BitmapInsert, Left) == 41 && offsetof(BitmapInsert, Layer) == 49);
static_assert(sizeof(BitmapInsert) == 51);

struct WindowSize {
  int32_t Left;
  int32_t Top;
  int32_t Right;
  int32_t Bottom;
};
static_assert(sizeof(WindowSize) == 16);

// ---------------------------------------------------------------- settings

struct OptionData {
  uint8_t AlertSoundsOn;               // +0
  uint8_t ClassicDisplay;              // +1
  uint8_t HelpMessagesOn;              // +2
  uint8_t DisplayLastAlert;            // +3
  uint8_t SlowOrdersActive;            // +4
  uint8_t BlockPermitsActive;          // +5
  uint8_t HelperRequirementActive;     // +6
  uint8_t PermissionToEnterActive;     // +7
  uint8_t YardCapacityLimitActive;     // +8
  uint8_t CrewExpirationActive;        // +9
  uint8_t Flag10;                      // +10
  uint8_t StackMessage;                // +11
  uint16_t Setting12;                  // +12
  uint16_t Setting14;                  // +14
  uint8_t Setting16;                   // +16
  uint8_t Flag17;                      // +17
  uint8_t Flags18[4];                  // +18
  uint8_t AutoScroll;                  // +22
  int32_t EIOLastReceived;             // +23
  int32_t EIONextOutgoing;             // +27
  uint8_t CTCControlOn;                // +31
  uint8_t ExternalIOOn;                // +32
  char EIOFolder[100];                 // +33
  char CTCFolder[100];                 // +133
  uint8_t EIOLogOn;                    // +233
  uint8_t CTCLogOn;                    // +234
  int32_t CTCLastReceived;             // +235
  int32_t CTCNextOutgoing;             // +239
  int8_t CTCActiveSort;                // +243 the CTC active train list's order: 0 by ID, 3 by status
  uint8_t Reserved244[389];            // +244
};
static_assert(sizeof(OptionData) == 633);
static_assert(offsetof(OptionData, EIOLastReceived) == 23 && offsetof(OptionData, CTCControlOn) == 31);
static_assert(offsetof(OptionData, EIOFolder) == 33 && offsetof(OptionData, CTCFolder) == 133);
static_assert(offsetof(OptionData, CTCNextOutgoing) == 239);

inline constexpr int kAlertKinds = 20;

struct AlertData {
  uint8_t Enabled[kAlertKinds];        // +0
  uint16_t Bells[kAlertKinds];         // +20
  char WaveFiles[kAlertKinds][255];    // +60
  uint8_t LateArrivalMinutes;          // +5160
  uint8_t Reserved5161[4];             // +5161
};
static_assert(sizeof(AlertData) == 5165);
static_assert(offsetof(AlertData, LateArrivalMinutes) == 5160);

struct RandomData {
  uint16_t Values0[10];                // +0
  int16_t FalseAlarmPercent[10];       // +20 per detector
  int16_t PerformanceSpread[10];       // +40 per train type
  uint8_t Bytes60[10];                 // +60
  int16_t LateStartPercent[10];        // +70
  int16_t LocoProblemPercent[10];      // +90
  int16_t TrainProblemPercent[10];     // +110
  int16_t RunPastChance[10];           // +130
  int16_t SwitchFailuresPer1000;       // +150
  int16_t SignalFailuresPer1000;       // +152
  int16_t MaintainerRepairMinutes;     // +154
  int16_t MaintainerVariationPercent;  // +156
  uint8_t Reserved158[20];             // +158
};
static_assert(sizeof(RandomData) == 178);
static_assert(offsetof(RandomData, RunPastChance) == 130 && offsetof(RandomData, MaintainerVariationPercent) == 156);

// ---------------------------------------------------------------- run time

struct TrainStatus {
  uint8_t InUse;                   // +0
  int16_t TrainIndex;              // +1 TrainData index
  int16_t MergePrevious;           // +3 train this one is coupled behind, -1 none
  int16_t MergeNext;               // +5 train coupled behind this one
  int32_t HeadPosition;            // +7
  int32_t PreviousHeadPosition;    // +11
  char TrainId[11];                // +15
  uint8_t Bytes26[3];              // +26
  uint8_t Byte29;                  // +29
  uint8_t Type;                    // +30
  int32_t Length;                  // +31
  uint8_t State;                   // +35 TrainState
  uint8_t Reason;                  // +36 StopReason or head event code
  uint8_t HeadDirection;           // +37
  char Entrance[5];                // +38
  char Exit[5];                    // +43
  uint8_t MultipleIndex;           // +48
  uint8_t LocalWorkIndex;          // +49
  int16_t HeadBlock;               // +50
  int16_t RearBlock;               // +52
  uint8_t RearDirection;           // +54
  int32_t HeadEventTime;           // +55
  int32_t RearEventTime;           // +59
  int32_t WaitStart;               // +63
  uint8_t Reversing;               // +67
  int16_t Speed;                   // +68
  int16_t SpeedBeforeStop;         // +70
  int16_t ReverseSpeed;            // +72
  int16_t SpeedCap;                // +74
  int16_t LimitBlock;              // +76
  int16_t AspectSpeed;             // +78
  int16_t PerformancePercent;      // +80
  uint8_t RunPast;                 // +82
  int32_t StandingSince;           // +83
  int32_t ScheduledEntry;          // +87
  int32_t CrewExpiry;              // +91
  int16_t CrewChangeLocation;      // +95 block, or 10000 + platform
  uint8_t LocoProblem;             // +97 0 none, 5 armed, 6 happened
  uint8_t TrainProblem;            // +98
  int16_t Word99;                  // +99
  int16_t Word101;                 // +101
  int16_t BlockEntries;            // +103
  int16_t Platform;                // +105
  int16_t Detector;                // +107
  int16_t CrewChangeOrdered;       // +109
  int16_t LocoProblemHere;         // +111
  int16_t BrokenHoseHere;          // +113
  int16_t Word115;                 // +115
  int16_t BecomeDue;               // +117
  uint8_t PassRedPermission;       // +119
  uint8_t DispatcherStop;          // +120
  uint8_t StopAndReverse;          // +121
  int16_t StopInBlock;             // +122
  uint8_t EntryGranted;            // +124
  uint8_t EntryDialogOpen;         // +125
  int32_t CrewReadyTime;           // +126
  int16_t LastLocalWorkBlock;      // +130
  uint8_t CrewWarningGiven;        // +132
  uint8_t MultipleAdvancePending;  // +133
  int32_t CrewOnDuty;              // +134
  int32_t TotalStopTime;           // +138
  int32_t TotalLostTime;           // +142
  int32_t TotalLateDeparture;      // +146
  int32_t Distance;                // +150
  int16_t LateDepartures;          // +154
  int16_t Word156;                 // +156
  int16_t MissedExits;             // +158
  uint8_t CrewExpiredHandled;      // +160
  int16_t NextStartSpeed;          // +161
  int16_t LocalWorkDue;            // +163
  uint8_t Bytes165[3];             // +165 not reset
};
static_assert(sizeof(TrainStatus) == 168);
static_assert(offsetof(TrainStatus, TrainId) == 15 && offsetof(TrainStatus, State) == 35);
static_assert(offsetof(TrainStatus, HeadBlock) == 50 && offsetof(TrainStatus, HeadEventTime) == 55);
static_assert(offsetof(TrainStatus, Speed) == 68 && offsetof(TrainStatus, StandingSince) == 83);
static_assert(offsetof(TrainStatus, CrewChangeLocation) == 95 && offsetof(TrainStatus, PassRedPermission) == 119);
static_assert(offsetof(TrainStatus, CrewReadyTime) == 126 && offsetof(TrainStatus, TotalStopTime) == 138);
static_assert(offsetof(TrainStatus, MissedExits) == 158 && offsetof(TrainStatus, LocalWorkDue) == 163);

struct TrainStationTime {
  int32_t Times[kTrainStations];   // -1 none
};
static_assert(sizeof(TrainStationTime) == 400);

inline constexpr int kOSPoints = 100;

struct TrainStop {
  uint8_t Stops[100];              // +0
  uint8_t OSRecorded[kOSPoints];   // +100 one per OSData slot
};
static_assert(sizeof(TrainStop) == 200);

inline constexpr int kBlockTrainSlots = 5;
// What a block's train slot holds when no train is in it.
inline constexpr uint16_t kEmptyTrainSlot = 0xFFFF;

struct BlockStatus {
  uint8_t InUse;                               // +0
  int16_t LeftLabelX;                          // +1 label cell for trains heading left
  int16_t LeftLabelY;                          // +3
  int16_t RightLabelX;                         // +5
  int16_t RightLabelY;                         // +7
  uint8_t PassThrough;                         // +9
  uint8_t ReversesPath;                        // +10 0xFF: a path walk reverses here
  int16_t Occupancy;                           // +11 OccupancyCode
  uint8_t RunBytes[2];                         // +13 from BlockData +493
  int16_t HeldRoutes;                          // +15
  int16_t LabelFirstRight;                     // +17 from BlockData +497
  int16_t LabelSecondLeft;                     // +19 from BlockData +499
  int32_t PermitActiveUntil;                   // +21
  int32_t PermitPendingFrom;                   // +25
  uint8_t Byte29;                              // +29
  int16_t SlowSpeeds[2][10];                   // +30 -1 none
  uint8_t Highlight;                           // +70
  uint8_t Highlight2;                          // +71
  uint16_t Trains[kBlockTrainSlots];           // +72 0xFFFF empty, packed from slot 0
  uint8_t PermitActive;                        // +82
  uint8_t PermitPending;                       // +83
  uint8_t StackMark;                           // +84
  int16_t MaxSpeedLeft;                        // +85
  int16_t MaxSpeedRight;                       // +87
  uint8_t Bytes89[4];                          // +89
  int16_t ClearedValue;                        // +93 ClearedAhead: cleared blocks ahead (0-2), -1 not counted
  uint8_t RouteByte;                           // +95
  uint8_t RequestPending;                      // +96 CTC: waits for the field's indication
  uint8_t Bytes97[2];                          // +97
};
static_assert(sizeof(BlockStatus) == 99);
static_assert(offsetof(BlockStatus, Occupancy) == 11 && offsetof(BlockStatus, PermitActiveUntil) == 21);
static_assert(offsetof(BlockStatus, SlowSpeeds) == 30 && offsetof(BlockStatus, Trains) == 72);
static_assert(offsetof(BlockStatus, StackMark) == 84 && offsetof(BlockStatus, ClearedValue) == 93);
static_assert(offsetof(BlockStatus, RequestPending) == 96 && offsetof(BlockStatus, LabelFirstRight) == 17);

struct SwitchStatus {
  int16_t InUse;                   // +0
  int16_t Partner;                 // +2
  int16_t TrackCode;               // +4
  uint8_t Position;                // +6 0 normal, 1 reversed
  uint8_t FleetLocked;             // +7
  uint8_t Occupancy;               // +8 OccupancyCode
  uint8_t HeldRoutes;              // +9
  int8_t FailureCount;             // +10 -1 working
  uint8_t MaintainerCalled;        // +11
  int32_t MaintainerFixTime;       // +12
  uint8_t Highlight;               // +16
  uint8_t Highlight2;              // +17
  int32_t SlowSpeeds[2][10];       // +18 -1 none
  uint8_t Byte98;                  // +98
  uint8_t PermitActive;            // +99
  uint8_t PermitPending;           // +100
  uint8_t StackMark;               // +101
  int16_t HighestDivergingSpeed;   // +102 over the train types in use
  int16_t LowestDivergingSpeed;    // +104 other than -1; 1000 when none
  int32_t CrewThrowTime;           // +106
  uint8_t CrewThrowRequest;        // +110
  int16_t Refused;                 // +111
  uint8_t Byte113;                 // +113
  uint8_t Byte114;                 // +114
  uint8_t RouteMark;               // +115 cleared when a route over the switch is released
  uint8_t NormalRequested;         // +116 CTC: normal position requested of the field
  uint8_t ReverseRequested;        // +117 CTC: reverse position requested
  uint8_t RequestPending;          // +118 CTC: waits for the field's indication
  uint8_t Bytes119[6];             // +119
};
static_assert(sizeof(SwitchStatus) == 125);
static_assert(offsetof(SwitchStatus, RouteMark) == 115 && offsetof(SwitchStatus, RequestPending) == 118);
static_assert(offsetof(SwitchStatus, SlowSpeeds) == 18 && offsetof(SwitchStatus, StackMark) == 101);
static_assert(offsetof(SwitchStatus, PermitActive) == 99 && offsetof(SwitchStatus, HighestDivergingSpeed) == 102);
static_assert(offsetof(SwitchStatus, Byte113) == 113);
static_assert(offsetof(SwitchStatus, CrewThrowTime) == 106 && offsetof(SwitchStatus, Refused) == 111);

struct SignalStatus {
  int16_t InUse;                   // +0
  int16_t TrackCode;               // +2
  int16_t Aspect;                  // +4 5 stop, 1 cleared right, 2 cleared left
  int16_t Fleet;                   // +6
  int32_t RunningTimeEnd;          // +8
  uint8_t Highlight;               // +12
  uint8_t Highlight2;              // +13
  uint8_t FailureCount;            // +14 0xFF working
  uint8_t MaintainerCalled;        // +15
  int32_t MaintainerFixTime;       // +16
  int16_t RefusalCount;            // +20
  uint8_t CTCClearRequest;         // +22
  uint8_t CTCCancelRequest;        // +23
  uint8_t RequestPending;          // +24 CTC: waits for the field's indication
  uint8_t Bytes25[9];              // +25
};
static_assert(sizeof(SignalStatus) == 34);
static_assert(offsetof(SignalStatus, MaintainerFixTime) == 16 && offsetof(SignalStatus, CTCCancelRequest) == 23);
static_assert(offsetof(SignalStatus, RequestPending) == 24);

struct CrossRouteMarks {
  uint8_t PermitActive;
  uint8_t PermitPending;
  uint8_t StackMark;
};

struct CrossStatus {
  int16_t InUse;                   // +0
  int16_t Occupancy[2];            // +2 per route
  int16_t StatusWord;              // +6 from CrossData +18
  uint8_t HeldRoutes[2];           // +8
  uint8_t Bytes10[2];              // +10
  uint8_t Highlight;               // +12
  uint8_t Highlight2;              // +13
  uint8_t TrafficState;            // +14 crossing traffic: 0 none scheduled, 1 waiting, 2 cleared, 3 occupied
  CrossRouteMarks Route[2];        // +15
  int32_t PermitPendingFrom[2];    // +21
  int32_t PermitActiveUntil[2];    // +29
  int32_t TrafficNextTime;         // +37 SimClock of the crossing traffic's next step, -1 none
  int32_t TrafficDueTime;          // +41 SimClock at which the next crossing train is nominally due
  int16_t TrafficEndBlock;         // +45 the block at the far end of the crossing route, -1 none
  uint8_t RouteMarks[2];           // +47 per route, cleared when a route over the diamond is released
  uint8_t SidePending[2];          // +49 CTC: route 0 (side A) or 1 (side B) waits for the field's indication
  uint8_t Bytes51[8];              // +51
};
static_assert(offsetof(CrossStatus, RouteMarks) == 47 && offsetof(CrossStatus, SidePending) == 49);
static_assert(sizeof(CrossStatus) == 59);
static_assert(offsetof(CrossStatus, Route) == 15 && offsetof(CrossStatus, PermitActiveUntil) == 29);
static_assert(offsetof(CrossStatus, TrafficNextTime) == 37 && offsetof(CrossStatus, TrafficEndBlock) == 45);
static_assert(offsetof(CrossStatus, TrafficState) == 14);

struct OrgStatus {
  uint8_t InUse;                   // +0
  int32_t Long1;                   // +1 -1 at run reset
  int32_t OffCount;                // +5
  int32_t OffTimes[4];             // +9 newest first, -1 none
};
static_assert(sizeof(OrgStatus) == 25 && offsetof(OrgStatus, OffCount) == 5);

struct PermitStatus {
  uint8_t InUse;                   // +0
  int32_t RequestTime;             // +1
  int16_t PermitIndex;             // +5
  // A simulation permit counts SimClock seconds; a CTC permit minutes of the
  // wall clock's day, 1440 or more meaning the next day.
  union {
    int32_t StartTime;             // +7
    int32_t StartMinute;
  };
  union {
    int32_t EndTime;               // +11
    int32_t EndMinute;
  };
  union {
    int32_t NextActionTime;        // +15
    int32_t NextMinute;
  };
  int32_t MinutesGranted;          // +19
  int16_t State;                   // +23 PermitState, or CtcPermitState for a CTC permit
  uint8_t DialogOpen;              // +25
  int32_t Long26;                  // +26 -1 in a free slot
  int32_t Long30;                  // +30 -1 in a free slot
  char Track[30];                  // +34 CTC permit: track name "%s-%s %s"
  char Requestor[21];              // +64 CTC permit
  char Reason[21];                 // +85 CTC permit
  uint8_t Reserved106;             // +106
};
static_assert(sizeof(PermitStatus) == 107);
static_assert(offsetof(PermitStatus, StartMinute) == 7 && offsetof(PermitStatus, NextMinute) == 15);
static_assert(offsetof(PermitStatus, Track) == 34 && offsetof(PermitStatus, Reason) == 85);
static_assert(offsetof(PermitStatus, State) == 23 && offsetof(PermitStatus, DialogOpen) == 25);
static_assert(offsetof(PermitStatus, Long30) == 30);

// PermitStatus::State: where a permit in progress stands.
enum PermitState : int16_t {
  kPermitAwaiting = 0,    // before the dispatcher, awaiting authorization
  kPermitAuthorized = 1,  // granted, its start more than a minute away
  kPermitPending = 2,     // limits marked pending, waiting for the granted start
  kPermitScheduled = 3,   // request created, not yet shown
  kPermitActive = 4,      // track out of service until the granted end
};

// PermitStatus::State of a CTC permit, issued by the dispatcher in CTC control mode.
enum CtcPermitState : int16_t {
  kCtcPermitIssued = 1,     // waiting to be announced half an hour before its start
  kCtcPermitAnnounced = 2,  // limits marked pending until the start
  kCtcPermitInForce = 4,    // track out of service until the end
};

inline constexpr int kSlowOrderDevices = 40;

struct SlowStatus {
  uint8_t InUse;                   // +0
  int32_t OpeningTime;             // +1
  int32_t SlowIndex;               // +5
  int32_t StartTime;               // +9
  int32_t EndTime;                 // +13 -1 permanent
  int16_t InForce;                 // +17 0 pending, 1 in force
  int16_t Devices[kSlowOrderDevices];  // +19 blocks, or 2000 + switch index; -1 after the last
};
static_assert(sizeof(SlowStatus) == 99);
static_assert(offsetof(SlowStatus, InForce) == 17 && offsetof(SlowStatus, Devices) == 19);

inline constexpr int kStackRouteDevices = 50;

struct StackData {
  uint8_t InUse;                               // +0
  int16_t EntranceSignal;                      // +1
  int16_t ExitSignal;                          // +3
  int16_t Devices[kStackRouteDevices];         // +5 -1 ends
  int16_t Directions[kStackRouteDevices];      // +105
  int16_t Positions[kStackRouteDevices];       // +205
  uint8_t Reserved305[10];                     // +305
};
static_assert(sizeof(StackData) == 315);
static_assert(offsetof(StackData, Directions) == 105 && offsetof(StackData, Positions) == 205);

struct OSHit {
  uint16_t Device;                 // 0xFFFF empty
  uint16_t TrainSlot;
  int32_t Minutes;
};
static_assert(sizeof(OSHit) == 8);

struct PerformStatus {
  int32_t LateTime;                // +0
  int16_t LateDepartures;          // +4
  int32_t StoppedTime;             // +6
  int16_t Word10;                  // +10
  int32_t LostTime;                // +12
  int32_t Distance;                // +16
  int16_t Trains;                  // +20
  uint8_t Reserved22[10];          // +22
};
static_assert(sizeof(PerformStatus) == 32);

#pragma pack(pop)
