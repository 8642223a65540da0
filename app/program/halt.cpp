// The application's halt and its replaceable handler.
#include "app/program/halt.h"

#include <mutex>
#include <utility>

#include "app/services/message.h"
#include "runtime/support/runtime_error.h"

namespace vaultrix::app {
namespace {

std::mutex halt_mutex;

HaltHandler& InstalledHandler() {
  static HaltHandler handler;
  return handler;
}

void ShowHaltBox(const std::string& text) {
  platform::MessageBoxRequest request;
  request.caption = std::string(kHaltCaption);
  request.text = text;
  request.buttons = platform::MessageBoxButtons::kOk;
  request.icon = platform::MessageBoxIcon::kStop;
  (void)Message(request);
}

}  // namespace

void Halt(std::string_view text) {
  HaltHandler handler;
  {
    std::lock_guard lock(halt_mutex);
    handler = InstalledHandler();
  }
  const std::string message(text);
  if (handler) {
    handler(message);
  } else if (!message.empty()) {
    ShowHaltBox(message);
  }
  support::EndProcess(kHaltExitCode);
}

HaltHandler SetHaltHandler(HaltHandler handler) {
  std::lock_guard lock(halt_mutex);
  return std::exchange(InstalledHandler(), std::move(handler));
}

}  // namespace vaultrix::app
