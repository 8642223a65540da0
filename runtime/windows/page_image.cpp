#include "runtime/windows/page_image.h"

namespace vaultrix::windows {

bool ShowPageFile(EventEngine& engine, const ControlObject& control, const std::string& path,
                  platform::NaturalSize* size) {
  platform::WindowSystem& system = engine.System();
  const std::optional<platform::WindowInfo> info = system.GetWindowInfo(control.handle);
  if (!info) return false;
  platform::PageSummary page;
  const bool shown = platform::SummarizePageFile(path, &page);
  platform::DisplayAttributes display = info->display;
  display.image = shown ? path : std::string();
  (void)system.SetDisplayAttributes(control.handle, std::move(display));
  if (shown && size != nullptr) *size = page.size;
  return shown;
}

}  // namespace vaultrix::windows
