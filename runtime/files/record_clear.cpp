// Clearing a record by its layout.
#include "runtime/files/record_clear.h"

#include <cstring>

namespace vaultrix::files {

void ClearRecord(const RecordLayout& layout, std::uint8_t* record, std::uint32_t record_size) {
  if (record == nullptr || record_size == 0) return;
  std::memset(record, 0, record_size);
  for (const FieldInfo& field : layout.fields) {
    if (field.overlay || field.type != kTypeString) continue;
    if (field.offset > record_size || field.size > record_size - field.offset) continue;
    std::memset(record + field.offset, ' ', field.size);
  }
}

}  // namespace vaultrix::files
