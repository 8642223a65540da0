// Numbering a new tip: the highest TIP:TipID + 1 (1 for an empty file),
// taken at once by adding a tip with that number and a blank text.
//
//   reading the highest tip fails (not an end of file)  warning 35, no tip
//   the ADD fails                                       up to three tries in
//                                                       all, each with a new
//                                                       highest number
//   three tries failed                                  warning 25: Retry makes
//                                                       three more, Cancel gives up
//
// Locks: REQUIRES the runtime lock; the tips file is open.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vaultrix::app {

struct NumberedTip {
  std::int64_t number = 0;
  std::string position;  // the record's position in the tips file
};

// Leaves the added blank tip in TIP and its text buffer.
[[nodiscard]] std::optional<NumberedTip> NumberNewTip();

// Deletes the blank tip added by NumberNewTip, unless it has been given a
// text meanwhile.
void RemoveBlankTip(const NumberedTip& tip);

}  // namespace vaultrix::app
