// Procedures on runtime threads of their own: StartThread with its limits,
// the frame closing its MDI children down one at a time (a child may refuse),
// and windows left open when a thread's procedure returns.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "runtime/windows/start_thread.h"
#include "runtime/windows/window_open.h"
#include "tests/platform/watchdog.h"
#include "tests/windows/window_test_support.h"

namespace vaultrix::windows {
namespace {

using vaultrix::testing::Watchdog;

class WindowThreadsTest : public ThreadedEngineFixture {
 protected:
  // Runs the frame's loop: `procedure` starts on thread 2 at the frame's
  // "EVENT:OpenWindow"; every later event goes to `on_event`. When the loop
  // has ended, `after_loop` runs, the frame closes and thread 2 is joined.
  void RunFrame(WindowResource& frame, std::function<void()> procedure,
                const std::function<void(int)>& on_event, const std::function<void()>& after_loop) {
    WindowOpen(engine_, frame);
    WindowObject& frame_window = frame.object();
    Accept(engine_, [&] {
      const int event = frame_window.current_event->Event();
      if (event == kEventOpenWindow) {
        EXPECT_EQ(StartThread(engine_, slots_, procedure, 0), 2);
      } else {
        on_event(event);
      }
      return kBodyDefault;
    });
    after_loop();
    WindowClose(engine_, frame_window);
    JoinStartedThreads();
  }
};

TEST_F(WindowThreadsTest, FrameClosesItsChildrenDownOneAtATimeAndAChildCanRefuse) {
  Watchdog watchdog("frame close-down over two MDI children");
  WindowResource& frame = Make(WindowKind::kApplication, "MAIN$APPFRAME");
  WindowResource& first = Make(WindowKind::kMdiWindow, "LIST$WINDOW");
  WindowResource& second = Make(WindowKind::kMdiWindow, "SETUP$WINDOW");
  std::vector<std::string> log;  // written under the runtime lock only
  bool second_refuses = true;

  auto child = [&](WindowResource& window, bool* refuses, std::string name) {
    return [&, refuses, name] {
      WindowOpen(engine_, window);
      Accept(engine_, [&, refuses, name] {
        const int event = window.object().current_event->Event();
        if (event == kEventOpenWindow) PostEvent(engine_, kEventNotify, 0, 1);
        if (event == kEventCloseDown) {
          log.push_back(name + " CloseDown");
          if (refuses != nullptr && *refuses) {
            PostEvent(engine_, kEventNotify, 0, 1);
            return kSkipDefault;
          }
        }
        return kBodyDefault;
      });
      log.push_back(name + " ended");
      WindowClose(engine_, window.object());
    };
  };

  WindowOpen(engine_, frame);
  WindowObject& frame_window = frame.object();
  int notified = 0;
  Accept(engine_, [&] {
    const int event = frame_window.current_event->Event();
    if (event == kEventOpenWindow) {
      EXPECT_EQ(StartThread(engine_, slots_, child(first, nullptr, "first"), 0), 2);
    } else if (event == kEventNotify) {
      ++notified;
      if (notified == 1) {
        EXPECT_EQ(StartThread(engine_, slots_, child(second, &second_refuses, "second"), 0), 3);
      } else if (notified == 2) {
        (void)system_.PostMessage(frame_window.handle, platform::kWmClose);
      } else if (notified == 3) {
        log.push_back("refused");
        EXPECT_EQ(frame_window.close_state, CloseState::kNone);
        EXPECT_NE(second.object().handle, platform::kNoWindow);
        second_refuses = false;
        (void)system_.PostMessage(frame_window.handle, platform::kWmClose);
      }
    } else if (event == kEventCloseWindow) {
      log.push_back("frame CloseWindow");
    }
    return kBodyDefault;
  });
  log.push_back("frame ended");
  EXPECT_TRUE(frame_window.owned.empty());
  WindowClose(engine_, frame_window);
  JoinStartedThreads();
  const std::vector<std::string> expected = {
      "frame CloseWindow", "first CloseDown",  "first ended",     "second CloseDown", "refused",
      "frame CloseWindow", "second CloseDown", "second ended",    "frame ended"};
  EXPECT_EQ(log, expected);
  EXPECT_EQ(engine_.Frame(), nullptr);
  EXPECT_EQ(slots_.InUseCount(), 1);
}

// A close request that arrives while every owned window is closing already
// waits for them instead of being dropped.
TEST_F(WindowThreadsTest, AFramesCloseWaitsForAnOwnedWindowThatIsClosingAlready) {
  Watchdog watchdog("frame closing while its owned window closes");
  WindowResource& frame = Make(WindowKind::kApplication, "MAIN$APPFRAME");
  WindowResource& owned = Make(WindowKind::kPlainWindow, "LIST$WINDOW");
  std::atomic<bool> frame_asked{false};
  std::vector<std::string> log;  // written under the runtime lock only

  auto procedure = [&] {
    WindowOpen(engine_, owned);
    Accept(engine_, [&] {
      if (owned.object().current_event->Event() != kEventOpenWindow) return kBodyDefault;
      // Closing on its own; while it has not gone yet the frame is asked to
      // close (the lock is given up so that the frame serves the request).
      WindowClose(engine_, owned.object());
      PostEvent(engine_, kEventCloseWindow, 0, 1);
      const int self = engine_.CurrentThread();
      lock_.Release();
      while (!frame_asked.load()) std::this_thread::yield();
      lock_.Acquire();
      engine_.SwitchContext(self);
      log.push_back("owned ended");
      return kBodyDefault;
    });
  };

  RunFrame(
      frame, procedure,
      [&](int event) {
        if (event == kEventCloseWindow) {
          EXPECT_EQ(frame.object().owned.size(), 1u);
          EXPECT_TRUE(owned.object().close_mark) << "the owned window is busy closing";
          log.push_back("frame CloseWindow");
          frame_asked.store(true);
        } else if (event == kEventCloseDown) {
          log.push_back("unexpected CloseDown");
        }
      },
      [&] {
        log.push_back("frame ended");
        EXPECT_EQ(owned.object().handle, platform::kNoWindow);
      });
  EXPECT_EQ(log, (std::vector<std::string>{"frame CloseWindow", "owned ended", "frame ended"}));
}

// The owned window asked to close down goes without answering (its own
// close came first): the frame goes on closing.
TEST_F(WindowThreadsTest, AFramesCloseGoesOnWhenTheWindowAskedToCloseDownGoesUnasked) {
  Watchdog watchdog("frame closing past an owned window that closed by itself");
  WindowResource& frame = Make(WindowKind::kApplication, "MAIN$APPFRAME");
  WindowResource& owned = Make(WindowKind::kPlainWindow, "LIST$WINDOW");
  std::vector<std::string> log;  // written under the runtime lock only

  auto procedure = [&] {
    WindowOpen(engine_, owned);
    Accept(engine_, [&] {
      const int event = owned.object().current_event->Event();
      if (event == kEventOpenWindow) PostEvent(engine_, kEventNotify, 0, 1);
      if (event == kEventCloseWindow) log.push_back("owned CloseWindow");
      if (event == kEventCloseDown) log.push_back("owned CloseDown");
      return kBodyDefault;
    });
    WindowClose(engine_, owned.object());
  };

  RunFrame(
      frame, procedure,
      [&](int event) {
        if (event == kEventNotify) {
          // As a menu choice closes the splash and then the frame: the owned
          // window's own close is queued before the frame's close-down
          // reaches it.
          PostEvent(engine_, kEventCloseWindow, 0, 2);
          PostEvent(engine_, kEventCloseWindow, 0, 1);
        } else if (event == kEventCloseWindow) {
          log.push_back("frame CloseWindow");
        }
      },
      [&] { log.push_back("frame ended"); });
  EXPECT_EQ(log, (std::vector<std::string>{"frame CloseWindow", "owned CloseWindow",
                                           "frame ended"}));
}

TEST_F(WindowThreadsTest, StartThreadAnswersZeroWhenModalOrFull) {
  Watchdog watchdog("63 started threads");
  engine_.RaiseModalCount();
  EXPECT_EQ(StartThread(engine_, slots_, [] {}, 0), 0);
  engine_.LowerModalCount();

  std::vector<WindowResource*> windows;
  for (int i = 0; i < 63; ++i) windows.push_back(&Make(WindowKind::kPlainWindow, "LIST$WINDOW"));
  int opened = 0;
  int ended = 0;
  for (int i = 0; i < 63; ++i) {
    WindowResource& window = *windows[static_cast<std::size_t>(i)];
    const int number = StartThread(engine_, slots_, [&] {
      WindowOpen(engine_, window);
      ++opened;
      Accept(engine_, [] { return kBodyDefault; });
      ++ended;
      // The window is left open: the thread's end closes it.
    }, 0);
    ASSERT_EQ(number, i + 2) << "the lowest free slot";
  }
  EXPECT_GE(slots_.StackSize(1), platform::kMinimumThreadStack) << "stack 0 gets the minimum";
  EXPECT_EQ(StartThread(engine_, slots_, [] {}, 100000), 0) << "every slot is taken";

  while (opened < 63) LetOthersRun();
  for (int number = 2; number <= 64; ++number) PostEvent(engine_, kEventCloseWindow, 0, number);
  JoinStartedThreads();
  EXPECT_EQ(ended, 63);
  for (WindowResource* window : windows) {
    EXPECT_EQ(window->object().handle, platform::kNoWindow);
  }
  for (int number = 2; number <= 64; ++number) {
    EXPECT_EQ(engine_.Thread(number)->current_window, nullptr);
  }
  // Slots are free again.
  EXPECT_EQ(StartThread(engine_, slots_, [] {}, 0), 2);
  JoinStartedThreads();
}

// The log holds lines of window name and event name.
TEST_F(WindowThreadsTest, SwitchingBetweenChildrenOnTwoThreadsSuspendsAndPassesTheFocus) {
  Watchdog watchdog("switching between MDI children on two threads");
  WindowResource& frame = Make(WindowKind::kApplication, "MAIN$APPFRAME");
  WindowResource& a = Make(WindowKind::kMdiWindow, "LIST$WINDOW");
  WindowResource& b = Make(WindowKind::kMdiWindow, "SETUP$WINDOW");
  std::vector<std::string> log;  // written under the runtime lock only
  bool recording = false;

  auto child = [&](WindowResource& window, std::string name) {
    return [&, name] {
      WindowOpen(engine_, window);
      Accept(engine_, [&, name] {
        const int event = window.object().current_event->Event();
        if (recording) log.push_back(name + " " + std::string(EventName(event)));
        if (event == kEventOpenWindow) {
          // Its own activation message is queued ahead of this event.
          PostEvent(engine_, kEventNotify, 0, 0);
        } else if (event == kEventNotify) {
          PostEvent(engine_, kEventNotify, 0, 1);
        }
        return kBodyDefault;
      });
      WindowClose(engine_, window.object());
    };
  };

  WindowOpen(engine_, frame);
  WindowObject& frame_window = frame.object();
  int notified = 0;
  Accept(engine_, [&] {
    const int event = frame_window.current_event->Event();
    if (event == kEventOpenWindow) {
      EXPECT_EQ(StartThread(engine_, slots_, child(a, "A"), 0), 2);
    } else if (event == kEventNotify) {
      ++notified;
      if (notified == 1) {
        EXPECT_EQ(StartThread(engine_, slots_, child(b, "B"), 0), 3);
      } else if (notified == 2) {  // both open, B active
        recording = true;
        (void)system_.MdiActivate(a.object().handle);
        PostEvent(engine_, kEventNotify, 0, 2);
      } else if (notified == 3) {
        (void)system_.MdiActivate(b.object().handle);
        PostEvent(engine_, kEventNotify, 0, 3);
      } else if (notified == 4) {
        recording = false;
        (void)system_.PostMessage(frame_window.handle, platform::kWmClose);
      }
    }
    return kBodyDefault;
  });
  WindowClose(engine_, frame_window);
  JoinStartedThreads();

  // The log splits at A's event: before it the switch to A, after it the
  // switch back to B.
  const auto split = std::find(log.begin(), log.end(), "A EVENT:Notify");
  ASSERT_NE(split, log.end());
  const std::vector<std::string> to_a(log.begin(), split + 1);
  const std::vector<std::string> to_b(split + 1, log.end());
  auto at = [](const std::vector<std::string>& part, const std::string& line) {
    auto it = std::find(part.begin(), part.end(), line);
    EXPECT_NE(it, part.end()) << line;
    return it - part.begin();
  };
  auto first_of = [](const std::vector<std::string>& part, char window) {
    for (const std::string& line : part) {
      if (line[0] == window) return line;
    }
    return std::string();
  };
  // Going to A: B loses the focus and is suspended, A resumes and gains it.
  EXPECT_LT(at(to_a, "B EVENT:LoseFocus"), at(to_a, "A EVENT:GainFocus"));
  EXPECT_LT(at(to_a, "B EVENT:Suspend"), at(to_a, "A EVENT:GainFocus"));
  EXPECT_EQ(first_of(to_a, 'A'), "A EVENT:Resume");
  // Going back to B: the same the other way round; B's first event is Resume.
  EXPECT_LT(at(to_b, "A EVENT:LoseFocus"), at(to_b, "B EVENT:GainFocus"));
  EXPECT_LT(at(to_b, "A EVENT:Suspend"), at(to_b, "B EVENT:Resume"));
  EXPECT_EQ(first_of(to_b, 'B'), "B EVENT:Resume");
  EXPECT_LT(at(to_b, "B EVENT:GainFocus"), at(to_b, "B EVENT:Notify"));
}

}  // namespace
}  // namespace vaultrix::windows
