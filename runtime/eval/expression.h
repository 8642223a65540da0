// Compiling expression texts over bound names, and evaluating them.
//
//   BIND("P_:User", eval::Ref(user));
//   auto filter = eval::Compile("UPPER(P_:User) = UPPER(Owner)");
//   if (filter != nullptr && filter->EvaluateTruth()) ...
//
// Compile fills the symbol table with the built-ins when it is empty, scans
// and parses the whole text and succeeds only when the parse ends exactly at
// the end of the text. On failure it answers null and frees whatever it had
// built; an unbound name has posted 801 "No BIND on variable", any other
// fault 800 "Invalid expression for EVALUATE". It does not clear the error
// state first: the operation that compiles does that.
//
// Precedence, lowest first (every binary level left-associative):
//   OR XOR | AND | prefix NOT ~ | = <> < > <= >= (and =< => ~= ~< ~>) | & |
//   + - | * / % | ^ | prefix + - | primary
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/eval/node.h"

namespace vaultrix::eval {

// Deeper trees and more deeply nested brackets do not compile, so that
// evaluating and freeing a tree never recurses without bound.
inline constexpr int kMaxTreeHeight = 1000;
inline constexpr int kMaxNesting = 100;

class Expression {
 public:
  explicit Expression(NodePtr root) : root_(std::move(root)) {}
  ~Expression() { WipeString(scratch_); }
  Expression(const Expression&) = delete;
  Expression& operator=(const Expression&) = delete;

  [[nodiscard]] ResultType Type() const { return root_->Type(); }
  [[nodiscard]] std::int32_t EvaluateLong() { return root_->Long(); }
  [[nodiscard]] double EvaluateReal() { return root_->Real(); }
  [[nodiscard]] std::string EvaluateString() { return std::string(EvaluateText()); }
  // The text, valid until the next evaluation.
  [[nodiscard]] std::string_view EvaluateText() { return root_->Text(scratch_); }
  [[nodiscard]] bool EvaluateTruth() { return root_->Truth(); }
  [[nodiscard]] Node& Root() { return *root_; }

 private:
  NodePtr root_;
  std::string scratch_;
};

[[nodiscard]] std::unique_ptr<Expression> Compile(std::string_view text);

// One expression of an order list and its direction.
struct OrderItem {
  std::unique_ptr<Expression> expression;
  bool descending = false;
};

// The sort-order form: expressions separated by ",", each optionally led
// (after blanks and tabs) by "+" (ascending, the default) or "-"
// (descending). Nothing when any of them does not compile; an empty text is
// an empty list.
[[nodiscard]] std::optional<std::vector<OrderItem>> CompileList(std::string_view text);

}  // namespace vaultrix::eval
