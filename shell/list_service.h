// The core's list refills, on the main frame's registry of open list windows.
#pragma once

#include <QPointer>
#include <QWidget>

#include "store/services.h"

class Corvane3Data;

class QtListService : public ListService {
 public:
  explicit QtListService(Corvane3Data& store) : store_(store) {}

  bool IsListOpen(ListWindow list) override;
  void RefreshList(ListWindow list) override;
  bool IsArrivalWindowOpen(int index) override;
  void RefreshArrivalWindow(int index) override;
  bool IsPlatformWindowOpen(int platform) override;
  void RefreshPlatformWindow(int platform) override;
  // The one train OS report, switched to the train.
  void ShowTrainOSWindow(const std::string& caption, int trainSlot) override;
  void RefreshAllWindows() override;
  void CloseTrainGraph() override;

 private:
  Corvane3Data& store_;
};

// The registry entry of a list kind.
QPointer<QWidget>& ListWindowSlot(ListWindow list);
