// Message boxes and file dialogs asked by a runtime thread and answered
// through Qt, and the clipboard kept in step with the desktop's.
#include <QtCore/QMimeData>
#include <QtCore/QTemporaryDir>
#include <QtGui/QClipboard>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QPushButton>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/drivers/qt/clipboard_sync.h"
#include "platform/drivers/qt/file_filters.h"
#include "tests/qt/qt_test_support.h"

namespace vaultrix::platform::qt::testing {
namespace {

QtDriverOptions NoClipboard() {
  QtDriverOptions options;
  options.sync_clipboard = false;
  options.qt_file_dialogs = true;
  return options;
}

TEST(QtDialogs, MessageBoxesShowTheirButtonsIconAndDefaultAndAnswerTheClick) {
  Watchdog watchdog("message boxes");
  WindowSystem system;
  QtDriver driver(system, NoClipboard());
  std::atomic<int> first{0};
  std::atomic<int> second{0};
  std::thread runtime([&] {
    first = static_cast<int>(system.MessageBox(
        kNoWindow, {"Vaultrix", "Save the changes?", MessageBoxButtons::kYesNoCancel,
                    MessageBoxIcon::kQuestion, 2}));
    second = static_cast<int>(system.MessageBox(
        kNoWindow, {"Runtime error", "Window is already open", MessageBoxButtons::kYesNo,
                    MessageBoxIcon::kStop, 1}));
    system.EndThread();
  });

  QMessageBox* box = OpenDialogOf<QMessageBox>(system, driver);
  EXPECT_EQ(box->windowTitle(), QStringLiteral("Vaultrix"));
  EXPECT_EQ(box->text(), QStringLiteral("Save the changes?"));
  EXPECT_EQ(box->icon(), QMessageBox::Question);
  EXPECT_EQ(box->buttons().size(), 3);
  EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
  QTest::mouseClick(box->button(QMessageBox::Cancel), Qt::LeftButton);
  Settle([&] { return first != 0; });
  EXPECT_EQ(first, static_cast<int>(MessageBoxAnswer::kCancel));

  // Escape answers No where the set has no Cancel.
  QMessageBox* error = OpenDialogOf<QMessageBox>(system, driver);
  EXPECT_EQ(error->icon(), QMessageBox::Critical);
  EXPECT_EQ(error->defaultButton(), error->button(QMessageBox::Yes));
  QTest::keyClick(error, Qt::Key_Escape);
  Settle([&] { return second != 0; });
  EXPECT_EQ(second, static_cast<int>(MessageBoxAnswer::kNo));
  runtime.join();
}

TEST(QtDialogs, RuntimeErrorBoxesAreShownByTheDriverWhenRouted) {
  Watchdog watchdog("routed message box");
  WindowSystem system;
  QtDriver driver(system, NoClipboard());
  driver.RouteMessageBoxes();
  std::atomic<int> answer{0};
  std::thread runtime([&] {
    answer = static_cast<int>(ShowMessageBox(
        {"Runtime error", "Window is already open", MessageBoxButtons::kOk, MessageBoxIcon::kStop, 1}));
    system.EndThread();
  });
  QMessageBox* box = OpenDialogOf<QMessageBox>(system, driver);
  EXPECT_EQ(box->windowTitle(), QStringLiteral("Runtime error"));
  QTest::keyClick(box, Qt::Key_Return);
  runtime.join();
  EXPECT_EQ(answer, static_cast<int>(MessageBoxAnswer::kOk));
}

TEST(QtDialogs, ADriverThatGoesAnswersItsOpenDialogs) {
  Watchdog watchdog("driver going with a dialog open");
  WindowSystem system;
  auto driver = std::make_unique<QtDriver>(system, NoClipboard());
  std::atomic<int> answer{0};
  std::thread runtime([&] {
    answer = static_cast<int>(system.MessageBox(
        kNoWindow, {"Vaultrix", "Retry?", MessageBoxButtons::kRetryCancel,
                    MessageBoxIcon::kExclamation, 1}));
    system.EndThread();
  });
  OpenDialogOf<QMessageBox>(system, *driver);
  driver.reset();
  runtime.join();
  EXPECT_EQ(answer, static_cast<int>(MessageBoxAnswer::kCancel));
}

TEST(QtDialogs, SaveDialogTakesTheFiltersAndAddsTheDefaultExtension) {
  Watchdog watchdog("file dialog");
  WindowSystem system;
  QtDriver driver(system, NoClipboard());
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  FileDialogRequest request;
  request.kind = FileDialogKind::kSave;
  request.title = "Export";
  request.filters = ParseFilterString("Export Files|*.CSV|All Files|*.*");
  request.initial_directory = folder.path().toStdString();
  request.default_extension = "CSV";
  FileDialogResult result;
  std::atomic<bool> done{false};
  std::thread runtime([&] {
    result = system.FileDialog(kNoWindow, request);
    done = true;
    system.EndThread();
  });
  QFileDialog* dialog = OpenDialogOf<QFileDialog>(system, driver);
  EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Export"));
  EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
  EXPECT_EQ(dialog->nameFilters(),
            (QStringList{QStringLiteral("Export Files (*.CSV *.csv)"), QStringLiteral("All Files (*)")}));
  EXPECT_EQ(dialog->selectedNameFilter(), QStringLiteral("Export Files (*.CSV *.csv)"));
  // The name typed into the dialog, then Enter.
  auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  ASSERT_NE(name, nullptr);
  name->clear();
  QTest::keyClicks(name, QStringLiteral("passwords"));
  QTest::keyClick(name, Qt::Key_Return);
  Settle([&] { return done.load(); });
  runtime.join();
  EXPECT_TRUE(result.accepted);
  EXPECT_EQ(QString::fromStdString(result.path), folder.filePath(QStringLiteral("passwords.CSV")));
  EXPECT_EQ(result.filter_index, 1);

  // Cancelling answers "not accepted".
  std::thread again([&] {
    result = system.FileDialog(kNoWindow, request);
    system.EndThread();
  });
  OpenDialogOf<QFileDialog>(system, driver)->reject();
  again.join();
  EXPECT_FALSE(result.accepted);
}

TEST(QtClipboard, TextGoesBothWaysAndWhatVaultrixPutsThereIsMarkedSecret) {
  Watchdog watchdog("clipboard");
  QGuiApplication::clipboard()->clear();
  WindowSystem system;
  QtDriver driver(system);
  WindowThread thread(system);
  thread.Run([&] { system.SetClipboardText("pa55word"); });
  QClipboard* clipboard = QGuiApplication::clipboard();
  Settle([&] { return clipboard->text() == QStringLiteral("pa55word"); });
  const QMimeData* data = clipboard->mimeData();
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->data(QString::fromLatin1(kPasswordManagerHintType)), QByteArray("secret"));
  const std::uint32_t sequence = system.ClipboardSequenceNumber();

  // A copy made elsewhere on the desktop reaches the window system once,
  // and is not sent back marked.
  clipboard->setText(QStringLiteral("from the desktop"));
  Settle([&] { return system.GetClipboardText() == std::optional<std::string>("from the desktop"); });
  driver.Drain();
  EXPECT_EQ(system.ClipboardSequenceNumber(), sequence + 1);
  EXPECT_TRUE(clipboard->mimeData()->data(QString::fromLatin1(kPasswordManagerHintType)).isEmpty());

  // Emptied by Vaultrix (the clearing option): emptied on the desktop.
  thread.Run([&] { system.EmptyClipboard(); });
  Settle([&] { return clipboard->text().isEmpty(); });
  EXPECT_FALSE(system.GetClipboardText().has_value());
}

}  // namespace
}  // namespace vaultrix::platform::qt::testing
