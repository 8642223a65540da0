// The frame procedure's state and steps, shared by its two source files
// (frame/frame.cpp: start-up, events and menus; frame/tick.cpp: the timer, the
// status bar and the toolbar).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/services/open_data_file.h"
#include "app/services/procedure_window.h"
#include "platform/window_system.h"
#include "runtime/support/fixed_string.h"

namespace vaultrix::app {

class FrameProcedure {
 public:
  FrameProcedure();
  void Run();

 private:
  // Start-up.
  [[nodiscard]] bool VaultConsistent();
  void InstallMessageHook();
  int OnEvent(int event);
  void OnAccepted(int control);
  void FilterClipboard();
  void Refresh();

  // The timer and the toolbar (frame/tick.cpp).
  void OnTimer();
  void ShowDateAndTime();
  void FillUserButtons();
  void ClearClipboardWhenDue(std::int32_t clock);
  void CloseDownWhenInactive(std::int32_t clock);

  ProcedureWindow window_;
  std::optional<FileUse> passwords_;
  std::optional<FileUse> users_;
  support::FixedString<20> user_names_[3];
  std::string last_clipboard_;  // the clipboard's first 1000 characters last seen
  std::int32_t ticks_ = 0;
  bool animation_finished_ = false;
  int splash_thread_ = 0;
  bool first_open_ = true;
  bool first_focus_ = true;
  platform::WindowProc previous_procedure_;
};

}  // namespace vaultrix::app
