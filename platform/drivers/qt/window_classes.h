// How the frame furniture and the simple controls appear in the window
// system, as the Qt driver reads them. The window system keeps windows, not
// menus or status bars, so each piece of furniture is a control window of
// its own whose fields carry what the driver shows:
//
// | class        | parent                 | fields the driver reads                              |
// |--------------|------------------------|------------------------------------------------------|
// | "MENUBAR"    | a frame, plain window  | its children, in order: "MENU" and "MENUITEM"          |
// |              | or MDI child           |                                                        |
// | "MENU"       | "MENUBAR" or "MENU"    | text ("&File"); style & 0xFFFF = standard action (1:   |
// |              |                        | the menu that lists the MDI children); children        |
// | "MENUITEM"   | "MENUBAR" or "MENU"    | text; control_id = the command posted when chosen;     |
// |              |                        | value = accelerator key code; style & 0xFFFF =         |
// |              |                        | standard action; check; enabled; an item with empty    |
// |              |                        | text and no id is a separator                          |
// | "TOOLBAR"    | a frame or window      | rect (height used); children "BUTTON" placed by rect   |
// | "STATUSBAR"  | a frame or window      | children "STATUSZONE": text; rect.width in dialog      |
// |              |                        | units, -1 for the zone that takes the remaining width  |
// | "STATIC"     | any window             | text                                                   |
// | "BUTTON"     | any window             | text; enabled; visible                                 |
// | "EDIT"       | any window             | text (edits are reported back)                         |
// | "LISTBOX"    | any window             | rows; value = selected row (0-based, -1 none)          |
//
// Standard actions 2, 3 and 4 (tile, cascade, arrange icons) are done by
// the driver on the MDI area; choosing any other item or a toolbar button
// posts kWmCommand to the window that holds the menu bar or toolbar: wparam is the command id in its low
// 16 bits, lparam the item's or button's handle. A button in a window posts
// kWmCommand with BN_CLICKED (0) in the high word; an edit posts EN_CHANGE
// after the window system's text has been updated.
#pragma once

#include <cstdint>
#include <string_view>

namespace vaultrix::platform::qt {

inline constexpr std::string_view kMenuBarClass = "MENUBAR";
inline constexpr std::string_view kMenuClass = "MENU";
inline constexpr std::string_view kMenuItemClass = "MENUITEM";
inline constexpr std::string_view kToolBarClass = "TOOLBAR";
inline constexpr std::string_view kStatusBarClass = "STATUSBAR";
inline constexpr std::string_view kStatusZoneClass = "STATUSZONE";
inline constexpr std::string_view kStaticClass = "STATIC";
inline constexpr std::string_view kButtonClass = "BUTTON";
inline constexpr std::string_view kEditClass = "EDIT";
inline constexpr std::string_view kListBoxClass = "LISTBOX";

// Standard actions of menus and items.
inline constexpr int kWindowListAction = 1;  // the menu that lists the MDI children
inline constexpr int kTileAction = 2;
inline constexpr int kCascadeAction = 3;
inline constexpr int kArrangeIconsAction = 4;
[[nodiscard]] constexpr int StandardActionOf(std::uint32_t style) {
  return static_cast<int>(style & 0xFFFF);
}

// Notification codes in the high word of kWmCommand's wparam.
inline constexpr std::uint32_t kBnClicked = 0x0000;
inline constexpr std::uint32_t kEnChange = 0x0300;
inline constexpr std::uint32_t kLbnSelChange = 0x0001;

// A status zone's width that takes what the other zones leave.
inline constexpr int kStretchZone = -1;

// Positions and sizes of 0x80000000 leave the choice to the display.
inline constexpr int kDefaultPosition = static_cast<int>(0x80000000u);

}  // namespace vaultrix::platform::qt
