#include "lists/track_report.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "dialogs/train_fields.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"

namespace {

constexpr int kBlockCells = 109;
constexpr int kSwitchCells = 45;
constexpr int kTypesShown = 4;

// A block's per-type values for one count of blocks cleared ahead (0-2), left and right: speeds at +45 on,
// running times at +165 on, each count a left and a right array of ten.
struct TypeValues {
  int16_t Left[kMaxTrainTypes], Right[kMaxTrainTypes];
};
TypeValues ValuesOf(const BlockData& block, bool runTimes, int cleared) {
  TypeValues values;
  const size_t at = (runTimes ? offsetof(BlockData, RunTimes) : offsetof(BlockData, SpeedOneClear)) +
                    static_cast<size_t>(cleared) * sizeof values;
  std::memcpy(&values, reinterpret_cast<const char*>(&block) + at, sizeof values);
  return values;
}

// The value a line shows for a train type: the more restrictive of the two directions (the lower speed, the
// longer running time); empty when neither is set.
QString CellText(int16_t left, int16_t right, bool runTimes, bool perMinute) {
  int value;
  if (left < 0 || right < 0) {
    value = std::max(left, right);
  } else {
    value = runTimes ? std::max(left, right) : std::min(left, right);
  }
  if (value < 0) return {};
  return QString::number(runTimes && perMinute ? value / 60 : value);
}

}  // namespace

QString TrackNameText(const BlockData& block) {
  const QString a = FieldQText(block.TrackStation1), b = FieldQText(block.TrackStation2);
  return QString("%1 to %2 %3").arg(a.isEmpty() ? "?" : a, b.isEmpty() ? "?" : b, FieldQText(block.TrackPart));
}

bool ReportedBlock(const BlockData& block) { return block.InUse == 1 && block.PassThrough != 1; }

TTPrintTrack::TTPrintTrack(Corvane3Data& store)
    : TTabularPrintout(store, "Track Data", "Track Data - Block Information", kBlockCells, {-1}) {
  SetTextPoints(8);
}

int32_t TTPrintTrack::EstimatePages() {
  blocks_.clear();
  switches_.clear();
  for (int i = 0; i < kMaxBlocks; ++i) {
    if (ReportedBlock(store_.GetBlockData(i))) blocks_.push_back(i);
  }
  for (int i = 0; i < kMaxSwitches; ++i) {
    if (store_.GetSwitchData(i).InUse != 0) switches_.push_back(i);
  }
  // Each section has a page even when it has no lines, so the reader sees that it is empty.
  auto pages = [this](size_t lines) {
    return std::max<int>(1, static_cast<int>((lines + static_cast<size_t>(LinesPerPage) - 1) / LinesPerPage));
  };
  blockPages_ = pages(blocks_.size());
  return blockPages_ + pages(switches_.size());
}

void TTPrintTrack::PrintPage(int page) {
  const Qt::Alignment left = Qt::AlignLeft, centre = Qt::AlignHCenter, right = Qt::AlignRight;
  const bool blocks = page <= blockPages_;
  const size_t first = static_cast<size_t>((blocks ? page - 1 : page - 1 - blockPages_) * LinesPerPage);
  if (blocks) {
    SetTable("Track Data - Block Information", kBlockCells);
    std::vector<Heading> top = {{0, 12, "Track", left}, {14, 6, "Signal", centre}, {22, 6, "Block", centre}};
    std::vector<Heading> second = {{0, 12, "Name", left}, {14, 6, "Dir", centre}, {22, 6, "Length", centre}};
    for (int t = 0; t < kTypesShown; ++t) {
      const int at = 30 + 14 * t;
      top.push_back({at, 12, QString("Speed %1").arg(t + 1), centre});
      second.push_back({at, 4, "None", centre});
      second.push_back({at + 5, 3, "One", centre});
      second.push_back({at + 9, 3, "Two", centre});
    }
    top.push_back({86, 21, "Platform", left});
    PrintTop(0, PageWidth(), {top, second});

    const TerritoryOptions options = store_.GetTerritoryOptions();
    const bool runTimes = options.RunTimeSource != 1, perMinute = options.RunTimeUnit == 1;
    for (size_t i = first; i < blocks_.size() && i < first + static_cast<size_t>(LinesPerPage); ++i) {
      const BlockData block = store_.GetBlockData(blocks_[i]);
      BodyText(0, 12, TrackNameText(block), left);
      const bool l = block.SignalledLeft == 1, r = block.SignalledRight == 1;
      BodyText(14, 6, l && r ? "Both" : l ? "Left" : r ? "Right" : "-", centre);
      BodyText(22, 6, QString::number(block.Length), right);
      for (int cleared = 0; cleared < 3; ++cleared) {
        const TypeValues values = ValuesOf(block, runTimes, cleared);
        for (int t = 0; t < kTypesShown; ++t) {
          const int at = 30 + 14 * t + (cleared == 0 ? 0 : cleared == 1 ? 5 : 9);
          BodyText(at, cleared == 0 ? 4 : 3, CellText(values.Left[t], values.Right[t], runTimes, perMinute), centre);
        }
      }
      BodyText(86, 21, FieldQText(block.PlatformName), left);
      NextLine();
    }
  } else {
    SetTable("Track Data - Switch Information", kSwitchCells);
    PrintTop(
        0, PageWidth(),
        {{{0, 16, "Switch Name", left}, {18, 23, "Reverse Speed", centre}},
         {{18, 6, "Type 1", centre}, {25, 6, "Type 2", centre}, {32, 6, "Type 3", centre}, {39, 6, "Type 4", centre}}});
    for (size_t i = first; i < switches_.size() && i < first + static_cast<size_t>(LinesPerPage); ++i) {
      const SwitchData sw = store_.GetSwitchData(switches_[i]);
      BodyText(0, 16, FieldQText(sw.Name), left);
      for (int t = 0; t < kTypesShown; ++t) {
        const int16_t speed = sw.DivergingSpeed[t];
        if (speed >= 0) BodyText(18 + 7 * t, 6, QString::number(speed), centre);
      }
      NextLine();
    }
  }
  PrintFooter(page, Margin(), RightEdge());
}
