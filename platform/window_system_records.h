// The window system's internal records: what a window, a thread's queue, a
// sent message, a timer, a semaphore and a waited-on dialog hold. Only the
// window system's own .cpp files include this. Every field is guarded by
// WindowSystem::mutex_ unless its comment says otherwise.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/window_system.h"

namespace vaultrix::platform {

struct WindowSystem::SentMessage {
  Message message;
  ThreadQueue* sender = nullptr;                 // null: nobody waits (SendMessageCallback)
  std::function<void(std::intptr_t)> done;       // called by the answering thread
  bool answered = false;
  std::intptr_t result = 0;
};

struct WindowSystem::TimerRecord {
  WindowHandle window = kNoWindow;  // kNoWindow: a thread timer
  std::uintptr_t id = 0;
  std::int64_t period_ms = 1;
  std::int64_t due_ms = 0;  // platform steady clock
};

struct WindowSystem::ThreadQueue {
  ThreadId id = kNoThread;
  std::thread::id os_id;
  // The one condition this thread ever waits on inside the window system.
  std::condition_variable wake;
  std::deque<Message> posted;  // posted and input messages, oldest first
  std::deque<std::shared_ptr<SentMessage>> sent;
  bool quit = false;
  int exit_code = 0;
  std::vector<TimerRecord> timers;
  bool semaphore_granted = false;  // set by ReleaseSemaphore's hand-over
  // What the thread is doing, for WaitUntilIdle: waiting for a message, for
  // a dialog's answer, or in a pause that is not over counts as idle,
  // anything else as busy.
  enum class Activity { kBusy, kWaitingForMessage, kWaitingForDialog, kPausing };
  Activity activity = Activity::kBusy;
  std::int64_t pause_until = 0;  // platform steady clock, while kPausing
};

struct WindowSystem::WindowRecord {
  WindowHandle handle = kNoWindow;
  WindowKind kind = WindowKind::kPlain;
  std::string class_name;
  std::string text;
  std::uint32_t style = 0;
  std::uint32_t ex_style = 0;
  Rect rect;
  WindowHandle parent = kNoWindow;
  WindowHandle owner = kNoWindow;
  ThreadQueue* thread = nullptr;
  int control_id = 0;
  // Shared so that a caller can run the procedure after releasing mutex_
  // while a subclassing call replaces it.
  std::shared_ptr<const WindowProc> procedure;
  std::intptr_t user_data = 0;
  std::int64_t value = 0;
  int check = 0;
  std::vector<std::string> rows;
  int vertical_scroll = 0;
  int horizontal_scroll = 0;
  int vertical_low = 0;
  int vertical_high = 0;
  bool enabled = true;
  bool visible = false;
  ShowState show_state = ShowState::kNormal;
  std::vector<ListColumnShape> list_columns;
  std::size_t text_limit = 0;
  std::vector<WindowHandle> children;  // creation order; an MDI client's: topmost first
  std::vector<WindowHandle> owned;
  WindowHandle mdi_active = kNoWindow;  // an MDI client's active child
  bool destroying = false;
  DisplayAttributes display;
};

struct WindowSystem::Semaphore {
  int count = 0;
  int maximum = 1;
  std::deque<ThreadQueue*> waiters;  // arrival order
};

struct WindowSystem::PendingDialog {
  DialogRequest request;
  ThreadQueue* waiter = nullptr;
  bool answered = false;
  DialogAnswer answer;
};

}  // namespace vaultrix::platform
