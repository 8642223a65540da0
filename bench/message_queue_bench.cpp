// Posted messages per second between two threads: one thread posts to a
// window of another, which takes them with GetMessage. The goal is well
// over 100,000 messages per second.
#include <benchmark/benchmark.h>

#include <atomic>
#include <thread>

#include "platform/window_system.h"

namespace vaultrix::platform {
namespace {

constexpr std::uint32_t kWork = kWmUser + 1;
constexpr std::uint32_t kStop = kWmUser + 2;

void BM_PostedMessagesBetweenTwoThreads(benchmark::State& state) {
  const auto batch = static_cast<int>(state.range(0));
  WindowSystem system;
  std::atomic<WindowHandle> window{kNoWindow};
  std::atomic<long> taken{0};
  std::thread receiver([&] {
    WindowCreateParams params;
    params.class_name = "WINDOW";
    window = system.CreateWindow(params);
    Message m;
    while (system.GetMessage(m)) {
      if (m.message == kStop) break;
      taken.fetch_add(1, std::memory_order_release);
    }
    system.EndThread();
  });
  while (window.load() == kNoWindow) std::this_thread::yield();

  long sent = 0;
  for (auto _ : state) {
    for (int i = 0; i < batch; ++i) system.PostMessage(window, kWork, 0, i);
    sent += batch;
    // The batch counts as delivered once the receiver has taken all of it.
    while (taken.load(std::memory_order_acquire) < sent) std::this_thread::yield();
  }
  system.PostMessage(window, kStop);
  receiver.join();
  state.SetItemsProcessed(sent);
}
BENCHMARK(BM_PostedMessagesBetweenTwoThreads)->Arg(1)->Arg(100)->Arg(10000)->UseRealTime();

// One sent message answered by another thread, round trip.
void BM_SentMessageRoundTrip(benchmark::State& state) {
  WindowSystem system;
  std::atomic<WindowHandle> window{kNoWindow};
  std::thread receiver([&] {
    WindowCreateParams params;
    params.class_name = "WINDOW";
    params.procedure = [](WindowSystem&, const Message& m) -> std::intptr_t {
      return static_cast<std::intptr_t>(m.wparam) + 1;
    };
    window = system.CreateWindow(params);
    Message m;
    while (system.GetMessage(m)) {
      if (m.message == kStop) break;
    }
    system.EndThread();
  });
  while (window.load() == kNoWindow) std::this_thread::yield();
  for (auto _ : state) benchmark::DoNotOptimize(system.SendMessage(window, kWork, 1));
  system.PostMessage(window, kStop);
  receiver.join();
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SentMessageRoundTrip)->UseRealTime();

}  // namespace
}  // namespace vaultrix::platform
