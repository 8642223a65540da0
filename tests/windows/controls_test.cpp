// The controls other than the list: what they show in the window system
// from their variables, what clicks, keys and commands do to them and which
// events they raise, the menus with their standard actions and key tables,
// typed-ahead keys, run-time controls (541), text boxes on another thread
// (542), the system-command requests and the runtime context switch.
#include "runtime/windows/controls.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "runtime/windows/key_table.h"
#include "runtime/windows/resource_format.h"
#include "runtime/windows/window_open.h"
#include "runtime/windows/window_properties.h"
#include "tests/platform/watchdog.h"
#include "tests/windows/window_test_support.h"

namespace vaultrix::windows {
namespace {

using platform::WindowInfo;

constexpr const char* kControlWindows = R"(
module "VAULTRIX$ctltest"

window "FORM$WINDOW"
  title "Form"
  at 0 0 240 200
  events 0x800
  button 1 "&Save"
    flags 0x1
  check 2 "&Remember"
    use byte
  options 3 "Kind"
    use string 20
    radio 4 "&Word"
      value "Word"
    radio 5 "&Digits"
      value "Digits"
  spin 6
    use long
    picture "@n3"
    range 3 32 2
  textbox 7
    use string 10
  progress 8
    use long
    bounds 0 200
  sheet 9
    use long
    tab 10 "&One"
      entry 11
        use long
    tab 12 "&Two"
  prompt 13 "&Name:"
  entry 14
    use string 10
  image 15
    file "KEY.GIF"
  display 16
    use long
    picture "@n5"
window "MENU$WINDOW"
  title "Menus"
  menubar
    menu "&Edit"
      item -1 "&Copy"
        action 6
      item -2 "&Paste"
        action 7
      item -3 "&Find"
        key 0x246
      item -5 "Print &Setup ..."
        action 0x10
  entry 1
    use string 20
window "DIALOG$WINDOW"
  title "Dialog"
  attributes 0x8
window "BAD$WINDOW"
  title "Bad"
  entry 1
    use raw 0x99 4
)";

// The variables of FORM$WINDOW in binding order.
struct FormVariables {
  std::uint8_t remember = 1;
  char kind[20];
  std::int32_t size = 7;
  char notes[10];
  std::int32_t done = 50;
  std::int32_t tab = 1;
  std::int32_t inner = 0;
  char name[10];
  std::int32_t shown = 12;
  FormVariables() {
    std::memset(kind, ' ', sizeof kind);
    std::memcpy(kind, "Digits", 6);
    std::memset(notes, ' ', sizeof notes);
    std::memcpy(notes, "a\nb", 3);
    std::memset(name, ' ', sizeof name);
  }
};

std::string Trimmed(const char* chars, std::size_t size) {
  std::string text(chars, size);
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

class ControlsTest : public EngineFixture {
 protected:
  ControlsTest() {
    platform::AddResourceModule(CompiledModule(kControlWindows, "ctltest", "CTLTEST_RSC"));
  }

  WindowObject& OpenForm() {
    WindowResource& form = Make(WindowKind::kPlainWindow, "FORM$WINDOW", {});
    return OpenWith(form);
  }
  WindowObject& OpenWith(WindowResource& window) {
    WindowOpen(engine_, window);
    return window.object();
  }
  WindowResource& MakeForm() {
    return MakeIn("FORM$WINDOW",
                  {&v_.remember, v_.kind, &v_.size, v_.notes, &v_.done, &v_.tab, &v_.inner,
                   v_.name, &v_.shown});
  }
  WindowResource& MakeIn(const std::string& structure, std::initializer_list<void*> uses) {
    std::unique_ptr<WindowResource> window;
    OpenWindowResource(&window, WindowKind::kPlainWindow, "VAULTRIX$ctltest", structure, uses);
    windows_.push_back(std::move(window));
    return *windows_.back();
  }

  WindowInfo Info(const WindowObject& window, int number) {
    return *system_.GetWindowInfo(window.FindControl(number)->handle);
  }
  // A control's command as a driver reports it to the window that holds it.
  void Report(const WindowObject& window, int number, std::uint32_t code = kClicked) {
    const platform::WindowHandle handle = window.FindControl(number)->handle;
    (void)system_.InjectInput(window.handle, platform::kWmCommand,
                              (code << 16) | (static_cast<std::uint32_t>(number) & 0xFFFF),
                              static_cast<std::intptr_t>(handle));
  }
  // A radio chosen in a driver's widget: the checks and the group's value
  // set, then reported.
  void ChooseAsADriver(const WindowObject& window, int number) {
    const ControlObject& radio = *window.FindControl(number);
    int index = 0;
    for (const auto& other : window.controls) {
      if (other->container != radio.container) continue;
      ++index;
      (void)system_.SetCheck(other->handle, other.get() == &radio ? 1 : 0);
      if (other.get() == &radio) (void)system_.SetValue(radio.container->handle, index);
    }
    Report(window, number);
  }

  // Runs the window's loop: `react` sees every event but the focus events
  // and answers the body's flag; the events are recorded with their controls.
  std::vector<std::pair<int, int>> Run(WindowObject& window,
                                       const std::function<int(const EventRecord&)>& react) {
    vaultrix::testing::Watchdog watchdog("a control test's loop");
    std::vector<std::pair<int, int>> seen;
    Accept(engine_, [&] {
      const EventRecord& e = *window.current_event;
      if (e.Event() == kEventGainFocus || e.Event() == kEventLoseFocus) return kBodyDefault;
      seen.emplace_back(e.Event(), e.control != nullptr ? e.control->number : 0);
      return react(e);
    });
    return seen;
  }

  FormVariables v_;
};

TEST_F(ControlsTest, ControlsShowTheirVariablesAndDisplayControlsRefreshesARange) {
  WindowObject& form = OpenWith(MakeForm());
  EXPECT_EQ(Info(form, 1).style & kDefaultButtonStyle, kDefaultButtonStyle);
  EXPECT_EQ(Info(form, 2).check, 1);
  EXPECT_EQ(Info(form, 3).value, 2) << "the radio whose value the variable holds";
  EXPECT_EQ(Info(form, 4).check, 0);
  EXPECT_EQ(Info(form, 5).check, 1);
  EXPECT_EQ(Info(form, 6).text, "  7");
  EXPECT_EQ(Info(form, 6).value, 7);
  EXPECT_EQ(Info(form, 7).text, "a\nb");
  EXPECT_EQ(Info(form, 8).value, 25) << "50 of 0 to 200";
  EXPECT_EQ(Info(form, 9).value, 1);
  EXPECT_TRUE(Info(form, 10).visible);
  EXPECT_FALSE(Info(form, 12).visible) << "only the chosen tab shows";
  EXPECT_EQ(Info(form, 15).text, "KEY.GIF");
  EXPECT_EQ(Info(form, 16).text, "   12");

  v_.remember = 0;
  std::memcpy(v_.kind, "word  ", 6);  // letter case does not matter
  v_.size = 20;
  v_.done = 300;  // beyond the bounds: a full bar
  v_.tab = 2;
  v_.shown = 99;
  DisplayControls(engine_, 6, 0);
  EXPECT_EQ(Info(form, 6).text, " 20") << "only control 6";
  EXPECT_EQ(Info(form, 2).check, 1);
  DisplayControls(engine_, 0, 0);
  EXPECT_EQ(Info(form, 2).check, 0);
  EXPECT_EQ(Info(form, 3).value, 1);
  EXPECT_EQ(Info(form, 4).check, 1);
  EXPECT_EQ(Info(form, 8).value, 100);
  EXPECT_FALSE(Info(form, 10).visible);
  EXPECT_TRUE(Info(form, 12).visible);
  EXPECT_EQ(Info(form, 16).text, "   99");
  std::memcpy(v_.kind, "Neither", 7);
  DisplayControls(engine_, 3, 3);
  EXPECT_EQ(Info(form, 3).value, 0) << "no radio holds that value";

  // Values, hidden and disabled by property number.
  EXPECT_EQ(GetProperty(engine_, nullptr, 6, 0), "20");
  SetProperty(engine_, nullptr, 2, 0, 0, "1");
  EXPECT_EQ(v_.remember, 1);
  EXPECT_EQ(Info(form, 2).check, 1);
  SetProperty(engine_, nullptr, 9, 0, 0, "1");
  EXPECT_EQ(GetProperty(engine_, nullptr, 9, 0), "1");
  SetProperty(engine_, nullptr, 1, kPropDisable, 0, "1");
  SetProperty(engine_, nullptr, 14, kPropHide, 0, "1");
  EXPECT_FALSE(Info(form, 1).enabled);
  EXPECT_FALSE(Info(form, 14).visible);
  EXPECT_EQ(GetProperty(engine_, nullptr, 1, kPropDisable), "1");
  EnableControls(engine_, 1, 2);
  EXPECT_TRUE(Info(form, 1).enabled);
  EXPECT_EQ(GetProperty(engine_, nullptr, 6, kPropRangeHigh), "32");
}

TEST_F(ControlsTest, ReportedPressesChecksAndRadiosStoreTheirValuesAndAreAccepted) {
  WindowObject& form = OpenWith(MakeForm());
  int check_accepted = 0;
  const auto seen = Run(form, [&](const EventRecord& e) {
    if (e.Event() == kEventOpenWindow) {
      Report(form, 1);
      (void)system_.SetCheck(form.FindControl(2)->handle, 0);  // the driver's widget
      Report(form, 2);
      ChooseAsADriver(form, 4);
      ChooseAsADriver(form, 4);  // already chosen: nothing
    }
    if (e.Event() == kEventAccepted && e.control->number == 2 && ++check_accepted == 1) {
      EXPECT_EQ(v_.remember, 0) << "stored before the event";
    }
    if (e.Event() == kEventAccepted && e.control->number == 3) {
      EXPECT_EQ(Trimmed(v_.kind, 20), "Word");
      DisableControls(engine_, 1, 0);
      Report(form, 1);  // disabled: nothing
      PressKeys(engine_, 0x400 | 'R');  // Alt+R: the engine toggles "&Remember" itself
    }
    if (e.Event() == kEventAccepted && e.control->number == 2 && v_.remember == 1) {
      PostEvent(engine_, kEventCloseWindow, 0, 0);
    }
    return kBodyDefault;
  });
  const std::vector<std::pair<int, int>> expected = {
      {kEventOpenWindow, 0}, {kEventAccepted, 1}, {kEventAccepted, 2},
      {kEventAccepted, 3},   {kEventAccepted, 2}, {kEventCloseWindow, 0}};
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(Info(form, 2).check, 1);
  EXPECT_EQ(Info(form, 4).check, 1);
  EXPECT_EQ(Info(form, 5).check, 0);
}

TEST_F(ControlsTest, SpinStepsWithinItsRangeAndRejectsATypedNumberOutsideIt) {
  v_.size = 29;
  WindowObject& form = OpenWith(MakeForm());
  ControlObject& spin = *form.FindControl(6);
  int rejected = 0;
  const auto seen = Run(form, [&](const EventRecord& e) {
    switch (e.Event()) {
      case kEventOpenWindow:
        SelectControl(engine_, 6);
        (void)system_.InjectInput(spin.handle, platform::kWmVScroll, kSpinUp, 0);  // 31
        (void)system_.InjectInput(spin.handle, platform::kWmVScroll, kSpinUp, 0);  // 32, the top
        (void)system_.InjectInput(spin.handle, platform::kWmVScroll, kSpinUp, 0);  // stays
        (void)system_.InjectInput(spin.handle, platform::kWmVScroll, kSpinDown, 0);  // 30
        break;
      case kEventNewSelection:
        if (v_.size == 30) {
          (void)system_.SetText(spin.handle, "40");
          system_.InjectKey(platform::kVkReturn, true);
        }
        break;
      case kEventRejected:
        ++rejected;
        EXPECT_EQ(e.Query(), kRejectedOutOfRange);
        EXPECT_EQ(v_.size, 30);
        (void)system_.SetText(spin.handle, "3");
        system_.InjectKey(platform::kVkReturn, true);
        break;
      case kEventAccepted:
        EXPECT_EQ(v_.size, 3);
        WindowClose(engine_, form);
        break;
      default:
        break;
    }
    return kBodyDefault;
  });
  const std::vector<std::pair<int, int>> expected = {
      {kEventOpenWindow, 0},   {kEventSelected, 6},    {kEventNewSelection, 6},
      {kEventNewSelection, 6}, {kEventNewSelection, 6}, {kEventRejected, 6},
      {kEventAccepted, 6}};
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(rejected, 1);
}

TEST_F(ControlsTest, TextBoxStoresItsTextRejectsATooLongOneAndBelongsToItsThread) {
  WindowObject& form = OpenWith(MakeForm());
  ControlObject& text = *form.FindControl(7);
  const auto seen = Run(form, [&](const EventRecord& e) {
    if (e.Event() == kEventOpenWindow) {
      (void)system_.SetText(text.handle, "one\ntwo");
      AcceptTypedText(engine_, text);
      (void)system_.SetText(text.handle, "far too long text");
      AcceptTypedText(engine_, text);
      PostEvent(engine_, kEventCloseWindow, 0, 0);
    }
    if (e.Event() == kEventRejected) {
      EXPECT_EQ(e.Query(), kRejectedTooLong);
    }
    return kBodyDefault;
  });
  const std::vector<std::pair<int, int>> expected = {
      {kEventOpenWindow, 0}, {kEventAccepted, 7}, {kEventRejected, 7}, {kEventCloseWindow, 0}};
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(Trimmed(v_.notes, 10), "one\ntwo");

  engine_.SetCurrentThread(2);
  engine_.Thread(2)->target_window = &form;
  ExpectRuntimeError([&] { DisplayControls(engine_, 7, 0); },
                     "Unable to complete operation (system is MODAL) : CTLTEXT");
  DisplayControls(engine_, 6, 0);  // other kinds may be shown from any thread
}

TEST_F(ControlsTest, ASheetOpensAtTheTabItsVariableHolds) {
  v_.tab = 2;
  WindowObject& form = OpenWith(MakeForm());
  EXPECT_EQ(Info(form, 9).value, 2);
  EXPECT_EQ(v_.tab, 2);
  EXPECT_FALSE(Info(form, 10).visible);
  EXPECT_TRUE(Info(form, 12).visible);
  (void)system_.SetText(form.FindControl(11)->handle, "typed");
  DisplayControls(engine_, 0, 0);
  EXPECT_EQ(Info(form, 11).text, "0") << "a bound entry shows its variable again";
}

TEST_F(ControlsTest, ChoosingATabRaisesTabChangingThenNewSelection) {
  WindowObject& form = OpenWith(MakeForm());
  ControlObject& sheet = *form.FindControl(9);
  std::vector<std::int32_t> changing_saw;
  const auto seen = Run(form, [&](const EventRecord& e) {
    if (e.Event() == kEventOpenWindow) {
      // The driver's tab bar sets the sheet's value, then reports it.
      (void)system_.SetValue(sheet.handle, 2);
      Report(form, 9, kSelectionChanged);
    }
    if (e.Event() == kEventNewSelection && v_.tab == 2) {
      system_.InjectKey(platform::kVkMenu, true);
      system_.InjectKey('O', true);  // Alt+O: the hidden tab "One" by its header
    }
    if (e.Event() == kEventNewSelection && v_.tab == 1) {
      system_.InjectKey('O', false);
      system_.InjectKey(platform::kVkMenu, false);
      SetProperty(engine_, nullptr, 9, 0, 0, "2");  // the procedure shows tab 2
      EXPECT_FALSE(Info(form, 10).visible);
      SelectControl(engine_, 11);  // a field on the hidden tab 1
    }
    if (e.Event() == kEventSelected) PostEvent(engine_, kEventCloseWindow, 0, 0);
    if (e.Event() == kEventTabChanging) {
      changing_saw.push_back(v_.tab);
    }
    return kBodyDefault;
  });
  const std::vector<std::pair<int, int>> expected = {
      {kEventOpenWindow, 0},   {kEventTabChanging, 9}, {kEventNewSelection, 9},
      {kEventTabChanging, 9}, {kEventNewSelection, 9}, {kEventSelected, 11},
      {kEventCloseWindow, 0}};
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(changing_saw, (std::vector<std::int32_t>{1, 2})) << "the change follows TabChanging";
  EXPECT_TRUE(Info(form, 10).visible);
  EXPECT_FALSE(Info(form, 12).visible);
}

TEST_F(ControlsTest, MenuItemsAcceleratorsAlertKeysAndStandardActions) {
  char find[20];
  std::memset(find, ' ', sizeof find);
  WindowObject& window = OpenWith(MakeIn("MENU$WINDOW", {find}));
  ControlObject& entry = *window.FindControl(1);
  EXPECT_EQ(Info(window, -3).value, 0x246) << "the item carries its accelerator";
  EXPECT_EQ(Info(window, -1).style & 0xFFFF, 6u) << "and its standard action";
  SetProperty(engine_, nullptr, 0, kPropAlertKey, 1, std::to_string(platform::kVkF1));
  std::vector<std::int32_t> actions;
  engine_.SetActionHandler([&](std::int32_t action, WindowObject&) { actions.push_back(action); });
  const auto seen = Run(window, [&](const EventRecord& e) {
    if (e.Event() == kEventOpenWindow) {
      SelectControl(engine_, 1);
      (void)system_.SetText(entry.handle, "abc");
      (void)system_.InjectInput(window.handle, platform::kWmCommand, 0xFFFF, 0);  // Copy
      (void)system_.InjectInput(window.handle, platform::kWmCommand, 0xFFFB, 0);  // Print setup
      // The key state is read as the key is translated: Ctrl stays down
      // until the item has been chosen.
      system_.InjectKey(platform::kVkControl, true);
      system_.InjectKey('F', true);  // Ctrl+F: the Find item
    }
    if (e.Event() == kEventAccepted) {
      EXPECT_EQ(system_.GetClipboardText(), "abc") << "copied";
      EXPECT_TRUE(system_.EmptyProgramClipboard()) << "a copy is the program's own text";
      system_.SetClipboardText("xyz");
      (void)system_.InjectInput(window.handle, platform::kWmCommand, 0xFFFE, 0);  // Paste
      system_.InjectKey('F', false);
      system_.InjectKey(platform::kVkControl, false);
      system_.InjectKey(platform::kVkF1, true);  // the alert key
    }
    if (e.Event() == kEventAlertKey) {
      EXPECT_EQ(system_.GetText(entry.handle), "xyz") << "pasted";
      PostEvent(engine_, kEventCloseWindow, 0, 0);
    }
    return kBodyDefault;
  });
  const std::vector<std::pair<int, int>> expected = {{kEventOpenWindow, 0},
                                                     {kEventSelected, 1},
                                                     {kEventAccepted, -3},
                                                     {kEventAlertKey, 1},
                                                     {kEventCloseWindow, 0}};
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(actions, std::vector<std::int32_t>{0x10}) << "printer setup is the program's";
}

TEST_F(ControlsTest, TheExitActionClosesTheFrameAndToolbarButtonsAreAccepted) {
  WindowResource& frame = Make(WindowKind::kApplication, "MAIN$APPFRAME");
  WindowObject& object = OpenWith(frame);
  const auto seen = Run(object, [&](const EventRecord& e) {
    if (e.Event() == kEventOpenWindow) {
      Report(object, -21);  // the toolbar button
      (void)system_.InjectInput(object.handle, platform::kWmCommand,
                                static_cast<std::uint32_t>(-10) & 0xFFFF, 0);  // E&xit
    }
    return kBodyDefault;
  });
  const std::vector<std::pair<int, int>> expected = {
      {kEventOpenWindow, 0}, {kEventAccepted, -21}, {kEventCloseWindow, 0}};
  EXPECT_EQ(seen, expected);
}

TEST_F(ControlsTest, PressedKeysTypeIntoTheFocusedFieldBeforeRealInput) {
  WindowObject& form = OpenWith(MakeForm());
  const auto seen = Run(form, [&](const EventRecord& e) {
    if (e.Event() == kEventOpenWindow) {
      PressKeys(engine_, 0x400 | 'N');  // Alt+N: the prompt "&Name:" leads to entry 14
      PressKeys(engine_, 0x100 | 'H');
      PressKeys(engine_, 'I');
      PressKeys(engine_, 'X');
      PressKeys(engine_, platform::kVkBack);
      PressKeys(engine_, platform::kVkReturn);
    }
    if (e.Event() == kEventAccepted) {
      EXPECT_EQ(Trimmed(v_.name, 10), "Hi");
      EXPECT_EQ(KeyCode(engine_), platform::kVkReturn);
      PostEvent(engine_, kEventCloseWindow, 0, 0);
    }
    return kBodyDefault;
  });
  // The pressed keys come before the focus message that Alt+N posted.
  const std::vector<std::pair<int, int>> expected = {
      {kEventOpenWindow, 0}, {kEventAccepted, 14}, {kEventSelected, 14}, {kEventCloseWindow, 0}};
  EXPECT_EQ(seen, expected);
}

TEST_F(ControlsTest, The1025thPressedKeyStopsTheProgramWith534) {
  for (int i = 0; i < 1024; ++i) PressKeys(engine_, 'A');
  ExpectRuntimeError([&] { PressKeys(engine_, 'A'); }, "Too many keystrokes PRESSed");
}

TEST_F(ControlsTest, MoveAndMaximizeRequestsCanBeRefusedBySkipDefault) {
  WindowObject& form = OpenWith(MakeForm());
  std::vector<int> asked;
  int answer = kSkipDefault;
  form.body = [&] {
    asked.push_back(form.current_event->Event());
    return answer;
  };
  EXPECT_EQ(system_.SendMessage(form.handle, platform::kWmSysCommand, platform::kScMaximize), 0);
  EXPECT_EQ(system_.GetWindowInfo(form.handle)->show_state, platform::ShowState::kNormal);
  EXPECT_EQ(system_.SendMessage(form.handle, platform::kWmSysCommand, platform::kScMove), 0);
  answer = kBodyDefault;
  EXPECT_EQ(system_.SendMessage(form.handle, platform::kWmSysCommand, platform::kScMaximize), 1);
  EXPECT_EQ(system_.GetWindowInfo(form.handle)->show_state, platform::ShowState::kMaximized);
  EXPECT_EQ(asked, (std::vector<int>{kEventMaximize, kEventMove, kEventMaximize}));
  EXPECT_EQ(engine_.ModalCount(), 0) << "modal only while the body ran";
  form.body = nullptr;
}

TEST_F(ControlsTest, RunTimeControlsAreRefusedWhileAnotherWindowIsModal) {
  WindowObject& form = OpenWith(MakeForm());
  const int made = CreateControl(engine_, rsc::kButton, 0, 0, "&More", {4, 4, 40, 12});
  EXPECT_EQ(made, 17) << "the next free number";
  EXPECT_EQ(Info(form, made).class_name, "BUTTON");
  WindowObject& dialog = OpenWith(MakeIn("DIALOG$WINDOW", {}));
  EXPECT_EQ(CreateControl(engine_, rsc::kCheck, 3, 0, "", {}), 3) << "the modal window itself";
  engine_.Thread(1)->target_window = &form;
  ExpectRuntimeError([&] { (void)CreateControl(engine_, rsc::kButton, 0, 0, "", {}); },
                     "Unable to create control (system is MODAL)");
  WindowClose(engine_, dialog);
}

TEST_F(ControlsTest, OpeningErrorsOfUnknownUseTypesAndMissingDescriptions) {
  std::int32_t bad = 0;
  WindowResource& window = MakeIn("BAD$WINDOW", {&bad});
  ExpectRuntimeError([&] { WindowOpen(engine_, window); }, "Internal error 01 : CTLUSE");
  WindowResource& frame = Make(WindowKind::kApplication, "MISSING$APPFRAME");
  ExpectRuntimeError([&] { WindowOpen(engine_, frame); }, "Unable to open APPLICATION");
  WindowResource& real = Make(WindowKind::kApplication, "MAIN$APPFRAME");
  WindowOpen(engine_, real);
  engine_.SetCurrentThread(2);
  WindowResource& child = Make(WindowKind::kMdiWindow, "MISSING$WINDOW");
  ExpectRuntimeError([&] { WindowOpen(engine_, child); }, "Unable to open MDI WINDOW");
  engine_.SetCurrentThread(1);
}

TEST(RuntimeContext, EachThreadKeepsItsRuntimeValuesWhileAnotherRuns) {
  platform::WindowSystem system;
  EventEngine engine(system);
  std::intptr_t string_stack = 11;
  engine.SetRuntimeValueHooks(0, {[&] { return string_stack; },
                                  [&](std::intptr_t v) { string_stack = v; }});
  engine.SwitchContext(2);
  EXPECT_EQ(engine.CurrentThread(), 2);
  EXPECT_EQ(string_stack, 0) << "a thread starts with cleared values";
  string_stack = 22;
  engine.SwitchContext(2);
  EXPECT_EQ(string_stack, 22) << "no switch to the thread already loaded";
  engine.SwitchContext(1);
  EXPECT_EQ(string_stack, 11);
  engine.SwitchContext(2);
  EXPECT_EQ(string_stack, 22);
}

}  // namespace
}  // namespace vaultrix::windows
