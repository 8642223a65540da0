// The driver: wakes on its own thread, drains the notifications and dialog
// requests, and hands each to the piece that shows it.
#include "platform/drivers/qt/qt_driver.h"
#include "platform/drivers/qt/qt_printer.h"

#include <QtCore/QObject>
#include <QtCore/QUrl>
#include <QtGui/QDesktopServices>
#include <QtGui/QSessionManager>
#include <QtWidgets/QApplication>

#include <thread>

#include "platform/drivers/qt/clipboard_sync.h"
#include "platform/drivers/qt/dialog_presenter.h"
#include "platform/drivers/qt/driver_link.h"
#include "platform/drivers/qt/input_filter.h"
#include "platform/drivers/qt/qt_text_measure.h"

namespace vaultrix::platform::qt {

QtDriver::QtDriver(WindowSystem& system, QtDriverOptions options)
    : system_(system), options_(std::move(options)), link_(std::make_shared<DriverLink>()) {
  InstallQtPrinter();
  // Report text wraps by the widths of the fonts pages are painted with.
  InstallTextMeasure(MakeQtTextMeasure());
  {
    std::lock_guard lock(link_->mutex);
    link_->receiver = new QObject();
    link_->drain = [this] { Drain(); };
  }
  std::weak_ptr<DriverLink> weak = link_;
  mirror_ = std::make_unique<WindowMirror>(system_, options_.fonts,
                                           [weak](std::function<void()> task) {
                                             if (auto link = weak.lock()) link->Post(std::move(task));
                                           });
  input_ = std::make_unique<InputFilter>(system_, *mirror_);
  dialogs_ = std::make_unique<DialogPresenter>(system_, *mirror_, options_.qt_file_dialogs);
  if (options_.sync_clipboard) clipboard_ = std::make_unique<ClipboardSync>(system_);
  qApp->installEventFilter(input_.get());
  session_connection_ = QObject::connect(qApp, &QGuiApplication::commitDataRequest,
                                         [this](QSessionManager&) { SessionEnding(); });
  system_.AttachDriver(this);
  // Windows that were made before the driver came are shown too.
  for (WindowHandle top : system_.TopLevelWindows()) {
    std::vector<WindowHandle> pending{top};
    while (!pending.empty()) {
      const WindowHandle window = pending.back();
      pending.pop_back();
      mirror_->Created(window);
      std::vector<WindowHandle> children = system_.Children(window);
      pending.insert(pending.end(), children.rbegin(), children.rend());
    }
  }
}

QtDriver::~QtDriver() {
  QObject::disconnect(session_connection_);
  if (routing_) SetMessageBoxHandler(std::move(previous_handler_));
  system_.AttachDriver(nullptr);
  InstallTextMeasure(nullptr);
  link_->Cut();
  qApp->removeEventFilter(input_.get());
  clipboard_.reset();
  dialogs_.reset();
  input_.reset();
  mirror_.reset();
}

void QtDriver::NotificationsPending() {
  link_->Wake();
}

void QtDriver::OpenDialog(const DialogRequest& request) {
  {
    std::lock_guard lock(link_->mutex);
    if (link_->receiver == nullptr) return;
    link_->dialogs.push_back(request);
  }
  link_->Wake();
}

void QtDriver::OpenHelp(const std::string& document, const std::string& keyword) {
  (void)keyword;  // the desktop's viewers open a document at its start
  const QUrl url = QUrl::fromLocalFile(QString::fromStdString(document));
  std::function<void(const QUrl&)> open = options_.open_url;
  link_->Post([url, open] {
    if (open) {
      open(url);
    } else {
      QDesktopServices::openUrl(url);
    }
  });
}

std::size_t QtDriver::Drain() {
  std::vector<DialogRequest> dialogs;
  {
    std::lock_guard lock(link_->mutex);
    dialogs.swap(link_->dialogs);
  }
  const std::vector<Notification> batch = system_.TakeNotifications();
  for (const Notification& notification : batch) Apply(notification);
  for (const DialogRequest& request : dialogs) {
    // A dialog answered before it could be shown needs no widget.
    for (const DialogRequest& open : system_.OpenDialogs()) {
      if (open.id == request.id) {
        dialogs_->Open(request);
        break;
      }
    }
  }
  return batch.size();
}

void QtDriver::Apply(const Notification& notification) {
  const WindowHandle window = notification.window;
  switch (notification.kind) {
    case NotificationKind::kCreated: mirror_->Created(window); break;
    case NotificationKind::kDestroyed: mirror_->Destroyed(window); break;
    case NotificationKind::kText:
    case NotificationKind::kValue:
    case NotificationKind::kRows:
    case NotificationKind::kScroll:
    case NotificationKind::kEnabled:
    case NotificationKind::kVisible:
    case NotificationKind::kRect:
    case NotificationKind::kShowState:
    case NotificationKind::kAttributes: mirror_->Changed(window); break;
    case NotificationKind::kZOrder: mirror_->Raise(window); break;
    case NotificationKind::kFocus: mirror_->Focus(window); break;
    case NotificationKind::kActivation: mirror_->Activation(window); break;
    case NotificationKind::kClipboard:
      if (clipboard_) clipboard_->SystemChanged();
      break;
    case NotificationKind::kDialogOpened: break;  // OpenDialog brings the request
    case NotificationKind::kDialogAnswered: dialogs_->Answered(notification.dialog); break;
  }
}

void QtDriver::RouteMessageBoxes() {
  if (routing_) return;
  routing_ = true;
  const std::thread::id driver_thread = std::this_thread::get_id();
  previous_handler_ = SetMessageBoxHandler(
      [this, driver_thread](const MessageBoxRequest& request) -> MessageBoxAnswer {
        if (std::this_thread::get_id() == driver_thread) {
          return previous_handler_ ? previous_handler_(request) : PrintMessageBox(request);
        }
        return system_.MessageBox(kNoWindow, request);
      });
}

void QtDriver::SessionEnding() {
  WindowHandle frame = kNoWindow;
  for (WindowHandle top : system_.TopLevelWindows()) {
    std::optional<WindowInfo> info = system_.GetWindowInfo(top);
    if (info && info->kind == WindowKind::kFrame) frame = top;
  }
  if (frame == kNoWindow) return;
  // The session manager is not held up: the driver never waits on a
  // runtime thread, so the frame's answer is passed on as message 22 and
  // the procedure saves what it must there.
  WindowSystem& system = system_;
  (void)system_.SendMessageCallback(frame, kWmQueryEndSession, 0, 0,
                                    [&system, frame](std::intptr_t answer) {
                                      (void)system.SendMessageCallback(
                                          frame, kWmEndSession, answer != 0 ? 1 : 0, 0,
                                          [](std::intptr_t) {});
                                    });
}

QWidget* QtDriver::DialogWidget(DialogId dialog) const {
  return dialogs_->Widget(dialog);
}

}  // namespace vaultrix::platform::qt
