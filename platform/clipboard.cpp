// The clipboard: one text, and a counter that grows with every change so
// that a caller can tell whether what it put there is still there. Texts are
// often passwords: the held copy is wiped before its memory is released.
#include <string.h>

#include "platform/window_system.h"
#include "platform/window_system_records.h"

namespace vaultrix::platform {
namespace {

void Wipe(std::optional<std::string>& text) {
  if (!text) return;
  explicit_bzero(text->data(), text->size());
  text.reset();
}

}  // namespace

void WindowSystem::SetClipboardText(std::string text) {
  Lock lock(mutex_);
  Wipe(clipboard_);
  clipboard_ = std::move(text);
  ++clipboard_sequence_;
  Notify(NotificationKind::kClipboard, kNoWindow);
  FlushNotifications(lock);
}

void WindowSystem::SetClipboardTextFromProgram(std::string text) {
  Lock lock(mutex_);
  Wipe(clipboard_);
  clipboard_ = std::move(text);
  program_clipboard_ = ++clipboard_sequence_;
  Notify(NotificationKind::kClipboard, kNoWindow);
  FlushNotifications(lock);
}

bool WindowSystem::EmptyProgramClipboard() {
  Lock lock(mutex_);
  if (program_clipboard_ != clipboard_sequence_ || !clipboard_) return false;
  Wipe(clipboard_);
  ++clipboard_sequence_;
  Notify(NotificationKind::kClipboard, kNoWindow);
  FlushNotifications(lock);
  return true;
}

std::optional<std::string> WindowSystem::GetClipboardText() const {
  Lock lock(mutex_);
  return clipboard_;
}

void WindowSystem::EmptyClipboard() {
  Lock lock(mutex_);
  Wipe(clipboard_);
  ++clipboard_sequence_;
  Notify(NotificationKind::kClipboard, kNoWindow);
  FlushNotifications(lock);
}

std::uint32_t WindowSystem::ClipboardSequenceNumber() const {
  Lock lock(mutex_);
  return clipboard_sequence_;
}

}  // namespace vaultrix::platform
