// The state that windows and controls keep in the window system (text,
// value, check, list rows, scroll position, enabled, visible, geometry, show
// state), each change reported to the driver.
#include <algorithm>
#include <utility>

#include "platform/window_system.h"
#include "platform/window_system_records.h"

namespace vaultrix::platform {

// `change` answers whether it changed anything; only then is the driver told.
template <typename Change>
bool WindowSystem::ChangeWindow(WindowHandle window, NotificationKind kind, Change change) {
  Lock lock(mutex_);
  WindowRecord* record = Find(window);
  if (record == nullptr) return false;
  if (change(*record)) {
    Notify(kind, window);
    FlushNotifications(lock);
  }
  return true;
}

namespace {

// Cuts `text` to at most `limit` bytes without splitting a UTF-8 character:
// the cut moves back past the continuation bytes (at most three) of the
// character it would split.
void CutAtCharacter(std::string& text, std::size_t limit) {
  if (limit == 0 || text.size() <= limit) return;
  std::size_t cut = limit;
  const auto continues = [&text](std::size_t at) {
    return (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80;
  };
  for (int back = 0; back < 3 && cut > 0 && continues(cut); ++back) --cut;
  if (continues(cut)) cut = limit;  // no character starts there: bytes, not text
  text.resize(cut);
}

}  // namespace

bool WindowSystem::SetText(WindowHandle window, std::string text) {
  return ChangeWindow(window, NotificationKind::kText, [&](WindowRecord& r) {
    CutAtCharacter(text, r.text_limit);
    if (r.text == text) return false;
    r.text = std::move(text);
    return true;
  });
}

bool WindowSystem::SetTextLimit(WindowHandle window, std::size_t bytes) {
  Lock lock(mutex_);
  WindowRecord* record = Find(window);
  if (record == nullptr) return false;
  record->text_limit = bytes;
  return true;
}

std::string WindowSystem::GetText(WindowHandle window) const {
  Lock lock(mutex_);
  const WindowRecord* record = Find(window);
  return record == nullptr ? std::string() : record->text;
}

bool WindowSystem::SetValue(WindowHandle window, std::int64_t value) {
  return ChangeWindow(window, NotificationKind::kValue, [&](WindowRecord& r) {
    return std::exchange(r.value, value) != value;
  });
}

bool WindowSystem::SetCheck(WindowHandle window, int check) {
  return ChangeWindow(window, NotificationKind::kValue, [&](WindowRecord& r) {
    return std::exchange(r.check, check) != check;
  });
}

bool WindowSystem::SetRows(WindowHandle window, std::vector<std::string> rows) {
  return ChangeWindow(window, NotificationKind::kRows, [&](WindowRecord& r) {
    if (r.rows == rows) return false;
    r.rows = std::move(rows);
    return true;
  });
}

bool WindowSystem::SetScroll(WindowHandle window, int vertical, int horizontal) {
  return ChangeWindow(window, NotificationKind::kScroll, [&](WindowRecord& r) {
    const bool changed = r.vertical_scroll != vertical || r.horizontal_scroll != horizontal;
    r.vertical_scroll = vertical;
    r.horizontal_scroll = horizontal;
    return changed;
  });
}

bool WindowSystem::SetScrollRange(WindowHandle window, int low, int high) {
  return ChangeWindow(window, NotificationKind::kScroll, [&](WindowRecord& r) {
    const bool changed = r.vertical_low != low || r.vertical_high != high;
    r.vertical_low = low;
    r.vertical_high = high;
    return changed;
  });
}

bool WindowSystem::SetListColumns(WindowHandle window, std::vector<ListColumnShape> columns) {
  return ChangeWindow(window, NotificationKind::kRows, [&](WindowRecord& r) {
    if (r.list_columns == columns) return false;
    r.list_columns = std::move(columns);
    return true;
  });
}

bool WindowSystem::EnableWindow(WindowHandle window, bool enabled) {
  return ChangeWindow(window, NotificationKind::kEnabled, [&](WindowRecord& r) {
    if (r.enabled == enabled) return false;
    r.enabled = enabled;
    r.style = enabled ? (r.style & ~kWsDisabled) : (r.style | kWsDisabled);
    PostLocked(*r.thread, Message{r.handle, kWmEnable, enabled ? 1u : 0u, 0, 0});
    return true;
  });
}

bool WindowSystem::IsWindowEnabled(WindowHandle window) const {
  Lock lock(mutex_);
  const WindowRecord* record = Find(window);
  return record != nullptr && record->enabled;
}

bool WindowSystem::ShowWindow(WindowHandle window, int command) {
  Lock lock(mutex_);
  WindowRecord* r = Find(window);
  if (r == nullptr) return false;
  const bool visible = command != kSwHide;
  ShowState state = r->show_state;
  if (command == kSwShowMinimized || command == kSwMinimize) state = ShowState::kMinimized;
  if (command == kSwShowMaximized) state = ShowState::kMaximized;
  if (command == kSwShowNormal || command == kSwRestore) state = ShowState::kNormal;
  if (r->visible != visible) {
    r->visible = visible;
    r->style = visible ? (r->style | kWsVisible) : (r->style & ~kWsVisible);
    Notify(NotificationKind::kVisible, window);
  }
  if (r->show_state != state) {
    r->show_state = state;
    r->style &= ~(kWsMinimize | kWsMaximize);
    if (state == ShowState::kMinimized) r->style |= kWsMinimize;
    if (state == ShowState::kMaximized) r->style |= kWsMaximize;
    const std::uintptr_t kind = state == ShowState::kMinimized   ? kSizeMinimized
                                : state == ShowState::kMaximized ? kSizeMaximized
                                                                 : kSizeRestored;
    PostLocked(*r->thread, Message{window, kWmSize, kind,
                                   MakePointParam(r->rect.width, r->rect.height), 0});
    Notify(NotificationKind::kShowState, window);
  }
  FlushNotifications(lock);
  return true;
}

bool WindowSystem::IsWindowVisible(WindowHandle window) const {
  Lock lock(mutex_);
  const WindowRecord* record = Find(window);
  return record != nullptr && record->visible;
}

bool WindowSystem::MoveWindow(WindowHandle window, const Rect& rect) {
  return ChangeWindow(window, NotificationKind::kRect, [&](WindowRecord& r) {
    const bool moved = r.rect.x != rect.x || r.rect.y != rect.y;
    const bool sized = r.rect.width != rect.width || r.rect.height != rect.height;
    r.rect = rect;
    if (moved) PostLocked(*r.thread, Message{r.handle, kWmMove, 0, MakePointParam(rect.x, rect.y), 0});
    if (sized) {
      PostLocked(*r.thread, Message{r.handle, kWmSize, kSizeRestored,
                                    MakePointParam(rect.width, rect.height), 0});
    }
    return moved || sized;
  });
}

bool WindowSystem::SetStyle(WindowHandle window, std::uint32_t style) {
  return ChangeWindow(window, NotificationKind::kVisible, [&](WindowRecord& r) {
    if (r.style == style) return false;
    r.style = style;
    r.visible = (style & kWsVisible) != 0;
    r.enabled = (style & kWsDisabled) == 0;
    return true;
  });
}

bool WindowSystem::BringWindowToTop(WindowHandle window) {
  return ChangeWindow(window, NotificationKind::kZOrder, [&](WindowRecord& r) {
    std::vector<WindowHandle>* order = &z_order_;
    if (r.parent != kNoWindow) {
      WindowRecord* parent = Find(r.parent);
      if (parent == nullptr || parent->kind != WindowKind::kMdiClient) return false;
      order = &parent->children;
    }
    auto it = std::find(order->begin(), order->end(), r.handle);
    if (it == order->end() || it == order->begin()) return false;
    order->erase(it);
    order->insert(order->begin(), r.handle);
    return true;
  });
}

}  // namespace vaultrix::platform
