// The main program, run once on thread 1: it opens the passwords file to test
// its layout, upgrades a file of the old layout (UpgradeFiles), names the help
// file and runs the frame (Main). The program ends when Main returns, or
// without the frame when an upgrade did not complete.
#pragma once

#include <string>

namespace vaultrix::app {

inline constexpr const char* kHelpFile = "Vaultrix.HLP";

// The help file that Help > "&Contents" opens; set by the main program.
[[nodiscard]] const std::string& HelpFileName();

void MainProgram();

}  // namespace vaultrix::app
