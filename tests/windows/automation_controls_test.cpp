// Check boxes, radios, tabs and buttons under the headless driver's mouse
// and Space, as on the desktop: each script line against the events the
// program saw, the variables it bound and the dump.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "tests/platform/watchdog.h"
#include "tests/windows/headless_program.h"

namespace vaultrix::windows {
namespace {

constexpr const char* kFormWindow = R"(
module "VAULTRIX$vltrx001"

window "FORM$WINDOW"
  title "Form"
  at 0 0 240 200
  button 1 "&Save"
    at 4 4 40 14
  check 2 "Remember me"
    use byte
    at 4 20 100 10
  options 3 "Kind"
    use string 10
    at 4 34 120 40
    radio 4 "Word"
      value "Word"
      at 8 44 50 10
    radio 5 "Digits"
      value "Digits"
      at 8 56 50 10
  sheet 6
    use long
    at 4 80 200 80
    tab 7 "One"
      string 8 "first page"
        at 10 100 80 10
    tab 9 "Two"
      entry 10
        use long
        at 10 100 40 10
  check 11 "Locked"
    use byte
    at 130 4 60 10
)";

using Seen = std::vector<std::pair<int, int>>;  // event, control

class HeadlessControlsTest : public HeadlessProgramTest {
 protected:
  HeadlessControlsTest() : HeadlessProgramTest(kFormWindow) {
    std::memset(kind_, ' ', sizeof kind_);
    Open("FORM$WINDOW", {&remember_, kind_, &page_, &number_, &locked_},
         [this](WindowObject& window) {
           (void)system_.EnableWindow(window.FindControl(11)->handle, false);
         });
  }

  Seen Events() {
    Seen seen;
    for (const SeenEvent& e : TakeEvents()) seen.emplace_back(e.event, e.control);
    return seen;
  }

  std::uint8_t remember_ = 0;
  char kind_[10];
  std::int32_t page_ = 0;
  std::int32_t number_ = 0;
  std::uint8_t locked_ = 0;
  testing::Watchdog watchdog_{"headless controls"};
};

TEST_F(HeadlessControlsTest, ClicksAndSpaceActAsOnTheDesktop) {
  struct Step {
    const char* line;
    Seen events;
    const char* shown;      // the dump holds it afterwards ("" for nothing)
    const char* not_shown;  // and does not hold this
  };
  const Step steps[] = {
      {"click \"Remember me\"", {{kEventAccepted, 2}}, "CHECK 2 \"Remember me\" check=1", ""},
      {"key Space", {{kEventAccepted, 2}}, "", "check=1"},
      {"double-click \"remember me\"", {{kEventAccepted, 2}, {kEventAccepted, 2}}, "", "check=1"},
      {"right-click \"Remember me\"", {}, "", "check=1"},
      {"click \"Digits\"",
       {{kEventAccepted, 3}},
       "RADIO 5 \"Digits\" check=1",
       "RADIO 4 \"Word\" check"},
      {"focus \"Word\"", {}, "OPTION 3 \"Kind\" value=2", ""},
      {"key Space", {{kEventAccepted, 3}}, "RADIO 4 \"Word\" check=1", "RADIO 5 \"Digits\" check"},
      // The second tab's page is hidden, yet its header can be clicked.
      {"click \"Two\"",
       {{kEventTabChanging, 6}, {kEventNewSelection, 6}},
       "TAB 7 \"One\" hidden",
       "TAB 9 \"Two\" hidden"},
      {"click \"Two\"", {}, "", ""},
      {"click \"Locked\"", {}, "CHECK 11 \"Locked\" disabled", "CHECK 11 \"Locked\" check"},
      {"click \"&Save\"", {{kEventAccepted, 1}}, "", ""},
      {"focus \"&Save\"", {}, "", ""},
      {"key Space", {{kEventAccepted, 1}}, "", ""},
  };
  (void)TakeEvents();
  for (const Step& step : steps) {
    SCOPED_TRACE(step.line);
    Do(step.line);
    EXPECT_EQ(Events(), step.events);
    const std::string dump = Dump();
    if (*step.shown != '\0') {
      EXPECT_NE(dump.find(step.shown), std::string::npos) << dump;
    }
    if (*step.not_shown != '\0') {
      EXPECT_EQ(dump.find(step.not_shown), std::string::npos) << dump;
    }
  }
  CloseProgram();
  // What the procedure's variables took: the last states set above.
  EXPECT_EQ(remember_, 0);
  EXPECT_EQ(std::string(kind_, 4), "Word");
  EXPECT_EQ(page_, 2);
  EXPECT_EQ(locked_, 0);
}

}  // namespace
}  // namespace vaultrix::windows
