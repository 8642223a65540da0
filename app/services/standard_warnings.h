// The numbered standard warnings through which the application reports
// failed data operations, and the saved file error they describe.
//
// After a failed operation inside a transaction a procedure calls
// RememberFileError (which keeps the error and rolls the transaction back),
// then ShowWarning with the warning's number and the texts it inserts (a file
// label such as "Users", a key name; for 34 the operation word and the file
// label). The warning describes the saved error, or the current one when none
// is saved, as its text followed by " (" code ")"; it then forgets the saved
// error. Warnings 1, 3, 4 and 5, and 2 answered No, end the application
// (program/halt.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vaultrix::app {

// The buttons a warning answers with.
inline constexpr std::int32_t kButtonOk = 1;
inline constexpr std::int32_t kButtonYes = 2;
inline constexpr std::int32_t kButtonNo = 4;
inline constexpr std::int32_t kButtonAbort = 8;
inline constexpr std::int32_t kButtonRetry = 16;
inline constexpr std::int32_t kButtonIgnore = 32;
inline constexpr std::int32_t kButtonCancel = 64;

// The error code whose description comes from the file error instead.
inline constexpr std::int32_t kFileSystemError = 90;

struct SavedFileError {
  std::int32_t code = 0;
  std::string text;
  std::int32_t file_error_code = 0;  // the operating-system error number
  std::string file_error_text;
};

// The error kept by RememberFileError, shared by all threads.
[[nodiscard]] const SavedFileError& SavedError();

// Keeps the current error, then rolls back the current transaction.
void RememberFileError();

// Shows warning `code` and returns the button pressed (kButton*). A code the
// application does not use shows nothing and answers kButtonOk.
std::int32_t ShowWarning(std::int32_t code, std::string_view text1 = {},
                         std::string_view text2 = {});

}  // namespace vaultrix::app
