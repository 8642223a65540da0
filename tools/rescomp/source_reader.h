// Reads a window description source (resources/FORMAT.md) into a tree of
// statements: each line is a word and its values, and the lines indented
// below it are its children. What the words mean is the compiler's business.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vaultrix::rescomp {

struct Value {
  enum class Kind { kNumber, kReal, kDefault, kText, kWord };
  Kind kind = Kind::kNumber;
  std::int64_t number = 0;
  double real = 0;
  std::string text;  // the text of kText, the word of kWord
};

struct Statement {
  int line = 0;
  std::string word;
  std::vector<Value> values;
  std::vector<Statement> children;
};

struct SourceError {
  int line = 0;
  std::string message;
};

// Reads `source` into `statements` (the lines at the outermost indentation).
[[nodiscard]] bool ReadSource(std::string_view source, std::vector<Statement>* statements,
                              SourceError* error);

}  // namespace vaultrix::rescomp
