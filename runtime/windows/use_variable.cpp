// Use variables by their data type.
#include "runtime/windows/use_variable.h"

#include <charconv>
#include <cstring>

#include "runtime/support/utf8_text.h"
#include "runtime/windows/resource_format.h"

namespace vaultrix::windows {

bool KnownUseType(std::uint8_t use_type) {
  switch (use_type) {
    case rsc::kUseByte:
    case rsc::kUseLong:
    case rsc::kUseString:
    case rsc::kUseMemo:
      return true;
    default:
      return false;
  }
}

bool IsNumericUse(const ControlObject& control) {
  return control.use_type == rsc::kUseByte || control.use_type == rsc::kUseLong;
}

std::optional<std::int64_t> ParseWholeNumber(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

std::int64_t UseNumber(const ControlObject& control) {
  if (control.use_address == nullptr) return 0;
  switch (control.use_type) {
    case rsc::kUseByte: return *static_cast<const std::uint8_t*>(control.use_address);
    case rsc::kUseLong: {
      std::int32_t value = 0;
      std::memcpy(&value, control.use_address, sizeof value);
      return value;
    }
    default: return ParseWholeNumber(UseText(control)).value_or(0);
  }
}

std::string UseText(const ControlObject& control) {
  if (control.use_address == nullptr) return {};
  if (IsNumericUse(control)) return std::to_string(UseNumber(control));
  std::string text(static_cast<const char*>(control.use_address), control.use_size);
  // A memo may end before its size; its first NUL ends it.
  if (const std::size_t nul = text.find('\0'); nul != std::string::npos) text.resize(nul);
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

bool UseTruth(const ControlObject& control) {
  if (IsNumericUse(control)) return UseNumber(control) != 0;
  const std::string text = UseText(control);
  return !text.empty() && text != "0";
}

bool StoreUseNumber(ControlObject& control, std::int64_t value) {
  if (control.use_address == nullptr) return true;
  switch (control.use_type) {
    case rsc::kUseByte:
      if (value < 0 || value > 255) return false;
      *static_cast<std::uint8_t*>(control.use_address) = static_cast<std::uint8_t>(value);
      return true;
    case rsc::kUseLong: {
      if (value < INT32_MIN || value > INT32_MAX) return false;
      const auto narrow = static_cast<std::int32_t>(value);
      std::memcpy(control.use_address, &narrow, sizeof narrow);
      return true;
    }
    default: return StoreUseText(control, std::to_string(value));
  }
}

bool StoreUseText(ControlObject& control, std::string_view text, bool cut) {
  if (control.use_address == nullptr) return true;
  if (IsNumericUse(control)) {
    const std::optional<std::int64_t> number = ParseWholeNumber(text);
    return number && StoreUseNumber(control, *number);
  }
  if (text.size() > control.use_size) {
    if (!cut) return false;
    text = text.substr(0, support::Utf8CutLength(text, control.use_size));
  }
  char* chars = static_cast<char*>(control.use_address);
  std::memset(chars, ' ', control.use_size);
  std::memcpy(chars, text.data(), text.size());
  return true;
}

}  // namespace vaultrix::windows
