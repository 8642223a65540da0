// The event engine's own costs: one pass of an ACCEPT loop (an event posted,
// its message taken and dispatched, the queue served and the body called),
// and events posted by one runtime thread to another's loop under the
// runtime lock, delivered to the body. The goal for the second is well over
// 100,000 events per second.
#include <benchmark/benchmark.h>

#include <thread>

#include "platform/runtime_lock.h"
#include "platform/window_system.h"
#include "runtime/windows/event_engine.h"
#include "runtime/windows/window_open.h"

namespace vaultrix::windows {
namespace {

// A window of the calling thread (thread 1) with the engine's procedure.
void OpenBareWindow(EventEngine& engine, WindowObject& window) {
  platform::WindowCreateParams params;
  params.class_name = "WINDOW";
  params.procedure = EngineWindowProc(engine, window);
  window.thread = 1;
  window.handle = engine.System().CreateWindow(params);
  engine.Thread(1)->current_window = &window;
}

void BM_AcceptLoopPass(benchmark::State& state) {
  platform::WindowSystem system;
  EventEngine engine(system);
  WindowObject window;
  OpenBareWindow(engine, window);
  long delivered = 0;
  window.body = [&] {
    ++delivered;
    return kBodyDefault;
  };
  window.looping = true;
  (void)ServeQueue(engine, window);  // "EVENT:OpenWindow"
  for (auto _ : state) {
    PostEvent(engine, kEventNotify, 0, 1);
    platform::Message message;
    (void)system.GetMessage(message);
    (void)system.DispatchMessage(message);
    benchmark::DoNotOptimize(ServeQueue(engine, window));
  }
  state.SetItemsProcessed(delivered - 1);
  DestroyWindowObject(engine, window);
  system.EndThread();
}
BENCHMARK(BM_AcceptLoopPass);

// Thread 2 posts `events` events to thread 1's window in groups of 100 (the
// lock taken for each group); thread 1's ACCEPT loop receives them.
void BM_PostedEventsBetweenTwoThreads(benchmark::State& state) {
  const auto events = static_cast<long>(state.range(0));
  platform::WindowSystem system;
  platform::RuntimeLock lock(system);  // held by this thread, runtime thread 1
  EventEngine engine(system);
  engine.SetLock(&lock);
  long total = 0;
  for (auto _ : state) {
    WindowObject window;
    OpenBareWindow(engine, window);
    std::thread poster([&] {
      for (long sent = 0; sent < events;) {
        lock.Acquire();
        engine.SwitchContext(2);
        for (int i = 0; i < 100 && sent < events; ++i, ++sent) PostEvent(engine, kEventNotify, 0, 1);
        lock.Release();
      }
      system.EndThread();
    });
    long received = 0;
    Accept(engine, [&] {
      if (window.current_event->Event() == kEventNotify && ++received == events) {
        WindowClose(engine, window);
      }
      return kBodyDefault;
    });
    lock.Release();
    poster.join();
    lock.Acquire();
    engine.SwitchContext(1);
    total += received;
  }
  state.SetItemsProcessed(total);
  system.EndThread();
}
BENCHMARK(BM_PostedEventsBetweenTwoThreads)->Arg(10000)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vaultrix::windows
