// BrowseUsers: the list of users, on a thread of its own. Insert, Change and
// Delete go to the user form (UpdateUsers) with the request code; the browse
// engine re-reads the list afterwards and highlights the user concerned.
#include "app/browse/list_window.h"
#include "app/services/global_codes.h"
#include "app/services/open_data_file.h"
#include "app/users/user_list.h"
#include "app/users/users.h"
#include "runtime/eval/symbol_table.h"
#include "runtime/windows/event_codes.h"

namespace vaultrix::app {

void BrowseUsers() {
  (void)TakeRequest();
  {
    FileUse users(Users());
    EnsureDefaultUser();
    eval::PUSHSCOPE();
    (void)eval::BindRecord(Users().Block());
    ListWindow window("VAULTRIX$vltrx002", "BROWSEUSERS$QUICKWINDOW", "BrowseUsers");
    BrowseDescription description = UserListDescription();
    description.list = kBrowseUsersList;
    description.insert_button = kBrowseUsersInsert;
    description.change_button = kBrowseUsersChange;
    description.delete_button = kBrowseUsersDelete;
    description.form = UpdateUsers;
    window.Open(std::move(description));
    window.Accept([&](int event, int control) {
      if (event == windows::kEventAccepted && control == kBrowseUsersClose) {
        window.Window().PostClose();
      }
    });
    window.Close();
    eval::POPSCOPE();
  }
  LeaveResponse(kRequestCancelled);
}

}  // namespace vaultrix::app
