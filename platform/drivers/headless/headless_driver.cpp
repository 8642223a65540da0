// The headless driver: notifications, dialogs answered from the answerer,
// and input reported as a display would report it.
#include "platform/drivers/headless/headless_driver.h"

#include <cctype>

#include "platform/drivers/headless/window_dump.h"

namespace vaultrix::platform::headless {
namespace {

std::uint32_t DownMessage(MouseButton button, bool double_click) {
  switch (button) {
    case MouseButton::kRight: return double_click ? kWmRButtonDblClk : kWmRButtonDown;
    case MouseButton::kMiddle: return double_click ? kWmMButtonDblClk : kWmMButtonDown;
    case MouseButton::kLeft: break;
  }
  return double_click ? kWmLButtonDblClk : kWmLButtonDown;
}

std::uint32_t UpMessage(MouseButton button) {
  switch (button) {
    case MouseButton::kRight: return kWmRButtonUp;
    case MouseButton::kMiddle: return kWmMButtonUp;
    case MouseButton::kLeft: break;
  }
  return kWmLButtonUp;
}

}  // namespace

HeadlessDriver::HeadlessDriver(WindowSystem& system) : system_(system) {
  system_.AttachDriver(this);
}

HeadlessDriver::~HeadlessDriver() {
  if (routing_) SetMessageBoxHandler(std::move(previous_handler_));
  system_.AttachDriver(nullptr);
}

void HeadlessDriver::RouteMessageBoxes() {
  if (routing_) return;
  routing_ = true;
  previous_handler_ = SetMessageBoxHandler([this](const MessageBoxRequest& request) {
    return system_.MessageBox(kNoWindow, request);
  });
}

void HeadlessDriver::NotificationsPending() {
  std::lock_guard lock(mutex_);
  pending_ = true;
  changed_.notify_all();
}

void HeadlessDriver::OpenDialog(const DialogRequest& request) {
  std::optional<DialogAnswer> answer;
  {
    std::lock_guard lock(mutex_);
    dialog_log_.push_back(request);
    answer = answerer_.AnswerFor(request);
    changed_.notify_all();
  }
  if (answer) (void)system_.AnswerDialog(request.id, *answer);
}

std::size_t HeadlessDriver::Pump() {
  {
    std::lock_guard lock(mutex_);
    pending_ = false;
  }
  std::vector<Notification> batch = system_.TakeNotifications();
  history_.insert(history_.end(), batch.begin(), batch.end());
  return batch.size();
}

bool HeadlessDriver::WaitAndPump(std::chrono::milliseconds timeout) {
  {
    std::unique_lock lock(mutex_);
    if (!changed_.wait_for(lock, timeout, [&] { return pending_; })) return false;
  }
  Pump();
  return true;
}

void HeadlessDriver::QueueMessageBoxAnswer(MessageBoxAnswer button) {
  std::lock_guard lock(mutex_);
  answerer_.QueueMessageBoxAnswer(button);
}

void HeadlessDriver::QueueFileAnswer(std::string path) {
  std::lock_guard lock(mutex_);
  answerer_.QueueFileAnswer(std::move(path));
}

void HeadlessDriver::QueueFileCancel() {
  std::lock_guard lock(mutex_);
  answerer_.QueueFileCancel();
}

void HeadlessDriver::SetUnansweredPolicy(UnansweredPolicy policy) {
  std::lock_guard lock(mutex_);
  answerer_.SetPolicy(policy);
}

std::vector<DialogRequest> HeadlessDriver::DialogHistory() const {
  std::lock_guard lock(mutex_);
  return dialog_log_;
}

bool HeadlessDriver::AnswerMessageBox(std::string_view button_text, std::string* error) {
  for (const DialogRequest& open : system_.OpenDialogs()) {
    if (open.kind != DialogKind::kMessageBox) continue;
    std::optional<MessageBoxAnswer> button = ButtonByText(open.message_box.buttons, button_text);
    if (!button) {
      if (error != nullptr) {
        *error = "message box \"" + open.message_box.caption + "\" has no button \"" +
                 std::string(button_text) + "\" (its buttons: " +
                 ButtonTexts(open.message_box.buttons) + ")";
      }
      return false;
    }
    DialogAnswer answer;
    answer.button = *button;
    return system_.AnswerDialog(open.id, answer);
  }
  if (error != nullptr) *error = "no message box is open";
  return false;
}

bool HeadlessDriver::AnswerFileDialog(std::optional<std::string> path, std::string* error) {
  for (const DialogRequest& open : system_.OpenDialogs()) {
    if (open.kind != DialogKind::kFileDialog) continue;
    DialogAnswer answer;
    answer.file.accepted = path.has_value();
    if (path) answer.file.path = *path;
    answer.file.filter_index = open.file_dialog.filter_index;
    return system_.AnswerDialog(open.id, answer);
  }
  if (error != nullptr) *error = "no file dialog is open";
  return false;
}

bool HeadlessDriver::AnswerPopup(std::optional<std::string> item_text,
                                 std::optional<int> item_number, std::string* error) {
  for (const DialogRequest& open : system_.OpenDialogs()) {
    if (open.kind != DialogKind::kPopup) continue;
    DialogAnswer answer;
    if (!item_text && !item_number) return system_.AnswerDialog(open.id, answer);
    int number = 0;
    for (const PopupItem& item : open.popup.items) {
      if (item.separator) continue;
      ++number;
      const bool named = item_number ? number == *item_number
                                     : NameKey(item.text) == NameKey(*item_text);
      if (!named) continue;
      if (item.disabled) {
        if (error != nullptr) *error = "popup item \"" + item.text + "\" is disabled";
        return false;
      }
      answer.popup_item = number;
      return system_.AnswerDialog(open.id, answer);
    }
    if (error != nullptr) {
      *error = "the popup has no item " +
               (item_number ? "#" + std::to_string(*item_number) : "\"" + *item_text + "\"");
    }
    return false;
  }
  if (error != nullptr) *error = "no popup menu is open";
  return false;
}

bool HeadlessDriver::WaitForOpenDialog(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  std::unique_lock lock(mutex_);
  for (;;) {
    lock.unlock();
    const bool open = !system_.OpenDialogs().empty();
    lock.lock();
    if (open) return true;
    if (changed_.wait_until(lock, deadline) == std::cv_status::timeout) {
      lock.unlock();
      return !system_.OpenDialogs().empty();
    }
  }
}

void HeadlessDriver::PressKey(int virtual_key, int modifiers, char character) {
  if ((modifiers & kShift) != 0) system_.InjectKey(kVkShift, true);
  if ((modifiers & kCtrl) != 0) system_.InjectKey(kVkControl, true);
  if ((modifiers & kAlt) != 0) system_.InjectKey(kVkMenu, true);
  system_.InjectKey(virtual_key, true, character);
  system_.InjectKey(virtual_key, false);
  if ((modifiers & kAlt) != 0) system_.InjectKey(kVkMenu, false);
  if ((modifiers & kCtrl) != 0) system_.InjectKey(kVkControl, false);
  if ((modifiers & kShift) != 0) system_.InjectKey(kVkShift, false);
}

void HeadlessDriver::TypeText(std::string_view text) {
  for (char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (std::isupper(u)) {
      PressKey(u, kShift, c);
    } else if (std::islower(u)) {
      PressKey(std::toupper(u), 0, c);
    } else if (std::isdigit(u)) {
      PressKey(u, 0, c);
    } else if (c == ' ') {
      PressKey(kVkSpace, 0, c);
    } else {
      PressKey(kVkPacket, 0, c);
    }
  }
}

bool HeadlessDriver::Click(WindowHandle window, MouseButton button, bool double_click) {
  std::optional<PixelRect> rect = ScreenRect(system_, window);
  if (!rect || !system_.IsWindowVisible(window)) return false;
  if (system_.IsWindowEnabled(window)) (void)system_.SetFocus(window);
  // Client coordinates of the window's centre.
  std::optional<PixelRect> client = ClientRect(system_, window);
  const int x = rect->x + rect->width / 2 - (client ? client->x : rect->x);
  const int y = rect->y + rect->height / 2 - (client ? client->y : rect->y);
  system_.InjectMouse(window, DownMessage(button, false), x, y);
  system_.InjectMouse(window, UpMessage(button), x, y);
  if (double_click) {
    system_.InjectMouse(window, DownMessage(button, true), x, y);
    system_.InjectMouse(window, UpMessage(button), x, y);
  }
  return true;
}

bool HeadlessDriver::ClickAt(int x, int y, MouseButton button, bool double_click) {
  const WindowHandle window = WindowAt(system_, x, y);
  if (window == kNoWindow) return false;
  if (system_.IsWindowEnabled(window)) (void)system_.SetFocus(window);
  std::optional<PixelRect> client = ClientRect(system_, window);
  const int cx = x - (client ? client->x : 0);
  const int cy = y - (client ? client->y : 0);
  system_.InjectMouse(window, DownMessage(button, false), cx, cy);
  system_.InjectMouse(window, UpMessage(button), cx, cy);
  if (double_click) {
    system_.InjectMouse(window, DownMessage(button, true), cx, cy);
    system_.InjectMouse(window, UpMessage(button), cx, cy);
  }
  return true;
}

bool HeadlessDriver::Command(WindowHandle window, int command_id) {
  return system_.InjectInput(window, kWmCommand, static_cast<std::uintptr_t>(command_id & 0xFFFF),
                             0);
}

bool HeadlessDriver::SystemCommand(WindowHandle window, std::uintptr_t command,
                                   std::function<void(std::intptr_t)> done) {
  if (!done) done = [](std::intptr_t) {};
  return system_.SendMessageCallback(window, kWmSysCommand, command, 0, std::move(done));
}

}  // namespace vaultrix::platform::headless
