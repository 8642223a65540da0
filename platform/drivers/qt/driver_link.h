// The one thing runtime threads touch of the Qt driver: a shared link that
// queues work for the driver's thread and wakes it with a queued call. The
// driver cuts the link when it goes; a wake that comes later does nothing.
#pragma once

#include <QtCore/QObject>

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/display_driver.h"

namespace vaultrix::platform::qt {

struct DriverLink {
  std::mutex mutex;
  // The driver's thread's receiver of queued calls; null once cut.
  QObject* receiver = nullptr;  // guarded by mutex
  std::function<void()> drain;  // guarded by mutex; run on the driver's thread
  std::vector<DialogRequest> dialogs;  // guarded by mutex
  std::atomic<bool> wake_pending{false};

  // Any thread: makes sure the driver's thread drains soon, once however
  // often it is called before the drain runs.
  void Wake();
  // Any thread: runs `task` on the driver's thread, unless the link is cut.
  void Post(std::function<void()> task);
  // The driver's thread: no queued call will run the driver any more.
  void Cut();
};

}  // namespace vaultrix::platform::qt
