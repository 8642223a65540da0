// Import and export of a user's password entries as comma-separated text.
// Both are started by the frame on a thread of their own; each asks first
// for the user (SelectUsers) and ends at once when none is chosen.
#pragma once

#include <string>
#include <string_view>

namespace vaultrix::app {

// The export window ("EXPORT$WINDOW") and its progress window.
void Export();

// The import window ("IMPORT$WINDOW") and its progress window.
void Import();

// The picture prompt ("IMPORTEXPORT_ASKPICTURE$WINDOW") showing `picture`:
// the edited picture, or blank when cancelled. A picture that does not begin
// with "@" is refused with "Invalid Picture!" and the prompt stays open.
[[nodiscard]] std::string ImportExport_AskPicture(std::string_view picture);

}  // namespace vaultrix::app
