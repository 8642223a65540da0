// The password browser in the running program on the headless driver, on a
// real vault in a scratch data directory: 2N entries, N of them the measured
// user's (a user who needs no password) and the rest nine other owners'.
// Measured: from the toolbar's "User #1" to the browser at rest with its
// first page shown (login included); closing is not measured. One size per
// process (the runtime starts once): run with --benchmark_filter=.../500 and
// again with .../100000.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <random>
#include <thread>

#include "app/dictionary/data_dictionary.h"
#include "app/frame/frame.h"
#include "app/passwords/browse_passwords.h"
#include "app/program/run.h"
#include "app/program/runner.h"
#include "app/program/runtime_startup.h"
#include "app/services/open_data_file.h"
#include "bench/bench_dir.h"
#include "bench/hvn_load.h"
#include "platform/drivers/headless/automation.h"
#include "platform/drivers/headless/headless_driver.h"
#include "runtime/files/file_api.h"
#include "runtime/files/hvn/driver.h"
#include "runtime/support/error_state.h"
#include "runtime/windows/event_codes.h"
#include "runtime/windows/event_engine.h"

namespace {

using namespace vaultrix;
using namespace std::chrono_literals;

constexpr const char* kOwner = "owner";

std::string RandomText(std::mt19937& random, int length) {
  std::string text;
  for (int i = 0; i < length; ++i) text.push_back(static_cast<char>('a' + random() % 26));
  return text;
}

// Writes the users file (the owner first) and 2n password entries.
bool WriteVault(int n) {
  app::OpenDataFile(app::Users());
  app::U_ = app::UserRecord{};
  app::U_.Name = kOwner;
  app::U_.Password = "Not Required";
  files::Add(app::Users().Block());
  files::Close(app::Users().Block());
  files::FileBlock& block = app::Passwords().Block();
  files::Create(block);
  std::mt19937 random(11);
  const bool loaded = bench::LoadHvnRecords(
      "Vtrix_P.HVN", std::string(block.owner.View()), 2 * n, sizeof(app::PasswordRecord),
      [&](int i, std::uint8_t* record) {
        app::PasswordRecord entry;
        entry.User = i % 2 == 1 ? kOwner : "other" + std::to_string(i % 9);
        entry.Service = RandomText(random, 12);
        entry.URL = "https://" + RandomText(random, 16);
        entry.Name = RandomText(random, 8);
        std::memcpy(record, &entry, sizeof entry);
      });
  files::Open(block, 0x42);
  (void)files::Send(block, "FULLBUILD=ON");
  files::Build(block);
  const bool built = support::ErrorCode() == 0;
  files::Close(block);
  return loaded && built;
}

bool Settle(platform::WindowSystem& system, app::ProgramRun& run) {
  do {
    while (run.PendingStarts() > 0) std::this_thread::yield();
    if (!system.WaitUntilIdle(60s)) return false;
  } while (run.PendingStarts() > 0);
  return true;
}

void BM_PasswordBrowserFirstPage(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  bench::BenchDir dir;
  const std::filesystem::path previous = std::filesystem::current_path();
  const app::StartupResult started = app::StartRuntime(dir.Path("data"));
  if (!started.ok) {
    state.SkipWithError(started.error.c_str());
    return;
  }
  app::UseDataDriver(&files::HalverinDriver());
  if (!WriteVault(n)) {
    state.SkipWithError("writing the vault failed");
    return;
  }
  platform::WindowSystem system;
  platform::headless::HeadlessDriver driver(system);
  platform::headless::Automation automation(driver, nullptr);
  {
    app::ProgramRun run(system);
    app::StartProgram(run);
    if (!Settle(system, run)) state.SkipWithError("the program did not come to rest");
    const std::string caption = std::string(app::kBrowserCaption) + kOwner;
    std::string error;
    for (auto _ : state) {
      const auto start = std::chrono::steady_clock::now();
      run.Lock().Acquire();
      windows::PostEvent(run.Engine(), windows::kEventAccepted, app::kToolUser1, 1);
      run.Lock().Release();
      if (!Settle(system, run)) state.SkipWithError("the browser did not come to rest");
      state.SetIterationTime(
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
      bool shown = false;
      for (platform::WindowHandle w : system.TopLevelWindows()) shown |= system.GetText(w) == caption;
      if (!shown) {
        state.SkipWithError("the browser did not open");
        break;
      }
      if (!automation.Press(platform::headless::ControlRef::Parse("Cl&ose"), &error) ||
          !automation.Settle(&error)) {
        state.SkipWithError(error.c_str());
        break;
      }
    }
    (void)automation.CloseAll(&error);
    run.Wait();
  }
  app::UseDataDriver(nullptr);
  std::filesystem::current_path(previous);
}

BENCHMARK(BM_PasswordBrowserFirstPage)
    ->Arg(500)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
