// The compiled tree: every node has a result type (long, real or string)
// and can be evaluated as any of the three, converting as needed: a string
// reads as the number at its start, a number as its plain text. A tree is
// owned by whoever compiled it (through its root) and freed as a whole.
//
// Evaluation never allocates once a tree has been evaluated a few times:
// string results are built in scratch strings that the nodes keep.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/eval/builtins.h"
#include "runtime/eval/variable.h"

namespace vaultrix::eval {

class Node {
 public:
  explicit Node(ResultType type) : type_(type) {}
  virtual ~Node() = default;
  Node(const Node&) = delete;
  Node& operator=(const Node&) = delete;

  [[nodiscard]] ResultType Type() const { return type_; }
  // Levels of nodes from this one down to its deepest leaf; the parser
  // keeps trees shallow enough to evaluate and free without deep recursion.
  [[nodiscard]] int Height() const { return height_; }
  void SetHeight(int height) { height_ = height; }

  [[nodiscard]] virtual std::int32_t Long() = 0;
  [[nodiscard]] virtual double Real() = 0;
  // The value as text; the view may point into `scratch`, into the node or
  // into a bound variable, and holds until the next evaluation.
  [[nodiscard]] virtual std::string_view Text(std::string& scratch) = 0;
  // Strings are true when not blank, numbers when not zero.
  [[nodiscard]] bool Truth();
  // True when the node reads any of the bytes [begin, end).
  [[nodiscard]] virtual bool Reads(const void* begin, const void* end) const = 0;

 private:
  ResultType type_;
  int height_ = 1;
};

using NodePtr = std::unique_ptr<Node>;

// Scratch strings may hold copies of secret fields (a filter over a
// password); they are wiped, capacity and all, before they are freed.
void WipeString(std::string& text);

enum class BinaryOperator : std::uint8_t {
  kOr, kXor, kAnd,
  kEqual, kNotEqual, kLess, kLessEqual, kGreater, kGreaterEqual,
  kConcatenate, kAdd, kSubtract, kMultiply, kDivide, kRemainder, kPower,
};

[[nodiscard]] NodePtr MakeLongLiteral(std::int32_t value);
[[nodiscard]] NodePtr MakeRealLiteral(double value);
[[nodiscard]] NodePtr MakeStringLiteral(std::string value);
// A picture token such as "@n10.2"; it evaluates as its text.
[[nodiscard]] NodePtr MakePictureLiteral(std::string picture);
[[nodiscard]] NodePtr MakeVariable(const VariableRef& variable);
// variable[s1, s2, ...]: an array element, or one character of a string.
[[nodiscard]] NodePtr MakeSubscript(const VariableRef& variable, std::vector<NodePtr> subscripts);
// variable[start : end]: characters start to end of its text (from 1).
[[nodiscard]] NodePtr MakeSlice(const VariableRef& variable, NodePtr start, NodePtr end);
[[nodiscard]] NodePtr MakeNegate(NodePtr operand);
[[nodiscard]] NodePtr MakeNot(NodePtr operand);
[[nodiscard]] NodePtr MakeBinary(BinaryOperator op, NodePtr left, NodePtr right);
// `arguments` holds at most the function's parameter count.
[[nodiscard]] NodePtr MakeCall(Builtin function, std::vector<NodePtr> arguments);

// What a comparison node tests, for readers that use a filter's shape
// (range stops): null when `node` is not a comparison.
struct ComparisonShape {
  BinaryOperator op;
  Node* left;
  Node* right;
};
[[nodiscard]] bool AsComparison(Node& node, ComparisonShape* shape);
// The operands of an AND node.
[[nodiscard]] bool AsAnd(Node& node, Node** left, Node** right);
// The variable a node reads directly, and whether it reads it through
// UPPER or LOWER (folded).
[[nodiscard]] const VariableRef* AsVariable(const Node& node);
[[nodiscard]] const Node* AsCaseFold(const Node& node);

}  // namespace vaultrix::eval
