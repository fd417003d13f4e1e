// "Territory Information": the loaded territory's description (name, origin,
// author, copyright, comments file), shown but never stored here: the
// territory-building program writes it. The comments file opens in the
// desktop's editor, and Print prints what the dialog shows.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <string>

#include "platform/shell_open.h"
#include "store/records.h"

class Corvane3Data;
class QButtonGroup;
class QKeyEvent;
class QLineEdit;
class QPlainTextEdit;

// Where a comments file name points: a relative name lies beside the territory's track file.
QString CommentsFilePath(const Corvane3Data& store, const QString& name);

class TTerritoryData : public QDialog {
 public:
  struct Actions {
    // The desktop's "open" of a file.
    std::function<ShellOpenResult(const std::string&)> Open;
    // Prints the description as given; the store is not touched.
    std::function<void(const TerritoryData&)> Print;
    std::function<void()> PrintSetup;
  };

  TTerritoryData(QWidget* parent, Corvane3Data& store, Actions actions);

  // The description as the fields show it now, over the stored record's other bytes.
  TerritoryData Shown() const;
  void CmOpen();
  void CmPrint();

 protected:
  void accept() override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  Corvane3Data& store_;
  Actions actions_;
  QLineEdit *name_, *version_, *country_, *railroad_, *division_, *from_, *to_, *year_, *trackFile_, *author_, *email_,
      *commentsFile_;
  QPlainTextEdit *address_, *notice_;
  QButtonGroup* copyright_;
};
