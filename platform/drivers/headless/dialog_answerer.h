// The headless driver's programmable answerer: the answers that tests and
// scripts give to message boxes and file dialogs, in the order the dialogs
// come. A dialog that finds no answer waiting stays open until one is given
// (or, with the default-button policy, is answered with its default button
// or cancelled at once).
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "platform/display_driver.h"

namespace vaultrix::platform::headless {

enum class UnansweredPolicy : int {
  kWait,           // the dialog stays open until answered
  kDefaultButton,  // message boxes take their default button, file dialogs are cancelled
};

// The button of a message box's set whose text is `text` ("Yes", "&No"; the
// '&' and letter case are ignored). nullopt when the set has no such button.
[[nodiscard]] std::optional<MessageBoxAnswer> ButtonByText(MessageBoxButtons buttons,
                                                           std::string_view text);
// The texts of a set's buttons in order, as a driver shows them.
[[nodiscard]] std::string ButtonTexts(MessageBoxButtons buttons);

class DialogAnswerer {
 public:
  void QueueMessageBoxAnswer(MessageBoxAnswer button);
  void QueueFileAnswer(std::string path);
  void QueueFileCancel();
  void SetPolicy(UnansweredPolicy policy) { policy_ = policy; }

  // The answer for a dialog that has just opened, or nullopt to leave it
  // open. A queued answer of the wrong kind (a file path for a message box)
  // is kept for a later dialog and the policy decides.
  [[nodiscard]] std::optional<DialogAnswer> AnswerFor(const DialogRequest& request);
  [[nodiscard]] std::size_t QueuedAnswers() const { return queue_.size(); }

 private:
  struct Queued {
    DialogKind kind;
    DialogAnswer answer;
  };
  std::deque<Queued> queue_;
  UnansweredPolicy policy_ = UnansweredPolicy::kWait;
};

}  // namespace vaultrix::platform::headless
