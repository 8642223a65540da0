// Focus, activation (top-level windows and MDI children), the keyboard state
// with its lock keys, and user input as a driver reports it. Focus and
// activation messages are posted, never sent: a focus change, whoever makes
// it, never waits on another thread.
#include <algorithm>
#include <map>

#include "platform/window_system.h"
#include "platform/window_system_records.h"

namespace vaultrix::platform {
namespace {

constexpr std::intptr_t kExtendedKeyBit = 0x01000000;
constexpr std::intptr_t kPreviousDownBit = 0x40000000;
constexpr std::intptr_t kTransitionBit = static_cast<std::intptr_t>(0x80000000u);

bool IsLockKey(int vk) {
  return vk == kVkCapital || vk == kVkNumLock || vk == kVkScroll;
}

// Keys that a standard keyboard reports as extended: the separate navigation
// block, the numeric pad's divide and Num Lock.
bool IsExtendedKey(int vk) {
  return (vk >= kVkPrior && vk <= kVkDown) || vk == kVkInsert || vk == kVkDelete ||
         vk == kVkDivide || vk == kVkNumLock;
}

bool IsSet(const std::map<int, bool>& keys, int vk) {
  auto it = keys.find(vk);
  return it != keys.end() && it->second;
}

// The keyboard as input queued now carries it (Message::key_state).
std::uint16_t KeyStateOf(const std::map<int, bool>& down, const std::map<int, bool>& toggled) {
  std::uint16_t state = kKeyStateKnown;
  if (IsSet(down, kVkShift)) state |= kKeyStateShift;
  if (IsSet(down, kVkControl)) state |= kKeyStateCtrl;
  if (IsSet(down, kVkMenu)) state |= kKeyStateAlt;
  if (IsSet(toggled, kVkCapital)) state |= kKeyStateCapsLock;
  if (IsSet(toggled, kVkNumLock)) state |= kKeyStateNumLock;
  if (IsSet(toggled, kVkScroll)) state |= kKeyStateScrollLock;
  return state;
}

}  // namespace

void WindowSystem::ActivateLocked(WindowHandle window) {
  if (active_ == window) return;
  const WindowHandle previous = active_;
  active_ = window;
  if (WindowRecord* old = Find(previous)) {
    PostLocked(*old->thread, Message{previous, kWmActivate, kWaInactive,
                                     static_cast<std::intptr_t>(window), 0});
  }
  if (WindowRecord* now = Find(window)) {
    PostLocked(*now->thread, Message{window, kWmActivate, kWaActive,
                                     static_cast<std::intptr_t>(previous), 0});
    auto it = std::find(z_order_.begin(), z_order_.end(), window);
    if (it != z_order_.end() && it != z_order_.begin()) {
      z_order_.erase(it);
      z_order_.insert(z_order_.begin(), window);
      Notify(NotificationKind::kZOrder, window);
    }
  }
  Notify(NotificationKind::kActivation, window);
}

bool WindowSystem::MdiActivateLocked(WindowRecord& child) {
  WindowRecord* client = Find(child.parent);
  if (child.kind != WindowKind::kMdiChild || client == nullptr) return false;
  if (client->mdi_active != child.handle) {
    const WindowHandle previous = client->mdi_active;
    client->mdi_active = child.handle;
    const Message change{kNoWindow, kWmMdiActivate, previous,
                         static_cast<std::intptr_t>(child.handle), 0};
    if (WindowRecord* old = Find(previous)) {
      Message to_old = change;
      to_old.window = previous;
      PostLocked(*old->thread, to_old);
    }
    Message to_new = change;
    to_new.window = child.handle;
    PostLocked(*child.thread, to_new);
    auto it = std::find(client->children.begin(), client->children.end(), child.handle);
    if (it != client->children.end()) {
      client->children.erase(it);
      client->children.insert(client->children.begin(), child.handle);
    }
    Notify(NotificationKind::kActivation, child.handle);
  }
  // The frame holding the client becomes the active top-level window.
  WindowRecord* top = client;
  while (top->parent != kNoWindow && Find(top->parent) != nullptr) top = Find(top->parent);
  ActivateLocked(top->handle);
  return true;
}

WindowHandle WindowSystem::SetFocus(WindowHandle window) {
  Lock lock(mutex_);
  WindowRecord* target = Find(window);
  if (window != kNoWindow && (target == nullptr || target->destroying)) return kNoWindow;
  const WindowHandle previous = focus_;
  if (previous == window) return previous;
  focus_ = window;
  if (WindowRecord* old = Find(previous)) {
    PostLocked(*old->thread, Message{previous, kWmKillFocus, window, 0, 0});
  }
  if (target != nullptr) {
    PostLocked(*target->thread, Message{window, kWmSetFocus, previous, 0, 0});
    // Activate what holds the focus: the innermost MDI child on the way up,
    // else the top-level window.
    WindowRecord* walk = target;
    bool activated = false;
    while (walk != nullptr) {
      if (walk->kind == WindowKind::kMdiChild) {
        activated = MdiActivateLocked(*walk);
        break;
      }
      if (walk->parent == kNoWindow) break;
      walk = Find(walk->parent);
    }
    if (!activated && walk != nullptr) ActivateLocked(walk->handle);
  }
  Notify(NotificationKind::kFocus, window);
  FlushNotifications(lock);
  return previous;
}

WindowHandle WindowSystem::GetFocus() const {
  Lock lock(mutex_);
  return focus_;
}

WindowHandle WindowSystem::SetActiveWindow(WindowHandle window) {
  Lock lock(mutex_);
  const WindowRecord* record = Find(window);
  if (record == nullptr || record->parent != kNoWindow) return kNoWindow;
  const WindowHandle previous = active_;
  ActivateLocked(window);
  FlushNotifications(lock);
  return previous;
}

WindowHandle WindowSystem::GetActiveWindow() const {
  Lock lock(mutex_);
  return active_;
}

bool WindowSystem::MdiActivate(WindowHandle child) {
  Lock lock(mutex_);
  WindowRecord* record = Find(child);
  if (record == nullptr) return false;
  const bool done = MdiActivateLocked(*record);
  FlushNotifications(lock);
  return done;
}

WindowHandle WindowSystem::MdiGetActive(WindowHandle client) const {
  Lock lock(mutex_);
  const WindowRecord* record = Find(client);
  return record == nullptr ? kNoWindow : record->mdi_active;
}

std::uint16_t WindowSystem::GetKeyState(int virtual_key) const {
  Lock lock(mutex_);
  std::uint16_t state = 0;
  if (IsSet(keys_down_, virtual_key)) state |= 0x8000;
  if (IsSet(keys_toggled_, virtual_key)) state |= 0x0001;
  return state;
}

void WindowSystem::SetLockKey(int virtual_key, bool on) {
  Lock lock(mutex_);
  keys_toggled_[virtual_key] = on;
}

void WindowSystem::InjectKey(int virtual_key, bool down, char character) {
  Lock lock(mutex_);
  const bool was_down = keys_down_[virtual_key];
  keys_down_[virtual_key] = down;
  if (down && !was_down && IsLockKey(virtual_key)) {
    keys_toggled_[virtual_key] = !keys_toggled_[virtual_key];
  }
  WindowRecord* target = Find(focus_ != kNoWindow ? focus_ : active_);
  if (target == nullptr) return;
  // With Alt held (and for Alt itself) keys arrive as system keys.
  const bool system = keys_down_[kVkMenu];
  std::intptr_t lparam = 1;
  if (IsExtendedKey(virtual_key)) lparam |= kExtendedKeyBit;
  if (was_down) lparam |= kPreviousDownBit;
  if (!down) lparam |= kTransitionBit | kPreviousDownBit;
  const std::uint32_t message = down ? (system ? kWmSysKeyDown : kWmKeyDown)
                                     : (system ? kWmSysKeyUp : kWmKeyUp);
  const std::uint16_t state = KeyStateOf(keys_down_, keys_toggled_);
  PostLocked(*target->thread, Message{target->handle, message,
                                      static_cast<std::uintptr_t>(virtual_key), lparam, 0, state});
  if (down && character != 0) {
    PostLocked(*target->thread,
               Message{target->handle, system ? kWmSysChar : kWmChar,
                       static_cast<std::uintptr_t>(static_cast<unsigned char>(character)), lparam,
                       0, state});
  }
}

void WindowSystem::InjectMouse(WindowHandle window, std::uint32_t message, int x, int y,
                               std::uintptr_t extra) {
  Lock lock(mutex_);
  WindowRecord* record = Find(window);
  if (record == nullptr) return;
  // wparam: the keys and buttons held, as kMk* bits.
  std::uintptr_t held = extra;
  if (IsSet(keys_down_, kVkShift)) held |= kMkShift;
  if (IsSet(keys_down_, kVkControl)) held |= kMkControl;
  if (message == kWmLButtonDown || message == kWmLButtonDblClk) held |= kMkLButton;
  if (message == kWmRButtonDown || message == kWmRButtonDblClk) held |= kMkRButton;
  if (message == kWmMButtonDown || message == kWmMButtonDblClk) held |= kMkMButton;
  PostLocked(*record->thread, Message{window, message, held, MakePointParam(x, y), 0,
                                      KeyStateOf(keys_down_, keys_toggled_)});
}

bool WindowSystem::InjectInput(WindowHandle window, std::uint32_t message, std::uintptr_t wparam,
                               std::intptr_t lparam) {
  Lock lock(mutex_);
  WindowRecord* record = Find(window);
  if (record == nullptr) return false;
  PostLocked(*record->thread, Message{window, message, wparam, lparam, 0,
                                      KeyStateOf(keys_down_, keys_toggled_)});
  return true;
}

}  // namespace vaultrix::platform
