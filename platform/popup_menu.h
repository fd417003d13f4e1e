// The pop-up menu of a window: items with command ids, shown at a screen
// point. The menu does not block: the chosen id arrives after it has closed,
// so a dialog the command opens is not opened from inside the menu.
#pragma once

#include <QMenu>
#include <QPoint>
#include <functional>
#include <string>
#include <vector>

struct PopupItem {
  int Id = 0;  // 0: a separator
  std::string Text;
  bool Enabled = true;
  bool operator==(const PopupItem&) const = default;
};

inline PopupItem PopupSeparator() { return {}; }

// Shows the items (each action's objectName is its id; a text's "&" shows as itself) and returns the menu,
// which deletes itself once closed. `chosen` gets the id of the item the user picks.
QMenu* ShowPopupMenu(QWidget* owner, const std::vector<PopupItem>& items, QPoint screenPoint,
                     std::function<void(int id)> chosen);
