// The options window.
#include "app/options/setup.h"

#include "app/services/message.h"
#include "app/options/options.h"
#include "app/services/procedure_window.h"
#include "app/program/run.h"
#include "runtime/windows/ctlentry.h"
#include "runtime/windows/event_codes.h"
#include "runtime/windows/resource_format.h"
#include "runtime/windows/window_open.h"

namespace vaultrix::app {
namespace {

constexpr std::string_view kCaption = "Vaultrix Options";

// The window's controls and the locals bound to them.
class SetupWindow {
 public:
  SetupWindow()
      : window_(windows::WindowKind::kPlainWindow, "VAULTRIX$vltrx019", "SETUP$WINDOW", "Setup",
                {&options_.skip_copy_buttons, &options_.hide_clipboard,
                 &options_.clipboard_clear_seconds, &options_.inactivity_minutes}) {}

  void Run() {
    window_.Open();
    window_.Accept([this](int event) { return OnEvent(event); });
  }

 private:
  int OnEvent(int event) {
    if (event == windows::kEventOpenWindow) {
      options_ = ReadStoredOptions();
      ShowOptions();
    } else if (event == windows::kEventAccepted) {
      const int control = window_.EventControl();
      if (control == kSetupOk) Store();
      if (control == kSetupCancel) Finish();
    }
    return windows::kBodyDefault;
  }

  void ShowOptions() {
    platform::WindowSystem& system = AppEngine().System();
    window_.Display();
    (void)system.SetCheck(Handle(kSetupSkipCopyButtons), options_.skip_copy_buttons != 0);
    (void)system.SetCheck(Handle(kSetupHideClipboard), options_.hide_clipboard != 0);
  }

  // Takes what the controls hold now: an entry's text that its picture reads,
  // and the check boxes' state.
  void TakeControls() {
    platform::WindowSystem& system = AppEngine().System();
    for (const auto& control : window_.Object().controls) {
      if (control->type == windows::rsc::kEntry && windows::EntryAcceptable(system, *control)) {
        windows::AcceptEntry(AppEngine(), *control);
      }
    }
    options_.skip_copy_buttons = Checked(kSetupSkipCopyButtons);
    options_.hide_clipboard = Checked(kSetupHideClipboard);
  }

  void Store() {
    TakeControls();
    if (options_.inactivity_minutes < 0) {
      platform::MessageBoxRequest request;
      request.caption = std::string(kCaption);
      request.text = std::string(kNegativeMinutesText);
      request.icon = platform::MessageBoxIcon::kExclamation;
      (void)Message(request);
      windows::SelectControl(AppEngine(), kSetupInactivityMinutes);
      return;
    }
    (void)WriteStoredOptions(options_);
    Finish();
  }

  void Finish() {
    LoadOptions();
    window_.PostClose();
  }

  platform::WindowHandle Handle(int control) {
    windows::ControlObject* c = window_.Object().FindControl(control);
    return c == nullptr ? platform::kNoWindow : c->handle;
  }

  std::uint8_t Checked(int control) {
    const auto info = AppEngine().System().GetWindowInfo(Handle(control));
    return info && info->check != 0 ? 1 : 0;
  }

  StoredOptions options_;
  ProcedureWindow window_;
};

}  // namespace

void Setup() {
  SetupWindow window;
  window.Run();
}

}  // namespace vaultrix::app
