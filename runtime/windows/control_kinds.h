// The kinds' own parts of the controls' behaviour (controls.h is the
// interface), one file per kind. Only the controls' files include this.
#pragma once

#include <cstdint>

#include "runtime/windows/controls.h"

namespace vaultrix::windows {

// control_button.cpp
void PressButton(EventEngine& engine, ControlObject& button);
// The window's default button, null for none.
[[nodiscard]] ControlObject* DefaultButton(const WindowObject& window);

// control_check.cpp: check boxes, option groups and their radios.
void ToggleCheck(EventEngine& engine, ControlObject& check);
void DisplayCheck(EventEngine& engine, ControlObject& check);
void ChooseRadio(EventEngine& engine, ControlObject& radio);
// Moves an option group's choice by `delta` radios (arrow keys).
void MoveRadioChoice(EventEngine& engine, ControlObject& radio, int delta);
void DisplayOption(EventEngine& engine, ControlObject& option);
// The option group's chosen radio from 1, 0 for none.
[[nodiscard]] int ChosenRadio(EventEngine& engine, const ControlObject& option);

// control_spin.cpp
void StepSpin(EventEngine& engine, ControlObject& spin, int steps);
void DisplaySpin(EventEngine& engine, ControlObject& spin);

// control_text.cpp: text boxes.
void DisplayTextBox(EventEngine& engine, ControlObject& text);
void AcceptTextBox(EventEngine& engine, ControlObject& text);
void RequireOwnThread(EventEngine& engine, const ControlObject& text);

// control_sheet.cpp: sheets and tabs.
// Shows tab `index` (from 1); with `raise`, as the user's choice: the sheet
// gets "EVENT:TabChanging", and once its body has seen that, the variable
// takes the tab, the tab shows and "EVENT:NewSelection" follows.
void ShowTab(EventEngine& engine, ControlObject& sheet, int index, bool raise);
void DisplaySheet(EventEngine& engine, ControlObject& sheet);
// The tab that the variable names shows at first, else the first tab.
void SetUpSheet(EventEngine& engine, ControlObject& sheet);
[[nodiscard]] int ChosenTab(EventEngine& engine, const ControlObject& sheet);
[[nodiscard]] int TabIndex(const ControlObject& tab);

// control_display.cpp: strings, progress bars.
void DisplayProgress(EventEngine& engine, ControlObject& progress);
// The position shown for a value, 0 to 100 of the bounds.
[[nodiscard]] std::int64_t ProgressPercent(const ControlObject& progress, std::int64_t value);

// control_menu.cpp
void ChooseItem(EventEngine& engine, ControlObject& item);

// The controls of the same window held by `container`, in description order.
template <typename Visit>
void ForEachContained(const ControlObject& container, Visit visit) {
  for (const auto& control : container.window->controls) {
    if (control->container == &container) visit(*control);
  }
}

}  // namespace vaultrix::windows
