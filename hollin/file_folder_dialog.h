// "Test File Folder Setup": the folder the two programs share and the polling
// interval. OK proves the folder writable before anything is stored.
#pragma once

#include <QDialog>

class QLineEdit;
class THollinData;

class TFileFolder : public QDialog {
 public:
  TFileFolder(THollinData& data, QWidget* parent = nullptr);

 private:
  void Store();

  THollinData& data_;
  QLineEdit* folder_;
  QLineEdit* interval_;
};
