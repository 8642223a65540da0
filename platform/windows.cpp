// Windows: creation with kWmCreate, the parent/child and owner/owned links,
// destruction of a window with its children and owned windows, procedures
// and subclassing, and the queries over the window tree.
#include <algorithm>

#include "platform/clock.h"
#include "platform/window_system.h"
#include "platform/window_system_records.h"

namespace vaultrix::platform {
namespace {

bool IsTopLevel(WindowKind kind) {
  return kind == WindowKind::kPlain || kind == WindowKind::kFrame;
}

}  // namespace

WindowHandle WindowSystem::CreateWindow(const WindowCreateParams& params) {
  Lock lock(mutex_);
  ThreadQueue& self = QueueOfCaller(lock);
  WindowRecord* parent = Find(params.parent);
  if (parent != nullptr && parent->destroying) parent = nullptr;
  if (IsTopLevel(params.kind)) {
    parent = nullptr;
  } else if (parent == nullptr) {
    return kNoWindow;
  } else if (params.kind == WindowKind::kMdiChild && parent->kind != WindowKind::kMdiClient) {
    return kNoWindow;
  }
  WindowRecord* owner = IsTopLevel(params.kind) ? Find(params.owner) : nullptr;
  if (params.owner != kNoWindow && IsTopLevel(params.kind) &&
      (owner == nullptr || owner->destroying)) {
    return kNoWindow;
  }

  auto record = std::make_unique<WindowRecord>();
  record->handle = next_handle_++;
  record->kind = params.kind;
  record->class_name = params.class_name;
  record->text = params.text;
  record->style = params.style;
  record->ex_style = params.ex_style;
  record->rect = params.rect;
  record->parent = parent != nullptr ? parent->handle : kNoWindow;
  record->owner = owner != nullptr ? owner->handle : kNoWindow;
  record->thread = &self;
  record->control_id = params.control_id;
  record->procedure = std::make_shared<const WindowProc>(
      params.procedure ? params.procedure : WindowProc(&WindowSystem::DefaultWindowProc));
  record->enabled = (params.style & kWsDisabled) == 0;
  record->visible = (params.style & kWsVisible) != 0;
  if ((params.style & kWsMaximize) != 0) record->show_state = ShowState::kMaximized;
  if ((params.style & kWsMinimize) != 0) record->show_state = ShowState::kMinimized;

  const WindowHandle handle = record->handle;
  std::shared_ptr<const WindowProc> procedure = record->procedure;
  if (parent != nullptr) {
    if (parent->kind == WindowKind::kMdiClient) {
      parent->children.insert(parent->children.begin(), handle);
    } else {
      parent->children.push_back(handle);
    }
  } else {
    z_order_.insert(z_order_.begin(), handle);
  }
  if (owner != nullptr) owner->owned.push_back(handle);
  windows_.emplace(handle, std::move(record));
  Notify(NotificationKind::kCreated, handle);
  lock.unlock();

  const Message create{handle, kWmCreate, 0, 0, CurrentClock().SteadyMilliseconds()};
  if ((*procedure)(*this, create) == -1) {
    DestroyWindow(handle);
    return kNoWindow;
  }
  lock.lock();
  FlushNotifications(lock);
  return handle;
}

void WindowSystem::CollectSubtreeLocked(WindowRecord& window, std::vector<WindowRecord*>& out) {
  if (window.destroying) return;
  window.destroying = true;
  // Owned windows go before their owner, children after their parent.
  for (WindowHandle owned : window.owned) {
    if (WindowRecord* record = Find(owned)) CollectSubtreeLocked(*record, out);
  }
  out.push_back(&window);
  for (WindowHandle child : window.children) {
    if (WindowRecord* record = Find(child)) CollectSubtreeLocked(*record, out);
  }
}

bool WindowSystem::DestroyWindow(WindowHandle window) {
  Lock lock(mutex_);
  ThreadQueue& self = QueueOfCaller(lock);
  WindowRecord* record = Find(window);
  if (record == nullptr || record->thread != &self || record->destroying) return false;
  std::vector<WindowRecord*> doomed;
  CollectSubtreeLocked(*record, doomed);
  std::vector<WindowHandle> handles;
  for (WindowRecord* r : doomed) handles.push_back(r->handle);
  KillAllTimersLocked(handles);
  lock.unlock();

  // Records stay while the procedures hear of their end, so that a procedure
  // can still read its window's state in kWmDestroy.
  for (WindowHandle handle : handles) {
    if (WindowThread(handle) == self.id) {
      DispatchMessage(Message{handle, kWmDestroy, 0, 0, CurrentClock().SteadyMilliseconds()});
    } else {
      SendMessage(handle, kWmDestroy);
    }
  }

  lock.lock();
  for (WindowHandle handle : handles) {
    if (WindowRecord* r = Find(handle)) ForgetWindowLocked(*r);
  }
  FlushNotifications(lock);
  return true;
}

void WindowSystem::KillAllTimersLocked(const std::vector<WindowHandle>& windows) {
  for (auto& [os_id, queue] : queues_) {
    std::erase_if(queue->timers, [&](const TimerRecord& timer) {
      return timer.window != kNoWindow &&
             std::find(windows.begin(), windows.end(), timer.window) != windows.end();
    });
  }
}

void WindowSystem::ForgetWindowLocked(WindowRecord& window) {
  const WindowHandle handle = window.handle;
  if (WindowRecord* parent = Find(window.parent)) {
    std::erase(parent->children, handle);
    if (parent->mdi_active == handle) parent->mdi_active = kNoWindow;
  }
  if (WindowRecord* owner = Find(window.owner)) std::erase(owner->owned, handle);
  std::erase(z_order_, handle);
  std::erase_if(window.thread->posted, [&](const Message& m) { return m.window == handle; });
  if (focus_ == handle) {
    focus_ = kNoWindow;
    Notify(NotificationKind::kFocus, kNoWindow);
  }
  if (active_ == handle) {
    active_ = kNoWindow;
    Notify(NotificationKind::kActivation, kNoWindow);
  }
  Notify(NotificationKind::kDestroyed, handle);
  windows_.erase(handle);
}

bool WindowSystem::IsWindow(WindowHandle window) const {
  Lock lock(mutex_);
  return Find(window) != nullptr;
}

std::optional<WindowInfo> WindowSystem::GetWindowInfo(WindowHandle window) const {
  Lock lock(mutex_);
  const WindowRecord* r = Find(window);
  if (r == nullptr) return std::nullopt;
  WindowInfo info;
  info.handle = r->handle;
  info.kind = r->kind;
  info.class_name = r->class_name;
  info.text = r->text;
  info.style = r->style;
  info.ex_style = r->ex_style;
  info.rect = r->rect;
  info.parent = r->parent;
  info.owner = r->owner;
  info.thread = r->thread->id;
  info.control_id = r->control_id;
  info.value = r->value;
  info.check = r->check;
  info.text_limit = r->text_limit;
  info.rows = r->rows;
  info.vertical_scroll = r->vertical_scroll;
  info.vertical_low = r->vertical_low;
  info.vertical_high = r->vertical_high;
  info.horizontal_scroll = r->horizontal_scroll;
  info.enabled = r->enabled;
  info.visible = r->visible;
  info.show_state = r->show_state;
  info.display = r->display;
  info.list_columns = r->list_columns;
  return info;
}

ThreadId WindowSystem::WindowThread(WindowHandle window) const {
  Lock lock(mutex_);
  const WindowRecord* record = Find(window);
  return record == nullptr ? kNoThread : record->thread->id;
}

std::vector<WindowHandle> WindowSystem::Children(WindowHandle window) const {
  Lock lock(mutex_);
  const WindowRecord* record = Find(window);
  return record == nullptr ? std::vector<WindowHandle>{} : record->children;
}

std::vector<WindowHandle> WindowSystem::OwnedWindows(WindowHandle window) const {
  Lock lock(mutex_);
  const WindowRecord* record = Find(window);
  return record == nullptr ? std::vector<WindowHandle>{} : record->owned;
}

std::vector<WindowHandle> WindowSystem::TopLevelWindows() const {
  Lock lock(mutex_);
  return z_order_;
}

WindowHandle WindowSystem::ChildById(WindowHandle parent, int control_id) const {
  Lock lock(mutex_);
  const WindowRecord* record = Find(parent);
  if (record == nullptr) return kNoWindow;
  for (WindowHandle child : record->children) {
    const WindowRecord* c = Find(child);
    if (c != nullptr && c->control_id == control_id) return child;
  }
  return kNoWindow;
}

WindowProc WindowSystem::SubclassWindow(WindowHandle window, WindowProc procedure) {
  Lock lock(mutex_);
  WindowRecord* record = Find(window);
  if (record == nullptr || !procedure) return {};
  WindowProc previous = *record->procedure;
  record->procedure = std::make_shared<const WindowProc>(std::move(procedure));
  return previous;
}

void WindowSystem::SetUserData(WindowHandle window, std::intptr_t data) {
  Lock lock(mutex_);
  if (WindowRecord* record = Find(window)) record->user_data = data;
}

std::intptr_t WindowSystem::GetUserData(WindowHandle window) const {
  Lock lock(mutex_);
  const WindowRecord* record = Find(window);
  return record == nullptr ? 0 : record->user_data;
}

std::intptr_t WindowSystem::DefaultWindowProc(WindowSystem& system, const Message& message) {
  switch (message.message) {
    case kWmClose:
      system.DestroyWindow(message.window);
      return 0;
    case kWmSetText:
      // lparam: a const char* to a NUL-terminated text.
      if (message.lparam == 0) return 0;
      return system.SetText(message.window, reinterpret_cast<const char*>(message.lparam)) ? 1 : 0;
    case kWmQueryEndSession:
      return 1;
    case kWmSysCommand:
      return DefaultSystemCommand(system, message);
    default:
      return 0;
  }
}

}  // namespace vaultrix::platform
