#include "app/reports/preview_dialogs.h"

#include <algorithm>

#include "app/program/run.h"
#include "app/services/procedure_window.h"
#include "runtime/windows/controls.h"
#include "runtime/windows/ctlentry.h"
#include "runtime/windows/event_codes.h"
#include "runtime/windows/resource_format.h"

namespace vaultrix::app {
namespace {

constexpr int kJumpSpin = 2, kJumpButton = 3, kJumpCancel = 4;
constexpr int kSelectOk = 6, kSelectCancel = 7;

// Takes what the spin boxes show now, as a press of a button would.
void TakeSpins(ProcedureWindow& window) {
  platform::WindowSystem& system = AppEngine().System();
  for (const auto& control : window.Object().controls) {
    if (control->type == windows::rsc::kSpin && windows::EntryAcceptable(system, *control)) {
      windows::AcceptEntry(AppEngine(), *control);
    }
  }
}

}  // namespace

int JumpToPage(int current, int total) {
  std::int32_t page = current;
  int chosen = 0;
  ProcedureWindow window(windows::WindowKind::kPlainWindow, "VAULTRIX$vltrx_sf",
                         "PREVIEW:JUMPTOPAGE$JUMPWINDOW", "", {&page});
  window.Open();
  window.Accept([&](int event) {
    if (event == windows::kEventOpenWindow) {
      window.Set(kJumpSpin, windows::kPropRangeHigh, std::to_string(std::max(1, total)));
      window.Display();
    }
    if (event == windows::kEventAccepted && window.EventControl() == kJumpButton) {
      TakeSpins(window);
      chosen = std::clamp<int>(page, 1, std::max(1, total));
      window.PostClose();
    }
    if (event == windows::kEventAccepted && window.EventControl() == kJumpCancel) window.PostClose();
    return windows::kBodyDefault;
  });
  window.Close();
  return chosen;
}

bool SelectDisplay(int* across, int* down) {
  std::int32_t chosen_across = *across, chosen_down = *down;
  bool accepted = false;
  ProcedureWindow window(windows::WindowKind::kPlainWindow, "VAULTRIX$vltrx_sf",
                         "PREVIEW:SELECTDISPLAY$SELECTWINDOW", "", {&chosen_across, &chosen_down});
  window.Open();
  window.Accept([&](int event) {
    if (event == windows::kEventOpenWindow) window.Display();
    if (event == windows::kEventAccepted && window.EventControl() == kSelectOk) {
      TakeSpins(window);
      *across = std::clamp<int>(chosen_across, 1, 10);
      *down = std::clamp<int>(chosen_down, 1, 10);
      accepted = true;
      window.PostClose();
    }
    if (event == windows::kEventAccepted && window.EventControl() == kSelectCancel) window.PostClose();
    return windows::kBodyDefault;
  });
  window.Close();
  return accepted;
}

}  // namespace vaultrix::app
