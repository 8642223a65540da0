// A fixture for end-to-end tests through the headless driver: a compiled
// module of window descriptions as the program's resources, a simulated
// clock, a window system with its event engine, and a program procedure on
// a thread of its own that the test thread drives through Automation, as a
// user at a display would.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/drivers/headless/script.h"
#include "platform/drivers/headless/session.h"
#include "platform/resources.h"
#include "runtime/windows/event_engine.h"
#include "runtime/windows/window_open.h"
#include "runtime/windows/window_resource.h"
#include "tools/rescomp/compiler.h"

namespace vaultrix::windows {

// One delivered event as the loop body saw it.
struct SeenEvent {
  int event = 0;
  int control = 0;
  std::int32_t key_code = 0;  // masked with 0x7FF
  std::string use;            // the list's use variable, trailing blanks cut
  friend bool operator==(const SeenEvent&, const SeenEvent&) = default;
  friend void PrintTo(const SeenEvent& e, std::ostream* out) {
    *out << "{event " << e.event << ", control " << e.control << ", key 0x" << std::hex
         << e.key_code << std::dec << ", use \"" << e.use << "\"}";
  }
};

class HeadlessProgramTest : public ::testing::Test {
 protected:
  explicit HeadlessProgramTest(const char* source) {
    rescomp::CompiledModule module;
    rescomp::SourceError error;
    EXPECT_TRUE(rescomp::CompileSource(source, &module, &error))
        << "line " << error.line << ": " << error.message;
    auto resources = std::make_shared<platform::ResourceModule>("vaultrix");
    resources->Add("DABDUMP", "VLTRX001_RSC", module.bytes);
    platform::SetProgramResources(resources);
    session_.automation().SetWaitLimit(std::chrono::seconds(20));
  }
  // The program closes while the whole fixture, with what it binds, lives.
  void TearDown() override { CloseProgram(); }

  // Closes the program as the user would and waits for it to end; a test
  // whose loop body uses the test's own variables calls it before they go.
  void CloseProgram() {
    std::string error;
    if (!session_.Finished()) {
      EXPECT_TRUE(session_.automation().CloseAll(&error)) << error;
    }
    EXPECT_TRUE(session_.Join(std::chrono::seconds(20)));
  }
  ~HeadlessProgramTest() override {
    for (const auto& module : platform::LoadedResourceModules()) {
      platform::RemoveResourceModule(module.get());
    }
  }

  // Starts the program: opens `structure` as a plain window binding `uses`,
  // lets `opened` run on the program thread, then loops with `body` (called
  // after the event is logged) until the window closes.
  void Open(const std::string& structure, std::vector<void*> uses,
            std::function<void(WindowObject&)> opened = {},
            std::function<int(WindowObject&)> body = {}) {
    session_.Start([this, structure, uses, opened, body] {
      window_ = std::make_unique<WindowResource>(WindowKind::kPlainWindow, "VAULTRIX$vltrx001",
                                                 structure, uses);
      WindowOpen(engine_, *window_);
      WindowObject& object = window_->object();
      if (opened) opened(object);
      Accept(engine_, [this, &object, body] {
        Log(object);
        return body ? body(object) : kBodyDefault;
      });
      WindowClose(engine_, object);
    });
    Settle();
  }

  // The program's own record of an event, for the log; tests may override
  // what the use variable is.
  virtual std::string UseText() { return {}; }

  void Log(WindowObject& window) {
    const EventRecord& record = *window.current_event;
    std::lock_guard lock(mutex_);
    seen_.push_back({record.Event(), record.control != nullptr ? record.control->number : 0,
                     record.key_code & 0x7FF, UseText()});
  }

  // The events seen so far apart from the window's own opening and focus
  // events, and forgets them.
  std::vector<SeenEvent> TakeEvents() {
    std::lock_guard lock(mutex_);
    std::vector<SeenEvent> taken;
    for (const SeenEvent& e : seen_) {
      if (e.event == kEventOpenWindow || e.event == kEventGainFocus ||
          e.event == kEventLoseFocus || e.event == kEventSelected) {
        continue;
      }
      taken.push_back(e);
    }
    seen_.clear();
    return taken;
  }

  void Settle() {
    std::string error;
    ASSERT_TRUE(automation().Settle(&error)) << error;
  }
  // Runs one script line and settles.
  void Do(const std::string& line) {
    std::string error;
    ASSERT_TRUE(script_.RunLine(line, &error)) << line << ": " << error;
    Settle();
  }
  std::string Dump() { return automation().Dump(); }
  platform::headless::Automation& automation() { return session_.automation(); }

  platform::SimulatedClock clock_{platform::LocalDateTime{2026, 12, 7, 8, 0, 0, 0}};
  platform::ScopedCurrentClock installed_{clock_};
  platform::WindowSystem system_;
  EventEngine engine_{system_};
  platform::headless::HeadlessSession session_{system_, &clock_};
  std::ostringstream script_out_;
  platform::headless::ScriptRunner script_{session_.automation(), script_out_};
  std::unique_ptr<WindowResource> window_;

 private:
  std::mutex mutex_;
  std::vector<SeenEvent> seen_;
};

}  // namespace vaultrix::windows
