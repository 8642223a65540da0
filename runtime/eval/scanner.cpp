// Scanning expression texts into tokens.
#include "runtime/eval/scanner.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "runtime/support/error_codes.h"
#include "runtime/support/error_state.h"
#include "runtime/support/locale.h"

namespace vaultrix::eval {
namespace {

bool IsDigitChar(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return support::IsAlpha(static_cast<unsigned char>(c)); }

TokenKind SingleCharacter(char c) {
  switch (c) {
    case '+': return TokenKind::kPlus;
    case '-': return TokenKind::kMinus;
    case '*': return TokenKind::kStar;
    case '/': return TokenKind::kSlash;
    case '%': return TokenKind::kPercent;
    case '^': return TokenKind::kCaret;
    case '&': return TokenKind::kAmpersand;
    case '=': return TokenKind::kEqual;
    case '<': return TokenKind::kLess;
    case '>': return TokenKind::kGreater;
    case '~': return TokenKind::kTilde;
    case ',': return TokenKind::kComma;
    case ':': return TokenKind::kColon;
    case '(': return TokenKind::kLeftParen;
    case ')': return TokenKind::kRightParen;
    case '[': return TokenKind::kLeftBracket;
    case ']': return TokenKind::kRightBracket;
    default: return TokenKind::kInvalid;
  }
}

}  // namespace

void Scanner::SkipBlanks() {
  while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
}

char Scanner::PeekCharacter() const {
  std::size_t pos = pos_;
  while (pos < text_.size() && (text_[pos] == ' ' || text_[pos] == '\t')) ++pos;
  return pos < text_.size() ? text_[pos] : '\0';
}

bool Scanner::Accept(char wanted) {
  SkipBlanks();
  if (pos_ < text_.size() && text_[pos_] == wanted) {
    ++pos_;
    return true;
  }
  return false;
}

Token Scanner::Next() {
  SkipBlanks();
  if (pos_ >= text_.size()) return {};
  const char c = text_[pos_];
  if (IsLetter(c) || c == '_' || c == '?') return ScanName();
  if (IsDigitChar(c)) return ScanNumber();
  if (c == '.' && pos_ + 1 < text_.size() && IsDigitChar(text_[pos_ + 1])) return ScanNumber();
  if (c == '\'') return ScanString();
  if (c == '@') return ScanPicture();
  ++pos_;
  Token token;
  token.kind = SingleCharacter(c);
  return token;
}

Token Scanner::ScanName() {
  const std::size_t start = pos_++;
  while (pos_ < text_.size() &&
         (IsLetter(text_[pos_]) || IsDigitChar(text_[pos_]) || text_[pos_] == '_' ||
          text_[pos_] == ':')) {
    ++pos_;
  }
  if (pos_ < text_.size() && (text_[pos_] == '#' || text_[pos_] == '$' || text_[pos_] == '"')) {
    ++pos_;
  }
  Token token;
  token.symbol = LookUpSymbol(text_.substr(start, pos_ - start));
  if (token.symbol == nullptr) {
    support::PostError(support::kNoBindOnVariable);
    unbound_posted_ = true;
    token.kind = TokenKind::kInvalid;
    return token;
  }
  switch (token.symbol->kind) {
    case SymbolKind::kVariable: token.kind = TokenKind::kVariable; break;
    case SymbolKind::kFunction: token.kind = TokenKind::kFunction; break;
    case SymbolKind::kKeyword: token.kind = TokenKind::kKeyword; break;
  }
  return token;
}

// A whole number is a long while it fits; with a "." (and optionally an
// exponent) the literal is a real, read to the nearest double.
Token Scanner::ScanNumber() {
  const std::size_t start = pos_;
  while (pos_ < text_.size() && IsDigitChar(text_[pos_])) ++pos_;
  Token token;
  if (pos_ >= text_.size() || text_[pos_] != '.') {
    std::int64_t value = 0;
    const auto [ptr, ec] = std::from_chars(text_.data() + start, text_.data() + pos_, value);
    if (ec == std::errc() && value <= std::numeric_limits<std::int32_t>::max()) {
      token.kind = TokenKind::kLong;
      token.long_value = static_cast<std::int32_t>(value);
      return token;
    }
    // Too large for a long: keep the value as a real.
    token.kind = TokenKind::kReal;
    std::from_chars(text_.data() + start, text_.data() + pos_, token.real_value);
    if (ec == std::errc::result_out_of_range && token.real_value == 0) {
      token.real_value = std::numeric_limits<double>::infinity();
    }
    return token;
  }
  ++pos_;  // the "."
  while (pos_ < text_.size() && IsDigitChar(text_[pos_])) ++pos_;
  if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
    std::size_t exponent = pos_ + 1;
    if (exponent < text_.size() && (text_[exponent] == '+' || text_[exponent] == '-')) ++exponent;
    if (exponent < text_.size() && IsDigitChar(text_[exponent])) {
      while (exponent < text_.size() && IsDigitChar(text_[exponent])) ++exponent;
      pos_ = exponent;
    }
  }
  std::string spelled(text_.substr(start, pos_ - start));
  if (spelled.front() == '.') spelled.insert(spelled.begin(), '0');
  token.kind = TokenKind::kReal;
  const auto [ptr, ec] = std::from_chars(spelled.data(), spelled.data() + spelled.size(),
                                         token.real_value);
  if (ec == std::errc::result_out_of_range) {
    const std::size_t e = spelled.find_first_of("eE");
    const bool tiny = e != std::string::npos && spelled.find('-', e) != std::string::npos;
    token.real_value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
  }
  return token;
}

// 'text', with '' standing for one quote; unclosed is invalid.
Token Scanner::ScanString() {
  Token token;
  ++pos_;
  while (pos_ < text_.size()) {
    const char c = text_[pos_++];
    if (c != '\'') {
      token.text.push_back(c);
    } else if (pos_ < text_.size() && text_[pos_] == '\'') {
      token.text.push_back('\'');
      ++pos_;
    } else {
      token.kind = TokenKind::kString;
      return token;
    }
  }
  token.kind = TokenKind::kInvalid;
  return token;
}

// A picture token runs to a blank, "," or ")" met outside parentheses and
// outside a literal part ("~" toggles one in a number picture). A pattern
// picture ("@P...P") ends at the next P of the same case as its own. One
// trailing "B" (blank when zero) belongs to the picture.
Token Scanner::ScanPicture() {
  const std::size_t start = pos_++;
  Token token;
  const char kind = pos_ < text_.size() ? text_[pos_] : '\0';
  if (kind == 'P' || kind == 'p') {
    const std::size_t close = text_.find(kind, pos_ + 1);
    if (close == std::string_view::npos) {
      pos_ = text_.size();
      token.kind = TokenKind::kInvalid;
      return token;
    }
    pos_ = close + 1;
    if (pos_ < text_.size() && (text_[pos_] == 'B' || text_[pos_] == 'b')) ++pos_;
  } else {
    const bool number = kind == 'N' || kind == 'n';
    bool literal = false;
    int depth = 0;
    for (; pos_ < text_.size(); ++pos_) {
      const char c = text_[pos_];
      if (number && c == '~') {
        literal = !literal;
      } else if (literal) {
        continue;
      } else if (c == '(') {
        ++depth;
      } else if (c == ')') {
        if (depth == 0) break;
        --depth;
      } else if ((c == ' ' || c == ',') && depth == 0) {
        break;
      }
    }
  }
  token.kind = TokenKind::kPicture;
  token.text.assign(text_.substr(start, pos_ - start));
  return token;
}

}  // namespace vaultrix::eval
