// The indexed driver, registered as "HALVERIN": every data file of the
// program. Its dispatch routine turns each operation code into a call of the
// file's HvnFile (hvn_file.h), created at the file's first operation.
//
// Served here: CREATE, OPEN, SHARE, CLOSE, ADD, APPEND, PUT (and PUT with a
// pointer), DELETE, GET by pointer (file and key forms), SET(file) and
// SET(file, pointer), REMOVE, COPY, RENAME, NEXT, PREVIOUS, SKIP, BOF, EOF, POINTER, POSITION,
// RESET and REGET by file, RECORDS, BYTES, EMPTY, NOMEMO, WATCH, HOLD (with
// and without a limit), RELEASE, LOCK (with and without a limit), UNLOCK,
// NAME, SEND, LOGOUT, COMMIT, ROLLBACK, and the view request (0: no view engine of its own). Every
// other code, the key forms among them, answers 80 "Unsupported File Driver
// Function" until key maintenance is in place.
#pragma once

#include <cstdint>

#include "runtime/files/driver.h"
#include "runtime/files/operation.h"

namespace vaultrix::files {

[[nodiscard]] const DriverRegistration& HalverinDriver();

std::int32_t HalverinDispatch(Operation op, OperationCall& call);

}  // namespace vaultrix::files
