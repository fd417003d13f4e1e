// Read-only displays of territory definitions made by the territory-building
// program: the switch property display and the block property sheet. They
// show a record and store nothing; a change the dispatcher types is refused
// with the read-only message.
#pragma once

#include <QDialog>
#include <QString>
#include <string>
#include <vector>

#include "platform/property_sheet.h"

class Corvane3Data;
class QCheckBox;
class QLabel;
class QLineEdit;

// A device as the displays name it: "(none)" for -1, "Block-%04d", "Switch-%04d" or "Diamond-%04d";
// empty for any other number (a signal or location is no neighbour of track).
QString PropertyDeviceText(int device);
// A block's length with its unit: the whole stored length in feet or meters, or with the long-unit flag
// miles or kilometers to one truncated decimal.
struct LengthText {
  QString Value;
  QString Unit;
};
LengthText BlockLengthText(int32_t length, bool englishUnits, bool longUnits);

// Switch Information: one switch's names, legs and reverse speeds by train type.
class TSwitchDialog : public QDialog {
 public:
  TSwitchDialog(QWidget* parent, Corvane3Data& store, int switchIndex);

  // Enter: the data cannot be changed here; the dialog closes with OK.
  void accept() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  Corvane3Data& store_;
};

// A page of the block sheet: it shows one block, and a change typed into it is refused when it would be
// applied.
class TBlockPage : public PropertyPage {
 public:
  TBlockPage(const QString& title, int templateId, Corvane3Data& store, int block, std::string helpKeyword);
  bool Apply() override;
  void Help() override;

 protected:
  // Marks the page changed on any edit of its fields (call once they are made).
  void WatchEdits();
  Corvane3Data& store_;
  const int block_;

 private:
  std::string helpKeyword_;
  bool typed_ = false;
};

class TBlockGeneral : public TBlockPage {
 public:
  TBlockGeneral(Corvane3Data& store, int block);

 private:
  void Fill();
};

class TBlockSpeed : public TBlockPage {
 public:
  TBlockSpeed(Corvane3Data& store, int block);
  // Refills the page from the store: typed text goes.
  bool Apply() override;

 private:
  void Fill();
  QLabel* heading_;
  std::vector<QLabel*> names_;
  std::vector<std::vector<QLineEdit*>> values_;   // per slot: left NONE, ONE, TWO, STARTUP, then right
  std::vector<std::vector<QCheckBox*>> helpers_;  // per slot: left, right
};

// Block Properties: the General Block Data and Block Speeds pages of one block.
class TBlockSheet : public PropertySheet {
 public:
  TBlockSheet(QWidget* parent, Corvane3Data& store, int block);

 protected:
  void showEvent(QShowEvent* event) override;
};
