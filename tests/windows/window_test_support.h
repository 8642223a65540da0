// A fixture for tests of opened windows: a simulated clock, a window system
// with its event engine, a compiled module of small window descriptions,
// and runtime errors caught as exceptions with the message they showed.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/message_box.h"
#include "platform/resources.h"
#include "platform/runtime_lock.h"
#include "platform/thread_slots.h"
#include "runtime/support/runtime_error.h"
#include "runtime/windows/event_engine.h"
#include "runtime/windows/window_resource.h"
#include "tools/rescomp/compiler.h"

namespace vaultrix::windows {

inline constexpr const char* kTestWindows = R"(
module "VAULTRIX$vltrx001"

window "MAIN$APPFRAME"
  title "Vaultrix"
  attributes 0x1820
  status-bar -1 89
  menubar
    menu "&File"
      item -1 "&Passwords"
      item -10 "E&xit"
        action 0x0F
  toolbar
    at 0 0 400 19
    button -21 "Passwords"
window "LIST$WINDOW"
  title "Passwords"
  at 10 10 200 100
  entry 4
    use long
    picture "@n5"
    at 8 8 60 10
window "ASK$WINDOW"
  title "Question"
  attributes 0x8
window "CLOCK$WINDOW"
  title "Clock"
  timer 50
window "SETUP$WINDOW"
  title "Options"
  at default default 180 120
  check 1 "&Skip copy buttons"
    use long
    at 8 8 120 10
  group 2 "Clipboard"
    check 3 "&Hide clipboard"
      use long
    spin 4
      use long
      range 0 999
  spin 5
    use long
    at 8 80 40 10
  button 6 "OK"
)";

struct ProcessEnded {
  int exit_code;
};

class EngineFixture : public ::testing::Test {
 protected:
  EngineFixture() {
    platform::SetProgramResources(CompiledModule(kTestWindows, "vaultrix", "VLTRX001_RSC"));
    previous_box_ = platform::SetMessageBoxHandler([this](const platform::MessageBoxRequest& r) {
      shown_.push_back(r.text);
      return platform::MessageBoxAnswer::kOk;
    });
    previous_exit_ = support::SetProcessExitHandler([](int code) { throw ProcessEnded{code}; });
  }
  ~EngineFixture() override {
    support::SetProcessExitHandler(previous_exit_);
    platform::SetMessageBoxHandler(previous_box_);
    for (const auto& module : platform::LoadedResourceModules()) {
      platform::RemoveResourceModule(module.get());
    }
  }

  // A module of window descriptions compiled from `source` and held as the
  // resource `resource` of a loaded module named `module`.
  static platform::ResourceModulePtr CompiledModule(const char* source, const std::string& module,
                                                    const std::string& resource) {
    rescomp::CompiledModule compiled;
    rescomp::SourceError error;
    EXPECT_TRUE(rescomp::CompileSource(source, &compiled, &error))
        << "line " << error.line << ": " << error.message;
    auto resources = std::make_shared<platform::ResourceModule>(module);
    resources->Add("DABDUMP", resource, compiled.bytes);
    return resources;
  }

  WindowResource& Make(WindowKind kind, const std::string& structure,
                       std::initializer_list<void*> uses = {}) {
    std::unique_ptr<WindowResource> window;
    OpenWindowResource(&window, kind, "VAULTRIX$vltrx001", structure, uses);
    windows_.push_back(std::move(window));
    return *windows_.back();
  }

  // Runs `operation`, which must stop the program with a runtime error
  // showing `text`.
  void ExpectRuntimeError(const std::function<void()>& operation, const std::string& text) {
    shown_.clear();
    try {
      operation();
      ADD_FAILURE() << "no runtime error; expected \"" << text << "\"";
    } catch (const ProcessEnded& ended) {
      EXPECT_EQ(ended.exit_code, support::kRuntimeErrorExitCode);
      ASSERT_EQ(shown_.size(), 1u);
      EXPECT_EQ(shown_[0], text);
    }
  }

  platform::SimulatedClock clock_{platform::LocalDateTime{2026, 12, 7, 8, 0, 0, 0}};
  platform::ScopedCurrentClock installed_{clock_};
  platform::WindowSystem system_;
  EventEngine engine_{system_};
  std::vector<std::unique_ptr<WindowResource>> windows_;
  std::vector<std::string> shown_;

 private:
  platform::MessageBoxHandler previous_box_;
  support::ProcessExitHandler previous_exit_;
};

// The same with the runtime lock (held by the test's thread, runtime thread
// 1) and the thread slots, for procedures on started threads.
class ThreadedEngineFixture : public EngineFixture {
 protected:
  ThreadedEngineFixture() { engine_.SetLock(&lock_); }
  ~ThreadedEngineFixture() override { engine_.SetLock(nullptr); }

  // Lets every started thread finish; REQUIRES: the lock held.
  void JoinStartedThreads() {
    lock_.Release();
    slots_.WaitForStartedThreads();
    lock_.Acquire();
    engine_.SwitchContext(1);
  }

  // Gives the lock to every thread waiting for it, then takes it back.
  void LetOthersRun() {
    lock_.Release();
    std::this_thread::yield();
    lock_.Acquire();
    engine_.SwitchContext(1);
  }

  platform::RuntimeLock lock_{system_};
  platform::ThreadSlots slots_;
};

}  // namespace vaultrix::windows
