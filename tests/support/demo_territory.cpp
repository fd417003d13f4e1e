#include "tests/support/demo_territory.h"

#include <string>
#include <vector>

#include "store/fixed_text.h"
#include "tests/support/territory_builder.h"

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
  t.Name("Corvane Demonstration", "Corvane Railway");
  TerritoryOptions options = store.GetTerritoryOptions();
  options.Units = 1;  // feet and miles per hour
  store.UpdateTerritoryOptions(options);

  // Track 1.
  const MainBlock track1[] = {{"1T01", 4, 15},    {"1T02", 17, 28},   {"1T03", 29, 41},   {"1T04", 42, 53},
                              {"1T05", 54, 65},   {"1T06", 66, 77},   {"1T07", 79, 90},   {"1T08", 91, 102},
                              {"1T09", 103, 114}, {"1T10", 115, 126}, {"1T11", 127, 139}, {"1T12", 141, 152},
                              {"1T13", 153, 164}, {"1T14", 166, 177}, {"1T15", 178, 188}};
  std::vector<int> t1;
  for (const MainBlock& b : track1) t1.push_back(t.Block(MainSpec(b, kTrack1, 1)));
  // Track 2.
  const MainBlock track2[] = {{"2T01", 4, 18},    {"2T02", 20, 28},   {"2T03", 29, 41},   {"2T04", 42, 53},
                              {"2T05", 55, 76},   {"2T06", 78, 90},   {"2T07", 91, 102},  {"2T08", 103, 114},
                              {"2T09", 115, 126}, {"2T10", 127, 139}, {"2T11", 141, 152}, {"2T12", 153, 167},
                              {"2T13", 169, 177}, {"2T14", 178, 188}};
  std::vector<int> t2;
  for (const MainBlock& b : track2) t2.push_back(t.Block(MainSpec(b, kTrack2, 2)));
  const int siding = t.Block({.Name = "AS",
                              .From = {57, 26},
                              .To = {74, 26},
                              .Length = 3000,
                              .Speed = 15,
                              .Station1 = "AF",
                              .Station2 = "BX",
                              .Track = "Siding"});
  const int branch1 = t.Block({.Name = "BR1",
                               .From = {29, 15},
                               .To = {50, 15},
                               .Speed = 30,
                               .Station1 = "BR",
                               .Station2 = "JN",
                               .Track = "Branch"});
  const int branch2 = t.Block({.Name = "BR2",
                               .From = {51, 15},
                               .To = {73, 15},
                               .Speed = 30,
                               .Station1 = "BR",
                               .Station2 = "JN",
                               .Track = "Branch"});
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
  link({t1[0], SwitchDevice(x1a), t1[1], t1[2], t1[3], t1[4], t1[5], SwitchDevice(junction), t1[6], t1[7], t1[8], t1[9],
        t1[10], DiamondDevice(d1), t1[11], t1[12], SwitchDevice(x2a), t1[13], t1[14]});
  link({t2[0], SwitchDevice(x1b), t2[1], t2[2], t2[3], SwitchDevice(s1), t2[4], SwitchDevice(s2), t2[5], t2[6], t2[7],
        t2[8], t2[9], DiamondDevice(d2), t2[10], t2[11], SwitchDevice(x2b), t2[12], t2[13]});
  link({branch1, branch2});
  t.LinkCrossing(d1, cross1, cross2);
  t.LinkCrossing(d2, cross2, cross3);

  // Signals at every block end where the track leaves room for one.
  std::vector<int> all = t1;
  all.insert(all.end(), t2.begin(), t2.end());
  all.insert(all.end(), {siding, branch1, branch2, cross1, cross2, cross3});
  for (const int block : all) {
    const std::string name = FieldText(store.GetBlockData(block).Name);
    if (t.SignalFits(block, End::Left)) t.Signal(block, End::Left, name + "L");
    if (t.SignalFits(block, End::Right)) t.Signal(block, End::Right, name + "R");
  }

  t.Location("W1", t1.front(), End::Left);
  t.Location("W2", t2.front(), End::Left);
  t.Location("E1", t1.back(), End::Right);
  t.Location("E2", t2.back(), End::Right);
  t.Location("BR", branch1, End::Left, 2);
  t.Location("NX", cross1, End::Left, 3);
  t.Location("SX", cross3, End::Right, 3);

  const int ashford1 = t.Platform("Ashford 1", t1[2]);
  const int ashford2 = t.Platform("Ashford 2", t2[2]);
  const int bexley1 = t.Platform("Bexley 1", t1[12]);
  const int bexley2 = t.Platform("Bexley 2", t2[11]);
  // A station's code is its shortcut key: one character, a different one for each station.
  t.Station("Ashford", "A", {35, 28});
  t.Station("Bexley", "B", {160, 28});
  for (const char* os : {"1T03", "2T03", "J1", "1T13", "2T12"}) t.OSPoint(os);
  t.Detector("hot box");
  t.Detector("dragging equipment");
  t.FitDetector(t1[7], "hot box");
  t.FitDetector(t2[6], "hot box");
  t.FitDetector(t2[6], "dragging equipment");
  t.Text("Corvane Demonstration Subdivision", {4, 1}, 20);
  t.Text("Track 1", {6, 18}, 4);
  t.Text("Track 2", {6, 25}, 4);
  t.Text("Crosstown Line", {142, 6}, 8);

  const int freight = t.TrainType("Freight", 0);
  const int passenger = t.TrainType("Passenger", 1);
  const int local = t.TrainType("Local", 6);

  // Passenger trains every two hours each way on weekdays, stopping at both stations.
  std::vector<int> trains;
  for (int k = 0; k < 6; ++k) {
    const int east = 360 + 120 * k, west = 390 + 120 * k;
    trains.push_back(t.Train({.Id = std::to_string(101 + 2 * k),
                              .Type = passenger,
                              .Entrance = "W2",
                              .Exit = "E2",
                              .EntranceMinutes = east,
                              .Direction = 1,
                              .Length = 600,
                              .Days = kWeekdays,
                              .Description = "Ashford and Bexley stopping train",
                              .Stops = {{ashford2, east + 8}, {bexley2, east + 30}}}));
    trains.push_back(t.Train({.Id = std::to_string(102 + 2 * k),
                              .Type = passenger,
                              .Entrance = "E1",
                              .Exit = "W1",
                              .EntranceMinutes = west,
                              .Direction = 0,
                              .Length = 600,
                              .Days = kWeekdays,
                              .Description = "Bexley and Ashford stopping train",
                              .Stops = {{bexley1, west + 8}, {ashford1, west + 30}}}));
  }
  // Freights every day, both ways on the main line.
  const int eastFreights[] = {60, 300, 660, 1200};
  const int westFreights[] = {120, 420, 780, 1320};
  for (int k = 0; k < 4; ++k) {
    trains.push_back(t.Train({.Id = std::to_string(301 + 2 * k),
                              .Type = freight,
                              .Entrance = "W2",
                              .Exit = "E2",
                              .EntranceMinutes = eastFreights[k],
                              .Direction = 1,
                              .Length = 5000}));
    trains.push_back(t.Train({.Id = std::to_string(302 + 2 * k),
                              .Type = freight,
                              .Entrance = "E1",
                              .Exit = "W1",
                              .EntranceMinutes = westFreights[k],
                              .Direction = 0,
                              .Length = 5000}));
  }
  // The branch local and the crossing line's freights.
  trains.push_back(t.Train({.Id = "501",
                            .Type = local,
                            .Entrance = "BR",
                            .Exit = "E2",
                            .EntranceMinutes = 540,
                            .Direction = 1,
                            .Length = 1500}));
  trains.push_back(t.Train({.Id = "502",
                            .Type = local,
                            .Entrance = "E1",
                            .Exit = "BR",
                            .EntranceMinutes = 900,
                            .Direction = 0,
                            .Length = 1500}));
  trains.push_back(t.Train({.Id = "601",
                            .Type = freight,
                            .Entrance = "NX",
                            .Exit = "SX",
                            .EntranceMinutes = 200,
                            .Direction = 1,
                            .Length = 3000}));
  trains.push_back(t.Train({.Id = "602",
                            .Type = freight,
                            .Entrance = "SX",
                            .Exit = "NX",
                            .EntranceMinutes = 1000,
                            .Direction = 0,
                            .Length = 3000}));

  // A run may start at 05:00 on any day with every train still to come, or at noon on a weekday with the
  // afternoon's trains.
  std::vector<StartEntry> morning, noon;
  for (const int train : trains) {
    morning.push_back({.Train = train});
    if (store.GetTrainData(train).EntranceMinutes >= 720) noon.push_back({.Train = train});
  }
  t.StartTime(300, morning);
  t.StartTime(720, noon, kWeekdays);

  t.SlowOrder({.Location = "Track AF-BX 1", .Speed = 25});
  t.Permit({.Track = "AF-BX 2",
            .StartMinutes = 600,
            .EndMinutes = 690,
            .Days = kWeekdays,
            .Requestor = "Track Foreman",
            .Reason = "Tie renewal"});
  t.Finish();
}

}  // namespace territory
