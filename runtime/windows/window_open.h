// Opening and closing the windows of procedures, and running their ACCEPT
// loops: the APPLICATION frame (with its MDI client, menu, toolbar and status
// bar), MDI children, and plain windows with owners; the stack of windows of
// each thread; close requests and the close-down of owned windows.
//
// Locks: everything here REQUIRES the runtime lock (event_engine.h). Accept
// gives it up only while it waits for the next message.
#pragma once

#include "runtime/windows/event_engine.h"
#include "runtime/windows/window_resource.h"

namespace vaultrix::windows {

// Runtime error ids of opening windows and running loops.
inline constexpr int kErrorApplicationActive = 526;
inline constexpr int kErrorApplicationModal = 527;
inline constexpr int kErrorApplicationCreate = 528;
inline constexpr int kErrorWindowCreate = 529;
inline constexpr int kErrorMdiNoApplication = 530;
inline constexpr int kErrorMdiModal = 531;
inline constexpr int kErrorMdiOnApplicationThread = 532;
inline constexpr int kErrorMdiCreate = 533;
inline constexpr int kErrorAlreadyOpen = 535;
inline constexpr int kErrorNotOpen = 536;
inline constexpr int kErrorAcceptWithoutWindow = 537;
inline constexpr int kErrorInternal01 = 501;

// The timer id the engine uses for a window's description timer.
inline constexpr std::uintptr_t kWindowTimerId = 1;

// Opens the window on the calling thread (engine.CurrentThread()) according
// to its kind; a plain window's owner is `parent` when given. Misuse and
// failures stop the program with the runtime errors above; "EVENT:OpenWindow"
// is the first event queued on an opened window.
void WindowOpen(EventEngine& engine, WindowResource& window, WindowResource* parent = nullptr);

// Closes a window: one that is looping gets a close request and closes when
// its loop ends (its thread is woken when it is another thread); one that is
// its thread's current window and not looping is destroyed at once.
void WindowClose(EventEngine& engine, WindowObject& window);

// Destroys an open window now: its timer, controls and menus go, it leaves
// its owner's list, its previous window becomes the thread's current window
// again and the modal count drops when the window raised it.
void DestroyWindowObject(EventEngine& engine, WindowObject& window);

// The end of a runtime thread: closes every window still on its stack from
// the innermost outward and forgets the thread as the focus thread.
void EndThreadWindows(EventEngine& engine, int thread);

// ACCEPT on the calling thread's current window: calls `body` once per
// event until the loop ends, then closes the window when a close request
// marked it. No current window is runtime error 537.
void Accept(EventEngine& engine, LoopBody body);

// One serving of a window's queue (focus between threads, queued events,
// the accept-all walk, close requests). Answers false when the loop is over.
[[nodiscard]] bool ServeQueue(EventEngine& engine, WindowObject& window);

// Moves the focus to a control of the calling thread's current window; the
// control raises "EVENT:Selected" when the focus arrives. No such control:
// nothing happens.
void SelectControl(EventEngine& engine, int control);

// Starts the accept-all walk over the window's controls: each control that
// takes a value gets "EVENT:Accepted" in turn, and "EVENT:Completed" follows
// the last; a control that cannot be accepted stops the walk and is selected.
void StartAcceptAll(WindowObject& window);
// The next record of the walk, or null when it is over or stopped.
[[nodiscard]] std::unique_ptr<EventRecord> NextOfAcceptAll(EventEngine& engine,
                                                           WindowObject& window);

// Keyboard translation of one message before it is dispatched: a typed
// character becomes the thread's last key character; a key-down or a mouse
// press its last key code, with the modifier and lock bits of the moment it
// was queued (the keyboard's present state for a message that carries none).
void TranslateKeyboard(EventEngine& engine, int thread, const platform::Message& message);

// The window procedure the engine gives every window it opens: it turns the
// window system's messages into queued events.
[[nodiscard]] platform::WindowProc EngineWindowProc(EventEngine& engine, WindowObject& window);

}  // namespace vaultrix::windows
