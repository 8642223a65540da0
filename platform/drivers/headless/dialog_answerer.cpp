// Queued answers for dialogs, and the button texts of the message box sets.
#include "platform/drivers/headless/dialog_answerer.h"

#include <cctype>
#include <vector>

namespace vaultrix::platform::headless {
namespace {

struct Button {
  MessageBoxAnswer answer;
  const char* text;
};

std::vector<Button> ButtonsOf(MessageBoxButtons buttons) {
  using A = MessageBoxAnswer;
  switch (buttons) {
    case MessageBoxButtons::kOk: return {{A::kOk, "OK"}};
    case MessageBoxButtons::kOkCancel: return {{A::kOk, "OK"}, {A::kCancel, "Cancel"}};
    case MessageBoxButtons::kAbortRetryIgnore:
      return {{A::kAbort, "Abort"}, {A::kRetry, "Retry"}, {A::kIgnore, "Ignore"}};
    case MessageBoxButtons::kYesNoCancel:
      return {{A::kYes, "Yes"}, {A::kNo, "No"}, {A::kCancel, "Cancel"}};
    case MessageBoxButtons::kYesNo: return {{A::kYes, "Yes"}, {A::kNo, "No"}};
    case MessageBoxButtons::kRetryCancel: return {{A::kRetry, "Retry"}, {A::kCancel, "Cancel"}};
  }
  return {{A::kOk, "OK"}};
}

std::string Normalised(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '&') continue;
    out.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  }
  return out;
}

}  // namespace

std::optional<MessageBoxAnswer> ButtonByText(MessageBoxButtons buttons, std::string_view text) {
  const std::string wanted = Normalised(text);
  for (const Button& button : ButtonsOf(buttons)) {
    if (Normalised(button.text) == wanted) return button.answer;
  }
  return std::nullopt;
}

std::string ButtonTexts(MessageBoxButtons buttons) {
  std::string texts;
  for (const Button& button : ButtonsOf(buttons)) {
    if (!texts.empty()) texts += ", ";
    texts += button.text;
  }
  return texts;
}

void DialogAnswerer::QueueMessageBoxAnswer(MessageBoxAnswer button) {
  DialogAnswer answer;
  answer.button = button;
  queue_.push_back({DialogKind::kMessageBox, answer});
}

void DialogAnswerer::QueueFileAnswer(std::string path) {
  DialogAnswer answer;
  answer.file.accepted = true;
  answer.file.path = std::move(path);
  queue_.push_back({DialogKind::kFileDialog, answer});
}

void DialogAnswerer::QueueFileCancel() {
  queue_.push_back({DialogKind::kFileDialog, DialogAnswer{}});
}

std::optional<DialogAnswer> DialogAnswerer::AnswerFor(const DialogRequest& request) {
  if (!queue_.empty() && queue_.front().kind == request.kind) {
    DialogAnswer answer = queue_.front().answer;
    queue_.pop_front();
    if (request.kind == DialogKind::kFileDialog && answer.file.accepted) {
      answer.file.filter_index = request.file_dialog.filter_index;
    }
    return answer;
  }
  if (policy_ == UnansweredPolicy::kWait) return std::nullopt;
  DialogAnswer answer;
  answer.button = DefaultAnswer(request.message_box.buttons, request.message_box.default_button);
  return answer;
}

}  // namespace vaultrix::platform::headless
