// Queued calls into the driver's thread, safe against the driver going.
#include "platform/drivers/qt/driver_link.h"

#include <QtCore/QMetaObject>

#include <memory>

namespace vaultrix::platform::qt {

void DriverLink::Wake() {
  if (wake_pending.exchange(true)) return;
  Post([this] {
    wake_pending = false;
    std::function<void()> run;
    {
      std::lock_guard lock(mutex);
      run = drain;
    }
    if (run) run();
  });
}

void DriverLink::Post(std::function<void()> task) {
  std::lock_guard lock(mutex);
  if (receiver == nullptr) return;
  // Cut clears the receiver under this mutex before deleting it, so it is
  // alive here; Qt drops the queued call if the receiver goes first.
  QMetaObject::invokeMethod(receiver, std::move(task), Qt::QueuedConnection);
}

void DriverLink::Cut() {
  QObject* receiver_to_delete = nullptr;
  {
    std::lock_guard lock(mutex);
    receiver_to_delete = receiver;
    receiver = nullptr;
    drain = nullptr;
    dialogs.clear();
  }
  delete receiver_to_delete;
}

}  // namespace vaultrix::platform::qt
