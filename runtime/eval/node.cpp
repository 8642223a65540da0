// Literal, variable, subscript, slice, unary and binary nodes.
#include "runtime/eval/node.h"

#include <cmath>
#include <cstring>

#include "runtime/eval/node_internal.h"
#include "runtime/eval/number_text.h"
#include "runtime/support/fixed_string.h"
#include "runtime/support/locale.h"

namespace vaultrix::eval {

void WipeString(std::string& text) {
  if (text.capacity() == 0) return;
  text.resize(text.capacity());
  explicit_bzero(text.data(), text.size());
  text.clear();
}

bool Node::Truth() {
  switch (type_) {
    case ResultType::kLong:
      return Long() != 0;
    case ResultType::kReal:
      return Real() != 0;
    case ResultType::kString: {
      std::string scratch;
      const bool truth = !support::IsBlank(Text(scratch));
      WipeString(scratch);
      return truth;
    }
  }
  return false;
}

std::string_view LongNode::Text(std::string& scratch) {
  scratch.clear();
  AppendLongText(Long(), scratch);
  return scratch;
}

std::int32_t RealNode::Long() { return RealToLong(Real()); }

std::string_view RealNode::Text(std::string& scratch) {
  scratch.clear();
  AppendRealText(Real(), scratch);
  return scratch;
}

StringNode::~StringNode() { WipeString(conversion_scratch_); }

std::int32_t StringNode::Long() { return RealToLong(TextToReal(Text(conversion_scratch_))); }
double StringNode::Real() { return TextToReal(Text(conversion_scratch_)); }

bool AnyReads(const std::vector<NodePtr>& nodes, const void* begin, const void* end) {
  for (const NodePtr& node : nodes) {
    if (node != nullptr && node->Reads(begin, end)) return true;
  }
  return false;
}

bool VariableWithin(const VariableRef& variable, const void* begin, const void* end) {
  if (variable.address == nullptr) return false;
  const auto* first = static_cast<const char*>(variable.address);
  const char* last = first + (variable.size == 0 ? 1 : variable.size);
  return first < static_cast<const char*>(end) && last > static_cast<const char*>(begin);
}

namespace {

class LongLiteral final : public LongNode {
 public:
  explicit LongLiteral(std::int32_t value) : value_(value) {}
  std::int32_t Long() override { return value_; }
  bool Reads(const void*, const void*) const override { return false; }

 private:
  std::int32_t value_;
};

class RealLiteral final : public RealNode {
 public:
  explicit RealLiteral(double value) : value_(value) {}
  double Real() override { return value_; }
  bool Reads(const void*, const void*) const override { return false; }

 private:
  double value_;
};

class StringLiteral final : public StringNode {
 public:
  explicit StringLiteral(std::string value) : value_(std::move(value)) {}
  std::string_view Text(std::string&) override { return value_; }
  bool Reads(const void*, const void*) const override { return false; }

 private:
  std::string value_;
};

// Reads its variable at every evaluation; the result type follows the
// variable's kind.
class VariableNode final : public Node {
 public:
  explicit VariableNode(const VariableRef& variable)
      : Node(ResultTypeOf(variable.kind)), variable_(variable) {}
  std::int32_t Long() override { return ReadLong(variable_); }
  double Real() override { return ReadReal(variable_); }
  std::string_view Text(std::string& scratch) override { return ReadText(variable_, scratch); }
  bool Reads(const void* begin, const void* end) const override {
    return VariableWithin(variable_, begin, end);
  }
  const VariableRef& Variable() const { return variable_; }

 private:
  VariableRef variable_;
};

// One element of an array (subscripts from 1, one per dimension, the last
// varying fastest), or one character of a variable that is not an array.
// A subscript out of range reads as 0 or an empty string.
class SubscriptNode final : public Node {
 public:
  SubscriptNode(const VariableRef& variable, std::vector<NodePtr> subscripts)
      : Node(IsArray(variable) ? ResultTypeOf(variable.kind) : ResultType::kString),
        variable_(variable),
        subscripts_(std::move(subscripts)) {}
  ~SubscriptNode() override { WipeString(scratch_); }

  std::int32_t Long() override {
    return IsArray(variable_) ? ReadLong(Element()) : RealToLong(TextToReal(Character()));
  }
  double Real() override {
    return IsArray(variable_) ? ReadReal(Element()) : TextToReal(Character());
  }
  std::string_view Text(std::string& scratch) override {
    if (IsArray(variable_)) return ReadText(Element(), scratch);
    scratch.assign(Character());
    return scratch;
  }
  bool Reads(const void* begin, const void* end) const override {
    return VariableWithin(variable_, begin, end) || AnyReads(subscripts_, begin, end);
  }

 private:
  VariableRef Element() {
    std::int64_t index = 0;
    const std::size_t dimensions = variable_.dimension_count == 0 ? 1 : variable_.dimension_count;
    bool valid = subscripts_.size() <= dimensions;
    for (std::size_t d = 0; d < dimensions && valid; ++d) {
      const std::int64_t extent = variable_.dimension_count == 0 ? ElementCount(variable_)
                                                                 : variable_.dimensions[d];
      const std::int64_t subscript = d < subscripts_.size() ? subscripts_[d]->Long() : 1;
      valid = subscript >= 1 && subscript <= extent;
      index = index * extent + (subscript - 1);
    }
    if (!valid) index = ElementCount(variable_);  // out of range: reads as nothing
    return ElementOf(variable_, static_cast<std::uint32_t>(index));
  }

  std::string_view Character() {
    const std::string_view text = ReadText(variable_, scratch_);
    if (subscripts_.size() != 1) return {};
    const std::int64_t position = subscripts_[0]->Long();
    if (position < 1 || position > static_cast<std::int64_t>(text.size())) return {};
    return text.substr(static_cast<std::size_t>(position - 1), 1);
  }

  VariableRef variable_;
  std::vector<NodePtr> subscripts_;
  std::string scratch_;
};

// Characters start to end (from 1) of a variable's text; positions outside
// the text are left out, so the result may be shorter or empty.
class SliceNode final : public StringNode {
 public:
  SliceNode(const VariableRef& variable, NodePtr start, NodePtr end)
      : variable_(variable), start_(std::move(start)), end_(std::move(end)) {}
  ~SliceNode() override { WipeString(scratch_); }

  std::string_view Text(std::string& scratch) override {
    const std::string_view text = ReadText(variable_, scratch_);
    std::int64_t first = start_->Long();
    std::int64_t last = end_->Long();
    if (first < 1) first = 1;
    if (last > static_cast<std::int64_t>(text.size())) last = static_cast<std::int64_t>(text.size());
    scratch.clear();
    if (last >= first) {
      scratch.assign(text.substr(static_cast<std::size_t>(first - 1),
                                 static_cast<std::size_t>(last - first + 1)));
    }
    return scratch;
  }
  bool Reads(const void* begin, const void* end) const override {
    return VariableWithin(variable_, begin, end) || start_->Reads(begin, end) ||
           end_->Reads(begin, end);
  }

 private:
  VariableRef variable_;
  NodePtr start_, end_;
  std::string scratch_;
};

class NegateNode final : public RealNode {
 public:
  explicit NegateNode(NodePtr operand) : operand_(std::move(operand)) {}
  double Real() override { return -operand_->Real(); }
  bool Reads(const void* begin, const void* end) const override {
    return operand_->Reads(begin, end);
  }

 private:
  NodePtr operand_;
};

class NotNode final : public LongNode {
 public:
  explicit NotNode(NodePtr operand) : operand_(std::move(operand)) {}
  std::int32_t Long() override { return operand_->Truth() ? 0 : 1; }
  bool Reads(const void* begin, const void* end) const override {
    return operand_->Reads(begin, end);
  }

 private:
  NodePtr operand_;
};

bool IsComparison(BinaryOperator op) {
  return op >= BinaryOperator::kEqual && op <= BinaryOperator::kGreaterEqual;
}

bool IsLogical(BinaryOperator op) { return op <= BinaryOperator::kAnd; }

ResultType BinaryResult(BinaryOperator op) {
  if (IsComparison(op) || IsLogical(op)) return ResultType::kLong;
  if (op == BinaryOperator::kConcatenate) return ResultType::kString;
  return ResultType::kReal;
}

bool Holds(BinaryOperator op, int order) {
  switch (op) {
    case BinaryOperator::kEqual: return order == 0;
    case BinaryOperator::kNotEqual: return order != 0;
    case BinaryOperator::kLess: return order < 0;
    case BinaryOperator::kLessEqual: return order <= 0;
    case BinaryOperator::kGreater: return order > 0;
    default: return order >= 0;
  }
}

template <class T>
int Order(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

class BinaryNode final : public Node {
 public:
  BinaryNode(BinaryOperator op, NodePtr left, NodePtr right)
      : Node(BinaryResult(op)), op_(op), left_(std::move(left)), right_(std::move(right)) {}
  ~BinaryNode() override {
    WipeString(left_scratch_);
    WipeString(right_scratch_);
    WipeString(own_scratch_);
  }

  std::int32_t Long() override {
    if (Type() == ResultType::kLong) return Decide() ? 1 : 0;
    if (Type() == ResultType::kReal) return RealToLong(Arithmetic());
    return RealToLong(TextToReal(Text(own_scratch_)));
  }
  double Real() override {
    if (Type() == ResultType::kLong) return Decide() ? 1 : 0;
    if (Type() == ResultType::kReal) return Arithmetic();
    return TextToReal(Text(own_scratch_));
  }
  std::string_view Text(std::string& scratch) override {
    scratch.clear();
    if (Type() == ResultType::kLong) {
      scratch.push_back(Decide() ? '1' : '0');
    } else if (Type() == ResultType::kReal) {
      AppendRealText(Arithmetic(), scratch);
    } else {
      const std::string_view left = left_->Text(left_scratch_);
      const std::string_view right = right_->Text(right_scratch_);
      scratch.reserve(left.size() + right.size());
      scratch.append(left);
      scratch.append(right);
    }
    return scratch;
  }
  bool Reads(const void* begin, const void* end) const override {
    return left_->Reads(begin, end) || right_->Reads(begin, end);
  }

  BinaryOperator Op() const { return op_; }
  Node* Left() const { return left_.get(); }
  Node* Right() const { return right_.get(); }

 private:
  bool Decide() {
    switch (op_) {
      case BinaryOperator::kOr: return left_->Truth() || right_->Truth();
      case BinaryOperator::kAnd: return left_->Truth() && right_->Truth();
      case BinaryOperator::kXor: return left_->Truth() != right_->Truth();
      default: return Holds(op_, Compare());
    }
  }

  int Compare() {
    const ResultType left = left_->Type();
    const ResultType right = right_->Type();
    if (left == ResultType::kLong && right == ResultType::kLong) {
      return Order(left_->Long(), right_->Long());
    }
    if (left == ResultType::kString && right == ResultType::kString) {
      return support::CompareBlankPadded(left_->Text(left_scratch_), right_->Text(right_scratch_),
                                         support::CurrentLocale().collation);
    }
    return Order(left_->Real(), right_->Real());
  }

  double Arithmetic() {
    const double a = left_->Real();
    const double b = right_->Real();
    switch (op_) {
      case BinaryOperator::kAdd: return a + b;
      case BinaryOperator::kSubtract: return a - b;
      case BinaryOperator::kMultiply: return a * b;
      // Division and remainder by zero give 0 rather than an infinity that
      // would then turn into nonsense in every later conversion.
      case BinaryOperator::kDivide: return b == 0 ? 0 : a / b;
      case BinaryOperator::kRemainder: return b == 0 ? 0 : std::fmod(a, b);
      default: return std::pow(a, b);
    }
  }

  BinaryOperator op_;
  NodePtr left_, right_;
  std::string left_scratch_, right_scratch_, own_scratch_;
};

}  // namespace

NodePtr MakeLongLiteral(std::int32_t value) { return std::make_unique<LongLiteral>(value); }
NodePtr MakeRealLiteral(double value) { return std::make_unique<RealLiteral>(value); }
NodePtr MakeStringLiteral(std::string value) {
  return std::make_unique<StringLiteral>(std::move(value));
}
NodePtr MakePictureLiteral(std::string picture) {
  return std::make_unique<StringLiteral>(std::move(picture));
}
NodePtr MakeVariable(const VariableRef& variable) {
  return std::make_unique<VariableNode>(variable);
}
NodePtr MakeSubscript(const VariableRef& variable, std::vector<NodePtr> subscripts) {
  return std::make_unique<SubscriptNode>(variable, std::move(subscripts));
}
NodePtr MakeSlice(const VariableRef& variable, NodePtr start, NodePtr end) {
  return std::make_unique<SliceNode>(variable, std::move(start), std::move(end));
}
NodePtr MakeNegate(NodePtr operand) { return std::make_unique<NegateNode>(std::move(operand)); }
NodePtr MakeNot(NodePtr operand) { return std::make_unique<NotNode>(std::move(operand)); }
NodePtr MakeBinary(BinaryOperator op, NodePtr left, NodePtr right) {
  return std::make_unique<BinaryNode>(op, std::move(left), std::move(right));
}

bool AsComparison(Node& node, ComparisonShape* shape) {
  auto* binary = dynamic_cast<BinaryNode*>(&node);
  if (binary == nullptr || !IsComparison(binary->Op())) return false;
  *shape = {binary->Op(), binary->Left(), binary->Right()};
  return true;
}

bool AsAnd(Node& node, Node** left, Node** right) {
  auto* binary = dynamic_cast<BinaryNode*>(&node);
  if (binary == nullptr || binary->Op() != BinaryOperator::kAnd) return false;
  *left = binary->Left();
  *right = binary->Right();
  return true;
}

const VariableRef* AsVariable(const Node& node) {
  const auto* variable = dynamic_cast<const VariableNode*>(&node);
  return variable == nullptr ? nullptr : &variable->Variable();
}

}  // namespace vaultrix::eval
