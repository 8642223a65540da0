// The class names under which the event engine builds windows, controls and
// frame furniture in the window system, and what each one's fields mean.
// The engine writes them and every display driver reads them, so both
// include this header. The window system keeps windows, not menus or status
// bars: each piece of furniture is a control window whose fields carry what
// a driver shows. `display` is the window's DisplayAttributes.
//
// | class        | kind / parent               | fields                                              |
// |--------------|-----------------------------|-----------------------------------------------------|
// | "FRAME"      | kFrame                      | text = caption; style; display: font, icon          |
// | "MDICLIENT"  | kMdiClient, of the frame    | children: the MDI children                          |
// | "WINDOW"     | kPlain or kMdiChild         | text, style, rect (client size); display: font,     |
// |              |                             | icon, modal, claimed_keys                           |
// | "MENUBAR"    | of a window                 | children "MENU" and "ITEM", in order                |
// | "MENU"       | of "MENUBAR" or "MENU"      | text ("&File"); display: action (1: lists the MDI    |
// |              |                             | children), accelerator; children                    |
// | "ITEM"       | of "MENUBAR" or "MENU"      | text; control_id (negative); check; enabled;        |
// |              |                             | display: action, accelerator, separator, tooltip     |
// | "TOOLBAR"    | of a window                 | rect (height used); children placed by rect         |
// | "STATUSBAR"  | of a window                 | rows: one text per zone; display.zone_widths in     |
// |              |                             | dialog units, -1 for the zone that stretches        |
// | "STRING"     | control                     | text                                                |
// | "PROMPT"     | control                     | text ("&Name:" gives its neighbour's mnemonic)       |
// | "IMAGE"      | control                     | display.image (resource name of type "IMAGE")       |
// | "ENTRY"      | control                     | text (edits written back)                           |
// | "TEXT"       | control                     | text, several lines (edits written back)            |
// | "BUTTON"     | control                     | text; display.default_button, image, tooltip        |
// | "CHECK"      | control                     | text; check (0 or 1, written back)                  |
// | "OPTION"     | control, holds "RADIO"s     | text; value = 1-based number of the chosen radio    |
// | "RADIO"      | of "OPTION"                 | text; check (written back)                          |
// | "GROUP"      | control, holds controls     | text                                                |
// | "SPIN"       | control                     | text; display.low/high/step (written back as text)  |
// | "PROGRESS"   | control                     | value; display.high (0: 100)                        |
// | "SHEET"      | control, holds "TAB"s       | value = 1-based number of the tab shown             |
// | "TAB"        | of "SHEET", holds controls  | text                                                |
// | "BOX"        | control                     | nothing but its place                               |
// | "LIST"       | control                     | rows: visible rows, cells joined by '\t'; text: the |
// |              |                             | header lines joined by '\n' (display.header_lines   |
// |              |                             | when text is empty); value = selected row among the |
// |              |                             | rows (0-based, -1 none); vertical_scroll = thumb in |
// |              |                             | vertical_low..vertical_high, no bar when high <= low|
// |              |                             | list_columns: width (dialog units) and resizable    |
// |              |                             | flag of each cell's column                          |
//
// Menu bars, toolbars and status bars are shown with their window whatever
// their own visible flag says.
//
// What a driver reports, as input in the owning thread's queue:
// - a menu item chosen or a toolbar control pressed: kWmCommand to the window
//   that holds the bar, wparam = control id in its low 16 bits, lparam = the
//   item's handle. Standard actions 1 to 4 are the driver's own (window list,
//   tile, cascade, arrange icons) and are not reported;
// - a button, check box or radio pressed: its new check (and the option
//   group's value, from 1) set first, then kWmCommand to the window that
//   holds it with kBnClicked in wparam's high word and the control id in its
//   low 16 bits, lparam = the control's handle; Enter on anything but a
//   button presses the window's default button the same way, after the key;
// - a tab chosen: the sheet's value (from 1) set first, then kWmCommand with
//   kLbnSelChange; mouse messages on these controls only give the key code;
// - an edit: the window system's text (or check, value) is set first, then
//   kWmCommand with the notification code in wparam's high word;
// - keys, mouse buttons and focus changes through InjectKey, InjectMouse and
//   SetFocus (a left press on an "IMAGE" is its click: the engine raises
//   its accepted event); a key whose code (masked with 0x7FF) is in the window's
//   claimed_keys never reaches the widget, only the window system;
// - list scroll-bar actions: kWmVScroll to the list, wparam =
//   MakeScrollParam(kSb* action, thumb position) (window_messages.h);
// - mouse presses on a list (its rows, below them, its header) as the mouse
//   messages themselves, through InjectMouse, so that the engine's keyboard
//   translation gives them their key code (1, 2, 5, 6 with Shift and Ctrl)
//   and the window's alert keys can claim them. A driver that lays the rows
//   out itself adds ListRowParam(page row) to wparam: the engine then takes
//   that row of the page it published (kListNoRow: below the last row or on
//   the header) exactly as its own click on it: the selection moves and the
//   list's events follow (NewSelection; Accepted on a left double click; a
//   right click always tells; the list's alert keys). Without it the engine
//   finds the row from the pixel y in its own geometry (rows one character
//   height below the header lines), as the headless driver and scripts use
//   it. The driver leaves its table's own selection alone; a press on the
//   list's scroll bar is no click on the list (the bar reports its actions);
// - a column divider dragged: kListColumnWidth to the list, wparam = the
//   column (from 0), lparam = its new width in dialog units of the list's
//   font. The engine takes it for resizable ("M") columns only and then
//   publishes the new list_columns; a driver lets the user drag no other
//   column.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/window_messages.h"

namespace vaultrix::platform {

inline constexpr std::string_view kFrameClass = "FRAME";
inline constexpr std::string_view kMdiClientClass = "MDICLIENT";
inline constexpr std::string_view kWindowClass = "WINDOW";
inline constexpr std::string_view kMenuBarClass = "MENUBAR";
inline constexpr std::string_view kMenuClass = "MENU";
inline constexpr std::string_view kItemClass = "ITEM";
inline constexpr std::string_view kToolbarClass = "TOOLBAR";
inline constexpr std::string_view kStatusBarClass = "STATUSBAR";
inline constexpr std::string_view kStringClass = "STRING";
inline constexpr std::string_view kPromptClass = "PROMPT";
inline constexpr std::string_view kImageClass = "IMAGE";
inline constexpr std::string_view kEntryClass = "ENTRY";
inline constexpr std::string_view kTextClass = "TEXT";
inline constexpr std::string_view kButtonClass = "BUTTON";
inline constexpr std::string_view kCheckClass = "CHECK";
inline constexpr std::string_view kOptionClass = "OPTION";
inline constexpr std::string_view kRadioClass = "RADIO";
inline constexpr std::string_view kGroupClass = "GROUP";
inline constexpr std::string_view kSpinClass = "SPIN";
inline constexpr std::string_view kProgressClass = "PROGRESS";
inline constexpr std::string_view kSheetClass = "SHEET";
inline constexpr std::string_view kTabClass = "TAB";
inline constexpr std::string_view kBoxClass = "BOX";
inline constexpr std::string_view kListClass = "LIST";

// Standard actions of menus and items that the display driver carries out.
inline constexpr int kWindowListAction = 1;
inline constexpr int kTileAction = 2;
inline constexpr int kCascadeAction = 3;
inline constexpr int kArrangeIconsAction = 4;

// Notification codes in the high word of kWmCommand's wparam.
inline constexpr std::uint32_t kBnClicked = 0x0000;
inline constexpr std::uint32_t kEnChange = 0x0300;
inline constexpr std::uint32_t kLbnSelChange = 0x0001;
inline constexpr std::uint32_t kLbnDblClk = 0x0002;

// Scroll-bar actions of kWmVScroll (kSbLineUp ...) are in window_messages.h.

// The thumb's range of a list's vertical scroll bar.
inline constexpr int kListScrollRange = 100;

// A list's mouse press with the page row the driver saw under the pointer:
// bits 16 to 31 of wparam hold the row + 2, or 1 for no row (below the last
// row, or the header); 0 leaves the row to the pixel position.
inline constexpr int kListNoRow = -1;
[[nodiscard]] constexpr std::uintptr_t ListRowParam(int page_row) {
  const int tag = page_row < 0 ? 1 : (page_row > 0xFFFD ? 0xFFFF : page_row + 2);
  return static_cast<std::uintptr_t>(tag) << 16;
}
// The row a mouse message's wparam names: kListNoRow, a page row, or -2 when
// the message names none.
inline constexpr int kListRowNotGiven = -2;
[[nodiscard]] constexpr int ListRowOfParam(std::uintptr_t wparam) {
  const auto tag = static_cast<int>((wparam >> 16) & 0xFFFF);
  return tag == 0 ? kListRowNotGiven : tag - 2;
}

// A list column's width as the user dragged it (see above).
inline constexpr std::uint32_t kListColumnWidth = kWmUser + 0x0E01;

// A status zone's width that takes what the other zones leave.
inline constexpr int kStretchZone = -1;

// Positions and sizes of 0x80000000 leave the choice to the display.
inline constexpr int kDefaultPosition = static_cast<int>(0x80000000u);

// Key codes as programs compare them: the virtual key and Shift, Ctrl, Alt.
inline constexpr std::int32_t kKeyCodeMask = 0x7FF;
inline constexpr std::int32_t kKeyShift = 0x100;
inline constexpr std::int32_t kKeyCtrl = 0x200;
inline constexpr std::int32_t kKeyAlt = 0x400;

}  // namespace vaultrix::platform
