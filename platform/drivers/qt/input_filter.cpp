// Keyboard, mouse, focus and activation from Qt to the window system.
#include "platform/drivers/qt/input_filter.h"

#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMdiSubWindow>
#include <QtWidgets/QMenu>
#include <QtWidgets/QMenuBar>
#include <QtWidgets/QWidget>

#include "platform/drivers/qt/key_translation.h"
#include "platform/drivers/qt/list_view.h"
#include "platform/drivers/qt/window_mirror.h"
#include "platform/window_classes.h"

namespace vaultrix::platform::qt {
namespace {

bool IsModifierKey(int vk) {
  return vk == kVkShift || vk == kVkControl || vk == kVkMenu;
}

// The character a key types, as the runtime's 8-bit text holds it; 0 for
// none (or one that 8 bits cannot hold).
char CharacterOf(const QKeyEvent& event) {
  const QString text = event.text();
  if (text.size() != 1) return 0;
  const char16_t unit = text.at(0).unicode();
  if (unit == 0 || unit > 0xFF) return 0;
  return static_cast<char>(static_cast<unsigned char>(unit));
}

}  // namespace

bool InputFilter::HasMenuBar(WindowHandle window) const {
  for (WindowHandle child : system_.Children(window)) {
    std::optional<WindowInfo> info = system_.GetWindowInfo(child);
    if (info && info->class_name == kMenuBarClass) return true;
  }
  return false;
}

InputFilter::InputFilter(WindowSystem& system, WindowMirror& mirror)
    : system_(system), mirror_(mirror) {}

bool InputFilter::eventFilter(QObject* watched, QEvent* event) {
  if (!watched->isWidgetType()) return false;
  auto* widget = static_cast<QWidget*>(watched);
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      return Key(widget, static_cast<QKeyEvent&>(*event));
    case QEvent::ShortcutOverride:
      // A claimed key triggers no shortcut (mnemonics among them): it comes
      // as a key press, which the filter keeps from the widget.
      if (!Claimed(widget, static_cast<QKeyEvent&>(*event))) return false;
      event->accept();
      return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
      Mouse(widget, static_cast<QMouseEvent&>(*event));
      break;
    case QEvent::FocusIn:
      FocusIn(widget);
      break;
    case QEvent::WindowActivate:
      Activated(widget);
      break;
    default:
      break;
  }
  return false;
}

void InputFilter::KeepModifier(int virtual_key, bool held) {
  const bool down = (system_.GetKeyState(virtual_key) & 0x8000) != 0;
  if (down != held) system_.InjectKey(virtual_key, held);
}

bool InputFilter::Claimed(QWidget* receiver, const QKeyEvent& event) const {
  const WindowHandle window = mirror_.WindowOf(receiver);
  if (window == kNoWindow) return false;
  const int vk = VirtualKeyOf(event.key(), event.modifiers().testFlag(Qt::KeypadModifier));
  if (vk == 0 || IsModifierKey(vk)) return false;
  const std::int32_t code = vk | ModifierBits(event.modifiers());
  // The window's own key table, then the frame's for an MDI child that
  // shows the frame's menu (one with a menu of its own has its own keys).
  for (WindowHandle host = mirror_.HostOf(window); host != kNoWindow;) {
    if (system_.ClaimsKey(host, code)) return true;
    std::optional<WindowInfo> info = system_.GetWindowInfo(host);
    if (!info || info->kind != WindowKind::kMdiChild || HasMenuBar(host)) break;
    std::optional<WindowInfo> client = system_.GetWindowInfo(info->parent);
    host = client ? client->parent : kNoWindow;
  }
  return false;
}

bool InputFilter::Key(QWidget* receiver, QKeyEvent& event) {
  // A key goes first to the focus widget (or the window when none has the
  // focus) and then up its parents: report it at the first of these only.
  QWidget* focus = QApplication::focusWidget();
  if (receiver != focus && !(focus == nullptr && receiver->isWindow())) return false;
  // An open menu keeps its keys to itself, as menus do.
  if (qobject_cast<QMenu*>(receiver) != nullptr || qobject_cast<QMenuBar*>(receiver) != nullptr) {
    return false;
  }
  if (mirror_.WindowOf(receiver) == kNoWindow) return false;
  const bool down = event.type() == QEvent::KeyPress;
  const bool claimed = Claimed(receiver, event);
  if (!down && event.isAutoRepeat()) return claimed;  // a held key only repeats its key-down
  const int vk = VirtualKeyOf(event.key(), event.modifiers().testFlag(Qt::KeypadModifier));
  if (vk == 0) return false;
  if (!IsModifierKey(vk)) {
    const Qt::KeyboardModifiers held = event.modifiers();
    KeepModifier(kVkShift, held.testFlag(Qt::ShiftModifier));
    KeepModifier(kVkControl, held.testFlag(Qt::ControlModifier));
    KeepModifier(kVkMenu, held.testFlag(Qt::AltModifier));
  }
  // A claimed key goes to the window system only, without its character.
  system_.InjectKey(vk, down, down && !claimed ? CharacterOf(event) : 0);
  // Enter on anything but a button presses the window's default button,
  // after the key itself (an entry is accepted before the button acts).
  if (down && !claimed && vk == kVkReturn &&
      (event.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
      qobject_cast<QAbstractButton*>(receiver) == nullptr) {
    (void)mirror_.PressDefaultButton(mirror_.HostOf(mirror_.WindowOf(receiver)));
  }
  return claimed;
}

void InputFilter::Mouse(QWidget* receiver, QMouseEvent& event) {
  if (qobject_cast<QMenu*>(receiver) != nullptr || qobject_cast<QMenuBar*>(receiver) != nullptr) {
    return;  // menus report their choices, not their clicks
  }
  const WindowHandle window = mirror_.WindowOf(receiver);
  if (window == kNoWindow) return;
  const MouseStamp stamp{static_cast<int>(event.type()), event.timestamp(),
                         event.globalPosition()};
  if (stamp == last_mouse_) return;
  last_mouse_ = stamp;
  const std::uint32_t message = event.type() == QEvent::MouseButtonRelease
                                    ? ButtonUpMessage(event.button())
                                    : ButtonDownMessage(event.button(),
                                                        event.type() == QEvent::MouseButtonDblClick);
  if (message == 0) return;
  // A list names the row under the pointer; its scroll bar's presses are
  // the bar's own actions.
  std::uintptr_t row = 0;
  if (const ListView* list = ListView::Around(receiver)) {
    if (!list->isEnabled()) return;  // a disabled list takes no clicks
    const std::optional<int> pressed =
        list->PressedRow(receiver, event.globalPosition().toPoint());
    if (!pressed) return;
    row = ListRowParam(*pressed);
  }
  // Client pixels of the window the widget belongs to.
  QWidget* client = mirror_.Client(window);
  if (client == nullptr) client = receiver;
  const QPoint at = client->mapFromGlobal(event.globalPosition().toPoint());
  KeepModifier(kVkShift, event.modifiers().testFlag(Qt::ShiftModifier));
  KeepModifier(kVkControl, event.modifiers().testFlag(Qt::ControlModifier));
  system_.InjectMouse(window, message, at.x(), at.y(), row);
}

void InputFilter::FocusIn(QWidget* receiver) {
  if (mirror_.Applying()) return;
  const WindowHandle window = mirror_.WindowOf(receiver);
  if (window != kNoWindow && system_.GetFocus() != window) (void)system_.SetFocus(window);
}

void InputFilter::Activated(QWidget* receiver) {
  if (mirror_.Applying()) return;
  const WindowHandle window = mirror_.WindowOf(receiver);
  if (window == kNoWindow) return;
  std::optional<WindowInfo> info = system_.GetWindowInfo(window);
  if (!info) return;
  if (info->kind == WindowKind::kMdiChild && qobject_cast<QMdiSubWindow*>(receiver) != nullptr) {
    if (system_.MdiGetActive(info->parent) != window) (void)system_.MdiActivate(window);
  } else if ((info->kind == WindowKind::kFrame || info->kind == WindowKind::kPlain) &&
             receiver->isWindow() && system_.GetActiveWindow() != window) {
    (void)system_.SetActiveWindow(window);
  }
}

}  // namespace vaultrix::platform::qt
