// The headless display driver: everything in memory, for tests and scripted
// runs. It follows the window system through its notifications (drained by
// Pump on the driver's own thread, the one that owns this object), lays
// windows out in pixels with fixed font metrics (layout.h), reports user
// input the way a real driver would (posted to the owning thread's queue,
// focus moved first on a click), and answers message boxes and file dialogs
// from a queue of programmed answers or leaves them open to be answered.
//
// Threads: OpenDialog and NotificationsPending are called by runtime
// threads; everything else by the driver's thread. mutex_ guards what the
// two share (the answerer, the dialog history, the pending flag).
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/display_driver.h"
#include "platform/drivers/headless/dialog_answerer.h"
#include "platform/drivers/headless/layout.h"
#include "platform/window_system.h"

namespace vaultrix::platform::headless {

// Modifier bits of PressKey, the same as in the runtime's key codes.
inline constexpr int kShift = 0x100;
inline constexpr int kCtrl = 0x200;
inline constexpr int kAlt = 0x400;

enum class MouseButton : int { kLeft = 1, kRight = 2, kMiddle = 3 };

class HeadlessDriver final : public DisplayDriver {
 public:
  // Attaches to the window system; the destructor detaches.
  explicit HeadlessDriver(WindowSystem& system);
  ~HeadlessDriver() override;
  HeadlessDriver(const HeadlessDriver&) = delete;
  HeadlessDriver& operator=(const HeadlessDriver&) = delete;

  void NotificationsPending() override;
  void OpenDialog(const DialogRequest& request) override;

  // Takes every waiting notification into the history; answers how many.
  std::size_t Pump();
  // Waits up to `timeout` for notifications, then pumps. False on timeout.
  bool WaitAndPump(std::chrono::milliseconds timeout);
  [[nodiscard]] const std::vector<Notification>& History() const { return history_; }
  void ClearHistory() { history_.clear(); }

  // ---- Dialogs ----
  void QueueMessageBoxAnswer(MessageBoxAnswer button);
  void QueueFileAnswer(std::string path);
  void QueueFileCancel();
  void SetUnansweredPolicy(UnansweredPolicy policy);
  // Every dialog asked of this driver, oldest first.
  [[nodiscard]] std::vector<DialogRequest> DialogHistory() const;
  // Answers the oldest open message box with the button of that text. False
  // (with the reason in *error) when none is open or it has no such button.
  bool AnswerMessageBox(std::string_view button_text, std::string* error);
  // Answers the oldest open file dialog: a path, or cancel with nullopt.
  bool AnswerFileDialog(std::optional<std::string> path, std::string* error);
  // Answers the oldest open popup menu with the item whose text is
  // `item_text` ('&', letter case and trailing blanks ignored) or, when
  // `item_number` is given, with that item (from 1, separators not
  // counted); nullopt for both dismisses it. False (with the reason) when
  // no popup is open, it has no such item, or the item is disabled.
  bool AnswerPopup(std::optional<std::string> item_text, std::optional<int> item_number,
                   std::string* error);
  // Routes the platform's message box calls (ShowMessageBox, which runtime
  // errors use) through the window system to this driver, until the driver
  // ends; without it they go to the previously installed handler.
  void RouteMessageBoxes();
  // Waits up to `timeout` until a dialog is open.
  bool WaitForOpenDialog(std::chrono::milliseconds timeout);

  // ---- Input ----
  // A key with modifiers held around it; `character` is what the key types
  // (0: nothing).
  void PressKey(int virtual_key, int modifiers = 0, char character = 0);
  // Types text character by character, with Shift for capitals.
  void TypeText(std::string_view text);
  // A click (or double click) at the centre of a window: the focus moves to
  // it when it is enabled, then the button messages are posted.
  bool Click(WindowHandle window, MouseButton button = MouseButton::kLeft,
             bool double_click = false);
  // A click at screen pixels: on the innermost visible window there.
  bool ClickAt(int x, int y, MouseButton button = MouseButton::kLeft, bool double_click = false);
  // A menu or toolbar command: kWmCommand posted as input.
  bool Command(WindowHandle window, int command_id);
  // A system command (close, move, size, minimize ...) asked of the window's
  // thread without waiting; `done` gets the answer when it comes.
  bool SystemCommand(WindowHandle window, std::uintptr_t command,
                     std::function<void(std::intptr_t)> done = {});

  [[nodiscard]] WindowSystem& System() { return system_; }

 private:
  WindowSystem& system_;
  std::vector<Notification> history_;  // driver thread only
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool pending_ = false;                    // guarded by mutex_
  DialogAnswerer answerer_;                 // guarded by mutex_
  std::vector<DialogRequest> dialog_log_;  // guarded by mutex_
  bool routing_ = false;
  MessageBoxHandler previous_handler_;
};

}  // namespace vaultrix::platform::headless
