// The train property sheet: one scheduled train, edited from the train data
// window or shown read-only for a running train. Each page reads the train
// from the store when it fills its controls and, on Apply, reads it anew,
// changes its own fields and stores it, so the pages' changes add up.
#pragma once

#include <QString>

#include "platform/property_sheet.h"
#include "store/records.h"

class Corvane3Data;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class TTrainSheet;

class TTrainGeneral : public PropertyPage {
  Q_OBJECT

 public:
  TTrainGeneral(TTrainSheet& sheet, Corvane3Data& store, int slot, bool viewOnly);

  void SetActive() override;
  bool Apply() override;
  void Help() override;

 private:
  void Fill();
  // Shows a refusal and keeps the control to focus.
  bool Refuse(const char* text, QWidget* control);
  bool Refuse(const QString& text, QWidget* control);
  // The links of the other trains brought in step with this one's, old being the record before the store.
  void KeepLinksInStep(const TrainData& old, const TrainData& now);

  TTrainSheet& sheet_;
  Corvane3Data& store_;
  int slot_;
  bool viewOnly_;
  bool filled_ = false;
  int focusId_ = -1;

  QLineEdit* id_;
  QLineEdit* number_;
  QLineEdit* description_;
  QRadioButton* left_;
  QRadioButton* right_;
  QLineEdit* length_;
  QLabel* lengthUnits_;
  QComboBox* type_;
  QLineEdit* crewTime_;
  QComboBox* entrance_;
  QLineEdit* entranceTime_;
  QComboBox* createdFrom_;
  QComboBox* exit_;
  QComboBox* becomes_;
  QComboBox* becomesAt_;
  QLineEdit* becomesAfter_;
  QComboBox* splitsInto_;
  QCheckBox* scheduled_;
  QCheckBox* days_[7];
};

class TTrainSheet : public PropertySheet {
  Q_OBJECT

 public:
  // startPage: the page to open on (the train data window's view). viewOnly: the pages show the train and
  // store nothing, and the sheet has no Apply button.
  TTrainSheet(QWidget* parent, Corvane3Data& store, const QString& caption, int slot, int startPage, bool viewOnly);

  // A page is about to store the train: the first store of the run takes the backup of the editable tables.
  void BeforeStore();
  // True once a page has stored the train during this run.
  bool ScheduleChanged() const { return scheduleChanged_; }

 private:
  Corvane3Data& store_;
  bool scheduleChanged_ = false;
};
