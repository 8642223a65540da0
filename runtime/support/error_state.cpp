// The one error state of the process and its stack of saved states.
#include "runtime/support/error_state.h"

#include <mutex>
#include <utility>
#include <vector>

#include "runtime/support/error_codes.h"
#include "runtime/support/string_table.h"
#include "runtime/support/system_error_map.h"

namespace vaultrix::support {
namespace {

struct State {
  std::mutex mutex;
  ErrorSnapshot current;
  std::vector<ErrorSnapshot> saved;
};

State& TheState() {
  static State state;
  return state;
}

void Set(std::int32_t code, std::int32_t system_error, std::string_view text, ErrorFileRef file) {
  State& state = TheState();
  std::lock_guard lock(state.mutex);
  ErrorSnapshot& current = state.current;
  current.code = code;
  current.system_error = system_error;
  current.text.assign(text.substr(0, kErrorTextLength));
  current.file_identity = file.identity;
  current.file_name.assign(file.name);
}

std::int32_t SystemNumberOf(std::int32_t code) {
  if (code > kSystemErrorBase && code <= kSystemErrorBase + kLastSystemErrorNumber) {
    return code - kSystemErrorBase;
  }
  return 0;
}

}  // namespace

void ClearError() {
  Set(kNoError, 0, {}, {});
}

void PostError(std::int32_t code, ErrorFileRef file) {
  Set(code, SystemNumberOf(code), ErrorTextFor(code), file);
}

void PostErrorWithText(std::int32_t code, std::string_view text, ErrorFileRef file) {
  Set(code, SystemNumberOf(code), text, file);
}

void PostSystemError(int errno_value, ErrorFileRef file) {
  PostError(ErrorCodeFromErrno(errno_value), file);
}

ErrorSnapshot CurrentError() {
  State& state = TheState();
  std::lock_guard lock(state.mutex);
  return state.current;
}

std::int32_t ErrorCode() {
  return CurrentError().code;
}
std::string Error() {
  return CurrentError().text;
}

std::string ErrorPadded() {
  std::string text = Error();
  text.resize(kErrorTextLength, ' ');
  return text;
}

std::string ErrorFile() {
  return CurrentError().file_name;
}
const void* ErrorFileIdentity() {
  return CurrentError().file_identity;
}
std::int32_t SystemErrorNumber() {
  return CurrentError().system_error;
}

void PushErrorState() {
  State& state = TheState();
  std::lock_guard lock(state.mutex);
  state.saved.push_back(state.current);
}

bool PopErrorState() {
  State& state = TheState();
  std::lock_guard lock(state.mutex);
  if (state.saved.empty()) return false;
  state.current = std::move(state.saved.back());
  state.saved.pop_back();
  return true;
}

std::size_t SavedErrorStateCount() {
  State& state = TheState();
  std::lock_guard lock(state.mutex);
  return state.saved.size();
}

}  // namespace vaultrix::support
