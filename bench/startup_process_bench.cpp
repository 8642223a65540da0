// Start-up of the whole process: from just before the vaultrix program is
// started to its frame's "EVENT:OpenWindow", with the data files present,
// once without a display and once on the desktop driver (Qt's offscreen
// platform). The program measures the end itself (VAULTRIX_STARTUP_PROBE,
// app/program/startup_probe.h), reports it on standard error and closes down; the
// close is not timed. The goal is under 150 ms.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/program/startup_probe.h"

extern char** environ;

namespace {

long long MonotonicNs() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// Runs the program once; answers the milliseconds it reported, or a
// negative number when it reported none.
double StartOnce(const std::vector<std::string>& arguments, std::vector<std::string> environment) {
  int pipe_ends[2];
  if (::pipe(pipe_ends) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], 2);
  posix_spawn_file_actions_addclose(&actions, pipe_ends[0]);
  std::vector<char*> argv;
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  environment.push_back(std::string(vaultrix::app::kStartupProbeVariable) + "=" +
                        std::to_string(MonotonicNs()));
  std::vector<char*> envp;
  for (std::string& e : environment) envp.push_back(e.data());
  envp.push_back(nullptr);
  pid_t child = 0;
  const int spawned = ::posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipe_ends[1]);
  std::string output;
  char buffer[512];
  for (ssize_t n; (n = ::read(pipe_ends[0], buffer, sizeof buffer)) > 0;) output.append(buffer, n);
  ::close(pipe_ends[0]);
  if (spawned != 0) return -1;
  int status = 0;
  (void)::waitpid(child, &status, 0);
  const std::string mark = "frame open after ";
  const std::size_t at = output.find(mark);
  if (at == std::string::npos) return -1;
  return std::strtod(output.c_str() + at + mark.size(), nullptr);
}

void RunStarts(benchmark::State& state, bool desktop) {
  char pattern[] = "/tmp/vaultrix-process-bench-XXXXXX";
  if (::mkdtemp(pattern) == nullptr) {
    state.SkipWithError("no scratch directory");
    return;
  }
  const std::string root = pattern;
  std::vector<std::string> arguments = {VAULTRIX_PROGRAM_PATH, "--data-dir", root + "/data"};
  if (!desktop) arguments.push_back("--headless");
  std::vector<std::string> environment;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    if (entry.rfind("XDG_CONFIG_HOME=", 0) == 0 || entry.rfind("QT_QPA_PLATFORM=", 0) == 0) continue;
    environment.push_back(entry);
  }
  environment.push_back("XDG_CONFIG_HOME=" + root + "/settings");
  if (desktop) environment.push_back("QT_QPA_PLATFORM=offscreen");
  // The first start creates the data files.
  if (StartOnce(arguments, environment) < 0) {
    state.SkipWithError("the program reported no start-up time");
  } else {
    for (auto _ : state) {
      const double ms = StartOnce(arguments, environment);
      if (ms < 0) {
        state.SkipWithError("the program reported no start-up time");
        break;
      }
      state.SetIterationTime(ms / 1000.0);
    }
  }
  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
}

void BM_ProcessStartToFrameHeadless(benchmark::State& state) { RunStarts(state, false); }
BENCHMARK(BM_ProcessStartToFrameHeadless)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

#if defined(VAULTRIX_HAVE_QT)
void BM_ProcessStartToFrameDesktop(benchmark::State& state) { RunStarts(state, true); }
BENCHMARK(BM_ProcessStartToFrameDesktop)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
#endif

}  // namespace
