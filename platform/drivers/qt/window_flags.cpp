// Style bits to Qt window hints.
#include "platform/drivers/qt/window_flags.h"

namespace vaultrix::platform::qt {

FrameLook LookOfStyle(std::uint32_t style, std::uint32_t ex_style) {
  FrameLook look;
  look.caption = (style & kWsCaption) == kWsCaption;
  if ((style & kWsThickFrame) != 0) {
    look.frame = FrameKind::kResizable;
  } else if ((style & kWsDlgFrame) != 0 || (ex_style & kWsExDlgModalFrame) != 0) {
    look.frame = FrameKind::kDialog;
  } else if ((style & kWsBorder) != 0) {
    look.frame = FrameKind::kSingle;
  } else {
    look.frame = FrameKind::kNone;
  }
  // Boxes and the system menu live in the caption bar.
  look.system_menu = look.caption && (style & kWsSysMenu) != 0;
  look.minimize_box = look.caption && (style & kWsMinimizeBox) != 0;
  look.maximize_box = look.caption && (style & kWsMaximizeBox) != 0;
  return look;
}

Qt::WindowFlags WindowFlagsOf(const FrameLook& look, bool mdi_child) {
  Qt::WindowFlags flags = mdi_child ? Qt::SubWindow : Qt::Window;
  if (look.frame == FrameKind::kNone && !look.caption) return flags | Qt::FramelessWindowHint;
  flags |= Qt::CustomizeWindowHint;
  if (look.caption) flags |= Qt::WindowTitleHint;
  if (look.system_menu) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (look.minimize_box) flags |= Qt::WindowMinimizeButtonHint;
  if (look.maximize_box) flags |= Qt::WindowMaximizeButtonHint;
  return flags;
}

bool IsModalWindow(const WindowInfo& info) {
  return info.kind == WindowKind::kPlain && (info.ex_style & kWsExDlgModalFrame) != 0;
}

}  // namespace vaultrix::platform::qt
