// The running program's test fixture.
#include "tests/app/frame/frame_test_support.h"

#include <thread>

#include "app/dictionary/data_dictionary.h"
#include "app/services/open_data_file.h"
#include "app/options/options.h"
#include "app/program/runner.h"
#include "runtime/files/file_api.h"
#include "runtime/support/error_state.h"
#include "runtime/support/profile.h"
#include "runtime/windows/event_codes.h"
#include "runtime/windows/window_build.h"
#include "tests/app/test_data_driver.h"

namespace vaultrix::app::testing {
namespace {

using namespace std::chrono_literals;

void Descendants(const platform::WindowSystem& system, platform::WindowHandle window,
                 std::vector<platform::WindowHandle>& out) {
  for (platform::WindowHandle child : system.Children(window)) {
    out.push_back(child);
    Descendants(system, child, out);
  }
}

}  // namespace

void FrameTest::SetUp() {
  AppServicesTest::SetUp();
  // Message boxes go to the driver, which answers with the default button
  // unless a test has queued another answer.
  platform::SetMessageBoxHandler([this](const platform::MessageBoxRequest& request) {
    return system_.MessageBox(platform::kNoWindow, request);
  });
  driver_.SetUnansweredPolicy(platform::headless::UnansweredPolicy::kDefaultButton);
  LoadOptions();
  ShutdownDeadline = 0;
  ClipboardDeadline = 0;
}

void FrameTest::TearDown() {
  if (started_) {
    if (!run_.Finished()) {
      UnderLock([&] {
        windows::PostEvent(run_.Engine(), windows::kEventCloseDown, 0, 1);
      });
    }
    for (int i = 0; i < 200 && !run_.Finished(); ++i) Advance(100ms, 100ms);
    EXPECT_TRUE(run_.Finished()) << "the program did not end";
    run_.Wait();
  }
  AppServicesTest::TearDown();
}

void FrameTest::WriteVault(const std::vector<std::string>& users, int passwords) {
  OpenDataFile(Users());
  for (const std::string& name : users) {
    U_ = UserRecord{};
    U_.Name = name;
    U_.Password = "Not Required";
    files::Add(Users().Block());
    ASSERT_EQ(support::ErrorCode(), 0) << support::Error();
  }
  files::Close(Users().Block());
  OpenDataFile(Passwords());
  for (int i = 0; i < passwords; ++i) {
    P_ = PasswordRecord{};
    P_.User = users.empty() ? "Ann" : users[0];
    P_.Service = "service " + std::to_string(i);
    P_.Name = "login";
    files::Add(Passwords().Block());
    ASSERT_EQ(support::ErrorCode(), 0) << support::Error();
  }
  files::Close(Passwords().Block());
  ResetDeclarations();
  TestDisk::Get().calls.clear();
}

void FrameTest::SetOption(std::string_view key, std::string_view value) {
  ASSERT_EQ(support::PutIni(kOptionsSection, key, value), 0);
}

void FrameTest::StartProgram() {
  started_ = true;
  app::StartProgram(run_);
  Settle();
}

void FrameTest::Settle() {
  do {
    while (run_.PendingStarts() > 0) std::this_thread::yield();
    ASSERT_TRUE(system_.WaitUntilIdle(10s)) << "the program did not come to rest";
  } while (run_.PendingStarts() > 0);
  driver_.Pump();
}

void FrameTest::Advance(std::chrono::milliseconds total, std::chrono::milliseconds step) {
  for (std::chrono::milliseconds done{0}; done < total; done += step) {
    clock_.Advance(step.count());
    Settle();
  }
}

void FrameTest::UnderLock(const std::function<void()>& action) {
  run_.Lock().Acquire();
  const int previous = run_.Engine().CurrentThread();
  action();
  run_.Engine().SetCurrentThread(previous);
  run_.Lock().Release();
}

void FrameTest::Choose(int control) {
  UnderLock([&] { windows::PostEvent(run_.Engine(), windows::kEventAccepted, control, 1); });
  Settle();
}

void FrameTest::Press(platform::WindowHandle window, int control) {
  UnderLock([&] {
    for (int number = 1; number <= windows::kThreadCount; ++number) {
      windows::RuntimeThread* thread = run_.Engine().Thread(number);
      for (windows::WindowObject* w = thread->current_window; w != nullptr; w = w->previous) {
        if (w->handle != window) continue;
        windows::ControlObject* button = w->FindControl(control);
        ASSERT_NE(button, nullptr) << "no control " << control;
        windows::PostEventToWindow(run_.Engine(), *w, windows::kEventAccepted, button);
        return;
      }
    }
    ADD_FAILURE() << "no open window " << window;
  });
  Settle();
}

platform::WindowHandle FrameTest::Window(std::string_view caption) const {
  for (platform::WindowHandle window : system_.TopLevelWindows()) {
    if (system_.GetText(window) == caption) return window;
  }
  return platform::kNoWindow;
}

platform::WindowHandle FrameTest::Frame() const {
  for (platform::WindowHandle window : system_.TopLevelWindows()) {
    const auto info = system_.GetWindowInfo(window);
    if (info && info->kind == platform::WindowKind::kFrame) return window;
  }
  return platform::kNoWindow;
}

std::optional<platform::WindowInfo> FrameTest::Control(platform::WindowHandle window,
                                                       int number) const {
  std::vector<platform::WindowHandle> all;
  Descendants(system_, window, all);
  for (platform::WindowHandle handle : all) {
    auto info = system_.GetWindowInfo(handle);
    if (info && info->kind == platform::WindowKind::kControl && info->control_id == number &&
        number != 0) {
      return info;
    }
  }
  return std::nullopt;
}

std::string FrameTest::Zone(int zone) const {
  std::vector<platform::WindowHandle> all;
  Descendants(system_, Frame(), all);
  for (platform::WindowHandle handle : all) {
    auto info = system_.GetWindowInfo(handle);
    if (info && info->class_name == windows::kStatusBarClass) {
      const auto index = static_cast<std::size_t>(zone - 1);
      return index < info->rows.size() ? info->rows[index] : std::string();
    }
  }
  return "(no status bar)";
}

std::string FrameTest::Clipboard() const {
  return system_.GetClipboardText().value_or("");
}

}  // namespace vaultrix::app::testing
