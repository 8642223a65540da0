// The typed-ahead ring: doubling growth, the 534 limit and Caps Lock.
#include "runtime/windows/key_buffer.h"

#include "platform/window_messages.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/runtime_error.h"

namespace vaultrix::windows {

void KeyBuffer::ToggleForCapsLock(std::int32_t key_code) {
  if ((key_code & 0xFF) == platform::kVkCapital) caps_lock_ = !caps_lock_;
}

void KeyBuffer::Grow() {
  const std::size_t capacity = ring_.empty() ? kFirstCapacity : ring_.size() * 2;
  std::vector<std::uint16_t> grown(capacity);
  for (std::size_t i = 0; i < count_; ++i) grown[i] = ring_[(head_ + i) % ring_.size()];
  ring_ = std::move(grown);
  head_ = 0;
}

void KeyBuffer::Press(std::int32_t key_code) {
  if (count_ == ring_.size()) {
    if (ring_.size() >= kMostCapacity) support::RuntimeError(support::kTooManyKeystrokesPressed);
    Grow();
  }
  ring_[(head_ + count_) % ring_.size()] = static_cast<std::uint16_t>(key_code);
  ++count_;
  ToggleForCapsLock(key_code);
}

std::optional<std::int32_t> KeyBuffer::Take() {
  if (count_ == 0) return std::nullopt;
  const std::int32_t key_code = ring_[head_];
  head_ = (head_ + 1) % ring_.size();
  if (--count_ == 0) {
    ring_.clear();
    ring_.shrink_to_fit();
    head_ = 0;
  }
  ToggleForCapsLock(key_code);
  return key_code;
}

}  // namespace vaultrix::windows
