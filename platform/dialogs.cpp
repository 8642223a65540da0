// Message boxes, file dialogs and popup menus, asked of the display driver. The asking
// thread gives the runtime lock up (modal section) and waits for the
// driver's answer, answering messages sent to it meanwhile.
#include "platform/runtime_lock.h"
#include "platform/window_system.h"
#include "platform/window_system_records.h"

namespace vaultrix::platform {

void WindowSystem::AttachRuntimeLock(RuntimeLock* lock) {
  Lock guard(mutex_);
  runtime_lock_ = lock;
}

DialogAnswer WindowSystem::WaitForDialog(DialogRequest request) {
  Lock lock(mutex_);
  ThreadQueue& self = QueueOfCaller(lock);
  PendingDialog pending;
  request.id = next_dialog_++;
  pending.request = request;
  pending.waiter = &self;
  dialogs_[request.id] = &pending;
  Notify(NotificationKind::kDialogOpened, request.owner, request.id);
  DisplayDriver* driver = driver_;
  RuntimeLock* runtime_lock = runtime_lock_;
  FlushNotifications(lock);
  if (lock.owns_lock()) lock.unlock();

  DialogAnswer answer;
  {
    ModalSection section(runtime_lock);
    if (driver != nullptr) driver->OpenDialog(request);
    lock.lock();
    while (!pending.answered) {
      if (AnswerSentLocked(self, lock)) continue;
      if (pending.answered) break;
      self.activity = ThreadQueue::Activity::kWaitingForDialog;
      idle_changed_.notify_all();
      self.wake.wait(lock);
      self.activity = ThreadQueue::Activity::kBusy;
    }
    dialogs_.erase(request.id);
    answer = pending.answer;
    Notify(NotificationKind::kDialogAnswered, request.owner, request.id);
    FlushNotifications(lock);
    if (lock.owns_lock()) lock.unlock();
  }
  return answer;
}

MessageBoxAnswer WindowSystem::MessageBox(WindowHandle owner, const MessageBoxRequest& request) {
  {
    Lock lock(mutex_);
    if (driver_ == nullptr) {
      RuntimeLock* runtime_lock = runtime_lock_;
      lock.unlock();
      ModalSection section(runtime_lock);
      return ShowMessageBox(request);
    }
  }
  DialogRequest dialog;
  dialog.kind = DialogKind::kMessageBox;
  dialog.owner = owner;
  dialog.message_box = request;
  return WaitForDialog(std::move(dialog)).button;
}

FileDialogResult WindowSystem::FileDialog(WindowHandle owner, const FileDialogRequest& request) {
  {
    Lock lock(mutex_);
    if (driver_ == nullptr) return FileDialogResult{};
  }
  DialogRequest dialog;
  dialog.kind = DialogKind::kFileDialog;
  dialog.owner = owner;
  dialog.file_dialog = request;
  return WaitForDialog(std::move(dialog)).file;
}

PrintSetupResult WindowSystem::PrintSetup(WindowHandle owner) {
  {
    Lock lock(mutex_);
    if (driver_ == nullptr) return PrintSetupResult{};
  }
  DialogRequest dialog;
  dialog.kind = DialogKind::kPrintSetup;
  dialog.owner = owner;
  return WaitForDialog(std::move(dialog)).print;
}

int WindowSystem::PopupMenu(WindowHandle owner, const PopupRequest& request) {
  {
    Lock lock(mutex_);
    if (driver_ == nullptr) return 0;
  }
  DialogRequest dialog;
  dialog.kind = DialogKind::kPopup;
  dialog.owner = owner;
  dialog.popup = request;
  return WaitForDialog(std::move(dialog)).popup_item;
}

bool WindowSystem::ShowHelp(const std::string& document, const std::string& keyword) {
  DisplayDriver* driver = nullptr;
  {
    Lock lock(mutex_);
    driver = driver_;
  }
  if (driver == nullptr) return false;
  driver->OpenHelp(document, keyword);
  return true;
}

bool WindowSystem::AnswerDialog(DialogId dialog, const DialogAnswer& answer) {
  Lock lock(mutex_);
  auto it = dialogs_.find(dialog);
  if (it == dialogs_.end() || it->second->answered) return false;
  it->second->answered = true;
  it->second->answer = answer;
  // Busy from now on, not from when it wakes: a wait for idleness that comes
  // between the two must not take the answered thread for an idle one.
  it->second->waiter->activity = ThreadQueue::Activity::kBusy;
  WakeLocked(*it->second->waiter);
  return true;
}

std::vector<DialogRequest> WindowSystem::OpenDialogs() const {
  Lock lock(mutex_);
  std::vector<DialogRequest> open;
  for (const auto& [id, pending] : dialogs_) {
    if (!pending->answered) open.push_back(pending->request);
  }
  return open;
}

}  // namespace vaultrix::platform
