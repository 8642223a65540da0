// The recursive-descent parser: one function per precedence level.
#include <algorithm>

#include "runtime/eval/expression.h"
#include "runtime/eval/scanner.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/error_state.h"

namespace vaultrix::eval {
namespace {

bool IsKeyword(const Token& token, Keyword keyword) {
  return token.kind == TokenKind::kKeyword && token.symbol->keyword == keyword;
}

class Parser {
 public:
  explicit Parser(std::string_view text) : scanner_(text) { Advance(); }

  // One expression (the OR level); null on a fault.
  NodePtr Expression() { return ParseOr(); }

  // The order-list direction mark before an expression.
  bool AcceptDirection(bool* descending) {
    if (token_.kind == TokenKind::kMinus || token_.kind == TokenKind::kPlus) {
      *descending = token_.kind == TokenKind::kMinus;
      Advance();
    }
    return true;
  }

  [[nodiscard]] TokenKind Current() const { return token_.kind; }
  void Advance() { token_ = scanner_.Next(); }
  [[nodiscard]] bool UnboundNamePosted() const { return scanner_.UnboundNamePosted(); }

 private:
  // Builds op(left, right) unless the tree would grow too deep.
  NodePtr Combine(BinaryOperator op, NodePtr left, NodePtr right) {
    if (left == nullptr || right == nullptr) return nullptr;
    const int height = 1 + std::max(left->Height(), right->Height());
    if (height > kMaxTreeHeight) return nullptr;
    NodePtr node = MakeBinary(op, std::move(left), std::move(right));
    node->SetHeight(height);
    return node;
  }

  NodePtr Wrap(NodePtr operand, bool negate_not) {
    if (operand == nullptr) return nullptr;
    const int height = operand->Height() + 1;
    if (height > kMaxTreeHeight) return nullptr;
    NodePtr node = negate_not ? MakeNot(std::move(operand)) : MakeNegate(std::move(operand));
    node->SetHeight(height);
    return node;
  }

  NodePtr ParseOr() {
    NodePtr left = ParseAnd();
    while (left != nullptr && (IsKeyword(token_, Keyword::kOr) || IsKeyword(token_, Keyword::kXor))) {
      const BinaryOperator op =
          IsKeyword(token_, Keyword::kOr) ? BinaryOperator::kOr : BinaryOperator::kXor;
      Advance();
      left = Combine(op, std::move(left), ParseAnd());
    }
    return left;
  }

  NodePtr ParseAnd() {
    NodePtr left = ParseNot();
    while (left != nullptr && IsKeyword(token_, Keyword::kAnd)) {
      Advance();
      left = Combine(BinaryOperator::kAnd, std::move(left), ParseNot());
    }
    return left;
  }

  // Prefix NOT or ~, repeatable; an even number cancels out.
  NodePtr ParseNot() {
    int count = 0;
    while (IsKeyword(token_, Keyword::kNot) || token_.kind == TokenKind::kTilde) {
      ++count;
      Advance();
    }
    NodePtr operand = ParseComparison();
    return count % 2 == 1 ? Wrap(std::move(operand), true) : std::move(operand);
  }

  // The comparison the current token starts, consuming its second
  // character when it has one; false when the token starts none.
  bool ComparisonOperator(BinaryOperator* op) {
    switch (token_.kind) {
      case TokenKind::kEqual:
        *op = scanner_.Accept('<') ? BinaryOperator::kLessEqual
              : scanner_.Accept('>') ? BinaryOperator::kGreaterEqual
                                     : BinaryOperator::kEqual;
        return true;
      case TokenKind::kLess:
        *op = scanner_.Accept('>') ? BinaryOperator::kNotEqual
              : scanner_.Accept('=') ? BinaryOperator::kLessEqual
                                     : BinaryOperator::kLess;
        return true;
      case TokenKind::kGreater:
        *op = scanner_.Accept('=') ? BinaryOperator::kGreaterEqual : BinaryOperator::kGreater;
        return true;
      case TokenKind::kTilde: {
        const char next = scanner_.PeekCharacter();
        if (next != '=' && next != '<' && next != '>') return false;
        (void)scanner_.Accept(next);
        *op = next == '=' ? BinaryOperator::kNotEqual
              : next == '<' ? BinaryOperator::kGreaterEqual
                            : BinaryOperator::kLessEqual;
        return true;
      }
      default:
        return false;
    }
  }

  NodePtr ParseComparison() {
    NodePtr left = ParseConcatenation();
    BinaryOperator op;
    while (left != nullptr && ComparisonOperator(&op)) {
      Advance();
      left = Combine(op, std::move(left), ParseConcatenation());
    }
    return left;
  }

  NodePtr ParseConcatenation() {
    NodePtr left = ParseAdditive();
    while (left != nullptr && token_.kind == TokenKind::kAmpersand) {
      Advance();
      left = Combine(BinaryOperator::kConcatenate, std::move(left), ParseAdditive());
    }
    return left;
  }

  NodePtr ParseAdditive() {
    NodePtr left = ParseMultiplicative();
    while (left != nullptr && (token_.kind == TokenKind::kPlus || token_.kind == TokenKind::kMinus)) {
      const BinaryOperator op =
          token_.kind == TokenKind::kPlus ? BinaryOperator::kAdd : BinaryOperator::kSubtract;
      Advance();
      left = Combine(op, std::move(left), ParseMultiplicative());
    }
    return left;
  }

  NodePtr ParseMultiplicative() {
    NodePtr left = ParsePower();
    while (left != nullptr && (token_.kind == TokenKind::kStar || token_.kind == TokenKind::kSlash ||
                               token_.kind == TokenKind::kPercent)) {
      const BinaryOperator op = token_.kind == TokenKind::kStar    ? BinaryOperator::kMultiply
                                : token_.kind == TokenKind::kSlash ? BinaryOperator::kDivide
                                                                   : BinaryOperator::kRemainder;
      Advance();
      left = Combine(op, std::move(left), ParsePower());
    }
    return left;
  }

  NodePtr ParsePower() {
    NodePtr left = ParseSign();
    while (left != nullptr && token_.kind == TokenKind::kCaret) {
      Advance();
      left = Combine(BinaryOperator::kPower, std::move(left), ParseSign());
    }
    return left;
  }

  // Prefix + and -, repeatable; an odd number of "-" negates.
  NodePtr ParseSign() {
    int minus = 0;
    while (token_.kind == TokenKind::kPlus || token_.kind == TokenKind::kMinus) {
      if (token_.kind == TokenKind::kMinus) ++minus;
      Advance();
    }
    NodePtr operand = ParsePrimary();
    return minus % 2 == 1 ? Wrap(std::move(operand), false) : std::move(operand);
  }

  NodePtr ParsePrimary() {
    switch (token_.kind) {
      case TokenKind::kLeftParen: {
        if (++nesting_ > kMaxNesting) return nullptr;
        Advance();
        NodePtr inner = ParseOr();
        --nesting_;
        if (inner == nullptr || token_.kind != TokenKind::kRightParen) return nullptr;
        Advance();
        return inner;
      }
      case TokenKind::kLong: {
        NodePtr node = MakeLongLiteral(token_.long_value);
        Advance();
        return node;
      }
      case TokenKind::kReal: {
        NodePtr node = MakeRealLiteral(token_.real_value);
        Advance();
        return node;
      }
      case TokenKind::kString:
      case TokenKind::kPicture: {
        NodePtr node = token_.kind == TokenKind::kString ? MakeStringLiteral(std::move(token_.text))
                                                         : MakePictureLiteral(std::move(token_.text));
        Advance();
        return node;
      }
      case TokenKind::kFunction:
        return ParseCall();
      case TokenKind::kVariable:
        return ParseVariable();
      default:
        return nullptr;
    }
  }

  // name ( [expression {, expression}] ): at most the function's parameter
  // count of arguments, fewer accepted; the brackets are needed even for
  // functions without parameters.
  NodePtr ParseCall() {
    const BuiltinInfo& info = InfoOf(token_.symbol->function);
    Advance();
    if (token_.kind != TokenKind::kLeftParen || ++nesting_ > kMaxNesting) return nullptr;
    Advance();
    std::vector<NodePtr> arguments;
    int height = 0;
    if (token_.kind != TokenKind::kRightParen) {
      while (true) {
        NodePtr argument = ParseOr();
        if (argument == nullptr) return nullptr;
        height = std::max(height, argument->Height());
        arguments.push_back(std::move(argument));
        if (static_cast<int>(arguments.size()) > info.parameters) return nullptr;
        if (token_.kind != TokenKind::kComma) break;
        Advance();
      }
    }
    --nesting_;
    if (token_.kind != TokenKind::kRightParen || height + 1 > kMaxTreeHeight) return nullptr;
    Advance();
    NodePtr node = MakeCall(info.number, std::move(arguments));
    node->SetHeight(height + 1);
    return node;
  }

  // name, name[s1, s2, ...] or name[start : end].
  NodePtr ParseVariable() {
    const VariableRef variable = token_.symbol->variable;
    Advance();
    if (token_.kind != TokenKind::kLeftBracket) return MakeVariable(variable);
    if (++nesting_ > kMaxNesting) return nullptr;
    Advance();
    std::vector<NodePtr> subscripts;
    NodePtr first = ParseOr();
    if (first == nullptr) return nullptr;
    int height = first->Height();
    NodePtr node;
    if (token_.kind == TokenKind::kColon) {
      Advance();
      NodePtr last = ParseOr();
      if (last == nullptr) return nullptr;
      height = std::max(height, last->Height());
      node = MakeSlice(variable, std::move(first), std::move(last));
    } else {
      subscripts.push_back(std::move(first));
      while (token_.kind == TokenKind::kComma) {
        Advance();
        NodePtr next = ParseOr();
        if (next == nullptr) return nullptr;
        height = std::max(height, next->Height());
        subscripts.push_back(std::move(next));
      }
      node = MakeSubscript(variable, std::move(subscripts));
    }
    --nesting_;
    if (token_.kind != TokenKind::kRightBracket || height + 1 > kMaxTreeHeight) return nullptr;
    Advance();
    node->SetHeight(height + 1);
    return node;
  }

  Scanner scanner_;
  Token token_;
  int nesting_ = 0;
};

void PostSyntaxError(const Parser& parser) {
  if (!parser.UnboundNamePosted()) support::PostError(support::kInvalidExpression);
}

}  // namespace

std::unique_ptr<Expression> Compile(std::string_view text) {
  (void)LookUpSymbol("");  // an empty table receives the built-ins
  Parser parser(text);
  NodePtr root = parser.Expression();
  if (root == nullptr || parser.Current() != TokenKind::kEnd) {
    PostSyntaxError(parser);
    return nullptr;
  }
  return std::make_unique<Expression>(std::move(root));
}

std::optional<std::vector<OrderItem>> CompileList(std::string_view text) {
  (void)LookUpSymbol("");
  std::vector<OrderItem> items;
  Parser parser(text);
  if (parser.Current() == TokenKind::kEnd) return items;
  while (true) {
    OrderItem item;
    parser.AcceptDirection(&item.descending);
    NodePtr root = parser.Expression();
    if (root == nullptr) {
      PostSyntaxError(parser);
      return std::nullopt;
    }
    item.expression = std::make_unique<Expression>(std::move(root));
    items.push_back(std::move(item));
    if (parser.Current() == TokenKind::kEnd) return items;
    if (parser.Current() != TokenKind::kComma) {
      PostSyntaxError(parser);
      return std::nullopt;
    }
    parser.Advance();
  }
}

}  // namespace vaultrix::eval
