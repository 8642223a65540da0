// The system commands that a window's procedure answers at once: close,
// and the move, size, restore, maximize and minimize requests, which a
// window whose description asks for them (event flag 0x800) hears as
// "EVENT:Move" ... "EVENT:Iconize" and may refuse with SkipDefault. A driver
// sends these and applies the answer: 1 go ahead, 0 refused.
#include "runtime/windows/window_open.h"
#include "runtime/windows/window_requests.h"

namespace vaultrix::windows {
namespace {

constexpr std::uint32_t kRequestsFlag = 0x800;

// Holds the runtime lock while a sent message runs runtime code: the
// message may arrive while the thread waits for messages without the lock.
class LockForSentMessage {
 public:
  LockForSentMessage(EventEngine& engine, int thread) : engine_(engine) {
    platform::RuntimeLock* lock = engine.Lock();
    if (lock != nullptr && !lock->HeldByCurrentThread()) {
      lock->Acquire();
      taken_ = true;
    }
    previous_ = engine.CurrentThread();
    engine.SwitchContext(thread);
  }
  ~LockForSentMessage() {
    engine_.SwitchContext(previous_);
    if (taken_) engine_.Lock()->Release();
  }
  LockForSentMessage(const LockForSentMessage&) = delete;
  LockForSentMessage& operator=(const LockForSentMessage&) = delete;

 private:
  EventEngine& engine_;
  bool taken_ = false;
  int previous_ = 0;
};

struct Request {
  int event;
  int show;  // kSw* applied when allowed; -1: the driver moves or sizes
};

std::optional<Request> RequestOf(std::uintptr_t command) {
  switch (command & 0xFFF0) {
    case platform::kScMove: return Request{kEventMove, -1};
    case platform::kScSize: return Request{kEventSize, -1};
    case platform::kScRestore: return Request{kEventRestore, platform::kSwRestore};
    case platform::kScMaximize: return Request{kEventMaximize, platform::kSwShowMaximized};
    case platform::kScMinimize: return Request{kEventIconize, platform::kSwMinimize};
    default: return std::nullopt;
  }
}

}  // namespace

std::intptr_t AnswerSystemCommand(EventEngine& engine, WindowObject& window,
                                  std::uintptr_t command) {
  LockForSentMessage locked(engine, window.thread);
  platform::WindowSystem& system = engine.System();
  if ((command & 0xFFF0) == platform::kScClose) {
    // Posted, so that a thread waiting for messages wakes to serve it.
    (void)system.PostMessage(window.handle, platform::kWmClose);
    return 1;
  }
  const std::optional<Request> request = RequestOf(command);
  if (!request) return 0;
  const std::optional<platform::WindowInfo> info = system.GetWindowInfo(window.handle);
  const bool minimized = info && info->show_state == platform::ShowState::kMinimized;
  if (request->show < 0 && minimized) return 0;
  if ((window.event_flags & kRequestsFlag) != 0 &&
      DeliverAtOnce(engine, window, request->event) == kSkipDefault) {
    return 0;
  }
  if (request->show >= 0) (void)system.ShowWindow(window.handle, request->show);
  return 1;
}

}  // namespace vaultrix::windows
