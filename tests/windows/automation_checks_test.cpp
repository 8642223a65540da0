// The script lines that reach further than the plain dump: `choose` in the
// active window's own menu before the frame's, the regular-expression,
// clipboard and file checks (paths from the script's folder and the
// environment), and `advance-until` on a timer-driven window.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/drivers/headless/script.h"
#include "runtime/windows/window_properties.h"
#include "tests/platform/watchdog.h"
#include "tests/windows/headless_program.h"

namespace vaultrix::platform::headless {
namespace {

WindowHandle Make(WindowSystem& system, WindowKind kind, const char* class_name, const char* text,
                  WindowHandle parent, int id = 0) {
  WindowCreateParams params;
  params.kind = kind;
  params.class_name = class_name;
  params.text = text;
  params.style = kWsVisible;
  params.parent = kind == WindowKind::kControl ? parent : kNoWindow;
  params.owner = kind == WindowKind::kControl ? kNoWindow : parent;
  params.control_id = id;
  params.rect = {0, 0, 100, 50};
  return system.CreateWindow(params);
}

// A menu bar whose menus hold one item each: {menu, item, number}.
struct MenuItem {
  const char* menu;
  const char* item;
  int id;
};
void AddMenuBar(WindowSystem& system, WindowHandle window, std::initializer_list<MenuItem> items) {
  const WindowHandle bar = Make(system, WindowKind::kControl, "MENUBAR", "", window);
  for (const MenuItem& m : items) {
    const WindowHandle pulldown = Make(system, WindowKind::kControl, "MENU", m.menu, bar);
    (void)Make(system, WindowKind::kControl, "ITEM", m.item, pulldown, m.id);
  }
}

class ScriptChecksTest : public ::testing::Test {
 protected:
  ScriptChecksTest() {
    frame_ = Make(system_, WindowKind::kFrame, "FRAME", "Vaultrix", kNoWindow);
    AddMenuBar(system_, frame_, {{"&File", "E&xit", -10}, {"&View", "&Zoom", -5}});
    preview_ = Make(system_, WindowKind::kPlain, "WINDOW", "Preview", frame_);
    AddMenuBar(system_, preview_, {{"&View", "&Zoom", -7}});
    folder_ =
        std::filesystem::temp_directory_path() / ("vaultrix_checks_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder_);
    std::ofstream(folder_ / "export.csv") << "\"alpha\",\"www.alpha.example\"\n";
    runner_.SetBaseDirectory(folder_.string());
    ::setenv("VAULTRIX_CHECKS_DIR", folder_.c_str(), 1);
  }
  ~ScriptChecksTest() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  // The window and command of the command that a line posted.
  std::pair<WindowHandle, int> Chosen(const std::string& line) {
    std::string error;
    EXPECT_TRUE(runner_.RunLine(line, &error)) << line << ": " << error;
    Message m;
    while (system_.PeekMessage(m, kPmRemove)) {
      if (m.message == kWmCommand) return {m.window, static_cast<std::int16_t>(m.wparam & 0xFFFF)};
    }
    return {kNoWindow, 0};
  }

  WindowSystem system_;
  HeadlessDriver driver_{system_};
  Automation automation_{driver_, nullptr};
  std::ostringstream out_;
  ScriptRunner runner_{automation_, out_};
  WindowHandle frame_ = kNoWindow;
  WindowHandle preview_ = kNoWindow;
  std::filesystem::path folder_;
};

TEST_F(ScriptChecksTest, ChooseLooksInTheActiveWindowsMenuFirstThenTheFrames) {
  (void)system_.SetActiveWindow(preview_);
  EXPECT_EQ(Chosen("choose \"&View\" \"&Zoom\""), std::make_pair(preview_, -7));
  EXPECT_EQ(Chosen("choose \"&File\" \"E&xit\""), std::make_pair(frame_, -10))
      << "what the preview's own menu lacks is the frame's";
  (void)system_.SetActiveWindow(frame_);
  EXPECT_EQ(Chosen("choose \"&View\" \"&Zoom\""), std::make_pair(frame_, -5));
  std::string error;
  EXPECT_FALSE(runner_.RunLine("choose \"&View\" \"&Print\"", &error));
  EXPECT_EQ(error, "no menu item \"&View\" > \"&Print\"");
}

TEST_F(ScriptChecksTest, MatchClipboardAndFileChecksHoldOrSayWhy) {
  struct Case {
    const char* line;
    const char* error;  // nullptr: the line holds; else how the error starts
  };
  const Case cases[] = {
      {"clipboard \"qwerty\"", nullptr},
      {"expect-clipboard-match \"^[a-z]{6}$\"", nullptr},
      {"expect-clipboard-match \"^[a-z]{7}$\"",
       "the clipboard holds \"qwerty\", which does not match \"^[a-z]{7}$\""},
      {"expect-clipboard-not \"qwertz\"", nullptr},
      {"expect-clipboard-not \"qwerty\"", "the clipboard holds \"qwerty\""},
      {"expect-match \"^window \\\"Preview\\\" window\"", nullptr},
      {"expect-match \"^ +ITEM -7 \\\"&Z.*m\\\"$\"", nullptr},
      {"expect-match \"^ITEM\"", "no line of the dump matches \"^ITEM\""},
      {"expect-match \"([a-z\"", "bad regular expression \"([a-z\""},
      {"expect-file export.csv", nullptr},
      {"expect-file export.csv \"www.alpha.example\"", nullptr},
      {"expect-file \"${VAULTRIX_CHECKS_DIR}/export.csv\" \"alpha\"", nullptr},
      {"expect-file $VAULTRIX_CHECKS_DIR/export.csv \"beta\"", "the file \""},
      {"expect-no-file import.csv", nullptr},
      {"expect-no-file export.csv", "the file \""},
      {"expect-file import.csv", "there is no file \""},
      {"expect-file \"${VAULTRIX_NOT_SET_ANYWHERE}/a\"",
       "the environment variable VAULTRIX_NOT_SET_ANYWHERE is not set"},
      {"expect-file \"${VAULTRIX_CHECKS_DIR/a\"", "a \"${\" in the path"},
  };
  for (const Case& c : cases) {
    std::string error;
    const bool held = runner_.RunLine(c.line, &error);
    EXPECT_EQ(held, c.error == nullptr) << c.line << ": " << error;
    if (c.error != nullptr) {
      EXPECT_EQ(error.rfind(c.error, 0), 0u) << c.line << ": " << error;
    }
  }
}

}  // namespace
}  // namespace vaultrix::platform::headless

namespace vaultrix::windows {
namespace {

constexpr const char* kTickingWindow = R"(
module "VAULTRIX$vltrx001"

window "PROGRESS$WINDOW"
  title "Progress"
  at 10 10 200 40
  timer 1
  string 1 ""
    at 4 4 100 10
)";

class AdvanceUntilTest : public HeadlessProgramTest {
 protected:
  AdvanceUntilTest() : HeadlessProgramTest(kTickingWindow) {
    Open("PROGRESS$WINDOW", {}, {}, [this](WindowObject& window) {
      if (window.current_event->Event() == kEventTimer) {
        SetProperty(engine_, &window, 1, kPropText, 0, "tick " + std::to_string(++ticks_) + ".");
      }
      return kBodyDefault;
    });
  }
  int ticks_ = 0;
  testing::Watchdog watchdog_{"advance-until"};
};

TEST_F(AdvanceUntilTest, TheClockMovesTickByTickUntilTheTextShowsOrTheLimitPasses) {
  const std::int64_t start = clock_.NowMilliseconds();
  Do("advance-until \"tick 25.\" 1000");
  EXPECT_EQ(clock_.NowMilliseconds() - start, 250) << "each 10 ms step lets the timer tick once";
  Do("advance-until \"tick 25.\" 1000");
  EXPECT_EQ(clock_.NowMilliseconds() - start, 250) << "a text already shown moves nothing";
  std::string error;
  EXPECT_FALSE(script_.RunLine("advance-until \"tick 1000.\" 95", &error));
  EXPECT_EQ(error.rfind("the dump shows no \"tick 1000.\" after 95 ms\n", 0), 0u) << error;
  EXPECT_EQ(clock_.NowMilliseconds() - start, 345);
}

}  // namespace
}  // namespace vaultrix::windows
