// Properties of windows and controls by number, and the display operations
// on a range of controls of the target window. Values travel as text, the
// way a procedure's value stack holds them; flags read "1" or "".
//
// Locks: REQUIRES the runtime lock.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/windows/event_engine.h"

namespace vaultrix::windows {

inline constexpr std::int32_t kPropText = 0x7C00;
inline constexpr std::int32_t kPropX = 0x7C02;
inline constexpr std::int32_t kPropY = 0x7C03;
inline constexpr std::int32_t kPropWidth = 0x7C04;
inline constexpr std::int32_t kPropHeight = 0x7C05;
inline constexpr std::int32_t kPropDoubleFrame = 0x7C19;
inline constexpr std::int32_t kPropResizeFrame = 0x7C1A;
inline constexpr std::int32_t kPropNoFrame = 0x7C1B;
inline constexpr std::int32_t kPropMaximizeBox = 0x7C42;
inline constexpr std::int32_t kPropCursor = 0x7C5D;
inline constexpr std::int32_t kPropMinimized = 0x7C69;
inline constexpr std::int32_t kPropMaximized = 0x7C6F;
inline constexpr std::int32_t kPropTimer = 0x7C86;
inline constexpr std::int32_t kPropThread = 0x7C95;
inline constexpr std::int32_t kPropHandle = 0x7C96;
inline constexpr std::int32_t kPropAcceptAll = 0x7C9A;
inline constexpr std::int32_t kPropVerticalScroll = 0x7C9E;
inline constexpr std::int32_t kPropHorizontalScroll = 0x7CBB;
inline constexpr std::int32_t kPropStatusBar = 0x7D00;
inline constexpr std::int32_t kPropStatusText = 0x7D01;
inline constexpr std::int32_t kPropDropId = 0x7D03;
inline constexpr std::int32_t kPropAlertKey = 0x7D06;
// Numbers below this address a control's value.
inline constexpr std::int32_t kFirstAttributeProperty = 0x7000;

// The thread's target window, else its current window, else the frame.
[[nodiscard]] WindowObject* TargetWindow(EventEngine& engine);

// `target` null means TargetWindow. A target that is not open is runtime
// error 536; control 0 addresses the window. Unknown numbers read "" and
// ignore writes; so do controls the window does not have.
[[nodiscard]] std::string GetProperty(EventEngine& engine, WindowObject* target,
                                      std::int32_t control, std::int32_t number,
                                      std::int32_t index = 0);
void SetProperty(EventEngine& engine, WindowObject* target, std::int32_t control,
                 std::int32_t number, std::int32_t index, std::string_view value);

// first 0: every control. The controls numbered first to last (to first
// when last is 0) are hidden or shown again.
void HideControls(EventEngine& engine, std::int32_t first, std::int32_t last);
void UnhideControls(EventEngine& engine, std::int32_t first, std::int32_t last);
// The same ranges made unavailable to the user and available again.
void DisableControls(EventEngine& engine, std::int32_t first, std::int32_t last);
void EnableControls(EventEngine& engine, std::int32_t first, std::int32_t last);
// The same range shown again from the controls' use variables.
void DisplayControls(EventEngine& engine, std::int32_t first, std::int32_t last);

}  // namespace vaultrix::windows
