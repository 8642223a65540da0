// The SIGBUS guard of GuardedCopy. A thread that is copying out of a mapping
// publishes a jump buffer; the handler jumps back to it. A SIGBUS anywhere
// else goes to whatever handled it before, or ends the process as it would
// have without the guard.
#include "platform/guarded_copy.h"

#include <atomic>
#include <csetjmp>
#include <csignal>
#include <cstring>
#include <mutex>

namespace vaultrix::platform {
namespace {

thread_local sigjmp_buf* active_guard = nullptr;
struct sigaction previous_action;

void OnBusError(int signal, siginfo_t* info, void* context) {
  if (sigjmp_buf* guard = active_guard) {
    active_guard = nullptr;
    siglongjmp(*guard, 1);
  }
  if ((previous_action.sa_flags & SA_SIGINFO) != 0 && previous_action.sa_sigaction != nullptr) {
    previous_action.sa_sigaction(signal, info, context);
    return;
  }
  if (previous_action.sa_handler != SIG_DFL && previous_action.sa_handler != SIG_IGN &&
      previous_action.sa_handler != nullptr) {
    previous_action.sa_handler(signal);
    return;
  }
  // Returning would fault again; the default action ends the process.
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

void InstallHandler() {
  struct sigaction action {};
  action.sa_sigaction = &OnBusError;
  action.sa_flags = SA_SIGINFO | SA_NODEFER;
  sigemptyset(&action.sa_mask);
  (void)sigaction(SIGBUS, &action, &previous_action);
}

}  // namespace

bool GuardedCopy(void* target, const void* source, std::size_t size) {
  static std::once_flag installed;
  std::call_once(installed, InstallHandler);
  sigjmp_buf guard;
  // No signal mask is saved (that would cost a system call per copy): the
  // handler runs with SA_NODEFER, so SIGBUS is not blocked when it jumps.
  if (sigsetjmp(guard, 0) != 0) return false;
  active_guard = &guard;
  std::atomic_signal_fence(std::memory_order_seq_cst);
  std::memcpy(target, source, size);
  std::atomic_signal_fence(std::memory_order_seq_cst);
  active_guard = nullptr;
  return true;
}

}  // namespace vaultrix::platform
