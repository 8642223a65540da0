// Pixel layout of the headless display: fixed font metrics turn dialog units
// into pixels the same way on every machine, so that a test can click at a
// control's pixel position and get the same control everywhere.
//
// A dialog unit is a quarter of the average character width horizontally and
// an eighth of the character height vertically. Top-level and MDI child
// windows with a caption have a caption bar above their client area.
#pragma once

#include <optional>
#include <vector>

#include "platform/window_system.h"

namespace vaultrix::platform::headless {

inline constexpr int kCharWidth = 8;     // pixels
inline constexpr int kCharHeight = 16;   // pixels
inline constexpr int kCaptionHeight = 20;

struct PixelRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  [[nodiscard]] bool Contains(int px, int py) const {
    return px >= x && py >= y && px < x + width && py < y + height;
  }
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

[[nodiscard]] int HorizontalPixels(int dialog_units);
[[nodiscard]] int VerticalPixels(int dialog_units);

// A window's rectangle in screen pixels (its parents' client origins added),
// nullopt when the handle names no window.
[[nodiscard]] std::optional<PixelRect> ScreenRect(const WindowSystem& system, WindowHandle window);
// Where a window's client area starts, in screen pixels.
[[nodiscard]] std::optional<PixelRect> ClientRect(const WindowSystem& system, WindowHandle window);
// The innermost visible window at a screen pixel, topmost first; kNoWindow
// when none.
[[nodiscard]] WindowHandle WindowAt(const WindowSystem& system, int x, int y);

}  // namespace vaultrix::platform::headless
