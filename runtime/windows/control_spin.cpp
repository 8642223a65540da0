// Spin boxes: an entry through its picture whose number stays within the
// box's range; the arrows (or Up and Down) step it by the box's step, store
// it and raise "EVENT:NewSelection".
#include <algorithm>
#include <cmath>

#include "runtime/windows/control_kinds.h"
#include "runtime/windows/ctlentry.h"
#include "runtime/windows/use_variable.h"

namespace vaultrix::windows {

void DisplaySpin(EventEngine& engine, ControlObject& spin) {
  platform::WindowSystem& system = engine.System();
  DisplayEntry(system, spin);
  (void)system.SetValue(spin.handle, UseNumber(spin));
}

void StepSpin(EventEngine& engine, ControlObject& spin, int steps) {
  platform::WindowSystem& system = engine.System();
  const std::int64_t now = spin.use_address != nullptr
                               ? UseNumber(spin)
                               : system.GetWindowInfo(spin.handle)->value;
  const double step = spin.step > 0 ? spin.step : 1;
  double next = static_cast<double>(now) + step * steps;
  if (spin.high > spin.low) next = std::clamp(next, spin.low, spin.high);
  const auto value = static_cast<std::int64_t>(std::llround(next));
  if (value == now || !StoreUseNumber(spin, value)) return;
  if (spin.use_address != nullptr) {
    DisplaySpin(engine, spin);
  } else {
    (void)system.SetValue(spin.handle, value);
    (void)system.SetText(spin.handle, std::to_string(value));
    spin.shown_text = std::to_string(value);
  }
  RaiseControlEvent(engine, spin, kEventNewSelection);
}

}  // namespace vaultrix::windows
