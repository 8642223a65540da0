// Focus and activation across threads, MDI activation, the keyboard state
// with its lock keys, key messages to the focus window, and the clipboard's
// change counter.
#include <gtest/gtest.h>

#include "platform/window_system.h"
#include "tests/platform/watchdog.h"
#include "tests/platform/window_thread.h"

namespace vaultrix::platform {
namespace {

using testing::Watchdog;
using testing::WindowThread;

WindowCreateParams Params(WindowKind kind, WindowHandle parent = kNoWindow, int id = 0) {
  WindowCreateParams params;
  params.kind = kind;
  params.class_name = "WINDOW";
  params.parent = parent;
  params.control_id = id;
  params.style = kWsVisible;
  params.rect = {0, 0, 100, 50};
  return params;
}

std::vector<Message> Drain(WindowSystem& system) {
  std::vector<Message> taken;
  Message m;
  while (system.PeekMessage(m, kPmRemove)) taken.push_back(m);
  return taken;
}

bool Has(const std::vector<Message>& messages, WindowHandle window, std::uint32_t message,
         std::uintptr_t wparam) {
  for (const Message& m : messages) {
    if (m.window == window && m.message == message && m.wparam == wparam) return true;
  }
  return false;
}

TEST(Focus, FocusMovesBetweenThreadsWithMessagesToEach) {
  Watchdog watchdog("focus across threads");
  WindowSystem system;
  const WindowHandle mine = system.CreateWindow(Params(WindowKind::kPlain));
  const WindowHandle my_edit = system.CreateWindow(Params(WindowKind::kControl, mine, 1));
  WindowThread other(system);
  const WindowHandle theirs = other.MakeWindow(Params(WindowKind::kPlain));

  EXPECT_EQ(system.SetFocus(my_edit), kNoWindow);
  EXPECT_EQ(system.GetFocus(), my_edit);
  EXPECT_EQ(system.GetActiveWindow(), mine);
  std::vector<Message> got = Drain(system);
  EXPECT_TRUE(Has(got, my_edit, kWmSetFocus, kNoWindow));
  EXPECT_TRUE(Has(got, mine, kWmActivate, kWaActive));

  EXPECT_EQ(system.SetFocus(theirs), my_edit);
  EXPECT_EQ(system.GetActiveWindow(), theirs);
  EXPECT_EQ(system.TopLevelWindows().front(), theirs);
  got = Drain(system);
  EXPECT_TRUE(Has(got, my_edit, kWmKillFocus, theirs));
  EXPECT_TRUE(Has(got, mine, kWmActivate, kWaInactive));
  other.WaitUntil([&](const std::vector<Message>& taken) {
    return Has(taken, theirs, kWmSetFocus, my_edit) && Has(taken, theirs, kWmActivate, kWaActive);
  });
}

TEST(Focus, MdiChildrenOnTwoThreadsAreActivatedInTurn) {
  Watchdog watchdog("MDI activation");
  WindowSystem system;
  const WindowHandle frame = system.CreateWindow(Params(WindowKind::kFrame));
  const WindowHandle client = system.CreateWindow(Params(WindowKind::kMdiClient, frame));
  WindowThread first(system);
  WindowThread second(system);
  const WindowHandle child1 = first.MakeWindow(Params(WindowKind::kMdiChild, client));
  const WindowHandle child2 = second.MakeWindow(Params(WindowKind::kMdiChild, client));
  const WindowHandle field2 = second.MakeWindow(Params(WindowKind::kControl, child2, 4));
  ASSERT_NE(child1, kNoWindow);
  ASSERT_NE(field2, kNoWindow);

  ASSERT_TRUE(system.MdiActivate(child1));
  EXPECT_EQ(system.MdiGetActive(client), child1);
  EXPECT_EQ(system.GetActiveWindow(), frame);
  // Focus into a field of the second child activates that child.
  system.SetFocus(field2);
  EXPECT_EQ(system.MdiGetActive(client), child2);
  EXPECT_EQ(system.Children(client).front(), child2);
  const auto activation = [&](WindowHandle to) {
    return [&, to](const std::vector<Message>& taken) {
      for (const Message& m : taken) {
        if (m.message == kWmMdiActivate && m.wparam == child1 &&
            m.lparam == static_cast<std::intptr_t>(child2) && m.window == to) {
          return true;
        }
      }
      return false;
    };
  };
  first.WaitUntil(activation(child1));
  second.WaitUntil(activation(child2));
  // A destroyed child is no longer the active one.
  second.Run([&] { system.DestroyWindow(child2); });
  EXPECT_EQ(system.MdiGetActive(client), kNoWindow);
  EXPECT_EQ(system.GetFocus(), kNoWindow);
}

TEST(Keyboard, LockKeysToggleOnKeyDownAndKeysGoToTheFocus) {
  WindowSystem system;
  const WindowHandle top = system.CreateWindow(Params(WindowKind::kPlain));
  const WindowHandle edit = system.CreateWindow(Params(WindowKind::kControl, top, 1));
  system.SetFocus(edit);
  Drain(system);

  EXPECT_EQ(system.GetKeyState(kVkCapital), 0);
  system.InjectKey(kVkCapital, true);
  EXPECT_EQ(system.GetKeyState(kVkCapital), 0x8001);
  system.InjectKey(kVkCapital, true);  // auto-repeat does not toggle again
  system.InjectKey(kVkCapital, false);
  EXPECT_EQ(system.GetKeyState(kVkCapital), 0x0001);
  system.InjectKey(kVkCapital, true);
  system.InjectKey(kVkCapital, false);
  EXPECT_EQ(system.GetKeyState(kVkCapital), 0);
  system.SetLockKey(kVkNumLock, true);
  EXPECT_EQ(system.GetKeyState(kVkNumLock), 0x0001);
  Drain(system);

  system.InjectKey(kVkA, true, 'a');
  system.InjectKey(kVkA, false);
  system.InjectKey(kVkLeft, true);
  system.InjectKey(kVkMenu, true);
  system.InjectKey(kVkF1 + 3, true);
  std::vector<Message> got = Drain(system);
  ASSERT_EQ(got.size(), 6u);
  EXPECT_EQ(got[0].message, kWmKeyDown);
  EXPECT_EQ(got[0].window, edit);
  EXPECT_EQ(got[1].message, kWmChar);
  EXPECT_EQ(got[1].wparam, static_cast<std::uintptr_t>('a'));
  EXPECT_EQ(got[2].message, kWmKeyUp);
  EXPECT_EQ(got[3].message, kWmKeyDown);
  EXPECT_NE(got[3].lparam & 0x01000000, 0);  // an extended key
  EXPECT_EQ(got[5].message, kWmSysKeyDown);  // Alt held
  EXPECT_EQ(got[5].wparam, static_cast<std::uintptr_t>(kVkF1 + 3));

  // Mouse messages carry the keys and the button held.
  system.InjectKey(kVkMenu, false);
  system.InjectKey(kVkShift, true);
  system.InjectMouse(edit, kWmLButtonDown, 3, -2);
  got = Drain(system);
  ASSERT_EQ(got.back().message, kWmLButtonDown);
  EXPECT_EQ(got.back().wparam, kMkShift | kMkLButton);
  EXPECT_EQ(PointX(got.back().lparam), 3);
  EXPECT_EQ(PointY(got.back().lparam), -2);
}

TEST(Keyboard, InputCarriesTheModifiersAndLocksOfItsMoment) {
  WindowSystem system;
  const WindowHandle top = system.CreateWindow(Params(WindowKind::kPlain));
  system.SetFocus(top);
  system.SetLockKey(kVkNumLock, true);
  Drain(system);

  // A burst queued before anything is read: each message keeps the keyboard
  // as it was when it was queued, whatever came after it.
  system.InjectKey(kVkShift, true);
  system.InjectKey(kVkA, true, 'A');
  system.InjectKey(kVkShift, false);
  system.InjectKey(kVkControl, true);
  system.InjectKey(kVkMenu, true);
  system.InjectKey(kVkA + 1, true);
  system.InjectKey(kVkMenu, false);
  system.InjectKey(kVkControl, false);
  system.InjectKey(kVkCapital, true);
  system.InjectMouse(top, kWmRButtonDown, 1, 1);
  (void)system.InjectInput(top, kWmCommand, 7, 0);
  (void)system.PostMessage(top, kWmKeyDown, kVkA + 2, 0);
  const std::vector<Message> got = Drain(system);
  ASSERT_EQ(got.size(), 13u);
  constexpr std::uint16_t kBase = kKeyStateKnown | kKeyStateNumLock;
  EXPECT_EQ(got[0].key_state, kBase | kKeyStateShift) << "Shift's own key-down";
  EXPECT_EQ(got[1].key_state, kBase | kKeyStateShift);
  EXPECT_EQ(got[2].message, kWmChar);
  EXPECT_EQ(got[2].key_state, kBase | kKeyStateShift) << "the character with its key";
  EXPECT_EQ(got[3].key_state, kBase) << "Shift released";
  EXPECT_EQ(got[6].message, kWmSysKeyDown);
  EXPECT_EQ(got[6].key_state, kBase | kKeyStateCtrl | kKeyStateAlt);
  EXPECT_EQ(got[8].key_state, kBase);
  EXPECT_EQ(got[9].key_state, kBase | kKeyStateCapsLock) << "Caps Lock toggled by its press";
  EXPECT_EQ(got[10].message, kWmRButtonDown);
  EXPECT_EQ(got[10].key_state, kBase | kKeyStateCapsLock);
  EXPECT_EQ(got[11].key_state, kBase | kKeyStateCapsLock);
  EXPECT_EQ(got[12].key_state, 0) << "a message posted as a number carries no keyboard";
}

TEST(Clipboard, EveryChangeMovesTheCounter) {
  WindowSystem system;
  const std::uint32_t start = system.ClipboardSequenceNumber();
  EXPECT_FALSE(system.GetClipboardText());
  system.SetClipboardText("s3cret");
  EXPECT_EQ(system.ClipboardSequenceNumber(), start + 1);
  EXPECT_EQ(system.GetClipboardText(), "s3cret");
  EXPECT_EQ(system.ClipboardSequenceNumber(), start + 1);  // reading changes nothing
  system.SetClipboardText("s3cret");                       // the same text is still a change
  EXPECT_EQ(system.ClipboardSequenceNumber(), start + 2);
  system.EmptyClipboard();
  EXPECT_EQ(system.ClipboardSequenceNumber(), start + 3);
  EXPECT_FALSE(system.GetClipboardText());
}

TEST(Clipboard, OnlyTheProgramsOwnLastTextIsTakenAway) {
  WindowSystem system;
  EXPECT_FALSE(system.EmptyProgramClipboard()) << "nothing was ever put there";
  system.SetClipboardText("outside");
  EXPECT_FALSE(system.EmptyProgramClipboard());
  EXPECT_EQ(system.GetClipboardText(), "outside");
  system.SetClipboardTextFromProgram("pw");
  EXPECT_TRUE(system.EmptyProgramClipboard());
  EXPECT_FALSE(system.GetClipboardText());
  system.SetClipboardTextFromProgram("pw");
  system.SetClipboardText("pw");  // the same text, copied by someone else
  EXPECT_FALSE(system.EmptyProgramClipboard());
  EXPECT_EQ(system.GetClipboardText(), "pw");
}

}  // namespace
}  // namespace vaultrix::platform
