// Reading a driver's registration record.
#include "runtime/files/driver.h"

#include <cstring>

namespace vaultrix::files {
namespace {

// Every operation asks this, so the list is searched with memchr rather
// than a byte at a time.
bool ListHolds(const std::uint8_t* list, std::int32_t value) {
  if (list == nullptr || value < 0 || value > 0xFF) return false;
  return std::memchr(list + 1, value, list[0]) != nullptr;
}

}  // namespace

std::string_view RegisteredName(const DriverRegistration& driver) {
  return std::string_view(driver.name, strnlen(driver.name, sizeof(driver.name)));
}

void CacheServedOperations(DriverRegistration& driver) {
  driver.served = {};
  const std::uint8_t* list = driver.operations;
  for (std::uint8_t i = 1; list != nullptr && i <= list[0]; ++i) {
    driver.served[list[i] / 64] |= std::uint64_t{1} << (list[i] % 64);
  }
  driver.served_cached = true;
}

bool ServesListedOperation(const DriverRegistration& driver, Operation op) {
  return ListHolds(driver.operations, static_cast<std::int32_t>(op));
}

bool AcceptsFieldType(const DriverRegistration& driver, std::uint8_t type) {
  return ListHolds(driver.field_types, type);
}

}  // namespace vaultrix::files
