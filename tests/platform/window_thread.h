// A thread with a message loop for window-system tests. Work is handed to it
// with Run (which waits for the result); every message its loop takes is
// recorded, and windows made with MakeWindow record what their procedure is
// called with (sent messages included).
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/window_system.h"

namespace vaultrix::testing {

using platform::Message;
using platform::WindowHandle;
using platform::WindowSystem;

inline constexpr std::uint32_t kRunTask = platform::kWmUser + 0x3F0;

class WindowThread {
 public:
  explicit WindowThread(WindowSystem& system) : system_(system) {
    thread_ = std::thread([this] { Loop(); });
    std::unique_lock lock(mutex_);
    cv_.wait(lock, [&] { return id_ != platform::kNoThread; });
  }
  ~WindowThread() {
    system_.PostThreadMessage(id_, platform::kWmQuit + 0x10000);  // see Loop
    thread_.join();
  }
  WindowThread(const WindowThread&) = delete;
  WindowThread& operator=(const WindowThread&) = delete;

  platform::ThreadId Id() const { return id_; }

  // Runs `task` on the thread and waits for it to finish.
  void Run(std::function<void()> task) {
    bool done = false;
    std::function<void()> wrapped = [&] {
      task();
      std::lock_guard lock(mutex_);
      done = true;
      cv_.notify_all();
    };
    system_.PostThreadMessage(id_, kRunTask, 0, reinterpret_cast<std::intptr_t>(&wrapped));
    std::unique_lock lock(mutex_);
    cv_.wait(lock, [&] { return done; });
  }

  // A window of this thread whose procedure records every call and then
  // answers `answer` (or leaves the message to the default procedure).
  WindowHandle MakeWindow(platform::WindowCreateParams params,
                          std::function<std::intptr_t(const Message&)> answer = {}) {
    params.procedure = [this, answer](WindowSystem& system, const Message& m) -> std::intptr_t {
      {
        std::lock_guard lock(mutex_);
        calls_.push_back(m);
        cv_.notify_all();
      }
      if (answer) return answer(m);
      return WindowSystem::DefaultWindowProc(system, m);
    };
    WindowHandle handle = platform::kNoWindow;
    Run([&] { handle = system_.CreateWindow(params); });
    return handle;
  }

  // Messages the loop took, oldest first (task messages left out).
  std::vector<Message> Taken() {
    std::lock_guard lock(mutex_);
    return taken_;
  }
  // Calls of the recording procedures, oldest first.
  std::vector<Message> Calls() {
    std::lock_guard lock(mutex_);
    return calls_;
  }
  // Waits until `ready` holds over the taken messages (a test's watchdog
  // catches a wait that never ends).
  void WaitUntil(const std::function<bool(const std::vector<Message>&)>& ready) {
    std::unique_lock lock(mutex_);
    cv_.wait(lock, [&] { return ready(taken_); });
  }

 private:
  void Loop() {
    {
      std::lock_guard lock(mutex_);
      id_ = system_.CurrentThreadId();
      cv_.notify_all();
    }
    Message m;
    while (system_.GetMessage(m)) {
      if (m.window == platform::kNoWindow && m.message == kRunTask) {
        (*reinterpret_cast<std::function<void()>*>(m.lparam))();
        continue;
      }
      // A private stop message, so that tests may post kWmQuit themselves.
      if (m.window == platform::kNoWindow && m.message == platform::kWmQuit + 0x10000) break;
      {
        std::lock_guard lock(mutex_);
        taken_.push_back(m);
        cv_.notify_all();
      }
      system_.DispatchMessage(m);
    }
    system_.EndThread();
  }

  WindowSystem& system_;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable cv_;
  platform::ThreadId id_ = platform::kNoThread;
  std::vector<Message> taken_;
  std::vector<Message> calls_;
};

}  // namespace vaultrix::testing
