// The standard actions of menu items that the program itself carries out:
// printer set-up (Print Setup ...) and the help document (Help > Contents).
// The window list, tiling and the clipboard actions are the runtime's and
// the display driver's own.
#pragma once

#include <functional>
#include <string>

#include "platform/display_driver.h"
#include "runtime/windows/event_engine.h"

namespace vaultrix::app {

// The document shipped for `help_file` ("Vaultrix.HLP" gives "Vaultrix.md"),
// found next to the executable, in its "help" folder, or among the shared
// files (shared_files.h: the build folder's share/vaultrix/, or the installed
// PREFIX/share/vaultrix/); letter case is not significant. "" when none of
// these holds it.
[[nodiscard]] std::string HelpDocumentPath(const std::string& help_file);

// The printer that the user last chose in the printer set-up dialog
// (accepted false while none was chosen).
[[nodiscard]] platform::PrintSetupResult ChosenPrinter();

// Installs the handler of printer set-up and Help > Contents on `engine`.
// `help_file` answers the application's help file when the action runs
// ("": none set yet, the action does nothing).
void InstallStandardActions(windows::EventEngine& engine,
                            std::function<std::string()> help_file);

}  // namespace vaultrix::app
