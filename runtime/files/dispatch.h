// The operation frame: every file operation passes through Dispatch, which
//   1. clears the error state;
//   2. on the file's first operation sets up its state (file_state.h); a
//      failure ends the operation with that code;
//   3. answers 80 for an operation the file's driver does not serve, else
//      calls the driver (operation.h);
//   4. posts the driver's answer (nothing for kNothingToPost), naming the file;
//      BOF and EOF answer 1 when an error was posted;
//   5. after CLOSE releases the file's state.
// Dispatch never throws.
#pragma once

#include <cstdint>

#include "runtime/files/operation.h"
#include "runtime/support/error_state.h"

namespace vaultrix::files {

// Runs `op` on call.file (for key operations call.key's file, which the frame
// fills in). Returns call.result.
std::int64_t Dispatch(Operation op, OperationCall& call);

// The file as the error state names it, for a driver that posts on its own.
[[nodiscard]] support::ErrorFileRef ErrorFileOf(const FileBlock& file);

}  // namespace vaultrix::files
