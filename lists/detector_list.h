// The wayside detector list ("Wayside Detector Data") and the read-only
// display of one detector. Detectors are made with the territory-building
// program; nothing here changes them.
#pragma once

#include <QDialog>

#include "lists/list_frame.h"

class TTDetector : public TListFrame {
  Q_OBJECT

 public:
  TTDetector(Corvane3Data& store, QWidget* parent);

  // Shows the selected detector's display with the list hidden; the list comes back rebuilt, the row
  // still selected.
  void Edit();

 protected:
  std::vector<list::Row> Fill() override;
};

// The display of one detector: its name, whether it warns, and its warning and problem delays. OK
// refuses the change (the data is changed only where the territory is made) and closes.
class TDetectorInfo : public QDialog {
  Q_OBJECT

 public:
  TDetectorInfo(QWidget* parent, Corvane3Data& store, int detector);
  void accept() override;

 private:
  Corvane3Data& store_;
};
