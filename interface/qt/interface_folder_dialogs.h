// The folder dialogs of the two message interfaces: the folder of the files
// and the switch of the interface's log. OK keeps the folder only when a file
// can be written there; otherwise the dialog says so and stays open.
#pragma once

#include <QDialog>

#include "interface/xfer_msg.h"

class Corvane3Data;

class TInterfaceFolderDialog : public QDialog {
  Q_OBJECT

 public:
  // The control with that id, or null.
  QWidget* Control(int id) const;
  void accept() override;

 protected:
  TInterfaceFolderDialog(QWidget* parent, Corvane3Data& store, xfer::Channel channel, int templateId,
                         const char* caption, const char* explanation, const char* logText);

 private:
  Corvane3Data& store_;
  xfer::Channel channel_;
};

// "Assign CTC Folder Name": the CTC control folder and its log switch.
class TCTCFolder : public TInterfaceFolderDialog {
  Q_OBJECT

 public:
  TCTCFolder(QWidget* parent, Corvane3Data& store);
};

// The External I/O folder (which also holds both logs) and its log switch.
class TExternalIOFolder : public TInterfaceFolderDialog {
  Q_OBJECT

 public:
  TExternalIOFolder(QWidget* parent, Corvane3Data& store);
};
