// The running frame, end to end: the vault check before anything is shown,
// the toolbar's user buttons, the status bar, the clipboard clearing across
// midnight, the inactivity close-down with its countdown, the splash window,
// "Filter Clipboard Contents", the platform's shut-down messages and the
// frame's placement.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <initializer_list>

#include "app/frame/countdown.h"
#include "app/frame/frame.h"
#include "app/program/halt.h"
#include "app/options/options.h"
#include "app/program/run.h"
#include "app/services/standard_warnings.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/profile.h"
#include "runtime/support/runtime_error.h"
#include "tests/app/frame/frame_test_support.h"
#include "tests/app/test_data_driver.h"

namespace vaultrix::app {
namespace {

using namespace std::chrono_literals;
using testing::TestDisk;

class FrameEndToEnd : public testing::FrameTest {
 protected:
  bool Visible(int control) {
    const auto info = Control(Frame(), control);
    return info && info->visible;
  }
  std::string Text(int control) {
    const auto info = Control(Frame(), control);
    return info ? info->text : "(none)";
  }
  platform::DialogRequest WhileABoxIsOpen(std::function<void()> procedure);
  platform::WindowHandle Splash() {
    for (platform::WindowHandle window : system_.TopLevelWindows()) {
      const auto info = system_.GetWindowInfo(window);
      if (info && info->kind == platform::WindowKind::kPlain && info->text.empty()) return window;
    }
    return platform::kNoWindow;
  }
};

TEST_F(FrameEndToEnd, AnEmptyUsersFileBesideKeptPasswordsCannotProceed) {
  WriteVault({}, 2);
  StartProgram();
  run_.Wait();
  EXPECT_TRUE(run_.Finished());
  const auto dialogs = driver_.DialogHistory();
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(dialogs[0].message_box.caption, kCannotProceedCaption);
  EXPECT_EQ(dialogs[0].message_box.text, kCannotProceedText);
  for (const auto& n : driver_.History()) {
    if (n.kind != platform::NotificationKind::kCreated) continue;
    ADD_FAILURE() << "a window was made before the program ended";
  }
  EXPECT_EQ(TestDisk::Get().LiveRecords("Vtrix_P"), 2u) << "nothing is done with the data";
}

TEST_F(FrameEndToEnd, AFirstStartCreatesTheFilesAndOpensTheFrame) {
  StartProgram();
  ASSERT_NE(Frame(), platform::kNoWindow);
  EXPECT_EQ(system_.GetText(Frame()), "Vaultrix");
  EXPECT_TRUE(TestDisk::Get().Exists("Vtrix_P"));
  EXPECT_TRUE(TestDisk::Get().Exists("Vtrix_U"));
  EXPECT_TRUE(driver_.DialogHistory().empty()) << "created silently";
  EXPECT_TRUE(Zone(kZoneDate).starts_with("Monday, December ")) << Zone(kZoneDate);
  EXPECT_TRUE(Zone(kZoneDate).ends_with(" 7, 2026")) << Zone(kZoneDate);
  EXPECT_EQ(Zone(kZoneTime), " 8:00AM");
  EXPECT_TRUE(Control(Frame(), kMenuPasswords)->enabled);
  EXPECT_TRUE(Control(Frame(), kMenuPrint)->enabled);
  EXPECT_TRUE(Control(Frame(), kMenuOptions)->enabled);
}

class ToolbarUsers : public FrameEndToEnd, public ::testing::WithParamInterface<int> {};

TEST_P(ToolbarUsers, OnlyThreeUsersAppearAndTheRestOfTheButtonsAreHidden) {
  const std::vector<std::string> all = {"Alice", "Bob", "Carol", "Dave"};
  const int count = GetParam();
  WriteVault(std::vector<std::string>(all.begin(), all.begin() + count));
  StartProgram();
  for (int i = 0; i < 3; ++i) {
    const int button = kToolUser1 - i;
    if (i < count) {
      EXPECT_TRUE(Visible(button)) << i;
      EXPECT_EQ(Text(button), all[static_cast<std::size_t>(i)]);
    } else {
      EXPECT_FALSE(Visible(button)) << i;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(OneToFour, ToolbarUsers, ::testing::Values(1, 2, 3, 4));

TEST_F(FrameEndToEnd, ACopyJustBeforeMidnightIsClearedThirtySecondsLater) {
  clock_.SetLocal({2026, 12, 7, 23, 59, 45, 0});
  SetOption(kClipboardClearKey, "30");
  StartProgram();
  // The frame looks at the clipboard on its ticks, whole seconds here: the
  // copy just before 23:59:50 is seen then.
  Advance(4500ms);
  system_.SetClipboardText("hunter2");
  Advance(500ms);  // 23:59:50
  EXPECT_EQ(Zone(kZoneCountdown), "30 seconds to clipboard clear");
  Advance(29500ms);  // 00:00:19.5
  EXPECT_EQ(Clipboard(), "hunter2") << "the clock wrapped, the deadline did not pass";
  EXPECT_EQ(Zone(kZoneCountdown), "0.5 seconds to clipboard clear");
  Advance(500ms);  // 00:00:20: the deadline itself, which must be passed
  EXPECT_EQ(Zone(kZoneCountdown), "0 seconds to clipboard clear");
  Advance(1s);  // the first tick past it
  EXPECT_EQ(Clipboard(), "");
  EXPECT_EQ(Zone(kZoneCountdown), "");
}

TEST_F(FrameEndToEnd, TheSameTextCopiedAgainKeepsItsDeadline) {
  SetOption(kClipboardClearKey, "10");
  StartProgram();
  system_.SetClipboardText("one");  // seen at the tick of 8:00:01
  Advance(5s);
  system_.SetClipboardText("one");
  Advance(7s);
  EXPECT_EQ(Clipboard(), "");
  system_.SetClipboardText("two");  // seen at 8:00:13
  Advance(5s);
  system_.SetClipboardText("three");  // seen at 8:00:18
  Advance(8s);
  EXPECT_EQ(Clipboard(), "three") << "a different text starts a new deadline";
}

TEST_F(FrameEndToEnd, WithBothTimersOnZoneTwoShowsTheShutdown) {
  SetOption(kClipboardClearKey, "30");
  SetOption(kInactivityKey, "5");
  StartProgram();
  system_.SetClipboardText("hunter2");
  for (int i = 0; i < 5; ++i) {
    Advance(1s);
    EXPECT_TRUE(Zone(kZoneCountdown).ends_with(" seconds to shutdown")) << Zone(kZoneCountdown);
  }
}

TEST_F(FrameEndToEnd, FilterClipboardContentsKeepsLettersAndSingleSpaces) {
  StartProgram();
  system_.SetClipboardText("  a\tb~~c   d");
  Choose(kMenuFilterClipboard);
  EXPECT_EQ(Clipboard(), "abc d");
  UnderLock([] { EXPECT_EQ(ClipboardDisplay.Clipped(), "abc d"); });
}

TEST_F(FrameEndToEnd, TheSplashClosesAfterThreeSecondsOrAtTheFirstMenuChoice) {
  StartProgram();
  ASSERT_NE(Splash(), platform::kNoWindow);
  Advance(3500ms);
  EXPECT_EQ(Splash(), platform::kNoWindow) << "three seconds";
}

TEST_F(FrameEndToEnd, AMenuChoiceClosesTheSplash) {
  StartProgram();
  ASSERT_NE(Splash(), platform::kNoWindow);
  Choose(kMenuFilterClipboard);
  EXPECT_EQ(Splash(), platform::kNoWindow);
}

TEST_F(FrameEndToEnd, ExitChosenWhileTheSplashIsOpenClosesTheProgram) {
  StartProgram();
  ASSERT_NE(Splash(), platform::kNoWindow);
  Choose(kMenuExit);
  for (int i = 0; i < 20 && !run_.Finished(); ++i) Advance(100ms, 100ms);
  EXPECT_TRUE(run_.Finished()) << "well before the splash's own three seconds";
  run_.Wait();
  EXPECT_EQ(Splash(), platform::kNoWindow);
}

// Runs `procedure` on a thread of its own, whose message box stays open
// while the clock moves on five seconds: the frame's timer and the splash's
// go on meanwhile. Answers the box with OK and returns what it asked.
platform::DialogRequest FrameEndToEnd::WhileABoxIsOpen(std::function<void()> procedure) {
  driver_.SetUnansweredPolicy(platform::headless::UnansweredPolicy::kWait);
  system_.SetClipboardText("hunter2");
  Advance(1s);
  UnderLock([&] { EXPECT_NE(Start(std::move(procedure)), 0); });
  Settle();
  const std::vector<platform::DialogRequest> open = system_.OpenDialogs();
  if (open.size() != 1u) {
    ADD_FAILURE() << open.size() << " boxes open";
    return {};
  }
  const std::string before = Zone(kZoneCountdown);
  EXPECT_TRUE(before.ends_with(" seconds to clipboard clear")) << before;
  Advance(5s);
  EXPECT_NE(Zone(kZoneCountdown), before) << "the frame's timer went on";
  EXPECT_EQ(Splash(), platform::kNoWindow) << "the splash's timer went on";
  EXPECT_EQ(system_.OpenDialogs().size(), 1u) << "the box is still open";
  std::string error;
  EXPECT_TRUE(driver_.AnswerMessageBox("OK", &error)) << error;
  Settle();
  return open[0];
}

// A standard warning waits for its answer without holding the other windows
// up, and its procedure goes on in its own context afterwards.
TEST_F(FrameEndToEnd, OtherWindowsRunWhileAWarningIsOpen) {
  SetOption(kClipboardClearKey, "30");
  StartProgram();
  int warned_on = 0;
  int context_after = 0;
  std::int32_t button = 0;
  const platform::DialogRequest box = WhileABoxIsOpen([&] {
    warned_on = AppEngine().CurrentThread();
    button = ShowWarning(34, "Update", "Passwords");
    context_after = AppEngine().CurrentThread();
  });
  EXPECT_EQ(box.message_box.caption, "Transaction Framing Error");
  EXPECT_EQ(box.owner, Frame()) << "a thread without a window of its own";
  UnderLock([&] {
    EXPECT_EQ(button, kButtonOk);
    EXPECT_GT(warned_on, 1);
    EXPECT_EQ(context_after, warned_on) << "the procedure's own context after the box";
  });
}

struct ProcessEnded {};

TEST_F(FrameEndToEnd, OtherWindowsRunWhileTheHaltBoxIsOpen) {
  SetOption(kClipboardClearKey, "30");
  StartProgram();
  SetHaltHandler(nullptr);  // the real box
  int exit_code = 0;
  auto previous = support::SetProcessExitHandler([&](int code) {
    exit_code = code;
    throw ProcessEnded{};  // ends the halting procedure only
  });
  const platform::DialogRequest box = WhileABoxIsOpen([] {
    try {
      Halt("Disk Error");
    } catch (const ProcessEnded&) {
    }
  });
  support::SetProcessExitHandler(previous);
  EXPECT_EQ(box.message_box.caption, "Vaultrix");
  EXPECT_EQ(box.message_box.text, "Disk Error");
  UnderLock([&] { EXPECT_EQ(exit_code, kHaltExitCode); });
}

// The start's fourth open is the frame's own open of the passwords file (after
// the main program's open test and the vault check).
constexpr std::initializer_list<std::int32_t> kFramesOpenFindsADamagedKey = {
    testing::kPass, testing::kPass, testing::kPass, support::kKeyFileMustBeRebuilt};

TEST_F(FrameEndToEnd, ADamagedKeyAtTheStartIsRebuiltWhenTheUserAgrees) {
  WriteVault({"Ann"}, 1);
  TestDisk::Get().Script(files::Operation::kOpen, kFramesOpenFindsADamagedKey);
  StartProgram();
  ASSERT_NE(Frame(), platform::kNoWindow);
  const auto dialogs = driver_.DialogHistory();
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(dialogs[0].message_box.caption, "Invalid Key");
  EXPECT_EQ(dialogs[0].message_box.text,
            "Passwords key file is invalid.  Do you want to rebuild the key?");
  EXPECT_EQ(TestDisk::Get().CallCount(files::Operation::kBuildFile), 1);
}

TEST_F(FrameEndToEnd, ADamagedKeyAnsweredNoEndsTheProgram) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  WriteVault({"Ann"}, 1);
  EXPECT_EXIT(
      {
        SetHaltHandler(nullptr);
        TestDisk::Get().Script(files::Operation::kOpen, kFramesOpenFindsADamagedKey);
        driver_.QueueMessageBoxAnswer(platform::MessageBoxAnswer::kNo);
        StartProgram();
        std::_Exit(0);  // the program went on
      },
      ::testing::ExitedWithCode(kHaltExitCode), "");
}

TEST_F(FrameEndToEnd, AMinuteWithoutActivityOpensTheCountdownWhichClosesTheProgram) {
  SetOption(kInactivityKey, "1");
  StartProgram();
  Advance(3500ms);  // the splash's close is the last event before the quiet
  Advance(57s);
  EXPECT_EQ(Window("Automatic Close Down"), platform::kNoWindow);
  Advance(3s);
  const platform::WindowHandle countdown = Window("Automatic Close Down");
  ASSERT_NE(countdown, platform::kNoWindow);
  Advance(1s);
  const auto text = Control(countdown, kCountdownText);
  ASSERT_TRUE(text.has_value());
  EXPECT_TRUE(text->text.ends_with(" seconds.")) << text->text;
  EXPECT_FALSE(run_.Finished());
  Advance(10s);
  run_.Wait();
  EXPECT_TRUE(run_.Finished());
}

TEST_F(FrameEndToEnd, CancelKeepsTheProgramOpenUntilTheNextMinute) {
  SetOption(kInactivityKey, "1");
  StartProgram();
  Advance(64s);
  const platform::WindowHandle countdown = Window("Automatic Close Down");
  ASSERT_NE(countdown, platform::kNoWindow);
  Press(countdown, kCountdownCancel);
  EXPECT_EQ(Window("Automatic Close Down"), platform::kNoWindow);
  Advance(20s);
  EXPECT_FALSE(run_.Finished());
  EXPECT_NE(Frame(), platform::kNoWindow);
  Advance(42s);
  EXPECT_NE(Window("Automatic Close Down"), platform::kNoWindow) << "the next minute";
}

TEST_F(FrameEndToEnd, ActivityInAnotherWindowRestartsTheMinute) {
  SetOption(kInactivityKey, "1");
  StartProgram();
  Advance(3500ms);
  Choose(kMenuOptions);
  const platform::WindowHandle setup = Window("Vaultrix Options");
  ASSERT_NE(setup, platform::kNoWindow);
  Advance(50s);
  ASSERT_TRUE(driver_.Click(Control(setup, 6)->handle));
  Settle();
  Advance(20s);  // 70 seconds after the start, 20 after the click
  EXPECT_EQ(Window("Automatic Close Down"), platform::kNoWindow);
  Advance(42s);
  EXPECT_NE(Window("Automatic Close Down"), platform::kNoWindow);
}

TEST_F(FrameEndToEnd, ThePlatformsShutDownClosesTheFrame) {
  StartProgram();
  EXPECT_EQ(system_.SendMessage(Frame(), platform::kWmQueryEndSession), 1);
  EXPECT_FALSE(run_.Finished());
  EXPECT_EQ(system_.SendMessage(Frame(), platform::kWmEndSession, 1), 1);
  Settle();
  run_.Wait();
  EXPECT_TRUE(run_.Finished());
}

TEST_F(FrameEndToEnd, TheFramesPlacementIsSavedAndRestored) {
  ASSERT_EQ(support::PutIni("Main", "XPosit", "40", "VAULTRIX.INI"), 0);
  ASSERT_EQ(support::PutIni("Main", "YPosit", "30", "VAULTRIX.INI"), 0);
  ASSERT_EQ(support::PutIni("Main", "Width", "500", "VAULTRIX.INI"), 0);
  ASSERT_EQ(support::PutIni("Main", "Height", "300", "VAULTRIX.INI"), 0);
  StartProgram();
  const auto info = system_.GetWindowInfo(Frame());
  ASSERT_TRUE(info.has_value());
  EXPECT_EQ(info->rect.x, 40);
  EXPECT_EQ(info->rect.y, 30);
  ASSERT_TRUE(system_.MoveWindow(Frame(), {60, 50, 400, 250}));
  Advance(3500ms);  // the splash has gone
  Choose(kMenuExit);
  run_.Wait();
  EXPECT_EQ(support::GetIni("Main", "XPosit", "", "VAULTRIX.INI"), "60");
  EXPECT_EQ(support::GetIni("Main", "Width", "", "VAULTRIX.INI"), "400");
  EXPECT_EQ(support::GetIni("Main", "Maximize", "", "VAULTRIX.INI"), "No");
}

}  // namespace
}  // namespace vaultrix::app
