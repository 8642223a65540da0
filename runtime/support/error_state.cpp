// The one error state of the process and its stack of saved states.
#include "runtime/support/error_state.h"

#include <atomic>
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
  // Mirrors of `current` that every file operation reads: its code, and
  // whether it is entirely clear (code 0, no text, no file). Clearing an
  // already clear state is then nothing at all, which keeps the frame of a
  // successful operation cheap. Written only under `mutex`.
  std::atomic<std::int32_t> code{0};
  std::atomic<bool> clear{true};
};

// Made on first use, so that it is there for any other static's constructor
// that posts an error, and never destroyed, so that it is still there for any
// static's destructor. (It cannot be constant-initialised: the strings and
// the vector of the standard library in use have no constant constructors
// under every compiler we build with.) The guard of a function-local static
// is one load on every use.
State& TheState() {
  static State* const state = new State();
  return *state;
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
  state.code.store(code, std::memory_order_release);
  state.clear.store(code == kNoError && system_error == 0 && current.text.empty() &&
                        file.identity == nullptr && current.file_name.empty(),
                    std::memory_order_release);
}

void Restore(State& state, ErrorSnapshot snapshot) {
  state.current = std::move(snapshot);
  const ErrorSnapshot& current = state.current;
  state.code.store(current.code, std::memory_order_release);
  state.clear.store(current.code == kNoError && current.system_error == 0 &&
                        current.text.empty() && current.file_identity == nullptr &&
                        current.file_name.empty(),
                    std::memory_order_release);
}

std::int32_t SystemNumberOf(std::int32_t code) {
  if (code > kSystemErrorBase && code <= kSystemErrorBase + kLastSystemErrorNumber) {
    return code - kSystemErrorBase;
  }
  return 0;
}

}  // namespace

void ClearError() {
  if (TheState().clear.load(std::memory_order_acquire)) return;
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
  return TheState().code.load(std::memory_order_acquire);
}
std::string Error() {
  State& state = TheState();
  std::lock_guard lock(state.mutex);
  return state.current.text;
}

std::string ErrorPadded() {
  std::string text = Error();
  text.resize(kErrorTextLength, ' ');
  return text;
}

std::string ErrorFile() {
  State& state = TheState();
  std::lock_guard lock(state.mutex);
  return state.current.file_name;
}
const void* ErrorFileIdentity() {
  State& state = TheState();
  std::lock_guard lock(state.mutex);
  return state.current.file_identity;
}
std::int32_t SystemErrorNumber() {
  State& state = TheState();
  std::lock_guard lock(state.mutex);
  return state.current.system_error;
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
  Restore(state, std::move(state.saved.back()));
  state.saved.pop_back();
  return true;
}

std::size_t SavedErrorStateCount() {
  State& state = TheState();
  std::lock_guard lock(state.mutex);
  return state.saved.size();
}

}  // namespace vaultrix::support
