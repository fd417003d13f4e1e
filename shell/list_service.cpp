#include "shell/list_service.h"

#include "lists/list_frame.h"
#include "shell/corvane3_dec.h"
#include "shell/globals.h"
#include "shell/train_lists.h"
#include "store/corvane3_data.h"

namespace {

// Rebuilds the window when it is a list frame (every list window is).
void Rebuild(QWidget* window) {
  if (auto* frame = qobject_cast<TListFrame*>(window)) frame->ListBuild();
}

template <size_t N>
QWidget* Slot(std::array<QPointer<QWidget>, N>& windows, int index) {
  return index >= 0 && index < static_cast<int>(N) ? windows[static_cast<size_t>(index)].data() : nullptr;
}

}  // namespace

QPointer<QWidget>& ListWindowSlot(ListWindow list) {
  DataWindows& w = TheDataWindows;
  switch (list) {
    case ListWindow::TrainTypes:
      return w.TrainTypes;
    case ListWindow::Detectors:
      return w.Detectors;
    case ListWindow::Locations:
      return w.EntranceExit;
    case ListWindow::SlowOrders:
      return w.SlowOrders;
    case ListWindow::Permits:
      return w.BlockPermits;
    case ListWindow::StartTimes:
      return w.StartTimes;
    case ListWindow::OSPoints:
      return w.OSData;
    case ListWindow::TrainOS:
      return w.TrainOS;
    case ListWindow::ActiveTrains:
      return w.ActiveTrains;
    case ListWindow::CTCActiveTrains:
      return w.CTCActiveTrains;
    case ListWindow::ActiveSlowOrders:
      return w.ActiveSlowOrders;
    case ListWindow::ActivePermits:
      return w.ActivePermits;
    case ListWindow::CTCActivePermits:
      return w.CTCActivePermits;
  }
  return w.OSData;
}

bool QtListService::IsListOpen(ListWindow list) { return !ListWindowSlot(list).isNull(); }

void QtListService::RefreshList(ListWindow list) { Rebuild(ListWindowSlot(list).data()); }

bool QtListService::IsArrivalWindowOpen(int index) { return Slot(TheDataWindows.ArrivalWindows, index) != nullptr; }

void QtListService::RefreshArrivalWindow(int index) { Rebuild(Slot(TheDataWindows.ArrivalWindows, index)); }

bool QtListService::IsPlatformWindowOpen(int platform) {
  return Slot(TheDataWindows.PlatformWindows, platform) != nullptr;
}

void QtListService::RefreshPlatformWindow(int platform) { Rebuild(Slot(TheDataWindows.PlatformWindows, platform)); }

void QtListService::ShowTrainOSWindow(const std::string&, int trainSlot) {
  // The report builds the same caption from the train's ID.
  OpenTrainOSReport(store_, trainSlot, TheMainFrame);
}

void QtListService::RefreshAllWindows() { store_.RefreshAllWindows(); }

// The graph's days are fixed when it opens: a new territory or run closes it instead of refreshing it.
void QtListService::CloseTrainGraph() { delete TheDataWindows.TrainGraph.data(); }
