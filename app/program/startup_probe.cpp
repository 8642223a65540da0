// The start-up probe.
#include "app/program/startup_probe.h"

#include <time.h>

#include <cstdio>
#include <cstdlib>

#include "app/program/run.h"
#include "app/program/runner.h"
#include "runtime/windows/event_codes.h"
#include "runtime/windows/event_engine.h"

namespace vaultrix::app {
namespace {

long long started_at_ns = 0;

long long MonotonicNs() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

void OnFrameOpened(void*) {
  const double ms = static_cast<double>(MonotonicNs() - started_at_ns) / 1e6;
  std::fprintf(stderr, "vaultrix: frame open after %.3f ms\n", ms);
  windows::PostEvent(AppEngine(), windows::kEventCloseDown, 0, 1);
}

}  // namespace

void InstallStartupProbe() {
  const char* value = std::getenv(kStartupProbeVariable);
  if (value == nullptr || *value == '\0') return;
  char* end = nullptr;
  const long long at = std::strtoll(value, &end, 10);
  if (end == value || *end != '\0' || at <= 0) return;
  started_at_ns = at;
  SetFrameOpenedHook(OnFrameOpened, nullptr);
}

}  // namespace vaultrix::app
