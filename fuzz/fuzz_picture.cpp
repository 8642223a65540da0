// Fuzz target for pictures: arbitrary picture texts are compiled; those that compile format
// values drawn from the rest of the input (longs, doubles, decimals, texts) and read back both
// their own display texts and the raw input. Nothing may crash or leak, and no display text may
// be longer than the picture's width.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "runtime/support/decimal.h"
#include "runtime/windows/picture.h"
#include "runtime/windows/typing_mask.h"

namespace {

using vaultrix::windows::DeformattedValue;
using vaultrix::windows::Picture;
using vaultrix::windows::PictureText;
using vaultrix::windows::PictureValue;

void Check(const PictureValue& value, const Picture& picture) {
  PictureText shown = vaultrix::windows::FormatValue(value, picture);
  if (shown.size > picture.width || shown.size > vaultrix::windows::kMaxPictureWidth) std::abort();
  DeformattedValue back;
  if (vaultrix::windows::DeformatValue(shown.view(), picture, back)) {
    PictureText again = vaultrix::windows::FormatValue(back.AsValue(), picture);
    if (again.size > picture.width) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte says how long the picture text is; the rest is values.
  std::size_t picture_size = data[0] < size - 1 ? data[0] : size - 1;
  std::string_view text(reinterpret_cast<const char*>(data + 1), picture_size);
  std::string_view rest(reinterpret_cast<const char*>(data + 1 + picture_size),
                        size - 1 - picture_size);
  Picture picture;
  if (!vaultrix::windows::CompilePicture(text, picture)) {
    if (picture.width != 0) std::abort();
    return 0;
  }
  if (picture.width == 0 || picture.width > vaultrix::windows::kMaxPictureWidth) std::abort();
  (void)vaultrix::windows::BuildTypingMask(picture);

  std::int64_t long_value = 0;
  double real_value = 0;
  if (rest.size() >= sizeof long_value) std::memcpy(&long_value, rest.data(), sizeof long_value);
  if (rest.size() >= 2 * sizeof real_value) {
    std::memcpy(&real_value, rest.data() + sizeof long_value, sizeof real_value);
  }
  Check(PictureValue::Long(long_value), picture);
  Check(PictureValue::Long(long_value % 3'000'000), picture);
  Check(PictureValue::Real(real_value), picture);
  Check(PictureValue::Text(rest), picture);
  if (auto decimal = vaultrix::support::Decimal::FromDouble(real_value, 4)) {
    Check(PictureValue::FromDecimal(*decimal), picture);
  }
  DeformattedValue typed;
  if (vaultrix::windows::DeformatValue(rest, picture, typed)) Check(typed.AsValue(), picture);
  return 0;
}
