// The notification queue through which the display driver follows every
// visible change. Queuing never blocks: the driver is only told that
// something is waiting, and takes the batch on its own thread.
#include <utility>

#include "platform/window_system.h"
#include "platform/window_system_records.h"

namespace vaultrix::platform {

void WindowSystem::Notify(NotificationKind kind, WindowHandle window, DialogId dialog) {
  if (driver_ == nullptr) return;
  notifications_.push_back(Notification{kind, window, dialog});
  driver_wake_pending_ = true;
}

void WindowSystem::FlushNotifications(Lock& lock) {
  if (!driver_wake_pending_ || driver_ == nullptr) return;
  driver_wake_pending_ = false;
  DisplayDriver* driver = driver_;
  lock.unlock();
  driver->NotificationsPending();
}

void WindowSystem::AttachDriver(DisplayDriver* driver) {
  Lock lock(mutex_);
  driver_ = driver;
  notifications_.clear();
  driver_wake_pending_ = false;
}

std::vector<Notification> WindowSystem::TakeNotifications() {
  Lock lock(mutex_);
  return std::exchange(notifications_, {});
}

}  // namespace vaultrix::platform
