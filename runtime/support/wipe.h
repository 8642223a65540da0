// Wiping texts that may hold secrets (passwords, the clipboard's contents)
// before their memory is released or reused.
#pragma once

#include <string.h>

#include <optional>
#include <string>

namespace vaultrix::support {

// Zeroes the text's storage, including what earlier, longer contents left
// past its end, in a way the compiler may not leave out; then empties it.
inline void WipeText(std::string& text) {
  text.resize(text.capacity());
  ::explicit_bzero(text.data(), text.size());
  text.clear();
}

inline void WipeText(std::optional<std::string>& text) {
  if (text) WipeText(*text);
  text.reset();
}

}  // namespace vaultrix::support
