// Notifications: every visible change reaches the driver once, a change to
// the same value reaches it not at all, nothing is kept without a driver,
// and the driver is told without the window system waiting on it.
#include <gtest/gtest.h>

#include <atomic>

#include "platform/window_system.h"

namespace vaultrix::platform {
namespace {

class CountingDriver final : public DisplayDriver {
 public:
  void NotificationsPending() override { ++wakes; }
  void OpenDialog(const DialogRequest&) override {}
  std::atomic<int> wakes{0};
};

std::vector<NotificationKind> Kinds(const std::vector<Notification>& batch) {
  std::vector<NotificationKind> kinds;
  for (const Notification& n : batch) kinds.push_back(n.kind);
  return kinds;
}

TEST(Notifications, EachChangeIsReportedOnceAndSameValuesNotAtAll) {
  WindowSystem system;
  WindowCreateParams params;
  params.class_name = "WINDOW";
  const WindowHandle before = system.CreateWindow(params);
  system.SetText(before, "not seen");

  CountingDriver driver;
  system.AttachDriver(&driver);
  EXPECT_TRUE(system.TakeNotifications().empty());
  const WindowHandle window = system.CreateWindow(params);
  system.SetText(window, "Title");
  system.SetText(window, "Title");
  system.SetValue(window, 4);
  system.SetRows(window, {"a"});
  system.SetRows(window, {"a"});
  system.ShowWindow(window, kSwShow);
  system.SetClipboardText("x");
  system.DestroyWindow(window);
  std::vector<Notification> batch = system.TakeNotifications();
  EXPECT_EQ(Kinds(batch),
            (std::vector<NotificationKind>{NotificationKind::kCreated, NotificationKind::kText,
                                           NotificationKind::kValue, NotificationKind::kRows,
                                           NotificationKind::kVisible, NotificationKind::kClipboard,
                                           NotificationKind::kDestroyed}));
  for (const Notification& n : batch) {
    if (n.kind != NotificationKind::kClipboard) {
      EXPECT_EQ(n.window, window);
    }
  }
  EXPECT_GE(driver.wakes.load(), 7);
  EXPECT_TRUE(system.TakeNotifications().empty());
  system.AttachDriver(nullptr);
  system.SetText(before, "after");
  EXPECT_TRUE(system.TakeNotifications().empty());
}

}  // namespace
}  // namespace vaultrix::platform
