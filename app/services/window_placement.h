// Remembering where each procedure's window was: its position, size and
// whether it was maximized, in the program's INI file, one section per
// procedure named exactly as the procedure ("Main", "BrowsePasswords", ...):
//
//   Maximize   "Yes" or "No"
//   XPosit, YPosit, Width, Height   decimal integers in window units
//
// A window that is closed iconized writes nothing, so it keeps the placement
// it had before. A section without "XPosit" (a first start) leaves the window
// where its description puts it and ignores "Maximize" too.
//
// The window is reached through PlacementTarget, which the window engine's
// windows implement.
#pragma once

#include <cstdint>
#include <string_view>

namespace vaultrix::app {

inline constexpr std::string_view kProgramIniFile = "VAULTRIX.INI";

struct WindowRect {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  friend bool operator==(const WindowRect&, const WindowRect&) = default;
};

class PlacementTarget {
 public:
  virtual ~PlacementTarget() = default;
  [[nodiscard]] virtual bool IsMaximized() const = 0;
  [[nodiscard]] virtual bool IsIconized() const = 0;
  [[nodiscard]] virtual bool IsResizable() const = 0;
  // Position and size of the window as it is when not maximized.
  [[nodiscard]] virtual WindowRect Placement() const = 0;
  virtual void SetPlacement(const WindowRect& placement) = 0;
  virtual void SetMaximized(bool maximized) = 0;
};

// Right before the window closes. The window is restored from maximized
// first, so that the values written are its normal placement.
void SaveWindowPlacement(PlacementTarget& window, std::string_view section,
                         std::string_view file = kProgramIniFile);

// Right after the window opens.
void RestoreWindowPlacement(PlacementTarget& window, std::string_view section,
                            std::string_view file = kProgramIniFile);

}  // namespace vaultrix::app
