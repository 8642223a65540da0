// Start-up: from the program's start (runtime start-up, data driver, window
// system, thread 1) to the frame's "EVENT:OpenWindow", with the data files
// present in the data directory, as the program runs without a display. The
// goal is under 150 ms. Each iteration then closes the frame down again; the
// close is not timed.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "app/dictionary/data_dictionary.h"
#include "app/program/run.h"
#include "app/program/runner.h"
#include "app/program/runtime_startup.h"
#include "platform/locations.h"
#include "platform/window_system.h"
#include "runtime/files/hvn/driver.h"
#include "runtime/windows/event_codes.h"
#include "runtime/windows/event_engine.h"

namespace vaultrix::app {
namespace {

using Clock = std::chrono::steady_clock;

struct Opened {
  Clock::time_point at;
};

// At the frame's first event: note the moment and close the frame down.
void OnFrameOpened(void* context) {
  static_cast<Opened*>(context)->at = Clock::now();
  windows::PostEvent(AppEngine(), windows::kEventCloseDown, 0, 1);
}

// One start of the program; answers the seconds to the frame's first event.
double StartOnce(const std::string& data_dir) {
  Opened opened;
  SetFrameOpenedHook(OnFrameOpened, &opened);
  const Clock::time_point start = Clock::now();
  if (!StartRuntime(data_dir).ok) return 0;
  UseDataDriver(&files::HalverinDriver());
  platform::WindowSystem system;
  ProgramRun run(system);
  StartProgram(run);
  run.Wait();
  UseDataDriver(nullptr);
  SetFrameOpenedHook(nullptr, nullptr);
  return std::chrono::duration<double>(opened.at - start).count();
}

void BM_StartupToFrameOpenWindow(benchmark::State& state) {
  char pattern[] = "/tmp/vaultrix-startup-bench-XXXXXX";
  if (::mkdtemp(pattern) == nullptr) {
    state.SkipWithError("no scratch directory");
    return;
  }
  const std::string root = pattern;
  platform::SetSettingsFolderOverride(root + "/settings");
  const std::filesystem::path previous = std::filesystem::current_path();
  (void)StartOnce(root + "/data");  // the first start creates the data files
  for (auto _ : state) state.SetIterationTime(StartOnce(root + "/data"));
  std::filesystem::current_path(previous);
  platform::SetSettingsFolderOverride("");
  std::filesystem::remove_all(root);
}
BENCHMARK(BM_StartupToFrameOpenWindow)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vaultrix::app
