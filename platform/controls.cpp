#include "platform/controls.h"

#include <QRegularExpressionValidator>
#include <QVariant>
#include <algorithm>

namespace {

constexpr char kTypingLimit[] = "typingLimit";
constexpr char kShownText[] = "shownText";

QLineEdit* MakeField(QWidget* parent, int id, const QString& text, int maxChars, const char* allowed) {
  auto* field = new QLineEdit(parent);
  SetControlId(field, id);
  field->setProperty(kTypingLimit, maxChars);
  field->setMaxLength(maxChars);
  if (allowed) field->setValidator(new QRegularExpressionValidator(QRegularExpression(allowed), field));
  ShowStoredText(field, text);
  return field;
}

}  // namespace

void SetControlId(QObject* control, int id) { control->setObjectName(QString::number(id)); }

QPushButton* MakeButton(QWidget* parent, int id, const QString& text) {
  auto* button = new QPushButton(text, parent);
  SetControlId(button, id);
  button->setAutoDefault(false);
  return button;
}

QLineEdit* MakeReadOnlyField(QWidget* parent, int id, const QString& text, int maxChars) {
  QLineEdit* field = MakeField(parent, id, text, maxChars, nullptr);
  field->setReadOnly(true);
  return field;
}

QLineEdit* MakeTextField(QWidget* parent, int id, const QString& text, int maxChars) {
  return MakeField(parent, id, text, maxChars, nullptr);
}

QLineEdit* MakeTimeField(QWidget* parent, int id, const QString& text, int maxChars) {
  return MakeField(parent, id, text, maxChars, "[0-9:]*");
}

QLineEdit* MakeNumberField(QWidget* parent, int id, const QString& text, int maxDigits) {
  return MakeField(parent, id, text, maxDigits, "[0-9]*");
}

void ShowStoredText(QLineEdit* field, const QString& text) {
  // A field's own maximum would cut the text as it is set: it is widened to hold the value whole.
  const QVariant limit = field->property(kTypingLimit);
  const int typing = limit.isValid() ? limit.toInt() : field->maxLength();
  field->setMaxLength(std::max(typing, static_cast<int>(text.size())));
  field->setText(text);
  // A text wider than its field shows its start, as it reads, not the end where setText leaves the cursor.
  field->setCursorPosition(0);
  field->setProperty(kShownText, text);
}

bool TextEdited(const QLineEdit* field) {
  const QVariant shown = field->property(kShownText);
  return !shown.isValid() || field->text() != shown.toString();
}

FieldChecks& FieldChecks::Add(QLineEdit* field, std::function<bool(const QString&)> check) {
  checks_.push_back({field, std::move(check)});
  return *this;
}

bool FieldChecks::Run() const {
  for (const Check& check : checks_) {
    if (check.Accepts(check.Field->text())) continue;
    check.Field->setFocus();
    check.Field->selectAll();
    return false;
  }
  return true;
}
