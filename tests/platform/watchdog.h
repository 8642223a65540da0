// A watchdog for tests that wait on other threads: when the test has not
// finished within the limit, the process stops with a message, so a hang
// fails the test instead of stalling the run. The limit is generous real
// time; nothing is timed by it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace vaultrix::testing {

class Watchdog {
 public:
  explicit Watchdog(std::string what, std::chrono::seconds limit = std::chrono::seconds(60))
      : what_(std::move(what)), thread_([this, limit] { Watch(limit); }) {}
  ~Watchdog() {
    {
      std::lock_guard lock(mutex_);
      done_ = true;
    }
    cv_.notify_all();
    thread_.join();
  }
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

 private:
  void Watch(std::chrono::seconds limit) {
    std::unique_lock lock(mutex_);
    if (!cv_.wait_for(lock, limit, [&] { return done_; })) {
      std::fprintf(stderr, "watchdog: %s did not finish within %lld s\n", what_.c_str(),
                   static_cast<long long>(limit.count()));
      std::fflush(stderr);
      std::abort();
    }
  }

  std::string what_;
  std::mutex mutex_;
  std::condition_variable cv_;
  bool done_ = false;
  std::thread thread_;
};

}  // namespace vaultrix::testing
