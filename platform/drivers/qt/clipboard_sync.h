// The window system's clipboard kept in step with the desktop's, both
// ways. Text that Vaultrix puts on the desktop's clipboard carries the hint
// "x-kde-passwordManagerHint" = "secret", which tells clipboard managers
// not to keep it in their history.
#pragma once

#include <QtCore/QMetaObject>

#include <cstdint>

#include "platform/window_system.h"

namespace vaultrix::platform::qt {

inline constexpr const char* kPasswordManagerHintType = "x-kde-passwordManagerHint";

class ClipboardSync {
 public:
  // Starts by taking the desktop's text, if any, into the window system.
  explicit ClipboardSync(WindowSystem& system);
  ~ClipboardSync();
  ClipboardSync(const ClipboardSync&) = delete;
  ClipboardSync& operator=(const ClipboardSync&) = delete;

  // The window system's clipboard changed: show it on the desktop's,
  // unless the change came from there.
  void SystemChanged();

 private:
  void DesktopChanged();

  WindowSystem& system_;
  std::uint32_t in_step_sequence_ = 0;  // the window system's change last in step
  bool pushing_ = false;
  QMetaObject::Connection connection_;
};

}  // namespace vaultrix::platform::qt
