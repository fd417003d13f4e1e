// The two pickers of the train pop-up: at which coupled train a train is
// split, and in which block it is to stop. Neither changes a record: each ends
// with 1000 + the choice, or 2 for none, and the engine's command does the work.
#pragma once

#include <QDialog>
#include <string>

class Corvane3Data;
class QListWidget;

class TSplitTrainDialog : public QDialog {
  Q_OBJECT

 public:
  TSplitTrainDialog(QWidget* parent, Corvane3Data& store, const std::string& caption, int trainSlot);
  QListWidget* Trains() const;
  void accept() override;

 private:
  Corvane3Data& store_;
  int slot_;
};

class TStopTrainDialog : public QDialog {
  Q_OBJECT

 public:
  TStopTrainDialog(QWidget* parent, Corvane3Data& store, const std::string& caption);
  QListWidget* Blocks() const;
  void accept() override;
};
