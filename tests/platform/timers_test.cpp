// Timers on the simulated clock: several elapsed periods give one message,
// timers come after posted messages, killing or destroying stops them, and a
// thread waiting in GetMessage wakes when the clock is moved.
#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/window_system.h"
#include "tests/platform/watchdog.h"
#include "tests/platform/window_thread.h"

namespace vaultrix::platform {
namespace {

using testing::Watchdog;
using testing::WindowThread;

class TimersTest : public ::testing::Test {
 protected:
  SimulatedClock clock_{LocalDateTime{2026, 12, 7, 9, 0, 0, 0}};
  ScopedCurrentClock installed_{clock_};
  WindowSystem system_;

  WindowHandle MakeWindow() {
    WindowCreateParams params;
    params.class_name = "WINDOW";
    return system_.CreateWindow(params);
  }
  int TakeTimers(WindowHandle window, std::uintptr_t id) {
    int count = 0;
    Message m;
    while (system_.PeekMessage(m, kPmRemove)) {
      if (m.message == kWmTimer && m.window == window && m.wparam == id) ++count;
    }
    return count;
  }
};

TEST_F(TimersTest, SeveralElapsedPeriodsGiveOneMessage) {
  const WindowHandle window = MakeWindow();
  ASSERT_TRUE(system_.SetTimer(window, 7, 100));
  EXPECT_EQ(TakeTimers(window, 7), 0);
  clock_.Advance(99);
  EXPECT_EQ(TakeTimers(window, 7), 0);
  clock_.Advance(151);  // 250 ms: two and a half periods
  EXPECT_EQ(TakeTimers(window, 7), 1);
  EXPECT_EQ(TakeTimers(window, 7), 0);
  // The next period counts from when the message was taken.
  clock_.Advance(99);
  EXPECT_EQ(TakeTimers(window, 7), 0);
  clock_.Advance(1);
  EXPECT_EQ(TakeTimers(window, 7), 1);
}

TEST_F(TimersTest, TimerMessagesComeAfterPostedMessages) {
  const WindowHandle window = MakeWindow();
  system_.SetTimer(window, 1, 10);
  clock_.Advance(10);
  system_.PostMessage(window, kWmUser);
  Message m;
  ASSERT_TRUE(system_.PeekMessage(m, kPmRemove));
  EXPECT_EQ(m.message, kWmUser);
  ASSERT_TRUE(system_.PeekMessage(m, kPmRemove));
  EXPECT_EQ(m.message, kWmTimer);
}

TEST_F(TimersTest, KilledTimersAndTimersOfDestroyedWindowsStop) {
  const WindowHandle window = MakeWindow();
  const WindowHandle other = MakeWindow();
  system_.SetTimer(window, 1, 10);
  system_.SetTimer(other, 2, 10);
  EXPECT_TRUE(system_.KillTimer(window, 1));
  EXPECT_FALSE(system_.KillTimer(window, 1));
  system_.DestroyWindow(other);
  clock_.Advance(1000);
  Message m;
  EXPECT_FALSE(system_.PeekMessage(m, kPmRemove));
  // Restarting a timer moves its due time.
  system_.SetTimer(window, 3, 10);
  clock_.Advance(5);
  system_.SetTimer(window, 3, 10);
  clock_.Advance(5);
  EXPECT_EQ(TakeTimers(window, 3), 0);
  clock_.Advance(5);
  EXPECT_EQ(TakeTimers(window, 3), 1);
}

TEST_F(TimersTest, WaitingThreadWakesWhenTheClockMoves) {
  Watchdog watchdog("timer wake-up");
  WindowThread other(system_);
  WindowHandle window = kNoWindow;
  other.Run([&] {
    WindowCreateParams params;
    params.class_name = "WINDOW";
    window = system_.CreateWindow(params);
    system_.SetTimer(window, 4, 1000);
  });
  clock_.Advance(1000);
  other.WaitUntil([&](const std::vector<Message>& taken) {
    return !taken.empty() && taken.back().message == kWmTimer;
  });
  clock_.Advance(5000);
  other.WaitUntil([&](const std::vector<Message>& taken) {
    int timers = 0;
    for (const Message& m : taken) timers += m.message == kWmTimer ? 1 : 0;
    return timers == 2;
  });
  EXPECT_EQ(other.Taken().size(), 2u);
}

}  // namespace
}  // namespace vaultrix::platform
