// Key values and key entries of HVN files. Every key entry is a record of the
// file's single tree, compared as plain unsigned bytes (shorter first when one
// is a prefix of the other), so the value of each key is encoded such that
// byte order is the declared order. Shared by the driver (key maintenance,
// GET and SET by key, POSITION and REGET, BUILD) and the data-file tool.
//
// Use: one KeyValueEncoder per key, made at first use (no value: 75). Key
// maintenance builds the old and the new entry with BuildEntry and compares
// them; GET by key encodes the buffer (EncodeValue) and searches
// SearchKey(table, value) exactly for a unique key, or from it for a DUP key,
// accepting the entry found when HoldsValue; SET key, key starts NEXT from
// SearchKey(table, value, kFirstRecordNumber) and PREVIOUS from
// SearchKey(table, value, kLastRecordNumber); an entry that Owns refuses ends
// a sequence in key order.
//
// Key entry (all integers big-endian):
//
//   | part             | bytes            | content                              |
//   |------------------|------------------|--------------------------------------|
//   | key              | 4                | table id                             |
//   | key              | 1                | key number (declaration order from 0)|
//   | key              | sum of the sizes | encoded key value (below)            |
//   | key  (DUP keys)  | 4                | record number                        |
//   | data (unique)    | 4                | record number                        |
//
// The record number is always the last four bytes of key and data together:
// equal values of a DUP key are ordered by it, a unique key compares the value
// alone and carries the record number as data.
//
// Encoded value: each component in turn, each exactly its field's size.
//
//   | field type        | encoding (ascending)                                   |
//   |-------------------|--------------------------------------------------------|
//   | STRING            | each byte through the text map (below)                 |
//   | CSTRING           | the text up to its zero terminator (the whole field    |
//   |                   | when there is none), zero bytes after it; then mapped  |
//   | PSTRING           | length byte n dropped: n text bytes (n clamped to the  |
//   |                   | field), zero bytes up to the field size; then mapped   |
//   | USHORT, ULONG     | bytes reversed (big-endian)                            |
//   | SHORT, LONG       | bytes reversed, first byte XOR 0x80                    |
//   | SREAL, REAL       | bytes reversed; sign bit set: every byte b -> 0xFF - b;|
//   |                   | sign bit clear: sign bit set                           |
//   | DECIMAL           | as stored; a non-zero sign nibble (negative) is cleared|
//   |                   | and every byte b -> 0xFF - b; then first byte XOR 0x80 |
//   | BYTE, GROUP, other| as stored                                              |
//
// A descending component is then complemented byte by byte (0xFF - b); for a
// negative float or decimal the two complements cancel.
//
// Text map: a NOCASE key replaces each upper-case letter by its lower-case
// partner (the locale's case tables); then every byte takes its weight in the
// locale's collation table. Files with the OEM attribute hold OEM text and
// use the OEM variant of the map: an OEM byte that has an equal in the
// program's character set is folded and weighed as that character; the OEM
// bytes without one (box drawing, most Greek) sort after all of those, in
// code order. The map is taken from the locale when the encoder is made.
//
// Null component (OPT): STRING or GROUP all blanks (0x20); CSTRING or PSTRING
// whose first byte is 0; any other type all zero bytes. An OPT key leaves a
// record out only when every component is null.
//
// Choices where the rules above leave room, and what follows from them:
// - -0.0 and +0.0 are different key values (-0.0 sorts just below +0.0), and
//   NaNs sort beyond the infinities by sign; byte order is IEEE total order.
// - A stored negative zero DECIMAL (sign nibble set, all digits 0) sorts just
//   below zero; the runtime never writes one.
// - A key without components is never left out by OPT.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "runtime/files/file_state.h"

namespace vaultrix::files {

inline constexpr std::size_t kKeyEntryPrefixSize = 5;  // table id, key number
inline constexpr std::size_t kRecordNumberSize = 4;
// Completions of a DUP key's start value: the first and the last possible
// entry with that value.
inline constexpr std::uint32_t kFirstRecordNumber = 0;
inline constexpr std::uint32_t kLastRecordNumber = 0xFFFFFFFF;

// One key entry as the tree holds it.
struct KeyEntry {
  std::vector<std::uint8_t> key;   // compared part
  std::vector<std::uint8_t> data;  // unique keys: the record number; DUP keys: empty

  friend bool operator==(const KeyEntry&, const KeyEntry&) = default;
};

// Orders two keys as the tree does: unsigned bytes over the shorter length,
// then the shorter first. Answers <0, 0 or >0.
[[nodiscard]] int CompareKeyBytes(const std::uint8_t* a, std::size_t a_size, const std::uint8_t* b,
                                  std::size_t b_size);

void StoreBigEndian32(std::uint32_t value, std::uint8_t* out);
[[nodiscard]] std::uint32_t LoadBigEndian32(const std::uint8_t* in);

// The record number of a stored entry: the last four bytes of key and data
// taken together. No value when they hold fewer than four bytes.
[[nodiscard]] std::optional<std::uint32_t> EntryRecordNumber(const std::uint8_t* key,
                                                             std::size_t key_size,
                                                             const std::uint8_t* data,
                                                             std::size_t data_size);

// Builds the values and entries of one key of a file. Made once per key at
// first use; holds no pointer into the file state.
class KeyValueEncoder {
 public:
  struct Component {
    std::uint8_t type = 0;
    std::uint32_t offset = 0;  // in the record
    std::uint32_t size = 0;
    bool descending = false;
  };

  // The encoder of `key` of `state`, numbered `key_number` in the tree. No
  // value when a component names no field of the layout or a field that does
  // not lie inside the record (the driver answers 75).
  [[nodiscard]] static std::optional<KeyValueEncoder> Make(const FileState& state,
                                                           const KeyState& key,
                                                           std::uint8_t key_number);

  [[nodiscard]] std::uint8_t KeyNumber() const { return key_number_; }
  [[nodiscard]] std::uint32_t Attributes() const { return attributes_; }
  [[nodiscard]] bool IsDup() const { return (attributes_ & kKeyDup) != 0; }
  [[nodiscard]] bool IsOpt() const { return (attributes_ & kKeyOpt) != 0; }
  [[nodiscard]] const std::vector<Component>& Components() const { return components_; }

  // Bytes of the encoded value: the sum of the component sizes.
  [[nodiscard]] std::size_t ValueSize() const { return value_size_; }
  // Bytes of an entry's compared part: prefix, value and, for DUP keys, the
  // record number.
  [[nodiscard]] std::size_t EntryKeySize() const {
    return kKeyEntryPrefixSize + value_size_ + (IsDup() ? kRecordNumberSize : 0);
  }

  // REQUIRES: `record` holds the whole record of the file the encoder was
  // made for.
  // Writes ValueSize() bytes at `out`.
  void EncodeValue(const std::uint8_t* record, std::uint8_t* out) const;
  [[nodiscard]] std::vector<std::uint8_t> EncodeValue(const std::uint8_t* record) const;
  // True when every component of the record is null (see above).
  [[nodiscard]] bool AllComponentsNull(const std::uint8_t* record) const;
  // True when this is an OPT key and the record is left out of it.
  [[nodiscard]] bool LeavesOut(const std::uint8_t* record) const;

  // The entry of a record: false, and `entry` emptied, when OPT leaves the
  // record out. `entry`'s buffers are reused.
  [[nodiscard]] bool BuildEntry(std::uint32_t table_id, const std::uint8_t* record,
                                std::uint32_t record_number, KeyEntry& entry) const;

  // The compared part of an entry from an encoded value of ValueSize()
  // bytes, as searches need it: for a DUP key completed with
  // `record_number` when given (kFirstRecordNumber before all duplicates,
  // kLastRecordNumber after them, the exact one for REGET); without it the
  // key stops after the value, which sorts before every entry of that value.
  [[nodiscard]] std::vector<std::uint8_t> SearchKey(
      std::uint32_t table_id, const std::uint8_t* value,
      std::optional<std::uint32_t> record_number = std::nullopt) const;

  // True when a stored entry key belongs to this key of table `table_id`:
  // a different table id or key number ends a sequence in key order.
  [[nodiscard]] bool Owns(std::uint32_t table_id, const std::uint8_t* key,
                          std::size_t key_size) const;

  // True when a stored entry key holds `value` (ValueSize() bytes) after its
  // prefix: a DUP key's GET and duplicate checks compare values so.
  [[nodiscard]] bool HoldsValue(const std::uint8_t* key, std::size_t key_size,
                                const std::uint8_t* value) const;

 private:
  KeyValueEncoder() = default;
  void EncodeComponent(const Component& component, const std::uint8_t* field,
                       std::uint8_t* out) const;
  void WritePrefix(std::uint32_t table_id, std::uint8_t* out) const;

  std::vector<Component> components_;
  std::uint32_t attributes_ = 0;
  std::uint8_t key_number_ = 0;
  std::size_t value_size_ = 0;
  std::array<std::uint8_t, 256> text_map_{};  // case folding and collation in one
};

}  // namespace vaultrix::files
