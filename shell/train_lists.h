// The train lists of a running simulation: every running train ("Active Train
// List", filtered by state and sorted by ID, status or ETA), the trains still
// to come on at one entrance location, the trains still to stop at one
// platform, and the OS report of one train (when it passed each OS point).
// Each window has one entry point that opens it or brings the open one
// forward.
#pragma once

#include <QMenu>
#include <QPointer>
#include <QString>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "lists/active_lists.h"
#include "lists/list_frame.h"

class Corvane3Data;

// The texts of the active train list's cells for one running train (also what the other train lists show).
namespace trains {

// "(401)(402)": the trains of a joined train from its front, at most five, never the rear-most; empty for a
// train that is not joined. A damaged chain stops after 1,000 steps or at a train seen before.
QString PartOfTrainText(const Corvane3Data& store, int trainSlot);
// "Platform/07:05": the next platform stop still to make, in the train's direction; empty when none.
QString NextStationText(const Corvane3Data& store, int trainSlot);
// The head block's track name "first-second part".
QString BlockTrackText(const Corvane3Data& store, int block);
// The description of a train type; empty for a type out of range.
QString TypeText(const Corvane3Data& store, int type);
// " Train \"401\" OS Report".
QString OSReportCaption(const Corvane3Data& store, int trainSlot);
// "07:05 Tu (2)": an OS hit at a minute of the run.
QString OSHitText(int32_t minutes, int32_t startDay);

}  // namespace trains

// "Active Train List": one row per running train.
class TTActive : public TActiveList {
  Q_OBJECT

 public:
  enum SortMode { kById = 0, kByStatus = 3, kByEta = 4 };

  TTActive(Corvane3Data& store, QWidget* parent);
  // Keeps the sort order and the boxes in the option record.
  ~TTActive() override;

  void CmSort(int mode);
  void CmFindTrain();
  void CmProperties();
  void CmOS();
  // Selects the row of a running train (none when it is not listed) and gives the list the focus.
  void SelectTrain(int trainSlot);
  // The row pop-up while it is shown.
  QMenu* PopupMenu() const { return popup_.data(); }

 protected:
  std::vector<list::Row> Fill() override;

 private:
  void RightClicked(const QPoint& at);

  int sortMode_ = kByEta;
  QPointer<QMenu> popup_;
};

// "CTC Active Train List": in CTC control mode, one row per train in use (scheduled, running, or made for
// a train the field side reports), sorted by ID or by status.
class TTCTCActive : public TListFrame {
  Q_OBJECT

 public:
  enum SortMode { kById = 0, kByStatus = 3 };

  TTCTCActive(Corvane3Data& store, QWidget* parent);
  // Keeps the sort order in the option record.
  ~TTCTCActive() override;

  void CmSort(int mode);
  void CmFindTrain();
  // The train data dialog; after OK the list and the train's blocks are drawn again.
  void CmProperties();
  void CmOS();
  void SelectTrain(int trainSlot) { SelectRecord(trainSlot); }
  int SortMode() const { return sortMode_; }
  QMenu* PopupMenu() const { return popup_.data(); }

 protected:
  std::vector<list::Row> Fill() override;

 private:
  void RightClicked(const QPoint& at);

  int sortMode_ = kById;
  QPointer<QMenu> popup_;
};

// " Trains Arriving at Entrance Location \"E\"": the trains still to come on there, by ETA.
class TTArrival : public TListFrame {
  Q_OBJECT

 public:
  TTArrival(Corvane3Data& store, int location, QWidget* parent);
  ~TTArrival() override;

  int Location() const { return location_; }
  void CmProperties();

 protected:
  std::vector<list::Row> Fill() override;

 private:
  int location_;
  std::string name_;
};

// " Trains Stopping at Platform \"P\"": the stops still to make there, by time.
class TTPlatform : public TListFrame {
  Q_OBJECT

 public:
  TTPlatform(Corvane3Data& store, int platform, QWidget* parent);
  ~TTPlatform() override;

  int Platform() const { return platform_; }
  void CmFindTrain();
  void CmProperties();
  QMenu* PopupMenu() const { return popup_.data(); }

 protected:
  std::vector<list::Row> Fill() override;

 private:
  void RightClicked(const QPoint& at);

  int platform_;
  QPointer<QMenu> popup_;
};

// " Train \"401\" OS Report": per OS point, the times the train passed it (up to ten).
class TTrainOSWindow : public TListFrame {
  Q_OBJECT

 public:
  TTrainOSWindow(Corvane3Data& store, int trainSlot, QWidget* parent);
  ~TTrainOSWindow() override;

  int Train() const { return train_; }
  // Shows another train's report in this window.
  void SwitchTrain(int trainSlot, const QString& caption);
  void CmProperties();

 protected:
  std::vector<list::Row> Fill() override;

 private:
  int train_;
};

// The entry points: each opens its window, or shows the open one normally and brings it forward.
// "Trains" and a train pop-up's Status; trainSlot >= 0 selects that train's row.
TTActive* OpenActiveTrainList(Corvane3Data& store, QWidget* parent, int trainSlot = -1);
// "Trains" and the show-train request in CTC control mode.
TTCTCActive* OpenCTCActiveTrainList(Corvane3Data& store, QWidget* parent, int trainSlot = -1);
// An entrance location of the layout (location index 0-199); the open window of a location of the same name
// serves. Null for an index out of range.
TTArrival* OpenArrivalList(Corvane3Data& store, int location, QWidget* parent);
// A platform (index 0-99). Null for an index out of range or a platform not in use.
TTPlatform* OpenPlatformList(Corvane3Data& store, int platform, QWidget* parent);
// The platform a block carries: nothing when its platform name is empty or names no platform.
TTPlatform* OpenPlatformListOfBlock(Corvane3Data& store, int block, QWidget* parent);
// The one OS report, made for the train or switched to it. Null for a slot out of range.
TTrainOSWindow* OpenTrainOSReport(Corvane3Data& store, int trainSlot, QWidget* parent);
