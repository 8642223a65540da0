// Main: the application frame, an MDI frame with menus, a toolbar and a
// status bar, from which every other procedure is started on a thread of its
// own. It runs on thread 1 and returns when its loop ends (File > Exit, a
// close request, "EVENT:CloseDown" from the platform's shut-down or from the
// automatic close-down).
//
// Before the frame opens it checks the vault: a users file without records
// beside a passwords file with records means damage or tampering, and the
// application ends with "Cannot Proceed" before anything is shown.
//
// The frame's timer (every second, every half second after the toolbar's key
// animation) keeps status zones 3 (day and date) and 4 (time) current, clears
// the clipboard ClipboardClearSeconds after it changed and starts Countdown
// after InactivityMinutes without activity; zone 2 shows the seconds left of
// the shutdown, else of the clipboard clearing.
#pragma once

#include <cstdint>
#include <string_view>

namespace vaultrix::app {

// Menu items and toolbar controls of "MAIN$APPFRAME".
inline constexpr int kMenuPasswords = -1;
inline constexpr int kMenuUserSetup = -2;
inline constexpr int kMenuPrint = -3;
inline constexpr int kMenuPrintByService = -4;
inline constexpr int kMenuPrintByUrl = -5;
inline constexpr int kMenuPrintByName = -6;
inline constexpr int kMenuImport = -8;
inline constexpr int kMenuExport = -9;
inline constexpr int kMenuExit = -10;
inline constexpr int kMenuFilterClipboard = -14;
inline constexpr int kMenuOptions = -15;
inline constexpr int kMenuTips = -20;
inline constexpr int kToolPasswords = -21;
inline constexpr int kToolUsers = -22;
inline constexpr int kToolUser1 = -23;
inline constexpr int kToolUser3 = -25;
inline constexpr int kToolAnimatedKey = -28;

// Status bar zones the frame writes.
inline constexpr int kZoneCountdown = 2;
inline constexpr int kZoneDate = 3;
inline constexpr int kZoneTime = 4;

inline constexpr std::string_view kCannotProceedCaption = "Cannot Proceed";
inline constexpr std::string_view kCannotProceedText =
    "User file is empty, but passwords file is not.  This is either the result of file damage "
    "or tampering.";

void Main();

}  // namespace vaultrix::app
