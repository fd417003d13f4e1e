// The train data window ("Train Data"): every scheduled train in one of four
// views (General, Passenger Schedule, Work Schedule, Multiple Entries), sorted
// by ID or by entrance time, and the way into the train property sheet to add,
// copy, edit and delete trains. It is not refilled by the store's refresh of
// all lists: it refills itself after its own changes.
#pragma once

#include <QMenu>
#include <QPointer>
#include <vector>

#include "lists/list_frame.h"

class TTTrainWindow : public TListFrame {
  Q_OBJECT

 public:
  enum View { General = 0, MultipleEntries = 1, WorkSchedule = 2, PassengerSchedule = 3 };
  enum SortMode { ById = 0, ByTime = 1 };

  TTTrainWindow(Corvane3Data& store, QWidget* parent);

  // Refills the list for the current view and sort mode.
  void BuildData() { ListBuild(); }
  void SetView(View view);
  void SetSortMode(SortMode mode);
  View CurrentView() const { return view_; }

  void CmAdd();
  void CmCopy();
  void CmEdit();
  void CmDelete();
  // The train data report of the trains as the list shows them, on the program's printer.
  void CmPrint();
  void CmPrinterSetup();
  // Runs the train property sheet on one slot; a freshly claimed slot is released when the sheet is cancelled.
  void EditTrain(int slot, const QString& caption, bool releaseOnCancel);

  // The list's pop-up menu while it is up (its commands act on the selected train).
  QMenu* PopupMenu() const { return popup_; }

 protected:
  std::vector<list::Row> Fill() override;

 private:
  // The train slots in use, in the order of the sort mode.
  std::vector<int> SortedTrains() const;
  // The selected train's slot, or -1 after telling the user why there is none.
  int SelectedTrain();
  // The first free slot claimed, or -1 after telling the user that the schedule is full.
  int ClaimSlot();
  void ShowPopup(const QPoint& at);

  View view_ = General;
  SortMode sort_ = ById;
  QPointer<QMenu> popup_;
};
