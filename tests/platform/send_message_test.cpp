// Sent messages: the sender waits for the answer of the window's own thread,
// answers what is sent to itself meanwhile (two threads sending to each
// other do not deadlock), the driver's callback form never waits, and a
// thread that ends answers 0 to what it was still sent.
#include <gtest/gtest.h>

#include <atomic>

#include "platform/window_system.h"
#include "tests/platform/watchdog.h"
#include "tests/platform/window_thread.h"

namespace vaultrix::platform {
namespace {

using testing::Watchdog;
using testing::WindowThread;

WindowCreateParams Plain() {
  WindowCreateParams params;
  params.class_name = "WINDOW";
  params.rect = {0, 0, 100, 50};
  return params;
}

TEST(SendMessage, RunsOnTheWindowsThreadAndWaitsForTheAnswer) {
  Watchdog watchdog("send across threads");
  WindowSystem system;
  WindowThread other(system);
  std::atomic<ThreadId> ran_on{kNoThread};
  const WindowHandle window = other.MakeWindow(Plain(), [&](const Message& m) -> std::intptr_t {
    ran_on = system.CurrentThreadId();
    return m.message == kWmUser ? static_cast<std::intptr_t>(m.wparam * 2) : 0;
  });
  EXPECT_EQ(system.SendMessage(window, kWmUser, 21), 42);
  EXPECT_EQ(ran_on.load(), other.Id());
  EXPECT_EQ(system.SendMessage(kNoWindow + 12345, kWmUser, 1), 0);
}

TEST(SendMessage, SenderAnswersMessagesSentToItWhileItWaits) {
  Watchdog watchdog("send back to a waiting sender");
  WindowSystem system;
  // The main thread's window answers 100 + wparam.
  WindowCreateParams mine = Plain();
  mine.procedure = [](WindowSystem&, const Message& m) -> std::intptr_t {
    return m.message == kWmUser + 1 ? 100 + static_cast<std::intptr_t>(m.wparam) : 0;
  };
  const WindowHandle main_window = system.CreateWindow(mine);
  WindowThread other(system);
  // The other thread's window asks the main window before it answers.
  const WindowHandle window = other.MakeWindow(Plain(), [&](const Message& m) -> std::intptr_t {
    if (m.message != kWmUser) return 0;
    return system.SendMessage(main_window, kWmUser + 1, m.wparam) + 1;
  });
  EXPECT_EQ(system.SendMessage(window, kWmUser, 5), 106);
}

TEST(SendMessage, CallbackFormAnswersOnTheOwnersThreadWithoutWaiting) {
  Watchdog watchdog("send with callback");
  WindowSystem system;
  WindowThread other(system);
  const WindowHandle window =
      other.MakeWindow(Plain(), [](const Message& m) -> std::intptr_t {
        return m.message == kWmSysCommand ? 7 : 0;
      });
  std::mutex mutex;
  std::condition_variable cv;
  std::intptr_t answer = -1;
  ThreadId answered_on = kNoThread;
  ASSERT_TRUE(system.SendMessageCallback(window, kWmSysCommand, kScClose, 0,
                                         [&](std::intptr_t result) {
                                           std::lock_guard lock(mutex);
                                           answer = result;
                                           answered_on = system.CurrentThreadId();
                                           cv.notify_all();
                                         }));
  std::unique_lock lock(mutex);
  cv.wait(lock, [&] { return answer != -1; });
  EXPECT_EQ(answer, 7);
  EXPECT_EQ(answered_on, other.Id());
}

TEST(SendMessage, ThreadThatEndsAnswersZeroToWhatItWasStillSent) {
  Watchdog watchdog("send to an ending thread");
  WindowSystem system;
  std::mutex mutex;
  std::condition_variable cv;
  WindowHandle window = kNoWindow;
  bool go = false;
  bool procedure_called = false;
  std::thread worker([&] {
    WindowCreateParams params = Plain();
    params.procedure = [&](WindowSystem&, const Message& m) -> std::intptr_t {
      if (m.message == kWmUser) procedure_called = true;
      return 9;
    };
    const WindowHandle made = system.CreateWindow(params);
    std::unique_lock lock(mutex);
    window = made;
    cv.notify_all();
    cv.wait(lock, [&] { return go; });
    lock.unlock();
    // Ends without ever taking a message.
    system.EndThread();
  });
  {
    std::unique_lock lock(mutex);
    cv.wait(lock, [&] { return window != kNoWindow; });
  }
  std::intptr_t answer = -1;
  bool answered = false;
  ASSERT_TRUE(system.SendMessageCallback(window, kWmUser, 0, 0, [&](std::intptr_t result) {
    std::lock_guard lock(mutex);
    answer = result;
    answered = true;
    cv.notify_all();
  }));
  {
    std::lock_guard lock(mutex);
    go = true;
    cv.notify_all();
  }
  worker.join();
  std::unique_lock lock(mutex);
  cv.wait(lock, [&] { return answered; });
  EXPECT_EQ(answer, 0);
  EXPECT_FALSE(procedure_called);
  EXPECT_FALSE(system.IsWindow(window));
}

}  // namespace
}  // namespace vaultrix::platform
