// Reading and writing a control's use variable by its descriptor's data
// type: bytes and longs as numbers, fixed strings and memos as blank-padded
// text. Every control that binds a variable goes through here, so that no
// value wraps round or runs past the variable's size.
//
// Locks: REQUIRES the runtime lock (the variables are the procedures').
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/windows/window_object.h"

namespace vaultrix::windows {

// Whether the runtime knows how to hold a value in a variable of that type.
[[nodiscard]] bool KnownUseType(std::uint8_t use_type);
[[nodiscard]] bool IsNumericUse(const ControlObject& control);

// The variable's value as a number; a string holding no number reads 0, an
// unbound control 0.
[[nodiscard]] std::int64_t UseNumber(const ControlObject& control);
// The variable's value as text, trailing blanks removed; numbers in decimal.
[[nodiscard]] std::string UseText(const ControlObject& control);
// True for a non-zero number, or a string that is neither blank nor "0".
[[nodiscard]] bool UseTruth(const ControlObject& control);

// Stores a number; false (nothing stored) when it does not fit a numeric
// variable. A string variable takes its decimal text.
[[nodiscard]] bool StoreUseNumber(ControlObject& control, std::int64_t value);
// Stores a text; false (nothing stored) when it is no whole number that fits
// a numeric variable, or is longer than a string variable unless `cut` lets
// it be cut to the variable's size.
[[nodiscard]] bool StoreUseText(ControlObject& control, std::string_view text, bool cut = false);

// A whole number in text (blanks around it allowed), nullopt for anything else.
[[nodiscard]] std::optional<std::int64_t> ParseWholeNumber(std::string_view text);

}  // namespace vaultrix::windows
