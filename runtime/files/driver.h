// Driver registration: what the runtime knows of a driver. One static record
// per driver names it, gives its dispatch routine (operation.h) and lists the
// operation codes it serves and the field types it accepts. The limits are
// checked when a file's state is set up at its first operation, so a driver
// only ever sees files that fit it.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "runtime/files/operation.h"

namespace vaultrix::files {

struct DriverLimits {
  std::uint32_t max_record_size = 15104;  // larger records: 47
  std::uint32_t max_keys = 240;           // more keys: 47
  std::uint32_t max_memos = 255;          // more memos: 47
  std::uint32_t max_memo_size = 64000;    // a larger memo: 47
};

struct DriverRegistration {
  char name[21] = {};  // registered name, zero padded: "HALVERIN", "ASCII"
  std::string_view library_file_name;
  std::string_view notice;
  std::string_view description;
  DriverDispatch dispatch = nullptr;
  std::uint32_t capabilities = 0;
  DriverLimits limits;
  // Byte lists, each led by its count: the operation codes served and the
  // field type codes accepted.
  const std::uint8_t* operations = nullptr;
  const std::uint8_t* field_types = nullptr;
  // `operations` as one bit per code, when CacheServedOperations has filled
  // it, so that the frame's test on every call is a single lookup.
  std::array<std::uint64_t, 4> served = {};
  bool served_cached = false;
};

// Fills driver.served from driver.operations; call it again after changing
// the list.
void CacheServedOperations(DriverRegistration& driver);

[[nodiscard]] std::string_view RegisteredName(const DriverRegistration& driver);
// Inline for the frame, which asks on every operation.
[[nodiscard]] bool ServesListedOperation(const DriverRegistration& driver, Operation op);
[[nodiscard]] inline bool ServesOperation(const DriverRegistration& driver, Operation op) {
  const auto code = static_cast<std::uint32_t>(op);
  if (!driver.served_cached) return ServesListedOperation(driver, op);
  return code <= 0xFF && (driver.served[code / 64] >> (code % 64) & 1) != 0;
}
[[nodiscard]] bool AcceptsFieldType(const DriverRegistration& driver, std::uint8_t type);

}  // namespace vaultrix::files
