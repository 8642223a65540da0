// The report preview's two small windows, each run on the preview's thread:
// "Jump to a Report Page" (a page from 1 to the total) and "Change the
// Report Display" (thumbnails across and down, 1 to 10 each).
#pragma once

namespace vaultrix::app {

// The page chosen, or 0 when the window was cancelled.
[[nodiscard]] int JumpToPage(int current, int total);

// True, with `across` and `down` changed, when "&OK" was pressed.
[[nodiscard]] bool SelectDisplay(int* across, int* down);

}  // namespace vaultrix::app
