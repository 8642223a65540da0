// The page queue as the list reads it.
#include "app/browse/queue.h"

namespace vaultrix::app {

bool BrowseQueue::Fetch(std::int32_t n) {
  if (n < 0 || n >= Records()) return false;
  fetched_ = n;
  return true;
}

std::string_view BrowseQueue::Field(std::int32_t f) const {
  if (fetched_ < 0 || fetched_ >= Records()) return {};
  const auto& fields = rows_[static_cast<std::size_t>(fetched_)].fields;
  if (f < 0 || static_cast<std::size_t>(f) >= fields.size()) return {};
  return fields[static_cast<std::size_t>(f)];
}

}  // namespace vaultrix::app
