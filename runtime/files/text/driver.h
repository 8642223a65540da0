// The text driver, registered as "ASCII": files of plain lines, one record a
// line (text/text_file.h does the work). It serves 32 operations; everything else,
// PREVIOUS, DELETE, RECORDS, HOLD, WATCH and all key operations among them,
// answers 80 "Unsupported File Driver Function". Records hold only STRING
// and GROUP fields (others overlaying them), at most 65535 bytes, and no keys
// or memos (47 at the first operation).
#pragma once

#include <cstdint>

#include "runtime/files/driver.h"
#include "runtime/files/operation.h"

namespace vaultrix::files {

[[nodiscard]] const DriverRegistration& AsciiDriver();

std::int32_t AsciiDispatch(Operation op, OperationCall& call);

}  // namespace vaultrix::files
