// The CTC block permits (track and time) of CTC control mode: the list of the
// permits the dispatcher has issued, with their state, and the dialog that
// issues a permit or edits one. The permits live in the run's permit slots and
// move through their timed states on their own; the list shows where each is.
#pragma once

#include <QDialog>

#include "lists/active_lists.h"
#include "lists/track_time_lists.h"

class Engine;

// "CTC Active Block Permit (T&T) List".
class TCTCPermitActive : public TActiveList {
  Q_OBJECT

 public:
  TCTCPermitActive(Corvane3Data& store, Engine& engine, QWidget* parent);

  void CmIssue();
  void CmEdit();
  // Releases the selected permit at once, whatever its state; no question is asked.
  void CmCancel();

 protected:
  std::vector<list::Row> Fill() override;

 private:
  // The selected permit's slot after the playback and selection checks, else -1 (the list has the focus).
  int CheckedSelection();
  void RightClicked();

  Engine& engine_;
};

// "CTC Block Permit (Track & Time)": slot -1 issues a new permit, which takes a slot only when OK has
// passed every check; block >= 0 chooses that block's track. A permit whose marks are on the layout
// (announced or in force) keeps its track, and one in force given another end moves its marks' end.
class TCTCPermitInfo : public QDialog {
  Q_OBJECT

 public:
  TCTCPermitInfo(QWidget* parent, Corvane3Data& store, Engine& engine, int slot, int block = -1);
  int Slot() const { return slot_; }
  // OK: every check in turn; the permit is stored only when all pass.
  void accept() override;

 private:
  void SetupWindow();

  Corvane3Data& store_;
  Engine& engine_;
  int slot_;
  int block_;
  PermitFields fields_{};
  int shownTrack_ = -1;  // the track list's choice as the dialog opened
};

// Runs the permit dialog under the dialog lock; true after OK. The open CTC permit list then shows the change.
bool RunCTCPermitDialog(Corvane3Data& store, Engine& engine, QWidget* parent, int slot, int block = -1);
