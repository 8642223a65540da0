// Keeping the program's memory out of core dumps. A dump would hold the
// decrypted entries, the owner passwords of the data files and whatever the
// user typed, in a file any tool (or a crash reporter) can read later.
#pragma once

namespace vaultrix::app {

// Marks the process as not dumpable (which also keeps other programs of the
// same user from attaching to it or reading its memory through /proc) and
// sets the core size limit to zero, for this process and the ones it starts.
// False when the system refused either; the program runs on regardless.
bool TurnOffCoreDumps();

}  // namespace vaultrix::app
