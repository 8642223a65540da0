// The tip of the day's settings in "VAULTRIX.INI", section "TipOfDay" (not
// About's own section, which holds its placement):
//
//   key        value                                     missing
//   ShowTip    "1" or "0"; 0 keeps the about window shut  "1"
//   FirstTip   the number of the tip to show next: the     "1"
//              last shown TIP:TipID + 1, in picture N_10,
//              left-aligned
//
// Values are read as numbers are read from text: the leading integer, 0 when
// there is none.
//
// And the tip's number in the record buffer, a packed DECIMAL(11).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vaultrix::app {

inline constexpr std::string_view kTipOfDaySection = "TipOfDay";
inline constexpr std::string_view kShowTipKey = "ShowTip";
inline constexpr std::string_view kFirstTipKey = "FirstTip";

[[nodiscard]] std::int64_t ReadShowTip();
void WriteShowTip(std::int64_t show);
[[nodiscard]] std::int64_t ReadFirstTip();
void WriteFirstTip(std::int64_t number);
// FirstTip's text for a number: N_10, left-aligned.
[[nodiscard]] std::string FirstTipText(std::int64_t number);

// TIP:TipID as a number (0 when it holds no valid number) and set from one.
[[nodiscard]] std::int64_t TipNumber();
void SetTipNumber(std::int64_t number);

}  // namespace vaultrix::app
