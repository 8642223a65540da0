// Number <-> text conversions of the evaluator.
#include "runtime/eval/number_text.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace vaultrix::eval {
namespace {

bool IsDigitChar(char c) { return c >= '0' && c <= '9'; }

// Reads a number at `pos`; answers the position after it (== start when
// there was no digit).
std::size_t ScanNumber(std::string_view text, std::size_t pos, double* value) {
  const std::size_t start = pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  const std::size_t digits_start = pos;
  while (pos < text.size() && IsDigitChar(text[pos])) ++pos;
  bool any_digit = pos > digits_start;
  if (pos < text.size() && text[pos] == '.') {
    const std::size_t fraction_start = ++pos;
    while (pos < text.size() && IsDigitChar(text[pos])) ++pos;
    any_digit = any_digit || pos > fraction_start;
  }
  if (!any_digit) return start;
  std::size_t end = pos;
  if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
    std::size_t exponent = pos + 1;
    if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) ++exponent;
    if (exponent < text.size() && IsDigitChar(text[exponent])) {
      while (exponent < text.size() && IsDigitChar(text[exponent])) ++exponent;
      end = exponent;
    }
  }
  double result = 0;
  const auto [ptr, ec] = std::from_chars(text.data() + digits_start, text.data() + end, result);
  if (ec == std::errc::result_out_of_range) {
    // from_chars leaves the value alone: decide between overflow and underflow.
    const std::string_view spelled = text.substr(digits_start, end - digits_start);
    const std::size_t e = spelled.find_first_of("eE");
    const bool tiny = e != std::string_view::npos && spelled.find('-', e) != std::string_view::npos;
    result = tiny ? 0.0 : std::numeric_limits<double>::infinity();
  } else if (ptr == text.data() + digits_start) {
    return start;
  }
  *value = negative ? -result : result;
  return end;
}

std::size_t SkipBlanks(std::string_view text, std::size_t pos) {
  while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
  return pos;
}

}  // namespace

double TextToReal(std::string_view text) {
  double value = 0;
  ScanNumber(text, SkipBlanks(text, 0), &value);
  return value;
}

bool IsNumericText(std::string_view text) {
  double value = 0;
  const std::size_t start = SkipBlanks(text, 0);
  const std::size_t end = ScanNumber(text, start, &value);
  return end != start && SkipBlanks(text, end) == text.size();
}

std::int32_t RealToLong(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (value <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

void AppendLongText(std::int64_t value, std::string& out) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

void AppendRealText(double value, std::string& out) {
  if (value == 0) {
    out.push_back('0');  // never "-0"
    return;
  }
  if (std::isfinite(value) && std::trunc(value) == value && std::fabs(value) < 1e15) {
    AppendLongText(static_cast<std::int64_t>(value), out);
    return;
  }
  char buffer[40];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

}  // namespace vaultrix::eval
