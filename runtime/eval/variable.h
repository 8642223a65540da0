// Variable references: what BIND is given about a program variable (where it
// lives, its data type and size), and reading its current value. The
// evaluator never copies a bound variable's value at compile time: every
// evaluation reads it through its reference, so a filter always sees what
// the variable holds now.
//
// Value types of the evaluator: a variable reads as a long (the integer
// types, DATE and TIME), a real (SREAL, REAL, ULONG, decimals) or a string
// (the text types, groups and memos).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/support/decimal.h"
#include "runtime/support/fixed_string.h"

namespace vaultrix::files {
struct MemoBlock;
}

namespace vaultrix::eval {

enum class ResultType : std::uint8_t { kLong, kReal, kString };

enum class VariableKind : std::uint8_t {
  kByte,
  kShort,
  kUShort,
  kLong,    // also DATE (day number) and TIME
  kULong,
  kSReal,
  kReal,
  kPacked,        // a DECIMAL field: size bytes, places
  kDecimalValue,  // a support::Decimal
  kString,        // fixed length, blank padded
  kCString,       // zero terminated within its size
  kPString,       // length byte first
  kGroup,         // the bytes of a group, read as a string
  kMemo,          // a memo's buffer, found through its memo block at each read
};

inline constexpr std::size_t kMaxDimensions = 4;

struct VariableRef {
  VariableKind kind = VariableKind::kLong;
  void* address = nullptr;  // for kMemo the files::MemoBlock
  std::uint32_t size = 0;   // bytes of the whole variable
  std::uint8_t places = 0;  // kPacked
  // Arrays: the elements lie one after the other, element_size bytes each.
  std::uint32_t element_size = 0;  // 0: not an array
  std::uint8_t dimension_count = 0;
  std::array<std::uint32_t, kMaxDimensions> dimensions{};
};

[[nodiscard]] ResultType ResultTypeOf(VariableKind kind);
[[nodiscard]] bool IsArray(const VariableRef& variable);
[[nodiscard]] std::uint32_t ElementCount(const VariableRef& variable);
// The reference to element `index` (0-based) of an array.
[[nodiscard]] VariableRef ElementOf(const VariableRef& variable, std::uint32_t index);

// The current value. Reading never fails: a memo without a buffer reads as
// an empty string, a damaged packed decimal as 0.
[[nodiscard]] std::int32_t ReadLong(const VariableRef& variable);
[[nodiscard]] double ReadReal(const VariableRef& variable);
// Text kinds answer a view of the variable's own bytes; numeric kinds write
// their plain text into `scratch` and answer a view of it.
[[nodiscard]] std::string_view ReadText(const VariableRef& variable, std::string& scratch);

// References to C++ variables.
[[nodiscard]] VariableRef Ref(std::uint8_t& value);
[[nodiscard]] VariableRef Ref(std::int16_t& value);
[[nodiscard]] VariableRef Ref(std::uint16_t& value);
[[nodiscard]] VariableRef Ref(std::int32_t& value);
[[nodiscard]] VariableRef Ref(std::uint32_t& value);
[[nodiscard]] VariableRef Ref(float& value);
[[nodiscard]] VariableRef Ref(double& value);
[[nodiscard]] VariableRef Ref(support::Decimal& value);
[[nodiscard]] VariableRef Ref(files::MemoBlock& memo);
template <std::size_t N>
[[nodiscard]] VariableRef Ref(support::FixedString<N>& value) {
  return {.kind = VariableKind::kString, .address = value.data(), .size = N};
}
[[nodiscard]] VariableRef StringRef(char* data, std::uint32_t size);
[[nodiscard]] VariableRef CStringRef(char* data, std::uint32_t size);
[[nodiscard]] VariableRef PStringRef(char* data, std::uint32_t size);
[[nodiscard]] VariableRef PackedRef(std::uint8_t* data, std::uint32_t size, std::uint8_t places);

}  // namespace vaultrix::eval
