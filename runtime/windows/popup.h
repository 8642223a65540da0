// POPUP: a popup menu shown at the mouse position, chosen from with the mouse
// or the keyboard, on the calling thread (modal, like a message box: the
// runtime lock is given up while it is open).
//
// The menu text holds the items separated by "|"; an item "-" is a
// separator; "~" before an item shows it disabled and "+" before it shows it
// checked; "&" marks an item's access letter as in menus.
#pragma once

#include <string_view>

namespace vaultrix::windows {

class EventEngine;

// Shows the popup and returns the number of the chosen item, counting from 1
// and not counting separators, or 0 when it was dismissed without a choice.
// A disabled item cannot be chosen.
[[nodiscard]] int Popup(EventEngine& engine, std::string_view menu_text);

}  // namespace vaultrix::windows
