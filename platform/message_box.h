// Message boxes. The runtime asks for a message box through one replaceable
// handler: the display driver installs its own, tests and scripted runs answer
// from a script. Button sets, icons and answers keep their Windows numbers, so
// a procedure can compare an answer with the value it knows.
//
// The default handler has no display: it prints the box to standard error and
// answers the default button.
#pragma once

#include <functional>
#include <string>

namespace vaultrix::platform {

enum class MessageBoxButtons : int {
  kOk = 0,
  kOkCancel = 1,
  kAbortRetryIgnore = 2,
  kYesNoCancel = 3,
  kYesNo = 4,
  kRetryCancel = 5,
};

enum class MessageBoxIcon : int {
  kNone = 0,
  kStop = 0x10,
  kQuestion = 0x20,
  kExclamation = 0x30,
  kInformation = 0x40,
};

// The button pressed.
enum class MessageBoxAnswer : int {
  kOk = 1,
  kCancel = 2,
  kAbort = 3,
  kRetry = 4,
  kIgnore = 5,
  kYes = 6,
  kNo = 7,
};

struct MessageBoxRequest {
  std::string caption;
  std::string text;
  MessageBoxButtons buttons = MessageBoxButtons::kOk;
  MessageBoxIcon icon = MessageBoxIcon::kNone;
  int default_button = 1;  // 1-based position of the default button in the set
};

using MessageBoxHandler = std::function<MessageBoxAnswer(const MessageBoxRequest&)>;

// Shows a message box through the installed handler and returns the button pressed.
[[nodiscard]] MessageBoxAnswer ShowMessageBox(const MessageBoxRequest& request);

// Installs a handler (an empty one restores the default) and returns the previous one.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// The answer of the default button of a set: position 1 of kYesNo is kYes and
// so on; a position outside the set counts as position 1.
[[nodiscard]] MessageBoxAnswer DefaultAnswer(MessageBoxButtons buttons, int default_button);

// The headless default: prints the box to standard error, answers the default button.
MessageBoxAnswer PrintMessageBox(const MessageBoxRequest& request);

}  // namespace vaultrix::platform
