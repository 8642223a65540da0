// End-to-end tests of the running program: the main program on runtime
// thread 1 over the in-memory data driver, the headless display driver on the
// test's thread, the simulated clock, and helpers that act as the user would
// (menu choices, button presses, edits) and read what the user would see
// (windows by caption, controls, status bar zones, the clipboard).
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/program/run.h"
#include "platform/clock.h"
#include "platform/drivers/headless/headless_driver.h"
#include "platform/window_system.h"
#include "tests/app/test_support.h"

namespace vaultrix::app::testing {

class FrameTest : public AppServicesTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes the data files before the program starts: users by name, and
  // `passwords` password records of the first user (or of "Ann").
  void WriteVault(const std::vector<std::string>& users, int passwords = 0);
  void SetOption(std::string_view key, std::string_view value);

  void StartProgram();
  // Waits until every runtime thread waits for input, then takes the
  // driver's notifications.
  void Settle();
  // Moves the simulated clock on in steps, settling after each.
  void Advance(std::chrono::milliseconds total,
               std::chrono::milliseconds step = std::chrono::milliseconds(500));
  // Runs `action` on the test's thread while holding the runtime lock.
  void UnderLock(const std::function<void()>& action);

  // A menu item or toolbar button of the frame chosen.
  void Choose(int control);
  // "EVENT:Accepted" of a button (by its number) of the window with this handle.
  void Press(platform::WindowHandle window, int control);

  // The top-level window (frame included) with that caption; kNoWindow when none.
  [[nodiscard]] platform::WindowHandle Window(std::string_view caption) const;
  [[nodiscard]] platform::WindowHandle Frame() const;
  // The control of that number among a window's descendants.
  [[nodiscard]] std::optional<platform::WindowInfo> Control(platform::WindowHandle window,
                                                            int number) const;
  [[nodiscard]] std::string Zone(int zone) const;
  [[nodiscard]] std::string Clipboard() const;

  platform::SimulatedClock clock_{platform::LocalDateTime{2026, 12, 7, 8, 0, 0, 0}};
  platform::ScopedCurrentClock installed_{clock_};
  platform::WindowSystem system_;
  platform::headless::HeadlessDriver driver_{system_};
  ProgramRun run_{system_};
  bool started_ = false;
};

}  // namespace vaultrix::app::testing
