// SelectUsers: the user picker, which is also the login of every password
// list, report, import and export. The chosen user's password is asked
// unless it is "Not Required"; every choice gets one attempt, and a wrong
// password leaves the picker open with no user in U_.
#include "app/browse/list_window.h"
#include "app/program/run.h"
#include "app/services/global_codes.h"
#include "app/services/open_data_file.h"
#include "app/users/user_list.h"
#include "app/users/users.h"
#include "runtime/eval/symbol_table.h"
#include "runtime/files/file_api.h"
#include "runtime/windows/event_codes.h"
#include "runtime/windows/window_open.h"

namespace vaultrix::app {
namespace {

// The highlighted user, whose password is right: the picker closes.
bool Confirmed() {
  if (PasswordNotRequired(U_)) return true;
  ConfirmPassword();
  return GlobalResponse == kRequestCompleted && U_.Password == U_.ConfirmPassword;
}

}  // namespace

void SelectUsers() {
  const std::int32_t request = TakeRequest();
  std::int32_t response = kRequestCancelled;
  {
    FileUse users(Users());
    EnsureDefaultUser();
    eval::PUSHSCOPE();
    (void)eval::BindRecord(Users().Block());
    ListWindow window("VAULTRIX$vltrx005", "SELECTUSERS$QUICKWINDOW", "SelectUsers");
    BrowseDescription description = UserListDescription();
    description.list = kSelectUsersList;
    description.request = request;
    window.Open(std::move(description));
    if (files::Records(Users().Block()) == 1) {
      windows::ControlObject* select = window.Window().Object().FindControl(kSelectUsersSelect);
      if (select != nullptr) {
        windows::PostEventToWindow(AppEngine(), window.Window().Object(),
                                   windows::kEventAccepted, select);
      }
    }
    window.Accept([&](int event, int control) {
      if (event != windows::kEventAccepted) return;
      // Enter or a double click on the list chooses as "&Select" does.
      if (control == kSelectUsersSelect || control == kSelectUsersList) {
        window.Engine().GetRecord();
        if (Confirmed()) {
          response = kRequestCompleted;
          window.Window().PostClose();
        } else {
          U_ = UserRecord{};
          windows::SelectControl(AppEngine(), kSelectUsersList);
        }
      } else if (control == kSelectUsersCancel) {
        window.Engine().GetRecord();
        window.Window().PostClose();
      }
    });
    window.Close();
    eval::POPSCOPE();
  }
  if (response != kRequestCompleted) U_ = UserRecord{};
  LeaveResponse(response);
}

}  // namespace vaultrix::app
