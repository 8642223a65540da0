// The list of user names that the user list and the user picker share: the
// users file in U_:KEYNAME order, one queue field (the name), and the
// controls of the two windows as their descriptions number them.
#pragma once

#include "app/browse/description.h"

namespace vaultrix::app {

// "BROWSEUSERS$QUICKWINDOW" (module vltrx002).
inline constexpr int kBrowseUsersList = 1;
inline constexpr int kBrowseUsersInsert = 2;
inline constexpr int kBrowseUsersChange = 3;
inline constexpr int kBrowseUsersDelete = 4;
inline constexpr int kBrowseUsersClose = 5;

// "SELECTUSERS$QUICKWINDOW" (module vltrx005).
inline constexpr int kSelectUsersList = 1;
inline constexpr int kSelectUsersSelect = 2;
inline constexpr int kSelectUsersCancel = 3;

// The users in name order; the caller adds its buttons and form.
[[nodiscard]] BrowseDescription UserListDescription();

// With the users file open: adds "Default User" when the file is empty and
// warns when that fails (warning 14).
void EnsureDefaultUser();

}  // namespace vaultrix::app
