// The random-event parameters of the loaded territory: switch and signal
// failures, the train parameters per train type and the defect detector
// parameters per detector. Each edits its part of the store's RandomData; OK
// checks every shown field against its bound, one message at a time, and
// stores the whole record, which also writes the territory settings file.
#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "store/records.h"

class Corvane3Data;
class QGridLayout;

// What the three have in common: number fields with bounds, the working copy
// they fill, OK, Cancel and Help.
class TRandomParameterDialog : public QDialog {
 public:
  // OK: checks, stores and closes; a refused field or a failed write keeps the dialog open.
  void accept() override;

 protected:
  TRandomParameterDialog(QWidget* parent, Corvane3Data& store, int templateId, const QString& caption,
                         std::string helpKeyword);

  // A digits-only field showing value. bound: the highest value accepted (-1 none), with the
  // message shown above it. put: writes the field's value into the working copy.
  QLineEdit* AddNumber(int id, int value, int digits, int bound, const char* message,
                       std::function<void(RandomData&, int16_t)> put);
  // A step of the store that is no number field (a check box of a row).
  void AddPut(std::function<void(RandomData&)> put) { puts_.push_back(std::move(put)); }
  // Lays out the frame of fields and the button row below it.
  void Finish(QGridLayout* fields);

  Corvane3Data& store_;

 private:
  std::string helpKeyword_;
  FieldChecks checks_;
  std::vector<std::function<void(RandomData&)>> puts_;
};

class TRandomSwitchDialog : public TRandomParameterDialog {
 public:
  TRandomSwitchDialog(QWidget* parent, Corvane3Data& store);
};

class TRandomTrainDialog : public TRandomParameterDialog {
 public:
  TRandomTrainDialog(QWidget* parent, Corvane3Data& store);
};

class TRandomDetectorDialog : public TRandomParameterDialog {
 public:
  TRandomDetectorDialog(QWidget* parent, Corvane3Data& store);
};
