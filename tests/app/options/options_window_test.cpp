// The options window end to end, and the options and timer rules it rests
// on: what is stored, what Cancel leaves alone, the midnight rule of the
// deadlines and "Filter Clipboard Contents".
#include <gtest/gtest.h>

#include "app/frame/frame.h"
#include "app/frame/timers.h"
#include "app/options/options.h"
#include "app/options/setup.h"
#include "runtime/support/profile.h"
#include "tests/app/frame/frame_test_support.h"

namespace vaultrix::app {
namespace {

using namespace std::chrono_literals;

class OptionsWindow : public testing::FrameTest {
 protected:
  // Opens the options window from the frame's menu.
  platform::WindowHandle OpenSetup() {
    StartProgram();
    Advance(3500ms);
    Choose(kMenuOptions);
    const platform::WindowHandle setup = Window("Vaultrix Options");
    EXPECT_NE(setup, platform::kNoWindow);
    return setup;
  }
  // The user's edits, as the driver reports them.
  void Edit(platform::WindowHandle setup, int control, const std::string& text) {
    ASSERT_TRUE(system_.SetText(Control(setup, control)->handle, text));
  }
  void Check(platform::WindowHandle setup, int control, bool on) {
    ASSERT_TRUE(system_.SetCheck(Control(setup, control)->handle, on ? 1 : 0));
  }
  std::string Stored(std::string_view key) {
    return support::GetIni(kOptionsSection, key, "(missing)");
  }
  StoredOptions Globals() {
    StoredOptions now;
    UnderLock([&] {
      now = {SkipCopyButtons, HideClipboard, ClipboardClearSeconds, InactivityMinutes};
    });
    return now;
  }
};

TEST_F(OptionsWindow, AFreshInstallationHasEveryOptionOff) {
  const platform::WindowHandle setup = OpenSetup();
  EXPECT_EQ(Control(setup, kSetupClearSeconds)->text, "   0");
  EXPECT_EQ(Control(setup, kSetupSkipCopyButtons)->check, 0);
  const StoredOptions globals = Globals();
  EXPECT_EQ(globals.clipboard_clear_seconds, 0);
  EXPECT_EQ(globals.inactivity_minutes, 0);
  EXPECT_EQ(Zone(kZoneCountdown), "") << "no timer runs";
}

TEST_F(OptionsWindow, OkStoresTheFourOptionsAndTheGlobalsFollow) {
  const platform::WindowHandle setup = OpenSetup();
  Check(setup, kSetupSkipCopyButtons, true);
  Edit(setup, kSetupClearSeconds, "45");
  Edit(setup, kSetupInactivityMinutes, "3");
  Press(setup, kSetupOk);
  EXPECT_EQ(Window("Vaultrix Options"), platform::kNoWindow);
  EXPECT_EQ(Stored(kSkipCopyButtonsKey), "1");
  EXPECT_EQ(Stored(kClipboardClearKey), "45");
  EXPECT_EQ(Stored(kInactivityKey), "3");
  EXPECT_EQ(Stored(kHideClipboardKey), "0");
  const StoredOptions globals = Globals();
  EXPECT_EQ(globals.skip_copy_buttons, 1);
  EXPECT_EQ(globals.clipboard_clear_seconds, 45);
  EXPECT_EQ(globals.inactivity_minutes, 3);
  Advance(1s);
  EXPECT_TRUE(Zone(kZoneCountdown).ends_with(" seconds to shutdown")) << Zone(kZoneCountdown);
}

TEST_F(OptionsWindow, CancelLeavesTheStoreAndTheGlobalsAsTheyWere) {
  SetOption(kClipboardClearKey, "20");
  SetOption(kHideClipboardKey, "1");
  const platform::WindowHandle setup = OpenSetup();
  Check(setup, kSetupHideClipboard, false);
  Check(setup, kSetupSkipCopyButtons, true);
  Edit(setup, kSetupClearSeconds, "99");
  Press(setup, kSetupCancel);
  EXPECT_EQ(Window("Vaultrix Options"), platform::kNoWindow);
  EXPECT_EQ(Stored(kClipboardClearKey), "20");
  EXPECT_EQ(Stored(kHideClipboardKey), "1");
  EXPECT_EQ(Stored(kSkipCopyButtonsKey), "(missing)");
  const StoredOptions globals = Globals();
  EXPECT_EQ(globals.clipboard_clear_seconds, 20);
  EXPECT_EQ(globals.hide_clipboard, 1);
  EXPECT_EQ(globals.skip_copy_buttons, 0);
}

TEST_F(OptionsWindow, ANegativeNumberOfMinutesIsRefused) {
  const platform::WindowHandle setup = OpenSetup();
  Edit(setup, kSetupInactivityMinutes, "-5");
  Press(setup, kSetupOk);
  const auto dialogs = driver_.DialogHistory();
  ASSERT_FALSE(dialogs.empty());
  EXPECT_EQ(dialogs.back().message_box.text, kNegativeMinutesText);
  EXPECT_NE(Window("Vaultrix Options"), platform::kNoWindow) << "the window stays open";
  EXPECT_EQ(Stored(kInactivityKey), "(missing)");
}

TEST(FrameTimers, ADeadlinePastMidnightPassesOnlyInTheNewDay) {
  const std::int32_t period = 3000;
  std::int32_t deadline = 8'639'001 + period;  // set at 23:59:50
  EXPECT_FALSE(DeadlinePassed(8'639'901, deadline, period, kClipboardMargin)) << "23:59:59";
  EXPECT_EQ(deadline, 8'642'001);
  EXPECT_FALSE(DeadlinePassed(101, deadline, period, kClipboardMargin)) << "00:00:01";
  EXPECT_EQ(deadline, 2001) << "brought into the new day";
  EXPECT_FALSE(DeadlinePassed(2001, deadline, period, kClipboardMargin));
  EXPECT_TRUE(DeadlinePassed(2002, deadline, period, kClipboardMargin));
  // A tick missed across the first 50 seconds still sees the deadline pass.
  deadline = 8'642'001;
  EXPECT_TRUE(DeadlinePassed(6000, deadline, period, kClipboardMargin));
  // Just before midnight the margin keeps a carried deadline pending.
  deadline = 8'639'001 + 600'000;
  EXPECT_FALSE(DeadlinePassed(8'639'500, deadline, 600'000, kShutdownMargin));
}

TEST(FrameTimers, SecondsLeftInTheDefaultConversion) {
  EXPECT_EQ(SecondsLeft(3001, 1001), "20");
  EXPECT_EQ(SecondsLeft(3001, 2951), "0.5");
}

TEST(FrameTimers, FilterClipboardText) {
  EXPECT_EQ(FilterClipboardText("  a\tb~~c   d"), "abc d");
  EXPECT_EQ(FilterClipboardText(std::string("ab\0cd", 5)), "ab") << "a character 0 ends the text";
  EXPECT_EQ(FilterClipboardText("Mix3d_Case{}|\x7f\xe9 ok!"), "Mix3dCase ok!");
  EXPECT_EQ(FilterClipboardText("   "), "");
}

}  // namespace
}  // namespace vaultrix::app
