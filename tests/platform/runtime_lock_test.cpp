// The runtime lock: held by its maker from the start, handed between threads
// in turn, still answering sent messages while a thread waits for it, given
// up by the first level of a modal section only, and given up for a message
// box while the driver answers it.
#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/runtime_lock.h"
#include "platform/window_system.h"
#include "tests/platform/watchdog.h"

namespace vaultrix::platform {
namespace {

using testing::Watchdog;

class Journal {
 public:
  void Add(std::string entry) {
    std::lock_guard lock(mutex_);
    entries_.push_back(std::move(entry));
  }
  std::vector<std::string> Entries() {
    std::lock_guard lock(mutex_);
    return entries_;
  }

 private:
  std::mutex mutex_;
  std::vector<std::string> entries_;
};

TEST(RuntimeLock, MakerHoldsItAndHandsItOverOnRelease) {
  Watchdog watchdog("runtime lock hand-over");
  WindowSystem system;
  RuntimeLock lock(system);
  EXPECT_TRUE(lock.HeldByCurrentThread());
  Journal journal;
  int switches = 0;
  lock.SetAcquireHook([&] { ++switches; });
  std::thread other([&] {
    lock.Acquire();
    journal.Add("other");
    lock.Release();
    system.EndThread();
  });
  journal.Add("maker before release");
  lock.Release();
  EXPECT_FALSE(lock.HeldByCurrentThread());
  other.join();
  lock.Acquire();
  journal.Add("maker again");
  EXPECT_EQ(journal.Entries(),
            (std::vector<std::string>{"maker before release", "other", "maker again"}));
  EXPECT_EQ(switches, 2);
}

TEST(RuntimeLock, ManyThreadsTakeTurns) {
  Watchdog watchdog("runtime lock turns");
  WindowSystem system;
  RuntimeLock lock(system);
  constexpr int kThreads = 8;
  constexpr int kRounds = 500;
  long counter = 0;  // guarded by the runtime lock only
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < kRounds; ++i) {
        lock.Acquire();
        const long seen = counter;
        std::this_thread::yield();
        counter = seen + 1;
        lock.Release();
      }
      system.EndThread();
    });
  }
  lock.Release();
  for (std::thread& thread : threads) thread.join();
  lock.Acquire();
  EXPECT_EQ(counter, kThreads * kRounds);
}

TEST(RuntimeLock, WaitingForTheLockStillAnswersSentMessages) {
  Watchdog watchdog("sent message to a thread waiting for the lock");
  WindowSystem system;
  RuntimeLock lock(system);
  std::mutex mutex;
  std::condition_variable cv;
  WindowHandle window = kNoWindow;
  std::thread waiter([&] {
    WindowCreateParams params;
    params.class_name = "WINDOW";
    params.procedure = [](WindowSystem&, const Message& m) -> std::intptr_t {
      return m.message == kWmUser ? 77 : 0;
    };
    const WindowHandle made = system.CreateWindow(params);
    {
      std::lock_guard guard(mutex);
      window = made;
      cv.notify_all();
    }
    lock.Acquire();
    lock.Release();
    system.EndThread();
  });
  {
    std::unique_lock guard(mutex);
    cv.wait(guard, [&] { return window != kNoWindow; });
  }
  // The maker holds the lock and the waiter cannot get it, yet it answers.
  EXPECT_EQ(system.SendMessage(window, kWmUser), 77);
  lock.Release();
  waiter.join();
  lock.Acquire();
}

TEST(RuntimeLock, OnlyTheFirstModalLevelGivesTheLockUp) {
  Watchdog watchdog("modal nesting");
  WindowSystem system;
  RuntimeLock lock(system);
  lock.EnterModal();
  EXPECT_FALSE(lock.HeldByCurrentThread());
  bool other_ran = false;
  std::thread other([&] {
    lock.Acquire();
    other_ran = true;
    lock.Release();
    system.EndThread();
  });
  other.join();
  EXPECT_TRUE(other_ran);
  lock.EnterModal();
  EXPECT_EQ(lock.ModalDepthOfCurrentThread(), 2);
  lock.LeaveModal();
  EXPECT_FALSE(lock.HeldByCurrentThread());
  lock.LeaveModal();
  EXPECT_TRUE(lock.HeldByCurrentThread());
  EXPECT_EQ(lock.ModalDepthOfCurrentThread(), 0);
}

// A driver whose answer comes from another thread that first takes the
// runtime lock: it can only answer when the asking thread gave it up.
class LockTakingDriver final : public DisplayDriver {
 public:
  LockTakingDriver(WindowSystem& system, RuntimeLock& lock) : system_(system), lock_(lock) {}
  ~LockTakingDriver() override {
    if (answerer_.joinable()) answerer_.join();
  }
  void NotificationsPending() override {}
  void OpenDialog(const DialogRequest& request) override {
    seen_ = request;
    answerer_ = std::thread([this, id = request.id] {
      lock_.Acquire();
      DialogAnswer answer;
      answer.button = MessageBoxAnswer::kNo;
      system_.AnswerDialog(id, answer);
      lock_.Release();
      system_.EndThread();
    });
  }
  DialogRequest seen_;

 private:
  WindowSystem& system_;
  RuntimeLock& lock_;
  std::thread answerer_;
};

TEST(RuntimeLock, MessageBoxGivesTheLockUpWhileTheDriverAnswers) {
  Watchdog watchdog("message box under the runtime lock");
  WindowSystem system;
  RuntimeLock lock(system);
  LockTakingDriver driver(system, lock);
  system.AttachDriver(&driver);
  MessageBoxRequest request{"Vaultrix", "Delete this entry?", MessageBoxButtons::kYesNo,
                            MessageBoxIcon::kQuestion, 2};
  EXPECT_EQ(system.MessageBox(kNoWindow, request), MessageBoxAnswer::kNo);
  EXPECT_TRUE(lock.HeldByCurrentThread());
  EXPECT_EQ(driver.seen_.message_box.text, "Delete this entry?");
  EXPECT_EQ(driver.seen_.message_box.default_button, 2);
  EXPECT_TRUE(system.OpenDialogs().empty());
  system.AttachDriver(nullptr);
}

}  // namespace
}  // namespace vaultrix::platform
