// vaultrix-hvn, the data-file tool, as a library: RunHvnTool takes the
// command line (without the program name) and answers the exit code, so that
// tests run every command in process.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace vaultrix::tools {

[[nodiscard]] const char* HvnToolUsage();

// The owner password among `arguments` is wiped before this returns.
[[nodiscard]] int RunHvnTool(std::vector<std::string> arguments, std::ostream& out,
                             std::ostream& err);

}  // namespace vaultrix::tools
