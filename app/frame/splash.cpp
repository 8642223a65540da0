// The splash window.
#include "app/frame/splash.h"

#include "app/services/procedure_window.h"
#include "runtime/windows/event_codes.h"
#include "runtime/windows/window_properties.h"

namespace vaultrix::app {
namespace {

// The mouse-button key codes that close the window: left, left double click,
// right.
constexpr const char* kAlertKeys[] = {"1", "5", "2"};
constexpr const char* kThreeSeconds = "300";

}  // namespace

void Splash() {
  ProcedureWindow window(windows::WindowKind::kPlainWindow, "VAULTRIX$vltrx016", "SPLASH$WINDOW",
                         "Splash");
  window.Open();
  window.Set(0, windows::kPropTimer, kThreeSeconds);
  for (std::int32_t i = 0; i < 3; ++i) window.Set(0, windows::kPropAlertKey, kAlertKeys[i], i + 1);
  window.Accept([&window](int event) {
    if (event == windows::kEventAlertKey || event == windows::kEventTimer) window.PostClose();
    return windows::kBodyDefault;
  });
}

}  // namespace vaultrix::app
