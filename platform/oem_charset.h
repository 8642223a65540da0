// Conversion between the OEM character set (code page 437, the text files of
// older systems) and the ANSI set (code page 1252, the program's own text), in
// place, byte for byte. Characters without an equal in the other set become
// the nearest plain character ("+" for box corners, "a" for alpha, "?" when
// nothing is near), so a conversion never changes a text's length.
#pragma once

#include <cstddef>

namespace vaultrix::platform {

void OemToAnsi(char* text, std::size_t size);
void AnsiToOem(char* text, std::size_t size);

[[nodiscard]] unsigned char OemToAnsiChar(unsigned char c);
[[nodiscard]] unsigned char AnsiToOemChar(unsigned char c);

}  // namespace vaultrix::platform
