// Splash: the product picture for three seconds when the frame opens, closed
// earlier by a mouse click on it or by the user's first menu or toolbar
// choice in the frame (which posts "EVENT:CloseWindow" to its thread).
#pragma once

namespace vaultrix::app {

void Splash();

}  // namespace vaultrix::app
