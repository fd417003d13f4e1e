#include "shell/message_box.h"

#include <QMessageBox>

MessageResult QtMessageService::ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                                            MessageButtons buttons) {
  QMessageBox box(owner_.data());
  box.setWindowTitle(QString::fromStdString(caption));
  box.setText(QString::fromStdString(text));
  switch (icon) {
    case MessageIcon::None:
      box.setIcon(QMessageBox::NoIcon);
      break;
    case MessageIcon::Error:
      box.setIcon(QMessageBox::Critical);
      break;
    case MessageIcon::Warning:
      box.setIcon(QMessageBox::Warning);
      break;
    case MessageIcon::Information:
      box.setIcon(QMessageBox::Information);
      break;
    case MessageIcon::Question:
      box.setIcon(QMessageBox::Question);
      break;
  }
  switch (buttons) {
    case MessageButtons::Ok:
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case MessageButtons::OkCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      break;
    case MessageButtons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
    case MessageButtons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Yes:
      return MessageResult::Yes;
    case QMessageBox::No:
      return MessageResult::No;
    case QMessageBox::Cancel:
      return MessageResult::Cancel;
    default:
      break;
  }
  // Closing a box without choosing counts as its way out: No for a yes/no question, else Cancel or Ok.
  if (buttons == MessageButtons::YesNo) return MessageResult::No;
  if (buttons == MessageButtons::Ok) return MessageResult::Ok;
  return MessageResult::Cancel;
}
