// The table definition stream, stored in 0xFA records of 512 bytes (block
// numbers from 0). Shared by the reader and the writer.
//
// Items: bytes; words (2 bytes, low byte first; values cut to 16 bits); texts
// (the bytes and a terminating 0; an absent text is 0x00 0x01, an empty text
// 0x00 0x00).
//   word version (1; 2 when any memo is a BLOB memo, flag 0x04)
//   word record size, word field count, word memo count, word key count
//   per field: byte type, word offset, text label, word element count,
//     word total size, word overlay flag, word field ordinal (from 0); then
//     DECIMAL and 0x0b: byte places, byte element size;
//     STRING, CSTRING, PSTRING: word element length, text picture
//   per memo: text external name, text label, word size, word memo flag byte
//   per key: text external name, text label, byte attribute bits, word
//     component count; per component: word field ordinal, word descending (1)
//
// The definition check at OPEN tolerates differences in labels, external
// names, pictures, DECIMAL places and element sizes, and in key attribute
// bit 0x10; any other difference is 47.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vaultrix::files {
struct FileState;
}

namespace vaultrix::files::hvn {

struct DefinedField {
  std::uint8_t type = 0;
  std::uint16_t offset = 0;
  std::optional<std::string> label;
  std::uint16_t element_count = 0;
  std::uint16_t size = 0;
  std::uint16_t overlay = 0;
  std::uint16_t ordinal = 0;
  std::uint8_t places = 0;           // DECIMAL, 0x0b
  std::uint8_t element_size = 0;     // DECIMAL, 0x0b
  std::uint16_t element_length = 0;  // text types
  std::optional<std::string> picture;
};

struct DefinedMemo {
  std::optional<std::string> external_name;
  std::optional<std::string> label;
  std::uint16_t size = 0;
  std::uint16_t flags = 0;
};

struct DefinedKey {
  std::optional<std::string> external_name;
  std::optional<std::string> label;
  std::uint8_t attributes = 0;
  std::vector<std::pair<std::uint16_t, std::uint16_t>> components;  // ordinal, descending
};

struct TableDefinition {
  std::uint16_t version = 1;
  std::uint16_t record_size = 0;
  std::vector<DefinedField> fields;
  std::vector<DefinedMemo> memos;
  std::vector<DefinedKey> keys;
};

// The definition a file's descriptor produces.
[[nodiscard]] TableDefinition DefinitionOf(const FileState& state);

[[nodiscard]] std::string EncodeDefinition(const TableDefinition& definition);

// Reads a stream from [ptr, limit); false when it is damaged or truncated.
[[nodiscard]] bool DecodeDefinition(const std::uint8_t* ptr, const std::uint8_t* limit,
                                    TableDefinition* definition);

// True when `stored` is compatible with `declared` under the tolerances above.
[[nodiscard]] bool DefinitionsMatch(const TableDefinition& stored, const TableDefinition& declared);

}  // namespace vaultrix::files::hvn
