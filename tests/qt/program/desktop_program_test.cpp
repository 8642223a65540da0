// The real program on the desktop driver: the main program runs on its own
// runtime thread over real data files in a scratch directory, the frame and
// the windows it opens appear as Qt widgets that show the engine's state, and
// real Qt mouse and keyboard input chooses from the menus, types into the
// options window and presses its buttons.
#include <QtGui/QGuiApplication>
#include <QtGui/QClipboard>
#include <QtCore/QMimeData>
#include <QtGui/QKeyEvent>
#include <QtWidgets/QTabBar>
#include <QtCore/QDir>
#include <QtCore/QPointer>
#include <QtGui/QAction>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMainWindow>
#include <QtWidgets/QMenu>
#include <QtWidgets/QMenuBar>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/drivers/qt/clipboard_sync.h"
#include "app/frame/frame.h"
#include "app/passwords/browse_passwords.h"
#include "app/dictionary/data_dictionary.h"
#include "app/options/options.h"
#include "app/program/run.h"
#include "app/program/runner.h"
#include "app/program/runtime_startup.h"
#include "app/options/setup.h"
#include "app/passwords/update_passwords.h"
#include "app/services/global_codes.h"
#include "platform/drivers/qt/caption_fit.h"
#include "app/services/open_data_file.h"
#include "platform/printer.h"
#include "runtime/files/file_api.h"
#include "runtime/support/error_state.h"
#include "platform/clock.h"
#include "platform/locations.h"
#include "runtime/files/hvn/driver.h"
#include "runtime/support/profile.h"
#include "runtime/windows/event_codes.h"
#include "runtime/windows/window_build.h"
#include "tests/qt/qt_test_support.h"

namespace vaultrix::app {
namespace {

using platform::WindowHandle;
using platform::qt::QtDriver;
using platform::qt::testing::Settle;
using platform::qt::testing::Watchdog;

void Descendants(const platform::WindowSystem& system, WindowHandle window,
                 std::vector<WindowHandle>& out) {
  for (WindowHandle child : system.Children(window)) {
    out.push_back(child);
    Descendants(system, child, out);
  }
}

class DesktopProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vaultrix-desktop-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    scratch_ = pattern;
    previous_dir_ = std::filesystem::current_path();
    platform::SetSettingsFolderOverride(scratch_ + "/settings");
    const StartupResult started = StartRuntime(scratch_ + "/data");
    ASSERT_TRUE(started.ok) << started.error;
    UseDataDriver(&files::HalverinDriver());
    platform::qt::QtDriverOptions options;
    options.sync_clipboard = false;
    driver_ = std::make_unique<QtDriver>(system_, options);
    driver_->RouteMessageBoxes();
    run_ = std::make_unique<ProgramRun>(system_);
  }

  void TearDown() override {
    if (started_ && !run_->Finished()) {
      run_->Lock().Acquire();
      windows::PostEvent(run_->Engine(), windows::kEventCloseDown, 0, 1);
      run_->Lock().Release();
    }
    if (started_) {
      Settle([&] { return run_->Finished(); });
      run_->Wait();
    }
    run_.reset();
    driver_.reset();
    UseDataDriver(nullptr);
    std::filesystem::current_path(previous_dir_);
    platform::SetSettingsFolderOverride("");
    std::filesystem::remove_all(scratch_);
  }

  // Starts the program and waits until its frame is on the screen.
  QMainWindow* StartAndShowFrame() {
    started_ = true;
    StartProgram(*run_);
    QMainWindow* main = nullptr;
    Settle([&] {
      driver_->Drain();
      frame_ = Frame();
      main = frame_ != platform::kNoWindow
                 ? qobject_cast<QMainWindow*>(driver_->WidgetOf(frame_))
                 : nullptr;
      return main != nullptr && main->isVisible();
    });
    main->activateWindow();
    Settle([&] { return QApplication::activeWindow() == main; });
    return main;
  }

  WindowHandle Frame() const {
    for (WindowHandle window : system_.TopLevelWindows()) {
      const auto info = system_.GetWindowInfo(window);
      if (info && info->kind == platform::WindowKind::kFrame) return window;
    }
    return platform::kNoWindow;
  }
  WindowHandle TopLevel(const std::string& caption) const {
    for (WindowHandle window : system_.TopLevelWindows()) {
      if (system_.GetText(window) == caption) return window;
    }
    return platform::kNoWindow;
  }
  // Waits until a window with that caption is shown as a widget.
  QWidget* AwaitWindow(const std::string& caption) {
    QWidget* widget = nullptr;
    Settle([&] {
      driver_->Drain();
      const WindowHandle window = TopLevel(caption);
      widget = window != platform::kNoWindow ? driver_->WidgetOf(window) : nullptr;
      return widget != nullptr && widget->isVisible();
    });
    return widget;
  }
  template <typename T>
  T* ControlWidget(WindowHandle window, int number) {
    std::vector<WindowHandle> all;
    Descendants(system_, window, all);
    for (WindowHandle handle : all) {
      const auto info = system_.GetWindowInfo(handle);
      if (info && info->kind == platform::WindowKind::kControl && info->control_id == number) {
        driver_->Drain();
        return dynamic_cast<T*>(driver_->ObjectOf(handle));
      }
    }
    return nullptr;
  }

  // Chooses `item` of the menu-bar menu titled `menu` with the mouse.
  void ChooseFromMenu(QMainWindow* main, const QString& menu, const QString& item) {
    QMenuBar* bar = main->menuBar();
    QAction* title = nullptr;
    for (QAction* action : bar->actions()) {
      if (action->text() == menu) title = action;
    }
    ASSERT_NE(title, nullptr) << menu.toStdString();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(title).center());
    QMenu* opened = title->menu();
    Settle([&] { return opened->isVisible(); });
    QAction* chosen = nullptr;
    for (QAction* action : opened->actions()) {
      if (action->text().section(QLatin1Char('\t'), 0, 0) == item) chosen = action;
    }
    ASSERT_NE(chosen, nullptr) << item.toStdString();
    QTest::mouseClick(opened, Qt::LeftButton, {}, opened->actionGeometry(chosen).center());
  }

  std::string Stored(std::string_view key) {
    return support::GetIni(kOptionsSection, key, "(missing)");
  }

  // The program's timers stand still: the splash stays until a menu choice.
  platform::SimulatedClock clock_{platform::LocalDateTime{2026, 12, 7, 8, 0, 0, 0}};
  platform::ScopedCurrentClock installed_{clock_};
  platform::WindowSystem system_;
  std::unique_ptr<QtDriver> driver_;
  std::unique_ptr<ProgramRun> run_;
  WindowHandle frame_ = platform::kNoWindow;
  bool started_ = false;
  std::string scratch_;
  std::filesystem::path previous_dir_;
};

TEST_F(DesktopProgram, TheFramesWidgetsShowTheEnginesMenusToolbarAndStates) {
  Watchdog watchdog("the frame's widgets");
  QMainWindow* main = StartAndShowFrame();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(main->windowTitle(), QStringLiteral("Vaultrix"));

  std::vector<WindowHandle> all;
  Descendants(system_, frame_, all);
  int actions = 0, buttons = 0, hidden_buttons = 0, disabled_items = 0;
  for (WindowHandle handle : all) {
    const auto info = system_.GetWindowInfo(handle);
    ASSERT_TRUE(info.has_value());
    QObject* object = driver_->ObjectOf(handle);
    if (auto* action = qobject_cast<QAction*>(object); action != nullptr && !action->isSeparator()) {
      ++actions;
      const QString shown = action->menu() != nullptr ? action->menu()->title() : action->text();
      EXPECT_EQ(shown.section(QLatin1Char('\t'), 0, 0).toStdString(), info->text);
      EXPECT_EQ(action->isEnabled(), info->enabled) << info->text;
      if (!info->enabled) ++disabled_items;
    } else if (auto* button = qobject_cast<QPushButton*>(object); button != nullptr) {
      ++buttons;
      EXPECT_EQ(button->text().toStdString(), info->text);
      EXPECT_EQ(button->isEnabled(), info->enabled) << info->text;
      EXPECT_EQ(button->isVisibleTo(main), info->visible) << info->text;
      if (!info->visible) ++hidden_buttons;
    }
  }
  // Every item of the four menus, and the toolbar's buttons with the user
  // buttons hidden while the vault has no users.
  EXPECT_GE(actions, 20);
  EXPECT_GE(buttons, 5);
  EXPECT_GE(hidden_buttons, 1);
  EXPECT_EQ(disabled_items, 0) << "every menu item's procedure is part of the program";
  const QList<QAction*> menus = main->menuBar()->actions();
  ASSERT_EQ(menus.size(), 4);
  EXPECT_EQ(menus[0]->text(), QStringLiteral("&File"));
  EXPECT_EQ(menus[3]->text(), QStringLiteral("&Help"));
}

TEST_F(DesktopProgram, OptionsChosenFromTheMenuAreTypedCancelledAndThenKept) {
  Watchdog watchdog("the options window");
  QMainWindow* main = StartAndShowFrame();
  ASSERT_NE(main, nullptr);

  ChooseFromMenu(main, QStringLiteral("&Edit"), QStringLiteral("O&ptions"));
  QWidget* setup = AwaitWindow("Vaultrix Options");
  ASSERT_NE(setup, nullptr);
  const WindowHandle setup_window = TopLevel("Vaultrix Options");
  auto* seconds = ControlWidget<QLineEdit>(setup_window, kSetupClearSeconds);
  ASSERT_NE(seconds, nullptr);
  EXPECT_EQ(seconds->text().trimmed(), QStringLiteral("0"));
  QTest::mouseClick(seconds, Qt::LeftButton);
  seconds->selectAll();
  QTest::keyClicks(seconds, QStringLiteral("45"));
  auto* cancel = ControlWidget<QPushButton>(setup_window, kSetupCancel);
  ASSERT_NE(cancel, nullptr);
  QTest::mouseClick(cancel, Qt::LeftButton);
  Settle([&] { return TopLevel("Vaultrix Options") == platform::kNoWindow; });
  EXPECT_EQ(Stored(kClipboardClearKey), "(missing)") << "Cancel stores nothing";

  // Again, and Enter presses the default button (Ok).
  ChooseFromMenu(main, QStringLiteral("&Edit"), QStringLiteral("O&ptions"));
  setup = AwaitWindow("Vaultrix Options");
  ASSERT_NE(setup, nullptr);
  seconds = ControlWidget<QLineEdit>(TopLevel("Vaultrix Options"), kSetupClearSeconds);
  ASSERT_NE(seconds, nullptr);
  QTest::mouseClick(seconds, Qt::LeftButton);
  seconds->selectAll();
  QTest::keyClicks(seconds, QStringLiteral("45"));
  QTest::keyClick(seconds, Qt::Key_Return);
  Settle([&] { return TopLevel("Vaultrix Options") == platform::kNoWindow; });
  EXPECT_EQ(Stored(kClipboardClearKey), "45");
}

// The about window with the first tip a new data directory starts with; its
// picture is kept for review as about.png.
TEST_F(DesktopProgram, HelpTipsShowsTheFirstShippedTip) {
  Watchdog watchdog("the about window");
  QMainWindow* main = StartAndShowFrame();
  ASSERT_NE(main, nullptr);
  ChooseFromMenu(main, QStringLiteral("&Help"), QStringLiteral("&Tips"));
  QWidget* about = AwaitWindow("About");
  ASSERT_NE(about, nullptr);
  std::vector<WindowHandle> all;
  Descendants(system_, TopLevel("About"), all);
  std::string tip;
  for (WindowHandle handle : all) {
    const auto info = system_.GetWindowInfo(handle);
    if (info && info->kind == platform::WindowKind::kControl && info->control_id == 3) {
      tip = info->text;
    }
  }
  EXPECT_EQ(tip.substr(0, 20), "Welcome to Vaultrix.");
  driver_->Drain();
  QApplication::processEvents();
  const QString path = QStringLiteral(VAULTRIX_SCREENSHOT_DIR "/about.png");
  EXPECT_TRUE(about->grab().save(path, "PNG")) << path.toStdString();
}

TEST_F(DesktopProgram, ExitFromTheFileMenuEndsTheProgramAndTakesEveryWidget) {
  Watchdog watchdog("exit");
  QMainWindow* main = StartAndShowFrame();
  ASSERT_NE(main, nullptr);
  QPointer<QMainWindow> watched(main);
  ChooseFromMenu(main, QStringLiteral("&File"), QStringLiteral("E&xit"));
  Settle([&] {
    driver_->Drain();
    return run_->Finished();
  });
  Settle([&] {
    driver_->Drain();
    return watched.isNull() || !watched->isVisible();
  });
  EXPECT_TRUE(system_.TopLevelWindows().empty());
}


// A report on the desktop: one user's entries previewed as thumbnails and
// zoomed (both saved as screenshots), then printed into a PDF file whose
// text holds the entries.
TEST_F(DesktopProgram, AReportIsPreviewedAndPrintedIntoAPdf) {
  if (std::system("command -v pdftotext >/dev/null 2>&1") != 0) GTEST_SKIP() << "no pdftotext";
  Watchdog watchdog("a report previewed and printed");
  {
    FileUse users(Users());
    U_ = UserRecord{};
    U_.Name = "Ann";
    U_.Password = "Not Required";
    files::Add(Users().Block());
    FileUse passwords(Passwords());
    for (int i = 0; i < 40; ++i) {
      P_ = PasswordRecord{};
      P_.User = "Ann";
      P_.Service = "service " + std::to_string(i);
      P_.Password = "pw-" + std::to_string(i);
      files::Add(Passwords().Block());
      ASSERT_EQ(support::ErrorCode(), 0);
    }
  }
  const std::string pdf = scratch_ + "/report.pdf";
  ASSERT_NE(StartAndShowFrame(), nullptr);
  platform::CurrentPrinter()->Choose("", pdf);
  run_->Lock().Acquire();
  windows::PostEvent(run_->Engine(), windows::kEventAccepted, -4, 1);  // File > Print > by Service
  run_->Lock().Release();
  QWidget* preview = nullptr;
  Settle([&] {
    clock_.Advance(20);
    driver_->Drain();
    const WindowHandle window = TopLevel("Report Preview");
    preview = window != platform::kNoWindow ? driver_->WidgetOf(window) : nullptr;
    return preview != nullptr && preview->isVisible();
  });
  ASSERT_NE(preview, nullptr);
  QMenuBar* bar = preview->findChild<QMenuBar*>();
  ASSERT_NE(bar, nullptr);
  const auto choose = [&](const QString& menu, const QString& item) {
    for (QAction* title : bar->actions()) {
      if (title->text() != menu || title->menu() == nullptr) continue;
      for (QAction* action : title->menu()->actions()) {
        if (action->text().section(QLatin1Char('\t'), 0, 0) == item) action->trigger();
      }
    }
    Settle([&] { driver_->Drain(); return true; });
  };
  preview->resize(800, 600);
  choose(QStringLiteral("&View"), QStringLiteral("&Change Display"));
  QWidget* select = AwaitWindow("Change the Report Display");
  ASSERT_NE(select, nullptr);
  auto* across = ControlWidget<QLineEdit>(TopLevel("Change the Report Display"), 3);
  if (across == nullptr) {
    for (QLineEdit* edit : select->findChildren<QLineEdit*>()) across = across ? across : edit;
  }
  ASSERT_NE(across, nullptr);
  across->selectAll();
  QTest::keyClicks(across, QStringLiteral("3"));
  for (QPushButton* button : select->findChildren<QPushButton*>()) {
    if (button->text() == QStringLiteral("&OK")) QTest::mouseClick(button, Qt::LeftButton);
  }
  Settle([&] {
    driver_->Drain();
    return TopLevel("Change the Report Display") == platform::kNoWindow;
  });
  Settle([&] { driver_->Drain(); return true; });
  // The toolbar's "&Across:" spin shows what the select-display window chose.
  auto* shown_across = ControlWidget<QSpinBox>(TopLevel("Report Preview"), -20);
  ASSERT_NE(shown_across, nullptr);
  for (int i = 0; i < 2000 && shown_across->value() != 3; ++i) {
    driver_->Drain();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  EXPECT_EQ(shown_across->value(), 3);
  QDir().mkpath(QStringLiteral(VAULTRIX_SCREENSHOT_DIR));
  EXPECT_TRUE(preview->grab().save(QStringLiteral(VAULTRIX_SCREENSHOT_DIR "/preview_thumbnails.png")));
  const auto status_shows = [&](const std::string& text) {
    std::vector<WindowHandle> all;
    Descendants(system_, TopLevel("Report Preview"), all);
    for (WindowHandle handle : all) {
      const auto info = system_.GetWindowInfo(handle);
      if (info && info->class_name == "STATUSBAR" &&
          std::find(info->rows.begin(), info->rows.end(), text) != info->rows.end()) {
        return true;
      }
    }
    return false;
  };
  // A click on the second thumbnail zooms to page width on page 2; a click
  // on the zoomed page goes back to the thumbnails.
  const auto click_image = [&](int number) {
    auto* image = ControlWidget<QLabel>(TopLevel("Report Preview"), number);
    ASSERT_NE(image, nullptr) << number;
    Settle([&] { driver_->Drain(); return image->isVisible(); });
    QTest::mouseClick(image, Qt::LeftButton);
  };
  click_image(101);
  Settle([&] {
    driver_->Drain();
    return status_shows("Zoom (Page Width)") && status_shows("Page 2 of 3");
  });
  EXPECT_TRUE(preview->grab().save(QStringLiteral(VAULTRIX_SCREENSHOT_DIR "/preview_zoomed.png")));
  click_image(300);
  Settle([&] {
    driver_->Drain();
    return status_shows("No Zoom");
  });

  choose(QStringLiteral("&File"), QStringLiteral("&Print"));
  Settle([&] {
    driver_->Drain();
    return TopLevel("Report Preview") == platform::kNoWindow && std::filesystem::exists(pdf) &&
           std::filesystem::file_size(pdf) > 0;
  });
  ASSERT_EQ(std::system(("pdftotext '" + pdf + "' '" + pdf + ".txt'").c_str()), 0);
  std::ifstream in(pdf + ".txt");
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (const char* expected : {"Passwords by Service", "service 0", "service 39", "pw-17"}) {
    EXPECT_NE(text.find(expected), std::string::npos) << expected;
  }
}

TEST_F(DesktopProgram, ThePasswordFormShowsThreeTabsWithReadableButtonsAndTakesUtf8) {
  Watchdog watchdog("the password form");
  QMainWindow* main = StartAndShowFrame();
  ASSERT_NE(main, nullptr);
  run_->Lock().Acquire();
  const int thread = Start([] {
    U_.Name = "Ann";
    P_ = PasswordRecord{};
    GlobalRequest = kInsertRecord;
    UpdatePasswords();
  });
  run_->Lock().Release();
  ASSERT_NE(thread, 0);
  QWidget* form = AwaitWindow(kInsertCaption);
  ASSERT_NE(form, nullptr);
  const WindowHandle window = TopLevel(kInsertCaption);

  auto* tabs = ControlWidget<QTabBar>(window, kFormSheet);
  ASSERT_NE(tabs, nullptr);
  ASSERT_EQ(tabs->count(), 3);
  EXPECT_EQ(tabs->tabText(0), QStringLiteral("&General"));
  EXPECT_EQ(tabs->tabText(1), QStringLiteral("&Notes"));
  EXPECT_EQ(tabs->tabText(2), QStringLiteral("&More Notes"));
  int buttons = 0;
  for (QPushButton* button : form->findChildren<QPushButton*>()) {
    if (!button->isVisibleTo(form)) continue;
    ++buttons;
    const QString caption = platform::qt::ShownCaption(button->text());
    EXPECT_LE(QFontMetrics(button->font()).horizontalAdvance(caption), button->width())
        << caption.toStdString();
    EXPECT_GE(button->font().pointSizeF(), platform::qt::kSmallestCaptionPoints)
        << caption.toStdString();
  }
  EXPECT_EQ(buttons, 11) << "four pairs of paste and copy buttons, generate, OK and Cancel";

  std::vector<WindowHandle> all;
  Descendants(system_, window, all);
  const auto handle_of = [&](int control) {
    for (WindowHandle handle : all) {
      const auto info = system_.GetWindowInfo(handle);
      if (info && info->kind == platform::WindowKind::kControl && info->control_id == control) {
        return handle;
      }
    }
    return platform::kNoWindow;
  };
  // Key by key, as a keyboard with these letters types them.
  const auto type_keys = [](QLineEdit* entry, const QString& text, bool over = true) {
    if (over) {
      QTest::mouseClick(entry, Qt::LeftButton);
      entry->selectAll();
    }
    for (QChar c : text) {
      QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
      QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
      QApplication::sendEvent(entry, &press);
      QApplication::sendEvent(entry, &release);
    }
  };
  // Typed on the desktop, the name arrives as UTF-8.
  auto* name = ControlWidget<QLineEdit>(window, kFormName);
  ASSERT_NE(name, nullptr);
  type_keys(name, QString::fromUtf8("Ærøskøbing Müller"));
  Settle([&] {
    driver_->Drain();
    return system_.GetText(handle_of(kFormName)) == "Ærøskøbing Müller";
  });
  // Taken and shown again padded to the field's thirty bytes, the blanks
  // give way to a letter typed in front.
  QTest::keyClick(name, Qt::Key_Tab);
  const std::string padded = "Ærøskøbing Müller" + std::string(9, ' ');
  Settle([&] {
    driver_->Drain();
    return name->text().toStdString() == padded;
  });
  QTest::mouseClick(name, Qt::LeftButton);
  name->setCursorPosition(0);
  type_keys(name, QStringLiteral("x"), false);
  EXPECT_EQ(name->text().toStdString(), "x" + padded.substr(0, 29));
  // Typed until the service's thirty bytes are full: "a" and fourteen "Æ"
  // take 29; the fifteenth would not fit whole, and typing stops there.
  auto* service = ControlWidget<QLineEdit>(window, kFormService);
  ASSERT_NE(service, nullptr);
  type_keys(service, QStringLiteral("a") + QString(20, QChar(0xC6)));
  std::string full = "a";
  for (int i = 0; i < 14; ++i) full += "\xc3\x86";
  EXPECT_EQ(service->text().toStdString(), full);
  Settle([&] {
    driver_->Drain();
    return system_.GetText(handle_of(kFormService)) == full;
  });
  EXPECT_EQ(system_.GetText(handle_of(kFormService)), full);
  std::filesystem::create_directories(VAULTRIX_SCREENSHOT_DIR);
  EXPECT_TRUE(form->grab().save(QStringLiteral(VAULTRIX_SCREENSHOT_DIR "/password_form.png"), "PNG"));
}

TEST_F(DesktopProgram, ThePasswordBrowserSwitchesTabsAndCopiesAPasswordMarkedSecret) {
  Watchdog watchdog("the password browser");
  {
    FileUse users(Users());
    U_ = UserRecord{};
    U_.Name = "Ann";
    U_.Password = "Not Required";
    files::Add(Users().Block());
    FileUse passwords(Passwords());
    for (const auto& [service, url] : {std::pair{"Bank", "z.example"}, {"Mail", "a.example"}}) {
      P_ = PasswordRecord{};
      P_.User = "Ann";
      P_.Service = service;
      P_.URL = url;
      P_.Password = std::string(service) + "-pw";
      files::Add(Passwords().Block());
    }
    ASSERT_EQ(support::ErrorCode(), 0) << support::Error();
  }
  QMainWindow* main = StartAndShowFrame();
  ASSERT_NE(main, nullptr);
  run_->Lock().Acquire();
  windows::PostEvent(run_->Engine(), windows::kEventAccepted, kToolUser1, 1);
  run_->Lock().Release();
  QWidget* browser = AwaitWindow("Passwords - Ann");
  ASSERT_NE(browser, nullptr);
  const WindowHandle window = TopLevel("Passwords - Ann");
  auto first_row = [&] {
    std::vector<WindowHandle> all;
    Descendants(system_, window, all);
    for (WindowHandle handle : all) {
      const auto info = system_.GetWindowInfo(handle);
      if (info && info->control_id == kBrowserList && !info->rows.empty()) {
        return info->rows.front().substr(0, 4);
      }
    }
    return std::string();
  };
  Settle([&] { return first_row() == "Bank"; });

  auto* tabs = ControlWidget<QTabBar>(window, kBrowserSheet);
  ASSERT_NE(tabs, nullptr);
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
  Settle([&] {
    driver_->Drain();
    return first_row() == "Mail";
  });
  EXPECT_EQ(first_row(), "Mail") << "the URL order";

  platform::qt::ClipboardSync clipboard(system_);
  auto* copy = ControlWidget<QPushButton>(window, kBrowserCopyPassword);
  ASSERT_NE(copy, nullptr);
  QTest::mouseClick(copy, Qt::LeftButton);
  Settle([&] {
    driver_->Drain();
    return system_.GetClipboardText().value_or("") == "Mail-pw";
  });
  clipboard.SystemChanged();
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->text(), QStringLiteral("Mail-pw"));
  EXPECT_EQ(data->data(QString::fromLatin1(platform::qt::kPasswordManagerHintType)),
            QByteArrayLiteral("secret"));
  std::filesystem::create_directories(VAULTRIX_SCREENSHOT_DIR);
  EXPECT_TRUE(
      browser->grab().save(QStringLiteral(VAULTRIX_SCREENSHOT_DIR "/password_browser.png"), "PNG"));
}

}  // namespace
}  // namespace vaultrix::app
