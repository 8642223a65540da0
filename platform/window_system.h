// The window system: the platform's stand-in for the desktop's windowing
// service. Runtime threads call it like an operating-system API; a display
// driver follows it through notifications and feeds user input into it.
//
// Who owns what
// - The window system owns every window (handle, procedure, parent, owner,
//   style, geometry in dialog units, and the state the controls keep here:
//   text, value, check, list rows, scroll position, enabled, visible), every
//   thread's message queue, the timers, focus and activation, the keyboard
//   state, the clipboard, the semaphores and the dialogs being waited on.
// - A thread gets its queue on its first call. A window belongs to the thread
//   that created it; only that thread may destroy it, and its procedure runs
//   on that thread (cross-thread SendMessage hands the call to the owner).
// - The display driver owns only its rendering; see display_driver.h.
//
// Locks
// - mutex_ guards all of the state above. It is never held while a window
//   procedure, the driver, a clock listener or a dialog answerer runs, so a
//   procedure may call back into the window system freely.
// - mutex_ is separate from the runtime lock (runtime_lock.h), which is built
//   on this class's semaphores. A thread blocked here (GetMessage,
//   SendMessage, MsgWaitForSemaphore, a dialog) always answers messages that
//   other threads send to its windows, so two threads sending to each other
//   cannot deadlock.
//
// Message order
// - Posted and input messages share one first-in first-out queue per thread,
//   so posted messages keep their order with each other and with input.
// - GetMessage first answers sent messages, then takes the oldest posted or
//   input message, then the quit request, then at most one kWmTimer per
//   elapsed timer (several elapsed periods give one message).
// - Focus, activation, move and size changes are posted to the windows'
//   threads rather than sent, so neither the driver nor a runtime thread
//   ever waits on another thread to change them.
//
// Timers and timeouts read the platform clock (clock.h); a simulated clock
// wakes waiting threads when it moves.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstddef>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "platform/display_driver.h"
#include "platform/message_box.h"
#include "platform/window_messages.h"

namespace vaultrix::platform {

class RuntimeLock;

// What a window is to the window system.
enum class WindowKind : int {
  kPlain,      // top-level window (with an owner when it is a dialog)
  kFrame,      // the MDI frame
  kMdiClient,  // the frame's client area that holds the MDI children
  kMdiChild,
  kControl,  // a child window: a control of its parent
};

// A rectangle in dialog units, relative to the parent's client area (the
// screen for top-level windows).
struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

struct WindowCreateParams {
  WindowKind kind = WindowKind::kPlain;
  std::string class_name;  // what the driver shows ("BUTTON", "EDIT", "FRAME", ...)
  std::string text;
  std::uint32_t style = 0;
  std::uint32_t ex_style = 0;
  Rect rect;
  WindowHandle parent = kNoWindow;  // required for kControl, kMdiClient, kMdiChild
  WindowHandle owner = kNoWindow;   // top-level windows only
  int control_id = 0;
  WindowProc procedure;  // empty: DefaultWindowProc
};

enum class ShowState : int { kNormal, kMinimized, kMaximized };

// A list's column as a driver lays it out: its width in dialog units of the
// list's font (0 or less: not shown) and whether the user may drag it wider
// or narrower.
struct ListColumnShape {
  int width = 0;
  bool resizable = false;
  friend bool operator==(const ListColumnShape&, const ListColumnShape&) = default;
};

// What a window or control shows beyond its state, published by the engine
// from the window's description when it opens (window_classes.h says which
// class reads which field). Drivers only read it.
struct DisplayAttributes {
  std::string font_face;  // empty: the standard dialog font
  int font_points = 0;
  int font_weight = -1;  // -1 default, 400 normal, 700 bold
  std::string icon;      // icon resource name ("ADS_ICO"), type "ICON"
  std::string image;     // image resource name, type "IMAGE"
  bool modal = false;
  std::string tooltip;
  std::vector<int> zone_widths;  // status bars: dialog units, -1 stretches
  // Key codes (masked with 0x7FF) that the window's key table takes: the
  // driver keeps them from the widgets.
  std::vector<std::int32_t> claimed_keys;
  int action = 0;       // menus and items: standard action
  std::int32_t accelerator = 0;  // menus and items: key code shown
  bool separator = false;        // items
  bool default_button = false;   // buttons
  double low = 0, high = 0, step = 0;  // spin range, progress bound
  std::vector<std::string> header_lines;  // lists
  friend bool operator==(const DisplayAttributes&, const DisplayAttributes&) = default;
};

// A copy of a window's state, for drivers, dumps and tests.
struct WindowInfo {
  WindowHandle handle = kNoWindow;
  WindowKind kind = WindowKind::kPlain;
  std::string class_name;
  std::string text;
  std::uint32_t style = 0;
  std::uint32_t ex_style = 0;
  Rect rect;
  WindowHandle parent = kNoWindow;
  WindowHandle owner = kNoWindow;
  ThreadId thread = kNoThread;
  int control_id = 0;
  std::int64_t value = 0;
  int check = 0;
  std::vector<std::string> rows;
  int vertical_scroll = 0;
  int horizontal_scroll = 0;
  // The vertical scroll bar's range; high <= low: no bar is shown.
  int vertical_low = 0;
  int vertical_high = 0;
  bool enabled = true;
  bool visible = false;
  ShowState show_state = ShowState::kNormal;
  DisplayAttributes display;
  std::vector<ListColumnShape> list_columns;  // lists only
  std::size_t text_limit = 0;                  // entries: see SetTextLimit
};

using SemaphoreHandle = std::uint32_t;

// Flags of PeekMessage.
inline constexpr int kPmNoRemove = 0;
inline constexpr int kPmRemove = 1;

class WindowSystem {
 public:
  WindowSystem();
  ~WindowSystem();
  WindowSystem(const WindowSystem&) = delete;
  WindowSystem& operator=(const WindowSystem&) = delete;

  // ---- Threads (thread_queue.cpp) ----
  // The calling thread's id; makes its queue on first use.
  ThreadId CurrentThreadId();
  // Ends the calling thread's use of the window system: destroys the windows
  // it still owns, answers 0 to messages still sent to it, drops its queue.
  // A thread that used the window system calls this before it exits.
  void EndThread();

  // ---- Windows (windows.cpp) ----
  // Creates a window owned by the calling thread and calls its procedure with
  // kWmCreate. Answers kNoWindow when the parent or owner is not a window,
  // or a procedure answered -1 to kWmCreate.
  [[nodiscard]] WindowHandle CreateWindow(const WindowCreateParams& params);
  // Destroys a window of the calling thread with its children and the
  // windows it owns (kWmDestroy to each, innermost last). False when the
  // handle names no window or the window belongs to another thread.
  bool DestroyWindow(WindowHandle window);
  [[nodiscard]] bool IsWindow(WindowHandle window) const;
  [[nodiscard]] std::optional<WindowInfo> GetWindowInfo(WindowHandle window) const;
  [[nodiscard]] ThreadId WindowThread(WindowHandle window) const;
  // Children in creation order.
  [[nodiscard]] std::vector<WindowHandle> Children(WindowHandle window) const;
  // Windows whose owner is `window`.
  [[nodiscard]] std::vector<WindowHandle> OwnedWindows(WindowHandle window) const;
  // Top-level windows, topmost first.
  [[nodiscard]] std::vector<WindowHandle> TopLevelWindows() const;
  [[nodiscard]] WindowHandle ChildById(WindowHandle parent, int control_id) const;
  // Replaces the window's procedure and answers the one it replaced; the new
  // procedure chains by calling the old one. Empty when no window.
  WindowProc SubclassWindow(WindowHandle window, WindowProc procedure);
  // One pointer-sized value the window's owner keeps with the window.
  void SetUserData(WindowHandle window, std::intptr_t data);
  [[nodiscard]] std::intptr_t GetUserData(WindowHandle window) const;
  // The behaviour of windows that leave a message to the system: kWmClose
  // destroys the window, kWmSetText and kWmGetText reach its text, the
  // system command kScClose posts the window kWmClose.
  static std::intptr_t DefaultWindowProc(WindowSystem& system, const Message& message);

  // ---- Control state (window_state.cpp); each change notifies the driver ----
  // A text longer than the window's text limit is cut to it at a UTF-8
  // character boundary.
  bool SetText(WindowHandle window, std::string text);
  [[nodiscard]] std::string GetText(WindowHandle window) const;
  // The most bytes an entry's text may hold (its field's size), so that
  // typing stops when the next character would not fit; 0: no limit.
  bool SetTextLimit(WindowHandle window, std::size_t bytes);
  bool SetValue(WindowHandle window, std::int64_t value);
  bool SetCheck(WindowHandle window, int check);
  bool SetRows(WindowHandle window, std::vector<std::string> rows);
  bool SetScroll(WindowHandle window, int vertical, int horizontal);
  // The vertical scroll bar's range; high <= low hides the bar.
  bool SetScrollRange(WindowHandle window, int low, int high);
  // A list's columns, one per column of its rows' cells.
  bool SetListColumns(WindowHandle window, std::vector<ListColumnShape> columns);
  bool EnableWindow(WindowHandle window, bool enabled);
  [[nodiscard]] bool IsWindowEnabled(WindowHandle window) const;
  // kSw* commands: hides, shows, minimizes, maximizes or restores. A change of
  // show state posts kWmSize with kSizeRestored/Minimized/Maximized.
  bool ShowWindow(WindowHandle window, int command);
  [[nodiscard]] bool IsWindowVisible(WindowHandle window) const;
  // Moves and sizes; posts kWmMove and kWmSize to the window's thread.
  bool MoveWindow(WindowHandle window, const Rect& rect);
  bool SetStyle(WindowHandle window, std::uint32_t style);
  bool BringWindowToTop(WindowHandle window);
  // What the window shows beyond its state (window_display.cpp).
  bool SetDisplayAttributes(WindowHandle window, DisplayAttributes display);
  // The key codes the window's key table takes (alert keys, accelerators).
  bool SetClaimedKeys(WindowHandle window, std::vector<std::int32_t> key_codes);
  [[nodiscard]] bool ClaimsKey(WindowHandle window, std::int32_t key_code) const;
  // The window's standard actions that its procedure hears of as
  // kWmSysCommand: close, minimize, maximize and restore.
  static std::intptr_t DefaultSystemCommand(WindowSystem& system, const Message& message);

  // ---- Messages (thread_queue.cpp, send.cpp) ----
  // Posts to the window's thread. False when there is no such window.
  bool PostMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wparam = 0,
                   std::intptr_t lparam = 0);
  bool PostThreadMessage(ThreadId thread, std::uint32_t message, std::uintptr_t wparam = 0,
                         std::intptr_t lparam = 0);
  // Asks the calling thread's GetMessage to answer false once the queue
  // holds no more posted messages.
  void PostQuitMessage(int exit_code);
  // Waits for the next message of the calling thread (answering sent ones
  // meanwhile). False for kWmQuit (exit code in wparam).
  bool GetMessage(Message& message);
  // Like GetMessage without waiting; false when nothing is there. With
  // kPmNoRemove the message stays queued (sent messages are answered anyway).
  bool PeekMessage(Message& message, int flags);
  // Waits until the calling thread has a message to take.
  void WaitMessage();
  // Calls the procedure of message.window; 0 when the window is gone.
  std::intptr_t DispatchMessage(const Message& message);
  // Calls the window's procedure on its own thread and waits for the
  // answer, answering messages sent to the calling thread meanwhile. 0 when
  // there is no window or its thread ended before answering.
  std::intptr_t SendMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wparam = 0,
                            std::intptr_t lparam = 0);
  // Like SendMessage without waiting: the window's thread calls the procedure
  // and then `done` with its answer (0 when the window or thread ends first).
  // For the driver, which must never wait on a runtime thread.
  bool SendMessageCallback(WindowHandle window, std::uint32_t message, std::uintptr_t wparam,
                           std::intptr_t lparam, std::function<void(std::intptr_t)> done);
  // Answers every message sent to the calling thread; false when none was.
  bool AnswerSentMessages();
  // Waits until every thread but the caller waits for a message (with none
  // to take and no timer due) or for a dialog's answer, and answers true;
  // false when that did not happen within `limit` of real time (a hang
  // guard for scripts and tests, not a measure of anything). A thread that
  // used the window system counts as busy until it calls EndThread.
  bool WaitUntilIdle(std::chrono::milliseconds limit);
  // Number of posted and input messages waiting in a thread's queue.
  [[nodiscard]] std::size_t PendingMessages(ThreadId thread) const;

  // ---- Timers (timers.cpp) ----
  // Starts or restarts timer `id` of the window (of the calling thread when
  // window is kNoWindow). A period below 1 ms counts as 1 ms. False when no window.
  bool SetTimer(WindowHandle window, std::uintptr_t id, std::int64_t period_ms);
  bool KillTimer(WindowHandle window, std::uintptr_t id);

  // ---- Focus, activation and keyboard (focus_input.cpp) ----
  // Moves the focus; posts kWmKillFocus to the window losing it and
  // kWmSetFocus to the one getting it, and activates the top-level window
  // (or MDI child) that holds the new focus. Answers the previous focus.
  WindowHandle SetFocus(WindowHandle window);
  [[nodiscard]] WindowHandle GetFocus() const;
  // Activates a top-level window; posts kWmActivate to both windows.
  WindowHandle SetActiveWindow(WindowHandle window);
  [[nodiscard]] WindowHandle GetActiveWindow() const;
  // Activates an MDI child inside its client; posts kWmMdiActivate (wparam
  // the child losing, lparam the child getting activation) to both.
  bool MdiActivate(WindowHandle child);
  [[nodiscard]] WindowHandle MdiGetActive(WindowHandle client) const;
  // High bit (0x8000): key down. Low bit: toggled (lock keys: on).
  [[nodiscard]] std::uint16_t GetKeyState(int virtual_key) const;
  void SetLockKey(int virtual_key, bool on);
  // Input as a driver reports it. Key messages go to the focus window, else
  // the active window; the key state is updated first and a key-down of
  // Caps, Num or Scroll Lock toggles it. `character` (0: none) follows a
  // key-down as kWmChar.
  void InjectKey(int virtual_key, bool down, char character = 0);
  // A mouse message (kWmLButtonDown ...) at client pixels of a window.
  // `extra` is added to wparam above the kMk* bits (a list's row, see
  // window_classes.h).
  void InjectMouse(WindowHandle window, std::uint32_t message, int x, int y,
                   std::uintptr_t extra = 0);
  // Any other input message, posted to the window's thread as input.
  bool InjectInput(WindowHandle window, std::uint32_t message, std::uintptr_t wparam,
                   std::intptr_t lparam);

  // ---- Clipboard (clipboard.cpp) ----
  // Text held is wiped from memory when replaced or emptied.
  void SetClipboardText(std::string text);
  [[nodiscard]] std::optional<std::string> GetClipboardText() const;
  void EmptyClipboard();
  // A text the program puts there itself (a copy from a field, a filtered or
  // cleared clipboard); every such path uses this one. The change is
  // remembered, so that the program can take its text away when it ends.
  void SetClipboardTextFromProgram(std::string text);
  // Empties the clipboard when it still holds what the program put there
  // last (nothing changed it since); true when it did. Anything else on the
  // clipboard is left alone.
  bool EmptyProgramClipboard();
  // Grows by one on every change of the clipboard's contents.
  [[nodiscard]] std::uint32_t ClipboardSequenceNumber() const;

  // ---- Dialogs (dialogs.cpp) ----
  // Asks the driver and waits for the answer, answering sent messages
  // meanwhile; the runtime lock, when attached and held, is given up for the
  // wait (modal section). Without a driver the message box goes to the
  // platform's message box handler and a file dialog is cancelled.
  [[nodiscard]] MessageBoxAnswer MessageBox(WindowHandle owner, const MessageBoxRequest& request);
  [[nodiscard]] FileDialogResult FileDialog(WindowHandle owner, const FileDialogRequest& request);
  // The printer set-up dialog; without a driver it is cancelled.
  [[nodiscard]] PrintSetupResult PrintSetup(WindowHandle owner);
  // A popup menu; answers the chosen item (see PopupRequest), 0 without a
  // driver.
  [[nodiscard]] int PopupMenu(WindowHandle owner, const PopupRequest& request);
  // Hands the help document to the driver, without waiting; false when no
  // driver is attached.
  bool ShowHelp(const std::string& document, const std::string& keyword);
  // The driver's answer; false when no such dialog is waiting.
  bool AnswerDialog(DialogId dialog, const DialogAnswer& answer);
  [[nodiscard]] std::vector<DialogRequest> OpenDialogs() const;

  // ---- Driver and notifications (notifications.cpp) ----
  // Attaches a driver (nullptr detaches). Notifications are kept only while
  // a driver is attached.
  void AttachDriver(DisplayDriver* driver);
  // Moves out every notification queued so far, oldest first.
  [[nodiscard]] std::vector<Notification> TakeNotifications();

  // ---- Semaphores (semaphores.cpp) ----
  [[nodiscard]] SemaphoreHandle CreateSemaphore(int initial, int maximum);
  // Adds one to the count, or hands it straight to the longest waiter. False
  // when the count is at its maximum.
  bool ReleaseSemaphore(SemaphoreHandle semaphore);
  // Waits until the semaphore's count can be taken, answering messages sent
  // to the calling thread meanwhile. Waiters are served in arrival order.
  void MsgWaitForSemaphore(SemaphoreHandle semaphore);
  [[nodiscard]] bool TryWaitSemaphore(SemaphoreHandle semaphore);

  // The runtime lock that dialogs give up while they wait (runtime_lock.h).
  void AttachRuntimeLock(RuntimeLock* lock);
  // Waits `milliseconds` on the platform clock, answering messages sent to
  // the calling thread meanwhile and giving the runtime lock up (when
  // attached and held) as a dialog does, so that other threads run. Counts
  // as idle for WaitUntilIdle until the time is up (pause.cpp).
  void Pause(std::int64_t milliseconds);

  struct ThreadQueue;
  struct WindowRecord;
  struct SentMessage;
  struct TimerRecord;
  struct Semaphore;
  struct PendingDialog;

 private:
  using Lock = std::unique_lock<std::mutex>;

  // These take mutex_ themselves.
  // Changes one field of a window and notifies the driver; false when no window.
  template <typename Change>
  bool ChangeWindow(WindowHandle window, NotificationKind kind, Change change);
  void OnClockMoved();
  DialogAnswer WaitForDialog(DialogRequest request);

  // REQUIRES: mutex_ held (every helper below).
  ThreadQueue& QueueOfCaller(Lock& lock);
  ThreadQueue* QueueById(ThreadId thread) const;
  WindowRecord* Find(WindowHandle window) const;
  void PostLocked(ThreadQueue& queue, const Message& message);
  void Notify(NotificationKind kind, WindowHandle window, DialogId dialog = 0);
  // Tells the driver that notifications are waiting. Releases mutex_ (and
  // leaves it released) when it has to call the driver.
  void FlushNotifications(Lock& lock);
  bool TakePostedLocked(ThreadQueue& queue, Message& message, bool remove);
  bool TakeTimerLocked(ThreadQueue& queue, Message& message, bool remove);
  std::int64_t NextTimerDueLocked(const ThreadQueue& queue) const;
  // Answers the calling thread's sent messages, releasing mutex_ around each
  // procedure call. Answers whether any was.
  bool AnswerSentLocked(ThreadQueue& queue, Lock& lock);
  // Waits on the calling thread's condition until woken or the next timer is
  // due. REQUIRES: lock holds mutex_.
  void WaitLocked(ThreadQueue& queue, Lock& lock);
  void WakeLocked(ThreadQueue& queue);
  bool IdleLocked(const ThreadQueue* except) const;
  void CollectSubtreeLocked(WindowRecord& window, std::vector<WindowRecord*>& out);
  void ForgetWindowLocked(WindowRecord& window);
  void KillAllTimersLocked(const std::vector<WindowHandle>& windows);
  // Answers 0 to everything still sent to a thread that ends; callbacks to
  // run once mutex_ is released are added to `callbacks`.
  void FailSentLocked(ThreadQueue& queue,
                      std::vector<std::function<void(std::intptr_t)>>& callbacks);
  void ActivateLocked(WindowHandle window);
  bool MdiActivateLocked(WindowRecord& child);

  mutable std::mutex mutex_;
  std::condition_variable idle_changed_;  // a thread began to wait
  std::unordered_map<std::thread::id, std::unique_ptr<ThreadQueue>> queues_;
  std::unordered_map<ThreadId, ThreadQueue*> queues_by_id_;
  ThreadId next_thread_id_ = 1;
  std::unordered_map<WindowHandle, std::unique_ptr<WindowRecord>> windows_;
  WindowHandle next_handle_ = 0x100;
  std::vector<WindowHandle> z_order_;  // top-level windows, topmost first
  WindowHandle focus_ = kNoWindow;
  WindowHandle active_ = kNoWindow;
  std::map<int, bool> keys_down_;
  std::map<int, bool> keys_toggled_;
  std::optional<std::string> clipboard_;
  std::uint32_t clipboard_sequence_ = 0;
  std::optional<std::uint32_t> program_clipboard_;  // the sequence of the program's last text
  std::map<SemaphoreHandle, std::unique_ptr<Semaphore>> semaphores_;
  SemaphoreHandle next_semaphore_ = 1;
  std::map<DialogId, PendingDialog*> dialogs_;
  DialogId next_dialog_ = 1;
  DisplayDriver* driver_ = nullptr;
  std::vector<Notification> notifications_;
  bool driver_wake_pending_ = false;
  RuntimeLock* runtime_lock_ = nullptr;
  int clock_listener_ = 0;
};

}  // namespace vaultrix::platform
