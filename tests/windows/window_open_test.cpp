// Opening and closing windows from their descriptions, and the ACCEPT loop:
// the frame and what it builds, the opening errors, the thread's stack of
// windows and the modal count, "EVENT:OpenWindow" first, CloseWindow with
// and without SkipDefault, and description timers coalesced while the body
// is busy.
#include "runtime/windows/window_open.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/message_box.h"
#include "platform/resources.h"
#include "runtime/support/runtime_error.h"
#include "runtime/windows/ctlentry.h"
#include "tests/windows/window_test_support.h"

namespace vaultrix::windows {
namespace {

using platform::WindowInfo;

class WindowOpenTest : public EngineFixture {};

// The focus events that the first activation of a thread's window brings;
// the tests of this file look past them.
bool IsFocusEvent(int event) { return event == kEventGainFocus || event == kEventLoseFocus; }

TEST_F(WindowOpenTest, FrameBuildsItsClientMenuToolbarAndStatusBar) {
  WindowResource& frame = Make(WindowKind::kApplication, "MAIN$APPFRAME");
  WindowOpen(engine_, frame);
  const WindowObject& object = frame.object();
  ASSERT_NE(object.handle, platform::kNoWindow);
  EXPECT_EQ(engine_.Frame(), &object);
  EXPECT_EQ(engine_.Thread(1)->current_window, &object);
  EXPECT_EQ(system_.GetText(object.handle), "Vaultrix");

  std::vector<std::string> classes;
  platform::WindowHandle status = platform::kNoWindow;
  for (platform::WindowHandle child : system_.Children(object.handle)) {
    const std::optional<WindowInfo> info = system_.GetWindowInfo(child);
    classes.push_back(info->class_name);
    if (info->class_name == "STATUSBAR") status = child;
  }
  EXPECT_EQ(classes, (std::vector<std::string>{"MDICLIENT", "MENUBAR", "TOOLBAR", "STATUSBAR"}));
  EXPECT_EQ(system_.GetWindowInfo(status)->rows.size(), 2u) << "one row per status zone";
  EXPECT_EQ(object.mdi_client, system_.Children(object.handle)[0]);
  // Menu items and toolbar controls are the window's controls too.
  ASSERT_NE(object.FindControl(-10), nullptr);
  EXPECT_EQ(system_.GetText(object.FindControl(-10)->handle), "E&xit");
  ASSERT_NE(object.FindControl(-21), nullptr);
  EXPECT_EQ(system_.GetText(object.FindControl(-21)->handle), "Passwords");
  ASSERT_EQ(object.events.Size(), 1u);
  EXPECT_EQ(object.events.At(0).Event(), kEventOpenWindow);

  WindowResource& second = Make(WindowKind::kApplication, "MAIN$APPFRAME");
  ExpectRuntimeError([&] { WindowOpen(engine_, second); },
                     "Unable to open APPLICATION (APPLICATION already active)");
  ExpectRuntimeError([&] { WindowOpen(engine_, frame); }, "Window is already open");
}

TEST_F(WindowOpenTest, MdiChildrenNeedAFrameOnAnotherThreadAndNoModalWindow) {
  WindowResource& child = Make(WindowKind::kMdiWindow, "LIST$WINDOW");
  ExpectRuntimeError([&] { WindowOpen(engine_, child); },
                     "Unable to open MDI window (No APPLICATION active)");
  WindowResource& frame = Make(WindowKind::kApplication, "MAIN$APPFRAME");
  WindowOpen(engine_, frame);
  ExpectRuntimeError([&] { WindowOpen(engine_, child); },
                     "Unable to open MDI window on APPLICATION's thread");

  WindowResource& dialog = Make(WindowKind::kPlainWindow, "ASK$WINDOW");  // modal
  WindowOpen(engine_, dialog);
  EXPECT_EQ(engine_.ModalCount(), 1);
  ExpectRuntimeError([&] { WindowOpen(engine_, child); },
                     "Unable to open MDI window (system is MODAL)");
  WindowResource& another = Make(WindowKind::kApplication, "MAIN$APPFRAME");
  ExpectRuntimeError([&] { WindowOpen(engine_, another); },
                     "Unable to open APPLICATION (APPLICATION already active)");
  WindowClose(engine_, dialog.object());
  EXPECT_EQ(engine_.ModalCount(), 0);

  // A frame that is closing takes no more children.
  frame.object().close_state = CloseState::kRequested;
  engine_.SetCurrentThread(2);
  ExpectRuntimeError([&] { WindowOpen(engine_, child); },
                     "Unable to open MDI window (No APPLICATION active)");
  frame.object().close_state = CloseState::kNone;
  WindowOpen(engine_, child);
  EXPECT_EQ(child.object().owner, &frame.object());
  EXPECT_EQ(system_.GetWindowInfo(child.object().handle)->parent, frame.object().mdi_client);
  EXPECT_EQ(frame.object().owned, std::vector<WindowObject*>{&child.object()});
  EXPECT_EQ(engine_.Thread(2)->current_window, &child.object());
  EndThreadWindows(engine_, 2);
  EXPECT_TRUE(frame.object().owned.empty());
  EXPECT_EQ(child.object().handle, platform::kNoWindow);
}

TEST_F(WindowOpenTest, APlainAPPLICATIONWhileModalIsRefused) {
  WindowResource& dialog = Make(WindowKind::kPlainWindow, "ASK$WINDOW");
  WindowOpen(engine_, dialog);
  WindowResource& frame = Make(WindowKind::kApplication, "MAIN$APPFRAME");
  ExpectRuntimeError([&] { WindowOpen(engine_, frame); },
                     "Unable to open APPLICATION (system is MODAL)");
  WindowResource& missing = Make(WindowKind::kPlainWindow, "NOSUCH$WINDOW");
  ExpectRuntimeError([&] { WindowOpen(engine_, missing); }, "Unable to open WINDOW");
}

TEST_F(WindowOpenTest, WindowsStackOnTheirThreadAndCloseFromTheTopDown) {
  WindowResource& frame = Make(WindowKind::kApplication, "MAIN$APPFRAME");
  WindowOpen(engine_, frame);
  WindowResource& list = Make(WindowKind::kPlainWindow, "LIST$WINDOW");
  WindowOpen(engine_, list);
  engine_.Thread(1)->target_window = &list.object();
  WindowResource& ask = Make(WindowKind::kPlainWindow, "ASK$WINDOW");
  WindowOpen(engine_, ask);
  EXPECT_EQ(engine_.Thread(1)->target_window, nullptr) << "opening resets the target";
  EXPECT_EQ(list.object().owner, &frame.object());
  EXPECT_EQ(ask.object().owner, &frame.object()) << "the parent window's owner";
  EXPECT_EQ(system_.GetWindowInfo(ask.object().handle)->owner, list.object().handle);
  EXPECT_EQ(ask.object().previous, &list.object());
  EXPECT_EQ(engine_.ModalCount(), 1);

  // A window opened while the system is MODAL raises the count too.
  WindowResource& nested = Make(WindowKind::kPlainWindow, "LIST$WINDOW");
  WindowOpen(engine_, nested, &ask);
  EXPECT_EQ(nested.object().owner, &ask.object());
  EXPECT_EQ(engine_.ModalCount(), 2);

  // Closing a window lower on the stack closes everything above it.
  WindowClose(engine_, list.object());
  EXPECT_EQ(nested.object().handle, platform::kNoWindow);
  EXPECT_EQ(ask.object().handle, platform::kNoWindow);
  EXPECT_EQ(list.object().handle, platform::kNoWindow);
  EXPECT_EQ(engine_.ModalCount(), 0);
  EXPECT_EQ(engine_.Thread(1)->current_window, &frame.object());
  EXPECT_TRUE(frame.object().owned.empty());

  // A closed window opens again.
  WindowOpen(engine_, list);
  EXPECT_EQ(list.object().events.Size(), 1u);
  EndThreadWindows(engine_, 1);
  EXPECT_EQ(engine_.Frame(), nullptr);
  EXPECT_EQ(engine_.Thread(1)->current_window, nullptr);
}

TEST_F(WindowOpenTest, ControlsAreBuiltInsideTheirContainersWithTheirUseVariables) {
  std::int32_t skip = 0, hide = 0, copies = 0;
  WindowResource& options = Make(WindowKind::kPlainWindow, "SETUP$WINDOW", {&skip, &hide, &copies});
  WindowOpen(engine_, options);
  const WindowObject& object = options.object();
  ASSERT_EQ(object.controls.size(), 6u);
  const ControlObject* group = object.FindControl(2);
  const ControlObject* hide_box = object.FindControl(3);
  ASSERT_NE(hide_box, nullptr);
  EXPECT_EQ(system_.GetWindowInfo(hide_box->handle)->parent, group->handle);
  EXPECT_EQ(system_.GetWindowInfo(hide_box->handle)->class_name, "CHECK");
  EXPECT_EQ(system_.GetWindowInfo(object.FindControl(6)->handle)->class_name, "BUTTON");
  EXPECT_EQ(options.view().controls[2].use_address, &hide);
  EXPECT_EQ(system_.GetWindowInfo(object.handle)->rect, (platform::Rect{0, 0, 180, 120}));
}

TEST_F(WindowOpenTest, AcceptWithoutAWindowIsRuntimeError537) {
  ExpectRuntimeError([&] { Accept(engine_, [] { return kBodyDefault; }); },
                     "ACCEPT loop requires a window");
}

TEST_F(WindowOpenTest, OpenWindowComesFirstAndCloseWindowCanBeRefused) {
  WindowResource& list = Make(WindowKind::kPlainWindow, "LIST$WINDOW");
  WindowOpen(engine_, list);
  WindowObject& window = list.object();
  PostEvent(engine_, kEventAccepted, 4, 0);
  std::vector<int> seen;
  int close_requests = 0;
  Accept(engine_, [&] {
    const int event = window.current_event->Event();
    if (IsFocusEvent(event)) return kBodyDefault;
    seen.push_back(event);
    if (event == kEventOpenWindow || event == kEventCloseWindow) {
      if (event == kEventCloseWindow && ++close_requests == 1) {
        (void)system_.PostMessage(window.handle, platform::kWmClose);
        return kSkipDefault;
      }
      if (event == kEventOpenWindow) (void)system_.PostMessage(window.handle, platform::kWmClose);
    }
    return kBodyDefault;
  });
  ASSERT_GE(seen.size(), 4u);
  EXPECT_EQ(seen[0], kEventOpenWindow);
  EXPECT_EQ(seen[1], kEventAccepted) << "a posted event keeps its order with the close request";
  EXPECT_EQ(seen[2], kEventCloseWindow);
  EXPECT_EQ(seen.back(), kEventCloseWindow);
  EXPECT_EQ(close_requests, 2);
  // The loop is over but the window stays open until the procedure closes it.
  EXPECT_NE(window.handle, platform::kNoWindow);
  EXPECT_FALSE(window.looping);
  WindowClose(engine_, window);
  EXPECT_EQ(window.handle, platform::kNoWindow);
}

TEST_F(WindowOpenTest, DescriptionTimerTicksCoalesceWhileTheBodyIsBusy) {
  WindowResource& clock_window = Make(WindowKind::kPlainWindow, "CLOCK$WINDOW");
  WindowOpen(engine_, clock_window);
  WindowObject& window = clock_window.object();
  EXPECT_EQ(window.timer_period, 50);
  std::vector<int> seen;
  Accept(engine_, [&] {
    const int event = window.current_event->Event();
    if (IsFocusEvent(event)) return kBodyDefault;
    seen.push_back(event);
    if (event == kEventOpenWindow) {
      clock_.Advance(500);  // two ticks while the body runs
      clock_.Advance(500);
    } else if (event == kEventTimer) {
      WindowClose(engine_, window);  // the loop ends at its next turn
    }
    return kBodyDefault;
  });
  EXPECT_EQ(seen, (std::vector<int>{kEventOpenWindow, kEventTimer}));
  EXPECT_EQ(window.handle, platform::kNoWindow);
  EXPECT_EQ(engine_.Thread(1)->current_window, nullptr);
}

TEST_F(WindowOpenTest, AcceptAllEndsInCompletedOrStopsAtARejectedEntry) {
  std::int32_t skip = 0, hide = 0, copies = 0;
  WindowResource& options = Make(WindowKind::kPlainWindow, "SETUP$WINDOW", {&skip, &hide, &copies});
  WindowOpen(engine_, options);
  WindowObject& window = options.object();
  std::vector<std::pair<int, int>> seen;
  bool refuse_spin = false;
  window.can_accept = [&](ControlObject& c) { return !(refuse_spin && c.number == 5); };
  int completed = 0;
  Accept(engine_, [&] {
    const EventRecord& e = *window.current_event;
    if (IsFocusEvent(e.Event())) return kBodyDefault;
    seen.emplace_back(e.Event(), e.control ? e.control->number : 0);
    if (e.Event() == kEventOpenWindow) StartAcceptAll(window);
    if (e.Event() == kEventCompleted && ++completed == 1) {
      refuse_spin = true;
      StartAcceptAll(window);
    }
    if (e.Event() == kEventSelected) WindowClose(engine_, window);
    return kBodyDefault;
  });
  const std::vector<std::pair<int, int>> expected = {
      {kEventOpenWindow, 0}, {kEventAccepted, 1}, {kEventAccepted, 3}, {kEventAccepted, 4},
      {kEventAccepted, 5},   {kEventCompleted, 0}, {kEventAccepted, 1}, {kEventAccepted, 3},
      {kEventAccepted, 4},   {kEventSelected, 5}};
  EXPECT_EQ(seen, expected);
}

TEST_F(WindowOpenTest, AStaleSelectedEventIsDropped) {
  std::int32_t skip = 0, hide = 0, copies = 0;
  WindowResource& options = Make(WindowKind::kPlainWindow, "SETUP$WINDOW", {&skip, &hide, &copies});
  WindowOpen(engine_, options);
  WindowObject& window = options.object();
  std::vector<std::pair<int, int>> seen;
  Accept(engine_, [&] {
    const EventRecord& e = *window.current_event;
    if (IsFocusEvent(e.Event())) return kBodyDefault;
    seen.emplace_back(e.Event(), e.control ? e.control->number : 0);
    if (e.Event() == kEventOpenWindow) {
      SelectControl(engine_, 1);  // the focus moves on before this is served
      SelectControl(engine_, 3);
      PostEvent(engine_, kEventCloseWindow, 0, 0);
    }
    return kBodyDefault;
  });
  const std::vector<std::pair<int, int>> expected = {
      {kEventOpenWindow, 0}, {kEventSelected, 3}, {kEventCloseWindow, 0}};
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(window.selected_control, 3);
  EXPECT_EQ(window.focus_control, window.FindControl(3));
}

TEST_F(WindowOpenTest, AnEntryAcceptsThroughItsPictureOrRejectsTheText) {
  std::int32_t count = 7;
  WindowResource& list = Make(WindowKind::kPlainWindow, "LIST$WINDOW", {&count});
  WindowOpen(engine_, list);
  WindowObject& window = list.object();
  ControlObject& entry = *window.FindControl(4);
  EXPECT_EQ(system_.GetText(entry.handle), "    7");
  std::vector<std::pair<int, int>> seen;
  int selected = 0;
  Accept(engine_, [&] {
    const EventRecord& e = *window.current_event;
    if (IsFocusEvent(e.Event())) return kBodyDefault;
    seen.emplace_back(e.Event(), e.control ? e.control->number : 0);
    switch (e.Event()) {
      case kEventOpenWindow:
        SelectControl(engine_, 4);
        (void)system_.SetText(entry.handle, "4x");
        system_.InjectKey(platform::kVkReturn, true);
        break;
      case kEventRejected:
        EXPECT_EQ(e.Query(), kRejectedUnreadable);
        EXPECT_EQ(count, 7) << "the variable keeps its value";
        (void)system_.SetText(entry.handle, " 42");
        system_.InjectKey(platform::kVkReturn, true);
        break;
      case kEventAccepted:
        EXPECT_EQ(count, 42) << "stored before the event is seen";
        EXPECT_EQ(system_.GetText(entry.handle), "   42");
        (void)system_.SetText(entry.handle, "abc");
        StartAcceptAll(window);
        break;
      case kEventSelected:
        if (++selected == 2) {
          EXPECT_FALSE(window.accept_all) << "the walk stopped at the entry";
          WindowClose(engine_, window);
        }
        break;
      default:
        break;
    }
    return kBodyDefault;
  });
  const std::vector<std::pair<int, int>> expected = {
      {kEventOpenWindow, 0}, {kEventSelected, 4}, {kEventRejected, 4},
      {kEventAccepted, 4},   {kEventSelected, 4}};
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(count, 42);
}

}  // namespace
}  // namespace vaultrix::windows
