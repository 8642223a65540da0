// The key table of a window: its menu items' accelerators and its alert
// keys, matched against each key-down and mouse press before it is
// dispatched. A match sends the command to the window and the key goes no
// further: command 0 raises
// "EVENT:AlertKey", any other command is 0x4000 + a control number and acts
// as if that control had been chosen. Alt with a letter chooses the control
// whose text marks that letter with "&".
#include <cctype>

#include "runtime/windows/controls.h"
#include "runtime/windows/key_table.h"
#include "runtime/windows/resource_format.h"

namespace vaultrix::windows {
namespace {

constexpr std::int32_t kKeyMask = 0x7FF;
constexpr std::int32_t kAltBit = 0x400;
constexpr std::int32_t kCtrlBit = 0x200;

// Key-downs, and mouse presses, whose codes 1 to 7 a window may alert.
bool IsKeyDown(const platform::Message& message) {
  switch (message.message) {
    case platform::kWmKeyDown:
    case platform::kWmSysKeyDown:
    case platform::kWmLButtonDown:
    case platform::kWmRButtonDown:
    case platform::kWmMButtonDown:
    case platform::kWmLButtonDblClk:
    case platform::kWmRButtonDblClk:
    case platform::kWmMButtonDblClk:
      return true;
    default:
      return false;
  }
}

// The letter that "&" marks in a control's text, 0 for none.
char MarkedLetter(std::string_view text) {
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] == '&') {
      ++i;
      continue;
    }
    return static_cast<char>(std::toupper(static_cast<unsigned char>(text[i + 1])));
  }
  return 0;
}

bool OfferMnemonic(EventEngine& engine, WindowObject& window, std::int32_t code) {
  if ((code & (kAltBit | kCtrlBit)) != kAltBit) return false;
  const int key = code & 0xFF;
  if (!(key >= platform::kVkA && key <= platform::kVkA + 25) &&
      !(key >= platform::kVk0 && key <= platform::kVk0 + 9)) {
    return false;
  }
  platform::WindowSystem& system = engine.System();
  for (const auto& control : window.controls) {
    if (control->type == rsc::kMenu || control->type == rsc::kItem) continue;
    if (MarkedLetter(system.GetText(control->handle)) == static_cast<char>(key)) {
      ChooseControl(engine, *control);
      return true;
    }
  }
  return false;
}

const KeyTableEntry* Match(const std::vector<KeyTableEntry>& table, std::int32_t code) {
  for (const KeyTableEntry& entry : table) {
    if (entry.key_code == code) return &entry;
  }
  return nullptr;
}

}  // namespace

void BuildKeyTable(WindowObject& window) {
  window.key_table.clear();
  for (const auto& control : window.controls) {
    if (control->type != rsc::kItem || control->key == 0 || control->number == 0) continue;
    window.key_table.push_back({control->key & kKeyMask, kControlCommandBase + control->number});
  }
}

std::vector<std::int32_t> ClaimedKeys(const WindowObject& window) {
  std::vector<std::int32_t> keys;
  for (const auto& control : window.controls) {
    if (control->type == rsc::kItem && control->key != 0) keys.push_back(control->key);
  }
  for (const std::int32_t alert : window.alert_keys) {
    if (alert != 0) keys.push_back(alert);
  }
  return keys;
}

void PublishClaimedKeys(EventEngine& engine, const WindowObject& window) {
  if (window.handle == platform::kNoWindow) return;
  (void)engine.System().SetClaimedKeys(window.handle, ClaimedKeys(window));
}

void RunKeyCommand(EventEngine& engine, WindowObject& window, std::int32_t command) {
  if (command == 0) {
    window.events.Append(
        MakeInputEventRecord(engine, window, kEventAlertKey, window.focus_control));
    return;
  }
  if (ControlObject* control = window.FindControl(command - kControlCommandBase)) {
    ChooseControl(engine, *control);
  }
}

bool OfferKeyToTable(EventEngine& engine, WindowObject& window, const platform::Message& message,
                     std::int32_t key_code) {
  if (!IsKeyDown(message)) return false;
  const std::int32_t code = key_code & kKeyMask;
  for (const std::int32_t alert : window.alert_keys) {
    if (alert != 0 && (alert & kKeyMask) == code) {
      RunKeyCommand(engine, window, 0);
      return true;
    }
  }
  if (const KeyTableEntry* entry = Match(window.key_table, code)) {
    RunKeyCommand(engine, window, entry->command);
    return true;
  }
  // An MDI child without a menu of its own shows the frame's, and its keys.
  WindowObject* frame = engine.Frame();
  if (!window.has_menu && frame != nullptr && window.owner == frame) {
    if (const KeyTableEntry* entry = Match(frame->key_table, code)) {
      const ControlObject* item = frame->FindControl(entry->command - kControlCommandBase);
      (void)engine.System().PostMessage(
          frame->handle, platform::kWmCommand,
          static_cast<std::uint32_t>(entry->command - kControlCommandBase) & 0xFFFF,
          item != nullptr ? static_cast<std::intptr_t>(item->handle) : 0);
      return true;
    }
  }
  return OfferMnemonic(engine, window, code);
}

}  // namespace vaultrix::windows
