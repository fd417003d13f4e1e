#include "lists/train_report.h"

#include <algorithm>
#include <set>

#include "dialogs/train_fields.h"
#include "engine/movement_common.h"
#include "lists/track_time_lists.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"

namespace {

constexpr int kPlatformsPerGroup = 7;
constexpr int kReportCells[4] = {120, 100, 100, 83};
const char* const kTitles[4] = {"Train Data", "Train Data - Station Schedules", "Train Data - Multiple Entries",
                                "Train Data - Local Work Schedule"};

QString TypeText(const Corvane3Data& store, int type, const QString& none) {
  return type >= 0 && type < kMaxTrainTypes ? FieldQText(store.GetTrainType(type).Name) : none;
}

// The train another one links to, "%s-%d", when that slot holds a train.
QString LinkedTrain(const Corvane3Data& store, int slot) {
  return TrainInUse(store, slot) ? TrainReference(store.GetTrainData(slot), slot) : QString();
}

bool Counted(const TrainMultipleEntry& leg) { return !FieldText(leg.NextEntrance).empty(); }
bool Counted(const TrainLocalWork& work) { return !FieldText(work.AreaName).empty(); }

// The indices of a train's counted entries of a section.
std::vector<int> CountedEntries(const TrainData& train, TTPrintTrain::Section section) {
  std::vector<int> found;
  if (section == TTPrintTrain::MultipleEntries) {
    for (int i = 0; i < kTrainMultipleEntries; ++i) {
      if (Counted(TrainMultipleEntry(train.Multiple[i]))) found.push_back(i);
    }
  } else {
    for (int i = 0; i < kTrainLocalWork; ++i) {
      if (Counted(TrainLocalWork(train.LocalWork[i]))) found.push_back(i);
    }
  }
  return found;
}

bool HasDeparture(const TrainData& train) {
  for (int i = 0; i < kTrainStations; ++i) {
    if (static_cast<int16_t>(train.Stations[i].Minutes) >= 0) return true;
  }
  return false;
}

// The second line of a train that becomes another or splits; empty when it does neither.
QString ChangeLine(const Corvane3Data& store, const TrainData& train) {
  const QString becomes = LinkedTrain(store, train.BecomesTrain), splits = LinkedTrain(store, train.SplitTrain);
  if (becomes.isEmpty() && splits.isEmpty()) return {};
  QString line;
  if (!becomes.isEmpty()) line = QString("becomes \"%1\" ").arg(becomes);
  line +=
      QString("at location \"%1\" after %2 minutes").arg(FieldQText(train.ChangePlaceName)).arg(train.BecomeMinutes);
  if (!splits.isEmpty()) line += QString("%1 splits into \"%2\"").arg(becomes.isEmpty() ? "" : " and", splits);
  return line;
}

}  // namespace

std::vector<int16_t> TrainOrderOf(const std::vector<int32_t>& rowRecords) {
  std::vector<int16_t> order;
  std::set<int32_t> seen;
  for (const int32_t record : rowRecords) {
    if (record < 0 || record >= kMaxTrains || !seen.insert(record).second) continue;
    order.push_back(static_cast<int16_t>(record));
  }
  order.push_back(-1);
  return order;
}

TTPrintTrain::TTPrintTrain(Corvane3Data& store, std::vector<int16_t> orderList)
    : TTabularPrintout(store, "Train Data", kTitles[TrainTable], kReportCells[TrainTable], std::move(orderList)) {
  SetTextPoints(9);
}

void TTPrintTrain::SetPrintParams(QPainter& dc, QSize page) {
  TTabularPrintout::SetPrintParams(dc, page);
  // No trains, no pages: the job prints nothing.
  PageCount = static_cast<int32_t>(pages_.size());
}

int32_t TTPrintTrain::EstimatePages() {
  LayOut();
  return static_cast<int32_t>(pages_.size());
}

std::vector<TTPrintTrain::Section> TTPrintTrain::PageSections() const {
  std::vector<Section> sections;
  for (const Page& page : pages_) sections.push_back(page.Of);
  return sections;
}

// The pages are laid out whole when the job starts, so that the page count is exact and every train fits.
void TTPrintTrain::LayOut() {
  pages_.clear();
  platforms_ = PlatformsInUse(store_);
  std::vector<TrainData> trains;
  std::vector<int16_t> records;
  for (int32_t item = 0; item < ItemCount; ++item) {
    const int16_t record = Record(item);
    const TrainData train = store_.GetTrainData(record);
    if (train.InUse == 0) continue;
    trains.push_back(train);
    records.push_back(record);
  }

  // Places pieces of lines on the pages of one section (and platform group); a piece never runs over a page
  // unless it is longer than a whole page.
  auto place = [this](Section section, int group, const std::vector<std::pair<Piece, int>>& pieces) {
    if (pieces.empty()) return;
    pages_.push_back({section, group, {}});
    int used = 0;
    for (auto [piece, lines] : pieces) {
      if (used > 0 && used + lines > LinesPerPage) {
        pages_.push_back({section, group, {}});
        used = 0;
      }
      pages_.back().Pieces.push_back(piece);
      used += lines;
    }
  };

  std::vector<std::pair<Piece, int>> table, stations;
  for (size_t i = 0; i < trains.size(); ++i) {
    table.push_back({{records[i]}, ChangeLine(store_, trains[i]).isEmpty() ? 1 : 2});
    if (HasDeparture(trains[i])) stations.push_back({{records[i]}, 1});
  }
  place(TrainTable, 0, table);
  if (!platforms_.empty()) {
    for (size_t group = 0; group < platforms_.size(); group += kPlatformsPerGroup) {
      place(StationSchedules, static_cast<int>(group), stations);
    }
  }
  for (const Section section : {MultipleEntries, LocalWork}) {
    std::vector<std::pair<Piece, int>> entries;
    for (size_t i = 0; i < trains.size(); ++i) {
      const int n = static_cast<int>(CountedEntries(trains[i], section).size());
      // A train longer than a page goes over pages a page at a time.
      for (int first = 0; first < n; first += LinesPerPage) {
        const int count = std::min(LinesPerPage, n - first);
        entries.push_back({{records[i], first, count}, count});
      }
    }
    place(section, 0, entries);
  }
}

void TTPrintTrain::PrintPage(int page) {
  if (page < 1 || page > static_cast<int>(pages_.size())) return;
  const Page& layout = pages_[static_cast<size_t>(page - 1)];
  SetTable(kTitles[layout.Of], kReportCells[layout.Of]);
  const Qt::Alignment left = Qt::AlignLeft, centre = Qt::AlignHCenter, right = Qt::AlignRight;
  switch (layout.Of) {
    case TrainTable:
      PrintTop(0, PageWidth(),
               {{{0, 3, "No.", centre},
                 {4, 14, "Train ID", left},
                 {19, 3, "Dir", centre},
                 {24, 20, "Train Type", left},
                 {45, 6, "Length", centre},
                 {52, 5, "Crew", centre},
                 {58, 14, "From Train", left},
                 {73, 5, "Time", centre},
                 {79, 14, "Days of Week", left},
                 {94, 14, "To Train", left}},
                {{52, 5, "Time", centre}, {58, 14, "or Entrance", left}, {94, 8, "or Exit", left}}});
      break;
    case StationSchedules: {
      std::vector<std::vector<Heading>> rows(3);
      rows[0] = {{0, 3, "No.", centre}, {4, 14, "Train ID", left}};
      for (int k = 0; k < kPlatformsPerGroup; ++k) {
        const size_t at = static_cast<size_t>(layout.Group + k);
        if (at >= platforms_.size()) break;
        rows[static_cast<size_t>(k % 3)].push_back(
            {20 + 10 * k, 20, FieldQText(store_.GetPlatformData(platforms_[at]).Name), left});
      }
      PrintTop(0, PageWidth(), rows);
      break;
    }
    case MultipleEntries:
      PrintTop(0, PageWidth(),
               {{{0, 3, "No.", right},
                 {4, 14, "Train ID", left},
                 {19, 8, "Entrance", centre},
                 {28, 5, "Exit", centre},
                 {34, 5, "Delay", centre},
                 {40, 14, "New ID", left},
                 {55, 10, "Direction", left},
                 {66, 20, "New Type", left},
                 {87, 10, "Crew Time", centre}}});
      break;
    case LocalWork:
      PrintTop(0, PageWidth(),
               {{{0, 3, "No.", right},
                 {5, 14, "Train ID", left},
                 {21, 20, "Work Area", left},
                 {43, 12, "Time in Area", centre},
                 {57, 24, "Direction Leaving Area", centre}}});
      break;
  }
  for (const Piece& piece : layout.Pieces) {
    if (layout.Of == TrainTable) PrintTrainLine(piece);
    if (layout.Of == StationSchedules) PrintStationLine(piece, layout.Group);
    if (layout.Of == MultipleEntries || layout.Of == LocalWork) PrintEntryLines(layout.Of, piece);
  }
  PrintFooter(page, 0, PageWidth());
}

void TTPrintTrain::PrintTrainLine(const Piece& piece) {
  const Qt::Alignment left = Qt::AlignLeft, centre = Qt::AlignHCenter, right = Qt::AlignRight;
  const TrainData train = store_.GetTrainData(piece.Train);
  BodyText(0, 3, QString::asprintf("%03d", piece.Train), left);
  BodyText(4, 14, FieldQText(train.TrainId), left);
  BodyText(19, 3, train.EntryDirection == 0 ? "L" : "R", centre);
  BodyText(24, 20, TypeText(store_, static_cast<int8_t>(train.Type), "Unknown"), left);
  BodyText(45, 6, QString::asprintf("%5d", static_cast<int>(train.Length)), centre);
  if (train.CrewMinutesWorked >= 0) BodyText(52, 4, QString::number(train.CrewMinutesWorked), right);
  const QString from = LinkedTrain(store_, train.LinkedTrain);
  BodyText(58, 14, from.isEmpty() ? FieldQText(train.Entrance) : from, left);
  BodyText(73, 14, MinutesText(static_cast<int16_t>(train.EntranceMinutes)), left);
  BodyText(79, 14, DaysText(DaysOf(train)), left);
  const QString to = LinkedTrain(store_, train.BecomesTrain);
  BodyText(94, 14, to.isEmpty() ? FieldQText(train.Exit) : to, left);
  NextLine();
  const QString change = ChangeLine(store_, train);
  if (!change.isEmpty()) {
    BodyText(5, 80, change, left);
    NextLine();
  }
}

void TTPrintTrain::PrintStationLine(const Piece& piece, int group) {
  const TrainData train = store_.GetTrainData(piece.Train);
  BodyText(0, 3, QString::number(piece.Train), Qt::AlignHCenter);
  BodyText(4, 14, FieldQText(train.TrainId), Qt::AlignLeft);
  for (int k = 0; k < kPlatformsPerGroup; ++k) {
    const size_t at = static_cast<size_t>(group + k);
    if (at >= platforms_.size()) break;
    const TrainStationEntry stop = train.Stations[platforms_[at]];
    const int minutes = static_cast<int16_t>(stop.Minutes);
    if (minutes < 0) continue;
    BodyText(20 + 10 * k, 10,
             QString::asprintf("%02d:%02d-%03d", minutes / 60, minutes % 60, static_cast<int>(stop.DwellSeconds)),
             Qt::AlignLeft);
  }
  NextLine();
}

void TTPrintTrain::PrintEntryLines(Section section, const Piece& piece) {
  const Qt::Alignment left = Qt::AlignLeft, centre = Qt::AlignHCenter, right = Qt::AlignRight;
  const TrainData train = store_.GetTrainData(piece.Train);
  const std::vector<int> entries = CountedEntries(train, section);
  for (int i = piece.First; i < piece.First + piece.Count && i < static_cast<int>(entries.size()); ++i) {
    // The train's number and ID on the first line of its entries (and of their part on a later page).
    if (i == piece.First) {
      BodyText(0, 3, QString::number(piece.Train), right);
      BodyText(section == MultipleEntries ? 4 : 5, 14, FieldQText(train.TrainId), left);
    }
    const size_t entry = static_cast<size_t>(entries[static_cast<size_t>(i)]);
    if (section == MultipleEntries) {
      const TrainMultipleEntry leg = train.Multiple[entry];
      BodyText(19, 8, FieldQText(leg.NextEntrance), centre);
      BodyText(28, 5, FieldQText(leg.LegExit), centre);
      BodyText(34, 4, QString::number(static_cast<int16_t>(leg.ReentryMinutes)), right);
      BodyText(40, 14, FieldQText(leg.Text8), left);
      BodyText(55, 10, leg.Byte21 == 0 ? "Forward" : "Reverse", left);
      BodyText(66, 20, TypeText(store_, static_cast<int16_t>(leg.Word19), QString()), left);
      const int crew = movement::LegCrewMinutes(leg);
      if (crew != -1) BodyText(87, 6, QString::number(crew), right);
    } else {
      const TrainLocalWork work = train.LocalWork[entry];
      BodyText(21, 20, FieldQText(work.AreaName), left);
      const int minutes = static_cast<int16_t>(work.Minutes);
      if (minutes != -1) BodyText(43, 8, QString::number(minutes), right);
      BodyText(57, 24, work.DirectionAfter == 0 ? "Left" : "Right", centre);
    }
    NextLine();
  }
}
