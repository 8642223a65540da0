// Saving and restoring window placements in the INI file.
#include "app/services/window_placement.h"

#include <string>

#include "runtime/support/profile.h"

namespace vaultrix::app {
namespace {

// A placement is a convenience: a settings file that cannot be written must
// not keep a window from closing, so write failures are not reported.
void Put(std::string_view section, std::string_view key, const std::string& value,
         std::string_view file) {
  (void)support::PutIni(section, key, value, file);
}

std::int32_t Read(std::string_view section, std::string_view key, std::string_view file) {
  return static_cast<std::int32_t>(support::GetIniLong(section, key, 0, file));
}

}  // namespace

void SaveWindowPlacement(PlacementTarget& window, std::string_view section, std::string_view file) {
  const std::string maximize = window.IsMaximized() ? "Yes" : "No";
  window.SetMaximized(false);
  if (window.IsIconized()) return;
  const WindowRect placement = window.Placement();
  Put(section, "Maximize", maximize, file);
  Put(section, "XPosit", std::to_string(placement.x), file);
  Put(section, "YPosit", std::to_string(placement.y), file);
  Put(section, "Width", std::to_string(placement.width), file);
  Put(section, "Height", std::to_string(placement.height), file);
}

void RestoreWindowPlacement(PlacementTarget& window, std::string_view section,
                            std::string_view file) {
  const std::int32_t x = Read(section, "XPosit", file);
  if (x == 0) return;
  if (!window.IsMaximized()) {
    WindowRect placement = window.Placement();
    const std::int32_t y = Read(section, "YPosit", file);
    bool complete = y != 0;
    if (complete && window.IsResizable()) {
      placement.width = Read(section, "Width", file);
      placement.height = Read(section, "Height", file);
      complete = placement.width != 0 && placement.height != 0;
    }
    if (complete) {
      placement.x = x;
      placement.y = y;
      window.SetPlacement(placement);
    }
  }
  window.SetMaximized(support::GetIni(section, "Maximize", "", file) == "Yes");
}

}  // namespace vaultrix::app
