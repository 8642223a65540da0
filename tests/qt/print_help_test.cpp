// The printer set-up dialog asked by a runtime thread, and the help document
// handed to the desktop's viewer.
#include <QtCore/QUrl>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDialog>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "tests/qt/qt_test_support.h"

namespace vaultrix::platform::qt::testing {
namespace {

TEST(QtPrintSetup, TheSystemsPrintDialogAnswersTheChoiceOrTheCancel) {
  Watchdog watchdog("print set-up");
  WindowSystem system;
  QtDriverOptions options;
  options.sync_clipboard = false;
  QtDriver driver(system, options);
  std::atomic<int> done{0};
  PrintSetupResult accepted;
  PrintSetupResult cancelled;
  std::thread runtime([&] {
    accepted = system.PrintSetup(kNoWindow);
    ++done;
    cancelled = system.PrintSetup(kNoWindow);
    ++done;
    system.EndThread();
  });
  QDialog* dialog = OpenDialogOf<QDialog>(system, driver);
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->inherits("QPrintDialog"));
  EXPECT_EQ(dialog->windowModality(), Qt::ApplicationModal);
  dialog->accept();
  Settle([&] { return done == 1; });
  EXPECT_TRUE(accepted.accepted);
  // A system printer or, where none is installed, a PDF file.
  EXPECT_TRUE(!accepted.printer.empty() || !accepted.pdf_path.empty());

  dialog = OpenDialogOf<QDialog>(system, driver);
  QTest::keyClick(dialog, Qt::Key_Escape);
  Settle([&] { return done == 2; });
  EXPECT_FALSE(cancelled.accepted);
  runtime.join();
}

TEST(QtHelp, TheHelpDocumentGoesToTheDesktopsViewer) {
  Watchdog watchdog("help");
  WindowSystem system;
  QtDriverOptions options;
  options.sync_clipboard = false;
  QUrl opened;
  options.open_url = [&](const QUrl& url) { opened = url; };
  QtDriver driver(system, options);
  std::thread runtime([&] {
    (void)system.ShowHelp("/usr/share/doc/vaultrix/help.html", "Passwords");
    system.EndThread();
  });
  runtime.join();
  Settle([&] { return !opened.isEmpty(); });
  EXPECT_TRUE(opened.isLocalFile());
  EXPECT_EQ(opened.toLocalFile(), QStringLiteral("/usr/share/doc/vaultrix/help.html"));
}

TEST(QtHelp, WithoutADriverThereIsNoViewer) {
  WindowSystem system;
  EXPECT_FALSE(system.ShowHelp("help.html", ""));
  EXPECT_FALSE(system.PrintSetup(kNoWindow).accepted);
}

}  // namespace
}  // namespace vaultrix::platform::qt::testing
