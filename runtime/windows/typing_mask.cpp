// Building the entry control's typing mask from a compiled picture's template.
#include "runtime/windows/typing_mask.h"

namespace vaultrix::windows {
namespace {

MaskPlace DateTimePlace(const TemplatePair& pair) {
  switch (pair.token) {
    case token::kMonthDigit:
    case token::kDayDigit:
    case token::kYearDigit:
    case token::kHourDigit:
    case token::kMinuteDigit:
    case token::kSecondDigit:
      return pair.fill == '0' ? MaskPlace::kDigit : MaskPlace::kDigitOrBlank;
    case token::kMonthName:
    case token::kWeekdayName:
    case token::kAmPm:
      return MaskPlace::kLetter;
    default:
      return MaskPlace::kLiteral;
  }
}

MaskPlace KeyInPlace(std::uint8_t kind) {
  switch (kind) {
    case token::kDigitZeroFill:
      return MaskPlace::kDigit;
    case token::kDigitBlankFill:
      return MaskPlace::kDigitOrBlank;
    case token::kLetter:
      return MaskPlace::kLetter;
    case token::kUpperLetter:
      return MaskPlace::kUpperLetter;
    case token::kLowerLetter:
      return MaskPlace::kLowerLetter;
    case token::kAnyCharacter:
      return MaskPlace::kAnyCharacter;
    default:
      return MaskPlace::kLiteral;
  }
}

bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || static_cast<unsigned char>(c) >= 0x80;
}

}  // namespace

TypingMask BuildTypingMask(const Picture& picture) {
  TypingMask mask;
  PictureKind kind = picture.kind();
  if (kind != PictureKind::kDate && kind != PictureKind::kTime && kind != PictureKind::kKeyIn) {
    return mask;
  }
  bool required = true;
  for (std::size_t i = 0; i < picture.length; ++i) {
    const TemplatePair& pair = picture.pairs[i];
    if (pair.token == token::kKeyInMarker) {
      required = false;
      continue;
    }
    TypingMaskPlace& place = mask.places[mask.size++];
    place.place = kind == PictureKind::kKeyIn ? KeyInPlace(pair.token) : DateTimePlace(pair);
    place.shown = place.place == MaskPlace::kLiteral ? pair.fill : ' ';
    place.required = required;
  }
  return mask;
}

std::optional<char> AcceptTyped(const TypingMaskPlace& place, char typed) {
  switch (place.place) {
    case MaskPlace::kLiteral:
      return std::nullopt;
    case MaskPlace::kDigit:
      if (typed >= '0' && typed <= '9') return typed;
      return std::nullopt;
    case MaskPlace::kDigitOrBlank:
      if ((typed >= '0' && typed <= '9') || typed == ' ') return typed;
      return std::nullopt;
    case MaskPlace::kLetter:
      if (IsLetter(typed)) return typed;
      return std::nullopt;
    case MaskPlace::kUpperLetter:
      if (!IsLetter(typed)) return std::nullopt;
      return typed >= 'a' && typed <= 'z' ? static_cast<char>(typed - 32) : typed;
    case MaskPlace::kLowerLetter:
      if (!IsLetter(typed)) return std::nullopt;
      return typed >= 'A' && typed <= 'Z' ? static_cast<char>(typed + 32) : typed;
    case MaskPlace::kAnyCharacter:
      return typed;
  }
  return std::nullopt;
}

std::size_t NextInputPlace(const TypingMask& mask, std::size_t index) {
  while (index < mask.size && mask.places[index].place == MaskPlace::kLiteral) ++index;
  return index < mask.size ? index : mask.size;
}

}  // namespace vaultrix::windows
