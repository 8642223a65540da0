// The page queue as the list reads it.
#include "app/browse/queue.h"

#include <cstddef>

#include "runtime/support/fixed_string.h"

namespace vaultrix::app {

namespace {

bool IsContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// The bytes of the character that `lead` starts; 0 when it starts none.
std::size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// The length of `text` without a character that its end cuts short: a lead
// byte among the last three whose continuation bytes run past the end.
std::size_t WithoutCutCharacter(std::string_view text) {
  std::size_t at = text.size();
  for (int back = 0; back < 3 && at > 0; ++back) {
    --at;
    const auto byte = static_cast<unsigned char>(text[at]);
    if (IsContinuation(byte)) continue;
    const std::size_t length = SequenceLength(byte);
    return length > text.size() - at ? at : text.size();
  }
  return text.size();
}

}  // namespace

std::string QueueFieldText(std::span<const char> field) {
  const std::string_view text(field.data(), field.size());
  return std::string(support::CLIP(text.substr(0, WithoutCutCharacter(text))));
}

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
