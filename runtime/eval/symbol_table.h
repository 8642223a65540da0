// The symbol table: names bound to program variables, the built-in
// functions and the operator keywords, and the scopes that procedures
// bracket their bindings with.
//
// The table is a plain binary search tree ordered by a case-insensitive
// comparison of names: lower-case letters fold to upper case through the
// runtime's case tables, then characters compare by their collation weights
// (the same tables as the runtime's string comparison). An empty table gets
// the built-ins on first use, in an order that leaves the tree balanced.
//
// There is one current table per process and a stack of saved ones.
// PUSHSCOPE saves the current table and starts an empty one, so a procedure
// sees only the names it bound itself (and the built-ins); POPSCOPE frees the
// current table and makes the saved one current again.
//
// REQUIRES: one thread at a time (the runtime lock); nothing here locks.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/eval/builtins.h"
#include "runtime/eval/variable.h"

namespace vaultrix::files {
struct FileBlock;
}

namespace vaultrix::eval {

inline constexpr std::size_t kMaxBindName = 100;

enum class SymbolKind : std::uint8_t { kVariable, kFunction, kKeyword };

struct Symbol {
  SymbolKind kind = SymbolKind::kVariable;
  VariableRef variable;                // kVariable
  Builtin function = Builtin::kMemory; // kFunction
  Keyword keyword = Keyword::kAnd;     // kKeyword
};

// The part of `text` that names a symbol: letters, digits, "_" and ":", then
// one "#", "$" or double quote; at most kMaxBindName characters read.
[[nodiscard]] std::string_view BindableName(std::string_view text);

// Binds the name at the start of `name` (BindableName) to `variable`; a name
// already in the current table is rebound. An empty name binds nothing.
void BIND(std::string_view name, const VariableRef& variable);

// Binds every labelled field of a file's record buffer under its label
// ("P_:User"); array fields keep their dimensions for subscripts. Answers
// false (and binds nothing) when the file's layout descriptor is unreadable.
[[nodiscard]] bool BindRecord(const files::FileBlock& file);
// The same for a record described by a layout descriptor at [layout, limit).
[[nodiscard]] bool BindRecord(const std::uint8_t* layout, const std::uint8_t* limit,
                              std::uint8_t* record);

void PUSHSCOPE();
// Posts 802 "Mismatched POPSCOPE" when no PUSHSCOPE is open.
void POPSCOPE();

// The symbol of `name` (matched case-insensitively), filling an empty table
// with the built-ins first; null when the name is not in the table.
[[nodiscard]] const Symbol* LookUpSymbol(std::string_view name);

// Frees every table and the scope stack (program end, and tests).
void ResetSymbolTables();

// Number of scopes saved by PUSHSCOPE.
[[nodiscard]] std::size_t ScopeDepth();
// Height of the current table's tree (0 when empty), for checking its shape.
[[nodiscard]] int SymbolTreeHeight();
[[nodiscard]] std::size_t SymbolCount();

}  // namespace vaultrix::eval
