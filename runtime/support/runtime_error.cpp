// Runtime errors, fatal internal errors and the end of the process.
#include "runtime/support/runtime_error.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <utility>

#include "platform/message_box.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/string_table.h"

namespace vaultrix::support {
namespace {

std::mutex exit_mutex;
std::atomic<int> last_internal_error_line{0};

ProcessExitHandler& InstalledExitHandler() {
  static ProcessExitHandler handler;
  return handler;
}

void ShowStopBox(std::string text) {
  platform::MessageBoxRequest request;
  request.caption = std::string(kRuntimeErrorCaption);
  request.text = std::move(text);
  request.buttons = platform::MessageBoxButtons::kOk;
  request.icon = platform::MessageBoxIcon::kStop;
  request.default_button = 1;
  (void)platform::ShowMessageBox(request);
}

}  // namespace

std::string RuntimeErrorText(std::int32_t id, std::string_view detail) {
  std::string text = ErrorTextFor(id);
  if (!detail.empty()) {
    text += " : ";
    text += detail;
  }
  return text;
}

void RuntimeError(std::int32_t id, std::string_view detail) {
  ShowStopBox(RuntimeErrorText(id, detail));
  EndProcess(kRuntimeErrorExitCode);
}

std::string InternalErrorText(int line) {
  std::string text(*StringTableText(kFileEngineInternalError));
  text += std::to_string(line);
  return text;
}

void FatalInternalError(int line) {
  last_internal_error_line.store(line);
  ShowStopBox(InternalErrorText(line));
  EndProcess(kInternalErrorExitCode);
}

int LastInternalErrorLine() {
  return last_internal_error_line.load();
}

void EndProcess(int exit_code) {
  ProcessExitHandler handler;
  {
    std::lock_guard lock(exit_mutex);
    handler = InstalledExitHandler();
  }
  if (handler) handler(exit_code);
  std::fflush(nullptr);
  std::_Exit(exit_code);
}

ProcessExitHandler SetProcessExitHandler(ProcessExitHandler handler) {
  std::lock_guard lock(exit_mutex);
  return std::exchange(InstalledExitHandler(), std::move(handler));
}

}  // namespace vaultrix::support
