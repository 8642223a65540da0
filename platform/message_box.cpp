// The message box handler slot and its headless default.
#include "platform/message_box.h"

#include <cstdio>
#include <mutex>
#include <utility>
#include <vector>

namespace vaultrix::platform {
namespace {

std::mutex handler_mutex;

MessageBoxHandler& InstalledHandler() {
  static MessageBoxHandler handler;
  return handler;
}

std::vector<MessageBoxAnswer> ButtonsOf(MessageBoxButtons buttons) {
  using A = MessageBoxAnswer;
  switch (buttons) {
    case MessageBoxButtons::kOk:
      return {A::kOk};
    case MessageBoxButtons::kOkCancel:
      return {A::kOk, A::kCancel};
    case MessageBoxButtons::kAbortRetryIgnore:
      return {A::kAbort, A::kRetry, A::kIgnore};
    case MessageBoxButtons::kYesNoCancel:
      return {A::kYes, A::kNo, A::kCancel};
    case MessageBoxButtons::kYesNo:
      return {A::kYes, A::kNo};
    case MessageBoxButtons::kRetryCancel:
      return {A::kRetry, A::kCancel};
  }
  return {A::kOk};
}

}  // namespace

MessageBoxAnswer DefaultAnswer(MessageBoxButtons buttons, int default_button) {
  std::vector<MessageBoxAnswer> set = ButtonsOf(buttons);
  if (default_button < 1 || default_button > static_cast<int>(set.size())) default_button = 1;
  return set[static_cast<std::size_t>(default_button - 1)];
}

MessageBoxAnswer PrintMessageBox(const MessageBoxRequest& request) {
  std::fprintf(stderr, "[%s] %s\n", request.caption.c_str(), request.text.c_str());
  std::fflush(stderr);
  return DefaultAnswer(request.buttons, request.default_button);
}

MessageBoxAnswer ShowMessageBox(const MessageBoxRequest& request) {
  MessageBoxHandler handler;
  {
    std::lock_guard lock(handler_mutex);
    handler = InstalledHandler();
  }
  // The handler runs without the slot's lock: it may wait for a user for a long time.
  if (!handler) return PrintMessageBox(request);
  return handler(request);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
  std::lock_guard lock(handler_mutex);
  return std::exchange(InstalledHandler(), std::move(handler));
}

}  // namespace vaultrix::platform
