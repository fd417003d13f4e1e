// The layout window's pop-up menus: what a right click on a block, switch or
// signal offers, built from the store without showing anything, and the one
// table that ties each pop-up command to its handler. A command without a
// handler (its window or dialog is not built yet) is offered greyed; giving
// it its handler in the table enables it everywhere.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "platform/popup_menu.h"

class Engine;
class TCorvane3Window;

namespace popup {

inline constexpr int kTrainSlots = 5;

// A menu and the running train each block train slot offers (-1 empty); a
// train command's id minus its base is the slot.
struct Menu {
  std::vector<PopupItem> Items;
  std::array<int32_t, kTrainSlots> Trains{-1, -1, -1, -1, -1};
};

// Whether a right click on the block shows a menu (else its property sheet opens at once).
bool BlockHasMenu(Engine& engine, int block);
Menu BlockMenu(Engine& engine, int block);
// The switch menu; no items when the switch's property display opens at once instead.
Menu SwitchMenu(Engine& engine, int switchIndex);
// The signal menu of the signal index (simulation modes only; the caller checks the mode).
Menu SignalMenu(Engine& engine, int signalIndex);

// The menu a right click on a device number shows (3000 + i and 13000 + i name the same signal): no
// items when it shows none. Pending entrance selections are the window's business and not looked at.
Menu MenuForDevice(Engine& engine, int device);

// The handler of a pop-up command id, or null while the command's window is not built (or not in the
// present mode).
using Handler = void (*)(TCorvane3Window& window, int id);
Handler HandlerFor(Engine& engine, int id);

}  // namespace popup
