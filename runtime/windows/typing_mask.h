// The typing mask an entry control lays over its text when its picture fixes the places of what
// is typed: date and time pictures (from their layout) and key-in pictures (from their mask).
// Other pictures give an empty mask, and the entry takes free text that DeformatValue reads.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "runtime/windows/picture.h"

namespace vaultrix::windows {

enum class MaskPlace : std::uint8_t {
  kLiteral,       // shown, skipped by the caret
  kDigit,         // "0".."9"
  kDigitOrBlank,  // a digit, or a blank for a leading zero
  kLetter,
  kUpperLetter,  // a letter, turned to upper case
  kLowerLetter,  // a letter, turned to lower case
  kAnyCharacter,
};

struct TypingMaskPlace {
  MaskPlace place = MaskPlace::kLiteral;
  char shown = ' ';      // the literal, or what an empty place shows
  bool required = true;  // key-in places after the "|" marker may stay empty
};

struct TypingMask {
  std::array<TypingMaskPlace, kMaxPictureWidth> places{};
  std::uint16_t size = 0;

  bool empty() const { return size == 0; }
};

[[nodiscard]] TypingMask BuildTypingMask(const Picture& picture);

// The character that lands in `place` when `typed` is keyed there, or nothing when the place
// refuses it. Literal places accept nothing.
[[nodiscard]] std::optional<char> AcceptTyped(const TypingMaskPlace& place, char typed);

// The first input place at or after `index` (mask.size when there is none).
[[nodiscard]] std::size_t NextInputPlace(const TypingMask& mask, std::size_t index);

}  // namespace vaultrix::windows
