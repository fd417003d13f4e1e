// The Find menu: ten modal list dialogs, one per kind of element (blocks by
// area, track or number, entrance/exit locations, diamonds, signals and
// switches by name or number, running trains). Picking a line ends the dialog
// at once; the command then centres the element's cell on the layout with the
// pointer on it, so that the hover frames and describes it. A train that is
// not on the layout is told about in a message box instead.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "shell/layout_view.h"

class CommandRegistry;
class Corvane3Data;
class QTreeWidget;
class TCorvane3Window;
struct BlockData;

namespace find {

enum class Kind {
  Area,
  EntranceExit,
  Track,
  Train,
  BlockNumber,
  DiamondNumber,
  SignalName,
  SignalNumber,
  SwitchName,
  SwitchNumber
};

// What sets one find dialog apart: its command, template, caption, column captions and list control.
struct Spec {
  Kind What;
  int Command;
  int Template;
  const char* Caption;
  std::vector<const char*> Columns;
  int ListId;
};
const std::vector<Spec>& Specs();
const Spec& SpecOf(Kind kind);

// One line of a find list: its text (columns split by tabs) and the element it stands for
// (block, location, diamond, signal or switch index, or running-train slot).
struct Line {
  std::string Text;
  int Element = -1;
};
// The lines of a kind's list, in the order the dialog shows them.
std::vector<Line> FillFindList(const Corvane3Data& store, Kind kind);

// Names in list order: letters compared without regard to case first, then lower case ahead of upper.
int CompareNames(const std::string& a, const std::string& b);

// The cell a picked element of a kind other than Train is shown at.
layout::Cell ElementCell(const Corvane3Data& store, Kind kind, int element);

// What Find a Train does with a picked running train: a message, a cell to centre, or nothing.
struct TrainOutcome {
  std::string Message;  // shown when not empty
  bool Scroll = false;
  layout::Cell At;
};
// arrivingWhenUnshown: a train in the not-shown state is told as one still to arrive (the CTC train list).
TrainOutcome LocateTrain(const Corvane3Data& store, int slot, bool arrivingWhenUnshown = false);

}  // namespace find

class TFindDialog : public QDialog {
 public:
  TFindDialog(QWidget* parent, Corvane3Data& store, find::Kind kind);

  QTreeWidget* List() const { return list_; }

  // Cancel and closing end the dialog with 2, as a picked line ends it with its element + 1000.
  void reject() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void FillFindList();
  void SelectionChanged();

  Corvane3Data& store_;
  find::Kind kind_;
  QTreeWidget* list_;
  std::vector<int> lineMap_;
};

// Runs a kind's find dialog with the layout window as its parent, then shows what was picked.
void CmFind(Corvane3Data& store, TCorvane3Window& window, find::Kind kind);

// Find a Train on one running train: a message for a train not on the layout, else the layout scrolled to
// it. Returns whether it scrolled.
bool FindTrainOnLayout(Corvane3Data& store, TCorvane3Window& window, int trainSlot, bool arrivingWhenUnshown = false);

// The ten Find menu commands, handled by the layout window.
void BindFindCommands(CommandRegistry& commands, Corvane3Data& store, TCorvane3Window& window);
