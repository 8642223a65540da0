// The vaultrix program: turns core dumps off, reads its command line, brings
// the runtime up (data directory, locale, random seed), serves every data file
// with the indexed driver, and runs the main program on runtime thread 1 while
// the main thread serves the display.
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/program/command_line.h"
#include "app/program/core_dumps.h"
#include "app/dictionary/data_dictionary.h"
#include "app/program/run.h"
#include "app/program/runner.h"
#include "app/program/headless_run.h"
#include "app/program/runtime_startup.h"
#include "app/program/startup_probe.h"
#include "platform/window_system.h"
#include "runtime/files/hvn/driver.h"
#include "vaultrix_version.h"
#ifdef VAULTRIX_HAVE_QT
#include "platform/drivers/qt/desktop_run.h"
#endif

namespace {

// Shows the program on the desktop; without a desktop driver in the build,
// only --headless can run it.
int RunProgram(int argc, char** argv,
               const std::function<int(vaultrix::platform::WindowSystem&)>& program) {
#ifdef VAULTRIX_HAVE_QT
  return vaultrix::platform::qt::RunWithDisplay(argc, argv, program);
#else
  (void)argc;
  (void)argv;
  (void)program;
  std::fprintf(stderr, "vaultrix: this build has no desktop driver; start it with --headless\n");
  return 1;
#endif
}

}  // namespace

int main(int argc, char** argv) {
  using namespace vaultrix::app;
  // Before anything secret can be in memory.
  TurnOffCoreDumps();
  CommandLine line = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (const std::optional<int> answered =
          AnswerCommandLine(line, VAULTRIX_VERSION, std::cout, std::cerr)) {
    return *answered;
  }
  // The runtime makes the data directory current; a script named relative to
  // where the program was started must still be found.
  if (!line.script_path.empty()) {
    std::error_code ignored;
    const std::filesystem::path absolute = std::filesystem::absolute(line.script_path, ignored);
    if (!absolute.empty()) line.script_path = absolute.string();
  }
  const StartupResult started = StartRuntime(line.data_dir);
  if (!started.ok) {
    std::fprintf(stderr, "vaultrix: %s\n", started.error.c_str());
    return 1;
  }
  UseDataDriver(&vaultrix::files::HalverinDriver());
  InstallStartupProbe();
  if (line.headless) {
    // The script's session owns the window system; the program runs on it as
    // it would on a display.
    const HeadlessProgram program = [](vaultrix::platform::WindowSystem& system) {
      ProgramRun run(system);
      StartProgram(run);
      // This thread only waits for the program from now on: it must not
      // count as busy, or the script would never see the program settle.
      system.EndThread();
      run.Wait();
    };
    return RunHeadless(line, program, std::cin, std::cout, std::cerr);
  }
  return RunProgram(argc, argv, [](vaultrix::platform::WindowSystem& system) {
    ProgramRun run(system);
    return RunWithoutDisplay(run);
  });
}
