// Keys that a window takes before they reach its controls: the key table
// (menu accelerators and alert keys), Alt with a marked letter, and the keys
// that PressKeys typed ahead.
//
// Locks: REQUIRES the runtime lock.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/window_messages.h"
#include "runtime/windows/event_engine.h"

namespace vaultrix::windows {

// Fills the window's key table from its menu items' accelerators.
void BuildKeyTable(WindowObject& window);

// The keys the window takes before its controls: its menu items'
// accelerators and its alert keys, as key codes.
[[nodiscard]] std::vector<std::int32_t> ClaimedKeys(const WindowObject& window);

// Hands ClaimedKeys to the window system, where a display driver reads them
// at every key press to keep those keys from its widgets. Called whenever
// the alert keys change while the window is open.
void PublishClaimedKeys(EventEngine& engine, const WindowObject& window);

// Runs a key table command on the window: 0 raises "EVENT:AlertKey" (naming
// the focus control), 0x4000 + n chooses control n.
void RunKeyCommand(EventEngine& engine, WindowObject& window, std::int32_t command);

// Offers a key-down with its key code to the window's key table, alert
// keys and marked letters; true when it was taken.
bool OfferKeyToTable(EventEngine& engine, WindowObject& window, const platform::Message& message,
                     std::int32_t key_code);

// PressKeys: appends a key code to the typed-ahead buffer (534 when full at
// 1024 entries).
void PressKeys(EventEngine& engine, std::int32_t key_code);

// Takes the oldest typed-ahead key, if any, and handles it on the thread's
// current window as real typing would: the thread's key code, the key
// table, a character into the focused field, else the key to the focus.
// False when the buffer was empty.
bool FeedPressedKey(EventEngine& engine, int thread, WindowObject& window);

}  // namespace vaultrix::windows
