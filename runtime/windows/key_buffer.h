// The typed-ahead key buffer that PressKeys fills and the keyboard
// translation empties before it looks at real input.
//
// A ring of 16-bit key codes, made with 16 entries on first use and doubled
// whenever it is full; a full buffer that already has 1024 or more entries
// refuses with runtime error 534 "Too many keystrokes PRESSed". Taking the
// last key out frees the ring. A Caps Lock key (virtual key 0x14) toggles
// the engine's own Caps Lock state both when it is pressed into the buffer
// and when it is taken out.
//
// REQUIRES: the runtime lock is held for every call (the engine owns one
// buffer for all threads).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace vaultrix::windows {

class KeyBuffer {
 public:
  static constexpr std::size_t kFirstCapacity = 16;
  static constexpr std::size_t kMostCapacity = 1024;

  // Appends a key code; raises 534 when the buffer is full at kMostCapacity.
  void Press(std::int32_t key_code);
  // The oldest key code, nullopt when the buffer is empty.
  [[nodiscard]] std::optional<std::int32_t> Take();

  [[nodiscard]] std::size_t Size() const { return count_; }
  [[nodiscard]] std::size_t Capacity() const { return ring_.size(); }
  [[nodiscard]] bool CapsLock() const { return caps_lock_; }

 private:
  void Grow();
  void ToggleForCapsLock(std::int32_t key_code);

  std::vector<std::uint16_t> ring_;
  std::size_t head_ = 0;  // index of the oldest key
  std::size_t count_ = 0;
  bool caps_lock_ = false;
};

}  // namespace vaultrix::windows
