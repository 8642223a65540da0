// Making and unmaking the widgets of windows, and the lookups between
// windows and widgets. State is applied in mirror_state.cpp, the user's
// actions reported in mirror_reports.cpp.
#include "platform/drivers/qt/window_mirror.h"

#include <algorithm>

#include <QtGui/QAction>
#include <QtWidgets/QLabel>
#include <QtWidgets/QMainWindow>
#include <QtWidgets/QMdiArea>
#include <QtWidgets/QMdiSubWindow>
#include <QtWidgets/QMenu>
#include <QtWidgets/QMenuBar>
#include <QtWidgets/QStatusBar>
#include <QtWidgets/QToolBar>

#include "platform/drivers/qt/host_event_filter.h"
#include "platform/drivers/qt/mirror_entry.h"
#include "platform/window_classes.h"
#include "platform/drivers/qt/window_flags.h"
#include "platform/drivers/qt/window_surface.h"

namespace vaultrix::platform::qt {
namespace {

// Widgets name their window through this property, so that input on any
// inner widget finds its way to the window.
constexpr const char* kHandleProperty = "vaultrix_window";

void Tag(QObject* object, WindowHandle window) {
  if (object != nullptr) object->setProperty(kHandleProperty, QVariant::fromValue(window));
}

}  // namespace

WindowMirror::WindowMirror(WindowSystem& system, FontResolver fonts, Poster post)
    : system_(system), fonts_(std::move(fonts)), post_(std::move(post)),
      host_filter_(std::make_unique<HostEventFilter>(*this)) {}

WindowMirror::~WindowMirror() {
  // Top-level widgets take their children, menus and actions with them.
  for (auto& [handle, entry] : entries_) {
    if ((entry->kind == WindowKind::kFrame || entry->kind == WindowKind::kPlain) && entry->outer) {
      delete entry->outer.data();
    }
  }
}

WindowMirror::Entry* WindowMirror::Find(WindowHandle window) {
  auto it = entries_.find(window);
  return it == entries_.end() ? nullptr : it->second.get();
}

const WindowMirror::Entry* WindowMirror::Find(WindowHandle window) const {
  auto it = entries_.find(window);
  return it == entries_.end() ? nullptr : it->second.get();
}

WindowMirror::Entry* WindowMirror::HostEntry(WindowHandle window) {
  Entry* entry = Find(window);
  while (entry != nullptr && entry->kind == WindowKind::kControl) entry = Find(entry->parent);
  return entry;
}

WindowHandle WindowMirror::HostOf(WindowHandle window) const {
  const Entry* entry = Find(window);
  while (entry != nullptr && entry->kind == WindowKind::kControl) entry = Find(entry->parent);
  return entry == nullptr ? kNoWindow : entry->handle;
}

QWidget* WindowMirror::Widget(WindowHandle window) const {
  const Entry* entry = Find(window);
  if (entry == nullptr) return nullptr;
  if (entry->outer) return entry->outer;
  if (auto* action = qobject_cast<QAction*>(entry->object.data())) return action->menu();
  return qobject_cast<QWidget*>(entry->object.data());
}

QObject* WindowMirror::Object(WindowHandle window) const {
  const Entry* entry = Find(window);
  return entry == nullptr ? nullptr : entry->object.data();
}

QWidget* WindowMirror::Client(WindowHandle window) const {
  const Entry* entry = Find(window);
  return entry == nullptr ? nullptr : entry->client.data();
}

WindowHandle WindowMirror::WindowOf(const QObject* object) const {
  for (; object != nullptr; object = object->parent()) {
    const QVariant tag = object->property(kHandleProperty);
    if (tag.isValid()) {
      const auto window = tag.value<WindowHandle>();
      return Find(window) != nullptr ? window : kNoWindow;
    }
  }
  return kNoWindow;
}

const DialogUnits* WindowMirror::UnitsOf(WindowHandle window) const {
  const Entry* entry = Find(window);
  while (entry != nullptr && !entry->units) entry = Find(entry->parent);
  return entry != nullptr && entry->units ? &*entry->units : nullptr;
}

void WindowMirror::Created(WindowHandle window) {
  if (Find(window) != nullptr) return;
  std::optional<WindowInfo> info = system_.GetWindowInfo(window);
  if (!info) return;  // already gone again
  auto entry = std::make_unique<Entry>();
  entry->handle = window;
  entry->kind = info->kind;
  entry->class_name = info->class_name;
  entry->parent = info->parent;
  ++applying_;
  if (info->kind == WindowKind::kControl) {
    CreateControl(*entry, *info);
  } else {
    CreateWindowWidget(*entry, *info);
  }
  --applying_;
  if (!entry->object) return;  // nothing to show it on
  Tag(entry->object, window);
  Tag(entry->outer, window);
  Entry& kept = *entry;
  entries_[window] = std::move(entry);
  Apply(kept, *info);
}

void WindowMirror::CreateWindowWidget(Entry& entry, const WindowInfo& info) {
  std::optional<FontSpec> spec = fonts_ ? fonts_(info.handle) : std::nullopt;
  const QFont font = ChooseFont(spec.value_or(FontSpec{}));
  const FrameLook look = LookOfStyle(info.style, info.ex_style);
  switch (info.kind) {
    case WindowKind::kFrame: {
      auto* frame = new QMainWindow(nullptr, WindowFlagsOf(look, false));
      frame->setCentralWidget(new QWidget(frame));
      entry.outer = frame;
      entry.host = frame;
      break;
    }
    case WindowKind::kPlain: {
      Entry* owner = Find(info.owner);
      QWidget* owner_widget = owner != nullptr ? owner->outer.data() : nullptr;
      if (owner_widget != nullptr && owner->kind == WindowKind::kMdiChild) {
        owner_widget = owner_widget->window();
      }
      auto* surface = new WindowSurface(owner_widget, WindowFlagsOf(look, false));
      if (IsModalWindow(info)) surface->setWindowModality(Qt::ApplicationModal);
      entry.outer = surface;
      entry.host = surface;
      break;
    }
    case WindowKind::kMdiClient: {
      Entry* frame = Find(info.parent);
      auto* main = frame != nullptr ? qobject_cast<QMainWindow*>(frame->host.data()) : nullptr;
      if (main == nullptr) return;
      auto* area = new QMdiArea(main);
      main->setCentralWidget(area);  // replaces the empty central widget
      frame->client = area;
      entry.object = area;
      entry.client = area;
      return;
    }
    case WindowKind::kMdiChild: {
      Entry* client = Find(info.parent);
      auto* area = client != nullptr ? qobject_cast<QMdiArea*>(client->object.data()) : nullptr;
      if (area == nullptr) return;
      auto* surface = new WindowSurface();
      QMdiSubWindow* sub = area->addSubWindow(surface, WindowFlagsOf(look, true));
      sub->setAttribute(Qt::WA_DeleteOnClose, false);
      entry.outer = sub;
      entry.host = surface;
      Tag(surface, info.handle);
      break;
    }
    case WindowKind::kControl: return;
  }
  entry.outer->setFont(font);
  entry.outer->installEventFilter(host_filter_.get());
  entry.object = entry.outer.data();
  if (!entry.client) entry.client = ClientOf(entry.host);
  entry.units.emplace(entry.outer->font());
}

void WindowMirror::CreateControl(Entry& entry, const WindowInfo& info) {
  Entry* parent = Find(info.parent);
  if (parent == nullptr) return;
  const std::string& kind = info.class_name;
  if (kind == kMenuBarClass || kind == kMenuClass || kind == kItemClass) {
    CreateMenuPiece(entry, info, *parent);
    return;
  }
  Entry* host = HostEntry(info.parent);
  if (host == nullptr || !host->host) return;
  if (kind == kStatusBarClass) {
    auto* bar = new QStatusBar(host->host);
    bar->setSizeGripEnabled(false);
    InstallStatusBar(host->host, bar);
    entry.object = bar;
    return;
  }
  if (kind == kToolbarClass) {
    auto* bar = new QToolBar(host->host);
    bar->setMovable(false);
    bar->setFloatable(false);
    auto* strip = new QWidget(bar);
    if (const DialogUnits* units = UnitsOf(host->handle)) {
      strip->setFixedHeight(units->ToPixelsY(info.rect.height));
      strip->setMinimumWidth(units->ToPixelsX(info.rect.width));
    }
    bar->addWidget(strip);
    InstallToolBar(host->host, bar);
    entry.object = bar;
    entry.client = strip;
    return;
  }
  // Toolbar controls sit on the toolbar's strip; every other control on its
  // window's client, at a place relative to the window.
  QWidget* on = parent->class_name == kToolbarClass ? parent->client.data() : host->client.data();
  if (on == nullptr) return;
  QWidget* widget = CreateControlWidget(entry, info, on);
  entry.object = widget;
  entry.client = widget;
  if (widget != nullptr) LinkPromptBefore(info, widget);
}

void WindowMirror::LinkPromptBefore(const WindowInfo& info, QWidget* widget) {
  // A prompt names the control that follows it: its marked letter is shown
  // underlined (not as a literal "&") and moves the focus there.
  const std::vector<WindowHandle> siblings = system_.Children(info.parent);
  const auto at = std::find(siblings.begin(), siblings.end(), info.handle);
  if (at == siblings.begin() || at == siblings.end()) return;
  Entry* before = Find(*std::prev(at));
  if (before == nullptr || before->class_name != kPromptClass) return;
  if (auto* label = qobject_cast<QLabel*>(before->object.data())) label->setBuddy(widget);
}

void WindowMirror::CreateMenuPiece(Entry& entry, const WindowInfo& info, Entry& parent) {
  const std::string& kind = info.class_name;
  const WindowHandle handle = info.handle;
  if (kind == kMenuBarClass) {
    Entry* host = HostEntry(info.parent);
    if (host == nullptr || !host->host) return;
    auto* bar = new QMenuBar(host->host);
    InstallMenuBar(host->host, bar);
    entry.object = bar;
    return;
  }
  QWidget* container = qobject_cast<QWidget*>(parent.object.data());
  if (auto* action = qobject_cast<QAction*>(parent.object.data())) container = action->menu();
  if (container == nullptr) return;
  if (kind == kMenuClass) {
    auto* menu = new QMenu(container);
    QAction* action = menu->menuAction();
    container->addAction(action);
    QObject::connect(menu, &QMenu::aboutToShow, [this, menu, handle] {
      std::optional<WindowInfo> now = system_.GetWindowInfo(handle);
      if (now && now->display.action == kWindowListAction) FillWindowList(menu, handle);
    });
    Tag(menu, handle);
    entry.object = action;
    return;
  }
  auto* action = new QAction(container);
  QObject::connect(action, &QAction::triggered, [this, handle] { MenuItemChosen(handle); });
  container->addAction(action);
  entry.object = action;
}

void WindowMirror::Destroyed(WindowHandle window) {
  auto it = entries_.find(window);
  if (it == entries_.end()) return;
  std::unique_ptr<Entry> entry = std::move(it->second);
  entries_.erase(it);
  ++applying_;
  if (entry->kind == WindowKind::kMdiChild && entry->outer) {
    auto* sub = static_cast<QMdiSubWindow*>(entry->outer.data());
    if (QMdiArea* area = sub->mdiArea()) area->removeSubWindow(sub);
    delete sub;
  } else if (entry->kind == WindowKind::kMdiClient) {
    if (Entry* frame = Find(entry->parent)) {
      if (auto* main = qobject_cast<QMainWindow*>(frame->host.data())) {
        main->setCentralWidget(new QWidget(main));
        frame->client = main->centralWidget();
      }
    }
  } else if (auto* action = qobject_cast<QAction*>(entry->object.data())) {
    if (QMenu* menu = action->menu()) {
      delete menu;  // takes its menu action along
    } else {
      delete action;
    }
  } else if (entry->outer) {
    delete entry->outer.data();
  } else if (entry->object) {
    delete entry->object.data();
  }
  if (entry->extra) delete entry->extra.data();
  --applying_;
}

}  // namespace vaultrix::platform::qt
