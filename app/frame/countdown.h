// Countdown: the close-down window that the frame starts after a time
// without user activity. Ten seconds after it opens it closes down the whole
// application; its "Cancel" closes only itself, and the application stays open
// until the next period of inactivity. Its own events are not activity.
#pragma once

namespace vaultrix::app {

inline constexpr int kCountdownText = 2;
inline constexpr int kCountdownCancel = 3;

void Countdown();

}  // namespace vaultrix::app
