// Reading a driver's registration record.
#include "runtime/files/driver.h"

#include <cstring>

namespace vaultrix::files {
namespace {

bool ListHolds(const std::uint8_t* list, std::int32_t value) {
  if (list == nullptr || value < 0 || value > 0xFF) return false;
  const std::uint8_t count = list[0];
  for (std::uint8_t i = 1; i <= count; ++i) {
    if (list[i] == value) return true;
  }
  return false;
}

}  // namespace

std::string_view RegisteredName(const DriverRegistration& driver) {
  return std::string_view(driver.name, strnlen(driver.name, sizeof(driver.name)));
}

bool ServesOperation(const DriverRegistration& driver, Operation op) {
  return ListHolds(driver.operations, static_cast<std::int32_t>(op));
}

bool AcceptsFieldType(const DriverRegistration& driver, std::uint8_t type) {
  return ListHolds(driver.field_types, type);
}

}  // namespace vaultrix::files
