// The image control showing a report's page file. A page file is shown only
// when it is longer than its 22-byte header and begins with the key (its
// checksum is not tested); its natural size is the sheet in screen pixels.
// The control's display names the file, from which the drivers paint it.
//
// Locks: REQUIRES the runtime lock.
#pragma once

#include <string>

#include "platform/metafile_page.h"
#include "runtime/windows/event_engine.h"
#include "runtime/windows/window_object.h"

namespace vaultrix::windows {

// Shows the page file `path` in the image control `control`; answers false,
// and shows nothing, when the file is no page file. `size` (optional)
// receives the page's natural size.
bool ShowPageFile(EventEngine& engine, const ControlObject& control, const std::string& path,
                  platform::NaturalSize* size = nullptr);

}  // namespace vaultrix::windows
