// The browser's clipboard clean-up.
#include <string.h>

#include <cctype>

#include "app/passwords/browse_passwords.h"

namespace vaultrix::app {
namespace {

// What the browser takes from the clipboard at most.
constexpr std::size_t kClipboardTaken = 10000;

}  // namespace

std::string FilterBrowserClipboard(std::string_view text) {
  text = text.substr(0, kClipboardTaken);
  const std::size_t last = text.find_last_not_of(' ');
  if (last == std::string_view::npos) return {};
  text = text.substr(0, last + 1);
  // Reserved whole, so that no growing leaves a freed copy behind.
  std::string kept;
  kept.reserve(text.size());
  for (const char c : text) {
    const auto code = static_cast<unsigned char>(c);
    if (code < 31 || std::toupper(code) > 'Z') continue;
    kept += c;
  }
  std::string result;
  result.reserve(kept.size());
  for (std::size_t i = 0; i < kept.size(); ++i) {
    if (kept[i] == ' ' && i + 1 < kept.size() && kept[i + 1] == ' ') continue;
    result += kept[i];
  }
  explicit_bzero(kept.data(), kept.size());  // the clipboard may hold a password
  return result;
}

}  // namespace vaultrix::app
