// The program's command line: which data directory, headless or desktop, a
// script, or one of the informational answers (version, usage).
#pragma once

#include <string>
#include <vector>

namespace vaultrix::app {

struct CommandLine {
  std::string data_dir;     // --data-dir DIR; empty for the default
  bool headless = false;    // --headless
  std::string script_path;  // --script FILE; empty for standard input
  bool show_version = false;
  bool show_usage = false;
  std::string error;  // not empty when the command line cannot be used
};

// Reads the arguments after the program name. Unknown options and missing
// option values are reported in `error`, never ignored.
[[nodiscard]] CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

[[nodiscard]] const char* UsageText();

}  // namespace vaultrix::app
