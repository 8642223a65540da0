// The order in which menu bars are searched, and a path through one.
#include "platform/drivers/headless/menu_search.h"

#include <algorithm>

#include "platform/drivers/headless/window_dump.h"
#include "platform/window_classes.h"

namespace vaultrix::platform::headless {
namespace {

// The windows whose own bars come first: the active MDI child, the active
// window, the frame.
std::vector<WindowHandle> PreferredOwners(const WindowSystem& system) {
  std::vector<WindowHandle> owners;
  const WindowHandle active = system.GetActiveWindow();
  WindowHandle frame = kNoWindow;
  for (WindowHandle top : system.TopLevelWindows()) {
    const std::optional<WindowInfo> info = system.GetWindowInfo(top);
    if (info && info->kind == WindowKind::kFrame) frame = top;
  }
  if (active != kNoWindow && active == frame) {
    for (WindowHandle child : system.Children(frame)) {
      const std::optional<WindowInfo> info = system.GetWindowInfo(child);
      if (!info || info->kind != WindowKind::kMdiClient) continue;
      if (const WindowHandle mdi = system.MdiGetActive(child); mdi != kNoWindow) {
        owners.push_back(mdi);
      }
    }
  }
  if (active != kNoWindow) owners.push_back(active);
  if (frame != kNoWindow) owners.push_back(frame);
  return owners;
}

}  // namespace

std::vector<WindowHandle> MenuBarsInSearchOrder(const WindowSystem& system,
                                                std::vector<WindowHandle> shown) {
  std::vector<WindowHandle> ordered;
  for (WindowHandle owner : PreferredOwners(system)) {
    for (WindowHandle bar : shown) {
      const std::optional<WindowInfo> info = system.GetWindowInfo(bar);
      if (info && info->parent == owner &&
          std::find(ordered.begin(), ordered.end(), bar) == ordered.end()) {
        ordered.push_back(bar);
      }
    }
  }
  for (WindowHandle bar : shown) {
    if (std::find(ordered.begin(), ordered.end(), bar) == ordered.end()) ordered.push_back(bar);
  }
  return ordered;
}

WindowHandle FindMenuItem(const WindowSystem& system, WindowHandle bar,
                          const std::vector<std::string>& path, std::string* error) {
  WindowHandle level = bar;
  std::string walked;
  for (std::size_t i = 0; i < path.size(); ++i) {
    WindowHandle found = kNoWindow;
    for (WindowHandle child : system.Children(level)) {
      const std::optional<WindowInfo> info = system.GetWindowInfo(child);
      if (info && NameKey(info->text) == NameKey(path[i])) {
        found = child;
        break;
      }
    }
    walked += (i == 0 ? "" : " > ") + Quoted(path[i]);
    if (found == kNoWindow) {
      *error = "no menu item " + walked;
      return kNoWindow;
    }
    level = found;
  }
  return level;
}

}  // namespace vaultrix::platform::headless
