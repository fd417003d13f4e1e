// The store-aware half of the dialog kit (the controls and the property sheet
// are in platform/): Help through the help service, the refusal of read-only
// displays, time fields checked by the store's rule, and the dialog lock.
#pragma once

#include <QDialog>
#include <QHBoxLayout>
#include <QLayout>
#include <QPushButton>
#include <QString>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

class Corvane3Data;

// A Help button: the help file at the keyword, or the help-not-available message.
void ShowHelp(Corvane3Data& store, const std::string& keyword);

// A Help button of the dialog showing the keyword's help.
QPushButton* MakeHelpButton(QDialog& dialog, Corvane3Data& store, int helpId, const std::string& keyword);
// A Cancel button (id 2) that rejects the dialog.
QPushButton* MakeCancelButton(QDialog& dialog);
// The buttons in a row, centred.
QHBoxLayout* CentredButtonRow(std::initializer_list<QPushButton*> buttons);

// Lays a dialog out as an etched frame round its fields over the centred OK, Cancel and Help
// row: OK runs the dialog's accept(), Cancel its reject(), Help the keyword's help.
void LayOutFramedDialog(QDialog& dialog, QLayout* fields, Corvane3Data& store, int helpId, const std::string& keyword);
// The same with OK and Cancel only, for a dialog that has no Help button.
void LayOutFramedDialog(QDialog& dialog, QLayout* fields);

// OK of a read-only display of territory definitions: says the data is changed elsewhere.
void RefuseReadOnlyChange(Corvane3Data& store);

// "HH:MM" of a simulation clock (seconds, any day, negative wrapped), as the time fields show it.
QString ClockTimeOfDay(int32_t clock);

// A FieldChecks check for a time field: the store's time rule, whose message names the field.
std::function<bool(const QString&)> TimeFieldCheck(Corvane3Data& store, const std::string& fieldName);

// The one-dialog lock for an edit dialog, held for the guard's life. When
// another dialog holds it the store has said so and Held() is false: the
// caller opens nothing.
class DialogLock {
 public:
  explicit DialogLock(Corvane3Data& store);
  ~DialogLock();
  DialogLock(const DialogLock&) = delete;
  DialogLock& operator=(const DialogLock&) = delete;
  bool Held() const { return held_; }

 private:
  Corvane3Data& store_;
  bool held_;
};
