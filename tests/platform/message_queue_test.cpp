// Message queues: posted and input messages keep one order, quit comes after
// them, peeking leaves a message, a window's end drops what was queued for
// it, and a thread's posts reach another thread's loop in order.
#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/window_system.h"
#include "tests/platform/watchdog.h"
#include "tests/platform/window_thread.h"

namespace vaultrix::platform {
namespace {

using testing::Watchdog;
using testing::WindowThread;

WindowCreateParams Plain(std::string text = "Window") {
  WindowCreateParams params;
  params.kind = WindowKind::kPlain;
  params.class_name = "WINDOW";
  params.text = std::move(text);
  params.style = kWsVisible | kWsCaption;
  params.rect = {10, 10, 200, 100};
  return params;
}

TEST(MessageQueue, PostedAndInputMessagesKeepOneOrder) {
  WindowSystem system;
  const WindowHandle window = system.CreateWindow(Plain());
  ASSERT_NE(window, kNoWindow);
  ASSERT_TRUE(system.PostMessage(window, kWmUser + 1));
  ASSERT_TRUE(system.InjectInput(window, kWmLButtonDown, 0, MakePointParam(3, 4)));
  ASSERT_TRUE(system.PostMessage(window, kWmUser + 2));
  ASSERT_TRUE(system.PostThreadMessage(system.CurrentThreadId(), kWmUser + 3));
  Message m;
  std::vector<std::uint32_t> order;
  while (system.PeekMessage(m, kPmRemove)) order.push_back(m.message);
  EXPECT_EQ(order, (std::vector<std::uint32_t>{kWmUser + 1, kWmLButtonDown, kWmUser + 2,
                                               kWmUser + 3}));
}

TEST(MessageQueue, QuitComesAfterPostedMessagesAndCarriesItsCode) {
  WindowSystem system;
  const WindowHandle window = system.CreateWindow(Plain());
  system.PostQuitMessage(3);
  system.PostMessage(window, kWmUser, 7);
  Message m;
  ASSERT_TRUE(system.GetMessage(m));
  EXPECT_EQ(m.message, kWmUser);
  EXPECT_EQ(m.wparam, 7u);
  EXPECT_FALSE(system.GetMessage(m));
  EXPECT_EQ(m.message, kWmQuit);
  EXPECT_EQ(m.wparam, 3u);
  EXPECT_FALSE(system.PeekMessage(m, kPmRemove));
}

TEST(MessageQueue, PeekWithoutRemovingLeavesTheMessage) {
  WindowSystem system;
  const WindowHandle window = system.CreateWindow(Plain());
  system.PostMessage(window, kWmUser, 1);
  Message m;
  ASSERT_TRUE(system.PeekMessage(m, kPmNoRemove));
  ASSERT_TRUE(system.PeekMessage(m, kPmNoRemove));
  EXPECT_EQ(system.PendingMessages(system.CurrentThreadId()), 1u);
  ASSERT_TRUE(system.PeekMessage(m, kPmRemove));
  EXPECT_FALSE(system.PeekMessage(m, kPmRemove));
}

TEST(MessageQueue, DestroyedWindowTakesItsQueuedMessagesWithIt) {
  WindowSystem system;
  const WindowHandle doomed = system.CreateWindow(Plain("doomed"));
  const WindowHandle kept = system.CreateWindow(Plain("kept"));
  system.PostMessage(doomed, kWmUser, 1);
  system.PostMessage(kept, kWmUser, 2);
  system.PostMessage(doomed, kWmUser, 3);
  ASSERT_TRUE(system.DestroyWindow(doomed));
  EXPECT_FALSE(system.PostMessage(doomed, kWmUser, 4));
  Message m;
  ASSERT_TRUE(system.PeekMessage(m, kPmRemove));
  EXPECT_EQ(m.window, kept);
  EXPECT_FALSE(system.PeekMessage(m, kPmRemove));
  EXPECT_EQ(system.DispatchMessage(Message{doomed, kWmUser, 0, 0, 0}), 0);
}

TEST(MessageQueue, PostsFromAnotherThreadArriveInOrder) {
  Watchdog watchdog("cross-thread posts");
  WindowSystem system;
  WindowThread receiver(system);
  const WindowHandle window = receiver.MakeWindow(Plain());
  constexpr int kCount = 2000;
  for (int i = 0; i < kCount; ++i) ASSERT_TRUE(system.PostMessage(window, kWmUser, i));
  receiver.WaitUntil([&](const std::vector<Message>& taken) {
    return static_cast<int>(taken.size()) >= kCount;
  });
  std::vector<Message> taken = receiver.Taken();
  ASSERT_EQ(static_cast<int>(taken.size()), kCount);
  for (int i = 0; i < kCount; ++i) EXPECT_EQ(taken[static_cast<std::size_t>(i)].wparam, static_cast<std::uintptr_t>(i));
}

TEST(MessageQueue, IdleOnlyWhenEveryOtherThreadWaitsWithNothingToTake) {
  Watchdog watchdog("waiting for idle");
  SimulatedClock clock(LocalDateTime{2026, 12, 7, 10, 0, 0, 0});
  ScopedCurrentClock installed(clock);
  WindowSystem system;
  WindowThread first(system);
  WindowThread second(system);
  const WindowHandle a = first.MakeWindow(Plain("a"));
  const WindowHandle b = second.MakeWindow(Plain("b"));
  for (int i = 0; i < 300; ++i) {
    system.PostMessage(a, kWmUser, i);
    system.PostMessage(b, kWmUser, i);
  }
  ASSERT_TRUE(system.WaitUntilIdle(std::chrono::seconds(50)));
  // Idle means everything was taken.
  EXPECT_EQ(first.Taken().size(), 300u);
  EXPECT_EQ(second.Taken().size(), 300u);

  // A due timer is work: idle comes only once it was taken.
  second.Run([&] { system.SetTimer(b, 1, 100); });
  clock.Advance(100);
  ASSERT_TRUE(system.WaitUntilIdle(std::chrono::seconds(50)));
  EXPECT_EQ(second.Taken().back().message, kWmTimer);
}

}  // namespace
}  // namespace vaultrix::platform
