// Setup: the options window. It shows the four stored options; "&Ok" stores
// what the user entered and "Cancel" stores nothing; either way the globals
// are then read back from the store, so they always match it. A negative
// number of minutes is refused with a message and the window stays open.
#pragma once

#include <string_view>

namespace vaultrix::app {

inline constexpr int kSetupSkipCopyButtons = 1;
inline constexpr int kSetupHideClipboard = 2;
inline constexpr int kSetupClearSeconds = 4;
inline constexpr int kSetupInactivityMinutes = 6;
inline constexpr int kSetupOk = 7;
inline constexpr int kSetupCancel = 8;

inline constexpr std::string_view kNegativeMinutesText =
    "The number of minutes cannot be negative.  Enter 0 to switch the automatic close off.";

void Setup();

}  // namespace vaultrix::app
