// Clearing a record buffer as a read does before it fills the record: text
// fields become blanks, everything else zero. Fields that overlay others are
// left to the fields they overlay, so a text laid over a number does not
// blank the number.
#pragma once

#include <cstdint>

#include "runtime/files/record_layout.h"

namespace vaultrix::files {

// REQUIRES: `record` holds `record_size` bytes. Bytes of fields that reach
// beyond record_size are left alone.
void ClearRecord(const RecordLayout& layout, std::uint8_t* record, std::uint32_t record_size);

}  // namespace vaultrix::files
