// The progress window of import and export ("EXPORT$PROGRESSWINDOW",
// "IMPORT$PROGRESSWINDOW"): the work runs in slices on its timer events, the
// lower text shows the percentage followed by "% Completed" (redrawn only
// when it changes) and "Process Completed" at the end; its "Cancel" button or
// closing the window ends the work after the current slice.
//
// Locks: REQUIRES the runtime lock.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

namespace vaultrix::app {

// What one timer event does: true while there is more to do. `percent` is
// set to the share done so far (0 to 100).
using ProgressSlice = std::function<bool(std::int32_t& percent)>;

struct ProgressTexts {
  std::string_view module;     // "VAULTRIX$vltrx014"
  std::string_view structure;  // "EXPORT$PROGRESSWINDOW"
  std::string_view section;    // the procedure's name, for the placement
  std::string_view caption;    // "Exporting Records"
  std::string_view upper;      // "Exporting Passwords"
};

// Runs `slice` on every timer event until it answers false or the user
// cancels; `on_open` runs first (on the window's opening) and may end the
// work at once by answering false. True when the work ran to its end.
bool RunProgress(const ProgressTexts& texts, const std::function<bool()>& on_open,
                 const ProgressSlice& slice);

}  // namespace vaultrix::app
