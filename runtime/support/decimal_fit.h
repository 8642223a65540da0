// Shared by the decimal modules: turning an exact wide result into a Decimal.
#pragma once

#include <optional>

#include "runtime/support/decimal.h"
#include "runtime/support/wide_unsigned.h"

namespace vaultrix::support {

// The value (-1)^negative x magnitude / 10^places, with places given up
// (rounded half away from zero) until at most 31 digits and 31 places remain.
// No value when the integer part alone needs more than 31 digits.
[[nodiscard]] std::optional<Decimal> FitDecimal(bool negative, wide::U256 magnitude, int places);

}  // namespace vaultrix::support
