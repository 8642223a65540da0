// The process-wide error state. Every file and runtime operation clears it and
// then posts its outcome; the caller reads it back with ERRORCODE, ERROR and
// ERRORFILE before its next operation, which clears it again.
//
// There is one state per process. Runtime threads take turns under the
// runtime lock, so posting needs no lock of its own; the state is still
// guarded by a mutex so that a reader on another thread (a display driver, a
// test) always sees a whole state.
//
// The failing file is kept both as an opaque identity (the address of its
// file block) and as its name text, so ERRORFILE answers without calling up
// into the file layer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vaultrix::support {

inline constexpr std::size_t kErrorTextLength = 80;

// The file an error concerns.
struct ErrorFileRef {
  const void* identity = nullptr;
  std::string_view name;
};

struct ErrorSnapshot {
  std::int32_t code = 0;
  std::int32_t system_error = 0;  // the operating-system error number, 0 when none
  std::string text;               // as posted, at most kErrorTextLength characters
  const void* file_identity = nullptr;
  std::string file_name;
};

// Code 0, blank text, no system error, no file.
void ClearError();

// Posts `code` with its string-table text (ErrorTextFor). Codes 301..391
// also record the system error number (code - 300).
void PostError(std::int32_t code, ErrorFileRef file = {});

// Posts `code` with a text of the caller's instead of the table's.
void PostErrorWithText(std::int32_t code, std::string_view text, ErrorFileRef file = {});

// Posts an operating-system failure: 300 + the system number mapped from the
// POSIX errno (system_error_map.h), with that entry's text.
void PostSystemError(int errno_value, ErrorFileRef file = {});

[[nodiscard]] std::int32_t ErrorCode();
// The text posted with the current code, as posted (blank when none).
[[nodiscard]] std::string Error();
// The text blank padded to kErrorTextLength characters.
[[nodiscard]] std::string ErrorPadded();
// The name of the file of the failing operation; empty when none.
[[nodiscard]] std::string ErrorFile();
[[nodiscard]] const void* ErrorFileIdentity();
[[nodiscard]] std::int32_t SystemErrorNumber();
[[nodiscard]] ErrorSnapshot CurrentError();

// Saves the current state on the stack, for a nested operation that must
// not disturb what the caller is about to read.
void PushErrorState();
// Restores the state saved last; false (and no change) when nothing is saved.
bool PopErrorState();
[[nodiscard]] std::size_t SavedErrorStateCount();

// The names under which procedures read the state.
[[nodiscard]] inline std::int32_t ERRORCODE() {
  return ErrorCode();
}
[[nodiscard]] inline std::string ERROR() {
  return Error();
}
[[nodiscard]] inline std::string ERRORFILE() {
  return ErrorFile();
}

}  // namespace vaultrix::support
