// The moment a playback shows first: the recording's start, and the day, time
// and week to jump to. OK sets the clock to that moment (the replay then
// applies every record up to it at once) and keeps the scroll option.
#pragma once

#include <QDialog>
#include <cstdint>
#include <string>

class Corvane3Data;
class QLineEdit;

class TPlayBackTimeDialog : public QDialog {
  Q_OBJECT

 public:
  // Modal; exec() gives QDialog::Accepted when a jump moment was set, Rejected otherwise.
  TPlayBackTimeDialog(QWidget* parent, Corvane3Data& store, const std::string& playbackFile, int32_t clockAtStart);

  // The control with that id, or null.
  QWidget* Control(int id) const;
  // OK: checks the jump and sets the clock; a wrong field keeps the dialog open with the focus on it.
  void accept() override;

 private:
  void CmHelp();

  Corvane3Data& store_;
  int32_t clockAtStart_;
};
