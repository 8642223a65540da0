// Line splitting, indentation and value syntax of description sources.
#include "tools/rescomp/source_reader.h"

#include <cerrno>
#include <cstdlib>
#include <utility>

namespace vaultrix::rescomp {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class LineReader {
 public:
  LineReader(std::string_view line, int number, SourceError* error)
      : line_(line), number_(number), error_(error) {}

  // Splits the line after its indentation into word and values.
  bool Read(Statement* statement) {
    statement->line = number_;
    Value first;
    if (!NextToken(&first)) return false;
    if (first.kind != Value::Kind::kWord) return Fail("a line must start with a word");
    statement->word = first.text;
    for (;;) {
      SkipBlanks();
      if (AtEnd()) return true;
      Value value;
      if (!NextToken(&value)) return false;
      statement->values.push_back(std::move(value));
    }
  }

 private:
  bool AtEnd() const { return pos_ >= line_.size() || line_[pos_] == '#'; }
  void SkipBlanks() {
    while (pos_ < line_.size() && IsBlank(line_[pos_])) ++pos_;
  }
  bool Fail(std::string message) {
    error_->line = number_;
    error_->message = std::move(message);
    return false;
  }

  bool NextToken(Value* value) {
    SkipBlanks();
    if (AtEnd()) return Fail("a value is missing");
    if (line_[pos_] == '"') return ReadText(value);
    std::size_t start = pos_;
    while (pos_ < line_.size() && !IsBlank(line_[pos_]) && line_[pos_] != '#' &&
           line_[pos_] != '"') {
      ++pos_;
    }
    std::string token(line_.substr(start, pos_ - start));
    return Classify(token, value);
  }

  bool Classify(const std::string& token, Value* value) {
    char c = token[0];
    bool numeric = (c >= '0' && c <= '9') || ((c == '-' || c == '+') && token.size() > 1);
    if (!numeric) {
      if (token == "default") {
        value->kind = Value::Kind::kDefault;
        return true;
      }
      value->kind = Value::Kind::kWord;
      value->text = token;
      return true;
    }
    errno = 0;
    char* end = nullptr;
    std::size_t digits = (c == '-' || c == '+') ? 1 : 0;
    bool hex = token.size() > digits + 2 && token[digits] == '0' &&
               (token[digits + 1] == 'x' || token[digits + 1] == 'X');
    long long whole = std::strtoll(token.c_str(), &end, hex ? 16 : 10);
    if (*end == '\0' && errno == 0) {
      if (whole < INT32_MIN || whole > UINT32_MAX) return Fail("number out of range: " + token);
      value->kind = Value::Kind::kNumber;
      value->number = whole;
      return true;
    }
    double real = std::strtod(token.c_str(), &end);
    if (*end != '\0' || errno != 0) return Fail("not a number: " + token);
    value->kind = Value::Kind::kReal;
    value->real = real;
    return true;
  }

  bool ReadText(Value* value) {
    value->kind = Value::Kind::kText;
    ++pos_;
    for (;;) {
      if (pos_ >= line_.size()) return Fail("text without its closing quote");
      char c = line_[pos_++];
      if (c == '"') break;
      if (c != '\\') {
        value->text += c;
        continue;
      }
      if (pos_ >= line_.size()) return Fail("text without its closing quote");
      char e = line_[pos_++];
      switch (e) {
        case 'n':
          value->text += '\n';
          break;
        case 't':
          value->text += '\t';
          break;
        case '"':
          value->text += '"';
          break;
        case '\\':
          value->text += '\\';
          break;
        case 'x': {
          int high = pos_ < line_.size() ? HexDigit(line_[pos_]) : -1;
          int low = pos_ + 1 < line_.size() ? HexDigit(line_[pos_ + 1]) : -1;
          if (high < 0 || low < 0) return Fail("\\x needs two hex digits");
          if (high == 0 && low == 0) return Fail("a text cannot hold \\x00");
          value->text += static_cast<char>(high * 16 + low);
          pos_ += 2;
          break;
        }
        default:
          return Fail(std::string("unknown escape \\") + e);
      }
    }
    if (pos_ < line_.size() && !IsBlank(line_[pos_]) && line_[pos_] != '#') {
      return Fail("a blank must follow a text");
    }
    return true;
  }

  std::string_view line_;
  std::size_t pos_ = 0;
  int number_;
  SourceError* error_;
};

}  // namespace

bool ReadSource(std::string_view source, std::vector<Statement>* statements, SourceError* error) {
  statements->clear();
  struct Open {
    std::size_t indent;
    Statement* statement;
  };
  std::vector<Open> open;
  int number = 0;
  while (!source.empty()) {
    std::size_t end = source.find('\n');
    std::string_view line = source.substr(0, end);
    source = end == std::string_view::npos ? std::string_view() : source.substr(end + 1);
    ++number;
    std::size_t indent = 0;
    while (indent < line.size() && line[indent] == ' ') ++indent;
    std::size_t first = indent;
    while (first < line.size() && IsBlank(line[first])) ++first;
    if (first == line.size() || line[first] == '#') continue;
    if (first != indent) {
      error->line = number;
      error->message = "indentation must be made of spaces";
      return false;
    }
    Statement statement;
    if (!LineReader(line.substr(indent), number, error).Read(&statement)) return false;
    while (!open.empty() && open.back().indent >= indent) open.pop_back();
    std::vector<Statement>* siblings = open.empty() ? statements : &open.back().statement->children;
    siblings->push_back(std::move(statement));
    open.push_back(Open{indent, &siblings->back()});
  }
  return true;
}

}  // namespace vaultrix::rescomp
