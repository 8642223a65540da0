// Driving the program as a user would, through the headless driver: the
// operations of scripted runs and of end-to-end tests. Each operation finds
// its target the way a user would see it (a button by its text, an entry by
// the prompt in front of it, a menu item by its path), reports it through
// the driver as a display would (focus moved first, commands posted as
// input), and fails with a message saying what was missing.
//
// Controls are looked for in the order of the dump (window_dump.h): top
// windows first, and inside a frame its MDI children topmost first; hidden
// controls are never found. A control reference is a text (a control's own
// text, or the text of the prompt that stands right before it; '&' and
// letter case are ignored) or a control number written "#N".
//
// Settling: after every operation the caller may wait until the program has
// no work left (Settle); scripts do so before and after every line. A
// program that never settles fails the wait after the wait limit (a hang
// guard measured in real time; the program's own time is the simulated
// clock, which moves only when told).
//
// Threads: one thread drives (the driver's thread); it never holds the
// runtime lock.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/drivers/headless/headless_driver.h"

namespace vaultrix::platform::headless {

struct ControlRef {
  std::string text;  // used when number is nullopt
  std::optional<int> number;

  // "#12" names control 12, anything else a text.
  [[nodiscard]] static ControlRef Parse(std::string_view word);
  [[nodiscard]] std::string Describe() const;
};

enum class RowClick : int { kClick, kDoubleClick, kRightClick };

// A key as scripts write it: modifiers joined by '+' ("Ctrl+Shift+Home"),
// then a key name ("Enter", "PageDown", "F5", "Tab", "Up", ...) or one
// character ("a", "7"). Answers the virtual key with kShift/kCtrl/kAlt bits
// and the character the key types (0 for none); nullopt for an unknown name.
struct KeyPress {
  int virtual_key = 0;
  int modifiers = 0;
  char character = 0;
};
[[nodiscard]] std::optional<KeyPress> ParseKey(std::string_view text);

// A scroll-bar action by name: "LineUp", "LineDown", "PageUp", "PageDown",
// "Top", "Bottom"; nullopt for others.
[[nodiscard]] std::optional<int> ParseScrollAction(std::string_view name);

class Automation {
 public:
  // `clock` may be null: the clock operations then fail.
  Automation(HeadlessDriver& driver, SimulatedClock* clock);

  void SetWaitLimit(std::chrono::milliseconds limit) { wait_limit_ = limit; }
  [[nodiscard]] std::chrono::milliseconds WaitLimit() const { return wait_limit_; }

  // Waits until every thread of the program waits for input or a dialog.
  [[nodiscard]] bool Settle(std::string* error);

  // Each answers false with the reason in *error when it cannot be done.
  // Path: the texts of the menus down to the item ("File", "Exit").
  bool Choose(const std::vector<std::string>& path, std::string* error);
  // A button (toolbar buttons included) by its text or number.
  bool Press(const ControlRef& button, std::string* error);
  // Replaces an entry's text as typing would; the entry takes the value
  // when the focus leaves it (or on Enter).
  bool Type(const ControlRef& field, std::string_view text, std::string* error);
  bool Focus(const ControlRef& control, std::string* error);
  bool Click(const ControlRef& control, MouseButton button, bool double_click,
             std::string* error);
  // A key with its modifiers held; the program serves the key while they are.
  bool PressKey(const KeyPress& key, std::string* error);
  // Characters typed into the focus control, each as its key (with Shift
  // held for capitals).
  bool TypeCharacters(std::string_view text, std::string* error);
  // A row of a list shown on its page: by number (from 1) or by a text that
  // its display string contains.
  bool PickRow(const ControlRef& list, int row, RowClick click, std::string* error);
  bool PickRow(const ControlRef& list, std::string_view text, RowClick click, std::string* error);
  bool ScrollList(const ControlRef& list, int action, std::string* error);
  // Releases the list's thumb at `position` (an immediate-mode list reads it
  // as a percentage).
  bool DragThumb(const ControlRef& list, int position, std::string* error);

  // Waits for a message box or file dialog, then answers it.
  bool AnswerMessageBox(std::string_view button, std::string* error);
  bool AnswerFileDialog(std::optional<std::string> path, std::string* error);

  // Waits for a popup menu, then chooses an item by its text or number
  // ("#3", separators not counted), or dismisses it.
  bool ChoosePopupItem(const ControlRef& item, std::string* error);
  bool DismissPopup(std::string* error);

  [[nodiscard]] std::optional<std::string> Clipboard() const;
  void SetClipboard(std::string text);

  bool AdvanceClock(std::int64_t milliseconds, std::string* error);
  bool SetClock(const LocalDateTime& now, std::string* error);

  // Asks every top window to close, as the user's close box would, topmost
  // first, and waits until the program settles.
  bool CloseAll(std::string* error);

  [[nodiscard]] std::string Dump() const;

  [[nodiscard]] HeadlessDriver& Driver() { return driver_; }

 private:
  WindowHandle Find(const ControlRef& ref, std::string_view class_name, std::string* error) const;
  // Finds an enabled control and moves the focus to it, as a click would.
  WindowHandle FocusOn(const ControlRef& ref, std::string_view class_name, std::string_view what,
                       std::string* error);
  bool ClickRow(WindowHandle list, int row_index, RowClick click, std::string* error);

  HeadlessDriver& driver_;
  WindowSystem& system_;
  SimulatedClock* clock_;
  std::chrono::milliseconds wait_limit_{10000};
};

}  // namespace vaultrix::platform::headless
