// Showing a window's state on its widget: text, enabled and visible states,
// geometry from dialog units, show state, focus and activation, and the
// kind-specific state of the simple controls.
#include <QtGui/QAction>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLayout>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QMdiArea>
#include <QtWidgets/QMdiSubWindow>
#include <QtWidgets/QMenu>
#include <QtWidgets/QPushButton>

#include "platform/drivers/qt/key_translation.h"
#include "platform/drivers/qt/mirror_entry.h"
#include "platform/drivers/qt/window_classes.h"
#include "platform/drivers/qt/window_mirror.h"
#include "platform/drivers/qt/window_surface.h"

namespace vaultrix::platform::qt {
namespace {

QString Text(const std::string& text) {
  return QString::fromStdString(text);
}

bool IsWindowKind(WindowKind kind) {
  return kind == WindowKind::kFrame || kind == WindowKind::kPlain ||
         kind == WindowKind::kMdiChild;
}

}  // namespace

void WindowMirror::Changed(WindowHandle window) {
  Entry* entry = Find(window);
  std::optional<WindowInfo> info = system_.GetWindowInfo(window);
  if (entry != nullptr && info) Apply(*entry, *info);
}

void WindowMirror::Apply(Entry& entry, const WindowInfo& info) {
  ++applying_;
  if (IsWindowKind(entry.kind) && entry.outer) {
    entry.outer->setWindowTitle(Text(info.text));
    entry.outer->setEnabled(info.enabled);
    if (!(entry.known_rect && *entry.known_rect == info.rect)) ApplyHostRect(entry, info.rect);
    ApplyShowState(entry, info);
  } else if (entry.kind == WindowKind::kControl) {
    ApplyControlState(entry, info);
  }
  --applying_;
}

void WindowMirror::ApplyHostRect(Entry& entry, const Rect& rect) {
  if (!entry.units || !entry.outer || !entry.client) return;
  entry.known_rect = rect;
  const DialogUnits& units = *entry.units;
  QWidget* outer = entry.outer;
  if (rect.width != kDefaultPosition && rect.height != kDefaultPosition) {
    // The stored size is the client area's: the furniture and an MDI
    // child's frame come on top of it.
    if (outer->layout() != nullptr) outer->layout()->activate();
    if (entry.host && entry.host != outer && entry.host->layout() != nullptr) {
      entry.host->layout()->activate();
    }
    const QSize extra = outer->size() - entry.client->size();
    const QSize wanted(units.ToPixelsX(rect.width), units.ToPixelsY(rect.height));
    if (auto* surface = dynamic_cast<WindowSurface*>(entry.host.data())) surface->SetClientSize(wanted);
    outer->resize(wanted + QSize(std::max(0, extra.width()), std::max(0, extra.height())));
  }
  if (rect.x != kDefaultPosition && rect.y != kDefaultPosition) {
    outer->move(units.ToPixelsX(rect.x), units.ToPixelsY(rect.y));
  }
}

void WindowMirror::ApplyShowState(Entry& entry, const WindowInfo& info) {
  QWidget* outer = entry.outer;
  if (!info.visible) {
    outer->hide();
    return;
  }
  Qt::WindowStates state = outer->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
  if (info.show_state == ShowState::kMaximized) state |= Qt::WindowMaximized;
  if (info.show_state == ShowState::kMinimized) state |= Qt::WindowMinimized;
  if (outer->windowState() != state) outer->setWindowState(state);
  if (!outer->isVisible()) {
    outer->show();
    if (!entry.shown_once && entry.known_rect) ApplyHostRect(entry, *entry.known_rect);
    entry.shown_once = true;
  }
}

void WindowMirror::ApplyControlState(Entry& entry, const WindowInfo& info) {
  const QString text = Text(info.text);
  if (auto* action = qobject_cast<QAction*>(entry.object.data())) {
    if (!action->isSeparator()) {
      const QString accelerator = AcceleratorText(info.value);
      action->setText(accelerator.isEmpty() || action->menu() != nullptr
                          ? text
                          : text + QLatin1Char('\t') + accelerator);
    }
    action->setEnabled(info.enabled);
    action->setVisible(info.visible);
    if (action->menu() == nullptr) {
      action->setCheckable(info.check != 0);
      action->setChecked(info.check != 0);
    }
    return;
  }
  auto* widget = qobject_cast<QWidget*>(entry.object.data());
  if (widget == nullptr) return;
  widget->setEnabled(info.enabled);
  if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(text);
  } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
    button->setText(text);
  } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    if (edit->text() != text) edit->setText(text);
  } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
    QStringList rows;
    for (const std::string& row : info.rows) rows << Text(row);
    bool same = list->count() == rows.size();
    for (int i = 0; same && i < list->count(); ++i) same = list->item(i)->text() == rows[i];
    if (!same) {
      list->clear();
      list->addItems(rows);
    }
    if (list->currentRow() != info.value) list->setCurrentRow(static_cast<int>(info.value));
  }
  // Furniture places itself; controls sit at their rectangle.
  const bool placed = entry.class_name != kStatusBarClass && entry.class_name != kToolBarClass &&
                      entry.class_name != kStatusZoneClass && entry.class_name != kMenuBarClass;
  const DialogUnits* units = UnitsOf(entry.handle);
  if (placed && units != nullptr) widget->setGeometry(units->ToPixels(info.rect));
  if (entry.class_name != kMenuBarClass) widget->setVisible(info.visible);
}

void WindowMirror::Focus(WindowHandle window) {
  Entry* entry = Find(window);
  if (entry == nullptr) return;
  QWidget* widget = entry->kind == WindowKind::kControl
                        ? qobject_cast<QWidget*>(entry->object.data())
                        : entry->host.data();
  if (widget == nullptr || widget->hasFocus()) return;
  ++applying_;
  if (entry->kind != WindowKind::kControl) widget->setFocusPolicy(Qt::StrongFocus);
  widget->setFocus(Qt::OtherFocusReason);
  --applying_;
}

void WindowMirror::Activation(WindowHandle window) {
  Entry* entry = Find(window);
  if (entry == nullptr || !entry->outer) return;
  ++applying_;
  if (entry->kind == WindowKind::kMdiChild) {
    auto* sub = static_cast<QMdiSubWindow*>(entry->outer.data());
    if (QMdiArea* area = sub->mdiArea(); area != nullptr && area->activeSubWindow() != sub) {
      area->setActiveSubWindow(sub);
    }
  } else if (QApplication::activeWindow() != entry->outer) {
    entry->outer->activateWindow();
  }
  --applying_;
}

void WindowMirror::Raise(WindowHandle window) {
  Entry* entry = Find(window);
  if (entry != nullptr && entry->outer) entry->outer->raise();
}

}  // namespace vaultrix::platform::qt
