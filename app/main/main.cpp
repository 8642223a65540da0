// The vaultrix program. Until the application frame is in place the program
// brings the runtime up (data directory, locale, random seed) and answers for
// its version and its command line.
#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/runtime_startup.h"
#include "vaultrix_version.h"
#ifdef VAULTRIX_HAVE_QT
#include "platform/drivers/qt/desktop_run.h"
#endif

namespace {

// Shows the program on the desktop unless --headless asks otherwise.
int RunProgram(int argc, char** argv, bool headless, int (*program)()) {
#ifdef VAULTRIX_HAVE_QT
  if (!headless) {
    return vaultrix::platform::qt::RunWithDisplay(
        argc, argv, [program](vaultrix::platform::WindowSystem&) { return program(); });
  }
#else
  (void)argc;
  (void)argv;
  if (!headless) {
    std::fprintf(stderr, "vaultrix: this build has no desktop driver; start it with --headless\n");
    return 1;
  }
#endif
  return program();
}

}  // namespace

int main(int argc, char** argv) {
  using namespace vaultrix::app;
  const CommandLine line = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (!line.error.empty()) {
    std::fprintf(stderr, "vaultrix: %s\n\n%s", line.error.c_str(), UsageText());
    return 1;
  }
  std::printf("Vaultrix %s\n", VAULTRIX_VERSION);
  if (line.show_version) return 0;
  if (line.show_usage) {
    std::printf("\n%s", UsageText());
    return 0;
  }
  const StartupResult started = StartRuntime(line.data_dir);
  if (!started.ok) {
    std::fprintf(stderr, "vaultrix: %s\n", started.error.c_str());
    return 1;
  }
  std::printf("Data directory: %s\n", started.data_dir.c_str());
  return RunProgram(argc, argv, line.headless, [] {
    std::printf("The application frame is not built yet; this build checks the runtime only.\n\n%s",
                UsageText());
    return 0;
  });
}
