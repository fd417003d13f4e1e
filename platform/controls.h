// Controls made with their resource id: every control carries its id as its
// objectName, so code and tests find it by the same id the templates use.
// Typed fields take only the characters their kind allows, up to a fixed
// length; whether the text makes sense is checked when the dialog is answered.
// The length governs typing only: a stored value longer than it is shown whole.
#pragma once

#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

// Marks a control (or a dialog, with its template id) with its id.
void SetControlId(QObject* control, int id);

// The control with that id among the window's children (at any depth), or null.
template <class Control = QWidget>
Control* FindControl(const QWidget* window, int id) {
  return window ? window->findChild<Control*>(QString::number(id)) : nullptr;
}

// A push button that does not take Enter for itself (the dialog's default button does).
QPushButton* MakeButton(QWidget* parent, int id, const QString& text);
// A field that shows a text and takes no typing.
QLineEdit* MakeReadOnlyField(QWidget* parent, int id, const QString& text, int maxChars);
// A field for any text up to maxChars characters.
QLineEdit* MakeTextField(QWidget* parent, int id, const QString& text, int maxChars);
// A time of day as typed: digits and ':' only, up to five characters (X:XX, XX:XX, XXX or XXXX) unless
// the template allows more.
inline constexpr int kTimeFieldChars = 5;
QLineEdit* MakeTimeField(QWidget* parent, int id, const QString& text, int maxChars = kTimeFieldChars);
// A whole number: digits only, up to maxDigits of them.
QLineEdit* MakeNumberField(QWidget* parent, int id, const QString& text, int maxDigits);

// Shows a stored value in a field whole, whatever its typing limit, and remembers it as what was shown.
void ShowStoredText(QLineEdit* field, const QString& text);
// True when the field's text is other than what was last shown in it: the user changed it.
bool TextEdited(const QLineEdit* field);
// What a number field gives back for a stored number: the stored value while the field is as shown, else
// the typed number, or `none` when the field was emptied.
template <class Number>
Number KeptNumber(const QLineEdit* field, Number stored, Number none) {
  if (!TextEdited(field)) return stored;
  return field->text().isEmpty() ? none : static_cast<Number>(field->text().toLongLong());
}

// The checks of a dialog's answer, run in field order. The first that fails
// has shown its own message; the run stops there, so the user sees one message
// at a time, and the focus goes to that field with its text selected.
class FieldChecks {
 public:
  // check: true when the field's text is acceptable (it reports its own refusal otherwise).
  FieldChecks& Add(QLineEdit* field, std::function<bool(const QString&)> check);
  // True when every check passed.
  bool Run() const;

 private:
  struct Check {
    QLineEdit* Field;
    std::function<bool(const QString&)> Accepts;
  };
  std::vector<Check> checks_;
};
