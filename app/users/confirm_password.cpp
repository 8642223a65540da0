// ConfirmPassword: the password prompt for the user in U_. The typed text
// goes into U_:ConfirmPassword; the prompt gives one attempt, and whatever
// happens the buffer holds the user's own record again when it returns, so
// no typed guess stays behind in it.
#include "app/program/run.h"
#include "app/services/global_codes.h"
#include "app/services/message.h"
#include "app/services/open_data_file.h"
#include "app/services/procedure_window.h"
#include "app/users/windows.h"
#include "app/users/users.h"
#include "runtime/eval/symbol_table.h"
#include "runtime/windows/event_codes.h"
#include "runtime/windows/window_open.h"

namespace vaultrix::app {
namespace {

void ShowInvalidPassword() {
  platform::MessageBoxRequest request;
  request.caption = std::string(kAccessDeniedCaption);
  request.text = std::string(kInvalidPasswordText);
  (void)Message(request);
}

// The prompt's window and loop; answers the response.
std::int32_t AskPassword() {
  std::int32_t response = kRequestCancelled;
  ProcedureWindow window(windows::WindowKind::kPlainWindow, "VAULTRIX$vltrx006",
                         "CONFIRMPASSWORD$WINDOW", "ConfirmPassword", {U_.ConfirmPassword.data()});
  window.Open();
  window.Accept([&](int event) {
    if (event == windows::kEventRejected) {
      window.Display(window.EventControl());
      windows::SelectControl(AppEngine(), window.EventControl());
    } else if (event == windows::kEventAccepted) {
      const int control = window.EventControl();
      if (control == kConfirmPasswordOk) {
        if (U_.Password == U_.ConfirmPassword) {
          response = kRequestCompleted;
        } else {
          U_.ConfirmPassword = U_.Password.View();
          ShowInvalidPassword();
        }
        window.PostClose();
      } else if (control == kConfirmPasswordCancel) {
        window.PostClose();
      }
    }
    return windows::kBodyDefault;
  });
  window.Close();
  return response;
}

}  // namespace

void ConfirmPassword() {
  (void)TakeRequest();
  if (PasswordNotRequired(U_)) {
    LeaveResponse(kRequestCompleted);
    return;
  }
  U_.ConfirmPassword.Clear();
  FileUse users(Users());
  eval::PUSHSCOPE();
  (void)eval::BindRecord(Users().Block());
  const std::int32_t response = AskPassword();
  eval::POPSCOPE();
  U_.ConfirmPassword = U_.Password.View();
  LeaveResponse(response);
}

}  // namespace vaultrix::app
