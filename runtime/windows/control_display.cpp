// Progress bars: the variable's position within the bar's bounds, shown as
// 0 to 100 so that a driver needs no bounds of its own.
#include <algorithm>

#include "runtime/windows/control_kinds.h"
#include "runtime/windows/use_variable.h"

namespace vaultrix::windows {

std::int64_t ProgressPercent(const ControlObject& progress, std::int64_t value) {
  const double span = progress.high - progress.low;
  if (span <= 0) return 0;
  const double share = (static_cast<double>(value) - progress.low) * 100.0 / span;
  return static_cast<std::int64_t>(std::clamp(share, 0.0, 100.0));
}

void DisplayProgress(EventEngine& engine, ControlObject& progress) {
  if (progress.use_address == nullptr) return;
  (void)engine.System().SetValue(progress.handle, ProgressPercent(progress, UseNumber(progress)));
}

}  // namespace vaultrix::windows
