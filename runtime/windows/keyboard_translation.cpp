// Keyboard translation: the key code of each input message, recorded for the
// thread before the message is dispatched. Input is served some time after
// it was queued, so the modifiers come with the message where it has them.
#include "runtime/windows/window_open.h"

namespace vaultrix::windows {
namespace {

using platform::WindowSystem;

// Key-code bits; the modifiers and lock keys sit where messages carry them.
constexpr std::int32_t kShiftBit = platform::kKeyStateShift;
constexpr std::int32_t kCtrlBit = platform::kKeyStateCtrl;
constexpr std::int32_t kAltBit = platform::kKeyStateAlt;
constexpr std::int32_t kExtendedBit = 0x800;
constexpr std::int32_t kCapsBit = platform::kKeyStateCapsLock;
constexpr std::int32_t kNumBit = platform::kKeyStateNumLock;
constexpr std::int32_t kScrollBit = platform::kKeyStateScrollLock;
constexpr std::intptr_t kExtendedKeyFlag = 1 << 24;  // lparam of key messages

int MouseCode(std::uint32_t message) {
  switch (message) {
    case platform::kWmLButtonDown: return 1;
    case platform::kWmRButtonDown: return 2;
    case platform::kWmMButtonDown: return 3;
    case platform::kWmLButtonDblClk: return 5;
    case platform::kWmRButtonDblClk: return 6;
    case platform::kWmMButtonDblClk: return 7;
    default: return 0;
  }
}

// The modifier and lock bits: those the message carries from when it was
// queued (the keyboard may have moved on since), else the keyboard's now.
std::int32_t StateBits(const WindowSystem& system, const platform::Message& message) {
  if ((message.key_state & platform::kKeyStateKnown) != 0) {
    return message.key_state & (kShiftBit | kCtrlBit | kAltBit | kCapsBit | kNumBit | kScrollBit);
  }
  auto down = [&](int vk) { return (system.GetKeyState(vk) & 0x8000) != 0; };
  auto on = [&](int vk) { return (system.GetKeyState(vk) & 1) != 0; };
  std::int32_t bits = 0;
  if (down(platform::kVkShift)) bits |= kShiftBit;
  if (down(platform::kVkControl)) bits |= kCtrlBit;
  if (down(platform::kVkMenu)) bits |= kAltBit;
  if (on(platform::kVkCapital)) bits |= kCapsBit;
  if (on(platform::kVkNumLock)) bits |= kNumBit;
  if (on(platform::kVkScroll)) bits |= kScrollBit;
  return bits;
}

}  // namespace

void TranslateKeyboard(EventEngine& engine, int number, const platform::Message& message) {
  RuntimeThread* thread = engine.Thread(number);
  if (thread == nullptr) return;
  if (message.message == platform::kWmChar || message.message == platform::kWmSysChar) {
    thread->last_key_character = static_cast<std::uint8_t>(message.wparam);
    return;
  }
  std::int32_t code = 0;
  if (message.message == platform::kWmKeyDown || message.message == platform::kWmSysKeyDown) {
    code = static_cast<std::int32_t>(message.wparam & 0xFF);
    if ((message.lparam & kExtendedKeyFlag) != 0) code |= kExtendedBit;
  } else {
    code = MouseCode(message.message);
  }
  if (code == 0) return;
  thread->last_key_code = code | StateBits(engine.System(), message);
}

}  // namespace vaultrix::windows
