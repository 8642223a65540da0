// The Qt window flags of a window's stored style: caption, system menu,
// minimize and maximize boxes, the kind of frame, and whether the user may
// resize it. Windows styles are what the window system keeps; the
// description's attribute flags became these styles when the window opened.
#pragma once

#include <QtCore/Qt>

#include <cstdint>

#include "platform/window_system.h"

namespace vaultrix::platform::qt {

enum class FrameKind : int { kNone, kSingle, kResizable, kDialog };

struct FrameLook {
  FrameKind frame = FrameKind::kSingle;
  bool caption = false;
  bool system_menu = false;
  bool minimize_box = false;
  bool maximize_box = false;
};

[[nodiscard]] FrameLook LookOfStyle(std::uint32_t style, std::uint32_t ex_style);

// Flags for a top-level window (Qt::Window added) or an MDI child's
// sub-window (Qt::SubWindow added).
[[nodiscard]] Qt::WindowFlags WindowFlagsOf(const FrameLook& look, bool mdi_child);

// A window the engine counts modal. The window system has no field of its
// own for it yet: the dialog-modal-frame extended style marks it.
[[nodiscard]] bool IsModalWindow(const WindowInfo& info);

}  // namespace vaultrix::platform::qt
