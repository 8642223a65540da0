// The evaluator's picture functions.
#include "runtime/windows/evaluator_pictures.h"

#include <cmath>

#include "runtime/eval/number_text.h"
#include "runtime/windows/picture.h"

namespace vaultrix::windows {

std::string FormatForEvaluator(const eval::FormatArgument& value, std::string_view picture_text) {
  Picture picture;
  if (!CompilePicture(picture_text, picture)) return std::string(value.text);
  PictureValue input = PictureValue::Text(value.text);
  if (!value.is_string) {
    const double number = value.number;
    const bool whole = std::isfinite(number) && std::trunc(number) == number &&
                       std::fabs(number) < 9.0e15;
    input = whole ? PictureValue::Long(static_cast<std::int64_t>(number)) : PictureValue::Real(number);
  }
  return FormatValue(input, picture).str();
}

std::string DeformatForEvaluator(std::string_view text, std::string_view picture_text) {
  Picture picture;
  if (!CompilePicture(picture_text, picture)) return std::string(text);
  DeformattedValue value;
  if (!DeformatValue(text, picture, value)) return std::string();
  std::string out;
  switch (value.type) {
    case ValueType::kText: return value.text.str();
    case ValueType::kLong: eval::AppendLongText(value.long_value, out); return out;
    case ValueType::kDecimal: return value.decimal_value.ToString();
    case ValueType::kReal: eval::AppendRealText(value.real_value, out); return out;
  }
  return out;
}

void InstallEvaluatorPictures() {
  eval::InstallPictureFunctions(&FormatForEvaluator, &DeformatForEvaluator);
}

}  // namespace vaultrix::windows
