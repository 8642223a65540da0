// UpdateUsers: the user form. Insert and change show the form over U_;
// delete never shows it. A protected user is changed or deleted only after
// his current password has been typed. A name that differs from another
// user's only in letter case is refused with warning 24 on insert and on
// change alike (the name key ignores case). Leaving without completing puts
// U_ back as the caller gave it, so no half-typed record stays in the buffer.
#include <string.h>

#include "app/program/run.h"
#include "app/services/global_codes.h"
#include "app/services/message.h"
#include "app/services/open_data_file.h"
#include "app/services/procedure_window.h"
#include "app/services/record_procedures.h"
#include "app/services/standard_warnings.h"
#include "app/users/windows.h"
#include "app/users/users.h"
#include "runtime/files/file_api.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/error_state.h"
#include "runtime/windows/event_codes.h"
#include "runtime/windows/window_open.h"
#include "runtime/windows/window_properties.h"

namespace vaultrix::app {
namespace {

constexpr std::string_view kNameKey = "Name";

void Tell(std::string_view caption, std::string_view text) {
  platform::MessageBoxRequest request;
  request.caption = std::string(caption);
  request.text = std::string(text);
  (void)Message(request);
}

// The password prompt for a protected user; true when he may go on.
bool PasswordConfirmed() {
  if (PasswordNotRequired(U_)) return true;
  ConfirmPassword();
  return GlobalResponse == kRequestCompleted;
}

std::int32_t DeleteUser() {
  const std::int64_t records = files::Records(Users().Block());
  if (support::ErrorCode() != 0) {
    ShowWarning(35, Users().Label());
    return kRequestCancelled;
  }
  if (records <= 1) {
    Tell(kCannotDeleteCaption, kLastUserText);
    return kRequestCancelled;
  }
  if (!PasswordConfirmed()) return kRequestCancelled;
  SavedUserRecord = U_;
  if (ShowWarning(32) != kButtonOk) return kRequestCancelled;
  while (DeleteUserRecord() != 0) {
    if (ShowWarning(18) != kButtonYes) return kRequestCancelled;
  }
  return kRequestCompleted;
}

// The form for an insert or a change of the user in U_.
class UserForm {
 public:
  explicit UserForm(std::int32_t request)
      : request_(request),
        window_(windows::WindowKind::kPlainWindow, "VAULTRIX$vltrx004", "UPDATEUSERS$QUICKWINDOW",
                "UpdateUsers", {U_.Name.data(), U_.Password.data(), U_.ConfirmPassword.data()}) {}

  std::int32_t Run() {
    // The form shows the stored password, so a protected user's form opens
    // only after his password was typed.
    if (request_ == kChangeRecord && !PasswordConfirmed()) return kRequestCancelled;
    SavedUserRecord = U_;
    window_.Open();
    window_.Set(0, windows::kPropText,
                request_ == kInsertRecord ? kAddingUserTitle : kChangingUserTitle);
    window_.Display();
    window_.Accept([this](int event) { return OnEvent(event); });
    window_.Close();
    return response_;
  }

 private:
  int OnEvent(int event) {
    const int control = window_.EventControl();
    if (event == windows::kEventAccepted) {
      if (control == kUpdateUsersOk) OnOk();
      if (control == kUpdateUsersCancel) window_.PostClose();
    } else if (event == windows::kEventCompleted) {
      if (request_ == kInsertRecord) Insert();
      if (request_ == kChangeRecord) Change();
    } else if (event == windows::kEventRejected) {
      window_.Display(control);
      windows::SelectControl(AppEngine(), control);
    }
    return windows::kBodyDefault;
  }

  void OnOk() {
    if (!(U_.Password == U_.ConfirmPassword)) {
      Tell(kPasswordsDifferCaption, kPasswordsDifferText);
      windows::SelectControl(AppEngine(), kUpdateUsersPassword);
      return;
    }
    // Every entry takes its value; "EVENT:Completed" follows the last.
    windows::StartAcceptAll(window_.Object());
  }

  void Insert() {
    files::Add(Users().Block());
    const std::int32_t code = support::ErrorCode();
    if (code == support::kNoError) {
      Complete();
      return;
    }
    // The name key is the users file's only key, so a duplicate is always
    // the name.
    if (code == support::kCreatesDuplicateKey) {
      ShowWarning(24, kNameKey);
    } else {
      ShowWarning(14);
    }
    windows::SelectControl(AppEngine(), kUpdateUsersName);
  }

  void Change() {
    // The key ignores case, so the write would fail; the user is told which
    // field to change instead of getting a failed update.
    if (files::Duplicate(Users().Key(kFirstKey))) {
      ShowWarning(24, kNameKey);
      windows::SelectControl(AppEngine(), kUpdateUsersName);
      return;
    }
    while (UpdateUserRecord() != 0) {
      const std::int32_t answer = ShowWarning(16);
      if (answer == kButtonNo) {
        window_.PostClose();
        return;
      }
      if (answer != kButtonYes) {
        window_.Display();
        return;
      }
    }
    Complete();
  }

  void Complete() {
    response_ = kRequestCompleted;
    window_.PostClose();
  }

  std::int32_t request_;
  std::int32_t response_ = kRequestCancelled;
  ProcedureWindow window_;
};

}  // namespace

void UpdateUsers() {
  const std::int32_t request = TakeRequest();
  std::int32_t response = kRequestCancelled;
  UserRecord given = U_;
  {
    FileUse users(Users());
    if (request == kDeleteRecord) {
      response = DeleteUser();
    } else if (request == kInsertRecord || request == kChangeRecord) {
      UserForm form(request);
      response = form.Run();
    }
  }
  if (response != kRequestCompleted && request != kDeleteRecord) U_ = given;
  explicit_bzero(&given, sizeof given);
  LeaveResponse(response);
}

}  // namespace vaultrix::app
