// A test seam of the file state set-up: makes its allocations fail on demand,
// so the out-of-memory path (8 "Insufficient Memory", nothing left allocated)
// can be exercised.
#pragma once

namespace vaultrix::files::testing {

// The set-up's allocations succeed `allocations` more times, then one fails
// and failing turns off again; -1 turns it off at once.
void FailStateAllocationAfter(int allocations);

}  // namespace vaultrix::files::testing
