// A close button asks the window's thread (which may refuse) instead of
// closing; moves, resizes and state changes are reported after the fact.
#include "platform/drivers/qt/host_event_filter.h"

#include <QtCore/QEvent>
#include <QtWidgets/QWidget>

#include "platform/drivers/qt/window_mirror.h"

namespace vaultrix::platform::qt {

bool HostEventFilter::eventFilter(QObject* watched, QEvent* event) {
  const WindowHandle window = mirror_.WindowOf(watched);
  if (window == kNoWindow) return false;
  switch (event->type()) {
    case QEvent::Close:
      event->ignore();
      mirror_.UserClosing(window);
      return true;
    case QEvent::Move:
    case QEvent::Resize:
      if (!mirror_.Applying()) mirror_.UserMovedOrResized(window);
      return false;
    case QEvent::WindowStateChange: {
      if (mirror_.Applying()) return false;
      const Qt::WindowStates state = static_cast<QWidget*>(watched)->windowState();
      ShowState wanted = ShowState::kNormal;
      if (state.testFlag(Qt::WindowMinimized)) {
        wanted = ShowState::kMinimized;
      } else if (state.testFlag(Qt::WindowMaximized)) {
        wanted = ShowState::kMaximized;
      }
      mirror_.UserChangedState(window, wanted);
      return false;
    }
    default:
      return false;
  }
}

}  // namespace vaultrix::platform::qt
