// The start time list ("Start Times"): one row per start time with its days,
// its end and a column per train entry, and the read-only display of one
// start time with its trains. Start times are made with the
// territory-building program; the list keeps their content, but every
// rebuild stores each start time back with its train entries in order.
#pragma once

#include <QDialog>

#include "lists/list_frame.h"
#include "store/records.h"

// Moves a start time's train entries (those with a train) to the front, ordered by train slot (equal
// slots keep their order), all six fields of an entry together; every field of the positions after
// them becomes -1.
void NormaliseStartEntries(StartTime& start);

class TTStart : public TListFrame {
  Q_OBJECT

 public:
  TTStart(Corvane3Data& store, QWidget* parent);

  // View: shows the selected start time with the list hidden; the list is rebuilt after an OK.
  void Edit();
  // The "Train/Block/Direction" columns the last rebuild showed.
  int EntryColumns() const { return entryColumns_; }

 protected:
  std::vector<list::Row> Fill() override;

 private:
  int entryColumns_ = 1;
};

// The display of one start time. Its trains are listed one line each; choosing a line shows that train's
// entry in the fields below. OK (Enter) refuses any change and closes with OK.
class TStartInfo : public QDialog {
  Q_OBJECT

 public:
  TStartInfo(QWidget* parent, Corvane3Data& store, const StartTime& start);
  void accept() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void ShowSelectedEntry();

  Corvane3Data& store_;
};
