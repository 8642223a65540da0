// Properties of windows and controls by number, 536 on a closed target, the
// target window, hiding ranges of controls, and the events that moving,
// sizing, maximizing and iconizing a window queue.
#include "runtime/windows/window_properties.h"

#include <gtest/gtest.h>

#include "runtime/windows/window_open.h"
#include "tests/windows/window_test_support.h"

namespace vaultrix::windows {
namespace {

class WindowPropertiesTest : public EngineFixture {
 protected:
  // Dispatches what the window system queued for this thread.
  void Pump() {
    platform::Message m;
    while (system_.PeekMessage(m, platform::kPmRemove)) system_.DispatchMessage(m);
  }
  std::vector<int> TakeEvents(WindowObject& window) {
    std::vector<int> events;
    while (std::unique_ptr<EventRecord> r = window.events.TakeOldest()) {
      if (r->Event() != kEventGainFocus && r->Event() != kEventLoseFocus) {
        events.push_back(r->Event());
      }
    }
    return events;
  }
};

TEST_F(WindowPropertiesTest, WindowAttributesReadAndWrite) {
  WindowResource& list = Make(WindowKind::kPlainWindow, "LIST$WINDOW");
  WindowOpen(engine_, list);
  WindowObject& w = list.object();
  EXPECT_EQ(GetProperty(engine_, nullptr, 0, kPropText), "Passwords");
  EXPECT_EQ(GetProperty(engine_, nullptr, 0, kPropX), "10");
  EXPECT_EQ(GetProperty(engine_, nullptr, 0, kPropHeight), "100");
  SetProperty(engine_, nullptr, 0, kPropText, 0, "Passwords (3)");
  EXPECT_EQ(system_.GetText(w.handle), "Passwords (3)");
  SetProperty(engine_, nullptr, 0, kPropWidth, 0, "240");
  EXPECT_EQ(system_.GetWindowInfo(w.handle)->rect, (platform::Rect{10, 10, 240, 100}));

  EXPECT_EQ(GetProperty(engine_, &w, 0, kPropThread), "1");
  EXPECT_EQ(GetProperty(engine_, &w, 0, kPropHandle), std::to_string(w.handle));
  SetProperty(engine_, &w, 0, kPropThread, 0, "7");  // read only
  EXPECT_EQ(GetProperty(engine_, &w, 0, kPropThread), "1");

  EXPECT_EQ(GetProperty(engine_, &w, 0, kPropNoFrame), "");
  SetProperty(engine_, &w, 0, kPropResizeFrame, 0, "1");
  EXPECT_EQ(GetProperty(engine_, &w, 0, kPropResizeFrame), "1");
  EXPECT_EQ(GetProperty(engine_, &w, 0, kPropDoubleFrame), "");
  SetProperty(engine_, &w, 0, kPropMaximizeBox, 0, "1");
  EXPECT_EQ(GetProperty(engine_, &w, 0, kPropMaximizeBox), "1");

  SetProperty(engine_, &w, 0, kPropMaximized, 0, "1");
  EXPECT_EQ(GetProperty(engine_, &w, 0, kPropMaximized), "1");
  SetProperty(engine_, &w, 0, kPropMinimized, 0, "1");
  EXPECT_EQ(GetProperty(engine_, &w, 0, kPropMinimized), "1");
  EXPECT_EQ(GetProperty(engine_, &w, 0, kPropMaximized), "");
  SetProperty(engine_, &w, 0, kPropMinimized, 0, "");
  EXPECT_EQ(GetProperty(engine_, &w, 0, kPropMinimized), "");

  SetProperty(engine_, &w, 0, kPropAlertKey, 2, "283");
  EXPECT_EQ(GetProperty(engine_, &w, 0, kPropAlertKey, 2), "283");
  EXPECT_EQ(GetProperty(engine_, &w, 0, kPropAlertKey, 1), "0");
  EXPECT_EQ(GetProperty(engine_, &w, 0, kPropAlertKey, 9), "");
  EXPECT_EQ(GetProperty(engine_, &w, 0, kPropAcceptAll), "");
  StartAcceptAll(w);
  EXPECT_EQ(GetProperty(engine_, &w, 0, kPropAcceptAll), "1");
}

TEST_F(WindowPropertiesTest, TimerPropertyRestartsAndStopsTheTimer) {
  WindowResource& list = Make(WindowKind::kPlainWindow, "LIST$WINDOW");
  WindowOpen(engine_, list);
  WindowObject& w = list.object();
  (void)TakeEvents(w);
  SetProperty(engine_, &w, 0, kPropTimer, 0, "20");
  EXPECT_EQ(GetProperty(engine_, &w, 0, kPropTimer), "20");
  clock_.Advance(200);
  Pump();
  EXPECT_EQ(TakeEvents(w), std::vector<int>{kEventTimer});
  w.timer_pending = false;
  SetProperty(engine_, &w, 0, kPropTimer, 0, "0");
  clock_.Advance(1000);
  Pump();
  EXPECT_TRUE(TakeEvents(w).empty());
}

TEST_F(WindowPropertiesTest, StatusZonesOfTheFrameServeAChildWithoutItsOwn) {
  WindowResource& frame = Make(WindowKind::kApplication, "MAIN$APPFRAME");
  WindowOpen(engine_, frame);
  EXPECT_EQ(GetProperty(engine_, nullptr, 0, kPropStatusBar), "2");
  SetProperty(engine_, nullptr, 0, kPropStatusText, 2, "3 passwords");
  engine_.SetCurrentThread(2);
  WindowResource& child = Make(WindowKind::kMdiWindow, "LIST$WINDOW");
  WindowOpen(engine_, child);
  EXPECT_EQ(GetProperty(engine_, nullptr, 0, kPropStatusText, 2), "3 passwords");
  EXPECT_EQ(GetProperty(engine_, nullptr, 0, kPropStatusText, 3), "");
  SetProperty(engine_, nullptr, 0, kPropStatusText, 5, "nowhere");  // no such zone
  EXPECT_EQ(system_.GetWindowInfo(frame.object().status_bar)->rows.size(), 2u);
  EndThreadWindows(engine_, 2);
}

TEST_F(WindowPropertiesTest, ControlsAndTheTargetWindow) {
  std::int32_t skip = 0, hide = 0, copies = 0;
  WindowResource& options = Make(WindowKind::kPlainWindow, "SETUP$WINDOW", {&skip, &hide, &copies});
  WindowOpen(engine_, options);
  EXPECT_EQ(GetProperty(engine_, nullptr, 1, kPropText), "&Skip copy buttons");
  EXPECT_EQ(GetProperty(engine_, nullptr, 5, kPropY), "80");
  SetProperty(engine_, nullptr, 5, 0, 0, "42");
  EXPECT_EQ(GetProperty(engine_, nullptr, 5, 0), "42");
  EXPECT_EQ(GetProperty(engine_, nullptr, 77, kPropText), "") << "no such control";

  HideControls(engine_, 3, 5);
  EXPECT_TRUE(system_.IsWindowVisible(options.object().FindControl(1)->handle));
  EXPECT_FALSE(system_.IsWindowVisible(options.object().FindControl(4)->handle));
  UnhideControls(engine_, 0, 0);
  EXPECT_TRUE(system_.IsWindowVisible(options.object().FindControl(4)->handle));

  // TARGET names another window; a window opening resets it.
  WindowResource& list = Make(WindowKind::kPlainWindow, "LIST$WINDOW");
  WindowOpen(engine_, list);
  EXPECT_EQ(TargetWindow(engine_), &list.object());
  engine_.Thread(1)->target_window = &options.object();
  EXPECT_EQ(GetProperty(engine_, nullptr, 0, kPropText), "Options");
  WindowClose(engine_, list.object());
  EXPECT_EQ(TargetWindow(engine_), &options.object());
}

TEST_F(WindowPropertiesTest, AClosedTargetIsRuntimeError536) {
  WindowResource& list = Make(WindowKind::kPlainWindow, "LIST$WINDOW");
  ExpectRuntimeError([&] { (void)GetProperty(engine_, &list.object(), 0, kPropText); },
                     "Window is not open");
  ExpectRuntimeError([&] { SetProperty(engine_, nullptr, 0, kPropText, 0, "x"); },
                     "Window is not open");
  ExpectRuntimeError([&] { HideControls(engine_, 0, 0); }, "Window is not open");
}

TEST_F(WindowPropertiesTest, MovingSizingAndShowStatesQueueTheirEvents) {
  WindowResource& list = Make(WindowKind::kPlainWindow, "LIST$WINDOW");
  WindowOpen(engine_, list);
  WindowObject& w = list.object();
  Pump();
  EXPECT_EQ(TakeEvents(w), std::vector<int>{kEventOpenWindow});
  (void)system_.MoveWindow(w.handle, {20, 20, 220, 100});
  Pump();
  (void)system_.ShowWindow(w.handle, platform::kSwShowMaximized);
  Pump();
  (void)system_.ShowWindow(w.handle, platform::kSwMinimize);
  Pump();
  (void)system_.ShowWindow(w.handle, platform::kSwRestore);
  Pump();
  (void)system_.PostMessage(w.handle, platform::kWmClose);
  Pump();
  const std::vector<int> expected = {kEventMoved,   kEventSized,    kEventMaximized,
                                     kEventIconized, kEventRestored, kEventCloseWindow};
  EXPECT_EQ(TakeEvents(w), expected);
  EXPECT_TRUE(system_.IsWindow(w.handle)) << "a close message leaves the decision to the loop";
}

}  // namespace
}  // namespace vaultrix::windows
