// Layout of a compiled window description, shared by the resource compiler
// (tools/rescomp), which writes it, and the loader, which reads it.
//
// A description is a resource of type "DABDUMP" named after the module
// ("VLTRX001_RSC" for "VAULTRIX$vltrx001"):
//
//   position      width     content
//   0             variable  full module name, NUL-terminated
//   after the NUL rest      the body
//
// The loader copies the body to offset 2 of a buffer whose first byte is 0;
// every reference inside the body is a u32 offset into that buffer, so 0
// means "none". Numbers are little-endian, records packed. The body's first
// u32 is the offset of the first top-level structure (window or report);
// structures chain through their next links. Every record begins with
//
//   0 u8 type  1 u32 next  5 u32 attribute flags  9 u32 drop-target list
//
// and controls, menus and items continue with 13 i32 control number and
// 17 u32 control name. The field offsets of every kind are in kKindLayouts.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace vaultrix::windows::rsc {

inline constexpr std::string_view kResourceType = "DABDUMP";
inline constexpr std::string_view kResourceNameSuffix = "_RSC";
inline constexpr std::uint32_t kBodyOrigin = 2;              // buffer offset of body byte 0
inline constexpr std::int32_t kDefaultPosition = INT32_MIN;  // 0x80000000: the platform chooses

// Type codes.
inline constexpr std::uint8_t kValueString = 0x01;
inline constexpr std::uint8_t kString = 0x02;
inline constexpr std::uint8_t kImage = 0x03;
inline constexpr std::uint8_t kEntry = 0x08;
inline constexpr std::uint8_t kButton = 0x09;
inline constexpr std::uint8_t kPrompt = 0x0A;
inline constexpr std::uint8_t kOptionGroup = 0x0B;
inline constexpr std::uint8_t kCheck = 0x0C;
inline constexpr std::uint8_t kGroup = 0x0D;
inline constexpr std::uint8_t kList = 0x0E;
inline constexpr std::uint8_t kSpin = 0x10;
inline constexpr std::uint8_t kTextBox = 0x11;
inline constexpr std::uint8_t kMenu = 0x13;
inline constexpr std::uint8_t kItem = 0x14;
inline constexpr std::uint8_t kRadio = 0x15;
inline constexpr std::uint8_t kMenuBar = 0x16;
inline constexpr std::uint8_t kToolbar = 0x17;
inline constexpr std::uint8_t kWindow = 0x19;
inline constexpr std::uint8_t kReport = 0x1A;
inline constexpr std::uint8_t kHeaderBand = 0x1B;
inline constexpr std::uint8_t kDetailBand = 0x1C;
inline constexpr std::uint8_t kFooterBand = 0x1F;
inline constexpr std::uint8_t kProgress = 0x23;
inline constexpr std::uint8_t kSheet = 0x25;
inline constexpr std::uint8_t kTab = 0x26;
inline constexpr std::uint8_t kPanel = 0x27;

// Header fields common to every record.
inline constexpr std::uint32_t kTypeAt = 0;
inline constexpr std::uint32_t kNextAt = 1;
inline constexpr std::uint32_t kFlagsAt = 5;
inline constexpr std::uint32_t kDropAt = 9;
inline constexpr std::uint32_t kNumberAt = 13;
inline constexpr std::uint32_t kNameAt = 17;
inline constexpr std::uint32_t kControlHeaderSize = 21;

// Window record (type 0x19), also the report record (type 0x1A, where the
// position is the page in thousandths of an inch and the first control is
// the first band).
inline constexpr std::uint32_t kWindowSize = 109;
inline constexpr std::uint32_t kWindowPositionAt = 13;  // x, y, width, height
inline constexpr std::uint32_t kWindowFirstControlAt = 29;
inline constexpr std::uint32_t kWindowStructureNameAt = 33;
inline constexpr std::uint32_t kWindowFontAt = 37;
inline constexpr std::uint32_t kWindowTitleAt = 41;
inline constexpr std::uint32_t kWindowColoursAt = 53;
inline constexpr std::uint32_t kWindowIconAt = 57;
inline constexpr std::uint32_t kWindowHelpAt = 61;        // help keyword
inline constexpr std::uint32_t kWindowStatusTextAt = 69;  // text shown in the status bar
inline constexpr std::uint32_t kWindowExtraBlockAt = 77;  // two offsets: held, not interpreted
inline constexpr std::uint32_t kWindowAttributesAt = 81;
inline constexpr std::uint32_t kWindowPaletteAt = 85;
inline constexpr std::uint32_t kWindowTimerAt = 89;
inline constexpr std::uint32_t kWindowMenuBarAt = 93;
inline constexpr std::uint32_t kWindowToolbarAt = 97;
inline constexpr std::uint32_t kWindowStatusBarAt = 105;

// Event flag (offset 5 of a window): the window hears move, size, restore,
// maximize and iconize requests.
inline constexpr std::uint32_t kEventFlagSizeRequests = 0x800;

// Window attribute flags (offset 81).
inline constexpr std::uint32_t kFrameMask = 0x60;
inline constexpr std::uint32_t kFrameSingle = 0x00;
inline constexpr std::uint32_t kFrameResizable = 0x20;
inline constexpr std::uint32_t kFrameDouble = 0x40;
inline constexpr std::uint32_t kFrameNone = 0x60;
inline constexpr std::uint32_t kAttrModal = 0x8;
inline constexpr std::uint32_t kAttrMaximizeBox = 0x800;
inline constexpr std::uint32_t kAttrSystemMenu = 0x1000;
inline constexpr std::uint32_t kAttrStored = 0x2000;
inline constexpr std::uint32_t kAttrMaximized = 0x4000;
inline constexpr std::uint32_t kAttrMinimized = 0x8000;

// Band records of a report (types 0x1B, 0x1C, 0x1F).
inline constexpr std::uint32_t kBandSize = 41;
inline constexpr std::uint32_t kBandPositionAt = 13;
inline constexpr std::uint32_t kBandFirstControlAt = 29;
inline constexpr std::uint32_t kBandNameAt = 33;
inline constexpr std::uint32_t kBandFontAt = 37;

// Menu bar, menus, items, toolbar.
inline constexpr std::uint32_t kMenuBarSize = 17;
inline constexpr std::uint32_t kMenuBarFirstMenuAt = 13;
inline constexpr std::uint32_t kMenuSize = 57;
inline constexpr std::uint32_t kItemSize = 53;
inline constexpr std::uint32_t kMenuTextAt = 25;
inline constexpr std::uint32_t kMenuStatusAt = 29;
inline constexpr std::uint32_t kMenuKeyAt = 41;
inline constexpr std::uint32_t kMenuActionAt = 49;
inline constexpr std::uint32_t kMenuFirstChildAt = 53;
inline constexpr std::uint32_t kItemSeparatorFlag = 0x10;
inline constexpr std::uint32_t kToolbarSize = 65;
inline constexpr std::uint32_t kToolbarPositionAt = 13;
inline constexpr std::uint32_t kToolbarFirstControlAt = 61;

// Standard actions of menu items: the runtime does the work, the procedure
// hears nothing. 1 marks the menu under which the open windows are listed.
inline constexpr std::int32_t kActionWindowList = 1;
inline constexpr std::int32_t kActionTile = 2;
inline constexpr std::int32_t kActionCascade = 3;
inline constexpr std::int32_t kActionArrangeIcons = 4;
inline constexpr std::int32_t kActionCut = 5;    // on the focused control
inline constexpr std::int32_t kActionCopy = 6;   // on the focused control
inline constexpr std::int32_t kActionPaste = 7;  // on the focused control
inline constexpr std::int32_t kActionHelpContents = 8;
inline constexpr std::int32_t kActionCloseFrame = 0x0F;
inline constexpr std::int32_t kActionPrintSetup = 0x10;

// Small blocks.
inline constexpr std::uint32_t kFontBlockSize = 16;     // face, points, colour, weight
inline constexpr std::uint32_t kColourBlockSize = 12;   // three colours, first the background
inline constexpr std::uint32_t kUseDescriptorSize = 9;  // type, size, 0
inline constexpr std::uint32_t kDropNodeSize = 8;       // identifier, next node

// Data types of use descriptors.
inline constexpr std::uint8_t kUseByte = 0x01;
inline constexpr std::uint8_t kUseLong = 0x06;
inline constexpr std::uint8_t kUseString = 0x12;
inline constexpr std::uint8_t kUseMemo = 0x15;

// Field offsets of a control kind; 0 where the kind has no such field.
struct KindLayout {
  std::uint8_t type;
  std::string_view word;  // the kind's word in description sources
  std::uint32_t size;
  std::uint32_t use;
  std::uint32_t position;
  std::uint32_t text;
  std::uint32_t status;
  std::uint32_t tip;
  std::uint32_t picture;
  std::uint32_t first_child;
  std::uint32_t image;   // image or icon file name
  std::uint32_t format;  // list format string
};

// Kind-specific numbers outside the table.
inline constexpr std::uint32_t kSpinLowAt = 77;       // f64
inline constexpr std::uint32_t kSpinHighAt = 85;      // f64
inline constexpr std::uint32_t kSpinStepAt = 93;      // f64
inline constexpr std::uint32_t kProgressLowAt = 45;   // f64
inline constexpr std::uint32_t kProgressHighAt = 53;  // f64
inline constexpr std::uint32_t kRadioValueAt = 73;    // text the option group takes
inline constexpr std::uint32_t kPanelFillAt = 37;     // i32 colour
inline constexpr std::uint32_t kPanelBorderAt = 41;   // i32 colour

// clang-format off
inline constexpr KindLayout kKindLayouts[] = {
  // type          word        size use pos text stat tip  pic  kid  img  fmt
  {kValueString, "display",    76, 21, 25,  0, 41,  0, 45,  0,  0,  0},
  {kString,      "string",     59,  0, 21, 41, 37,  0,  0,  0,  0,  0},
  {kImage,       "image",      45,  0, 21,  0,  0, 41,  0,  0, 37,  0},
  {kEntry,       "entry",      82, 21, 25,  0, 41, 45, 73,  0,  0,  0},
  {kButton,      "button",     86,  0, 21, 69, 37, 41,  0,  0, 45,  0},
  {kPrompt,      "prompt",     59,  0, 21, 41, 37,  0,  0,  0,  0,  0},
  {kOptionGroup, "options",    81, 21, 25, 73, 41, 45,  0, 77,  0,  0},
  {kCheck,       "check",      93, 21, 25, 73, 41, 45,  0,  0,  0,  0},
  {kGroup,       "group",      77,  0, 21, 69, 37, 41,  0, 73,  0,  0},
  {kList,        "list",      107, 21, 29,  0, 45, 49,  0,  0,  0, 25},
  {kSpin,        "spin",      110, 21, 25,  0, 41, 45, 73,  0,  0,  0},
  {kTextBox,     "textbox",    82, 21, 25,  0, 41, 45,  0,  0,  0,  0},
  {kRadio,       "radio",      77,  0, 21, 69, 37, 41,  0,  0,  0,  0},
  {kProgress,    "progress",   65, 21, 25,  0, 41,  0,  0,  0,  0,  0},
  {kSheet,       "sheet",      81, 21, 25,  0, 41, 45,  0, 77,  0,  0},
  {kTab,         "tab",        62,  0, 21, 49, 37, 41,  0, 53,  0,  0},
  {kPanel,       "panel",      51,  0, 21,  0,  0,  0,  0,  0,  0,  0},
  {kMenu,        "menu",       57,  0,  0, 25, 29,  0,  0, 53,  0,  0},
  {kItem,        "item",       53,  0,  0, 25, 29,  0,  0,  0,  0,  0},
  {kMenuBar,     "menubar",    17,  0,  0,  0,  0,  0,  0, 13,  0,  0},
  {kToolbar,     "toolbar",    65,  0, 13,  0,  0,  0,  0, 61,  0,  0},
};
// clang-format on

// The layout of a type code, or nullptr for a code that is no control kind.
constexpr const KindLayout* FindKindLayout(std::uint8_t type) {
  for (const KindLayout& layout : kKindLayouts) {
    if (layout.type == type) return &layout;
  }
  return nullptr;
}

constexpr bool HasControlNumber(const KindLayout& layout) {
  return layout.type != kMenuBar && layout.type != kToolbar;
}

}  // namespace vaultrix::windows::rsc
