// Conversions between numbers and text as the evaluator makes them: a string
// asked for a number reads the number at its start, a number asked for a
// string gives its plain text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vaultrix::eval {

// Leading blanks, an optional sign, digits with an optional "." and an
// optional exponent ("e", optional sign, digits). What follows is ignored;
// a text with no digit at its start reads as 0.
[[nodiscard]] double TextToReal(std::string_view text);
// True when the whole text (blanks around it allowed) is such a number.
[[nodiscard]] bool IsNumericText(std::string_view text);

// Toward zero; NaN reads as 0 and values beyond the LONG range as its ends.
[[nodiscard]] std::int32_t RealToLong(double value);

// "-12", "3"; reals without a fraction below 1e15 print as whole numbers,
// others in their shortest exact form ("0.5", "1e+20").
void AppendLongText(std::int64_t value, std::string& out);
void AppendRealText(double value, std::string& out);

}  // namespace vaultrix::eval
