// The widgets that show the window system's windows. The mirror makes one
// widget (or menu, or action) per window as the notifications announce
// them, keeps each in step with the window's state, and reports what the
// user does with them: menu choices, button clicks, edits, moves and
// resizes, maximize, minimize and close requests.
//
// Threads: the driver's thread only. Reports go through the window system's
// posting calls, which never wait on a runtime thread.
#pragma once

#include <QtCore/QPointer>
#include <QtCore/QRect>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/drivers/qt/dialog_units.h"
#include "platform/window_system.h"

class QAction;
class QMdiArea;
class QMenu;
class QWidget;

namespace vaultrix::platform::qt {

class HostEventFilter;

// The font a window is shown with; nullopt: the standard dialog font.
using FontResolver = std::function<std::optional<FontSpec>(WindowHandle)>;
// Runs a task on the driver's thread later; callable from any thread.
using Poster = std::function<void(std::function<void()>)>;

class WindowMirror {
 public:
  WindowMirror(WindowSystem& system, FontResolver fonts, Poster post);
  ~WindowMirror();
  WindowMirror(const WindowMirror&) = delete;
  WindowMirror& operator=(const WindowMirror&) = delete;

  void Created(WindowHandle window);
  void Destroyed(WindowHandle window);
  // Re-reads the window's state and shows it.
  void Changed(WindowHandle window);
  void Focus(WindowHandle window);
  void Activation(WindowHandle window);
  void Raise(WindowHandle window);

  // The widget that shows a window: the top-level widget, the MDI child's
  // sub-window, the control; for menus and menu items their menu widget or
  // null. Null for windows not shown.
  [[nodiscard]] QWidget* Widget(WindowHandle window) const;
  // The QObject behind a window (a QAction for menu items).
  [[nodiscard]] QObject* Object(WindowHandle window) const;
  // The widget on which a window's controls sit.
  [[nodiscard]] QWidget* Client(WindowHandle window) const;
  // The window that a widget (or one of its inner widgets) shows; kNoWindow
  // when none.
  [[nodiscard]] WindowHandle WindowOf(const QObject* object) const;
  [[nodiscard]] const DialogUnits* UnitsOf(WindowHandle window) const;
  // The nearest window (not a control) at or above `window`; kNoWindow when
  // the window is not mirrored.
  [[nodiscard]] WindowHandle HostOf(WindowHandle window) const;
  [[nodiscard]] std::size_t Count() const { return entries_.size(); }
  // True while the mirror itself changes widgets: what they report then is
  // the window system's own change coming back.
  [[nodiscard]] bool Applying() const { return applying_ > 0; }

  // Clicks the window's default button when it is there, enabled and
  // shown; answers whether it did. Enter on any other control does this.
  bool PressDefaultButton(WindowHandle window);

  // Reports from the hosts' event filter.
  void UserMovedOrResized(WindowHandle window);
  void UserChangedState(WindowHandle window, ShowState wanted);
  void UserClosing(WindowHandle window);

 private:
  struct Entry;
  friend class HostEventFilter;

  Entry* Find(WindowHandle window);
  const Entry* Find(WindowHandle window) const;
  // The nearest window (not a control) at or above `window`.
  Entry* HostEntry(WindowHandle window);
  void CreateWindowWidget(Entry& entry, const WindowInfo& info);
  void CreateControl(Entry& entry, const WindowInfo& info);
  void CreateMenuPiece(Entry& entry, const WindowInfo& info, Entry& parent);
  void Apply(Entry& entry, const WindowInfo& info);
  void ApplyHostRect(Entry& entry, const Rect& rect);
  void ApplyShowState(Entry& entry, const WindowInfo& info);
  void OpenInStyleState(const WindowInfo& info);
  void ApplyControlState(Entry& entry, const WindowInfo& info);
  QWidget* CreateControlWidget(Entry& entry, const WindowInfo& info, QWidget* on);
  void LinkPromptBefore(const WindowInfo& info, QWidget* widget);
  void ShowControlWidget(Entry& entry, QWidget* widget, const WindowInfo& info);
  void ShowTab(const Entry& entry, const WindowInfo& info);
  void PlaceControl(Entry& entry, QWidget* widget, const Rect& rect);
  void ShowStatusZones(Entry& entry, const WindowInfo& info);
  void ApplyWindowAttributes(Entry& entry, const WindowInfo& info);
  void ApplyMenuPiece(QAction& action, const WindowInfo& info);
  // A control's kWmCommand to the window that holds it, with `code` in the
  // high word of wparam.
  void Report(WindowHandle control, std::uint32_t code);
  void RadioChosen(WindowHandle radio);
  void ShowTabsOf(WindowHandle sheet);
  [[nodiscard]] bool OnHiddenTab(const Entry& entry) const;
  void MenuItemChosen(WindowHandle item);
  void PostCommand(WindowHandle to, std::uintptr_t wparam, WindowHandle from);
  void FillWindowList(QMenu* menu, WindowHandle menu_window);
  QMdiArea* AreaOf(Entry& host);
  void Resync(WindowHandle window);

  WindowSystem& system_;
  FontResolver fonts_;
  Poster post_;
  std::map<WindowHandle, std::unique_ptr<Entry>> entries_;
  std::unique_ptr<HostEventFilter> host_filter_;
  int applying_ = 0;
};

}  // namespace vaultrix::platform::qt
