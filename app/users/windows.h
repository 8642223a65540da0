// The controls of the user form and the password prompt as their window
// descriptions number them, and the messages the two show.
#pragma once

#include <string_view>

namespace vaultrix::app {

// "CONFIRMPASSWORD$WINDOW" (module vltrx006).
inline constexpr int kConfirmPasswordEntry = 2;
inline constexpr int kConfirmPasswordOk = 3;
inline constexpr int kConfirmPasswordCancel = 4;

// "UPDATEUSERS$QUICKWINDOW" (module vltrx004).
inline constexpr int kUpdateUsersName = 4;
inline constexpr int kUpdateUsersPassword = 6;
inline constexpr int kUpdateUsersConfirm = 8;
inline constexpr int kUpdateUsersOk = 12;
inline constexpr int kUpdateUsersCancel = 13;

inline constexpr std::string_view kInvalidPasswordText = "Invalid password";
inline constexpr std::string_view kAccessDeniedCaption = "Access Denied";
inline constexpr std::string_view kLastUserText = "You must have at least one user.";
inline constexpr std::string_view kCannotDeleteCaption = "Cannot Delete";
inline constexpr std::string_view kPasswordsDifferText = "Passwords do not match.";
inline constexpr std::string_view kPasswordsDifferCaption = "Warning";
inline constexpr std::string_view kAddingUserTitle = "Adding User";
inline constexpr std::string_view kChangingUserTitle = "Changing User";

}  // namespace vaultrix::app
