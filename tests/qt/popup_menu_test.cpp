// Popup menus asked by a runtime thread, shown as a menu at the pointer:
// separators, disabled and checked items as asked, the chosen item's number
// (separators not counted) or 0 when the menu is dismissed.
#include <QtTest/QTest>
#include <QtWidgets/QMenu>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "tests/qt/qt_test_support.h"

namespace vaultrix::platform::qt::testing {
namespace {

TEST(QtPopup, ItemsShowAsAskedAndTheChoiceOrDismissalIsAnswered) {
  Watchdog watchdog("popup menu");
  WindowSystem system;
  QtDriverOptions options;
  options.sync_clipboard = false;
  QtDriver driver(system, options);
  PopupRequest request;
  request.items = {{"&Insert"},
                   {"&Change", false, true},
                   {"", true},
                   {"100%", false, false, true},
                   {"Copy &Name"}};
  std::atomic<int> chosen{-1};
  std::atomic<int> dismissed{-1};
  std::thread runtime([&] {
    chosen = system.PopupMenu(kNoWindow, request);
    dismissed = system.PopupMenu(kNoWindow, request);
    system.EndThread();
  });

  QMenu* menu = OpenDialogOf<QMenu>(system, driver);
  const QList<QAction*> actions = menu->actions();
  ASSERT_EQ(actions.size(), 5);
  EXPECT_EQ(actions[0]->text(), QStringLiteral("&Insert"));
  EXPECT_FALSE(actions[1]->isEnabled());
  EXPECT_TRUE(actions[2]->isSeparator());
  EXPECT_TRUE(actions[3]->isChecked());
  EXPECT_FALSE(actions[0]->isChecked());
  QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(actions[4]).center());
  Settle([&] { return chosen != -1; });
  EXPECT_EQ(chosen, 4) << "the fifth line is the fourth item";

  QMenu* second = OpenDialogOf<QMenu>(system, driver);
  QTest::keyClick(second, Qt::Key_Escape);
  Settle([&] { return dismissed != -1; });
  EXPECT_EQ(dismissed, 0);
  runtime.join();
}

}  // namespace
}  // namespace vaultrix::platform::qt::testing
