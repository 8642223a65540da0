// Text is UTF-8 on this platform, while fields have a fixed number of bytes.
// Wherever a text is cut to a field's size it is cut at a character
// boundary, so that a field never ends in half a character; the bytes left
// over are padded with blanks like any short value.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vaultrix::support {

// The length of the longest start of `text` of at most `limit` bytes that
// does not end inside a UTF-8 character. Bytes that do not form a valid
// sequence count as characters of one byte each, so any text can be cut.
[[nodiscard]] std::size_t Utf8CutLength(std::string_view text, std::size_t limit);

// The length of the valid multi-byte UTF-8 character at `at`; 0 for an ASCII
// byte or a byte that starts no valid character.
[[nodiscard]] std::size_t Utf8CharacterAt(std::string_view text, std::size_t at);

// Maps each byte of `text` through `table` (a case table), except the bytes
// of multi-byte UTF-8 characters, which are left as they are: a byte table
// knows single-byte letters only and would break them.
void MapSingleBytes(std::string& text, const std::array<std::uint8_t, 256>& table);

}  // namespace vaultrix::support
