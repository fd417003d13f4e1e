// The About box: the program's version and who made it.
#pragma once

#include <QDialog>

#include "store/corvane3_data.h"

class QLabel;

class TAbout : public QDialog {
 public:
  TAbout(QWidget* parent, Corvane3Data& store);
};
