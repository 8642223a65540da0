// Message boxes, open/save file dialogs, the printer set-up dialog and popup
// menus that runtime threads wait on, shown as Qt widgets without blocking the driver's
// thread (no nested event loop): the answer goes to the window system when
// the user closes one.
#pragma once

#include <QtCore/QPointer>
#include <QtWidgets/QDialog>
#include <QtWidgets/QMenu>

#include <map>

#include "platform/display_driver.h"
#include "platform/window_system.h"

namespace vaultrix::platform::qt {

class WindowMirror;

class DialogPresenter {
 public:
  DialogPresenter(WindowSystem& system, WindowMirror& mirror, bool qt_file_dialogs);
  // Dialogs still open are answered as cancelled (their default button), so
  // no runtime thread waits for a driver that is gone.
  ~DialogPresenter();
  DialogPresenter(const DialogPresenter&) = delete;
  DialogPresenter& operator=(const DialogPresenter&) = delete;

  void Open(const DialogRequest& request);
  // The dialog was answered (here or elsewhere): its widget goes.
  void Answered(DialogId dialog);
  [[nodiscard]] QDialog* Widget(DialogId dialog) const;

 private:
  QWidget* ParentFor(WindowHandle owner) const;
  void OpenMessageBox(const DialogRequest& request);
  void OpenFileDialog(const DialogRequest& request);
  void OpenPrintSetup(const DialogRequest& request);
  // A QMenu at the mouse pointer; its answer is the chosen item's number.
  void OpenPopup(const DialogRequest& request);
  void Finish(DialogId dialog, const DialogAnswer& answer);
  void FinishPopup(DialogId dialog, const DialogAnswer& answer);

  WindowSystem& system_;
  WindowMirror& mirror_;
  bool qt_file_dialogs_;
  std::map<DialogId, QPointer<QDialog>> open_;
  std::map<DialogId, DialogAnswer> fallback_;  // the answer if the driver goes first
  std::map<DialogId, QPointer<QMenu>> popups_;
};

}  // namespace vaultrix::platform::qt
