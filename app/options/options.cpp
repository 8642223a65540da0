// The options, their storage in the default profile, and the timer globals.
#include "app/options/options.h"

#include <string.h>

#include <charconv>
#include <string>

#include "runtime/support/profile.h"

namespace vaultrix::app {

std::uint8_t SkipCopyButtons = 0;
std::uint8_t HideClipboard = 0;
std::int32_t ClipboardClearSeconds = 0;
std::int32_t InactivityMinutes = 0;
std::int32_t ClipboardDeadline = 0;
std::int32_t ShutdownDeadline = 0;
std::uint8_t QuickUserSlot = 0;
support::FixedString<90> ClipboardDisplay;

void WipeClipboardDisplay() {
  ::explicit_bzero(ClipboardDisplay.data(), ClipboardDisplay.size());
  ClipboardDisplay = std::string_view();
}

namespace {

// The text's leading number; 0 when it does not start with one.
std::int32_t Number(std::string_view key) {
  const std::string text = support::GetIni(kOptionsSection, key, "");
  std::size_t start = text.find_first_not_of(' ');
  if (start == std::string::npos) return 0;
  std::int32_t value = 0;
  const char* first = text.data() + start;
  if (*first == '+') ++first;
  const auto result = std::from_chars(first, text.data() + text.size(), value);
  return result.ec == std::errc() ? value : 0;
}

}  // namespace

StoredOptions ReadStoredOptions() {
  StoredOptions options;
  options.skip_copy_buttons = static_cast<std::uint8_t>(Number(kSkipCopyButtonsKey));
  options.clipboard_clear_seconds = Number(kClipboardClearKey);
  options.inactivity_minutes = Number(kInactivityKey);
  options.hide_clipboard = static_cast<std::uint8_t>(Number(kHideClipboardKey));
  return options;
}

bool WriteStoredOptions(const StoredOptions& options) {
  bool written = support::PutIni(kOptionsSection, kSkipCopyButtonsKey,
                                 std::to_string(options.skip_copy_buttons)) == 0;
  written &= support::PutIni(kOptionsSection, kClipboardClearKey,
                             std::to_string(options.clipboard_clear_seconds)) == 0;
  written &= support::PutIni(kOptionsSection, kInactivityKey,
                             std::to_string(options.inactivity_minutes)) == 0;
  written &= support::PutIni(kOptionsSection, kHideClipboardKey,
                             std::to_string(options.hide_clipboard)) == 0;
  return written;
}

void LoadOptions() {
  const StoredOptions options = ReadStoredOptions();
  SkipCopyButtons = options.skip_copy_buttons;
  ClipboardClearSeconds = options.clipboard_clear_seconds;
  InactivityMinutes = options.inactivity_minutes;
  HideClipboard = options.hide_clipboard;
}

}  // namespace vaultrix::app
