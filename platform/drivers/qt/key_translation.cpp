// Qt keys to virtual keys: letters and digits keep their ASCII codes, the
// rest go through one table. The keys that only Qt knows (media keys and
// the like) have no virtual key and are not reported.
#include "platform/drivers/qt/key_translation.h"

#include <QtCore/QString>
#include <QtGui/QKeySequence>

#include <array>
#include <utility>

#include "platform/window_messages.h"

namespace vaultrix::platform::qt {
namespace {

constexpr int kShiftBit = 0x100;
constexpr int kCtrlBit = 0x200;
constexpr int kAltBit = 0x400;
constexpr int kExtendedBit = 0x800;
constexpr int kCapsBit = 0x1000;
constexpr int kNumBit = 0x2000;
constexpr int kScrollBit = 0x4000;

constexpr std::array<std::pair<int, int>, 40> kKeyTable{{
    {Qt::Key_Backspace, kVkBack},   {Qt::Key_Tab, kVkTab},
    {Qt::Key_Backtab, kVkTab},      {Qt::Key_Return, kVkReturn},
    {Qt::Key_Enter, kVkReturn},     {Qt::Key_Shift, kVkShift},
    {Qt::Key_Control, kVkControl},  {Qt::Key_Alt, kVkMenu},
    {Qt::Key_AltGr, kVkMenu},       {Qt::Key_Pause, kVkPause},
    {Qt::Key_CapsLock, kVkCapital}, {Qt::Key_Escape, kVkEscape},
    {Qt::Key_Space, kVkSpace},      {Qt::Key_PageUp, kVkPrior},
    {Qt::Key_PageDown, kVkNext},    {Qt::Key_End, kVkEnd},
    {Qt::Key_Home, kVkHome},        {Qt::Key_Left, kVkLeft},
    {Qt::Key_Up, kVkUp},            {Qt::Key_Right, kVkRight},
    {Qt::Key_Down, kVkDown},        {Qt::Key_Insert, kVkInsert},
    {Qt::Key_Delete, kVkDelete},    {Qt::Key_NumLock, kVkNumLock},
    {Qt::Key_ScrollLock, kVkScroll}, {Qt::Key_Print, 0x2C},
    {Qt::Key_Menu, 0x5D},           {Qt::Key_Semicolon, 0xBA},
    {Qt::Key_Colon, 0xBA},          {Qt::Key_Equal, 0xBB},
    {Qt::Key_Plus, 0xBB},           {Qt::Key_Comma, 0xBC},
    {Qt::Key_Minus, 0xBD},          {Qt::Key_Period, 0xBE},
    {Qt::Key_Slash, 0xBF},          {Qt::Key_QuoteLeft, 0xC0},
    {Qt::Key_BracketLeft, 0xDB},    {Qt::Key_Backslash, 0xDC},
    {Qt::Key_BracketRight, 0xDD},   {Qt::Key_Apostrophe, 0xDE},
}};

int KeypadKey(int qt_key) {
  if (qt_key >= Qt::Key_0 && qt_key <= Qt::Key_9) return kVkNumpad0 + (qt_key - Qt::Key_0);
  switch (qt_key) {
    case Qt::Key_Asterisk: return kVkMultiply;
    case Qt::Key_Plus: return kVkAdd;
    case Qt::Key_Minus: return kVkSubtract;
    case Qt::Key_Period:
    case Qt::Key_Comma: return kVkDecimal;
    case Qt::Key_Slash: return kVkDivide;
    default: return 0;
  }
}

int LockBits(LockKeys locks) {
  return (locks.caps ? kCapsBit : 0) | (locks.num ? kNumBit : 0) | (locks.scroll ? kScrollBit : 0);
}

}  // namespace

int VirtualKeyOf(int qt_key, bool keypad) {
  if (keypad) {
    if (const int key = KeypadKey(qt_key); key != 0) return key;
  }
  if (qt_key >= Qt::Key_A && qt_key <= Qt::Key_Z) return kVkA + (qt_key - Qt::Key_A);
  if (qt_key >= Qt::Key_0 && qt_key <= Qt::Key_9) return kVk0 + (qt_key - Qt::Key_0);
  if (qt_key >= Qt::Key_F1 && qt_key <= Qt::Key_F24) return kVkF1 + (qt_key - Qt::Key_F1);
  for (const auto& [qt, vk] : kKeyTable) {
    if (qt == qt_key) return vk;
  }
  return 0;
}

bool IsExtendedKey(int qt_key, bool keypad) {
  if (keypad) return qt_key == Qt::Key_Slash || qt_key == Qt::Key_Enter;
  switch (qt_key) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_End:
    case Qt::Key_Home:
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
    case Qt::Key_Insert:
    case Qt::Key_Delete:
    case Qt::Key_NumLock:
    case Qt::Key_AltGr:
    case Qt::Key_Print:
    case Qt::Key_Menu: return true;
    default: return false;
  }
}

std::uint32_t ButtonDownMessage(Qt::MouseButton button, bool double_click) {
  switch (button) {
    case Qt::LeftButton: return double_click ? kWmLButtonDblClk : kWmLButtonDown;
    case Qt::RightButton: return double_click ? kWmRButtonDblClk : kWmRButtonDown;
    case Qt::MiddleButton: return double_click ? kWmMButtonDblClk : kWmMButtonDown;
    default: return 0;
  }
}

std::uint32_t ButtonUpMessage(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton: return kWmLButtonUp;
    case Qt::RightButton: return kWmRButtonUp;
    case Qt::MiddleButton: return kWmMButtonUp;
    default: return 0;
  }
}

int ModifierBits(Qt::KeyboardModifiers modifiers) {
  return (modifiers.testFlag(Qt::ShiftModifier) ? kShiftBit : 0) |
         (modifiers.testFlag(Qt::ControlModifier) ? kCtrlBit : 0) |
         (modifiers.testFlag(Qt::AltModifier) ? kAltBit : 0);
}

std::int32_t KeyCodeOfKey(int qt_key, Qt::KeyboardModifiers modifiers, LockKeys locks) {
  const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
  const int vk = VirtualKeyOf(qt_key, keypad);
  if (vk == 0) return 0;
  return vk | ModifierBits(modifiers) | (IsExtendedKey(qt_key, keypad) ? kExtendedBit : 0) |
         LockBits(locks);
}

std::int32_t KeyCodeOfMouse(Qt::MouseButton button, bool double_click,
                            Qt::KeyboardModifiers modifiers, LockKeys locks) {
  int code = 0;
  switch (button) {
    case Qt::LeftButton: code = 1; break;
    case Qt::RightButton: code = 2; break;
    case Qt::MiddleButton: code = 3; break;
    default: return 0;
  }
  if (double_click) code += 4;
  return code | ModifierBits(modifiers) | LockBits(locks);
}

QString AcceleratorText(std::int64_t key_code) {
  const int vk = static_cast<int>(key_code & 0xFF);
  if (vk == 0) return {};
  QString key;
  if ((vk >= kVkA && vk <= kVkA + 25) || (vk >= kVk0 && vk <= kVk0 + 9)) {
    key = QChar(vk);
  } else if (vk >= kVkF1 && vk < kVkF1 + 24) {
    key = QStringLiteral("F%1").arg(vk - kVkF1 + 1);
  } else {
    for (const auto& [qt, virtual_key] : kKeyTable) {
      if (virtual_key == vk) {
        key = QKeySequence(qt).toString(QKeySequence::NativeText);
        break;
      }
    }
  }
  if (key.isEmpty()) return {};
  QString text;
  if ((key_code & kCtrlBit) != 0) text += QStringLiteral("Ctrl+");
  if ((key_code & kAltBit) != 0) text += QStringLiteral("Alt+");
  if ((key_code & kShiftBit) != 0) text += QStringLiteral("Shift+");
  return text + key;
}

}  // namespace vaultrix::platform::qt
