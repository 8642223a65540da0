// The progress window of import and export.
#include "app/transfer/progress.h"

#include <string>

#include "app/program/run.h"
#include "app/services/procedure_window.h"
#include "runtime/windows/event_codes.h"
#include "runtime/windows/window_properties.h"

namespace vaultrix::app {
namespace {

constexpr int kProgressBar = 1;
constexpr int kUpperText = 2;
constexpr int kLowerText = 3;
constexpr int kProgressCancel = 4;

// The percentage as the picture "@N3" shows it, then "% Completed".
std::string PercentText(std::int32_t percent) {
  std::string number = std::to_string(percent);
  if (number.size() < 3) number.insert(0, 3 - number.size(), ' ');
  return number + "% Completed";
}

}  // namespace

bool RunProgress(const ProgressTexts& texts, const std::function<bool()>& on_open,
                 const ProgressSlice& slice) {
  std::int32_t percent = 0;
  std::int32_t shown = -1;
  bool finished = false;
  ProcedureWindow window(windows::WindowKind::kPlainWindow, texts.module, texts.structure,
                         std::string(texts.section), {&percent});
  window.Open();
  window.Set(0, windows::kPropText, texts.caption);
  window.Set(kUpperText, windows::kPropText, texts.upper);
  window.Set(kLowerText, windows::kPropText, "0% Completed");
  auto show = [&] {
    if (percent == shown) return;
    shown = percent;
    if (windows::ControlObject* bar = window.Object().FindControl(kProgressBar)) {
      (void)AppEngine().System().SetValue(bar->handle, percent);
    }
    window.Set(kLowerText, windows::kPropText, PercentText(percent));
  };
  bool running = true;
  window.Accept([&](int event) {
    if (!running) return windows::kBodyDefault;
    if (event == windows::kEventOpenWindow) {
      running = on_open();
      finished = !running;
    } else if (event == windows::kEventTimer) {
      running = slice(percent);
      finished = !running;
      show();
    } else if ((event == windows::kEventAccepted && window.EventControl() == kProgressCancel) ||
               event == windows::kEventCloseWindow) {
      running = false;
    }
    if (!running) {
      if (finished) window.Set(kLowerText, windows::kPropText, "Process Completed");
      window.PostClose();
    }
    return windows::kBodyDefault;
  });
  window.Close();
  return finished;
}

}  // namespace vaultrix::app
