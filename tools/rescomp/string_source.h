// The string table's source (resources/strings.txt) and the two things the
// build makes of it: the C++ table compiled into the runtime and the bytes of
// the program's "STRING" resource "STRINGTABLE".
//
// Source: one entry a line, `ID "TEXT"`: the id in decimal (a leading "-"
// allowed), one or more blanks or tabs, the text in double quotes with `\"`
// for a double quote and `\\` for a backslash, then nothing but blanks. Ids
// strictly increase. Empty lines and lines whose first non-blank is "#" are
// comments. A text holds no control characters and at most 65535 bytes.
//
// Resource bytes, little-endian: the entry count (4 bytes), then per entry
// in id order the id (4 bytes, signed), the text's length in bytes (2 bytes)
// and the text itself, without a terminator.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tools/rescomp/source_reader.h"

namespace vaultrix::rescomp {

struct StringEntry {
  std::int32_t id = 0;
  std::string text;

  friend bool operator==(const StringEntry&, const StringEntry&) = default;
};

inline constexpr std::size_t kMaxStringTextLength = 0xFFFF;

// Reads a string table source; on failure fills `error` (line from 1).
[[nodiscard]] bool ReadStringSource(std::string_view source, std::vector<StringEntry>* entries,
                                    SourceError* error);

// The "STRINGTABLE" resource's bytes for `entries`.
[[nodiscard]] std::vector<std::uint8_t> EncodeStringResource(
    const std::vector<StringEntry>& entries);

// Reads the resource's bytes back. False for bytes that end inside an entry,
// go on after the last entry, or list ids out of increasing order.
[[nodiscard]] bool DecodeStringResource(std::span<const std::uint8_t> bytes,
                                        std::vector<StringEntry>* entries);

// The C++ source that defines vaultrix::support::StringTableEntries().
[[nodiscard]] std::string WriteStringTableSource(const std::vector<StringEntry>& entries);

}  // namespace vaultrix::rescomp
