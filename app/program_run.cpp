// Runtime thread 1 and the end of the program's run.
#include "app/program_run.h"

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
  thread_one_ = std::thread([this, program = std::move(program)] { RunThreadOne(program); });
}

void ProgramRun::Wait() {
  if (thread_one_.joinable()) thread_one_.join();
}

void ProgramRun::RunThreadOne(const std::function<void()>& program) {
  slots_ = std::make_unique<platform::ThreadSlots>();
  lock_ = std::make_unique<platform::RuntimeLock>(system_);
  engine_.SetLock(lock_.get());
  engine_.SetCurrentThread(1);
  program();
  engine_.SetCurrentThread(1);
  windows::EndThreadWindows(engine_, 1);
  CloseStartedThreads();
  system_.EndThread();
  lock_->Release();
  finished_.store(true);
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
  return windows::StartThread(AppEngine(), AppSlots(), std::move(procedure), stack_bytes);
}

}  // namespace vaultrix::app
