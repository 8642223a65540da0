// Finding what the user would see and reporting input as a display would.
#include "platform/drivers/headless/automation.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "platform/drivers/headless/window_dump.h"

namespace vaultrix::platform::headless {
namespace {

// kWmCommand's notification codes in the high word of wparam.
constexpr std::uintptr_t kEditChanged = 0x0300;

bool Accepts(const std::vector<std::string_view>& classes, const std::string& name) {
  return classes.empty() || std::find(classes.begin(), classes.end(), name) != classes.end();
}

// Every visible control, in the order of the dump.
void Collect(const WindowSystem& system, WindowHandle window, std::vector<WindowInfo>& out) {
  for (WindowHandle child : system.Children(window)) {
    std::optional<WindowInfo> info = system.GetWindowInfo(child);
    if (!info || (!info->visible && !IsFurniture(info->class_name))) continue;
    if (info->kind == WindowKind::kControl) out.push_back(*info);
    Collect(system, child, out);
  }
}

std::vector<WindowInfo> VisibleControls(const WindowSystem& system) {
  std::vector<WindowInfo> out;
  for (WindowHandle top : system.TopLevelWindows()) {
    if (system.IsWindowVisible(top)) Collect(system, top, out);
  }
  return out;
}

// The window that a control belongs to: the nearest ancestor that is not a
// control or an MDI client.
WindowHandle HostOf(const WindowSystem& system, WindowHandle control) {
  std::optional<WindowInfo> info = system.GetWindowInfo(control);
  while (info && (info->kind == WindowKind::kControl || info->kind == WindowKind::kMdiClient)) {
    info = system.GetWindowInfo(info->parent);
  }
  return info ? info->handle : kNoWindow;
}

int LinesOf(std::string_view text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
}

std::uintptr_t CommandId(int control_id) {
  return static_cast<std::uintptr_t>(static_cast<std::uint32_t>(control_id) & 0xFFFF);
}

}  // namespace

ControlRef ControlRef::Parse(std::string_view word) {
  ControlRef ref;
  if (word.size() > 1 && word[0] == '#') {
    int number = 0;
    const char* end = word.data() + word.size();
    auto [stop, error] = std::from_chars(word.data() + 1, end, number);
    if (error == std::errc() && stop == end) {
      ref.number = number;
      return ref;
    }
  }
  ref.text = std::string(word);
  return ref;
}

std::string ControlRef::Describe() const {
  return number ? "#" + std::to_string(*number) : Quoted(text);
}

Automation::Automation(HeadlessDriver& driver, SimulatedClock* clock)
    : driver_(driver), system_(driver.System()), clock_(clock) {}

bool Automation::Settle(std::string* error) {
  const bool settled = system_.WaitUntilIdle(wait_limit_);
  driver_.Pump();
  driver_.ClearHistory();
  if (!settled && error != nullptr) {
    *error = "the program did not settle within " + std::to_string(wait_limit_.count()) + " ms";
  }
  return settled;
}

WindowHandle Automation::Find(const ControlRef& ref, std::string_view class_name,
                              std::string* error) const {
  std::vector<std::string_view> classes;
  if (class_name == "FIELD") {
    classes = {"ENTRY", "TEXT", "SPIN", "CHECK", "OPTION", "LIST"};
  } else if (!class_name.empty()) {
    classes = {class_name};
  }
  const std::vector<WindowInfo> controls = VisibleControls(system_);
  const std::string wanted = NameKey(ref.text);
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const WindowInfo& c = controls[i];
    if (ref.number) {
      if (c.control_id == *ref.number && Accepts(classes, c.class_name)) return c.handle;
      continue;
    }
    if (c.class_name == "PROMPT" && NameKey(c.text) == wanted) {
      // The control the prompt stands for: the next one of the same parent.
      for (std::size_t j = i + 1; j < controls.size(); ++j) {
        if (controls[j].parent != c.parent) continue;
        if (Accepts(classes, controls[j].class_name)) return controls[j].handle;
        break;
      }
    }
    if (c.class_name != "PROMPT" && Accepts(classes, c.class_name) && NameKey(c.text) == wanted) {
      return c.handle;
    }
  }
  if (error != nullptr) {
    *error = "no " + (class_name.empty() ? std::string("control") : NameKey(class_name)) + " " +
             ref.Describe() + " is shown";
  }
  return kNoWindow;
}

bool Automation::Choose(const std::vector<std::string>& path, std::string* error) {
  if (path.empty()) {
    *error = "no menu path given";
    return false;
  }
  for (const WindowInfo& bar : VisibleControls(system_)) {
    if (bar.class_name != "MENUBAR") continue;
    WindowHandle level = bar.handle;
    std::string walked;
    for (std::size_t i = 0; i < path.size(); ++i) {
      WindowHandle found = kNoWindow;
      for (WindowHandle child : system_.Children(level)) {
        std::optional<WindowInfo> info = system_.GetWindowInfo(child);
        if (info && NameKey(info->text) == NameKey(path[i])) {
          found = child;
          break;
        }
      }
      walked += (i == 0 ? "" : " > ") + Quoted(path[i]);
      if (found == kNoWindow) {
        *error = "no menu item " + walked;
        return false;
      }
      level = found;
    }
    const std::optional<WindowInfo> item = system_.GetWindowInfo(level);
    if (!item->enabled) {
      *error = "menu item " + walked + " is disabled";
      return false;
    }
    return system_.InjectInput(HostOf(system_, level), kWmCommand, CommandId(item->control_id),
                               static_cast<std::intptr_t>(level));
  }
  *error = "no menu bar is shown";
  return false;
}

WindowHandle Automation::FocusOn(const ControlRef& ref, std::string_view class_name,
                                 std::string_view what, std::string* error) {
  const WindowHandle found = Find(ref, class_name, error);
  if (found == kNoWindow) return kNoWindow;
  if (!system_.IsWindowEnabled(found)) {
    *error = std::string(what) + " " + ref.Describe() + " is disabled";
    return kNoWindow;
  }
  (void)system_.SetFocus(found);
  return found;
}

bool Automation::Press(const ControlRef& button, std::string* error) {
  const WindowHandle found = FocusOn(button, "BUTTON", "button", error);
  return found != kNoWindow &&
         system_.InjectInput(HostOf(system_, found), kWmCommand,
                             CommandId(system_.GetWindowInfo(found)->control_id),
                             static_cast<std::intptr_t>(found));
}

bool Automation::Type(const ControlRef& field, std::string_view text, std::string* error) {
  const WindowHandle found = FocusOn(field, "FIELD", "field", error);
  if (found == kNoWindow) return false;
  (void)system_.SetText(found, std::string(text));
  const std::optional<WindowInfo> info = system_.GetWindowInfo(found);
  return system_.InjectInput(info->parent, kWmCommand,
                             (kEditChanged << 16) | CommandId(info->control_id),
                             static_cast<std::intptr_t>(found));
}

bool Automation::Focus(const ControlRef& control, std::string* error) {
  return FocusOn(control, "", "control", error) != kNoWindow;
}

bool Automation::Click(const ControlRef& control, MouseButton button, bool double_click,
                       std::string* error) {
  const WindowHandle found = Find(control, "", error);
  if (found == kNoWindow) return false;
  return driver_.Click(found, button, double_click);
}

bool Automation::PressKey(const KeyPress& key, std::string* error) {
  // The keyboard state is read when the program serves the key, so the
  // modifiers stay down until it has.
  const bool shift = (key.modifiers & kShift) != 0;
  const bool ctrl = (key.modifiers & kCtrl) != 0;
  const bool alt = (key.modifiers & kAlt) != 0;
  if (shift) system_.InjectKey(kVkShift, true);
  if (ctrl) system_.InjectKey(kVkControl, true);
  if (alt) system_.InjectKey(kVkMenu, true);
  system_.InjectKey(key.virtual_key, true, key.character);
  const bool settled = key.modifiers == 0 || Settle(error);
  system_.InjectKey(key.virtual_key, false);
  if (alt) system_.InjectKey(kVkMenu, false);
  if (ctrl) system_.InjectKey(kVkControl, false);
  if (shift) system_.InjectKey(kVkShift, false);
  return settled;
}

bool Automation::TypeCharacters(std::string_view text, std::string* error) {
  if (system_.GetFocus() == kNoWindow && system_.GetActiveWindow() == kNoWindow) {
    *error = "no window takes typed characters";
    return false;
  }
  for (char c : text) {
    std::optional<KeyPress> key = ParseKey(std::string_view(&c, 1));
    if (!key) key = KeyPress{kVkPacket, 0, c};  // typed as it is
    if (!PressKey(*key, error)) return false;
  }
  return true;
}

bool Automation::ClickRow(WindowHandle list, int row_index, RowClick click, std::string* error) {
  const std::optional<WindowInfo> info = system_.GetWindowInfo(list);
  if (row_index < 0 || static_cast<std::size_t>(row_index) >= info->rows.size()) {
    *error = "the list shows " + std::to_string(info->rows.size()) + " rows; no row " +
             std::to_string(row_index + 1);
    return false;
  }
  if (!info->enabled) {
    *error = "the list is disabled";
    return false;
  }
  const int header_lines = info->text.empty() ? 0 : LinesOf(info->text);
  const int row_lines = LinesOf(info->rows[0]);
  const int y = (header_lines + row_index * row_lines) * kCharHeight + kCharHeight / 2;
  const int x = kCharWidth / 2;
  (void)system_.SetFocus(list);
  const bool right = click == RowClick::kRightClick;
  system_.InjectMouse(list, right ? kWmRButtonDown : kWmLButtonDown, x, y);
  system_.InjectMouse(list, right ? kWmRButtonUp : kWmLButtonUp, x, y);
  if (click == RowClick::kDoubleClick) {
    system_.InjectMouse(list, kWmLButtonDblClk, x, y);
    system_.InjectMouse(list, kWmLButtonUp, x, y);
  }
  return true;
}

bool Automation::PickRow(const ControlRef& list, int row, RowClick click, std::string* error) {
  const WindowHandle found = Find(list, "LIST", error);
  return found != kNoWindow && ClickRow(found, row - 1, click, error);
}

bool Automation::PickRow(const ControlRef& list, std::string_view text, RowClick click,
                         std::string* error) {
  const WindowHandle found = Find(list, "LIST", error);
  if (found == kNoWindow) return false;
  const std::vector<std::string> rows = system_.GetWindowInfo(found)->rows;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].find(text) != std::string::npos) {
      return ClickRow(found, static_cast<int>(i), click, error);
    }
  }
  *error = "no row of list " + list.Describe() + " shows " + Quoted(text);
  return false;
}

bool Automation::ScrollList(const ControlRef& list, int action, std::string* error) {
  const WindowHandle found = Find(list, "LIST", error);
  return found != kNoWindow &&
         system_.InjectInput(found, kWmVScroll, MakeScrollParam(action, 0), 0);
}

bool Automation::DragThumb(const ControlRef& list, int position, std::string* error) {
  const WindowHandle found = Find(list, "LIST", error);
  return found != kNoWindow &&
         system_.InjectInput(found, kWmVScroll, MakeScrollParam(kSbThumbPosition, position), 0);
}

bool Automation::AnswerMessageBox(std::string_view button, std::string* error) {
  return Settle(error) && driver_.AnswerMessageBox(button, error);
}

bool Automation::AnswerFileDialog(std::optional<std::string> path, std::string* error) {
  return Settle(error) && driver_.AnswerFileDialog(std::move(path), error);
}

bool Automation::ChoosePopupItem(const ControlRef& item, std::string* error) {
  if (!Settle(error)) return false;
  return item.number ? driver_.AnswerPopup(std::nullopt, *item.number, error)
                     : driver_.AnswerPopup(item.text, std::nullopt, error);
}

bool Automation::DismissPopup(std::string* error) {
  return Settle(error) && driver_.AnswerPopup(std::nullopt, std::nullopt, error);
}

std::optional<std::string> Automation::Clipboard() const { return system_.GetClipboardText(); }

void Automation::SetClipboard(std::string text) { system_.SetClipboardText(std::move(text)); }

bool Automation::AdvanceClock(std::int64_t milliseconds, std::string* error) {
  if (clock_ == nullptr) {
    *error = "the clock is not simulated";
    return false;
  }
  if (milliseconds < 0) {
    *error = "the clock never runs backwards";
    return false;
  }
  clock_->Advance(milliseconds);
  return true;
}

bool Automation::SetClock(const LocalDateTime& now, std::string* error) {
  if (clock_ == nullptr) {
    *error = "the clock is not simulated";
    return false;
  }
  clock_->SetLocal(now);
  return true;
}

bool Automation::CloseAll(std::string* error) {
  for (int round = 0; round < 64; ++round) {
    if (!Settle(error)) return false;
    WindowHandle main_window = kNoWindow;
    for (WindowHandle top : system_.TopLevelWindows()) {
      if (system_.GetWindowInfo(top)->owner == kNoWindow) main_window = top;
    }
    if (main_window == kNoWindow) return true;
    if (!system_.OpenDialogs().empty()) {
      *error = "a dialog is still open when closing";
      return false;
    }
    const std::string caption = system_.GetText(main_window);
    (void)driver_.SystemCommand(main_window, kScClose);
    if (!Settle(error)) return false;
    if (system_.IsWindow(main_window)) {
      *error = "window " + Quoted(caption) + " stayed open when asked to close";
      return false;
    }
  }
  *error = "windows kept opening while closing";
  return false;
}

std::string Automation::Dump() const { return DumpWindows(system_); }

}  // namespace vaultrix::platform::headless
