// The vocabulary of the window system: handles, the message record, and the
// message numbers, virtual-key codes, window styles and show commands that
// the layers above name. Numbers keep their Windows values, because the
// runtime stores and compares them as numbers (key codes carry the virtual
// key in their low byte; the frame's shut-down hook answers messages 17 and
// 22; window descriptions hold style bits).
#pragma once

#include <cstdint>
#include <functional>

namespace vaultrix::platform {

class WindowSystem;

// A window's handle. Handles are never reused while the window system lives,
// so a stale handle simply names no window.
using WindowHandle = std::uint32_t;
inline constexpr WindowHandle kNoWindow = 0;

// A thread as the window system knows it (it gets a message queue on its
// first call). 0 names no thread.
using ThreadId = std::uint32_t;
inline constexpr ThreadId kNoThread = 0;

struct Message {
  WindowHandle window = kNoWindow;  // kNoWindow for thread messages
  std::uint32_t message = 0;
  std::uintptr_t wparam = 0;
  std::intptr_t lparam = 0;
  std::int64_t time = 0;  // platform steady clock, milliseconds, when queued
  // Keyboard and mouse input: the modifier and lock keys as they stood when
  // the input was queued (kKeyState* bits), so that a reader sees the state
  // of the press, not the state when it gets round to the message.
  std::uint16_t key_state = 0;
};

// Message::key_state. Shift, Ctrl and Alt held and the lock keys on, in the
// bits where key codes carry them; kKeyStateKnown marks a message that
// carries a state at all (a message posted as a number does not).
inline constexpr std::uint16_t kKeyStateShift = 0x0100;
inline constexpr std::uint16_t kKeyStateCtrl = 0x0200;
inline constexpr std::uint16_t kKeyStateAlt = 0x0400;
inline constexpr std::uint16_t kKeyStateCapsLock = 0x1000;
inline constexpr std::uint16_t kKeyStateNumLock = 0x2000;
inline constexpr std::uint16_t kKeyStateScrollLock = 0x4000;
inline constexpr std::uint16_t kKeyStateKnown = 0x8000;

// A window procedure. A hook installed over another (subclassing) receives
// the procedure it replaced and chains to it by calling it.
using WindowProc = std::function<std::intptr_t(WindowSystem&, const Message&)>;

// lparam of mouse messages: x in the low 16 bits, y in the high 16 bits
// (client pixels, signed).
[[nodiscard]] constexpr std::intptr_t MakePointParam(int x, int y) {
  return static_cast<std::intptr_t>(static_cast<std::uint32_t>(
      (static_cast<std::uint32_t>(y & 0xFFFF) << 16) | static_cast<std::uint32_t>(x & 0xFFFF)));
}
[[nodiscard]] constexpr int PointX(std::intptr_t lparam) {
  return static_cast<std::int16_t>(static_cast<std::uint32_t>(lparam) & 0xFFFF);
}
[[nodiscard]] constexpr int PointY(std::intptr_t lparam) {
  return static_cast<std::int16_t>((static_cast<std::uint32_t>(lparam) >> 16) & 0xFFFF);
}

// Message numbers.
inline constexpr std::uint32_t kWmNull = 0x0000;
inline constexpr std::uint32_t kWmCreate = 0x0001;
inline constexpr std::uint32_t kWmDestroy = 0x0002;
inline constexpr std::uint32_t kWmMove = 0x0003;
inline constexpr std::uint32_t kWmSize = 0x0005;
inline constexpr std::uint32_t kWmActivate = 0x0006;
inline constexpr std::uint32_t kWmSetFocus = 0x0007;
inline constexpr std::uint32_t kWmKillFocus = 0x0008;
inline constexpr std::uint32_t kWmEnable = 0x000A;
inline constexpr std::uint32_t kWmSetText = 0x000C;
inline constexpr std::uint32_t kWmGetText = 0x000D;
inline constexpr std::uint32_t kWmPaint = 0x000F;
inline constexpr std::uint32_t kWmClose = 0x0010;
inline constexpr std::uint32_t kWmQueryEndSession = 0x0011;  // 17
inline constexpr std::uint32_t kWmQuit = 0x0012;
inline constexpr std::uint32_t kWmEndSession = 0x0016;  // 22
inline constexpr std::uint32_t kWmShowWindow = 0x0018;
inline constexpr std::uint32_t kWmChildActivate = 0x0022;
inline constexpr std::uint32_t kWmNcDestroy = 0x0082;
inline constexpr std::uint32_t kWmKeyDown = 0x0100;
inline constexpr std::uint32_t kWmKeyUp = 0x0101;
inline constexpr std::uint32_t kWmChar = 0x0102;
inline constexpr std::uint32_t kWmSysKeyDown = 0x0104;
inline constexpr std::uint32_t kWmSysKeyUp = 0x0105;
inline constexpr std::uint32_t kWmSysChar = 0x0106;
inline constexpr std::uint32_t kWmCommand = 0x0111;
inline constexpr std::uint32_t kWmSysCommand = 0x0112;
inline constexpr std::uint32_t kWmTimer = 0x0113;
inline constexpr std::uint32_t kWmHScroll = 0x0114;
inline constexpr std::uint32_t kWmVScroll = 0x0115;
inline constexpr std::uint32_t kWmMouseMove = 0x0200;
inline constexpr std::uint32_t kWmLButtonDown = 0x0201;
inline constexpr std::uint32_t kWmLButtonUp = 0x0202;
inline constexpr std::uint32_t kWmLButtonDblClk = 0x0203;
inline constexpr std::uint32_t kWmRButtonDown = 0x0204;
inline constexpr std::uint32_t kWmRButtonUp = 0x0205;
inline constexpr std::uint32_t kWmRButtonDblClk = 0x0206;
inline constexpr std::uint32_t kWmMButtonDown = 0x0207;
inline constexpr std::uint32_t kWmMButtonUp = 0x0208;
inline constexpr std::uint32_t kWmMButtonDblClk = 0x0209;
inline constexpr std::uint32_t kWmMdiCreate = 0x0220;
inline constexpr std::uint32_t kWmMdiDestroy = 0x0221;
inline constexpr std::uint32_t kWmMdiActivate = 0x0222;
inline constexpr std::uint32_t kWmMdiGetActive = 0x0229;
inline constexpr std::uint32_t kWmDropFiles = 0x0233;
inline constexpr std::uint32_t kWmUser = 0x0400;

// kWmActivate wparam.
inline constexpr std::uintptr_t kWaInactive = 0;
inline constexpr std::uintptr_t kWaActive = 1;
inline constexpr std::uintptr_t kWaClickActive = 2;

// kWmSize wparam.
inline constexpr std::uintptr_t kSizeRestored = 0;
inline constexpr std::uintptr_t kSizeMinimized = 1;
inline constexpr std::uintptr_t kSizeMaximized = 2;

// Mouse message wparam: keys and buttons held.
inline constexpr std::uintptr_t kMkLButton = 0x0001;
inline constexpr std::uintptr_t kMkRButton = 0x0002;
inline constexpr std::uintptr_t kMkShift = 0x0004;
inline constexpr std::uintptr_t kMkControl = 0x0008;
inline constexpr std::uintptr_t kMkMButton = 0x0010;

// kWmSysCommand wparam.
inline constexpr std::uintptr_t kScSize = 0xF000;
inline constexpr std::uintptr_t kScMove = 0xF010;
inline constexpr std::uintptr_t kScMinimize = 0xF020;
inline constexpr std::uintptr_t kScMaximize = 0xF030;
inline constexpr std::uintptr_t kScClose = 0xF060;
inline constexpr std::uintptr_t kScRestore = 0xF120;

// kWmVScroll and kWmHScroll: the action in the low word of wparam, the
// thumb's position in the high word (thumb actions only).
inline constexpr int kSbLineUp = 0;
inline constexpr int kSbLineDown = 1;
inline constexpr int kSbPageUp = 2;
inline constexpr int kSbPageDown = 3;
inline constexpr int kSbThumbPosition = 4;
inline constexpr int kSbThumbTrack = 5;
inline constexpr int kSbTop = 6;
inline constexpr int kSbBottom = 7;
inline constexpr int kSbEndScroll = 8;
[[nodiscard]] constexpr std::uintptr_t MakeScrollParam(int action, int position) {
  return (static_cast<std::uintptr_t>(position & 0xFFFF) << 16) |
         static_cast<std::uintptr_t>(action & 0xFFFF);
}

// Virtual-key codes (mouse buttons 1 to 4 included).
inline constexpr int kVkLButton = 0x01;
inline constexpr int kVkRButton = 0x02;
inline constexpr int kVkCancel = 0x03;
inline constexpr int kVkMButton = 0x04;
inline constexpr int kVkBack = 0x08;
inline constexpr int kVkTab = 0x09;
inline constexpr int kVkReturn = 0x0D;
inline constexpr int kVkShift = 0x10;
inline constexpr int kVkControl = 0x11;
inline constexpr int kVkMenu = 0x12;  // Alt
inline constexpr int kVkPause = 0x13;
inline constexpr int kVkCapital = 0x14;  // Caps Lock
inline constexpr int kVkEscape = 0x1B;
inline constexpr int kVkSpace = 0x20;
inline constexpr int kVkPrior = 0x21;  // Page Up
inline constexpr int kVkNext = 0x22;   // Page Down
inline constexpr int kVkEnd = 0x23;
inline constexpr int kVkHome = 0x24;
inline constexpr int kVkLeft = 0x25;
inline constexpr int kVkUp = 0x26;
inline constexpr int kVkRight = 0x27;
inline constexpr int kVkDown = 0x28;
inline constexpr int kVkInsert = 0x2D;
inline constexpr int kVkDelete = 0x2E;
inline constexpr int kVk0 = 0x30;  // '0' to '9' are 0x30 to 0x39
inline constexpr int kVkA = 0x41;  // 'A' to 'Z' are 0x41 to 0x5A
inline constexpr int kVkNumpad0 = 0x60;
inline constexpr int kVkMultiply = 0x6A;
inline constexpr int kVkAdd = 0x6B;
inline constexpr int kVkSubtract = 0x6D;
inline constexpr int kVkDecimal = 0x6E;
inline constexpr int kVkDivide = 0x6F;
inline constexpr int kVkF1 = 0x70;  // F1 to F24 are 0x70 to 0x87
inline constexpr int kVkNumLock = 0x90;
inline constexpr int kVkScroll = 0x91;  // Scroll Lock
// A character that no key of its own stands for, typed as it is.
inline constexpr int kVkPacket = 0xE7;

// Window styles.
inline constexpr std::uint32_t kWsOverlapped = 0x00000000;
inline constexpr std::uint32_t kWsPopup = 0x80000000;
inline constexpr std::uint32_t kWsChild = 0x40000000;
inline constexpr std::uint32_t kWsMinimize = 0x20000000;
inline constexpr std::uint32_t kWsVisible = 0x10000000;
inline constexpr std::uint32_t kWsDisabled = 0x08000000;
inline constexpr std::uint32_t kWsClipSiblings = 0x04000000;
inline constexpr std::uint32_t kWsClipChildren = 0x02000000;
inline constexpr std::uint32_t kWsMaximize = 0x01000000;
inline constexpr std::uint32_t kWsCaption = 0x00C00000;
inline constexpr std::uint32_t kWsBorder = 0x00800000;
inline constexpr std::uint32_t kWsDlgFrame = 0x00400000;
inline constexpr std::uint32_t kWsVScroll = 0x00200000;
inline constexpr std::uint32_t kWsHScroll = 0x00100000;
inline constexpr std::uint32_t kWsSysMenu = 0x00080000;
inline constexpr std::uint32_t kWsThickFrame = 0x00040000;
inline constexpr std::uint32_t kWsGroup = 0x00020000;
inline constexpr std::uint32_t kWsTabStop = 0x00010000;
inline constexpr std::uint32_t kWsMinimizeBox = 0x00020000;
inline constexpr std::uint32_t kWsMaximizeBox = 0x00010000;

inline constexpr std::uint32_t kWsExDlgModalFrame = 0x00000001;
inline constexpr std::uint32_t kWsExTopmost = 0x00000008;
inline constexpr std::uint32_t kWsExMdiChild = 0x00000040;
inline constexpr std::uint32_t kWsExToolWindow = 0x00000080;

// Show commands.
inline constexpr int kSwHide = 0;
inline constexpr int kSwShowNormal = 1;
inline constexpr int kSwShowMinimized = 2;
inline constexpr int kSwShowMaximized = 3;
inline constexpr int kSwShow = 5;
inline constexpr int kSwMinimize = 6;
inline constexpr int kSwRestore = 9;

}  // namespace vaultrix::platform
