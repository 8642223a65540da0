// What windows show beyond their state (fonts, icons, tooltips, status zone
// widths, the keys their key tables take), and the system commands that a
// window leaves to the window system.
#include <algorithm>
#include <utility>

#include "platform/window_classes.h"
#include "platform/window_system.h"
#include "platform/window_system_records.h"

namespace vaultrix::platform {
namespace {

// Masked, sorted and without repeats, so that a key press is one search.
std::vector<std::int32_t> KeySet(std::vector<std::int32_t> key_codes) {
  for (std::int32_t& code : key_codes) code &= kKeyCodeMask;
  std::sort(key_codes.begin(), key_codes.end());
  key_codes.erase(std::unique(key_codes.begin(), key_codes.end()), key_codes.end());
  return key_codes;
}

}  // namespace

bool WindowSystem::SetDisplayAttributes(WindowHandle window, DisplayAttributes display) {
  display.claimed_keys = KeySet(std::move(display.claimed_keys));
  Lock lock(mutex_);
  WindowRecord* record = Find(window);
  if (record == nullptr) return false;
  if (record->display == display) return true;
  record->display = std::move(display);
  Notify(NotificationKind::kAttributes, window);
  FlushNotifications(lock);
  return true;
}

bool WindowSystem::SetClaimedKeys(WindowHandle window, std::vector<std::int32_t> key_codes) {
  key_codes = KeySet(std::move(key_codes));
  Lock lock(mutex_);
  WindowRecord* record = Find(window);
  if (record == nullptr) return false;
  // Read by the driver at every key press; no notification needed.
  record->display.claimed_keys = std::move(key_codes);
  return true;
}

bool WindowSystem::ClaimsKey(WindowHandle window, std::int32_t key_code) const {
  Lock lock(mutex_);
  const WindowRecord* record = Find(window);
  if (record == nullptr) return false;
  const std::vector<std::int32_t>& keys = record->display.claimed_keys;
  return std::binary_search(keys.begin(), keys.end(), key_code & kKeyCodeMask);
}

std::intptr_t WindowSystem::DefaultSystemCommand(WindowSystem& system, const Message& message) {
  // The low four bits of the command are the system's own.
  switch (message.wparam & 0xFFF0) {
    case kScClose:
      // The close box asks the window itself, which may refuse. Posted, so
      // that the window's thread wakes to serve it.
      (void)system.PostMessage(message.window, kWmClose);
      return 0;
    case kScMinimize:
      (void)system.ShowWindow(message.window, kSwMinimize);
      return 0;
    case kScMaximize:
      (void)system.ShowWindow(message.window, kSwShowMaximized);
      return 0;
    case kScRestore:
      (void)system.ShowWindow(message.window, kSwRestore);
      return 0;
    default:
      return 0;
  }
}

}  // namespace vaultrix::platform
