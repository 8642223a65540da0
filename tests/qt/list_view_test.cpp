// A list control on the desktop in immediate mode: four columns with their
// headers from the rows the window system holds; keys and scroll-bar actions
// go to the engine as messages and change nothing by themselves; what the
// engine publishes next (rows, selection, thumb) is what the list shows.
#include <QtGui/QWheelEvent>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QStyleOptionSlider>
#include <QtWidgets/QTableWidget>

#include <gtest/gtest.h>

#include <QtCore/QDir>

#include "platform/drivers/qt/list_view.h"
#include "platform/window_classes.h"
#include "tests/qt/qt_test_support.h"

namespace vaultrix::platform::qt::testing {
namespace {

std::vector<std::string> Page(int first) {
  std::vector<std::string> rows;
  for (int n = first; n < first + 5; ++n) {
    const std::string id = std::to_string(n);
    rows.push_back("service" + id + "\thttps://host" + id + ".example\tuser" + id + "\t********");
  }
  return rows;
}

QRect ThumbOf(QScrollBar& bar) {
  QStyleOptionSlider option;
  option.initFrom(&bar);
  option.orientation = bar.orientation();
  option.minimum = bar.minimum();
  option.maximum = bar.maximum();
  option.sliderPosition = bar.sliderPosition();
  option.sliderValue = bar.value();
  option.singleStep = bar.singleStep();
  option.pageStep = bar.pageStep();
  option.subControls = QStyle::SC_All;
  return bar.style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider,
                                     &bar);
}

TEST(QtList, FourColumnsScrolledWithKeysAndTheScrollBarInImmediateMode) {
  Watchdog watchdog("immediate-mode list");
  WindowSystem system;
  QtDriverOptions options;
  options.sync_clipboard = false;
  QtDriver driver(system, options);
  WindowThread thread(system);
  const WindowHandle window = thread.MakeWindow(
      Window(WindowKind::kPlain, "WINDOW", "Passwords", {10, 10, 260, 110}, kDialogStyle));
  WindowHandle list = kNoWindow;
  thread.Run([&] {
    list = system.CreateWindow(Control("LIST", "Service\tURL\tLogin Name\tPassword", {4, 4, 250, 100},
                                       window, 1, kWsVScroll));
    (void)system.SetRows(list, Page(1));
    (void)system.SetScrollRange(list, 0, kListScrollRange);
    (void)system.SetValue(list, 0);
    (void)system.SetScroll(list, 0, 0);
  });
  ListView* view = nullptr;
  Settle([&] {
    driver.Drain();
    view = dynamic_cast<ListView*>(driver.ObjectOf(list));
    return view != nullptr && view->Table()->rowCount() == 5;
  });
  QTableWidget& table = *view->Table();
  QScrollBar& bar = *view->ScrollBar();
  ASSERT_EQ(table.columnCount(), 4);
  EXPECT_EQ(table.horizontalHeaderItem(2)->text(), QStringLiteral("Login Name"));
  EXPECT_EQ(table.item(4, 1)->text(), QStringLiteral("https://host5.example"));
  EXPECT_TRUE(table.item(0, 0)->isSelected());
  EXPECT_TRUE(bar.isVisible());
  EXPECT_EQ(bar.maximum(), kListScrollRange);

  QWidget* top = driver.WidgetOf(window);
  top->activateWindow();
  Settle([&] { return QApplication::activeWindow() == top; });
  // A click on a row goes to the engine as the press itself, naming the row
  // of the page; the selection is the engine's to move.
  QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, table.visualItemRect(table.item(2, 0)).center());
  const Message pressed = SettleFor(thread, [&](const Message& m) {
    return m.window == list && m.message == kWmLButtonDown;
  });
  EXPECT_EQ(ListRowOfParam(pressed.wparam), 2);
  EXPECT_NE(pressed.wparam & kMkLButton, 0u);
  EXPECT_FALSE(Has(thread, [](const Message& m) { return m.message == kWmCommand; }));
  EXPECT_EQ(system.GetWindowInfo(list)->value, 0);
  EXPECT_TRUE(table.item(0, 0)->isSelected()) << "the table does not select by itself";
  Settle([&] { return system.GetFocus() == list; });
  thread.Run([&] { (void)system.SetValue(list, 2); });
  Settle([&] { driver.Drain(); return table.item(2, 0)->isSelected(); });

  // Keys go to the engine; the table itself neither moves nor scrolls.
  QTest::keyClick(&table, Qt::Key_Down);
  QTest::keyClick(&table, Qt::Key_PageDown, Qt::ControlModifier);
  const auto key = [&](int vk) {
    return [&, vk](const Message& m) {
      return m.window == list && m.message == kWmKeyDown && m.wparam == static_cast<std::uintptr_t>(vk);
    };
  };
  SettleFor(thread, key(kVkDown));
  SettleFor(thread, key(kVkNext));
  EXPECT_TRUE(Has(thread, key(kVkControl)));
  driver.Drain();
  EXPECT_TRUE(table.item(2, 0)->isSelected());

  // The scroll bar: a page below the thumb, the lower arrow, the thumb dragged.
  const auto scroll = [&](std::uint32_t action) {
    return SettleFor(thread, [&, action](const Message& m) {
      return m.window == list && m.message == kWmVScroll && (m.wparam & 0xFFFF) == action;
    });
  };
  QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(bar.width() / 2, bar.height() * 3 / 4));
  scroll(kSbPageDown);
  QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(bar.width() / 2, bar.height() - 3));
  scroll(kSbLineDown);
  EXPECT_EQ(bar.value(), 0) << "the engine moves the thumb, not the bar";
  const QPoint grip = ThumbOf(bar).center();
  QTest::mousePress(&bar, Qt::LeftButton, {}, grip);
  QMouseEvent move(QEvent::MouseMove, QPointF(grip + QPoint(0, bar.height() / 3)),
                   bar.mapToGlobal(QPointF(grip + QPoint(0, bar.height() / 3))), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&bar, &move);
  QTest::mouseRelease(&bar, Qt::LeftButton, {}, grip + QPoint(0, bar.height() / 3));
  const Message dropped = scroll(kSbThumbPosition);
  const int percent = static_cast<int>((dropped.wparam >> 16) & 0xFFFF);
  EXPECT_GT(percent, 0);
  EXPECT_LE(percent, kListScrollRange);

  // The engine answers with the page it scrolled to.
  thread.Run([&] {
    (void)system.SetRows(list, Page(41));
    (void)system.SetScroll(list, 40, 0);
    (void)system.SetValue(list, 0);
  });
  Settle([&] { driver.Drain(); return bar.value() == 40; });
  EXPECT_EQ(table.item(0, 0)->text(), QStringLiteral("service41"));
  EXPECT_TRUE(table.item(0, 0)->isSelected());

  QDir().mkpath(QStringLiteral(VAULTRIX_SCREENSHOT_DIR));
  const QString path = QStringLiteral(VAULTRIX_SCREENSHOT_DIR "/list.png");
  EXPECT_TRUE(top->grab().save(path, "PNG"));

  // A wheel notch down asks for three lines, as the bar's arrow would; the
  // table does not scroll by itself.
  const auto line_downs = [&] {
    int count = 0;
    for (const Message& m : thread.Taken()) {
      count += m.window == list && m.message == kWmVScroll && (m.wparam & 0xFFFF) == kSbLineDown;
    }
    return count;
  };
  const int before = line_downs();
  const QPointF inside(table.viewport()->rect().center());
  QWheelEvent wheel(inside, table.viewport()->mapToGlobal(inside), QPoint(), QPoint(0, -120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(table.viewport(), &wheel);
  Settle([&] { return line_downs() == before + 3; });
  EXPECT_EQ(table.item(0, 0)->text(), QStringLiteral("service41"));

  // Everything fits: the engine takes the scroll bar away.
  thread.Run([&] { (void)system.SetScrollRange(list, 0, 0); });
  Settle([&] { driver.Drain(); return !bar.isVisible(); });
  thread.Run([&] { (void)system.DestroyWindow(window); });
  driver.Drain();
}

}  // namespace
}  // namespace vaultrix::platform::qt::testing
