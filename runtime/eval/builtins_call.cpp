// Evaluation of the built-in functions. Missing arguments (fewer than the
// parameter count) read as 0 or an empty string. Results never fail: a
// value outside a function's domain gives 0, a position outside a text an
// empty string, and string results are limited to kMaxTextResult characters
// so that a count such as ALL('x', 2000000000) cannot exhaust memory.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "runtime/eval/builtins.h"
#include "runtime/eval/node_internal.h"
#include "runtime/eval/number_text.h"
#include "runtime/eval/picture_hooks.h"
#include "runtime/support/dates.h"
#include "runtime/support/fixed_string.h"
#include "runtime/support/locale.h"
#include "runtime/support/utf8_text.h"
#include "runtime/support/profile.h"
#include "runtime/support/random.h"
#include "runtime/support/times.h"

namespace vaultrix::eval {

inline constexpr std::int64_t kMaxTextResult = 65535;

class CallNode final : public Node {
 public:
  CallNode(Builtin function, std::vector<NodePtr> arguments)
      : Node(InfoOf(function).result),
        function_(function),
        arguments_(std::move(arguments)),
        scratch_(arguments_.size()) {}
  ~CallNode() override {
    for (std::string& scratch : scratch_) WipeString(scratch);
    WipeString(own_scratch_);
  }

  std::int32_t Long() override {
    switch (Type()) {
      case ResultType::kLong: return LongResult();
      case ResultType::kReal: return RealToLong(RealResult());
      default: return RealToLong(TextToReal(Text(own_scratch_)));
    }
  }
  double Real() override {
    switch (Type()) {
      case ResultType::kLong: return LongResult();
      case ResultType::kReal: return RealResult();
      default: return TextToReal(Text(own_scratch_));
    }
  }
  std::string_view Text(std::string& scratch) override {
    scratch.clear();
    switch (Type()) {
      case ResultType::kLong: AppendLongText(LongResult(), scratch); break;
      case ResultType::kReal: AppendRealText(RealResult(), scratch); break;
      default: StringResult(scratch); break;
    }
    return scratch;
  }
  bool Reads(const void* begin, const void* end) const override {
    return AnyReads(arguments_, begin, end);
  }

  Builtin Function() const { return function_; }
  const Node* Argument(std::size_t i) const {
    return i < arguments_.size() ? arguments_[i].get() : nullptr;
  }

 private:
  std::size_t Count() const { return arguments_.size(); }
  bool Has(std::size_t i) const { return i < arguments_.size(); }
  std::int32_t ArgLong(std::size_t i, std::int32_t missing = 0) {
    return Has(i) ? arguments_[i]->Long() : missing;
  }
  double ArgReal(std::size_t i, double missing = 0) {
    return Has(i) ? arguments_[i]->Real() : missing;
  }
  std::string_view ArgText(std::size_t i) {
    return Has(i) ? arguments_[i]->Text(scratch_[i]) : std::string_view();
  }

  std::int32_t LongResult();
  double RealResult();
  void StringResult(std::string& out);
  std::int32_t Instring();
  void Age(std::string& out);

  Builtin function_;
  std::vector<NodePtr> arguments_;
  std::vector<std::string> scratch_;
  std::string own_scratch_;
};

namespace {

std::size_t Limited(std::int64_t count) {
  return static_cast<std::size_t>(std::clamp<std::int64_t>(count, 0, kMaxTextResult));
}

std::string_view TrimLeading(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

double Domain(double value) { return std::isfinite(value) ? value : 0.0; }

std::int32_t Shift(std::int32_t value, std::int32_t count) {
  const auto bits = static_cast<std::uint32_t>(value);
  if (count >= 32 || count <= -32) return 0;
  if (count >= 0) return static_cast<std::int32_t>(bits << count);
  return static_cast<std::int32_t>(bits >> -count);
}

// ROUND(value, step): the nearest multiple of step, halves away from zero.
double RoundTo(double value, double step) {
  step = std::fabs(step);
  if (step == 0 || !std::isfinite(step)) step = 1;
  const double rounded = std::round(value / step) * step;
  return Domain(rounded);
}

std::int32_t AvailableMemory() {
  const long pages = sysconf(_SC_AVPHYS_PAGES);
  const long page_size = sysconf(_SC_PAGESIZE);
  if (pages <= 0 || page_size <= 0) return 0;
  const double bytes = static_cast<double>(pages) * static_cast<double>(page_size);
  return RealToLong(bytes);
}

}  // namespace

std::int32_t CallNode::LongResult() {
  using enum Builtin;
  switch (function_) {
    case kMemory: return AvailableMemory();
    case kInstring: return Instring();
    case kLen: return static_cast<std::int32_t>(std::min<std::size_t>(ArgText(0).size(), INT32_MAX));
    case kNumeric: return IsNumericText(ArgText(0)) ? 1 : 0;
    case kVal: {
      const std::string_view text = ArgText(0);
      return text.empty() ? 0 : static_cast<unsigned char>(text[0]);
    }
    case kInrange: {
      const double value = ArgReal(0);
      return value >= ArgReal(1) && value <= ArgReal(2) ? 1 : 0;
    }
    case kInt: return RealToLong(ArgReal(0));
    case kRandom: return support::RANDOM(ArgLong(0), ArgLong(1));
    case kBand: return ArgLong(0) & ArgLong(1);
    case kBor: return ArgLong(0) | ArgLong(1);
    case kBxor: return ArgLong(0) ^ ArgLong(1);
    case kBshift: return Shift(ArgLong(0), ArgLong(1));
    case kToday: return support::TODAY();
    case kClock: return support::CLOCK();
    case kDate: {
      int year = ArgLong(2);
      if (year >= 0 && year <= 99) year = support::PlaceTwoDigitYear(year);
      return support::MakeDate(year, ArgLong(0), ArgLong(1));
    }
    case kDay: return support::DAY(ArgLong(0));
    case kMonth: return support::MONTH(ArgLong(0));
    case kYear: return support::YEAR(ArgLong(0));
    case kInlist: {
      const std::string_view wanted = ArgText(0);
      const auto& collation = support::CurrentLocale().collation;
      for (std::size_t i = 1; i < Count(); ++i) {
        if (support::CompareBlankPadded(wanted, ArgText(i), collation) == 0) {
          return static_cast<std::int32_t>(i);
        }
      }
      return 0;
    }
    default: return 0;
  }
}

double CallNode::RealResult() {
  using enum Builtin;
  const double x = ArgReal(0);
  switch (function_) {
    case kAbs: return std::fabs(x);
    case kLoge: return x > 0 ? std::log(x) : 0.0;
    case kLog10: return x > 0 ? std::log10(x) : 0.0;
    case kRound: return RoundTo(x, Has(1) ? ArgReal(1) : 1.0);
    case kSqrt: return x >= 0 ? std::sqrt(x) : 0.0;
    case kSin: return Domain(std::sin(x));
    case kCos: return Domain(std::cos(x));
    case kTan: return Domain(std::tan(x));
    case kAsin: return x >= -1 && x <= 1 ? std::asin(x) : 0.0;
    case kAcos: return x >= -1 && x <= 1 ? std::acos(x) : 0.0;
    case kAtan: return Domain(std::atan(x));
    default: return 0;
  }
}

// INSTRING(substring, text, step, start): tries the positions start,
// start + step, ... and answers the number of the step that matched (the
// position itself for step 1 from position 1), 0 when none does.
std::int32_t CallNode::Instring() {
  const std::string wanted(ArgText(0));
  const std::string_view text = ArgText(1);
  std::int64_t step = Has(2) ? ArgLong(2) : 1;
  std::int64_t start = Has(3) ? ArgLong(3) : 1;
  if (step <= 0) step = 1;
  if (start < 1) start = 1;
  if (wanted.empty()) return 0;
  const auto length = static_cast<std::int64_t>(text.size());
  const auto needle = static_cast<std::int64_t>(wanted.size());
  for (std::int64_t position = start; position + needle - 1 <= length; position += step) {
    if (text.compare(static_cast<std::size_t>(position - 1), wanted.size(), wanted) == 0) {
      return static_cast<std::int32_t>((position - 1) / step + 1);
    }
  }
  return 0;
}

// AGE(birth, on): "n DAYS" up to 60 days, "n WKS" below 14 weeks, "n MOS"
// below two years, else "n YRS"; empty for a date without a calendar date
// or a birth after the day asked about.
void CallNode::Age(std::string& out) {
  const std::int32_t birth = ArgLong(0);
  const std::int32_t on = Has(1) ? ArgLong(1) : support::TODAY();
  if (!support::DateToCivil(birth) || !support::DateToCivil(on) || on < birth) return;
  const std::int32_t days = on - birth;
  const int months = support::AgeInMonths(birth, on);
  if (days <= 60) {
    AppendLongText(days, out);
    out += " DAYS";
  } else if (days < 98) {
    AppendLongText(days / 7, out);
    out += " WKS";
  } else if (months < 24) {
    AppendLongText(months, out);
    out += " MOS";
  } else {
    AppendLongText(support::AgeInYears(birth, on), out);
    out += " YRS";
  }
}

void CallNode::StringResult(std::string& out) {
  using enum Builtin;
  const support::Locale& locale = support::CurrentLocale();
  switch (function_) {
    case kSub: {
      const std::string_view text = ArgText(0);
      const auto size = static_cast<std::int64_t>(text.size());
      std::int64_t start = Has(1) ? ArgLong(1) : 1;
      if (start < 0) start = size + start + 1;  // counted from the end
      if (start < 1) start = 1;
      const std::int64_t length = Has(2) ? ArgLong(2) : size;
      if (start > size || length <= 0) return;
      out.assign(text.substr(static_cast<std::size_t>(start - 1), Limited(length)));
      return;
    }
    case kClip: out.assign(support::CLIP(ArgText(0))); return;
    case kAll: {
      const std::string_view pattern = ArgText(0);
      const std::size_t length = Limited(Has(1) ? ArgLong(1) : 255);
      if (pattern.empty()) return;
      out.reserve(length);
      while (out.size() < length) out.append(pattern.substr(0, length - out.size()));
      return;
    }
    case kCenter: {
      const std::string_view text = ArgText(0);
      const std::string_view trimmed = support::CLIP(TrimLeading(text));
      const std::size_t width = Has(1) ? Limited(ArgLong(1)) : text.size();
      if (trimmed.size() >= width) {
        out.assign(trimmed.substr(0, width));
        return;
      }
      const std::size_t before = (width - trimmed.size()) / 2;
      out.assign(before, ' ');
      out.append(trimmed);
      out.resize(width, ' ');
      return;
    }
    case kChr: out.push_back(static_cast<char>(ArgLong(0) & 0xFF)); return;
    case kDeformat: out = DeformatThroughPicture(ArgText(0), ArgText(1)); return;
    case kFormat: {
      FormatArgument value;
      value.is_string = !Has(0) || arguments_[0]->Type() == ResultType::kString;
      value.number = value.is_string ? 0.0 : ArgReal(0);
      value.text = ArgText(0);
      out = FormatThroughPicture(value, ArgText(1));
      return;
    }
    case kLeft: {
      const std::string_view text = ArgText(0);
      const std::size_t width = Has(1) ? Limited(ArgLong(1)) : text.size();
      out.assign(TrimLeading(text).substr(0, width));
      out.resize(width, ' ');
      return;
    }
    case kRight: {
      const std::string_view text = ArgText(0);
      const std::string_view clipped = support::CLIP(text);
      out.assign(text.size() - clipped.size(), ' ');
      out.append(clipped);
      return;
    }
    case kLower:
    case kUpper: {
      const std::string_view text = ArgText(0);
      const auto& table = function_ == kUpper ? locale.upper : locale.lower;
      out.assign(text);
      support::MapSingleBytes(out, table);
      return;
    }
    case kAge: Age(out); return;
    case kChoose: {
      if (Count() < 2) return;
      std::int64_t choice = ArgLong(0);
      if (choice < 1 || choice >= static_cast<std::int64_t>(Count())) {
        choice = static_cast<std::int64_t>(Count()) - 1;  // out of range: the last one
      }
      out.assign(ArgText(static_cast<std::size_t>(choice)));
      return;
    }
    case kGetini:
      out = support::GetIni(ArgText(0), ArgText(1), ArgText(2), ArgText(3));
      return;
    default: return;
  }
}

NodePtr MakeCall(Builtin function, std::vector<NodePtr> arguments) {
  return std::make_unique<CallNode>(function, std::move(arguments));
}

const Node* AsCaseFold(const Node& node) {
  const auto* call = dynamic_cast<const CallNode*>(&node);
  if (call == nullptr) return nullptr;
  if (call->Function() != Builtin::kUpper && call->Function() != Builtin::kLower) return nullptr;
  return call->Argument(0);
}

}  // namespace vaultrix::eval
