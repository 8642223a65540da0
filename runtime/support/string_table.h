// The string table: the texts of file, system, runtime and evaluator errors,
// by number. The texts are the system's own and are compared by callers and
// shown to users exactly as they stand, trailing blanks included. The one
// source of the texts is resources/strings.txt; the build generates the
// entries (StringTableEntries) from it, and the same texts as the program's
// resource "STRINGTABLE" of type "STRING".
//
//   2..89     file errors
//   301..391  operating-system errors (300 + system error number)
//   501, 599  internal errors of the runtime
//   523..542  runtime errors of windows and reports
//   800..802  expression evaluator errors
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vaultrix::support {

struct StringTableEntry {
  std::int32_t id;
  std::string_view text;
};

// Every entry, in increasing id order (defined by the generated source).
[[nodiscard]] std::span<const StringTableEntry> StringTableEntries();

// The entry `id`, or nothing when the table has none.
[[nodiscard]] std::optional<std::string_view> StringTableText(std::int32_t id);

// The text posted with error `code`: its entry, or for a number without one
// the text of entry 81, " : " and the number in decimal.
[[nodiscard]] std::string ErrorTextFor(std::int32_t code);

}  // namespace vaultrix::support
