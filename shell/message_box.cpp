#include "shell/message_box.h"

#include <QMessageBox>

namespace {

void SetUp(QMessageBox& box, const std::string& text, const std::string& caption, MessageIcon icon) {
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
}

}  // namespace

void QtMessageService::ShowNotice(const std::string& text, const std::string& caption, MessageIcon icon) {
  auto* box = new QMessageBox(owner_.data());
  SetUp(*box, text, caption, icon);
  box->setStandardButtons(QMessageBox::Ok);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::ApplicationModal);
  box->show();
}

MessageResult QtMessageService::ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                                            MessageButtons buttons) {
  QMessageBox box(owner_.data());
  SetUp(box, text, caption, icon);
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
