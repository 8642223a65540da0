// The scanner of expression texts: one token per call, blanks and tabs
// skipped first. Names are looked up in the current symbol table as they
// are scanned; an unbound name posts 801 and gives an invalid token.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/eval/symbol_table.h"

namespace vaultrix::eval {

enum class TokenKind : std::uint8_t {
  kEnd,
  kInvalid,
  kLong,
  kReal,
  kString,
  kPicture,
  kVariable,
  kFunction,
  kKeyword,
  kPlus, kMinus, kStar, kSlash, kPercent, kCaret, kAmpersand,
  kEqual, kLess, kGreater, kTilde, kComma, kColon,
  kLeftParen, kRightParen, kLeftBracket, kRightBracket,
};

struct Token {
  TokenKind kind = TokenKind::kEnd;
  std::int32_t long_value = 0;
  double real_value = 0;
  std::string text;        // string and picture literals
  const Symbol* symbol = nullptr;  // variables, functions, keywords
};

class Scanner {
 public:
  explicit Scanner(std::string_view text) : text_(text) {}

  [[nodiscard]] Token Next();
  // The next character that is not a blank or tab, without consuming it;
  // '\0' at the end of the text.
  [[nodiscard]] char PeekCharacter() const;
  // Skips blanks and tabs and answers the character there, consuming it
  // when it is `wanted`.
  bool Accept(char wanted);
  [[nodiscard]] bool UnboundNamePosted() const { return unbound_posted_; }

 private:
  Token ScanName();
  Token ScanNumber();
  Token ScanString();
  Token ScanPicture();
  void SkipBlanks();

  std::string_view text_;
  std::size_t pos_ = 0;
  bool unbound_posted_ = false;
};

}  // namespace vaultrix::eval
