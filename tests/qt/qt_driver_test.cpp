// The Qt driver on the offscreen platform: windows made through the window
// system by a runtime thread appear as widgets that match the window
// system's state (captions too wide for their place shown smaller), and
// real Qt input comes back as messages in that thread's queue.
#include <QtCore/QDir>
#include <QtGui/QAction>
#include <QtGui/QFontMetrics>
#include <QtGui/QImage>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QTableWidget>
#include <QtWidgets/QMainWindow>
#include <QtWidgets/QMdiArea>
#include <QtWidgets/QMdiSubWindow>
#include <QtWidgets/QMenu>
#include <QtWidgets/QMenuBar>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QStatusBar>
#include <QtWidgets/QToolBar>

#include <gtest/gtest.h>

#include <memory>

#include "platform/drivers/qt/caption_fit.h"
#include "platform/drivers/qt/list_view.h"
#include "platform/window_classes.h"
#include "tests/qt/qt_test_support.h"

namespace vaultrix::platform::qt::testing {
namespace {

class QtDriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    thread_ = std::make_unique<WindowThread>(system_);
    QtDriverOptions options;
    options.sync_clipboard = false;
    options.qt_file_dialogs = true;
    driver_ = std::make_unique<QtDriver>(system_, options);
  }
  void TearDown() override {
    thread_.reset();
    driver_.reset();
  }

  WindowHandle Make(const WindowCreateParams& params,
                    std::function<std::intptr_t(const Message&)> answer = {}) {
    const WindowHandle window = thread_->MakeWindow(params, std::move(answer));
    EXPECT_NE(window, kNoWindow);
    return window;
  }
  WindowHandle MakeControl(const WindowCreateParams& params) {
    WindowHandle window = kNoWindow;
    thread_->Run([&] { window = system_.CreateWindow(params); });
    EXPECT_NE(window, kNoWindow);
    return window;
  }
  void Publish(WindowHandle window, DisplayAttributes display) {
    thread_->Run([&] { (void)system_.SetDisplayAttributes(window, std::move(display)); });
  }
  template <typename T>
  T* Shown(WindowHandle window) {
    Settle([&] {
      driver_->Drain();
      return dynamic_cast<T*>(driver_->ObjectOf(window)) != nullptr;
    });
    return dynamic_cast<T*>(driver_->ObjectOf(window));
  }
  const DialogUnits& Units(WindowHandle window) {
    const DialogUnits* units = driver_->Mirror().UnitsOf(window);
    EXPECT_NE(units, nullptr);
    static const DialogUnits kNone{QFont()};
    return units != nullptr ? *units : kNone;
  }
  void SaveScreenshot(QWidget* widget, const QString& name) {
    QDir().mkpath(QStringLiteral(VAULTRIX_SCREENSHOT_DIR));
    const QString path = QStringLiteral(VAULTRIX_SCREENSHOT_DIR "/") + name + QStringLiteral(".png");
    ASSERT_TRUE(widget->grab().save(path, "PNG")) << path.toStdString();
    const QImage saved(path);
    EXPECT_EQ(saved.size(), widget->size());
  }

  WindowSystem system_;
  std::unique_ptr<WindowThread> thread_;
  std::unique_ptr<QtDriver> driver_;
};

// Entries of a /proc/self folder: the process's threads or open handles.
std::size_t CountEntries(const char* folder) {
  return static_cast<std::size_t>(
      QDir(QString::fromLatin1(folder)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size());
}

bool IsCommand(const Message& m, WindowHandle window, int id) {
  return m.window == window && m.message == kWmCommand &&
         (m.wparam & 0xFFFF) == (static_cast<std::uint32_t>(id) & 0xFFFF);
}

TEST_F(QtDriverTest, TestWindowWidgetsMatchTheWindowSystemAndFollowItsChanges) {
  Watchdog watchdog("test window mirrored");
  const WindowHandle window =
      Make(Window(WindowKind::kPlain, "WINDOW", "Vaultrix test", {10, 10, 200, 100}, kDialogStyle));
  const WindowHandle prompt = MakeControl(Control("PROMPT", "Name:", {4, 4, 40, 10}, window, 1));
  const WindowHandle entry = MakeControl(Control("ENTRY", "first", {50, 4, 100, 12}, window, 2));
  const WindowHandle ok = MakeControl(Control("BUTTON", "OK", {50, 30, 40, 14}, window, 3));
  WindowCreateParams hidden_params = Control("BUTTON", "Hidden", {100, 30, 40, 14}, window, 4);
  hidden_params.style &= ~kWsVisible;
  const WindowHandle hidden = MakeControl(hidden_params);
  const WindowHandle disabled =
      MakeControl(Control("BUTTON", "Disabled", {150, 30, 40, 14}, window, 5, kWsDisabled));
  const WindowHandle list = MakeControl(Control("LIST", "", {4, 50, 100, 40}, window, 6));
  thread_->Run([&] { (void)system_.SetRows(list, {"alpha", "beta"}); });

  auto* top = Shown<QWidget>(window);
  auto* label = Shown<QLabel>(prompt);
  auto* edit = Shown<QLineEdit>(entry);
  auto* button = Shown<QPushButton>(ok);
  auto* hidden_button = Shown<QPushButton>(hidden);
  auto* disabled_button = Shown<QPushButton>(disabled);
  QTableWidget* rows = Shown<ListView>(list)->Table();
  Settle([&] { driver_->Drain(); return rows->rowCount() == 2; });

  const DialogUnits& units = Units(window);
  EXPECT_EQ(top->windowTitle(), QStringLiteral("Vaultrix test"));
  EXPECT_TRUE(top->isVisible());
  EXPECT_EQ(driver_->Mirror().Client(window)->size(), units.ToPixels({0, 0, 200, 100}).size());
  EXPECT_EQ(top->pos(), units.ToPixels({10, 10, 0, 0}).topLeft());
  EXPECT_EQ(label->text(), QStringLiteral("Name:"));
  EXPECT_EQ(edit->text(), QStringLiteral("first"));
  EXPECT_EQ(button->text(), QStringLiteral("OK"));
  EXPECT_EQ(button->geometry(), units.ToPixels({50, 30, 40, 14}));
  EXPECT_EQ(edit->geometry(), units.ToPixels({50, 4, 100, 12}));
  EXPECT_TRUE(hidden_button->isHidden());
  EXPECT_FALSE(button->isHidden());
  EXPECT_FALSE(disabled_button->isEnabled());
  EXPECT_TRUE(button->isEnabled());
  EXPECT_EQ(rows->item(1, 0)->text(), QStringLiteral("beta"));

  thread_->Run([&] {
    (void)system_.SetText(entry, "second");
    (void)system_.SetText(window, "Renamed");
    (void)system_.ShowWindow(hidden, kSwShow);
    (void)system_.EnableWindow(disabled, true);
    (void)system_.EnableWindow(ok, false);
    (void)system_.MoveWindow(ok, {60, 40, 50, 16});
    (void)system_.SetValue(list, 1);
  });
  Settle([&] {
    driver_->Drain();
    return edit->text() == QStringLiteral("second");
  });
  EXPECT_EQ(top->windowTitle(), QStringLiteral("Renamed"));
  EXPECT_FALSE(hidden_button->isHidden());
  EXPECT_TRUE(disabled_button->isEnabled());
  EXPECT_FALSE(button->isEnabled());
  EXPECT_EQ(button->geometry(), units.ToPixels({60, 40, 50, 16}));
  EXPECT_TRUE(rows->item(1, 0)->isSelected());
  SaveScreenshot(top, QStringLiteral("test_window"));

  // Destroying the window removes its widgets.
  QPointer<QWidget> watched = top;
  thread_->Run([&] { (void)system_.DestroyWindow(window); });
  Settle([&] { driver_->Drain(); return watched.isNull(); });
  EXPECT_EQ(driver_->Mirror().Count(), 0u);
}

// True when the widget's caption, as it shows, fits the room its style
// leaves for it.
bool WholeCaptionShows(const QWidget& widget, const QString& caption) {
  return QFontMetrics(widget.font()).horizontalAdvance(ShownCaption(caption)) <=
         CaptionRoom(widget);
}

TEST_F(QtDriverTest, CaptionsTooWideForTheirControlsShowWholeInASmallerSize) {
  Watchdog watchdog("captions fitted");
  const WindowHandle window =
      Make(Window(WindowKind::kPlain, "WINDOW", "Passwords", {10, 10, 200, 100}, kDialogStyle));
  // As the passwords form places them: 44 by 12 dialog units.
  const WindowHandle paste =
      MakeControl(Control("BUTTON", "Paste Password", {100, 4, 44, 12}, window, 1));
  const WindowHandle ok = MakeControl(Control("BUTTON", "&OK", {150, 4, 40, 12}, window, 2));
  const WindowHandle check = MakeControl(
      Control("CHECK", "Skip Copy/Paste Buttons when tabbing", {4, 20, 130, 10}, window, 3));
  const WindowHandle radio =
      MakeControl(Control("RADIO", "All Characters and Digits", {4, 34, 90, 10}, window, 4));
  const WindowHandle prompt =
      MakeControl(Control("PROMPT", "Confirm Password:", {4, 48, 55, 10}, window, 5));
  const WindowHandle data =
      MakeControl(Control("STRING", "A long value shown as it is", {4, 62, 40, 10}, window, 6));

  auto* paste_button = Shown<QPushButton>(paste);
  auto* ok_button = Shown<QPushButton>(ok);
  auto* check_box = Shown<QCheckBox>(check);
  auto* radio_button = Shown<QRadioButton>(radio);
  auto* prompt_label = Shown<QLabel>(prompt);
  auto* data_label = Shown<QLabel>(data);
  ASSERT_TRUE(paste_button && ok_button && check_box && radio_button && prompt_label &&
              data_label);
  const QWidget* top = driver_->WidgetOf(window);
  const QFont window_font = top->font();
  const DialogUnits& units = Units(window);

  // The stand-in face would cut these off at the window's size.
  EXPECT_GT(QFontMetrics(window_font).horizontalAdvance(QStringLiteral("Paste Password")),
            CaptionRoom(*paste_button));
  EXPECT_TRUE(WholeCaptionShows(*paste_button, QStringLiteral("Paste Password")));
  EXPECT_TRUE(WholeCaptionShows(*check_box, check_box->text()));
  EXPECT_TRUE(WholeCaptionShows(*radio_button, radio_button->text()));
  EXPECT_TRUE(WholeCaptionShows(*prompt_label, prompt_label->text()));
  EXPECT_LT(paste_button->font().pointSizeF(), window_font.pointSizeF());
  EXPECT_EQ(paste_button->geometry(), units.ToPixels({100, 4, 44, 12}))
      << "the place stays the engine's";
  EXPECT_EQ(check_box->geometry(), units.ToPixels({4, 20, 130, 10}));

  // A caption that fits, and a string's data, keep the window's font.
  EXPECT_EQ(ok_button->font(), window_font);
  EXPECT_FALSE(ok_button->testAttribute(Qt::WA_SetFont));
  EXPECT_EQ(data_label->font(), window_font);

  // A shorter caption, or a wider place, gives the window's font back.
  thread_->Run([&] { (void)system_.SetText(paste, "Paste"); });
  Settle([&] { driver_->Drain(); return paste_button->text() == QStringLiteral("Paste"); });
  EXPECT_EQ(paste_button->font(), window_font);
  thread_->Run([&] { (void)system_.SetText(ok, "Generate a New Password Now"); });
  Settle([&] { driver_->Drain(); return ok_button->font() != window_font; });
  thread_->Run([&] { (void)system_.MoveWindow(ok, {4, 76, 190, 12}); });
  Settle([&] { driver_->Drain(); return ok_button->font() == window_font; });
  EXPECT_TRUE(WholeCaptionShows(*ok_button, ok_button->text()));
}

TEST_F(QtDriverTest, TheFramesKeysAreClaimedInMdiChildrenThatShowItsMenuOnly) {
  Watchdog watchdog("frame keys in MDI children");
  const WindowHandle frame =
      Make(Window(WindowKind::kFrame, "FRAME", "Vaultrix", {0, 0, 480, 320}, kFrameStyle));
  const WindowHandle client = MakeControl(Window(WindowKind::kMdiClient, "MDICLIENT", "", {},
                                                 kWsChild | kWsVisible, frame));
  thread_->Run([&] { (void)system_.SetClaimedKeys(frame, {'Q'}); });
  const WindowHandle plain = Make(Window(WindowKind::kMdiChild, "WINDOW", "Without a menu",
                                         {10, 10, 200, 60}, kFrameStyle, client));
  const WindowHandle plain_entry = MakeControl(Control("ENTRY", "", {4, 4, 100, 12}, plain, 1));
  const WindowHandle own = Make(Window(WindowKind::kMdiChild, "WINDOW", "With its own menu",
                                       {30, 80, 200, 60}, kFrameStyle, client));
  const WindowHandle own_bar = MakeControl(Control("MENUBAR", "", {}, own));
  MakeControl(Control("MENU", "&Tools", {}, own_bar));
  const WindowHandle own_entry = MakeControl(Control("ENTRY", "", {4, 4, 100, 12}, own, 1));

  auto* main = Shown<QMainWindow>(frame);
  auto* plain_edit = Shown<QLineEdit>(plain_entry);
  auto* own_edit = Shown<QLineEdit>(own_entry);
  main->activateWindow();
  Settle([&] { return QApplication::activeWindow() == main; });
  for (QLineEdit* edit : {plain_edit, own_edit}) {
    edit->setFocus();
    Settle([&] { return QApplication::focusWidget() == edit; });
    QTest::keyClicks(edit, QStringLiteral("aQ"));
  }
  EXPECT_EQ(plain_edit->text(), QStringLiteral("a")) << "the frame's key, kept from the widget";
  EXPECT_EQ(own_edit->text(), QStringLiteral("aQ")) << "a child with its own menu types it";
}

TEST_F(QtDriverTest, FrameHasMenusToolbarStatusZonesAndMdiChildren) {
  Watchdog watchdog("frame mirrored");
  const WindowHandle frame =
      Make(Window(WindowKind::kFrame, "FRAME", "Vaultrix", {0, 0, 480, 320}, kFrameStyle));
  const WindowHandle client = MakeControl(Window(WindowKind::kMdiClient, "MDICLIENT", "", {},
                                                 kWsChild | kWsVisible, frame));
  const WindowHandle bar = MakeControl(Control("MENUBAR", "", {}, frame));
  const WindowHandle file = MakeControl(Control("MENU", "&File", {}, bar));
  const WindowHandle passwords = MakeControl(Control("ITEM", "&Passwords", {}, file, -1));
  const WindowHandle separator = MakeControl(Control("ITEM", "", {}, file));
  Publish(separator, {.separator = true});
  const WindowHandle setup = MakeControl(Control("ITEM", "Print &Setup ...", {}, file, -7));
  Publish(setup, {.action = 0x10, .accelerator = 0x250});
  const WindowHandle window_menu = MakeControl(Control("MENU", "&Window", {}, bar));
  Publish(window_menu, {.action = kWindowListAction});
  const WindowHandle tile = MakeControl(Control("ITEM", "T&ile", {}, window_menu, -16));
  Publish(tile, {.action = kTileAction});
  const WindowHandle toolbar = MakeControl(Control("TOOLBAR", "", {0, 0, 400, 19}, frame));
  const WindowHandle tool_button =
      MakeControl(Control("BUTTON", "Passwords", {2, 2, 44, 15}, toolbar, -21));
  const WindowHandle status = MakeControl(Control("STATUSBAR", "", {}, frame));
  Publish(status, {.zone_widths = {kStretchZone, 89}});
  thread_->Run([&] { (void)system_.SetRows(status, {"Ready", "07/12/2026"}); });
  const WindowHandle first = Make(Window(WindowKind::kMdiChild, "WINDOW", "Browse Passwords",
                                         {10, 10, 200, 100}, kFrameStyle, client));
  const WindowHandle second = Make(Window(WindowKind::kMdiChild, "WINDOW", "Browse Users",
                                          {30, 30, 150, 80}, kFrameStyle, client));

  auto* main = Shown<QMainWindow>(frame);
  auto* area = Shown<QMdiArea>(client);
  auto* item = Shown<QAction>(passwords);
  auto* setup_item = Shown<QAction>(setup);
  auto* tile_item = Shown<QAction>(tile);
  auto* tool = Shown<QPushButton>(tool_button);
  auto* status_bar = Shown<QStatusBar>(status);
  auto* first_sub = Shown<QMdiSubWindow>(first);
  Shown<QMdiSubWindow>(second);
  Shown<QAction>(separator);

  EXPECT_EQ(main->windowTitle(), QStringLiteral("Vaultrix"));
  EXPECT_TRUE(main->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_EQ(main->centralWidget(), area);
  ASSERT_EQ(main->menuBar()->actions().size(), 2);
  EXPECT_EQ(main->menuBar()->actions()[0]->text(), QStringLiteral("&File"));
  QMenu* file_menu = main->menuBar()->actions()[0]->menu();
  ASSERT_NE(file_menu, nullptr);
  ASSERT_EQ(file_menu->actions().size(), 3);
  EXPECT_TRUE(file_menu->actions()[1]->isSeparator());
  EXPECT_EQ(item->text(), QStringLiteral("&Passwords"));
  EXPECT_EQ(setup_item->text(), QStringLiteral("Print &Setup ...\tCtrl+P"));
  EXPECT_EQ(tool->text(), QStringLiteral("Passwords"));
  const DialogUnits& units = Units(frame);
  EXPECT_EQ(tool->geometry(), units.ToPixels({2, 2, 44, 15}));
  const QList<QLabel*> zones = status_bar->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
  ASSERT_EQ(zones.size(), 2);
  EXPECT_EQ(zones[0]->text(), QStringLiteral("Ready"));
  EXPECT_EQ(zones[1]->text(), QStringLiteral("07/12/2026"));
  EXPECT_EQ(zones[1]->width(), units.ToPixelsX(89));
  EXPECT_GT(zones[0]->width(), zones[1]->width());  // the zone that stretches
  EXPECT_EQ(area->subWindowList().size(), 2);
  EXPECT_EQ(first_sub->windowTitle(), QStringLiteral("Browse Passwords"));
  EXPECT_EQ(first_sub->widget()->size(), Units(first).ToPixels({0, 0, 200, 100}).size());
  EXPECT_EQ(first_sub->pos(), Units(first).ToPixels({10, 10, 0, 0}).topLeft());
  SaveScreenshot(main, QStringLiteral("frame"));

  // Activating a child in Qt activates it in the window system, and back.
  area->setActiveSubWindow(first_sub);
  Settle([&] { return system_.MdiGetActive(client) == first; });
  thread_->Run([&] { (void)system_.MdiActivate(second); });
  Settle([&] {
    driver_->Drain();
    return area->activeSubWindow() == qobject_cast<QMdiSubWindow*>(driver_->WidgetOf(second));
  });

  // A menu choice with the mouse: open "&File", click "&Passwords".
  main->activateWindow();
  QMenuBar* menu_bar = main->menuBar();
  QTest::mouseClick(menu_bar, Qt::LeftButton, {},
                    menu_bar->actionGeometry(menu_bar->actions()[0]).center());
  Settle([&] { return file_menu->isVisible(); });
  QTest::mouseClick(file_menu, Qt::LeftButton, {}, file_menu->actionGeometry(item).center());
  const Message chosen = SettleFor(*thread_, [&](const Message& m) { return IsCommand(m, frame, -1); });
  EXPECT_EQ(static_cast<WindowHandle>(chosen.lparam), passwords);

  // A toolbar button posts its command to the frame.
  QTest::mouseClick(tool, Qt::LeftButton);
  SettleFor(*thread_, [&](const Message& m) { return IsCommand(m, frame, -21); });

  // The Window menu lists the children; Tile arranges them and the new
  // places reach the window system.
  QMenu* windows = qobject_cast<QMenu*>(tile_item->parent());
  ASSERT_NE(windows, nullptr);
  windows->popup(QPoint(0, 0));
  Settle([&] { return windows->isVisible(); });
  QStringList texts;
  for (QAction* action : windows->actions()) texts << action->text();
  EXPECT_TRUE(texts.contains(QStringLiteral("&1 Browse Passwords"))) << texts.join(',').toStdString();
  EXPECT_TRUE(texts.contains(QStringLiteral("&2 Browse Users")));
  const Rect before = system_.GetWindowInfo(first)->rect;
  QTest::mouseClick(windows, Qt::LeftButton, {}, windows->actionGeometry(tile_item).center());
  Settle([&] {
    std::optional<WindowInfo> info = system_.GetWindowInfo(first);
    return info && !(info->rect == before);
  });
  const Rect tiled = system_.GetWindowInfo(first)->rect;
  EXPECT_EQ(tiled.x, Units(first).ToUnitsX(first_sub->x()));
  EXPECT_EQ(tiled.width, Units(first).ToUnitsX(first_sub->widget()->width()));
  EXPECT_FALSE(Has(*thread_, [&](const Message& m) { return IsCommand(m, frame, -16); }));
  SettleFor(*thread_, [&](const Message& m) { return m.window == first && m.message == kWmMove; });
}

TEST_F(QtDriverTest, TypingAndClickingArriveAsMessagesOfTheOwningThread) {
  Watchdog watchdog("keys and mouse");
  const WindowHandle window =
      Make(Window(WindowKind::kPlain, "WINDOW", "Keys", {10, 10, 200, 100}, kDialogStyle));
  const WindowHandle entry = MakeControl(Control("ENTRY", "", {50, 4, 100, 12}, window, 2));
  const WindowHandle ok = MakeControl(Control("BUTTON", "OK", {50, 30, 40, 14}, window, 3));
  auto* top = Shown<QWidget>(window);
  auto* edit = Shown<QLineEdit>(entry);
  auto* button = Shown<QPushButton>(ok);
  top->activateWindow();
  Settle([&] { return QApplication::activeWindow() == top; });

  QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(5, 5));
  Settle([&] { return system_.GetFocus() == entry; });
  const Message down = SettleFor(*thread_, [&](const Message& m) {
    return m.window == entry && m.message == kWmLButtonDown;
  });
  EXPECT_EQ(PointX(down.lparam), 5);
  EXPECT_EQ(PointY(down.lparam), 5);

  // The window system moves the focus away and back: Qt follows.
  thread_->Run([&] { (void)system_.SetFocus(ok); });
  Settle([&] { driver_->Drain(); return QApplication::focusWidget() == button; });
  thread_->Run([&] { (void)system_.SetFocus(entry); });
  Settle([&] { driver_->Drain(); return QApplication::focusWidget() == edit; });

  QTest::keyClick(edit, 'A', Qt::ShiftModifier);
  QTest::keyClicks(edit, QStringLiteral("b"));
  SettleFor(*thread_, [&](const Message& m) {
    return m.window == entry && m.message == kWmChar && m.wparam == 'b';
  });
  EXPECT_EQ(system_.GetText(entry), "Ab");
  std::string typed;
  bool shift_before_a = false;
  bool shift_seen = false;
  for (const Message& m : thread_->Taken()) {
    if (m.window != entry) continue;
    if (m.message == kWmKeyDown && m.wparam == static_cast<std::uintptr_t>(kVkShift)) shift_seen = true;
    if (m.message == kWmKeyDown && m.wparam == 'A') shift_before_a = shift_seen;
    if (m.message == kWmChar) typed.push_back(static_cast<char>(m.wparam));
  }
  EXPECT_EQ(typed, "Ab");
  EXPECT_TRUE(shift_before_a);
  // The edit reports its change to its window.
  SettleFor(*thread_, [&](const Message& m) {
    return m.window == window && m.message == kWmCommand && m.wparam == ((kEnChange << 16) | 2);
  });

  // Ctrl+F2 with the modifier held.
  QTest::keyClick(edit, Qt::Key_F2, Qt::ControlModifier);
  SettleFor(*thread_, [&](const Message& m) {
    return m.window == entry && m.message == kWmKeyDown &&
           m.wparam == static_cast<std::uintptr_t>(kVkF1 + 1);
  });
  EXPECT_TRUE(Has(*thread_, [&](const Message& m) {
    return m.message == kWmKeyDown && m.wparam == static_cast<std::uintptr_t>(kVkControl);
  }));
  // An extended key carries its flag.
  QTest::keyClick(edit, Qt::Key_Home);
  const Message home = SettleFor(*thread_, [&](const Message& m) {
    return m.message == kWmKeyDown && m.wparam == static_cast<std::uintptr_t>(kVkHome);
  });
  EXPECT_NE(home.lparam & 0x01000000, 0);

  // A double click on the button, then the button's command.
  QTest::mouseDClick(button, Qt::LeftButton);
  SettleFor(*thread_, [&](const Message& m) {
    return m.window == ok && m.message == kWmLButtonDblClk;
  });
  QTest::mouseClick(button, Qt::RightButton);
  SettleFor(*thread_, [&](const Message& m) { return m.window == ok && m.message == kWmRButtonUp; });
  QTest::mouseClick(button, Qt::LeftButton);
  const Message clicked = SettleFor(*thread_, [&](const Message& m) { return IsCommand(m, window, 3); });
  EXPECT_EQ(static_cast<WindowHandle>(clicked.lparam), ok);
}

TEST_F(QtDriverTest, CloseAndMaximizeAreAskedOfTheWindowsThreadAndMovesRecorded) {
  Watchdog watchdog("system commands");
  const WindowHandle window = Make(
      Window(WindowKind::kPlain, "WINDOW", "Refuses to close", {10, 10, 120, 60}, kFrameStyle),
      [this](const Message& m) -> std::intptr_t {
        if (m.message == kWmSysCommand && m.wparam == kScMaximize) {
          (void)system_.ShowWindow(m.window, kSwShowMaximized);
        }
        if (m.message == kWmSysCommand) return 0;  // close refused
        return WindowSystem::DefaultWindowProc(system_, m);
      });
  auto* top = Shown<QWidget>(window);
  const auto sent = [&](std::uintptr_t command) {
    for (const Message& m : thread_->Calls()) {
      if (m.message == kWmSysCommand && m.wparam == command) return true;
    }
    return false;
  };
  top->close();
  Settle([&] { return sent(kScClose); });
  QCoreApplication::processEvents();
  EXPECT_TRUE(top->isVisible());
  EXPECT_TRUE(system_.IsWindow(window));

  top->showMaximized();
  Settle([&] {
    driver_->Drain();
    std::optional<WindowInfo> info = system_.GetWindowInfo(window);
    return sent(kScMaximize) && info && info->show_state == ShowState::kMaximized;
  });
  EXPECT_TRUE(top->isMaximized());

  top->showNormal();
  Settle([&] { return sent(kScRestore); });
  // The procedure refused the restore: the widget goes back to maximized.
  Settle([&] { driver_->Drain(); return top->isMaximized(); });

  thread_->Run([&] { (void)system_.ShowWindow(window, kSwRestore); });
  Settle([&] { driver_->Drain(); return !top->isMaximized(); });
  const DialogUnits& units = Units(window);
  top->move(units.ToPixelsX(40), units.ToPixelsY(24));
  Settle([&] {
    std::optional<WindowInfo> info = system_.GetWindowInfo(window);
    return info && info->rect.x == 40 && info->rect.y == 24;
  });
  SettleFor(*thread_, [&](const Message& m) { return m.window == window && m.message == kWmMove; });
}

TEST_F(QtDriverTest, OwnedWindowsStayWithTheirOwnerAndModalOnesBlockTheRest) {
  Watchdog watchdog("owned and modal windows");
  const WindowHandle owner =
      Make(Window(WindowKind::kPlain, "WINDOW", "Owner", {0, 0, 200, 100}, kDialogStyle));
  WindowCreateParams form = Window(WindowKind::kPlain, "WINDOW", "Form", {20, 20, 120, 60},
                                   kDialogStyle);
  form.owner = owner;
  form.ex_style = kWsExDlgModalFrame;
  const WindowHandle modal = Make(form);
  WindowCreateParams splash_params =
      Window(WindowKind::kPlain, "WINDOW", "", {40, 40, 100, 50}, kWsPopup | kWsVisible);
  const WindowHandle splash = Make(splash_params);
  auto* owner_widget = Shown<QWidget>(owner);
  auto* modal_widget = Shown<QWidget>(modal);
  auto* splash_widget = Shown<QWidget>(splash);
  EXPECT_EQ(modal_widget->parentWidget(), owner_widget);
  EXPECT_TRUE(modal_widget->isWindow());
  EXPECT_EQ(modal_widget->windowModality(), Qt::ApplicationModal);
  EXPECT_EQ(owner_widget->windowModality(), Qt::NonModal);
  EXPECT_TRUE(splash_widget->windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_FALSE(modal_widget->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
  // Destroying the owner takes the owned window with it.
  QPointer<QWidget> watched = modal_widget;
  thread_->Run([&] { (void)system_.DestroyWindow(owner); });
  Settle([&] { driver_->Drain(); return watched.isNull(); });
  EXPECT_EQ(driver_->ObjectOf(modal), nullptr);
  EXPECT_NE(driver_->ObjectOf(splash), nullptr);
}

TEST_F(QtDriverTest, AnEndingSessionAsksTheFrameAndTellsItTheOutcome) {
  Watchdog watchdog("session end");
  const WindowHandle frame = Make(
      Window(WindowKind::kFrame, "FRAME", "Vaultrix", {0, 0, 200, 100}, kFrameStyle),
      [this](const Message& m) -> std::intptr_t {
        if (m.message == kWmQueryEndSession) return 0;  // refuses
        return WindowSystem::DefaultWindowProc(system_, m);
      });
  Shown<QMainWindow>(frame);
  driver_->SessionEnding();
  Settle([&] {
    for (const Message& m : thread_->Calls()) {
      if (m.window == frame && m.message == kWmEndSession) return true;
    }
    return false;
  });
  std::vector<std::uint32_t> order;
  for (const Message& m : thread_->Calls()) {
    if (m.message == kWmQueryEndSession || m.message == kWmEndSession) {
      order.push_back(m.message);
      // The frame refused: 22 says the session goes on.
      if (m.message == kWmEndSession) {
        EXPECT_EQ(m.wparam, 0u);
      }
    }
  }
  EXPECT_EQ(order, (std::vector<std::uint32_t>{17, 22}));
}

TEST_F(QtDriverTest, FiftyMdiChildrenOpenedAndClosedLeaveNoWidgetBehind) {
  Watchdog watchdog("fifty MDI children");
  const WindowHandle frame =
      Make(Window(WindowKind::kFrame, "FRAME", "Vaultrix", {0, 0, 400, 300}, kFrameStyle));
  const WindowHandle client = MakeControl(
      Window(WindowKind::kMdiClient, "MDICLIENT", "", {}, kWsChild | kWsVisible, frame));
  auto* area = Shown<QMdiArea>(client);
  const auto open_and_close = [&](int n) {
    const WindowHandle child =
        Make(Window(WindowKind::kMdiChild, "WINDOW", "Child " + std::to_string(n),
                    {n % 40, n % 30, 120, 60}, kFrameStyle, client));
    MakeControl(Control("BUTTON", "OK", {4, 4, 40, 14}, child, 1));
    MakeControl(Control("ENTRY", "text", {4, 20, 60, 12}, child, 2));
    MakeControl(Control("LIST", "", {4, 36, 100, 30}, child, 3, kWsVScroll));
    MakeControl(Control("STATUSBAR", "", {}, child));
    auto* sub = Shown<QMdiSubWindow>(child);
    Settle([&] { return sub->isVisible(); });
    thread_->Run([&] { (void)system_.DestroyWindow(child); });
    Settle([&] { driver_->Drain(); return driver_->ObjectOf(child) == nullptr; });
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  };
  open_and_close(0);  // whatever Qt makes once, on first use, is made now
  const qsizetype widgets_before = QApplication::allWidgets().size();
  const std::size_t mirrored_before = driver_->Mirror().Count();
  const std::size_t threads_before = CountEntries("/proc/self/task");
  const std::size_t handles_before = CountEntries("/proc/self/fd");
  for (int n = 1; n <= 50; ++n) open_and_close(n);
  EXPECT_EQ(QApplication::allWidgets().size(), widgets_before);
  EXPECT_EQ(CountEntries("/proc/self/task"), threads_before);
  EXPECT_EQ(CountEntries("/proc/self/fd"), handles_before);
  EXPECT_EQ(driver_->Mirror().Count(), mirrored_before);
  EXPECT_TRUE(area->subWindowList().isEmpty());
  EXPECT_EQ(system_.Children(client).size(), 0u);
}

}  // namespace
}  // namespace vaultrix::platform::qt::testing
