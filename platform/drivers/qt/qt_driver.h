// The desktop display driver on Qt 6 Widgets. It lives on the process's
// main thread (the thread of the QApplication, which must exist before the
// driver), follows the window system through its notifications and shows
// every window as a widget, and hands the user's input back as messages
// posted to the owning thread's queue. It never takes the runtime lock and
// never waits on a runtime thread: runtime threads only wake it.
//
// Threads: NotificationsPending and OpenDialog are called by runtime
// threads and only queue work for the driver's thread (through the shared
// link, which outlives the driver so that a late wake finds nobody rather
// than freed memory). Everything else runs on the driver's thread.
#pragma once

#include <QtCore/QMetaObject>

#include <cstddef>
#include <functional>
#include <memory>

#include "platform/display_driver.h"
#include "platform/drivers/qt/window_mirror.h"
#include "platform/window_system.h"

class QObject;
class QUrl;
class QWidget;

namespace vaultrix::platform::qt {

class ClipboardSync;
class DialogPresenter;
class InputFilter;
struct DriverLink;

struct QtDriverOptions {
  // The font of each window; unset: the standard dialog font everywhere.
  FontResolver fonts;
  // Follow the desktop's clipboard (off for tests that must not touch a
  // shared one).
  bool sync_clipboard = true;
  // Use Qt's own file dialogs instead of the desktop's.
  bool qt_file_dialogs = false;
  // Opens a help document; unset: the desktop's viewer (QDesktopServices).
  std::function<void(const QUrl&)> open_url;
};

class QtDriver final : public DisplayDriver {
 public:
  // Attaches to the window system; the destructor detaches and removes
  // every widget the driver made.
  explicit QtDriver(WindowSystem& system, QtDriverOptions options = {});
  ~QtDriver() override;
  QtDriver(const QtDriver&) = delete;
  QtDriver& operator=(const QtDriver&) = delete;

  void NotificationsPending() override;
  void OpenDialog(const DialogRequest& request) override;
  // Opens the document with the desktop's viewer (on the driver's thread).
  void OpenHelp(const std::string& document, const std::string& keyword) override;

  // Applies every waiting notification and dialog request now; answers how
  // many notifications there were. The driver's thread calls this itself
  // when woken; tests may call it to settle.
  std::size_t Drain();

  // Routes the platform's message box calls (ShowMessageBox, which runtime
  // errors use) from runtime threads through the window system to this
  // driver, until the driver ends. A call on the driver's own thread, which
  // must not wait for itself, goes to the handler installed before.
  void RouteMessageBoxes();

  // The desktop session is ending (log-off or shut-down): the frame's
  // procedure is asked with message 17 and told the outcome with message
  // 22, without waiting. The desktop's session manager calls this.
  void SessionEnding();

  [[nodiscard]] WindowSystem& System() { return system_; }
  [[nodiscard]] const WindowMirror& Mirror() const { return *mirror_; }
  [[nodiscard]] QWidget* WidgetOf(WindowHandle window) const { return mirror_->Widget(window); }
  [[nodiscard]] QObject* ObjectOf(WindowHandle window) const { return mirror_->Object(window); }
  // The widget showing a dialog that is still open, null when none.
  [[nodiscard]] QWidget* DialogWidget(DialogId dialog) const;

 private:
  void Apply(const Notification& notification);

  WindowSystem& system_;
  QtDriverOptions options_;
  std::shared_ptr<DriverLink> link_;
  std::unique_ptr<WindowMirror> mirror_;
  std::unique_ptr<InputFilter> input_;
  std::unique_ptr<DialogPresenter> dialogs_;
  std::unique_ptr<ClipboardSync> clipboard_;
  QMetaObject::Connection session_connection_;
  bool routing_ = false;
  MessageBoxHandler previous_handler_;
};

}  // namespace vaultrix::platform::qt
