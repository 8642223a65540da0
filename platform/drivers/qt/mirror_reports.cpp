// What the user does with the mirrored widgets, reported to the window
// system: commands posted as input, geometry recorded (which posts the move
// and size messages), and the requests that the window's thread may refuse
// (close, maximize, minimize, restore) asked without waiting; the widget
// follows the window system's answer.
#include <QtGui/QAction>
#include <QtWidgets/QMainWindow>
#include <QtWidgets/QMdiArea>
#include <QtWidgets/QMdiSubWindow>
#include <QtWidgets/QMenu>

#include "platform/drivers/qt/mirror_entry.h"
#include "platform/window_classes.h"
#include "platform/drivers/qt/window_mirror.h"

namespace vaultrix::platform::qt {
namespace {

constexpr const char* kWindowListProperty = "vaultrix_window_list";

std::uintptr_t SystemCommandOf(ShowState state) {
  switch (state) {
    case ShowState::kMaximized: return kScMaximize;
    case ShowState::kMinimized: return kScMinimize;
    case ShowState::kNormal: break;
  }
  return kScRestore;
}

// Icons of minimized MDI children in a row along the area's bottom edge.
void ArrangeIcons(QMdiArea& area) {
  int x = 0;
  for (QMdiSubWindow* sub : area.subWindowList(QMdiArea::CreationOrder)) {
    if (!sub->isMinimized()) continue;
    const QSize size = sub->size();
    if (x > 0 && x + size.width() > area.viewport()->width()) x = 0;
    sub->move(x, area.viewport()->height() - size.height());
    x += size.width();
  }
}

}  // namespace

void WindowMirror::PostCommand(WindowHandle to, std::uintptr_t wparam, WindowHandle from) {
  (void)system_.InjectInput(to, kWmCommand, wparam, static_cast<std::intptr_t>(from));
}

QMdiArea* WindowMirror::AreaOf(Entry& host) {
  // The frame's area; an MDI child's menus act on the frame's area too.
  Entry* walk = &host;
  while (walk != nullptr && walk->kind != WindowKind::kFrame) walk = Find(walk->parent);
  if (walk == nullptr) return nullptr;
  auto* main = qobject_cast<QMainWindow*>(walk->host.data());
  return main == nullptr ? nullptr : qobject_cast<QMdiArea*>(main->centralWidget());
}

void WindowMirror::MenuItemChosen(WindowHandle item) {
  std::optional<WindowInfo> info = system_.GetWindowInfo(item);
  Entry* host = HostEntry(item);
  if (!info || host == nullptr) return;
  QMdiArea* area = AreaOf(*host);
  switch (info->display.action) {
    case kTileAction:
      if (area != nullptr) area->tileSubWindows();
      return;
    case kCascadeAction:
      if (area != nullptr) area->cascadeSubWindows();
      return;
    case kArrangeIconsAction:
      if (area != nullptr) ArrangeIcons(*area);
      return;
    default:
      PostCommand(host->handle, static_cast<std::uint32_t>(info->control_id) & 0xFFFF, item);
  }
}

void WindowMirror::FillWindowList(QMenu* menu, WindowHandle menu_window) {
  // Drop the list made the last time the menu opened.
  for (QAction* action : menu->actions()) {
    if (action->property(kWindowListProperty).toBool()) {
      menu->removeAction(action);
      delete action;
    }
  }
  Entry* host = HostEntry(menu_window);
  QMdiArea* area = host != nullptr ? AreaOf(*host) : nullptr;
  if (area == nullptr) return;
  const QList<QMdiSubWindow*> children = area->subWindowList(QMdiArea::CreationOrder);
  if (children.isEmpty()) return;
  QAction* separator = menu->addSeparator();
  separator->setProperty(kWindowListProperty, true);
  int number = 1;
  for (QMdiSubWindow* sub : children) {
    const WindowHandle child = WindowOf(sub);
    const QString label = number <= 9 ? QStringLiteral("&%1 %2").arg(number).arg(sub->windowTitle())
                                      : QStringLiteral("%1 %2").arg(number).arg(sub->windowTitle());
    QAction* action = menu->addAction(label);
    action->setProperty(kWindowListProperty, true);
    action->setCheckable(true);
    action->setChecked(area->activeSubWindow() == sub);
    QObject::connect(action, &QAction::triggered, [this, child] {
      (void)system_.MdiActivate(child);
    });
    ++number;
  }
}

void WindowMirror::UserMovedOrResized(WindowHandle window) {
  Entry* entry = Find(window);
  if (entry == nullptr || !entry->units || !entry->outer || !entry->client) return;
  if (!entry->outer->isVisible() || entry->outer->isMinimized() || entry->outer->isMaximized()) {
    return;  // a state change, not a placement of the user's
  }
  const DialogUnits& units = *entry->units;
  const QPoint at = entry->outer->pos();
  const Rect rect{units.ToUnitsX(at.x()), units.ToUnitsY(at.y()),
                  units.ToUnitsX(entry->client->width()), units.ToUnitsY(entry->client->height())};
  if (entry->known_rect && *entry->known_rect == rect) return;
  entry->known_rect = rect;
  (void)system_.MoveWindow(window, rect);
}

void WindowMirror::UserChangedState(WindowHandle window, ShowState wanted) {
  std::optional<WindowInfo> info = system_.GetWindowInfo(window);
  if (!info || info->show_state == wanted) return;
  // Until the answer comes the widget shows what the user asked for; then
  // it shows whatever the window system holds.
  (void)system_.SendMessageCallback(window, kWmSysCommand, SystemCommandOf(wanted), 0,
                                    [this, window](std::intptr_t) { Resync(window); });
}

void WindowMirror::UserClosing(WindowHandle window) {
  (void)system_.SendMessageCallback(window, kWmSysCommand, kScClose, 0, [](std::intptr_t) {});
}

void WindowMirror::Resync(WindowHandle window) {
  // Called on the window's thread: the widget is touched on the driver's.
  post_([this, window] { Changed(window); });
}

}  // namespace vaultrix::platform::qt
