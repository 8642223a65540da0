// Thread slots: the first thread is slot 0, started threads take the lowest
// free slot from 1, a full table refuses, a left slot is free at once, and a
// requested stack size is a lower bound above the runtime's minimum.
#include <gtest/gtest.h>

#include <pthread.h>

#include <condition_variable>
#include <mutex>

#include "platform/thread_slots.h"
#include "tests/platform/watchdog.h"

namespace vaultrix::platform {
namespace {

using testing::Watchdog;

std::size_t OwnStackSize() {
  pthread_attr_t attributes;
  std::size_t size = 0;
  if (pthread_getattr_np(pthread_self(), &attributes) == 0) {
    pthread_attr_getstacksize(&attributes, &size);
    pthread_attr_destroy(&attributes);
  }
  return size;
}

TEST(ThreadSlots, StackSizeIsALowerBound) {
  Watchdog watchdog("stack sizes");
  EXPECT_GE(EffectiveStackSize(0), kMinimumThreadStack);
  EXPECT_GE(EffectiveStackSize(0), EffectiveStackSize(1));
  EXPECT_GE(EffectiveStackSize(64u << 20), 64u << 20);

  ThreadSlots slots;
  EXPECT_EQ(slots.CurrentSlot(), 0);
  std::size_t seen_zero = 0;
  std::size_t seen_big = 0;
  int slot_seen = -1;
  const int zero = slots.Start(0, [&](int slot) {
    seen_zero = OwnStackSize();
    slot_seen = slot;
  });
  slots.WaitForStartedThreads();
  const int big = slots.Start(16u << 20, [&](int) { seen_big = OwnStackSize(); });
  slots.WaitForStartedThreads();
  EXPECT_EQ(zero, 1);
  EXPECT_EQ(slot_seen, 1);
  EXPECT_EQ(big, 1);  // the slot was free again
  EXPECT_GE(seen_zero, kMinimumThreadStack);
  EXPECT_GE(seen_zero, EffectiveStackSize(0));
  EXPECT_GE(seen_big, 16u << 20);
}

TEST(ThreadSlots, SixtyThreeStartedThreadsFillTheTable) {
  Watchdog watchdog("full slot table");
  ThreadSlots slots;
  std::mutex mutex;
  std::condition_variable cv;
  bool release[kThreadSlotCount] = {};
  auto body = [&](int slot) {
    std::unique_lock lock(mutex);
    cv.wait(lock, [&] { return release[slot]; });
  };
  for (int i = 1; i < kThreadSlotCount; ++i) ASSERT_EQ(slots.Start(0, body), i);
  EXPECT_EQ(slots.InUseCount(), kThreadSlotCount);
  EXPECT_EQ(slots.Start(0, body), -1);

  // Slot 5 ends: the next thread takes it.
  {
    std::lock_guard lock(mutex);
    release[5] = true;
  }
  cv.notify_all();
  while (slots.InUse(5)) std::this_thread::yield();
  EXPECT_EQ(slots.Start(0, body), 5);

  {
    std::lock_guard lock(mutex);
    for (bool& r : release) r = true;
  }
  cv.notify_all();
  slots.WaitForStartedThreads();
  EXPECT_EQ(slots.InUseCount(), 1);
}

TEST(ThreadSlots, ABodyCanLeaveItsSlotBeforeItEnds) {
  Watchdog watchdog("leaving a slot");
  ThreadSlots slots;
  std::mutex mutex;
  std::condition_variable cv;
  bool left = false;
  bool finish = false;
  ASSERT_EQ(slots.Start(0, [&](int) {
              slots.LeaveSlot();
              std::unique_lock lock(mutex);
              left = true;
              cv.notify_all();
              cv.wait(lock, [&] { return finish; });
            }),
            1);
  {
    std::unique_lock lock(mutex);
    cv.wait(lock, [&] { return left; });
  }
  EXPECT_FALSE(slots.InUse(1));
  EXPECT_EQ(slots.Start(0, [](int) {}), 1);
  {
    std::lock_guard lock(mutex);
    finish = true;
  }
  cv.notify_all();
  slots.WaitForStartedThreads();
}

}  // namespace
}  // namespace vaultrix::platform
