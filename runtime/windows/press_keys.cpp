// Keys typed ahead by PressKeys, fed to the loop before real input.
#include <cctype>

#include "platform/clock.h"
#include "runtime/windows/controls.h"
#include "runtime/windows/key_table.h"

namespace vaultrix::windows {
namespace {

constexpr std::int32_t kShiftBit = 0x100;
constexpr std::int32_t kCtrlBit = 0x200;
constexpr std::int32_t kAltBit = 0x400;
constexpr std::int32_t kCapsBit = 0x1000;

// The character a key types with Shift and Caps Lock, 0 for none.
char CharacterOf(int key, bool shift, bool caps) {
  if (key >= platform::kVkA && key <= platform::kVkA + 25) {
    const char letter = static_cast<char>('a' + (key - platform::kVkA));
    return shift != caps ? static_cast<char>(std::toupper(letter)) : letter;
  }
  if (key >= platform::kVk0 && key <= platform::kVk0 + 9 && !shift) {
    return static_cast<char>('0' + (key - platform::kVk0));
  }
  if (key >= platform::kVkNumpad0 && key <= platform::kVkNumpad0 + 9) {
    return static_cast<char>('0' + (key - platform::kVkNumpad0));
  }
  switch (key) {
    case platform::kVkSpace: return ' ';
    case platform::kVkDecimal: return '.';
    case platform::kVkSubtract: return '-';
    case platform::kVkAdd: return '+';
    default: return 0;
  }
}

// Typing into the focused field: a character is added, Backspace takes the
// last one away. False when the key types nothing there.
bool TypeInto(EventEngine& engine, RuntimeThread& thread, ControlObject& field,
              std::int32_t code, bool caps) {
  platform::WindowSystem& system = engine.System();
  if ((code & (kCtrlBit | kAltBit)) != 0 || !TakesTypedText(field)) return false;
  std::string text = system.GetText(field.handle);
  const int key = code & 0xFF;
  if (key == platform::kVkBack) {
    if (!text.empty()) text.pop_back();
  } else {
    const char typed = CharacterOf(key, (code & kShiftBit) != 0, caps);
    if (typed == 0) return false;
    thread.last_key_character = static_cast<std::uint8_t>(typed);
    text.push_back(typed);
  }
  (void)system.SetText(field.handle, std::move(text));
  return true;
}

}  // namespace

void PressKeys(EventEngine& engine, std::int32_t key_code) { engine.Keys().Press(key_code); }

bool FeedPressedKey(EventEngine& engine, int number, WindowObject& window) {
  std::optional<std::int32_t> taken = engine.Keys().Take();
  if (!taken) return false;
  RuntimeThread& thread = *engine.Thread(number);
  platform::WindowSystem& system = engine.System();
  const std::int32_t code = *taken & 0x7FF;
  const bool caps = engine.Keys().CapsLock();
  thread.last_key_code = code | (caps ? kCapsBit : 0);
  ControlObject* focus = window.FindControlByHandle(system.GetFocus());
  const int key = code & 0xFF;
  if (key == 1 || key == 5) {  // a left click or double click: on the focused control
    if (focus != nullptr) ChooseControl(engine, *focus);
    return true;
  }
  const platform::Message message{focus != nullptr ? focus->handle : window.handle,
                                  (code & kAltBit) != 0 ? platform::kWmSysKeyDown
                                                        : platform::kWmKeyDown,
                                  static_cast<std::uintptr_t>(key), 0,
                                  platform::CurrentClock().SteadyMilliseconds()};
  if (OfferKeyToTable(engine, window, message, code)) return true;
  if (focus != nullptr && TypeInto(engine, thread, *focus, code, caps)) return true;
  (void)system.DispatchMessage(message);
  return true;
}

}  // namespace vaultrix::windows
