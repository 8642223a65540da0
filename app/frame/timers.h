// The frame's two timers as rules over CLOCK values: clearing the clipboard a
// number of seconds after it changed, and starting the close-down countdown
// after a number of minutes without activity.
//
// CLOCK runs from 1 to 8,640,000 and wraps at midnight, so a deadline set
// late in the day can lie above 8,640,000. Such a deadline has passed after
// midnight when the clock is beyond deadline - 8,640,000 yet still well
// before the end of the day (more than one period and a margin away, so that
// a clock just short of midnight is not taken for one just after it). In the
// first 50 seconds after midnight a deadline still above 8,640,000 is brought
// into the new day.
#pragma once

#include <cstdint>
#include <string>

namespace vaultrix::app {

inline constexpr std::int32_t kClipboardMargin = 500;
inline constexpr std::int32_t kShutdownMargin = 3000;

// Whether `deadline` has passed at `clock`; may move the deadline into the
// new day as above. `period` is the timer's period in hundredths.
[[nodiscard]] bool DeadlinePassed(std::int32_t clock, std::int32_t& deadline, std::int32_t period,
                                  std::int32_t margin);

// The seconds left, as status zone 2 shows them: (deadline - clock) / 100 in
// decimal arithmetic, in the runtime's default conversion ("9.5", "10").
[[nodiscard]] std::string SecondsLeft(std::int32_t deadline, std::int32_t clock);

// "Filter Clipboard Contents": leading and trailing blanks go, the text ends at
// a character 0, control characters and characters whose upper-case form
// sorts after "Z" go (blanks stay), and a run of blanks shrinks to one.
[[nodiscard]] std::string FilterClipboardText(std::string_view text);

}  // namespace vaultrix::app
