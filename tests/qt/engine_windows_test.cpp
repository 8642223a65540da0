// The Qt driver with the event engine: windows opened from compiled
// descriptions appear with the widgets of their controls, placed in dialog
// units of the font really used, and real Qt input reaches the engine (an
// entry's typed text in its variable, a button's and a menu item's command,
// a key the window claims kept from the widget).
#include <QtGui/QAction>
#include <QtGui/QFontInfo>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMainWindow>
#include <QtWidgets/QMenu>
#include <QtWidgets/QMenuBar>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QStatusBar>
#include <QtWidgets/QTabBar>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "platform/resources.h"
#include "platform/window_classes.h"
#include "runtime/windows/display_attributes.h"
#include "runtime/windows/window_open.h"
#include "runtime/windows/window_properties.h"
#include "tests/qt/qt_test_support.h"
#include "tools/rescomp/compiler.h"

namespace vaultrix::platform::qt::testing {
namespace {

constexpr const char* kDescriptions = R"(
module "VAULTRIX$vltrx001"

window "MAIN$APPFRAME"
  title "Vaultrix"
  at 0 0 400 240
  attributes 0x1820
  status-bar -1 89
  menubar
    menu "&File"
      item -1 "&Passwords"
        key 0x250
      separator
      item -10 "E&xit"
        action 0x0F
    menu "&Window"
      action 1
      item -16 "T&ile"
        action 2
  toolbar
    at 0 0 400 19
    button -21 "Passwords"
window "PREVIEW$WINDOW"
  title "Preview"
  at 0 0 200 100
  attributes 0x6820
window "ASK$WINDOW"
  title "Question"
  at 20 20 120 40
  attributes 0x2048
window "FORM$WINDOW"
  title "Form"
  at 10 10 220 120
  attributes 0x3006
  font "MS Sans Serif" 8
  prompt 1 "&Name:"
    at 8 8 40 10
  entry 2
    use string 20
    picture "@s20"
    at 50 8 100 12
  check 3 "&Hidden"
    use long
    at 8 24 80 10
  sheet 7
    at 8 40 200 40
    tab 8 "General"
      string 9 "On the first tab"
        at 12 60 100 10
    tab 10 "More"
      string 11 "On the second tab"
        at 12 60 100 10
  button 4 "OK"
    flags 0x1
    at 50 90 40 14
  button 5 "Cancel"
    at 100 90 40 14
    tip "Leave without saving"
)";

class QtEngineTest : public ::testing::Test {
 protected:
  QtEngineTest() {
    QtDriverOptions options;
    options.sync_clipboard = false;
    driver_ = std::make_unique<QtDriver>(system_, options);
    thread_ = std::make_unique<WindowThread>(system_);
  }
  ~QtEngineTest() override {
    for (auto& window : windows_) {
      if (window->object().handle != kNoWindow) {
        thread_->Run([&] { windows::DestroyWindowObject(engine_, window->object()); });
      }
    }
    thread_.reset();
    driver_.reset();
  }

  windows::WindowResource& Open(windows::WindowKind kind, const std::string& structure,
                                std::initializer_list<void*> uses = {}) {
    std::unique_ptr<windows::WindowResource> window;
    windows::OpenWindowResource(&window, kind, "VAULTRIX$vltrx001", structure, uses);
    thread_->Run([&] {
      windows::WindowOpen(engine_, *window);
      // As the window's first ACCEPT loop shows it.
      (void)system_.ShowWindow(window->object().handle, kSwShow);
      (void)system_.SetActiveWindow(window->object().handle);
    });
    windows_.push_back(std::move(window));
    Settle([&] {
      driver_->Drain();
      QWidget* widget = driver_->WidgetOf(windows_.back()->object().handle);
    return widget != nullptr && widget->isVisible();
    });
    return *windows_.back();
  }
  WindowHandle Control(const windows::WindowResource& window, int number) {
    const windows::ControlObject* control = window.object().FindControl(number);
    EXPECT_NE(control, nullptr) << number;
    return control != nullptr ? control->handle : kNoWindow;
  }
  template <typename T>
  T* Widget(WindowHandle window) {
    driver_->Drain();
    return dynamic_cast<T*>(driver_->ObjectOf(window));
  }
  void Activate(QWidget* top) {
    top->activateWindow();
    Settle([&] { return QApplication::activeWindow() == top; });
  }
  // FORM$WINDOW, active, with the focus in its entry (control 2).
  windows::WindowResource& OpenFormForTyping() {
    std::memset(name_, ' ', sizeof name_);
    windows::WindowResource& form = Open(windows::WindowKind::kPlainWindow, "FORM$WINDOW", {name_});
    Activate(Widget<QWidget>(form.object().handle));
    Widget<QLineEdit>(Control(form, 2))->setFocus();
    return form;
  }

  ProgramDescriptions descriptions_{kDescriptions};
  WindowSystem system_;
  windows::EventEngine engine_{system_};
  std::unique_ptr<QtDriver> driver_;
  std::unique_ptr<WindowThread> thread_;
  std::vector<std::unique_ptr<windows::WindowResource>> windows_;
  char name_[20] = {};
};

TEST_F(QtEngineTest, FormWidgetsShowTheEngineStateInDialogUnitsOfTheFontUsed) {
  Watchdog watchdog("form mirrored");
  char name[20];
  std::memset(name, ' ', sizeof name);
  std::memcpy(name, "Alice", 5);
  std::int32_t hidden = 1;
  windows::WindowResource& form = Open(windows::WindowKind::kPlainWindow, "FORM$WINDOW",
                                       {name, &hidden});
  const WindowHandle window = form.object().handle;
  auto* top = Widget<QWidget>(window);
  ASSERT_NE(top, nullptr);
  // "MS Sans Serif" is not installed: a face with its metrics stands in,
  // and the dialog units are those of the face really used.
  const QString family = QFontInfo(top->font()).family();
  EXPECT_TRUE(family == QStringLiteral("MS Sans Serif") ||
              family == QStringLiteral("Liberation Sans") || family == QStringLiteral("Arimo"))
      << family.toStdString();
  const DialogUnits* units = driver_->Mirror().UnitsOf(window);
  ASSERT_NE(units, nullptr);
  EXPECT_EQ(units->BaseWidth(), DialogUnits(top->font()).BaseWidth());
  EXPECT_EQ(driver_->Mirror().Client(window)->size(), units->ToPixels({0, 0, 220, 120}).size());
  // 0x3006: a dialog frame without boxes.
  EXPECT_FALSE(top->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));

  auto* prompt = Widget<QLabel>(Control(form, 1));
  auto* entry = Widget<QLineEdit>(Control(form, 2));
  auto* check = Widget<QCheckBox>(Control(form, 3));
  auto* ok = Widget<QPushButton>(Control(form, 4));
  auto* cancel = Widget<QPushButton>(Control(form, 5));
  auto* tabs = Widget<QTabBar>(Control(form, 7));
  auto* first_tab = Widget<QLabel>(Control(form, 9));
  auto* second_tab = Widget<QLabel>(Control(form, 11));
  ASSERT_TRUE(prompt && entry && check && ok && cancel && tabs && first_tab && second_tab);
  for (int number : {1, 2, 3, 4, 5}) {
    const std::optional<WindowInfo> info = system_.GetWindowInfo(Control(form, number));
    auto* widget = Widget<QWidget>(Control(form, number));
    EXPECT_EQ(widget->geometry(), units->ToPixels(info->rect)) << number;
    EXPECT_EQ(widget->isEnabled(), info->enabled) << number;
    EXPECT_EQ(widget->isVisible(), info->visible) << number;
  }
  EXPECT_EQ(prompt->text(), QStringLiteral("&Name:"));
  EXPECT_EQ(entry->text().toStdString(), system_.GetText(Control(form, 2)));
  EXPECT_EQ(entry->text().trimmed(), QStringLiteral("Alice"));
  EXPECT_TRUE(ok->isDefault());
  EXPECT_FALSE(cancel->isDefault());
  EXPECT_EQ(cancel->toolTip(), QStringLiteral("Leave without saving"));
  ASSERT_EQ(tabs->count(), 2);
  EXPECT_EQ(tabs->tabText(1), QStringLiteral("More"));
  EXPECT_TRUE(first_tab->isVisible());
  EXPECT_FALSE(second_tab->isVisible());
  tabs->setCurrentIndex(1);
  EXPECT_FALSE(first_tab->isVisible());
  EXPECT_TRUE(second_tab->isVisible());
  EXPECT_EQ(system_.GetWindowInfo(Control(form, 7))->value, 2);

  // The engine disables and hides: the widgets follow.
  thread_->Run([&] {
    (void)system_.EnableWindow(Control(form, 4), false);
    (void)system_.ShowWindow(Control(form, 3), kSwHide);
  });
  Settle([&] { driver_->Drain(); return !ok->isEnabled() && check->isHidden(); });
}

TEST_F(QtEngineTest, TypedTextReachesTheVariableButtonsTheirCommandsAndEnterTheDefault) {
  Watchdog watchdog("typing and pressing");
  char name[20];
  std::memset(name, ' ', sizeof name);
  std::int32_t hidden = 0;
  windows::WindowResource& form = Open(windows::WindowKind::kPlainWindow, "FORM$WINDOW",
                                       {name, &hidden});
  const WindowHandle window = form.object().handle;
  auto* top = Widget<QWidget>(window);
  auto* entry = Widget<QLineEdit>(Control(form, 2));
  auto* check = Widget<QCheckBox>(Control(form, 3));
  Activate(top);
  QTest::mouseClick(entry, Qt::LeftButton);
  Settle([&] { return system_.GetFocus() == Control(form, 2); });
  QTest::keyClick(entry, Qt::Key_A, Qt::ControlModifier);  // over what is shown
  QTest::keyClicks(entry, QStringLiteral("Bob"));
  EXPECT_EQ(system_.GetText(Control(form, 2)), "Bob");
  // Tab goes to the next control in control order; the entry, losing the
  // focus, is accepted into its variable by the engine.
  QTest::keyClick(entry, Qt::Key_Tab);
  Settle([&] { return QApplication::focusWidget() == check; });
  Settle([&] {
    bool stored = false;
    thread_->Run([&] { stored = std::string(name, 3) == "Bob"; });
    return stored;
  });
  // On the box itself: a check box takes clicks on its box and text only.
  QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(6, check->height() / 2));
  Settle([&] { return system_.GetWindowInfo(Control(form, 3))->check == 1; });

  QTest::mouseClick(Widget<QPushButton>(Control(form, 5)), Qt::LeftButton);
  const Message pressed = SettleFor(*thread_, [&](const Message& m) {
    return m.window == window && m.message == kWmCommand && (m.wparam & 0xFFFF) == 5;
  });
  EXPECT_EQ(static_cast<WindowHandle>(pressed.lparam), Control(form, 5));

  // Enter in the entry: the key first, then the default button's command.
  entry->setFocus();
  QTest::keyClick(entry, Qt::Key_Return);
  SettleFor(*thread_, [&](const Message& m) {
    return m.window == window && m.message == kWmCommand && (m.wparam & 0xFFFF) == 4;
  });
  std::vector<std::uint32_t> order;
  for (const Message& m : thread_->Taken()) {
    if ((m.message == kWmKeyDown && m.wparam == static_cast<std::uintptr_t>(kVkReturn)) ||
        (m.message == kWmCommand && (m.wparam & 0xFFFF) == 4)) {
      order.push_back(m.message);
    }
  }
  EXPECT_EQ(order, (std::vector<std::uint32_t>{kWmKeyDown, kWmCommand}));
  // A disabled default button is not pressed.
  thread_->Run([&] { (void)system_.EnableWindow(Control(form, 4), false); });
  Settle([&] { driver_->Drain(); return !Widget<QPushButton>(Control(form, 4))->isEnabled(); });
  QTest::keyClick(entry, Qt::Key_Return);
  QCoreApplication::processEvents();
  std::size_t commands = 0;
  for (const Message& m : thread_->Taken()) {
    commands += m.message == kWmCommand && (m.wparam & 0xFFFF) == 4 ? 1 : 0;
  }
  EXPECT_EQ(commands, 1u);
}

TEST_F(QtEngineTest, AKeyTheWindowClaimsReachesTheEngineButNotTheWidget) {
  Watchdog watchdog("claimed keys");
  char name[20];
  std::memset(name, ' ', sizeof name);
  windows::WindowResource& form = Open(windows::WindowKind::kPlainWindow, "FORM$WINDOW", {name});
  const WindowHandle window = form.object().handle;
  // Q as an alert key, published as the engine's key table would.
  thread_->Run([&] { (void)system_.SetClaimedKeys(window, {'Q', kKeyCtrl | (kVkF1 + 1)}); });
  auto* entry = Widget<QLineEdit>(Control(form, 2));
  Activate(Widget<QWidget>(window));
  entry->setFocus();
  entry->clear();
  QTest::keyClicks(entry, QStringLiteral("aQb"));
  EXPECT_EQ(entry->text(), QStringLiteral("ab"));
  const auto is_q = [](const Message& m) {
    return m.message == kWmKeyDown && m.wparam == static_cast<std::uintptr_t>('Q');
  };
  SettleFor(*thread_, is_q);
  SettleFor(*thread_, [](const Message& m) { return m.message == kWmChar && m.wparam == 'b'; });
  EXPECT_FALSE(Has(*thread_, [](const Message& m) {
    return m.message == kWmChar && (m.wparam == 'Q' || m.wparam == 'q');
  }));
  // With a modifier the code differs: Shift+Q is not claimed.
  QTest::keyClick(entry, 'Q', Qt::ShiftModifier);
  EXPECT_EQ(entry->text(), QStringLiteral("abQ"));
}

TEST_F(QtEngineTest, AlertKeysChangedWhileTheWindowIsOpenAreClaimedAndReleased) {
  Watchdog watchdog("alert keys at run time");
  windows::WindowResource& form = OpenFormForTyping();
  auto alert = [&](int index, int key_code) {
    thread_->Run([&] {
      windows::SetProperty(engine_, &form.object(), 0, windows::kPropAlertKey, index,
                           std::to_string(key_code));
    });
  };
  auto* entry = Widget<QLineEdit>(Control(form, 2));
  entry->clear();
  QTest::keyClicks(entry, QStringLiteral("Q"));
  EXPECT_EQ(entry->text(), QStringLiteral("Q")) << "not yet an alert key";

  alert(2, 'Q');  // the procedure alerts Q
  QTest::keyClicks(entry, QStringLiteral("aQb"));
  EXPECT_EQ(entry->text(), QStringLiteral("Qab"));
  SettleFor(*thread_, [](const Message& m) {
    return m.message == kWmKeyDown && m.wparam == static_cast<std::uintptr_t>('Q');
  });

  alert(2, 0);  // and clears it again
  QTest::keyClicks(entry, QStringLiteral("Q"));
  EXPECT_EQ(entry->text(), QStringLiteral("QabQ"));
}

TEST_F(QtEngineTest, FastKeysReachTheEngineWithTheModifiersOfTheirPress) {
  Watchdog watchdog("fast keys");
  windows::WindowResource& form = OpenFormForTyping();
  auto* entry = Widget<QLineEdit>(Control(form, 2));
  QTest::keyClick(entry, Qt::Key_A, Qt::ShiftModifier);
  QTest::keyClick(entry, Qt::Key_B, Qt::ControlModifier);
  QTest::keyClick(entry, Qt::Key_C);
  QTest::keyClick(entry, Qt::Key_D, Qt::AltModifier);
  QTest::keyClick(entry, Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
  SettleFor(*thread_, [](const Message& m) {
    return m.message == kWmKeyDown && m.wparam == static_cast<std::uintptr_t>('E');
  });
  // Every modifier is up again by the time the engine reads the keys.
  EXPECT_EQ(system_.GetKeyState(kVkShift) & 0x8000, 0);
  EXPECT_EQ(system_.GetKeyState(kVkControl) & 0x8000, 0);
  std::vector<std::int32_t> codes;
  for (const Message& m : thread_->Taken()) {
    const bool key_down = m.message == kWmKeyDown || m.message == kWmSysKeyDown;
    if (!key_down || m.wparam < 'A' || m.wparam > 'E') continue;
    windows::TranslateKeyboard(engine_, 1, m);
    codes.push_back(engine_.Thread(1)->last_key_code & kKeyCodeMask);
  }
  const std::vector<std::int32_t> expected = {kKeyShift | 'A', kKeyCtrl | 'B', 'C',
                                              kKeyAlt | 'D', kKeyCtrl | kKeyShift | 'E'};
  EXPECT_EQ(codes, expected);
}

TEST_F(QtEngineTest, FrameMenusToolbarAndStatusBarComeFromTheDescription) {
  Watchdog watchdog("frame from its description");
  windows::WindowResource& frame = Open(windows::WindowKind::kApplication, "MAIN$APPFRAME");
  const WindowHandle handle = frame.object().handle;
  auto* main = Widget<QMainWindow>(handle);
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(main->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
  // The menu accelerator is the window's: the driver keeps it from widgets.
  EXPECT_TRUE(system_.ClaimsKey(handle, 0x250));
  auto* passwords = Widget<QAction>(Control(frame, -1));
  ASSERT_NE(passwords, nullptr);
  Settle([&] { driver_->Drain(); return passwords->text().endsWith(QStringLiteral("Ctrl+P")); });
  QMenu* file_menu = main->menuBar()->actions()[0]->menu();
  ASSERT_NE(file_menu, nullptr);
  ASSERT_EQ(file_menu->actions().size(), 3);
  EXPECT_TRUE(file_menu->actions()[1]->isSeparator());
  const QList<QLabel*> zones =
      main->statusBar()->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
  ASSERT_EQ(zones.size(), 2);
  EXPECT_EQ(zones[1]->width(), driver_->Mirror().UnitsOf(handle)->ToPixelsX(89));
  EXPECT_EQ(Widget<QPushButton>(Control(frame, -21))->text(), QStringLiteral("Passwords"));

  Activate(main);
  QMenuBar* bar = main->menuBar();
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(bar->actions()[0]).center());
  Settle([&] { return file_menu->isVisible(); });
  QTest::mouseClick(file_menu, Qt::LeftButton, {}, file_menu->actionGeometry(passwords).center());
  SettleFor(*thread_, [&](const Message& m) {
    return m.window == handle && m.message == kWmCommand && (m.wparam & 0xFFFF) == 0xFFFF;
  });
}

TEST_F(QtEngineTest, AWindowTheEngineCountsModalBlocksTheOthers) {
  Watchdog watchdog("modal window");
  windows::WindowResource& form = Open(windows::WindowKind::kPlainWindow, "FORM$WINDOW");
  windows::WindowResource& ask = Open(windows::WindowKind::kPlainWindow, "ASK$WINDOW");
  EXPECT_EQ(engine_.ModalCount(), 1);
  EXPECT_TRUE(system_.GetWindowInfo(ask.object().handle)->display.modal);
  EXPECT_EQ(Widget<QWidget>(ask.object().handle)->windowModality(), Qt::ApplicationModal);
  EXPECT_EQ(Widget<QWidget>(form.object().handle)->windowModality(), Qt::NonModal);
  // 0x40: a dialog frame, and no boxes without the attributes for them.
  const Qt::WindowFlags flags = Widget<QWidget>(ask.object().handle)->windowFlags();
  EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
}

TEST_F(QtEngineTest, AWindowWhoseAttributesSayMaximizedOpensMaximized) {
  Watchdog watchdog("opens maximized");
  windows::WindowResource& preview = Open(windows::WindowKind::kPlainWindow, "PREVIEW$WINDOW");
  const WindowHandle handle = preview.object().handle;
  Settle([&] { driver_->Drain(); return Widget<QWidget>(handle)->isMaximized(); });
  EXPECT_EQ(system_.GetWindowInfo(handle)->show_state, ShowState::kMaximized);
}

TEST_F(QtEngineTest, TheCaptionBoxesBecomeTheEnginesEvents) {
  Watchdog watchdog("caption boxes");
  windows::WindowResource& frame = Open(windows::WindowKind::kApplication, "MAIN$APPFRAME");
  const auto queued = [&](windows::WindowResource& window, int event) {
    bool found = false;
    thread_->Run([&] {
      const windows::EventQueue& events = window.object().events;
      for (std::size_t i = 0; i < events.Size(); ++i) found |= events.At(i).Event() == event;
    });
    return found;
  };
  // The window system's default for the system commands: maximize.
  Widget<QWidget>(frame.object().handle)->showMaximized();
  Settle([&] { return queued(frame, windows::kEventMaximized); });
  EXPECT_EQ(system_.GetWindowInfo(frame.object().handle)->show_state, ShowState::kMaximized);

  windows::WindowResource& form = Open(windows::WindowKind::kPlainWindow, "FORM$WINDOW");
  Widget<QWidget>(form.object().handle)->close();
  Settle([&] { return queued(form, windows::kEventCloseWindow); });
  EXPECT_TRUE(system_.IsWindow(form.object().handle)) << "the loop decides, not the driver";
}

}  // namespace
}  // namespace vaultrix::platform::qt::testing

namespace vaultrix::windows {
namespace {

TEST(DisplayAttributes, StylesAndResourceNamesOfTheStoredWindows) {
  using namespace platform;
  // The frame: resizable, maximize box and system menu, a caption.
  EXPECT_EQ(StyleOfAttributes(0x1820, true, false, false, true),
            kWsCaption | kWsThickFrame | kWsMaximizeBox | kWsSysMenu);
  // The splash window has no frame and no caption.
  EXPECT_EQ(StyleOfAttributes(0x2064, false, false, false, false), 0u);
  // A dialog frame becomes a plain border on an MDI child without boxes, and
  // an icon brings the minimize box.
  EXPECT_EQ(StyleOfAttributes(0x3044, false, false, true, false), kWsBorder | kWsSysMenu);
  EXPECT_EQ(StyleOfAttributes(0x3044, false, false, false, false), kWsDlgFrame | kWsSysMenu);
  EXPECT_EQ(StyleOfAttributes(0x2040, false, false, true, false), kWsBorder);
  EXPECT_EQ(StyleOfAttributes(0x2040, false, true, true, false),
            kWsDlgFrame | kWsMinimizeBox | kWsSysMenu);
  EXPECT_NE(StyleOfAttributes(0x6820, true, false, false, false) & kWsMaximize, 0u);
  EXPECT_EQ(ResourceNameOfFile("ADS.ICO"), "ADS_ICO");
  EXPECT_EQ(ResourceNameOfFile("~key3a.gif"), "KEY3A_GIF");
}

}  // namespace
}  // namespace vaultrix::windows
