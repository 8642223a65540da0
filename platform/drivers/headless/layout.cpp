// Dialog units to pixels and hit testing over the window tree.
#include "platform/drivers/headless/layout.h"

namespace vaultrix::platform::headless {
namespace {

bool HasCaptionBar(const WindowInfo& info) {
  return info.kind != WindowKind::kControl && info.kind != WindowKind::kMdiClient &&
         (info.style & kWsCaption) == kWsCaption;
}

WindowHandle DeepestAt(const WindowSystem& system, WindowHandle window, int x, int y) {
  std::optional<PixelRect> client = ClientRect(system, window);
  if (!client || !client->Contains(x, y)) return window;
  // Children later in the list lie on top, except an MDI client's, which
  // keeps its topmost child first.
  std::vector<WindowHandle> children = system.Children(window);
  std::optional<WindowInfo> info = system.GetWindowInfo(window);
  const bool topmost_first = info && info->kind == WindowKind::kMdiClient;
  const int count = static_cast<int>(children.size());
  for (int i = 0; i < count; ++i) {
    const WindowHandle child = children[static_cast<std::size_t>(topmost_first ? i : count - 1 - i)];
    if (!system.IsWindowVisible(child)) continue;
    std::optional<PixelRect> rect = ScreenRect(system, child);
    if (rect && rect->Contains(x, y)) return DeepestAt(system, child, x, y);
  }
  return window;
}

}  // namespace

int HorizontalPixels(int dialog_units) {
  return dialog_units * kCharWidth / 4;
}

int VerticalPixels(int dialog_units) {
  return dialog_units * kCharHeight / 8;
}

std::optional<PixelRect> ScreenRect(const WindowSystem& system, WindowHandle window) {
  std::optional<WindowInfo> info = system.GetWindowInfo(window);
  if (!info) return std::nullopt;
  PixelRect rect{HorizontalPixels(info->rect.x), VerticalPixels(info->rect.y),
                 HorizontalPixels(info->rect.width), VerticalPixels(info->rect.height)};
  if (info->parent != kNoWindow) {
    std::optional<PixelRect> parent = ClientRect(system, info->parent);
    if (!parent) return std::nullopt;
    // An MDI client fills its frame's client area.
    if (info->kind == WindowKind::kMdiClient) return parent;
    rect.x += parent->x;
    rect.y += parent->y;
  }
  return rect;
}

std::optional<PixelRect> ClientRect(const WindowSystem& system, WindowHandle window) {
  std::optional<PixelRect> rect = ScreenRect(system, window);
  std::optional<WindowInfo> info = system.GetWindowInfo(window);
  if (!rect || !info) return std::nullopt;
  if (HasCaptionBar(*info)) {
    rect->y += kCaptionHeight;
    rect->height = rect->height > kCaptionHeight ? rect->height - kCaptionHeight : 0;
  }
  return rect;
}

WindowHandle WindowAt(const WindowSystem& system, int x, int y) {
  for (WindowHandle top : system.TopLevelWindows()) {
    if (!system.IsWindowVisible(top)) continue;
    std::optional<PixelRect> rect = ScreenRect(system, top);
    if (rect && rect->Contains(x, y)) return DeepestAt(system, top, x, y);
  }
  return kNoWindow;
}

}  // namespace vaultrix::platform::headless
