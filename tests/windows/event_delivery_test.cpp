// Delivering event records: no loop, no nesting while the body runs, the
// current record replaced, and "EVENT:Suspend"/"EVENT:Resume" when events
// move between two threads' windows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/windows/event_engine.h"

namespace vaultrix::windows {
namespace {

class DeliveryTest : public ::testing::Test {
 protected:
  DeliveryTest() {
    for (int number : {2, 3}) {
      auto window = std::make_unique<WindowObject>();
      window->thread = number;
      WindowObject* raw = window.get();
      window->body = [this, raw] {
        journal_.push_back(std::to_string(raw->thread) + " " +
                           std::string(EventName(raw->current_event->Event())) + " on " +
                           std::to_string(engine_.CurrentThread()));
        return answer_;
      };
      engine_.Thread(number)->current_window = raw;
      windows_.push_back(std::move(window));
    }
  }

  int Deliver(WindowObject& window, int event) {
    std::unique_ptr<EventRecord> record = MakeEventRecord(engine_, window, event, nullptr);
    return DeliverEvent(engine_, record);
  }

  platform::WindowSystem system_;
  EventEngine engine_{system_};
  std::vector<std::unique_ptr<WindowObject>> windows_;
  std::vector<std::string> journal_;
  int answer_ = kBodyDefault;
};

TEST_F(DeliveryTest, WindowWithoutALoopAnswersNoLoop) {
  WindowObject closed;
  closed.thread = 4;
  std::unique_ptr<EventRecord> record = MakeEventRecord(engine_, closed, kEventAccepted, nullptr);
  EXPECT_EQ(DeliverEvent(engine_, record), kNoLoop);
  EXPECT_EQ(record, nullptr);
  EXPECT_EQ(closed.current_event, nullptr);
}

TEST_F(DeliveryTest, BodyAnswerIsReturnedAndTheRecordBecomesCurrent) {
  WindowObject& window = *windows_[0];
  answer_ = kSkipDefault;
  EXPECT_EQ(Deliver(window, kEventCloseWindow), kSkipDefault);
  ASSERT_NE(window.current_event, nullptr);
  EXPECT_EQ(window.current_event->Event(), kEventCloseWindow);
  EXPECT_FALSE(window.in_body);
  EXPECT_EQ(journal_, (std::vector<std::string>{"2 EVENT:CloseWindow on 2"}));
  EXPECT_EQ(engine_.CurrentThread(), 1);  // the context is switched back after the body
}

TEST_F(DeliveryTest, EventsRaisedWhileTheBodyRunsAreNotNested) {
  WindowObject& window = *windows_[0];
  std::unique_ptr<EventRecord> raised;
  int nested_answer = -5;
  window.body = [&] {
    raised = MakeEventRecord(engine_, window, kEventAccepted, nullptr);
    nested_answer = DeliverEvent(engine_, raised);
    return kBodyDefault;
  };
  Deliver(window, kEventOpenWindow);
  EXPECT_EQ(nested_answer, kBodyDefault);
  ASSERT_NE(raised, nullptr);  // left to the caller to queue
  EXPECT_EQ(raised->Event(), kEventAccepted);
  EXPECT_EQ(window.current_event->Event(), kEventOpenWindow);
}

TEST_F(DeliveryTest, SwitchingThreadsSuspendsTheOneLeftAndResumesTheOneEntered) {
  WindowObject& first = *windows_[0];
  WindowObject& second = *windows_[1];
  Deliver(first, kEventOpenWindow);
  Deliver(second, kEventOpenWindow);
  EXPECT_TRUE(first.suspended);
  Deliver(first, kEventAccepted);
  Deliver(first, kEventTimer);
  EXPECT_EQ(journal_, (std::vector<std::string>{
                          "2 EVENT:OpenWindow on 2",
                          "2 EVENT:Suspend on 2",
                          "3 EVENT:OpenWindow on 3",
                          "3 EVENT:Suspend on 3",
                          "2 EVENT:Resume on 2",
                          "2 EVENT:Accepted on 2",
                          "2 EVENT:Timer on 2",
                      }));
  EXPECT_FALSE(first.suspended);
  EXPECT_TRUE(second.suspended);
  EXPECT_EQ(engine_.LastEventThread(), 2);
}

TEST_F(DeliveryTest, FocusPassesBetweenThreadsWithLoseAndGainFocus) {
  WindowObject& first = *windows_[0];
  WindowObject& second = *windows_[1];
  int modal_seen = -1;
  second.body = [&] {
    journal_.push_back("3 " + std::string(EventName(second.current_event->Event())));
    modal_seen = engine_.ModalCount();
    return kBodyDefault;
  };
  engine_.NoteActivation(2);
  PassFocusBetweenThreads(engine_);
  Deliver(first, kEventOpenWindow);
  engine_.NoteActivation(3);
  PassFocusBetweenThreads(engine_);
  PassFocusBetweenThreads(engine_);  // nothing more to pass
  EXPECT_EQ(journal_, (std::vector<std::string>{
                          "2 EVENT:GainFocus on 2",
                          "2 EVENT:OpenWindow on 2",
                          "2 EVENT:LoseFocus on 2",
                          "2 EVENT:Suspend on 2",
                          "3 EVENT:GainFocus",
                      }));
  EXPECT_EQ(modal_seen, 1);  // MODAL while a body runs at once
  EXPECT_EQ(engine_.ModalCount(), 0);
  EXPECT_EQ(engine_.FocusThread(), 3);
}

TEST_F(DeliveryTest, AtOnceOnlyForTheThreadsCurrentWindow) {
  WindowObject& first = *windows_[0];
  WindowObject nested_under;  // not the current window of thread 2
  nested_under.thread = 2;
  nested_under.body = [&] {
    journal_.push_back("not current");
    return kBodyDefault;
  };
  EXPECT_EQ(DeliverAtOnce(engine_, nested_under, kEventSize), kNoLoop);
  first.body = {};
  EXPECT_EQ(DeliverAtOnce(engine_, first, kEventSize), kNoLoop);
  EXPECT_TRUE(journal_.empty());
}

}  // namespace
}  // namespace vaultrix::windows
