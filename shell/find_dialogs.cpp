#include "shell/find_dialogs.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <functional>
#include <set>

#include "dialogs/dialog_kit.h"
#include "platform/command_registry.h"
#include "platform/controls.h"
#include "resources/find_ids.h"
#include "resources/resource_ids.h"
#include "shell/corvane3_window.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/run_times.h"
#include "store/text_format.h"
#include "store/track_names.h"
#include "store/train_codes.h"

using textfmt::Format;

namespace find {

namespace {

constexpr int kPicked = 1000;
constexpr int kCancelled = 2;
// A running train in this state is neither told about nor shown.
constexpr uint8_t kStateUnshown = 1;
constexpr int kChainSteps = 1000;

std::string Number(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d", value);
  return text;
}

// A line with the key it sorts by (and a second key for equal names).
struct Entry {
  std::string Key;
  int Second = 0;
  Line Shown;
};

// Name order, equal keys by the second key; entries come in index order, so a stable sort
// keeps equal names in index order as well.
std::vector<Line> Sorted(std::vector<Entry> entries, bool sort) {
  if (sort) {
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
      const int c = CompareNames(a.Key, b.Key);
      return c != 0 ? c < 0 : a.Second < b.Second;
    });
  }
  std::vector<Line> lines;
  lines.reserve(entries.size());
  for (Entry& entry : entries) lines.push_back(std::move(entry.Shown));
  return lines;
}

std::string OrQuestion(const std::string& part) { return part.empty() ? "?" : part; }

void ListBlocks(const Corvane3Data& store, Kind kind, std::vector<Entry>& entries) {
  for (int b = 0; b < kMaxBlocks; ++b) {
    const BlockData& block = store.BlockDataRef(b);
    if (block.InUse == 0) continue;
    const std::string first = FieldText(block.TrackStation1), second = FieldText(block.TrackStation2),
                      part = FieldText(block.TrackPart);
    if (kind == Kind::Area) {
      const std::string area = FieldText(block.AreaName);
      if (!area.empty()) entries.push_back({area, b, {area + "\t" + Number(b), b}});
    } else if (kind == Kind::BlockNumber) {
      // A block with no track name at all shows an empty track column.
      const std::string track = block.PassThrough == 1                            ? "Connecting Line"
                                : first.empty() && second.empty() && part.empty() ? ""
                                                                                  : BlockTrackName(block);
      entries.push_back({"", b, {Number(b) + "\t" + track, b}});
    } else if (kind == Kind::Track) {
      if (block.PassThrough == 1 || (first.empty() && second.empty() && part.empty())) continue;
      const std::string key = first.empty() && second.empty() ? part : BlockTrackName(block);
      entries.push_back({key, b, {Format("%s-%s %s", OrQuestion(first), OrQuestion(second), part), b}});
    }
  }
}

}  // namespace

int CompareNames(const std::string& a, const std::string& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const int x = std::tolower(static_cast<unsigned char>(a[i])), y = std::tolower(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  for (size_t i = 0; i < n; ++i) {
    if (a[i] == b[i]) continue;
    return std::islower(static_cast<unsigned char>(a[i])) ? -1 : 1;
  }
  return 0;
}

const std::vector<Spec>& Specs() {
  static const std::vector<Spec> specs = {
      {Kind::Area, res::CM_FIND_AREA, res::IDD_FIND_AREA, "Find Area", {"Area", "Block Number"}, res::IDC_FIND_LIST},
      {Kind::EntranceExit,
       res::CM_FIND_ENTRANCE_EXIT,
       res::IDD_FIND_ENTRANCE_EXIT,
       "Find Entrance/Exit Location",
       {"Name", "Block Number"},
       res::IDC_FIND_LIST},
      {Kind::Track, res::CM_FIND_TRACK, res::IDD_FIND_TRACK, "Find Track", {"Track Name"}, res::IDC_FIND_TRACK_LIST},
      {Kind::Train,
       res::CM_FIND_TRAIN,
       res::IDD_FIND_TRAIN,
       "Find Train",
       {"Train ID", "Description"},
       res::IDC_FIND_LIST},
      {Kind::BlockNumber,
       res::CM_FIND_BLOCK_NUMBER,
       res::IDD_FIND_BLOCK_NUMBER,
       "Find Block By Number",
       {"Block Number", "Track Name"},
       res::IDC_FIND_LIST},
      {Kind::DiamondNumber,
       res::CM_FIND_DIAMOND_NUMBER,
       res::IDD_FIND_DIAMOND_NUMBER,
       "Find Diamond By Number",
       {"Diamond Number"},
       res::IDC_FIND_LIST},
      {Kind::SignalName,
       res::CM_FIND_SIGNAL_NAME,
       res::IDD_FIND_SIGNAL_NAME,
       "Find Signal By Name",
       {"Signal Name", "Number"},
       res::IDC_FIND_LIST},
      {Kind::SignalNumber,
       res::CM_FIND_SIGNAL_NUMBER,
       res::IDD_FIND_SIGNAL_NUMBER,
       "Find Signal By Number",
       {"Signal Number", "Name"},
       res::IDC_FIND_LIST},
      {Kind::SwitchName,
       res::CM_FIND_SWITCH_NAME,
       res::IDD_FIND_SWITCH_NAME,
       "Find Switch By Name",
       {"Switch Name", "Number"},
       res::IDC_FIND_LIST},
      {Kind::SwitchNumber,
       res::CM_FIND_SWITCH_NUMBER,
       res::IDD_FIND_SWITCH_NUMBER,
       "Find Switch By Number",
       {"Switch Number", "Name"},
       res::IDC_FIND_LIST},
  };
  return specs;
}

const Spec& SpecOf(Kind kind) {
  const auto& specs = Specs();
  return *std::find_if(specs.begin(), specs.end(), [kind](const Spec& s) { return s.What == kind; });
}

std::vector<Line> FillFindList(const Corvane3Data& store, Kind kind) {
  std::vector<Entry> entries;
  // Signals and switches by name or by number share one walk.
  auto named = [&](int count, const std::function<std::pair<bool, std::string>(int)>& read, bool byName) {
    for (int i = 0; i < count; ++i) {
      const auto [inUse, name] = read(i);
      if (!inUse) continue;
      entries.push_back({name, 0, {byName ? name + "\t" + Number(i) : Number(i) + "\t" + name, i}});
    }
  };
  auto signal = [&store](int i) {
    const SignalData s = store.GetSignalData(i);
    return std::pair{s.InUse != 0, FieldText(s.Name)};
  };
  auto switchAt = [&store](int i) {
    const SwitchData& s = store.SwitchDataRef(i);
    return std::pair{s.InUse != 0, FieldText(s.Name)};
  };

  switch (kind) {
    case Kind::Area:
    case Kind::BlockNumber:
    case Kind::Track:
      ListBlocks(store, kind, entries);
      break;
    case Kind::EntranceExit:
      for (int i = 0; i < kMaxLocations; ++i) {
        const OrgData org = store.GetOrgData(i);
        if (org.InUse == 0) continue;
        const std::string name = FieldText(org.Name);
        entries.push_back({name, org.Block, {name + "\t" + Number(org.Block), i}});
      }
      break;
    case Kind::DiamondNumber:
      for (int i = 0; i < kMaxCrossings; ++i) {
        if (store.GetCrossData(i).InUse != 0) entries.push_back({"", 0, {Number(i), i}});
      }
      break;
    case Kind::SignalName:
    case Kind::SignalNumber:
      named(kMaxSignals, signal, kind == Kind::SignalName);
      break;
    case Kind::SwitchName:
    case Kind::SwitchNumber:
      named(kMaxSwitches, switchAt, kind == Kind::SwitchName);
      break;
    case Kind::Train:
      for (int i = 0; i < kMaxTrainStatus; ++i) {
        const TrainStatus& train = store.TrainStatusRef(i);
        if (train.InUse == 0) continue;
        const std::string id = FieldText(train.TrainId);
        // A slot whose schedule index is damaged shows no description rather than an index error.
        const int schedule = train.TrainIndex;
        const std::string description =
            schedule >= 0 && schedule < kMaxTrains ? FieldText(store.TrainDataRef(schedule).Description) : "";
        entries.push_back({id, 0, {id + "\t" + description, i}});
      }
      break;
  }
  const bool sorted = kind == Kind::Area || kind == Kind::EntranceExit || kind == Kind::Track ||
                      kind == Kind::SignalName || kind == Kind::SwitchName || kind == Kind::Train;
  return Sorted(std::move(entries), sorted);
}

layout::Cell ElementCell(const Corvane3Data& store, Kind kind, int element) {
  switch (kind) {
    case Kind::EntranceExit: {
      const OrgData org = store.GetOrgData(element);
      return {org.CellX, org.CellY};
    }
    case Kind::DiamondNumber: {
      const CrossData cross = store.GetCrossData(element);
      return {cross.CellX, cross.CellY};
    }
    case Kind::SignalName:
    case Kind::SignalNumber: {
      const SignalData signal = store.GetSignalData(element);
      return {signal.CellX, signal.CellY};
    }
    case Kind::SwitchName:
    case Kind::SwitchNumber: {
      const SwitchData sw = store.GetSwitchData(element);
      return {sw.CellX, sw.CellY};
    }
    default: {
      const BlockData block = store.GetBlockData(element);
      return {block.LeftCellX, block.LeftCellY};
    }
  }
}

TrainOutcome LocateTrain(const Corvane3Data& store, int slot, bool arrivingWhenUnshown) {
  TrainOutcome outcome;
  if (slot < 0 || slot >= kMaxTrainStatus) return outcome;
  // A train is found at the train it is linked to, to the end of the chain; a chain damaged into a
  // loop stops at a train seen before, and a walk never takes more than 1,000 steps.
  TrainStatus train = store.GetTrainStatus(slot);
  std::set<int> seen{slot};
  for (int steps = 0; train.MergePrevious >= 0 && train.MergePrevious < kMaxTrainStatus && steps < kChainSteps;
       ++steps) {
    if (!seen.insert(train.MergePrevious).second) break;
    train = store.GetTrainStatus(train.MergePrevious);
  }
  const uint8_t state = arrivingWhenUnshown && train.State == kStateUnshown ? TrainState::Scheduled : train.State;
  switch (state) {
    case TrainState::Scheduled: {
      int32_t time = train.HeadEventTime % kSecondsPerDay;
      if (time < 0) time += kSecondsPerDay;
      char text[160];
      std::snprintf(text, sizeof text, res::kTrainWillArrive, FieldText(train.Entrance).c_str(), time / 3600,
                    time / 60 % 60);
      outcome.Message = text;
      return outcome;
    }
    case kStateUnshown:
      return outcome;
    case TrainState::Gone:
      outcome.Message = res::kTrainNoLongerOnTerritory;
      return outcome;
    case TrainState::Became:
      outcome.Message = res::kTrainBecameAnother;
      return outcome;
    default:
      break;
  }
  const int block = train.State == TrainState::Leaving ? train.RearBlock : train.HeadBlock;
  if (block < 0 || block >= kMaxBlocks) return outcome;
  const BlockStatus status = store.GetBlockStatus(block);
  outcome.Scroll = true;
  outcome.At = train.HeadDirection == 0 ? layout::Cell{status.LeftLabelX, status.LeftLabelY}
                                        : layout::Cell{status.RightLabelX, status.RightLabelY};
  return outcome;
}

}  // namespace find

TFindDialog::TFindDialog(QWidget* parent, Corvane3Data& store, find::Kind kind)
    : QDialog(parent), store_(store), kind_(kind) {
  const find::Spec& spec = find::SpecOf(kind);
  SetControlId(this, spec.Template);
  setWindowTitle(spec.Caption);

  list_ = new QTreeWidget(this);
  SetControlId(list_, spec.ListId);
  list_->setRootIsDecorated(false);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  list_->setColumnCount(static_cast<int>(spec.Columns.size()));
  QStringList captions;
  for (const char* caption : spec.Columns) captions << caption;
  list_->setHeaderLabels(captions);
  list_->header()->setSectionsMovable(false);
  list_->setMinimumSize(320, 300);

  QPushButton* cancel = MakeButton(this, res::IDC_FIND_CANCEL, "Cancel");
  connect(cancel, &QPushButton::clicked, this, &TFindDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cancel);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  layout->addLayout(buttons);

  FillFindList();
  connect(list_, &QTreeWidget::itemSelectionChanged, this, &TFindDialog::SelectionChanged);
}

void TFindDialog::FillFindList() {
  list_->clear();
  lineMap_.clear();
  for (const find::Line& line : find::FillFindList(store_, kind_)) {
    auto* item = new QTreeWidgetItem(QString::fromStdString(line.Text).split('\t'));
    list_->addTopLevelItem(item);
    lineMap_.push_back(line.Element);
  }
  // Every column as wide as its widest line; the dialog opens wide enough for them all, and where the
  // screen is too narrow the list scrolls sideways instead of cutting the last column.
  QHeaderView* header = list_->header();
  header->setStretchLastSection(false);
  int width = 0;
  for (int c = 0; c < list_->columnCount(); ++c) {
    list_->resizeColumnToContents(c);
    width += list_->columnWidth(c);
  }
  width += list_->verticalScrollBar()->sizeHint().width() + 2 * list_->frameWidth();
  const QScreen* screen = this->screen();
  const int room = screen ? screen->availableGeometry().width() * 9 / 10 : width;
  list_->setMinimumWidth(std::clamp(width, 320, std::max(room, 320)));
  list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void TFindDialog::SelectionChanged() {
  const QList<QTreeWidgetItem*> selected = list_->selectedItems();
  const int line = selected.isEmpty() ? -1 : list_->indexOfTopLevelItem(selected.front());
  if (line < 0 || line >= static_cast<int>(lineMap_.size())) {
    done(find::kCancelled);
    return;
  }
  done(lineMap_[line] + find::kPicked);
}

void TFindDialog::reject() { done(find::kCancelled); }

void TFindDialog::keyPressEvent(QKeyEvent* event) {
  // The list has no Help button; F1 asks for the dialog's help.
  if (event->key() == Qt::Key_F1) {
    ShowHelp(store_, res::kFindHelpKeyword);
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void CmFind(Corvane3Data& store, TCorvane3Window& window, find::Kind kind) {
  int result;
  {
    TFindDialog dialog(&window, store, kind);
    result = dialog.exec();
  }
  if (result == find::kCancelled || result < find::kPicked) return;
  const int element = result - find::kPicked;
  if (kind != find::Kind::Train) {
    const layout::Cell cell = find::ElementCell(store, kind, element);
    window.ScrollToCell(cell.Column, cell.Row, 0);
    return;
  }
  FindTrainOnLayout(store, window, element);
}

bool FindTrainOnLayout(Corvane3Data& store, TCorvane3Window& window, int trainSlot, bool arrivingWhenUnshown) {
  const find::TrainOutcome outcome = find::LocateTrain(store, trainSlot, arrivingWhenUnshown);
  if (!outcome.Message.empty()) {
    store.Messages().ShowMessage(outcome.Message, FieldText(store.Captions[0], kCaptionChars), MessageIcon::Information,
                                 MessageButtons::Ok);
    return false;
  }
  if (!outcome.Scroll) return false;
  window.ScrollToCell(outcome.At.Column, outcome.At.Row, 0);
  return true;
}

void BindFindCommands(CommandRegistry& commands, Corvane3Data& store, TCorvane3Window& window) {
  for (const find::Spec& spec : find::Specs()) {
    const find::Kind kind = spec.What;
    commands.SetHandler(spec.Command, [&store, &window, kind] { CmFind(store, window, kind); });
  }
}
