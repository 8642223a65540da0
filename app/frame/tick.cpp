// The frame's timer: the status bar's day, date and time, the toolbar's key
// animation and user buttons, the clipboard clearing and the inactivity close.
#include <string>

#include "app/frame/countdown.h"
#include "app/dictionary/data_dictionary.h"
#include "app/frame/frame.h"
#include "app/frame/procedure.h"
#include "app/frame/timers.h"
#include "app/options/options.h"
#include "app/program/run.h"
#include "runtime/support/wipe.h"
#include "runtime/files/file_api.h"
#include "runtime/support/dates.h"
#include "runtime/support/error_state.h"
#include "runtime/support/times.h"
#include "runtime/windows/picture.h"
#include "runtime/windows/window_properties.h"

namespace vaultrix::app {
namespace {

// Seven 9-character day names, Sunday first.
constexpr std::string_view kDayNames =
    "Sunday   Monday   Tuesday  WednesdayThursday Friday   Saturday ";
constexpr std::string_view kKeyAnimation[] = {"~key3.gif",  "~key3f.gif", "~key3d.gif",
                                              "~key3b.gif", "~key3a.gif", "~key3.gif"};
constexpr std::size_t kClipboardSeen = 1000;

std::string Formatted(std::int32_t value, std::string_view picture_text) {
  windows::Picture picture;
  if (!windows::CompilePicture(picture_text, picture)) return std::to_string(value);
  return std::string(support::CLIP(
      windows::FormatValue(windows::PictureValue::Long(value), picture).str()));
}

}  // namespace

void FrameProcedure::ShowDateAndTime() {
  const std::int32_t today = support::TODAY();
  const std::string_view day = kDayNames.substr(static_cast<std::size_t>(today % 7) * 9, 9);
  window_.Set(0, windows::kPropStatusText,
              std::string(support::CLIP(day)) + ", " + Formatted(today, "@D4"), kZoneDate);
  window_.Set(0, windows::kPropStatusText, Formatted(support::CLOCK(), "@T3"), kZoneTime);
}

// The first three user records name the buttons "User #1" to "User #3"; a
// button without a user is hidden.
void FrameProcedure::FillUserButtons() {
  DataFile& users = UsersAlias();
  files::Set(users.Block());
  for (int i = 0; i < 3; ++i) {
    if (support::ErrorCode() == 0) files::Next(users.Block());
    user_names_[i] = support::ErrorCode() == 0 ? UA_.Name.Clipped() : std::string_view();
  }
  support::ClearError();
  platform::WindowSystem& system = AppEngine().System();
  for (int i = 0; i < 3; ++i) {
    windows::ControlObject* button = window_.Object().FindControl(kToolUser1 - i);
    if (button == nullptr) continue;
    if (user_names_[i].IsBlank()) {
      (void)system.ShowWindow(button->handle, platform::kSwHide);
    } else {
      (void)system.SetText(button->handle, std::string(user_names_[i].Clipped()));
      (void)system.ShowWindow(button->handle, platform::kSwShow);
    }
  }
}

void FrameProcedure::OnTimer() {
  ShowDateAndTime();
  ++ticks_;
  if (ticks_ == 24) {
    ticks_ = 0;
    animation_finished_ = true;
    FillUserButtons();
    window_.Set(0, windows::kPropTimer, "50");
  } else if (ticks_ == 12) {
    FillUserButtons();
  }
  if (!animation_finished_ && ticks_ >= 1 && ticks_ <= 6) {
    window_.Set(kToolAnimatedKey, windows::kPropText,
                kKeyAnimation[static_cast<std::size_t>(ticks_ - 1)]);
  }
  window_.Set(0, windows::kPropStatusText, "", kZoneCountdown);
  const std::int32_t clock = support::CLOCK();
  if (ClipboardClearSeconds != 0) ClearClipboardWhenDue(clock);
  if (InactivityMinutes != 0) CloseDownWhenInactive(clock);
}

void FrameProcedure::ClearClipboardWhenDue(std::int32_t clock) {
  platform::WindowSystem& system = AppEngine().System();
  const std::int32_t period = ClipboardClearSeconds * 100;
  // The clipboard's text is often a password: every copy of it is wiped.
  std::optional<std::string> held = system.GetClipboardText();
  std::string now = held ? held->substr(0, kClipboardSeen) : std::string();
  support::WipeText(held);
  if (support::CLIP(now) != support::CLIP(last_clipboard_)) {
    ClipboardDeadline = clock + period;
    last_clipboard_.swap(now);
  }
  support::WipeText(now);
  if (DeadlinePassed(clock, ClipboardDeadline, period, kClipboardMargin)) {
    system.SetClipboardTextFromProgram("");
    support::WipeText(last_clipboard_);
    ClipboardDeadline = clock + period;
  }
  if (!support::IsBlank(last_clipboard_)) {
    window_.Set(0, windows::kPropStatusText,
                SecondsLeft(ClipboardDeadline, clock) + " seconds to clipboard clear",
                kZoneCountdown);
  } else {
    window_.Set(0, windows::kPropStatusText, "", kZoneCountdown);
  }
}

void FrameProcedure::CloseDownWhenInactive(std::int32_t clock) {
  const std::int32_t period = InactivityMinutes * 6000;
  if (DeadlinePassed(clock, ShutdownDeadline, period, kShutdownMargin)) {
    (void)Start(Countdown);
    ShutdownDeadline = clock + period;
  }
  window_.Set(0, windows::kPropStatusText,
              SecondsLeft(ShutdownDeadline, clock) + " seconds to shutdown", kZoneCountdown);
}

}  // namespace vaultrix::app
