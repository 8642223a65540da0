// Many threads on the runtime lock: 20 started threads, each with a window
// and a timer, post numbered messages to the first thread's window and get
// each one answered by a posted reply; the simulated clock moves meanwhile.
// Nothing may be lost, doubled or reordered, nothing may hang, and every
// thread ends cleanly with its slot freed.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <vector>

#include "platform/clock.h"
#include "platform/runtime_lock.h"
#include "platform/thread_slots.h"
#include "platform/window_system.h"
#include "tests/platform/watchdog.h"

namespace vaultrix::platform {
namespace {

using testing::Watchdog;

constexpr int kThreads = 20;
constexpr int kPerThread = 500;  // 10,000 messages each way
constexpr std::uint32_t kRequest = kWmUser + 1;
constexpr std::uint32_t kReply = kWmUser + 2;

WindowCreateParams Plain(std::string text) {
  WindowCreateParams params;
  params.class_name = "WINDOW";
  params.text = std::move(text);
  return params;
}

TEST(Stress, TwentyThreadsExchangeTenThousandMessagesUnderTheRuntimeLock) {
  Watchdog watchdog("stress exchange", std::chrono::seconds(100));
  SimulatedClock clock(LocalDateTime{2026, 12, 7, 12, 0, 0, 0});
  ScopedCurrentClock installed(clock);
  WindowSystem system;
  RuntimeLock lock(system);  // this thread is thread 1 and holds it
  ThreadSlots slots;
  const WindowHandle hub = system.CreateWindow(Plain("hub"));
  ASSERT_TRUE(system.SetTimer(hub, 1, 50));

  std::atomic<int> failures{0};
  for (int t = 0; t < kThreads; ++t) {
    const int started = slots.Start(0, [&](int slot) {
      lock.Acquire();
      const WindowHandle mine = system.CreateWindow(Plain("worker " + std::to_string(slot)));
      system.SetTimer(mine, 2, 30);
      for (int i = 0; i < kPerThread; ++i) {
        if (!system.PostMessage(hub, kRequest, mine, i)) ++failures;
      }
      int expected = 0;
      Message m;
      while (expected < kPerThread) {
        lock.Release();
        const bool got = system.GetMessage(m);
        lock.Acquire();
        if (!got) break;
        if (m.message != kReply) continue;
        if (m.lparam != expected) ++failures;
        expected = static_cast<int>(m.lparam) + 1;
      }
      if (expected != kPerThread) ++failures;
      system.EndThread();
      slots.LeaveSlot();
      lock.Release();
    });
    ASSERT_EQ(started, t + 1);
  }

  std::map<WindowHandle, int> next;  // per sender, the number expected next
  int received = 0;
  int hub_timers = 0;
  Message m;
  while (received < kThreads * kPerThread) {
    lock.Release();
    ASSERT_TRUE(system.GetMessage(m));
    lock.Acquire();
    if (m.message == kWmTimer) ++hub_timers;
    if (m.message != kRequest) continue;
    const auto sender = static_cast<WindowHandle>(m.wparam);
    int& expected = next[sender];
    EXPECT_EQ(m.lparam, expected) << "from window " << sender;
    expected = static_cast<int>(m.lparam) + 1;
    ++received;
    system.PostMessage(sender, kReply, 0, m.lparam);
    if (received % 250 == 0) clock.Advance(40);
  }
  // Timers come only when the queue is empty; the flood is over, so the
  // hub's timer must fire now.
  clock.Advance(50);
  while (hub_timers == 0) {
    lock.Release();
    ASSERT_TRUE(system.GetMessage(m));
    lock.Acquire();
    if (m.message == kWmTimer) ++hub_timers;
  }
  EXPECT_EQ(static_cast<int>(next.size()), kThreads);
  for (auto& [sender, count] : next) EXPECT_EQ(count, kPerThread);

  lock.Release();
  slots.WaitForStartedThreads();
  lock.Acquire();
  EXPECT_EQ(failures.load(), 0);
  EXPECT_EQ(slots.InUseCount(), 1);
  EXPECT_EQ(system.TopLevelWindows(), (std::vector<WindowHandle>{hub}));
}

}  // namespace
}  // namespace vaultrix::platform
