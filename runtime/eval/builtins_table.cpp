// The table of built-in functions and the order in which they are inserted.
#include "runtime/eval/builtins.h"

#include <array>

namespace vaultrix::eval {
namespace {

using enum Builtin;
constexpr ResultType kL = ResultType::kLong;
constexpr ResultType kR = ResultType::kReal;
constexpr ResultType kS = ResultType::kString;

constexpr std::array<BuiltinInfo, 44> kBuiltins = {{
    {"MEMORY", kMemory, 1, kL},   {"SUB", kSub, 3, kS},         {"INSTRING", kInstring, 4, kL},
    {"CLIP", kClip, 1, kS},       {"ALL", kAll, 2, kS},         {"CENTER", kCenter, 2, kS},
    {"CHR", kChr, 1, kS},         {"DEFORMAT", kDeformat, 2, kS}, {"FORMAT", kFormat, 2, kS},
    {"LEFT", kLeft, 2, kS},       {"LEN", kLen, 1, kL},         {"LOWER", kLower, 1, kS},
    {"NUMERIC", kNumeric, 1, kL}, {"RIGHT", kRight, 1, kS},     {"UPPER", kUpper, 1, kS},
    {"VAL", kVal, 1, kL},         {"ABS", kAbs, 1, kR},         {"INRANGE", kInrange, 3, kL},
    {"INT", kInt, 1, kL},         {"LOGE", kLoge, 1, kR},       {"LOG10", kLog10, 1, kR},
    {"RANDOM", kRandom, 2, kL},   {"ROUND", kRound, 2, kR},     {"SQRT", kSqrt, 1, kR},
    {"SIN", kSin, 1, kR},         {"COS", kCos, 1, kR},         {"TAN", kTan, 1, kR},
    {"ASIN", kAsin, 1, kR},       {"ACOS", kAcos, 1, kR},       {"ATAN", kAtan, 1, kR},
    {"BAND", kBand, 2, kL},       {"BOR", kBor, 2, kL},         {"BXOR", kBxor, 2, kL},
    {"BSHIFT", kBshift, 2, kL},   {"TODAY", kToday, 0, kL},     {"CLOCK", kClock, 0, kL},
    {"DATE", kDate, 3, kL},       {"DAY", kDay, 1, kL},         {"MONTH", kMonth, 1, kL},
    {"YEAR", kYear, 1, kL},       {"AGE", kAge, 2, kS},
    {"CHOOSE", kChoose, kVariableArguments, kS},
    {"INLIST", kInlist, kVariableArguments, kL},
    {"GETINI", kGetini, 4, kS},
}};

constexpr BuiltinSymbol F(std::string_view name, Builtin function) {
  return {name, false, function, Keyword::kAnd};
}
constexpr BuiltinSymbol K(std::string_view name, Keyword keyword) {
  return {name, true, kMemory, keyword};
}

constexpr std::array<BuiltinSymbol, 48> kOrder = {{
    F("INT", kInt),         F("CENTER", kCenter),   F("ASIN", kAsin),       F("AGE", kAge),
    F("ABS", kAbs),         F("ACOS", kAcos),       F("ALL", kAll),         K("AND", Keyword::kAnd),
    F("BOR", kBor),         F("ATAN", kAtan),       F("BAND", kBand),       F("BSHIFT", kBshift),
    F("BXOR", kBxor),       F("DAY", kDay),         F("CLOCK", kClock),     F("CHOOSE", kChoose),
    F("CHR", kChr),         F("CLIP", kClip),       F("COS", kCos),         F("DATE", kDate),
    F("INRANGE", kInrange), F("DEFORMAT", kDeformat), F("FORMAT", kFormat), F("GETINI", kGetini),
    F("INSTRING", kInstring), F("RANDOM", kRandom), F("LOWER", kLower),     F("LOG10", kLog10),
    F("LEFT", kLeft),       F("LEN", kLen),         F("LOGE", kLoge),       K("NOT", Keyword::kNot),
    F("MEMORY", kMemory),   F("MONTH", kMonth),     F("NUMERIC", kNumeric), K("OR", Keyword::kOr),
    F("TAN", kTan),         F("SIN", kSin),         F("RIGHT", kRight),     F("ROUND", kRound),
    F("SQRT", kSqrt),       F("SUB", kSub),         F("VAL", kVal),         F("TODAY", kToday),
    F("UPPER", kUpper),     K("XOR", Keyword::kXor), F("YEAR", kYear),      F("INLIST", kInlist),
}};

}  // namespace

const BuiltinInfo& InfoOf(Builtin function) {
  return kBuiltins[static_cast<std::size_t>(function) - 1];
}

std::span<const BuiltinSymbol> BuiltinInsertionOrder() { return kOrder; }

}  // namespace vaultrix::eval
