// Runtime thread 1 and the end of the program's run.
#include "app/program_run.h"

#include <future>

#include "runtime/windows/event_codes.h"
#include "runtime/windows/start_thread.h"
#include "runtime/windows/window_open.h"

namespace vaultrix::app {
namespace {

std::atomic<ProgramRun*> current_run{nullptr};

}  // namespace

ProgramRun::ProgramRun(platform::WindowSystem& system) : system_(system), engine_(system) {}

ProgramRun::~ProgramRun() {
  Wait();
  ProgramRun* self = this;
  current_run.compare_exchange_strong(self, nullptr);
}

void ProgramRun::Start(std::function<void()> program) {
  current_run.store(this);
  std::promise<void> ready;
  std::future<void> thread_one_ready = ready.get_future();
  thread_one_ = std::thread([this, &ready, program = std::move(program)] {
    slots_ = std::make_unique<platform::ThreadSlots>();
    lock_ = std::make_unique<platform::RuntimeLock>(system_);
    (void)system_.CurrentThreadId();  // busy for the window system from now on
    ready.set_value();
    RunThreadOne(program);
  });
  thread_one_ready.wait();
}

void ProgramRun::Wait() {
  if (thread_one_.joinable()) thread_one_.join();
}

void ProgramRun::RunThreadOne(const std::function<void()>& program) {
  engine_.SetLock(lock_.get());
  engine_.SetCurrentThread(1);
  program();
  engine_.SetCurrentThread(1);
  CloseStartedThreads();
  windows::EndThreadWindows(engine_, 1);
  // Before the thread leaves the window system, so that whoever sees it idle
  // sees the run finished.
  finished_.store(true);
  system_.EndThread();
  lock_->Release();
}

// Every started thread still running gets "EVENT:CloseDown" on its current
// window; the lock is given up until all of them have ended.
void ProgramRun::CloseStartedThreads() {
  for (int number = 2; number <= windows::kThreadCount; ++number) {
    windows::RuntimeThread* thread = engine_.Thread(number);
    if (thread != nullptr && thread->current_window != nullptr) {
      windows::PostEvent(engine_, windows::kEventCloseDown, 0, number);
    }
  }
  lock_->Release();
  slots_->WaitForStartedThreads();
  lock_->Acquire();
  engine_.SetCurrentThread(1);
}

ProgramRun& CurrentRun() {
  return *current_run.load();
}

windows::EventEngine& AppEngine() {
  return CurrentRun().Engine();
}

platform::ThreadSlots& AppSlots() {
  return CurrentRun().Slots();
}

int Start(std::function<void()> procedure, std::size_t stack_bytes) {
  ProgramRun& run = CurrentRun();
  ++run.pending_starts_;
  const int number = windows::StartThread(
      run.Engine(), run.Slots(),
      [&run, procedure = std::move(procedure)] {
        (void)run.System().CurrentThreadId();
        --run.pending_starts_;
        procedure();
      },
      stack_bytes);
  if (number == 0) --run.pending_starts_;
  return number;
}

}  // namespace vaultrix::app
