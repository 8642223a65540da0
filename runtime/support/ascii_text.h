// Small text helpers for the settings files the runtime reads (profiles and
// the environment file), whose names are plain ASCII and whose blanks are
// spaces and tabs.
#pragma once

#include <cstddef>
#include <string_view>

namespace vaultrix::support {

[[nodiscard]] constexpr bool IsBlankOrTab(char c) { return c == ' ' || c == '\t'; }

// `text` without the spaces and tabs at either end.
[[nodiscard]] constexpr std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlankOrTab(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlankOrTab(text.back())) text.remove_suffix(1);
  return text;
}

[[nodiscard]] constexpr char FoldAsciiUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Equal when only the case of ASCII letters differs.
[[nodiscard]] constexpr bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldAsciiUpper(a[i]) != FoldAsciiUpper(b[i])) return false;
  }
  return true;
}

}  // namespace vaultrix::support
