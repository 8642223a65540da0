// The user's keyboard and mouse on mirrored widgets, and focus and
// activation changes, reported to the window system: keys as virtual keys
// with the modifier keys kept in step, mouse buttons as button messages in
// the window's client pixels, focus and activation moved there too. The
// events still reach the widgets (an entry keeps typing natively), except
// keys that the window's key table claims (alert keys, accelerators).
#pragma once

#include <QtCore/QObject>
#include <QtCore/QPointF>

#include "platform/window_system.h"

class QKeyEvent;
class QMouseEvent;
class QWidget;

namespace vaultrix::platform::qt {

class WindowMirror;

class InputFilter final : public QObject {
 public:
  InputFilter(WindowSystem& system, WindowMirror& mirror);
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // True when the key is the window's (its key table claims it): the widget
  // does not get it.
  bool Key(QWidget* receiver, QKeyEvent& event);
  [[nodiscard]] bool Claimed(QWidget* receiver, const QKeyEvent& event) const;
  [[nodiscard]] bool HasMenuBar(WindowHandle window) const;
  void Mouse(QWidget* receiver, QMouseEvent& event);
  void KeepModifier(int virtual_key, bool held);
  void FocusIn(QWidget* receiver);
  void Activated(QWidget* receiver);

  WindowSystem& system_;
  WindowMirror& mirror_;
  // The mouse event last reported: Qt hands an event that a widget ignores
  // on to its parent, and one press must not be reported twice.
  struct MouseStamp {
    int type = 0;
    unsigned long long timestamp = 0;
    QPointF global;
    friend bool operator==(const MouseStamp&, const MouseStamp&) = default;
  } last_mouse_;
};

}  // namespace vaultrix::platform::qt
