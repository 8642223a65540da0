// Publishing what an opened window shows beyond its controls' state (its
// font, icon, modality, frame style, the keys its key table takes; each
// control's tooltip, image, range, menu action and accelerator, the default
// button; the status bar's zone widths) from its description to the window
// system, where the display drivers read it (platform/window_classes.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/windows/event_engine.h"
#include "runtime/windows/window_resource.h"

namespace vaultrix::windows {

// The window style that the description's attribute flags give: frame kind,
// caption, system menu, minimize and maximize boxes.
[[nodiscard]] std::uint32_t StyleOfAttributes(std::uint32_t attributes, bool has_title,
                                              bool has_icon, bool mdi_child, bool has_menu);

// A file name of a description as the resource name it is found under
// ("ADS.ICO" is "ADS_ICO"; "~key3.gif" is "KEY3_GIF").
[[nodiscard]] std::string ResourceNameOfFile(std::string_view file);

// REQUIRES: the window's contents were built (BuildWindowContents).
void PublishDisplayAttributes(EventEngine& engine, WindowResource& window);

}  // namespace vaultrix::windows
