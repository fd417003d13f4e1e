// The start of a run and the functions it runs with. TSelectStart lists the
// territory's start times, one line per start time and day, and closes at the
// first click on a line with 1000 + that line's start code (Cancel: 2).
// TFunctionActiveDialog switches six functions of the simulation on or off.
#pragma once

#include <QDialog>
#include <cstdint>
#include <vector>

class Corvane3Data;
class QListWidget;

class TSelectStart : public QDialog {
 public:
  TSelectStart(QWidget* parent, Corvane3Data& store);

  // The start codes in list order (minute of day x 7 + day of week).
  const std::vector<int32_t>& Codes() const { return codes_; }

 private:
  void Choose(int row);

  Corvane3Data& store_;
  QListWidget* list_;
  std::vector<int32_t> codes_;
};

class TFunctionActiveDialog : public QDialog {
 public:
  TFunctionActiveDialog(QWidget* parent, Corvane3Data& store);

  // OK: each box into its option byte, the options stored.
  void accept() override;

 private:
  Corvane3Data& store_;
};
