// The two crew dialogs of the train pop-up: where the crew of a running train
// is changed, and the call of a relief crew for a time and place. Both leave
// their answer in the train's run-time record and end with 1 (OK, also after
// the refusal that closes) or 2 (Cancel); the engine's command acts on it.
#pragma once

#include <QDialog>
#include <cstdint>

class Corvane3Data;
class QLineEdit;
class QListWidget;

// Crew locations: a block 0-1999, or 10000 + a platform index; -1 none.
inline constexpr int kCrewPlatformLocation = 10000;

// The minutes it takes to send a crew to a location (0 for none or a platform without blocks).
int32_t CrewTravelMinutes(const Corvane3Data& store, int location);

class TCrewLocationDialog : public QDialog {
  Q_OBJECT

 public:
  QListWidget* Locations() const;

 protected:
  TCrewLocationDialog(QWidget* parent, Corvane3Data& store, int trainSlot, int templateId, const char* caption);
  // Blocks (not connectors) and platforms in use, with the train's crew change location selected.
  void FillLocations();
  // The selected entry as a location code, or the fallback when nothing is selected.
  int SelectedLocation(int fallback) const;
  // The refusals shared by both dialogs. True when the dialog has closed or refused.
  bool RefusedSecondChange();
  bool RefusedMovingTrain(int location);
  void ShowArrival(int location, int32_t arrival);

  Corvane3Data& store_;
  int slot_;
};

class TCrewChangeLocationDialog : public TCrewLocationDialog {
  Q_OBJECT

 public:
  TCrewChangeLocationDialog(QWidget* parent, Corvane3Data& store, int trainSlot);
  void accept() override;
};

class TCrewCallDialog : public TCrewLocationDialog {
  Q_OBJECT

 public:
  TCrewCallDialog(QWidget* parent, Corvane3Data& store, int trainSlot);
  QLineEdit* CallTime() const;
  void accept() override;

 private:
  // The list refilled and the call time back at two hours ahead, after any refusal.
  void Refill();
};
