// The controls' common behaviour: setting them up, showing their variables,
// routing their input and their choice to the kind, and their value and
// attribute properties.
#include "runtime/windows/controls.h"

#include <cmath>
#include <optional>

#include "runtime/windows/control_kinds.h"
#include "runtime/windows/ctlentry.h"
#include "runtime/windows/resource_format.h"
#include "runtime/windows/use_variable.h"
#include "runtime/windows/window_open.h"

namespace vaultrix::windows {
using namespace rsc;  // NOLINT: the record kinds
namespace {

using platform::Message;

bool Usable(platform::WindowSystem& system, const ControlObject& control) {
  return system.IsWindowVisible(control.handle) && system.IsWindowEnabled(control.handle);
}

bool IsInput(std::uint32_t message) {
  return (message >= platform::kWmKeyDown && message <= platform::kWmSysChar) ||
         (message >= platform::kWmMouseMove && message <= platform::kWmMButtonDblClk) ||
         message == platform::kWmVScroll || message == platform::kWmCommand;
}

// Controls whose value is the text they show.
bool ShowsText(const ControlObject& control) {
  return TakesTypedText(control) || control.type == kValueString;
}

// Changes only the style bits under `mask`; the others (visible, disabled)
// stay as they are.
void SetStyleBits(platform::WindowSystem& system, platform::WindowHandle handle,
                  std::uint32_t mask, std::uint32_t bits) {
  const std::uint32_t style = system.GetWindowInfo(handle)->style;
  (void)system.SetStyle(handle, (style & ~mask) | (bits & mask));
}

// The range and step a driver's spin widget keeps the user within (a
// progress bar's bounds stay the engine's: drivers show its percent).
void PublishRange(platform::WindowSystem& system, const ControlObject& control) {
  platform::DisplayAttributes display = system.GetWindowInfo(control.handle)->display;
  display.low = control.low;
  display.high = control.high;
  display.step = control.step;
  (void)system.SetDisplayAttributes(control.handle, std::move(display));
}

std::string Number(double value) {
  return std::to_string(static_cast<std::int64_t>(std::llround(value)));
}

}  // namespace

bool TakesTypedText(const ControlObject& control) {
  return control.type == kEntry || control.type == kSpin || control.type == kTextBox;
}

bool TypedTextAcceptable(EventEngine& engine, const ControlObject& control) {
  if (control.type == kEntry || control.type == kSpin) {
    return EntryAcceptable(engine.System(), control);
  }
  return true;
}

void AcceptTypedText(EventEngine& engine, ControlObject& control) {
  if (control.type == kTextBox) {
    AcceptTextBox(engine, control);
  } else {
    AcceptEntry(engine, control);
    if (control.type == kSpin) DisplaySpin(engine, control);
  }
}

bool WithinRange(const ControlObject& control, std::int64_t value) {
  // A spin box without a range (both bounds 0) takes every number.
  if (control.type != kSpin || control.high <= control.low) return true;
  return static_cast<double>(value) >= control.low && static_cast<double>(value) <= control.high;
}

void RaiseControlEvent(EventEngine& engine, ControlObject& control, int event) {
  WindowObject& window = *control.window;
  window.events.Append(MakeInputEventRecord(engine, window, event, &control));
}

void RaiseRejected(EventEngine& engine, ControlObject& control, std::int32_t reason) {
  WindowObject& window = *control.window;
  auto rejected = std::make_unique<RejectedEventRecord>();
  static_cast<EventRecord&>(*rejected) =
      *MakeInputEventRecord(engine, window, kEventRejected, &control);
  rejected->reason = reason;
  window.events.Append(std::move(rejected));
}

void SetUpControl(EventEngine& engine, ControlObject& control) {
  platform::WindowSystem& system = engine.System();
  switch (control.type) {
    case kButton:
      if ((control.flags & kDefaultButtonFlag) != 0) {
        SetStyleBits(system, control.handle, kDefaultButtonStyle, kDefaultButtonStyle);
      }
      break;
    case kMenu:
    case kItem:
      SetStyleBits(system, control.handle, 0xFFFF, static_cast<std::uint32_t>(control.action));
      (void)system.SetValue(control.handle, control.key);
      break;
    case kProgress:
      if (control.high <= control.low) {
        control.low = 0;
        control.high = 100;
      }
      break;
    case kSheet:
      SetUpSheet(engine, control);
      break;
    case kEntry:
      LimitEntry(system, control);
      if (control.use_address == nullptr) DisplayEntry(system, control);
      break;
    default:
      break;
  }
  DisplayControl(engine, control);
}

void DisplayControl(EventEngine& engine, ControlObject& control) {
  platform::WindowSystem& system = engine.System();
  switch (control.type) {
    case kEntry:
    case kValueString:
      // Without a variable the text stays what the procedure last set.
      if (control.use_address != nullptr) DisplayEntry(system, control);
      return;
    case kSpin: DisplaySpin(engine, control); return;
    case kTextBox: DisplayTextBox(engine, control); return;
    case kCheck: DisplayCheck(engine, control); return;
    case kOptionGroup: DisplayOption(engine, control); return;
    case kSheet: DisplaySheet(engine, control); return;
    case kProgress: DisplayProgress(engine, control); return;
    default: return;
  }
}

bool ControlInput(EventEngine& engine, ControlObject& control, const Message& m) {
  if (control.type == kList) return false;  // the list handles its own input
  platform::WindowSystem& system = engine.System();
  if (IsInput(m.message) && !Usable(system, control)) return true;
  switch (m.message) {
    case platform::kWmKillFocus:
      if (!TakesTypedText(control)) return false;
      AcceptTypedText(engine, control);
      return true;
    case platform::kWmKeyDown:
      // Enter accepts a field's text (in a text box it is a new line). The
      // other keys of a control (Space on a button, arrows in a spin box)
      // are its widget's, which reports what they did.
      if ((m.wparam & 0xFF) != platform::kVkReturn || !TakesTypedText(control) ||
          control.type == kTextBox) {
        return false;
      }
      AcceptTypedText(engine, control);
      return true;
    case platform::kWmVScroll:
      if (control.type != kSpin) return false;
      StepSpin(engine, control, (m.wparam & 0xFFFF) == kSpinUp ? 1 : -1);
      return true;
    case platform::kWmLButtonDown:
      // A picture has no widget that reports presses: its left press is its
      // click (the key code is already the button's).
      if (control.type != kImage) return false;
      ChooseControl(engine, control);
      return true;
    default:
      return false;
  }
}

void ControlReported(EventEngine& engine, ControlObject& control, std::uint32_t code) {
  if (!Usable(engine.System(), control) && control.type != kItem) return;
  if (code == kSelectionChanged) {
    if (control.type == kSheet) {
      ShowTab(engine, control, static_cast<int>(engine.System().GetWindowInfo(control.handle)->value),
              true);
    }
    return;
  }
  if (code != kClicked) return;
  if (control.type == kCheck) {
    CheckReported(engine, control);
  } else {
    ChooseControl(engine, control);
  }
}

void ChooseControl(EventEngine& engine, ControlObject& control) {
  platform::WindowSystem& system = engine.System();
  // Items live in menus, and a tab's header shows while its page is hidden:
  // these need only be enabled.
  const bool needs_showing = control.type != kItem && control.type != kMenu && control.type != kTab;
  if (needs_showing ? !Usable(system, control) : !system.IsWindowEnabled(control.handle)) return;
  switch (control.type) {
    case kButton: PressButton(engine, control); return;
    case kCheck: ToggleCheck(engine, control); return;
    case kRadio: ChooseRadio(engine, control); return;
    case kTab:
      if (control.container != nullptr) ShowTab(engine, *control.container, TabIndex(control), true);
      return;
    case kItem: ChooseItem(engine, control); return;
    case kImage: RaiseControlEvent(engine, control, kEventAccepted); return;
    case kPrompt: {
      // A prompt's key takes the focus to the first field after it.
      WindowObject& window = *control.window;
      bool after = false;
      for (const auto& other : window.controls) {
        if (after && other->number > 0 && other->type != kPrompt && other->type != kString &&
            other->type != kGroup && Usable(system, *other)) {
          (void)system.SetFocus(other->handle);
          return;
        }
        if (other.get() == &control) after = true;
      }
      return;
    }
    case kEntry:
    case kSpin:
    case kTextBox:
    case kList:
      (void)system.SetFocus(control.handle);
      return;
    default: return;
  }
}

std::string ControlValue(EventEngine& engine, ControlObject& control) {
  platform::WindowSystem& system = engine.System();
  const bool bound = control.use_address != nullptr;
  if (ShowsText(control)) return bound ? UseText(control) : system.GetText(control.handle);
  switch (control.type) {
    case kCheck: return std::to_string(system.GetWindowInfo(control.handle)->check);
    case kOptionGroup:
      return bound ? UseText(control) : std::to_string(ChosenRadio(engine, control));
    case kSheet: return std::to_string(ChosenTab(engine, control));
    case kProgress:
      if (bound) return std::to_string(UseNumber(control));
      [[fallthrough]];
    default: return std::to_string(system.GetWindowInfo(control.handle)->value);
  }
}

void SetControlValue(EventEngine& engine, ControlObject& control, std::string_view value) {
  platform::WindowSystem& system = engine.System();
  if (control.type == kTextBox) RequireOwnThread(engine, control);
  const std::int64_t number = ParseWholeNumber(value).value_or(0);
  const bool bound = control.use_address != nullptr;
  if (ShowsText(control)) {
    if (bound) {
      (void)StoreUseText(control, value, /*cut=*/true);
      DisplayControl(engine, control);
    } else {
      (void)system.SetText(control.handle, std::string(value));
    }
    return;
  }
  switch (control.type) {
    case kCheck:
      if (bound) (void)StoreUseNumber(control, number != 0 ? 1 : 0);
      (void)system.SetCheck(control.handle, number != 0 ? 1 : 0);
      return;
    case kOptionGroup:
      if (bound) {
        (void)StoreUseText(control, value, /*cut=*/true);
        DisplayOption(engine, control);
      } else {
        int index = 0;
        ForEachContained(control, [&](ControlObject& radio) {
          if (++index == number) ChooseRadio(engine, radio);
        });
      }
      return;
    case kSheet: ShowTab(engine, control, static_cast<int>(number), false); return;
    case kProgress:
      if (bound) {
        (void)StoreUseNumber(control, number);
        DisplayProgress(engine, control);
      } else {
        (void)system.SetValue(control.handle, ProgressPercent(control, number));
      }
      return;
    default: (void)system.SetValue(control.handle, number); return;
  }
}

std::optional<std::string> GetControlAttribute(EventEngine& engine, ControlObject& control,
                                               std::int32_t number) {
  platform::WindowSystem& system = engine.System();
  switch (number) {
    case kPropDisable: return system.IsWindowEnabled(control.handle) ? "" : "1";
    case kPropHide: return system.IsWindowVisible(control.handle) ? "" : "1";
    case kPropRangeLow: return Number(control.low);
    case kPropRangeHigh: return Number(control.high);
    case kPropStep: return Number(control.step);
    case kPropTip: return system.GetWindowInfo(control.handle)->display.tooltip;
    default: return std::nullopt;
  }
}

bool SetControlAttribute(EventEngine& engine, ControlObject& control, std::int32_t number,
                         std::string_view value) {
  platform::WindowSystem& system = engine.System();
  const std::int64_t n = ParseWholeNumber(value).value_or(0);
  switch (number) {
    case kPropDisable: (void)system.EnableWindow(control.handle, n == 0); return true;
    case kPropHide:
      (void)system.ShowWindow(control.handle, n != 0 ? platform::kSwHide : platform::kSwShow);
      return true;
    case kPropTip: {
      platform::DisplayAttributes display = system.GetWindowInfo(control.handle)->display;
      display.tooltip = std::string(value);
      (void)system.SetDisplayAttributes(control.handle, std::move(display));
      return true;
    }
    case kPropRangeLow: control.low = static_cast<double>(n); break;
    case kPropRangeHigh: control.high = static_cast<double>(n); break;
    case kPropStep: control.step = static_cast<double>(n); break;
    default: return false;
  }
  if (control.type == kSpin) PublishRange(system, control);
  DisplayControl(engine, control);
  return true;
}

}  // namespace vaultrix::windows
