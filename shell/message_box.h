// Message boxes: the Qt side of the core's one gate for messages to the user.
#pragma once

#include <QPointer>
#include <QWidget>

#include "store/services.h"

class QtMessageService : public MessageService {
 public:
  explicit QtMessageService(QWidget* owner = nullptr) : owner_(owner) {}
  void SetOwner(QWidget* owner) { owner_ = owner; }

  // A modal box with the caption, icon and buttons asked for; returns the button chosen.
  MessageResult ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                            MessageButtons buttons) override;
  // The same box, modal to the user but not to the caller: it is shown and closes itself when answered.
  void ShowNotice(const std::string& text, const std::string& caption, MessageIcon icon) override;

 private:
  QPointer<QWidget> owner_;
};
