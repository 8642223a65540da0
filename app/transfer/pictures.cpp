// Pictures of import and export fields.
#include "app/transfer/pictures.h"

#include <charconv>
#include <optional>

#include "runtime/support/decimal.h"
#include "runtime/support/fixed_string.h"
#include "runtime/windows/picture.h"

namespace vaultrix::app {
namespace {

using windows::PictureKind;

bool CountsDays(PictureKind kind) {
  return kind == PictureKind::kDate || kind == PictureKind::kTime || kind == PictureKind::kPattern;
}

std::string RealText(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

}  // namespace

TransferKind KindOfPicture(std::string_view picture) {
  if (picture.size() < 2) return TransferKind::kFormatted;
  switch (picture[1]) {
    case 'S':
    case 's':
      return TransferKind::kString;
    case 'N':
    case 'n':
      return TransferKind::kNumeric;
    default:
      return TransferKind::kFormatted;
  }
}

std::string FormatForExport(std::string_view value, std::string_view picture) {
  windows::Picture compiled;
  if (!windows::CompilePicture(picture, compiled)) return std::string(support::CLIP(value));
  const support::Decimal number =
      support::Decimal::Parse(support::CLIP(value)).value_or(support::Decimal());
  windows::PictureValue shown = windows::PictureValue::FromDecimal(number);
  if (CountsDays(compiled.kind())) {
    shown = windows::PictureValue::Long(number.ToLong().value_or(0));
  }
  return std::string(support::CLIP(windows::FormatValue(shown, compiled).view()));
}

std::string ReadDisplayForm(std::string_view text, std::string_view picture) {
  windows::Picture compiled;
  windows::DeformattedValue value;
  if (!windows::CompilePicture(picture, compiled) ||
      !windows::DeformatValue(text, compiled, value)) {
    return std::string(text);
  }
  switch (value.type) {
    case windows::ValueType::kLong:
      return std::to_string(value.long_value);
    case windows::ValueType::kDecimal:
      return value.decimal_value.ToString();
    case windows::ValueType::kReal:
      return RealText(value.real_value);
    case windows::ValueType::kText:
      return value.text.str();
  }
  return std::string(text);
}

}  // namespace vaultrix::app
