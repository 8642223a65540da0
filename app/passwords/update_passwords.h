// UpdatePasswords: the password form. Called with the global request code
// (insert, change or delete) and the Passwords record buffer as the caller
// left it; leaves the response code (completed or cancelled). The record
// buffer holds the saved values afterwards, or the edited ones when the form
// ended without saving.
//
// Insert primes the entry for the current user with "Added " and the date
// and time in its more notes; change writes through UpdatePasswordRecord (a
// record changed by another station since it was read is refused there);
// delete asks "Confirm Delete" and never opens the window.
#pragma once

#include <string>

namespace vaultrix::app {

// The form's controls (UPDATEPASSWORDS$QUICKWINDOW). Each field with buttons
// is followed by its paste and copy buttons; the next control is the next
// field's prompt.
inline constexpr int kFormSheet = 1;
inline constexpr int kFormServicePrompt = 2;
inline constexpr int kFormService = 3;
inline constexpr int kFormUrl = 7;
inline constexpr int kFormName = 11;
inline constexpr int kFormPassword = 15;
inline constexpr int kFormGenerate = 18;
inline constexpr int kFormConfirm = 20;
inline constexpr int kFormNotes = 22;
inline constexpr int kFormMoreNotes = 26;
inline constexpr int kFormClipboardPrompt = 29;
inline constexpr int kFormClipboard = 30;
inline constexpr int kFormOk = 31;
inline constexpr int kFormCancel = 32;

inline constexpr const char* kInsertCaption = "Add Password Information";
inline constexpr const char* kChangeCaption = "Change Password Information";
inline constexpr const char* kMismatchCaption = "Cannot Save Changes";
inline constexpr const char* kMismatchText = "Passwords do not match.";

// "Added " with the date (picture d4), two blanks and the time of day
// (picture t3, leading blanks removed) of `date` and `clock`.
[[nodiscard]] std::string AddedText(std::int32_t date, std::int32_t clock);

void UpdatePasswords();

}  // namespace vaultrix::app
