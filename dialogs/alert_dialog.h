// The alert options: for each alert kind whether it is raised, how many bell
// beeps go with it and which wave file plays, and the lateness at which the
// late-station-departure alert is raised. OK checks every named wave file and
// stores the settings, which also writes the option file.
#pragma once

#include <QDialog>
#include <string>

class Corvane3Data;
class QLineEdit;

class TAlertData : public QDialog {
 public:
  TAlertData(QWidget* parent, Corvane3Data& store);

  // OK: a missing or wrong wave file, or a failed write, keeps the dialog open.
  void accept() override;

 private:
  QLineEdit* WaveField(int row) const;
  // The row's wave file where it is looked for: a bare name in the program folder.
  std::string WavePath(int row) const;
  void CmTest(int row);
  void CmBrowse(int row);

  Corvane3Data& store_;
};
