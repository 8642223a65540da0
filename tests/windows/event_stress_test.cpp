// The event engine under load: 20 started threads each open a window with a
// running timer and exchange 500 posted events apiece with the first
// thread's window (10,000 each way), all under the runtime lock, while the
// first thread moves the simulated clock. No event may be lost, delivered
// twice or overtaken by a later one, nothing may hang, and every thread
// ends with its window closed and its slot free.
#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "runtime/windows/start_thread.h"
#include "runtime/windows/window_open.h"
#include "tests/platform/watchdog.h"
#include "tests/windows/window_test_support.h"

namespace vaultrix::windows {
namespace {

using vaultrix::testing::Watchdog;

constexpr int kSenders = 20;
constexpr int kPerSender = 500;
constexpr int kInFlight = 8;  // events a sender keeps on their way
constexpr int kRequestBase = 0x300;  // + the sender's thread number
constexpr int kReply = 0x2F0;

class EventStressTest : public ThreadedEngineFixture {};

TEST_F(EventStressTest, TwentyThreadsExchangeTenThousandPostedEventsWithTimersRunning) {
  Watchdog watchdog("event stress", std::chrono::seconds(120));
  WindowResource& hub = Make(WindowKind::kPlainWindow, "LIST$WINDOW");
  WindowOpen(engine_, hub);

  // Every post is logged under the runtime lock as it is made, so the hub
  // must receive the requests in exactly the logged order.
  std::deque<int> posted_order;
  struct Sender {
    WindowResource* window = nullptr;
    int sent = 0;
    int replies = 0;
    int timers = 0;
  };
  std::vector<Sender> senders(kSenders);
  auto post_request = [&](int number) {
    posted_order.push_back(number);
    PostEvent(engine_, kRequestBase + number, 0, 1);
  };

  for (int i = 0; i < kSenders; ++i) {
    Sender& sender = senders[static_cast<std::size_t>(i)];
    sender.window = &Make(WindowKind::kPlainWindow, "CLOCK$WINDOW");
    const int number = StartThread(engine_, slots_, [&, number = i + 2] {
      WindowOpen(engine_, *sender.window);
      WindowObject& own = sender.window->object();
      Accept(engine_, [&] {
        const int event = own.current_event->Event();
        if (event == kEventTimer) ++sender.timers;
        if (event == kEventOpenWindow) {
          for (; sender.sent < kInFlight; ++sender.sent) post_request(number);
        }
        if (event == kReply && ++sender.replies == kPerSender) WindowClose(engine_, own);
        if (event == kReply && sender.sent < kPerSender) {
          ++sender.sent;
          post_request(number);
        }
        return kBodyDefault;
      });
    }, 0);
    ASSERT_EQ(number, i + 2);
  }

  int received = 0;
  int out_of_order = 0;
  WindowObject& own = hub.object();
  Accept(engine_, [&] {
    const int event = own.current_event->Event();
    if (event < kRequestBase || event > kRequestBase + kSenders + 1) return kBodyDefault;
    const int number = event - kRequestBase;
    if (posted_order.empty() || posted_order.front() != number) ++out_of_order;
    if (!posted_order.empty()) posted_order.pop_front();
    PostEvent(engine_, kReply, 0, number);
    if (++received % 250 == 0) clock_.Advance(500);  // the senders' timers tick
    if (received == kSenders * kPerSender) WindowClose(engine_, own);
    return kBodyDefault;
  });
  JoinStartedThreads();

  EXPECT_EQ(received, kSenders * kPerSender);
  EXPECT_EQ(out_of_order, 0);
  EXPECT_TRUE(posted_order.empty()) << "nothing posted was left undelivered";
  int with_timer = 0;
  for (const Sender& sender : senders) {
    EXPECT_EQ(sender.sent, kPerSender);
    EXPECT_EQ(sender.replies, kPerSender) << "every reply arrived once";
    EXPECT_EQ(sender.window->object().handle, platform::kNoWindow);
    if (sender.timers > 0) ++with_timer;
  }
  EXPECT_GT(with_timer, 0) << "timers ran during the exchange";
  EXPECT_EQ(slots_.InUseCount(), 1) << "only the first thread's slot is taken";
  for (int number = 2; number <= kSenders + 1; ++number) {
    EXPECT_EQ(engine_.Thread(number)->current_window, nullptr);
  }
}

}  // namespace
}  // namespace vaultrix::windows
