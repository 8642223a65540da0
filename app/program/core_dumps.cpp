// Turning core dumps off at start.
#include "app/program/core_dumps.h"

#include <sys/prctl.h>
#include <sys/resource.h>

namespace vaultrix::app {

bool TurnOffCoreDumps() {
  const bool not_dumpable = ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) == 0;
  const struct rlimit none = {0, 0};
  const bool no_core = ::setrlimit(RLIMIT_CORE, &none) == 0;
  return not_dumpable && no_core;
}

}  // namespace vaultrix::app
