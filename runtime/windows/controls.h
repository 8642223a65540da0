// The controls other than the list, built on the window system: each keeps
// what it shows there, binds to its use variable, and turns the input that
// reaches its window into the events of the engine.
//
// What the window system carries for each kind (the convention drivers
// render from and report into):
//   ENTRY, SPIN   text: the variable through the picture; a driver writes
//                 the user's edits into the text. SPIN also value: the number;
//                 a driver reports its arrows as kWmVScroll to the spin with
//                 wparam kSpinUp or kSpinDown.
//   TEXT          text: the variable's text, several lines.
//   STRING        text: the variable through the picture, or the constant.
//   PROMPT, GROUP text.
//   BUTTON        text; style bit kDefaultButtonStyle for the window's default
//                 button (pressed by Enter).
//   CHECK         text; check 1 or 0.
//   OPTION        text; value: the chosen radio from 1 (0 none).
//   RADIO         text; check 1 for the chosen one.
//   SHEET         value: the chosen tab from 1. TAB windows: text; only the
//                 chosen one is visible.
//   PROGRESS      value: 0 to 100, the position within its bounds.
//   IMAGE         text: the image's file name (an "IMAGE" resource). A left
//                 press on it (the mouse message itself) is its click.
//   MENU, ITEM    text; control_id the number; style & 0xFFFF the standard
//                 action; an ITEM's value is its accelerator key code, and an
//                 item with empty text and no number is a separator.
//   every kind    enabled, visible.
// What a driver reports: a button, toolbar button, menu item, check box or
// radio chosen as kWmCommand to the window that holds it (wparam: the
// notification code kClicked in the high word, the control number in the
// low 16 bits; lparam: the control's window), a check box's or radio's new
// state set in the window system first; a tab chosen likewise with the code
// kSelectionChanged after the sheet's value was set; edits written into the
// text, then accepted by Enter or by the focus leaving. Mouse messages only
// give the key code; Space, arrows and Enter on a button are the widget's,
// which reports the press.
//
// Locks: REQUIRES the runtime lock.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/window_system.h"
#include "runtime/windows/event_engine.h"

namespace vaultrix::windows {

// Properties of controls beyond the ones windows share with them.
inline constexpr std::int32_t kPropDisable = 0x7C37;
inline constexpr std::int32_t kPropHide = 0x7C3A;
inline constexpr std::int32_t kPropRangeLow = 0x7C60;   // spin boxes, progress bars
inline constexpr std::int32_t kPropRangeHigh = 0x7C61;  // spin boxes, progress bars
inline constexpr std::int32_t kPropStep = 0x7C62;       // spin boxes
inline constexpr std::int32_t kPropTip = 0x7CE8;        // the tip shown over the control

// What a RejectedEventRecord answers beyond an unreadable text.
inline constexpr std::int32_t kRejectedOutOfRange = 2;  // a spin box's value outside its range
inline constexpr std::int32_t kRejectedTooLong = 3;     // a text longer than its variable

inline constexpr int kErrorCreateControlModal = 541;
inline constexpr int kErrorOperationModal = 542;
inline constexpr std::string_view kTextControlDetail = "CTLTEXT";

inline constexpr std::uint32_t kDefaultButtonFlag = 0x1;  // attribute flag of a button
inline constexpr std::uint32_t kDefaultButtonStyle = 0x1;
inline constexpr std::uintptr_t kSpinUp = 0;    // kWmVScroll wparam: one step up
inline constexpr std::uintptr_t kSpinDown = 1;  // one step down

// After the control's window is made: its window-system state from its
// description and its variable.
void SetUpControl(EventEngine& engine, ControlObject& control);

// Shows the control's variable (controls without one keep their state).
// A text box shown from another thread than its window's stops the program
// with 542 and the detail "CTLTEXT".
void DisplayControl(EventEngine& engine, ControlObject& control);

// "EVENT:Selected" has been served: the control shows its variable again,
// and a control on a tab that is not shown brings its tab to the front.
void RevealSelectedControl(EventEngine& engine, ControlObject& control);

// Notification codes of kWmCommand (high word of wparam).
inline constexpr std::uint32_t kClicked = 0x0000;
inline constexpr std::uint32_t kSelectionChanged = 0x0001;

// A driver's report of what the user did to the control (see above).
void ControlReported(EventEngine& engine, ControlObject& control, std::uint32_t code);

// Input that reached the control's window; true when the control took it.
bool ControlInput(EventEngine& engine, ControlObject& control, const platform::Message& message);

// What a click on the control, its accelerator or its command does: a
// button, toolbar button or image raises "EVENT:Accepted", a check box toggles, a
// radio is chosen, a tab shown, a menu item does its standard action or
// raises "EVENT:Accepted"; a field takes the focus. Hidden or disabled
// controls do nothing.
void ChooseControl(EventEngine& engine, ControlObject& control);

// Controls whose typed text is accepted through a picture or as text.
[[nodiscard]] bool TakesTypedText(const ControlObject& control);
[[nodiscard]] bool TypedTextAcceptable(EventEngine& engine, const ControlObject& control);
// Accepts the typed text: "EVENT:Accepted" after storing, or "EVENT:Rejected".
void AcceptTypedText(EventEngine& engine, ControlObject& control);

// A spin box's range (every number for other kinds).
[[nodiscard]] bool WithinRange(const ControlObject& control, std::int64_t value);

// The control's value property (numbers below 0x7000) as text, and setting
// it: the variable is written and shown again.
[[nodiscard]] std::string ControlValue(EventEngine& engine, ControlObject& control);
void SetControlValue(EventEngine& engine, ControlObject& control, std::string_view value);
// Control attributes of this file's numbers; nullopt/false for other numbers.
[[nodiscard]] std::optional<std::string> GetControlAttribute(EventEngine& engine,
                                                             ControlObject& control,
                                                             std::int32_t number);
bool SetControlAttribute(EventEngine& engine, ControlObject& control, std::int32_t number,
                         std::string_view value);

// Raises a field event for the control on its window's queue.
void RaiseControlEvent(EventEngine& engine, ControlObject& control, int event);
// Raises "EVENT:Rejected" for the control, its record answering `reason`.
void RaiseRejected(EventEngine& engine, ControlObject& control, std::int32_t reason);

// Creates a control on the target window at run time and answers its number
// (the next free number when `number` is 0); `container` names the group,
// option group, sheet or tab that holds it (0: the window). 541 while the
// system is MODAL, unless the target is the modal window itself; 536 when
// the target is not open; the detail "CTLUSE" for an unknown kind.
int CreateControl(EventEngine& engine, std::uint8_t type, int number, int container,
                  std::string_view text, const platform::Rect& rect);

}  // namespace vaultrix::windows
