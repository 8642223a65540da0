// The password browser in the running program on the headless driver, on a
// copy of a real vault (bench/password_vault.h) in a scratch data directory:
// 1,000 and 200,000 entries, half of them the measured user's. Every step is
// driven as a user would drive it (toolbar button, keys, thumb, typed
// letter, tab, form), through the driver's input, and timed until the
// program has settled, so the event path is part of each figure:
//
//   FirstPage   the toolbar's "User #1" to the browser at rest with its first
//               page (the login of a user who needs no password included);
//               the browser is closed again untimed
//   FirstPageFromMenu  File > "&Passwords", the user picked and "&Select"d,
//               to the first page
//   FirstPageAfterStart  "User #1" to the first page, as the first opening
//               after the program started (ten starts, each untimed)
//   PageDown    PageDown on the list, after Home
//   Bottom      End on the list (the last page), after Home
//   Thumb50     the thumb released at 50, after Home
//   Letter      "m" typed on the list, after Home
//   OrderUrl    the "U&RL" tab chosen by its key, from the service order
//   Insert      "&Insert", the form filled, "&OK", back on the list with the
//               new entry highlighted (its durable write included), one
//               insert after another in a browser that stays open
//   FirstInsert the same, as the first insert after the browser opened,
//               "&Insert" pressed a moment (100 ms, untimed) after the list
//               appeared
//   FirstInsertAtOnce  the same, "&Insert" pressed at once
//
// The untimed step before each timed one puts the list back where the timed
// step starts, so every iteration measures the same movement. Each
// benchmark starts the program on a fresh copy of the vault; the sizes run
// one after the other (all steps at 1,000, then all at 200,000), so
// --benchmark_filter=PasswordBrowser runs them all in one process.
// bench/password_browser.sh prints them as a table with their ratios.
#include <benchmark/benchmark.h>

#include <cctype>
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <sstream>
#include <thread>

#include "app/frame/frame.h"
#include "app/passwords/browse_passwords.h"
#include "app/passwords/update_passwords.h"
#include "app/program/run.h"
#include "app/program/runner.h"
#include "app/program/runtime_startup.h"
#include "app/services/open_data_file.h"
#include "app/services/window_placement.h"
#include "bench/bench_dir.h"
#include "bench/password_vault.h"
#include "platform/clock.h"
#include "platform/drivers/headless/automation.h"
#include "platform/drivers/headless/headless_driver.h"
#include "platform/locations.h"
#include "runtime/files/hvn/driver.h"
#include "runtime/support/profile.h"

namespace vaultrix::bench {
namespace {

using platform::headless::ControlRef;
using Clock = std::chrono::steady_clock;

const ControlRef kList = ControlRef::Parse("#1");

// The program started on a copy of the cached vault of `entries`, with its
// frame at rest and its splash gone, as a user finds it; closed down as a
// user would close it. Its time is simulated, as in scripted runs: no timer
// of the program fires while a step is measured.
class ProgramOnVault {
 public:
  explicit ProgramOnVault(int entries) {
    const std::string cached = CachedPasswordVault(entries, &error_);
    if (cached.empty() || !CopyPasswordVault(cached, dir_.Path("data"), &error_)) return;
    platform::SetSettingsFolderOverride(dir_.Path("settings"));
    const app::StartupResult started = app::StartRuntime(dir_.Path("data"));
    if (!started.ok) {
      error_ = started.error;
      return;
    }
    // The tip of the day would open over the frame at every start.
    (void)support::PutIni("TipOfDay", "ShowTip", "0", app::kProgramIniFile);
    app::UseDataDriver(&files::HalverinDriver());
    run_.emplace(system_);
    app::StartProgram(*run_);
    if (!Settle() || !automation_.AdvanceClock(kSplashGoneMs, &error_) || !Settle()) {
      error_ = "the program did not come to rest: " + error_;
    }
  }
  ~ProgramOnVault() {
    if (run_) {
      std::string ignored;
      (void)automation_.CloseAll(&ignored);
      run_->Wait();
    }
    app::UseDataDriver(nullptr);
    platform::SetSettingsFolderOverride("");
    std::error_code failed;
    std::filesystem::current_path(previous_, failed);
  }
  ProgramOnVault(const ProgramOnVault&) = delete;
  ProgramOnVault& operator=(const ProgramOnVault&) = delete;

  [[nodiscard]] const std::string& Error() const { return error_; }
  // Where the driving operations say why they failed.
  std::string* Why() { return &error_; }
  platform::headless::Automation& Act() { return automation_; }

  // Until every thread waits for input, threads still starting included (a
  // started procedure has no queue to be busy in before it runs).
  bool Settle() {
    do {
      while (run_->PendingStarts() > 0) std::this_thread::yield();
      if (!automation_.Settle(&error_)) return false;
    } while (run_->PendingStarts() > 0);
    return true;
  }

  // The frame's "User #1": the browser on the first user, his first page shown.
  bool OpenBrowser() {
    if (!automation_.Press(ControlRef{{}, app::kToolUser1}, &error_) || !Settle()) return false;
    if (BrowserShown()) return true;
    error_ = "the browser did not open:\n" + automation_.Dump();
    return false;
  }
  [[nodiscard]] bool BrowserShown() const {
    const std::string caption = std::string(app::kBrowserCaption) + kVaultOwner;
    for (platform::WindowHandle w : system_.TopLevelWindows()) {
      if (system_.GetText(w) == caption) return true;
    }
    return false;
  }
  bool CloseBrowser() {
    return automation_.Press(ControlRef::Parse("Cl&ose"), &error_) && Settle();
  }

  bool Key(std::string_view name) {
    const auto key = platform::headless::ParseKey(name);
    return key && automation_.PressKey(*key, &error_) && Settle();
  }
  bool OnList(std::string_view key) { return automation_.Focus(kList, &error_) && Key(key); }

  // The highlighted row's text as the dump shows it ("" when none).
  [[nodiscard]] std::string HighlightedRow() const {
    std::istringstream dump(automation_.Dump());
    std::string line;
    while (std::getline(dump, line)) {
      const std::size_t at = line.find("row* ");
      if (at == std::string::npos) continue;
      const std::size_t quote = line.find('"', at);
      return quote == std::string::npos ? "" : line.substr(quote + 1);
    }
    return "";
  }

 private:
  static constexpr std::int64_t kSplashGoneMs = 4000;

  BenchDir dir_;
  std::filesystem::path previous_ = std::filesystem::current_path();
  std::string error_;
  platform::SimulatedClock clock_{platform::CurrentClock().NowLocal()};
  platform::ScopedCurrentClock installed_{clock_};
  platform::WindowSystem system_;
  platform::headless::HeadlessDriver driver_{system_};
  platform::headless::Automation automation_{driver_, &clock_};
  std::optional<app::ProgramRun> run_;
};

// One step: `warm_up` (untimed, once, optional) readies the browser for a
// steady state, `prepare` (untimed) puts the browser where the step starts,
// `act` is timed through the program's settling, `check` (untimed, first
// iteration only) says why the step did not do what it should ("" when it
// did), given the highlighted row before and after.
struct Step {
  std::function<bool(ProgramOnVault&)> warm_up;
  std::function<bool(ProgramOnVault&)> prepare;
  std::function<bool(ProgramOnVault&, int iteration)> act;
  std::function<std::string(const std::string& before, const std::string& after)> check;
};

void RunStep(benchmark::State& state, const Step& step) {
  ProgramOnVault program(static_cast<int>(state.range(0)));
  if (!program.Error().empty() || !program.OpenBrowser() ||
      (step.warm_up && !step.warm_up(program))) {
    state.SkipWithError(program.Error().c_str());
    return;
  }
  int iteration = 0;
  for (auto _ : state) {
    bool done = step.prepare(program);
    const std::string before = iteration == 0 ? program.HighlightedRow() : "";
    const Clock::time_point start = Clock::now();
    done = done && step.act(program, iteration);
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    std::string wrong = done ? "" : "the step failed: " + program.Error();
    if (done && iteration++ == 0) wrong = step.check(before, program.HighlightedRow());
    if (!wrong.empty()) {
      state.SkipWithError(wrong.c_str());
      return;
    }
  }
}

std::string Moved(const std::string& before, const std::string& after) {
  if (after.empty()) return "no row is highlighted";
  return before == after ? "the highlight did not move from " + before : "";
}

bool Home(ProgramOnVault& program) {
  return program.OnList("Home");
}

// One timed opening, from the button to the first page; the browser is
// closed again untimed. False (the benchmark skipped) when it failed.
bool TimeFirstPage(benchmark::State& state, ProgramOnVault& program) {
  const Clock::time_point start = Clock::now();
  const bool opened = program.OpenBrowser();
  state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
  if (!opened || program.HighlightedRow().empty() || !program.CloseBrowser()) {
    state.SkipWithError(("the browser showed no entry: " + program.Error()).c_str());
    return false;
  }
  return true;
}

// Opened again and again in one run of the program.
void BM_PasswordBrowserFirstPage(benchmark::State& state) {
  ProgramOnVault program(static_cast<int>(state.range(0)));
  if (!program.Error().empty()) {
    state.SkipWithError(program.Error().c_str());
    return;
  }
  for (auto _ : state) {
    if (!TimeFirstPage(state, program)) return;
  }
}

// The first opening after the program started, files and windows never
// used before in the process (each iteration starts the program untimed).
void BM_PasswordBrowserFirstPageAfterStart(benchmark::State& state) {
  for (auto _ : state) {
    ProgramOnVault program(static_cast<int>(state.range(0)));
    if (!program.Error().empty()) {
      state.SkipWithError(program.Error().c_str());
      return;
    }
    if (!TimeFirstPage(state, program)) return;
  }
}

// File > "&Passwords" to the first page, through the user picker: the menu
// item, the first user's row clicked, "&Select".
void BM_PasswordBrowserFirstPageFromMenu(benchmark::State& state) {
  ProgramOnVault program(static_cast<int>(state.range(0)));
  if (!program.Error().empty()) {
    state.SkipWithError(program.Error().c_str());
    return;
  }
  platform::headless::Automation& act = program.Act();
  for (auto _ : state) {
    const Clock::time_point start = Clock::now();
    const bool opened =
        act.Choose({"&File", "&Passwords"}, program.Why()) && program.Settle() &&
        act.PickRow(kList, kVaultOwner, platform::headless::RowClick::kClick, program.Why()) &&
        program.Settle() && act.Press(ControlRef::Parse("&Select"), program.Why()) &&
        program.Settle();
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    if (!opened || !program.BrowserShown() || program.HighlightedRow().empty() ||
        !program.CloseBrowser()) {
      state.SkipWithError(("the browser did not open: " + program.Error()).c_str());
      return;
    }
  }
}

void BM_PasswordBrowserPageDown(benchmark::State& state) {
  RunStep(state, {.prepare = Home,
                  .act = [](ProgramOnVault& program, int) { return program.Key("PageDown"); },
                  .check = Moved});
}

void BM_PasswordBrowserBottom(benchmark::State& state) {
  RunStep(state, {.prepare = Home,
                  .act = [](ProgramOnVault& program, int) { return program.Key("End"); },
                  .check = Moved});
}

void BM_PasswordBrowserThumb50(benchmark::State& state) {
  RunStep(state, {.prepare = Home,
                  .act =
                      [](ProgramOnVault& program, int) {
                        return program.Act().DragThumb(kList, 50, program.Why()) &&
                               program.Settle();
                      },
                  .check = Moved});
}

void BM_PasswordBrowserLetter(benchmark::State& state) {
  RunStep(state, {.prepare = Home,
                  .act =
                      [](ProgramOnVault& program, int) {
                        return program.Act().TypeCharacters("m", program.Why()) && program.Settle();
                      },
                  .check =
                      [](const std::string& before, const std::string& after) {
                        const std::string moved = Moved(before, after);
                        if (!moved.empty()) return moved;
                        return std::toupper(static_cast<unsigned char>(after[0])) >= 'M'
                                   ? std::string()
                                   : "the highlight stands before M: " + after;
                      }});
}

void BM_PasswordBrowserOrderUrl(benchmark::State& state) {
  RunStep(state, {.prepare = [](ProgramOnVault& program) { return program.Key("Alt+V"); },
                  .act = [](ProgramOnVault& program, int) { return program.Key("Alt+R"); },
                  .check = Moved});
}

// "&Insert", the form filled, "&OK", until the list shows the new entry
// highlighted. Entries of one owner are unique by service and name: each
// insert has a service of its own.
bool InsertEntry(ProgramOnVault& program, const std::string& service) {
  platform::headless::Automation& act = program.Act();
  std::string* why = program.Why();
  return act.Press(ControlRef::Parse("&Insert"), why) && program.Settle() &&
         act.Type(ControlRef{{}, app::kFormService}, service, why) &&
         act.Type(ControlRef{{}, app::kFormPassword}, "pw", why) &&
         act.Type(ControlRef{{}, app::kFormConfirm}, "pw", why) &&
         act.Press(ControlRef::Parse("&OK"), why) && program.Settle();
}

std::string InsertedService(int iteration) {
  return "insert " + std::to_string(iteration);
}

std::string NewEntryHighlighted(const std::string&, const std::string& after) {
  return after.rfind(InsertedService(0), 0) == 0 ? std::string()
                                                 : "the new entry is not highlighted: " + after;
}

// Inserts one after the other in a browser that stays open, after a first
// one untimed (FirstInsert measures that one).
void BM_PasswordBrowserInsert(benchmark::State& state) {
  RunStep(state,
          {.warm_up = [](ProgramOnVault& program) { return InsertEntry(program, "warm-up"); },
           .prepare = [](ProgramOnVault&) { return true; },
           .act = [](ProgramOnVault& program,
                     int iteration) { return InsertEntry(program, InsertedService(iteration)); },
           .check = NewEntryHighlighted});
}

// The first insert after the browser opened (the passwords file opened
// afresh), as a user who opens his list to add one entry meets it: he
// presses "&Insert" a moment after the list appeared, not within
// milliseconds (the moment is untimed; the file finds its free space
// meanwhile, hvn/pages/used_slots.h).
void BM_PasswordBrowserFirstInsert(benchmark::State& state) {
  RunStep(state,
          {.prepare =
               [](ProgramOnVault& program) {
                 if (!program.CloseBrowser() || !program.OpenBrowser()) return false;
                 // Spun, not slept: after a sleep an idle processor wakes
                 // slowly, and the step would measure that.
                 const Clock::time_point until = Clock::now() + std::chrono::milliseconds(100);
                 while (Clock::now() < until) {
                 }
                 return true;
               },
           .act = [](ProgramOnVault& program,
                     int iteration) { return InsertEntry(program, InsertedService(iteration)); },
           .check = NewEntryHighlighted});
}

// The same with "&Insert" pressed the instant the list appeared.
void BM_PasswordBrowserFirstInsertAtOnce(benchmark::State& state) {
  RunStep(
      state,
      {.prepare =
           [](ProgramOnVault& program) { return program.CloseBrowser() && program.OpenBrowser(); },
       .act = [](ProgramOnVault& program,
                 int iteration) { return InsertEntry(program, InsertedService(iteration)); },
       .check = NewEntryHighlighted});
}

// All steps at one size, then at the next: registration order is run order.
void RegisterSize(int entries) {
  const struct {
    const char* name;
    void (*function)(benchmark::State&);
    benchmark::TimeUnit unit;
    int iterations = 0;  // 0: as many as the benchmark library chooses
  } steps[] = {
      {"BM_PasswordBrowserFirstPage", BM_PasswordBrowserFirstPage, benchmark::kMillisecond},
      {"BM_PasswordBrowserFirstPageFromMenu", BM_PasswordBrowserFirstPageFromMenu,
       benchmark::kMillisecond},
      {"BM_PasswordBrowserFirstPageAfterStart", BM_PasswordBrowserFirstPageAfterStart,
       benchmark::kMillisecond, 10},
      {"BM_PasswordBrowserPageDown", BM_PasswordBrowserPageDown, benchmark::kMicrosecond},
      {"BM_PasswordBrowserBottom", BM_PasswordBrowserBottom, benchmark::kMicrosecond},
      {"BM_PasswordBrowserThumb50", BM_PasswordBrowserThumb50, benchmark::kMicrosecond},
      {"BM_PasswordBrowserLetter", BM_PasswordBrowserLetter, benchmark::kMicrosecond},
      {"BM_PasswordBrowserOrderUrl", BM_PasswordBrowserOrderUrl, benchmark::kMicrosecond},
      {"BM_PasswordBrowserInsert", BM_PasswordBrowserInsert, benchmark::kMillisecond},
      {"BM_PasswordBrowserFirstInsert", BM_PasswordBrowserFirstInsert, benchmark::kMillisecond},
      {"BM_PasswordBrowserFirstInsertAtOnce", BM_PasswordBrowserFirstInsertAtOnce,
       benchmark::kMillisecond},
  };
  for (const auto& step : steps) {
    benchmark::internal::Benchmark* registered =
        benchmark::RegisterBenchmark(step.name, step.function)
            ->Arg(entries)
            ->UseManualTime()
            ->Unit(step.unit);
    if (step.iterations > 0) registered->Iterations(step.iterations);
  }
}

const bool kRegistered = [] {
  RegisterSize(1000);
  RegisterSize(200000);
  return true;
}();

}  // namespace
}  // namespace vaultrix::bench
