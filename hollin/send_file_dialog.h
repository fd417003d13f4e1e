// "Send File": sends the lines of a prepared text file to the simulator as
// indications, so a tester can play any field event by hand.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QLineEdit;
class THollinData;

class TSendFile : public QDialog {
 public:
  TSendFile(THollinData& data, QWidget* parent = nullptr);

  // How "Open" shows a file (the desktop's text editor); tests replace it.
  void SetOpener(std::function<void(const std::string&)> opener) { opener_ = std::move(opener); }

 private:
  void Browse();
  void Open();
  void Send();

  THollinData& data_;
  QLineEdit* file_;
  std::function<void(const std::string&)> opener_;
};
