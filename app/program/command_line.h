// The program's command line: which data directory, headless or desktop, a
// script, or one of the informational answers (version, usage).
#pragma once

#include <optional>
#include <ostream>
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

// Exit code of a command line that cannot be used.
inline constexpr int kExitCommandLine = 2;

// Reads the arguments after the program name. Options that take a value take
// it as the next argument or after "=" (--data-dir=DIR). Unknown options,
// stray arguments and missing option values are reported in `error`, never
// ignored.
[[nodiscard]] CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

[[nodiscard]] const char* UsageText();

// Answers what the command line asks before the program runs, as programs on
// this platform do: --help prints the usage and --version "vaultrix VERSION"
// on `out` (exit 0); a command line that cannot be used gives one line saying
// why and a hint at --help on `err` (exit 2). Nothing when the program should
// run.
[[nodiscard]] std::optional<int> AnswerCommandLine(const CommandLine& line,
                                                   const std::string& version, std::ostream& out,
                                                   std::ostream& err);

}  // namespace vaultrix::app
