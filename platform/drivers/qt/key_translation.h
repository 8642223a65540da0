// Qt's keys and mouse buttons in the terms of the window system: virtual-key
// codes, the button messages, and the runtime's key-code layout (virtual key
// in the low byte, 0x100 Shift, 0x200 Ctrl, 0x400 Alt, 0x800 extended, then
// the three lock keys).
#pragma once

#include <QtCore/Qt>

#include <cstdint>

namespace vaultrix::platform::qt {

// The virtual key of a Qt key, 0 when it has none. `keypad` tells keys of
// the numeric pad from their twins elsewhere.
[[nodiscard]] int VirtualKeyOf(int qt_key, bool keypad);

// True for the keys that a standard keyboard reports as extended.
[[nodiscard]] bool IsExtendedKey(int qt_key, bool keypad);

// The button-down (or double-click) message of a Qt mouse button; 0 for a
// button the window system does not know.
[[nodiscard]] std::uint32_t ButtonDownMessage(Qt::MouseButton button, bool double_click);
[[nodiscard]] std::uint32_t ButtonUpMessage(Qt::MouseButton button);

// The modifier bits of a key code.
[[nodiscard]] int ModifierBits(Qt::KeyboardModifiers modifiers);

struct LockKeys {
  bool caps = false;
  bool num = false;
  bool scroll = false;
};

// The full key code of a key press as the runtime's keyboard translation
// builds it, for a mouse button the codes 1 to 7 (1 left, 2 right, 3 middle,
// 5, 6, 7 their double clicks).
[[nodiscard]] std::int32_t KeyCodeOfKey(int qt_key, Qt::KeyboardModifiers modifiers,
                                        LockKeys locks);
[[nodiscard]] std::int32_t KeyCodeOfMouse(Qt::MouseButton button, bool double_click,
                                          Qt::KeyboardModifiers modifiers, LockKeys locks);

// The text of an accelerator key code as a menu shows it ("Ctrl+P"); empty
// for a code without a key.
[[nodiscard]] QString AcceleratorText(std::int64_t key_code);

}  // namespace vaultrix::platform::qt
