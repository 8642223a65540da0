// The users of the vault and their login: the user list and its form, the
// user picker that serves as the login of every password list, report,
// import and export, and the password prompt. The current user is whatever
// the users record buffer U_ holds: whoever selected or confirmed a user
// last leaves that user's record there.
//
// Every procedure here but BrowseUsers runs on its caller's thread and is
// called with the global request code set before and the response code read
// after (services/global_codes.h); BrowseUsers is started by the frame on a
// thread of its own.
#pragma once

#include <string_view>

#include "app/dictionary/data_dictionary.h"

namespace vaultrix::app {

// A user whose password is exactly this (blank-padded, letter case
// significant) is never asked for one.
inline constexpr std::string_view kNotRequired = "Not Required";
inline constexpr std::string_view kDefaultUserName = "Default User";

// True when `user`'s password is the special value "Not Required".
[[nodiscard]] bool PasswordNotRequired(const UserRecord& user);

// With the users file open: when it holds no records, adds "Default User"
// with the password "Not Required" (left in U_). False when a file
// operation failed (the error code says which); the caller warns.
[[nodiscard]] bool AddDefaultUserIfEmpty();

// The user list (window "BROWSEUSERS$QUICKWINDOW"), on its own thread.
void BrowseUsers();

// The user form (window "UPDATEUSERS$QUICKWINDOW"): request 1 insert, 2
// change or 3 delete of the user in U_; response 1 completed, 2 cancelled.
void UpdateUsers();

// The user picker (window "SELECTUSERS$QUICKWINDOW"), request 4: response 1
// with the chosen and confirmed user in U_, or 2 with U_ cleared.
void SelectUsers();

// The login of a password list, report, import or export: SelectUsers with
// request 4. True when a user was chosen (and his password confirmed); he is
// then in U_.
[[nodiscard]] bool ChooseUser();

// The password prompt (window "CONFIRMPASSWORD$WINDOW") for the user in U_:
// response 1 when the right password was typed or none is needed, else 2.
void ConfirmPassword();

}  // namespace vaultrix::app
