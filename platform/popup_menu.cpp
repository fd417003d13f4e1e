#include "platform/popup_menu.h"

#include <QAction>

QMenu* ShowPopupMenu(QWidget* owner, const std::vector<PopupItem>& items, QPoint screenPoint,
                     std::function<void(int id)> chosen) {
  auto* menu = new QMenu(owner);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  for (const PopupItem& item : items) {
    if (item.Id == 0) {
      menu->addSeparator();
      continue;
    }
    // Names from the territory may hold "&": doubled, it is shown rather than taken as a mnemonic.
    QAction* action = menu->addAction(QString::fromLatin1(item.Text).replace('&', "&&"));
    action->setObjectName(QString::number(item.Id));
    action->setEnabled(item.Enabled);
    const int id = item.Id;
    QObject::connect(
        action, &QAction::triggered, owner, [chosen, id] { chosen(id); }, Qt::QueuedConnection);
  }
  menu->popup(screenPoint);
  return menu;
}
