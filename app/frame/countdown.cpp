// The close-down countdown.
#include "app/frame/countdown.h"

#include "app/frame/timers.h"
#include "app/services/procedure_window.h"
#include "app/program/run.h"
#include "runtime/support/times.h"
#include "runtime/windows/event_codes.h"
#include "runtime/windows/window_properties.h"

namespace vaultrix::app {
namespace {

constexpr std::int32_t kTenSeconds = 1000;
// A deadline carried past midnight is brought into the new day within the
// first 100 seconds of it.
constexpr std::int32_t kAfterMidnight = 10000;
constexpr int kFrameThread = 1;

}  // namespace

void Countdown() {
  ProcedureWindow window(windows::WindowKind::kPlainWindow, "VAULTRIX$vltrx020",
                         "COUNTDOWN$WINDOW", "Countdown");
  std::int32_t deadline = 0;
  window.Open();
  window.Accept(
      [&](int event) {
        windows::EventEngine& engine = AppEngine();
        if (event == windows::kEventOpenWindow) deadline = support::CLOCK() + kTenSeconds;
        if (event == windows::kEventTimer) {
          const std::int32_t clock = support::CLOCK();
          if (deadline > support::kHundredthsPerDay && clock < kAfterMidnight) {
            deadline -= support::kHundredthsPerDay;
          }
          if (clock > deadline) {
            windows::PostEventToWindow(engine, window.Object(), windows::kEventCloseDown, nullptr);
            windows::PostEvent(engine, windows::kEventCloseDown, 0, kFrameThread);
            window.PostClose();
          }
          window.Set(kCountdownText, windows::kPropText, SecondsLeft(deadline, clock) + " seconds.");
        }
        if (event == windows::kEventAccepted && window.EventControl() == kCountdownCancel) {
          window.PostClose();
        }
        return windows::kBodyDefault;
      },
      /*note_activity=*/false);
}

}  // namespace vaultrix::app
