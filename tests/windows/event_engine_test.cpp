// The start of the event engine: the event and message names, event records
// and their clones, PostEvent by thread number keeping its order with input,
// and timer events coalesced per window.
#include "runtime/windows/event_engine.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/clock.h"
#include "platform/runtime_lock.h"
#include "tests/platform/watchdog.h"

namespace vaultrix::windows {
namespace {

using platform::Message;
using platform::WindowSystem;
using vaultrix::testing::Watchdog;

TEST(EventCodes, NamesAndCodesGoBothWays) {
  int named = 0;
  for (int code = 1; code < 0x240; ++code) {
    std::string_view name = EventName(code);
    if (name.empty()) continue;
    ++named;
    EXPECT_EQ(EventByName(name), code) << name;
    EXPECT_EQ(MessageName(MessageOfEvent(code)), name);
  }
  EXPECT_EQ(named, 56);
  EXPECT_EQ(EventName(0x207), "");
  EXPECT_EQ(EventName(0), "");
  EXPECT_EQ(EventName(kEventOpenWindow), "EVENT:OpenWindow");
  EXPECT_EQ(EventName(kEventDdeRequest), "EVENT:DDErequest");
  EXPECT_EQ(EventByName("event:timer"), kEventTimer);
  EXPECT_EQ(EventByName("EVENT:Nothing"), 0);
  EXPECT_TRUE(IsFieldEvent(kEventDroppedDown));
  EXPECT_TRUE(IsFieldEvent(kEventSelected));
  EXPECT_FALSE(IsFieldEvent(kEventCloseWindow));

  EXPECT_EQ(MessageName(0x1401), "EVENT:Accepted");
  EXPECT_EQ(MessageName(kEventPostedMessage), "EventPosted");
  EXPECT_EQ(MessageName(kBringToTopMessage), "BringToTop");
  EXPECT_EQ(MessageName(kQueryContinueThread), "QUERY_CONTINUETHREAD");
  EXPECT_EQ(MessageName(platform::kWmTimer), "WM_TIMER");
  EXPECT_EQ(MessageName(MessageOfEvent(0x207)), "0x1607");
  EXPECT_EQ(MessageName(0x0401), "0x0401");
}

TEST(EventRecord, CloneKeepsKeyAndMouseAndTakesTheNewCodeAndControl) {
  ControlObject button{7, platform::kNoWindow, nullptr};
  EventRecord original;
  original.message = MessageOfEvent(kEventAccepted);
  original.key_code = 0x10D;
  original.key_character = 'x';
  original.mouse_x = 12;
  original.mouse_y = 34;
  original.thread = 3;
  std::unique_ptr<EventRecord> copy = original.Clone(kEventSelected, &button);
  EXPECT_EQ(copy->Event(), kEventSelected);
  EXPECT_EQ(copy->control, &button);
  EXPECT_EQ(copy->key_code, 0x10D);
  EXPECT_EQ(copy->key_character, 'x');
  EXPECT_EQ(copy->mouse_x, 12);
  EXPECT_EQ(copy->mouse_y, 34);
  EXPECT_EQ(copy->thread, 3);
  EXPECT_EQ(copy->Query(), 0);

  RejectedEventRecord rejected;
  rejected.message = MessageOfEvent(kEventRejected);
  rejected.reason = 5;
  EXPECT_EQ(rejected.Clone(kEventRejected, &button)->Query(), 5);
  // A clone for another event is of the base kind.
  EXPECT_EQ(rejected.Clone(kEventAccepted, &button)->Query(), 0);
}

// One thread's window with the event engine's translations that these tests
// need: posted events, a mouse click and timer ticks.
class EngineTest : public ::testing::Test {
 protected:
  EngineTest() {
    platform::WindowCreateParams params;
    params.class_name = "WINDOW";
    params.procedure = [this](WindowSystem&, const Message& m) -> std::intptr_t {
      if (m.message == kEventPostedMessage) ReceivePostedEvent(window_, m.lparam);
      if (m.message == platform::kWmLButtonDown) {
        window_.events.Append(MakeEventRecord(engine_, window_, kEventMouseUp, nullptr));
      }
      if (m.message == platform::kWmTimer) RaiseTimerEvent(engine_, window_);
      return 0;
    };
    window_.handle = system_.CreateWindow(params);
    window_.thread = 1;
    for (int number : {3, 4}) {
      window_.controls.push_back(
          std::make_unique<ControlObject>(ControlObject{number, platform::kNoWindow, &window_}));
    }
    engine_.Thread(1)->current_window = &window_;
  }

  void Pump() {
    Message m;
    while (system_.PeekMessage(m, platform::kPmRemove)) system_.DispatchMessage(m);
  }

  platform::SimulatedClock clock_{platform::LocalDateTime{2026, 12, 7, 8, 0, 0, 0}};
  platform::ScopedCurrentClock installed_{clock_};
  WindowSystem system_;
  EventEngine engine_{system_};
  WindowObject window_;
};

TEST_F(EngineTest, PostedEventsKeepTheirOrderWithInput) {
  engine_.Thread(1)->last_key_code = 0x141;
  PostEvent(engine_, kEventAccepted, 3, 0);
  system_.InjectMouse(window_.handle, platform::kWmLButtonDown, 5, 5);
  PostEvent(engine_, kEventAccepted, 4, 1);
  PostEvent(engine_, kEventNotify, 0, 1);
  PostEvent(engine_, kEventAccepted, 99, 1);  // no such control: the event names none
  Pump();
  ASSERT_EQ(window_.events.Size(), 5u);
  EXPECT_EQ(window_.events.At(0).Event(), kEventAccepted);
  EXPECT_EQ(window_.events.At(0).control->number, 3);
  EXPECT_EQ(window_.events.At(0).key_code, 0x141);
  EXPECT_EQ(window_.events.At(0).thread, 1);
  EXPECT_EQ(window_.events.At(1).Event(), kEventMouseUp);
  EXPECT_EQ(window_.events.At(2).control->number, 4);
  EXPECT_EQ(window_.events.At(3).Event(), kEventNotify);
  EXPECT_EQ(window_.events.At(3).control, nullptr);
  EXPECT_EQ(window_.events.At(4).control, nullptr);
  EXPECT_TRUE(window_.in_flight.empty());
}

TEST_F(EngineTest, PostedEventsCloneTheCurrentRecord) {
  window_.current_event = MakeEventRecord(engine_, window_, kEventAccepted, nullptr);
  window_.current_event->key_code = 0x20D;
  window_.current_event->mouse_x = 9;
  PostEvent(engine_, kEventCloseWindow, 0, 1);
  Pump();
  ASSERT_EQ(window_.events.Size(), 1u);
  EXPECT_EQ(window_.events.At(0).Event(), kEventCloseWindow);
  EXPECT_EQ(window_.events.At(0).key_code, 0x20D);
  EXPECT_EQ(window_.events.At(0).mouse_x, 9);
}

TEST_F(EngineTest, PostingToAThreadWithoutAWindowDoesNothing) {
  PostEvent(engine_, kEventAccepted, 3, 5);
  PostEvent(engine_, kEventAccepted, 3, 65);
  PostEvent(engine_, kEventAccepted, 3, -1);
  Pump();
  EXPECT_TRUE(window_.events.Empty());
  // A window whose handle is gone: the record is not kept.
  ASSERT_TRUE(system_.DestroyWindow(window_.handle));
  PostEvent(engine_, kEventAccepted, 3, 1);
  EXPECT_TRUE(window_.in_flight.empty());
}

TEST_F(EngineTest, ARecordWhoseMessageIsLostIsStillOwnedByTheWindow) {
  PostEvent(engine_, kEventAccepted, 3, 1);
  ASSERT_EQ(window_.in_flight.size(), 1u);
  // The window closes before the message arrives; the record stays with the
  // window object (and goes with it), and a forged message is not believed.
  ASSERT_TRUE(system_.DestroyWindow(window_.handle));
  Pump();
  EXPECT_EQ(window_.in_flight.size(), 1u);
  EXPECT_FALSE(ReceivePostedEvent(window_, 0x1234));
}

TEST_F(EngineTest, TwoTimerTicksWhileTheBodyIsBusyQueueOneTimerEvent) {
  ASSERT_TRUE(system_.SetTimer(window_.handle, 1, 100));
  clock_.Advance(100);
  Pump();
  clock_.Advance(100);
  Pump();
  ASSERT_EQ(window_.events.Size(), 1u);
  EXPECT_EQ(window_.events.At(0).Event(), kEventTimer);
  // Delivery clears the pending mark; the next tick queues again.
  std::unique_ptr<EventRecord> delivered = window_.events.TakeOldest();
  window_.timer_pending = false;
  clock_.Advance(100);
  Pump();
  EXPECT_EQ(window_.events.Size(), 1u);
}

TEST_F(EngineTest, AnotherThreadPostsByThreadNumberUnderTheRuntimeLock) {
  Watchdog watchdog("PostEvent from another thread");
  platform::RuntimeLock lock(system_);
  lock.SetAcquireHook([] {});
  std::thread other([&] {
    lock.Acquire();
    engine_.SetCurrentThread(2);
    PostEvent(engine_, kEventNotify, 0, 1);
    PostEvent(engine_, kEventAccepted, 4, 1);
    engine_.SetCurrentThread(1);
    lock.Release();
    system_.EndThread();
  });
  lock.Release();
  other.join();
  lock.Acquire();
  Pump();
  ASSERT_EQ(window_.events.Size(), 2u);
  EXPECT_EQ(window_.events.At(0).Event(), kEventNotify);
  EXPECT_EQ(window_.events.At(1).control->number, 4);
  EXPECT_EQ(window_.events.At(1).window, &window_);
}

}  // namespace
}  // namespace vaultrix::windows
