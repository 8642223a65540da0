// Showing a window's state on its widget: text, enabled and visible states,
// geometry from dialog units, show state, focus and activation, and the
// kind-specific state of the simple controls.
#include <QtGui/QAction>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLayout>
#include <QtWidgets/QMdiArea>
#include <QtWidgets/QMdiSubWindow>
#include <QtWidgets/QMenu>
#include <QtWidgets/QStatusBar>

#include "platform/drivers/qt/key_translation.h"
#include "platform/drivers/qt/mirror_entry.h"
#include "platform/drivers/qt/resource_pixmap.h"
#include "platform/window_classes.h"
#include "platform/drivers/qt/window_mirror.h"
#include "platform/drivers/qt/window_flags.h"
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
    ApplyWindowAttributes(entry, info);
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
    if (!entry.shown_once) OpenInStyleState(info);
    entry.shown_once = true;
  }
}

void WindowMirror::OpenInStyleState(const WindowInfo& info) {
  // A window whose style asks to open maximized or minimized does so at its
  // first showing, as the window system then tells its procedure.
  if (info.show_state != ShowState::kNormal) return;
  if ((info.style & kWsMaximize) != 0) {
    (void)system_.ShowWindow(info.handle, kSwShowMaximized);
  } else if ((info.style & kWsMinimize) != 0) {
    (void)system_.ShowWindow(info.handle, kSwShowMinimized);
  }
}

void WindowMirror::ApplyWindowAttributes(Entry& entry, const WindowInfo& info) {
  const DisplayAttributes& display = info.display;
  if (!display.font_face.empty() && !fonts_) {
    const QFont font = ChooseFont(FontSpec{display.font_face, display.font_points,
                                           display.font_weight});
    if (entry.outer->font() != font) {
      entry.outer->setFont(font);
      entry.units.emplace(entry.outer->font());
      entry.known_rect.reset();  // placed again in the new units
    }
  }
  if (!display.icon.empty() && entry.outer->windowIcon().isNull()) {
    const QPixmap icon = ResourcePixmap("ICON", display.icon);
    if (!icon.isNull()) entry.outer->setWindowIcon(icon);
  }
  if (entry.kind == WindowKind::kPlain && !entry.outer->isVisible()) {
    const bool modal = display.modal || IsModalWindow(info);
    entry.outer->setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
  }
  const Qt::WindowFlags flags =
      WindowFlagsOf(LookOfStyle(info.style, info.ex_style), entry.kind == WindowKind::kMdiChild);
  if (entry.outer->windowFlags() != flags) {
    const bool visible = entry.outer->isVisible();
    entry.outer->setWindowFlags(flags);
    if (visible) entry.outer->show();
  }
}

void WindowMirror::ApplyMenuPiece(QAction& action, const WindowInfo& info) {
  const DisplayAttributes& display = info.display;
  action.setSeparator(display.separator && action.menu() == nullptr);
  if (!action.isSeparator()) {
    const QString accelerator = AcceleratorText(display.accelerator);
    const QString text = Text(info.text);
    action.setText(accelerator.isEmpty() || action.menu() != nullptr
                       ? text
                       : text + QLatin1Char('\t') + accelerator);
    action.setToolTip(Text(display.tooltip));
  }
  action.setEnabled(info.enabled);
  action.setVisible(info.visible);
  if (action.menu() == nullptr) {
    action.setCheckable(info.check != 0);
    action.setChecked(info.check != 0);
  }
}

void WindowMirror::ShowStatusZones(Entry& entry, const WindowInfo& info) {
  auto* bar = qobject_cast<QStatusBar*>(entry.object.data());
  const DialogUnits* units = UnitsOf(entry.handle);
  if (bar == nullptr || units == nullptr) return;
  std::vector<int> widths = info.display.zone_widths;
  if (widths.size() < info.rows.size()) widths.resize(info.rows.size(), kStretchZone);
  QList<QLabel*> zones = bar->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
  if (zones.size() != static_cast<qsizetype>(widths.size())) {
    for (QLabel* zone : zones) delete zone;
    zones.clear();
    for (int width : widths) {
      auto* zone = new QLabel(bar);
      zone->setFrameShape(QFrame::Panel);
      zone->setFrameShadow(QFrame::Sunken);
      bar->addWidget(zone, width == kStretchZone ? 1 : 0);
      zones.push_back(zone);
    }
  }
  for (qsizetype i = 0; i < zones.size(); ++i) {
    const int width = widths[static_cast<std::size_t>(i)];
    if (width == kStretchZone) {
      zones[i]->setMinimumWidth(0);
      zones[i]->setMaximumWidth(QWIDGETSIZE_MAX);
    } else {
      zones[i]->setFixedWidth(units->ToPixelsX(width));
    }
    const std::size_t row = static_cast<std::size_t>(i);
    zones[i]->setText(row < info.rows.size() ? Text(info.rows[row]) : QString());
  }
}

void WindowMirror::ApplyControlState(Entry& entry, const WindowInfo& info) {
  if (auto* action = qobject_cast<QAction*>(entry.object.data())) {
    ApplyMenuPiece(*action, info);
    return;
  }
  auto* widget = qobject_cast<QWidget*>(entry.object.data());
  if (widget == nullptr) return;
  const std::string& kind = entry.class_name;
  if (kind == kMenuBarClass) return;
  if (kind == kStatusBarClass) {
    ShowStatusZones(entry, info);
    return;
  }
  if (kind == kTabClass) {
    ShowTab(entry, info);
    return;
  }
  widget->setEnabled(info.enabled);
  ShowControlWidget(entry, widget, info);
  // Furniture places itself; controls sit at their rectangle.
  if (kind != kToolbarClass) PlaceControl(entry, widget, info.rect);
  // Bars are furniture, shown with their window.
  const bool visible = kind == kToolbarClass || (info.visible && !OnHiddenTab(entry));
  widget->setVisible(visible);
  if (entry.extra) entry.extra->setVisible(visible);
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
