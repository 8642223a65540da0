// The built-in functions of the evaluator: their numbers, parameter counts
// and result types, the order in which they enter every new symbol table,
// and their evaluation.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "runtime/eval/variable.h"

namespace vaultrix::eval {

// A parameter count of kVariableArguments marks a list of at most that many.
inline constexpr int kVariableArguments = 25;

enum class Builtin : std::uint8_t {
  kMemory = 1, kSub, kInstring, kClip, kAll, kCenter, kChr, kDeformat, kFormat, kLeft,
  kLen, kLower, kNumeric, kRight, kUpper, kVal, kAbs, kInrange, kInt, kLoge,
  kLog10, kRandom, kRound, kSqrt, kSin, kCos, kTan, kAsin, kAcos, kAtan,
  kBand, kBor, kBxor, kBshift, kToday, kClock, kDate, kDay, kMonth, kYear,
  kAge, kChoose, kInlist, kGetini,
};

struct BuiltinInfo {
  std::string_view name;
  Builtin number;
  int parameters;
  ResultType result;
};

[[nodiscard]] const BuiltinInfo& InfoOf(Builtin function);

// Operator keywords that live in the symbol table beside the functions.
enum class Keyword : std::uint8_t { kAnd, kOr, kXor, kNot };

// One entry of the order in which a new table receives its symbols: a
// pre-order walk of a balanced tree, so the plain search tree comes out
// balanced.
struct BuiltinSymbol {
  std::string_view name;
  bool is_keyword;
  Builtin function;  // when !is_keyword
  Keyword keyword;   // when is_keyword
};
[[nodiscard]] std::span<const BuiltinSymbol> BuiltinInsertionOrder();

}  // namespace vaultrix::eval
