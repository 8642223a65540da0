// Looks texts up in the entries generated from resources/strings.txt.
#include "runtime/support/string_table.h"

#include <algorithm>
#include <string>

#include "runtime/support/error_codes.h"

namespace vaultrix::support {

std::optional<std::string_view> StringTableText(std::int32_t id) {
  std::span<const StringTableEntry> entries = StringTableEntries();
  auto found = std::lower_bound(entries.begin(), entries.end(), id,
                                [](const StringTableEntry& e, std::int32_t v) { return e.id < v; });
  if (found == entries.end() || found->id != id) return std::nullopt;
  return found->text;
}

std::string ErrorTextFor(std::int32_t code) {
  if (code == kNoError) return {};
  if (std::optional<std::string_view> text = StringTableText(code)) return std::string(*text);
  std::string text(StringTableText(kUnknownErrorPosted).value_or(std::string_view()));
  text += " : ";
  text += std::to_string(code);
  return text;
}

}  // namespace vaultrix::support
