// The train type list ("Train Type") and the train type dialog. The list
// shows the ten types with their locomotive and caboose pictures; the dialog
// shows one type and takes new picture file names for it. Everything else
// about a type is made with the territory-building program and only shown.
#pragma once

#include <QDialog>
#include <string>

#include "lists/list_frame.h"

class QLineEdit;

class TTTrainType : public TListFrame {
  Q_OBJECT

 public:
  TTTrainType(Corvane3Data& store, QWidget* parent);

  // Edit: the selected type's dialog with the list hidden; the list is rebuilt after an OK.
  void Edit();

 protected:
  std::vector<list::Row> Fill() override;
};

// The train type dialog. OK stores the three picture file names only (each must be given); the
// pictures are drawn from the next load of a track file on.
class TTrainType : public QDialog {
  Q_OBJECT

 public:
  TTrainType(QWidget* parent, Corvane3Data& store, int trainType);
  void accept() override;

  // Browse for the picture of one field (the id of its path field): a bitmap file chosen there goes
  // into the field; a file that is no bitmap is left out without a word.
  void Browse(int fieldId);

 private:
  Corvane3Data& store_;
  int trainType_;
};
