// The four options of the application and the two deadlines of the frame's
// timers, shared by all threads (the runtime lock serialises their use).
//
// The options live in the default profile (WIN.INI), section "Vaultrix
// Settings", as decimal integers; a missing or non-numeric value reads as 0,
// so every option is off on a new installation:
//
//   global                 key        meaning
//   SkipCopyButtons        "VX_Skip"  the password form tabs past its copy/paste buttons
//   HideClipboard          "VX_HC"    the password windows hide the clipboard display
//   ClipboardClearSeconds  "VX_CI"    seconds from a clipboard change to its clearing; 0 off
//   InactivityMinutes      "VX_IT"    minutes without activity before the close-down; 0 off
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/support/fixed_string.h"

namespace vaultrix::app {

inline constexpr std::string_view kOptionsSection = "Vaultrix Settings";
inline constexpr std::string_view kSkipCopyButtonsKey = "VX_Skip";
inline constexpr std::string_view kClipboardClearKey = "VX_CI";
inline constexpr std::string_view kInactivityKey = "VX_IT";
inline constexpr std::string_view kHideClipboardKey = "VX_HC";

extern std::uint8_t SkipCopyButtons;
extern std::uint8_t HideClipboard;
extern std::int32_t ClipboardClearSeconds;
extern std::int32_t InactivityMinutes;

// CLOCK values (hundredths since midnight) at which the clipboard is to be
// cleared and the close-down countdown to start; the shutdown deadline is 0
// while the inactivity close is off.
extern std::int32_t ClipboardDeadline;
extern std::int32_t ShutdownDeadline;

// 1, 2 or 3 when the password browser was started by a toolbar user button.
extern std::uint8_t QuickUserSlot;
// The clipboard's text as the password windows show it.
extern support::FixedString<90> ClipboardDisplay;
// Wipes it and leaves it blank, at shut-down.
void WipeClipboardDisplay();

// The four options as stored.
struct StoredOptions {
  std::uint8_t skip_copy_buttons = 0;
  std::uint8_t hide_clipboard = 0;
  std::int32_t clipboard_clear_seconds = 0;
  std::int32_t inactivity_minutes = 0;
};

[[nodiscard]] StoredOptions ReadStoredOptions();
// Writes the four keys in the order "VX_Skip", "VX_CI", "VX_IT", "VX_HC";
// false when one could not be written.
[[nodiscard]] bool WriteStoredOptions(const StoredOptions& options);
// Reads the stored options into the globals.
void LoadOptions();

}  // namespace vaultrix::app
