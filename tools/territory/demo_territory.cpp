#include "tools/territory/demo_territory.h"

#include <string>
#include <vector>

#include "store/fixed_text.h"
#include "tools/territory/territory_builder.h"

namespace territory {

namespace {

constexpr int kTrack1 = 20;
constexpr int kTrack2 = 23;

struct MainBlock {
  const char* Name;
  int From;
  int To;
};

// The track name of a main line block: the stations it lies between.
BlockSpec MainSpec(const MainBlock& b, int row, int track) {
  BlockSpec spec{.Name = b.Name, .From = {b.From, row}, .To = {b.To, row}};
  spec.Station1 = b.To < 42 ? "WE" : b.From < 153 ? "AF" : "BX";
  spec.Station2 = b.To < 42 ? "AF" : b.From < 153 ? "BX" : "EA";
  spec.Track = std::to_string(track);
  return spec;
}

}  // namespace

void BuildDemonstrationTerritory(Corvane3Data& store) {
  TerritoryBuilder t(store);
  t.Texts({.Name = "Corvane Demonstration",
           .Version = "2.0",
           .Country = "Demonstration Country",
           .Railroad = "Corvane Railway",
           .Division = "Eastern Division, Ashford Subdivision",
           .From = "Westfield (W1, W2)",
           .To = "Eastbrook (E1, E2)",
           .Year = "2026",
           .TrackFileName = "default.trk",
           .Author = "The Corvane developers",
           .Address = "Corvane Railway, Ashford Subdivision office",
           .Email = "dispatch@corvane.example",
           .CommentsFile = "default.txt",
           .CopyrightNotice = "A demonstration territory: free to copy, change and share.",
           .PublicDomain = true});
  TerritoryOptions options = store.GetTerritoryOptions();
  options.Units = 1;          // feet and miles per hour
  options.RunTimeSource = 1;  // running times from the lengths and the speeds
  store.UpdateTerritoryOptions(options);

  // Track 1 (westbound) and track 2 (eastbound): the speed rises with the blocks cleared ahead.
  const auto mainSpec = [](const MainBlock& b, int row, int track) {
    BlockSpec spec = MainSpec(b, row, track);
    spec.SpeedOne = 30;
    spec.SpeedTwo = 45;
    spec.Speed = 60;
    return spec;
  };
  const MainBlock track1[] = {{"1T01", 4, 15},    {"1T02", 17, 28},   {"1T03", 29, 41},   {"1T04", 42, 53},
                              {"1T05", 54, 65},   {"1T06", 66, 77},   {"1T07", 80, 90},   {"1T08", 91, 102},
                              {"1T09", 103, 114}, {"1T10", 115, 126}, {"1T11", 127, 139}, {"1T12", 141, 152},
                              {"1T13", 153, 164}, {"1T14", 166, 177}, {"1T15", 178, 188}};
  std::vector<int> t1;
  for (const MainBlock& b : track1) {
    BlockSpec spec = mainSpec(b, kTrack1, 1);
    // Bexley: where relief crews come to.
    if (spec.Name == "1T13") spec.CrewChangePoint = true, spec.CrewReliefMinutes = 15;
    t1.push_back(t.Block(spec));
  }
  const MainBlock track2[] = {{"2T01", 4, 18},    {"2T02", 20, 28},   {"2T03", 29, 41},   {"2T04", 42, 53},
                              {"2T05", 55, 76},   {"2T06", 78, 81},   {"2T07", 83, 90},   {"2T08", 91, 102},
                              {"2T09", 103, 114}, {"2T10", 115, 126}, {"2T11", 127, 139}, {"2T12", 141, 152},
                              {"2T13", 153, 167}, {"2T14", 169, 177}, {"2T15", 178, 188}};
  std::vector<int> t2;
  for (const MainBlock& b : track2) {
    BlockSpec spec = mainSpec(b, kTrack2, 2);
    if (spec.Name == "2T13") spec.CrewChangePoint = true, spec.CrewReliefMinutes = 15;
    t2.push_back(t.Block(spec));
  }
  const int siding = t.Block({.Name = "AS",
                              .From = {57, 26},
                              .To = {74, 26},
                              .Length = 3000,
                              .Speed = 15,
                              .Station1 = "AF",
                              .Station2 = "BX",
                              .Track = "Siding"});
  // The branch to Millbrook: slow, with entered running times, and the mill's work area in BR2.
  const int branch1 = t.Block({.Name = "BR1",
                               .From = {29, 15},
                               .To = {50, 15},
                               .Speed = 30,
                               .SpeedOne = 15,
                               .SpeedTwo = 20,
                               .RunTimes = true,
                               .Station1 = "BR",
                               .Station2 = "JN",
                               .Track = "Branch"});
  const int branch2 = t.Block({.Name = "BR2",
                               .From = {51, 15},
                               .To = {73, 15},
                               .Speed = 30,
                               .SpeedOne = 15,
                               .SpeedTwo = 20,
                               .RunTimes = true,
                               .Station1 = "BR",
                               .Station2 = "JN",
                               .Track = "Branch",
                               .Area = "Millbrook Mill"});
  t.WorkArea("Millbrook Mill");
  // The crossing railway's line: its trains are the diamonds' crossing traffic, not the dispatcher's.
  const int cross1 = t.Block({.Name = "NX1",
                              .From = {140, 3},
                              .To = {140, 19},
                              .Speed = 40,
                              .Station1 = "NX",
                              .Station2 = "SX",
                              .Track = "Cross"});
  const int cross2 = t.Block({.Name = "NX2",
                              .From = {140, 21},
                              .To = {140, 22},
                              .Length = 200,
                              .Speed = 40,
                              .Station1 = "NX",
                              .Station2 = "SX",
                              .Track = "Cross"});
  const int cross3 = t.Block({.Name = "NX3",
                              .From = {140, 24},
                              .To = {140, 40},
                              .Speed = 40,
                              .Station1 = "NX",
                              .Station2 = "SX",
                              .Track = "Cross"});

  // Crossovers, the passing siding, the junction and the diamonds.
  const auto [x1a, x1b] = t.Crossover("X1a", {16, kTrack1}, "X1b", {19, kTrack2});
  const auto [x2a, x2b] = t.Crossover("X2a", {165, kTrack1}, "X2b", {168, kTrack2});
  // Beside the junction: trains off the branch cross to track 2 after one block against track 1's traffic.
  const auto [x3a, x3b] = t.Crossover("X3a", {79, kTrack1}, "X3b", {82, kTrack2});
  const int s1 = t.Switch("S1", {54, kTrack2}, Diverge::DownRight);
  const int s2 = t.Switch("S2", {77, kTrack2}, Diverge::DownLeft);
  t.Branch(s1, siding, End::Left);
  t.Branch(s2, siding, End::Right);
  const int junction = t.Switch("J1", {78, kTrack1}, Diverge::UpLeft);
  t.Branch(junction, branch2, End::Right);
  const int d1 = t.Diamond("D1", {140, kTrack1}, 30);
  const int d2 = t.Diamond("D2", {140, kTrack2}, 30);

  // Everything in line order on each track.
  const auto link = [&](const std::vector<int>& devices) {
    for (size_t i = 0; i + 1 < devices.size(); ++i) t.Link(devices[i], devices[i + 1]);
  };
  link({t1[0],
        SwitchDevice(x1a),
        t1[1],
        t1[2],
        t1[3],
        t1[4],
        t1[5],
        SwitchDevice(junction),
        SwitchDevice(x3a),
        t1[6],
        t1[7],
        t1[8],
        t1[9],
        t1[10],
        DiamondDevice(d1),
        t1[11],
        t1[12],
        SwitchDevice(x2a),
        t1[13],
        t1[14]});
  link({t2[0],
        SwitchDevice(x1b),
        t2[1],
        t2[2],
        t2[3],
        SwitchDevice(s1),
        t2[4],
        SwitchDevice(s2),
        t2[5],
        SwitchDevice(x3b),
        t2[6],
        t2[7],
        t2[8],
        t2[9],
        t2[10],
        DiamondDevice(d2),
        t2[11],
        t2[12],
        SwitchDevice(x2b),
        t2[13],
        t2[14]});
  link({branch1, branch2});
  t.LinkCrossing(d1, cross1, cross2);
  t.LinkCrossing(d2, cross2, cross3);
  // A crossing railway train every 90 minutes, over both main tracks.
  t.CrossingTraffic(d1, -1, 16);

  t.Location("W1", t1.front(), End::Left);
  t.Location("W2", t2.front(), End::Left);
  t.Location("E1", t1.back(), End::Right);
  t.Location("E2", t2.back(), End::Right);
  // Millbrook Yard at the end of the branch: trains ask to come out of it, and it takes twelve a day.
  const int yard = t.Location("BR", branch1, End::Left, 2);
  t.YardEntrance(yard, true, 12);

  // Signals at every block end of the dispatcher's tracks where the track leaves room for one; none at an end
  // that leads off the territory, where a route would have no block to clear.
  std::vector<int> all = t1;
  all.insert(all.end(), t2.begin(), t2.end());
  all.insert(all.end(), {siding, branch1, branch2});
  for (const int block : all) {
    const BlockData data = store.GetBlockData(block);
    const std::string name = FieldText(data.Name);
    if (data.LeftLocation[0] == 0 && t.SignalFits(block, End::Left)) t.Signal(block, End::Left, name + "L");
    if (data.RightLocation[0] == 0 && t.SignalFits(block, End::Right)) t.Signal(block, End::Right, name + "R");
  }

  const int ashford1 = t.Platform("Ashford 1", t1[2]);
  const int ashford2 = t.Platform("Ashford 2", t2[2]);
  const int bexley1 = t.Platform("Bexley 1", t1[12]);
  const int bexley2 = t.Platform("Bexley 2", t2[12]);
  // A station's code is its shortcut key: one character, a different one for each station.
  t.Station("Ashford", "A", {35, 28});
  t.Station("Bexley", "B", {160, 28});
  for (const char* os : {"1T03", "2T03", "J1", "1T13", "2T13"}) t.OSPoint(os);
  t.Detector("hot box", true, 10, 20);
  t.Detector("dragging equipment", true, 10, 20);
  t.FitDetector(t1[7], "hot box");
  t.FitDetector(t2[7], "hot box");
  t.FitDetector(t2[7], "dragging equipment");
  t.Text("Corvane Demonstration Subdivision", {4, 1}, 20);
  t.Text("Track 1", {6, 18}, 4);
  t.Text("Track 2", {6, 25}, 4);
  t.Text("Millbrook Yard", {30, 12}, 8);
  t.Text("Crosstown Railway", {142, 6}, 10);

  const int freight = t.TrainType("Freight", 0);
  const int passenger = t.TrainType("Passenger", 1);
  const int local = t.TrainType("Local", 6);

  std::vector<int> trains;
  // Passenger trains every 90 minutes each way on weekdays, stopping at both stations.
  for (int k = 0; k < 11; ++k) {
    const int east = 360 + 90 * k, west = 395 + 90 * k;
    trains.push_back(t.Train({.Id = std::to_string(101 + 2 * k),
                              .Type = passenger,
                              .Entrance = "W2",
                              .Exit = "E2",
                              .EntranceMinutes = east,
                              .Direction = 1,
                              .Length = 600,
                              .Days = kWeekdays,
                              .Description = "Stopping train, Ashford, Bexley",
                              .Stops = {{ashford2, east + 8}, {bexley2, east + 30}}}));
    trains.push_back(t.Train({.Id = std::to_string(102 + 2 * k),
                              .Type = passenger,
                              .Entrance = "E1",
                              .Exit = "W1",
                              .EntranceMinutes = west,
                              .Direction = 0,
                              .Length = 600,
                              .Days = kWeekdays,
                              .Description = "Stopping train, Bexley, Ashford",
                              .Stops = {{bexley1, west + 8}, {ashford1, west + 30}}}));
  }
  // Morning and evening expresses, the evening one timed too tight at Ashford to leave on time.
  trains.push_back(t.Train({.Id = "151",
                            .Type = passenger,
                            .Entrance = "W2",
                            .Exit = "E2",
                            .EntranceMinutes = 440,
                            .Direction = 1,
                            .Length = 800,
                            .Days = kWeekdays,
                            .Description = "Eastbrook express"}));
  trains.push_back(t.Train({.Id = "152",
                            .Type = passenger,
                            .Entrance = "E1",
                            .Exit = "W1",
                            .EntranceMinutes = 1050,
                            .Direction = 0,
                            .Length = 800,
                            .Days = kWeekdays,
                            .Description = "Westfield express, Ashford call",
                            .Stops = {{ashford1, 1053}}}));
  // The afternoon train that ends at Bexley, where it becomes empty stock for Eastbrook.
  const int emptyStock = t.Train({.Id = "931",
                                  .Type = freight,
                                  .Exit = "E2",
                                  .Direction = 1,
                                  .Length = 600,
                                  .Days = kWeekdays,
                                  .Description = "Empty stock, Bexley-Eastbrook"});
  trains.push_back(t.Train({.Id = "131",
                            .Type = passenger,
                            .Entrance = "W2",
                            .EntranceMinutes = 960,
                            .Direction = 1,
                            .Length = 600,
                            .Days = kWeekdays,
                            .Description = "Ashford and Bexley, becomes 931",
                            .Stops = {{ashford2, 968}, {bexley2, 990}},
                            .Becomes = emptyStock,
                            .BecomesAt = "Bexley 2"}));
  // Freights every day, both ways on the main line; 305's crew is near the end of its shift.
  const int eastFreights[] = {300, 500, 680, 860, 1200};
  const int westFreights[] = {340, 560, 740, 920, 1260};
  for (int k = 0; k < 5; ++k) {
    trains.push_back(t.Train({.Id = std::to_string(301 + 2 * k),
                              .Type = freight,
                              .Entrance = "W2",
                              .Exit = "E2",
                              .EntranceMinutes = eastFreights[k],
                              .Direction = 1,
                              .Length = 5000,
                              .CrewMinutesWorked = k == 2 ? 710 : 120}));
    trains.push_back(t.Train({.Id = std::to_string(302 + 2 * k),
                              .Type = freight,
                              .Entrance = "E1",
                              .Exit = "W1",
                              .EntranceMinutes = westFreights[k],
                              .Direction = 0,
                              .Length = 5000}));
  }
  // The Millbrook locals: 501 comes out of the yard, works at the mill, runs to Eastbrook and comes back on
  // track 1 to the yard; 503 works the mill on its way in from Eastbrook.
  trains.push_back(t.Train({.Id = "501",
                            .Type = local,
                            .Entrance = "BR",
                            .Exit = "E2",
                            .EntranceMinutes = 555,
                            .Direction = 1,
                            .Length = 1500,
                            .Days = kWeekdays,
                            .Description = "Millbrook mill local",
                            .Work = {{"Millbrook Mill", 20, 1}},
                            .Legs = {{.Exit = "BR", .Entrance = "E1", .Minutes = 40}}}));
  trains.push_back(t.Train({.Id = "503",
                            .Type = local,
                            .Entrance = "E1",
                            .Exit = "BR",
                            .EntranceMinutes = 1140,
                            .Direction = 0,
                            .Length = 1500,
                            .Days = kWeekdays,
                            .Description = "Evening mill local",
                            .Work = {{"Millbrook Mill", 15, 0}}}));

  // A run may start at 05:00 on any day with every train still to come, at noon on a weekday with the
  // afternoon's trains, or at 18:00 on a weekday with the evening's.
  std::vector<StartEntry> morning, noon, evening;
  for (const int train : trains) {
    morning.push_back({.Train = train});
    const int minutes = store.GetTrainData(train).EntranceMinutes;
    if (minutes >= 720) noon.push_back({.Train = train});
    if (minutes >= 1080) evening.push_back({.Train = train});
  }
  t.StartTime(300, morning);
  t.StartTime(720, noon, kWeekdays);
  t.StartTime(1080, evening, kWeekdays);

  // A speed restriction over Ashford-Bexley track 1 in the working day, and the siding out of service for
  // track work in the late morning.
  t.SlowOrder({.Location = "Track AF-BX 1",
               .Speed = 25,
               .Permanent = false,
               .StartMinutes = 420,
               .EndMinutes = 1080,
               .Days = kWeekdays});
  t.Permit({.Track = "AF-BX Siding",
            .StartMinutes = 600,
            .EndMinutes = 690,
            .Days = kWeekdays,
            .Requestor = "Track Foreman",
            .Reason = "Tie renewal"});
  t.Finish();
}

std::string DemonstrationComments() {
  return "Corvane Demonstration territory\n"
         "\n"
         "Two main tracks between Westfield and Eastbrook: track 1 carries the westbound trains, track 2 the\n"
         "eastbound ones. Crossovers at both ends, a passing siding at Ashford, the Millbrook branch with its\n"
         "junction J1, the mill's work area and Millbrook Yard, which asks your permission before a train comes\n"
         "out and takes twelve trains a day. The Crosstown Railway crosses both main tracks on diamonds.\n"
         "\n"
         "Local 501 works the mill, runs to Eastbrook and comes back to the yard; 131 becomes the empty stock\n"
         "931 at Bexley; freight 305's crew runs out of time on the territory: call a relief crew to Bexley.\n"
         "The siding is out of service 10:00-11:30 on weekdays, and Ashford-Bexley track 1 has a 25 mph slow\n"
         "order from 07:00 to 18:00.\n";
}

RandomData DemonstrationRandomData(RandomData random) {
  // The wayside detectors find something now and then; most of what they find is a false alarm.
  random.Values0[0] = 150;
  random.Values0[1] = 80;
  random.FalseAlarmPercent[0] = 70;
  random.FalseAlarmPercent[1] = 70;
  return random;
}

}  // namespace territory
