// Runtime thread 1 and the end of the program's run.
#include "app/program/run.h"

#include <chrono>
#include <future>
#include <set>

#include "app/dictionary/data_dictionary.h"
#include "app/options/options.h"
#include "app/program/main_program.h"
#include "app/services/standard_actions.h"
#include "runtime/files/hvn/open_file.h"
#include "runtime/windows/event_codes.h"
#include "runtime/windows/start_thread.h"
#include "runtime/windows/window_open.h"

namespace vaultrix::app {
namespace {

std::atomic<ProgramRun*> current_run{nullptr};
// How long the close-down waits for the threads between its rounds.
constexpr std::chrono::milliseconds kCloseDownRound{2};
// One pause between LOGOUT's attempts to take a file from another station.
constexpr std::chrono::milliseconds kTransactionPause{10};

}  // namespace

ProgramRun::ProgramRun(platform::WindowSystem& system) : system_(system), engine_(system) {
  InstallStandardActions(engine_, [] { return HelpFileName(); });
  // LOGOUT waits up to two seconds for another station's transaction; the
  // program's other windows run meanwhile, as they do behind a message box.
  previous_transaction_wait_ = files::hvn::SetTransactionWaitHook([this] {
    if (OnRuntimeThread()) {
      system_.Pause(kTransactionPause.count());
    } else {
      std::this_thread::sleep_for(kTransactionPause);
    }
  });
}

ProgramRun::~ProgramRun() {
  Wait();
  (void)files::hvn::SetTransactionWaitHook(std::move(previous_transaction_wait_));
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
    made_lock_.store(lock_.get());
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
  // However the program ended, a text it put on the clipboard (a password,
  // most likely) does not outlive it; whatever else is there stays.
  (void)system_.EmptyProgramClipboard();
  // Nor does any record read from the vault, or the clipboard's text shown.
  ClearRecordBuffers();
  WipeClipboardDisplay();
  // Before the thread leaves the window system, so that whoever sees it idle
  // sees the run finished.
  finished_.store(true);
  system_.EndThread();
  lock_->Release();
}

// Every started thread's current window gets "EVENT:CloseDown", also one
// that a thread opens only after the first round (a thread started just now
// may not have opened its window yet); the lock is given up between rounds
// so that the threads can end.
void ProgramRun::CloseStartedThreads() {
  std::set<windows::WindowObject*> asked;
  while (slots_->InUseCount() > 1) {
    for (int number = 2; number <= windows::kThreadCount; ++number) {
      windows::WindowObject* window = engine_.Thread(number)->current_window;
      if (window != nullptr && asked.insert(window).second) {
        windows::PostEventToWindow(engine_, *window, windows::kEventCloseDown, nullptr);
      }
    }
    lock_->Release();
    std::this_thread::sleep_for(kCloseDownRound);
    lock_->Acquire();
    engine_.SetCurrentThread(1);
  }
  lock_->Release();
  slots_->WaitForStartedThreads();
  lock_->Acquire();
  engine_.SetCurrentThread(1);
}

ProgramRun& CurrentRun() {
  return *current_run.load();
}

bool OnRuntimeThread() {
  ProgramRun* run = current_run.load();
  if (run == nullptr) return false;
  const platform::RuntimeLock* lock = run->made_lock_.load();
  return lock != nullptr && lock->HeldByCurrentThread();
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
