// The line-based automation script: one command a line, carried out through
// Automation (automation.h). The commands and the dump are described in
// docs/automation.md.
//
// A line is split into words at blanks; a word in double quotes may hold
// blanks and the escapes \" \\ \t \n \xHH. '#' outside quotes starts a
// comment. Before every command the runner waits until the program has
// settled, so each line sees what the previous one caused.
#pragma once

#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/drivers/headless/automation.h"

namespace vaultrix::platform::headless {

struct ScriptWord {
  std::string text;
  bool quoted = false;
};

// Splits a line; false (with the reason) for an unterminated quote or a bad
// escape. A blank or comment line gives no words.
[[nodiscard]] bool SplitScriptLine(std::string_view line, std::vector<ScriptWord>* words,
                                   std::string* error);

class ScriptRunner {
 public:
  // Dumps and echoes go to `out`.
  ScriptRunner(Automation& automation, std::ostream& out) : automation_(automation), out_(out) {}

  // Relative paths of file checks are taken from this folder (the script
  // file's own); empty: from the current directory.
  void SetBaseDirectory(std::string folder) { base_directory_ = std::move(folder); }

  // Carries out one line; false with the reason when it cannot be done.
  bool RunLine(std::string_view line, std::string* error);

  // Carries out every line, then closes the program as a user would. Answers
  // 0 when every line was carried out and the program closed; otherwise
  // writes "line N: reason" to `err` and answers 1 (the program is still
  // closed as far as it lets itself be).
  [[nodiscard]] int Run(std::istream& script, std::ostream& err);

 private:
  bool Command(const std::vector<ScriptWord>& words, std::string* error);
  // The expect-* checks (script_expect.cpp); nullopt when the line is none.
  std::optional<bool> Check(const std::vector<ScriptWord>& words, std::string* error);

  Automation& automation_;
  std::ostream& out_;
  bool closed_ = false;
  std::string base_directory_;
};

}  // namespace vaultrix::platform::headless
