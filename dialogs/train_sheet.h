// The train property sheet: one scheduled train, edited from the train data
// window or shown read-only for a running train. Its pages: General, Multiple
// Entries, Local Work Schedule and one Passenger Schedule page per ten
// platforms (dialogs/train_pages.h). Each page reads the train from the store
// when it fills its controls and, on Apply, checks every field first, then
// reads the train anew, changes its own fields and stores it, so the pages'
// changes add up and a page with one wrong field stores nothing.
#pragma once

#include <QString>
#include <vector>

#include "platform/property_sheet.h"
#include "store/records.h"

class Corvane3Data;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class TTrainPassenger;
class TTrainSheet;

// What every page of the sheet shares: the train slot, the view-only flag,
// filling once when first shown, the refusal that names the field to fix,
// and its help keyword.
class TTrainPage : public PropertyPage {
  Q_OBJECT

 public:
  TTrainPage(TTrainSheet& sheet, Corvane3Data& store, int slot, bool viewOnly, const QString& title, int templateId,
             const char* helpKeyword);

  // Fills the page the first time it is shown, then gives the focus to a field refused meanwhile.
  void SetActive() override;
  void Help() override;
  // Fills the page now when it has not been shown yet.
  void EnsureFilled();

 protected:
  virtual void Fill() = 0;
  // Shows a refusal (stop icon) and sends the focus to the control to fix.
  bool Refuse(const QString& text, QWidget* control);
  // The refusal of a field whose check has shown its own message.
  bool RefuseQuietly(QWidget* control);
  // False after refusing a new length below the territory's least; an empty field is no new length.
  bool NewLengthAccepted(QLineEdit* field, const QString& fieldName);
  // Stores the train; the first store of the sheet's run takes the backup of the editable tables first.
  void StoreTrain(const TrainData& train);
  // Every field, list and button the user changes enables Apply; filling does not.
  void ReportChanges();
  // A view-only page: fields read-only, lists and buttons greyed.
  void ShowOnly();
  void showEvent(QShowEvent* event) override;

  TTrainSheet& sheet_;
  Corvane3Data& store_;
  int slot_;
  bool viewOnly_;
  bool filled_ = false;

 private:
  // Gives the focus to the refused control once the page is on screen.
  void GivePendingFocus();

  const char* helpKeyword_;
  int focusId_ = -1;
};

class TTrainGeneral : public TTrainPage {
  Q_OBJECT

 public:
  TTrainGeneral(TTrainSheet& sheet, Corvane3Data& store, int slot, bool viewOnly);

  bool Apply() override;

 protected:
  void Fill() override;

 private:
  // The links of the other trains brought in step with this one's, old being the record before the store.
  void KeepLinksInStep(const TrainData& old, const TrainData& now);

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
  // The Passenger Schedule pages, in order.
  const std::vector<TTrainPassenger*>& PassengerPages() const { return passengerPages_; }

 private:
  Corvane3Data& store_;
  bool scheduleChanged_ = false;
  std::vector<TTrainPassenger*> passengerPages_;
};

// The sheet of a scheduled train for viewing only, as a running train's Properties shows it: caption
// "View Train \"ID description\"", every page read-only, no Apply, OK and Cancel store nothing.
// trainDataSlot is the train's schedule slot (a running train's TrainIndex); a slot without a train opens nothing.
void OpenTrainPropertiesViewOnly(Corvane3Data& store, int trainDataSlot, QWidget* parent);
