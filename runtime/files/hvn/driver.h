// The indexed driver, registered as "HALVERIN": every data file of the
// program. Its dispatch routine turns each operation code into a call of the
// file's HvnFile (hvn/open_file.h), created at the file's first operation.
//
// Served here: CREATE, OPEN, SHARE, CLOSE, ADD, APPEND, PUT (and PUT with a
// pointer), DELETE, GET by pointer (file and key forms) and by key, every SET
// form, REMOVE, COPY, RENAME, NEXT, PREVIOUS, SKIP, BOF, EOF, POINTER,
// POSITION, RESET and REGET by file and by key, RECORDS of the file and of a
// key, BYTES, DUPLICATE of the file and of a key, BUILD of the file, a key and
// an index (with components as text too), PACK, EMPTY, NOMEMO, WATCH, HOLD
// (with and without a limit), RELEASE, LOCK (with and without a limit),
// UNLOCK, NAME, SEND, LOGOUT, COMMIT, ROLLBACK, and the view request (0: no
// view engine of its own). Every other code (the memo-as-block and property
// operations among them) answers 80 "Unsupported File Driver Function".
#pragma once

#include <cstdint>

#include "runtime/files/driver.h"
#include "runtime/files/operation.h"

namespace vaultrix::files {

[[nodiscard]] const DriverRegistration& HalverinDriver();

std::int32_t HalverinDispatch(Operation op, OperationCall& call);

}  // namespace vaultrix::files
