// The part of the procedure skeleton that concerns the window: load the
// window description by module and structure name with the procedure's use
// variables, open it on the calling thread, restore its placement from
// "VAULTRIX.INI" (the section is the procedure's name), run its ACCEPT loop
// with NoteActivity at the top of every pass, and on leaving save the
// placement and close the window.
//
// Locks: REQUIRES the runtime lock, like every procedure.
#pragma once

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "runtime/windows/window_object.h"
#include "runtime/windows/window_resource.h"

namespace vaultrix::app {

class ProcedureWindow {
 public:
  // `section` is the procedure's name ("Main", "Setup", ...); empty for a
  // window whose placement is not kept.
  ProcedureWindow(windows::WindowKind kind, std::string_view module, std::string_view structure,
                  std::string section, std::initializer_list<void*> uses = {});
  ~ProcedureWindow();  // saves the placement and closes the window when still open
  ProcedureWindow(const ProcedureWindow&) = delete;
  ProcedureWindow& operator=(const ProcedureWindow&) = delete;

  // Opens the window and restores its placement.
  void Open();
  // Runs the loop; `body` answers kBodyDefault or kSkipDefault for each
  // event. With `note_activity` off (the countdown) events do not count as
  // user activity.
  void Accept(const std::function<int(int event)>& body, bool note_activity = true);
  // Saves the placement and closes the window (nothing when not open).
  void Close();

  // A close request on the window, as "EVENT:CloseWindow" posted to it.
  void PostClose();

  [[nodiscard]] windows::WindowObject& Object() { return resource_->object(); }
  [[nodiscard]] windows::WindowResource& Resource() { return *resource_; }
  [[nodiscard]] bool IsOpen() const;
  // The control of the current event (0: a window event).
  [[nodiscard]] int EventControl() const;

  // Window and control properties (window_properties.h) on this window.
  [[nodiscard]] std::string Get(int control, std::int32_t property, std::int32_t index = 0);
  void Set(int control, std::int32_t property, std::string_view value, std::int32_t index = 0);
  // Shows a control's variable again (entries), or every control's for 0.
  void Display(int control = 0);

 private:
  std::unique_ptr<windows::WindowResource> resource_;
  std::string section_;
  bool opened_ = false;
};

}  // namespace vaultrix::app
