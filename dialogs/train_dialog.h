// "Train Information": in CTC control mode the dispatcher names a train the
// field side reports (ID, type, length, crew expiration, entrance and exit).
// It edits the running train's record, not its schedule.
#pragma once

#include <QDialog>
#include <utility>

class Corvane3Data;
class QComboBox;
class QLabel;
class QLineEdit;

// The hours and minutes of a crew expiration as typed: "9:30", "930", "0930" or "5" (minutes only).
std::pair<int, int> SplitCrewTime(const QString& text);

class TTrainDialog : public QDialog {
 public:
  TTrainDialog(QWidget* parent, Corvane3Data& store, int trainSlot);

  // OK: stores the fields when they pass, else says what is wrong and stays open.
  void accept() override;

 private:
  void Fill();

  Corvane3Data& store_;
  int slot_;
  QLineEdit* id_;
  QLineEdit* number_;
  QComboBox* type_;
  QLineEdit* length_;
  QLineEdit* crew_;
  QComboBox* entrance_;
  QComboBox* exit_;
  QLabel* units_;
};

// Runs the dialog on a running train: 1 after a stored change, 2 otherwise.
int RunTrainDialog(Corvane3Data& store, int trainSlot, QWidget* parent);
