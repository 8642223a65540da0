// Running the program under a script, without a display.
#include "app/program/headless_run.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <istream>
#include <ostream>

#include "platform/clock.h"
#include "platform/drivers/headless/script.h"
#include "platform/drivers/headless/session.h"

namespace vaultrix::app {

int RunHeadless(const CommandLine& line, const HeadlessProgram& program,
                std::istream& standard_input, std::ostream& out, std::ostream& err) {
  std::ifstream file;
  if (!line.script_path.empty()) {
    file.open(line.script_path);
    if (!file) {
      err << "vaultrix: cannot read the script " << line.script_path << "\n";
      return 2;
    }
  }
  std::istream& script = line.script_path.empty() ? standard_input : file;

  // The program's time starts now and moves only when the script says so.
  platform::SimulatedClock clock(platform::CurrentClock().NowLocal());
  platform::ScopedCurrentClock installed(clock);
  platform::WindowSystem system;
  int code = 0;
  {
    platform::headless::HeadlessSession session(system, &clock);
    if (program) {
      session.Start([&system, &program] { program(system); });
    }
    platform::headless::ScriptRunner runner(session.automation(), out);
    // main made the script's path absolute: its folder holds the fixtures
    // that the script names by relative paths.
    if (!line.script_path.empty()) {
      runner.SetBaseDirectory(std::filesystem::path(line.script_path).parent_path().string());
    }
    code = runner.Run(script, err);
    if (!session.Join(session.automation().WaitLimit())) {
      err << "vaultrix: the program did not end after the script closed it\n";
      out.flush();
      err.flush();
      std::_Exit(code == 0 ? 1 : code);
    }
  }
  return code;
}

}  // namespace vaultrix::app
