// The record layout descriptor: the byte stream that describes a file's
// record field by field. Shared by its reader (ParseRecordLayout) and its
// writer (WriteRecordLayout). All integers are little-endian.
//
// Header (the record's own group entry), 14 bytes:
//   0x16, 0x00, record size (4), number of field entries that follow (4),
//   total length of the descriptor including this header (4)
// Field entry:
//   type byte       (kType* below)
//   flag byte       0x01 external name, 0x02 label, 0x04 picture (text types),
//                   0x08 offset, 0x10 dimensions
//   size            DECIMAL 0x0a, 0x0b:   size byte, decimal-places byte
//                   0x12..0x15 (texts):   compact integer, then the picture
//                                         text when flag 0x04
//                   GROUP 0x16:           size (4), entries inside (4),
//                                         length of the group's entries with
//                                         its own (4)
//                   0x1f:                 size byte
//                   any other type:       none, the type fixes the size
//   label text      when flag 0x02 (texts end with a zero byte)
//   external name   when flag 0x01
//   offset          when flag 0x08: compact integer, the field's offset in
//                   its group; it places a field over earlier storage (OVER)
//   dimensions      when flag 0x10: count byte, then that many compact integers
//
// Sizes in entries are of the whole field (all its elements). A field's
// offset follows from the sizes before it in its group unless flag 0x08
// gives it; a field whose offset is not beyond the previous field's at the
// same or a deeper level overlays earlier storage, and so does every field
// inside an overlaying group.
//
// Compact integer: first byte b; (b >> 5) & 3 further bytes follow; the value
// starts as b & 0x1F and each further byte is appended as value * 256 + byte.
// 0x1E is 30; 0x20 0x5A is 90.
//
// A group's entry count counts every entry inside it, nested ones included,
// and groups nest at most kMaxGroupDepth deep.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vaultrix::files {

inline constexpr std::uint8_t kTypeByte = 0x01;
inline constexpr std::uint8_t kTypeShort = 0x02;
inline constexpr std::uint8_t kTypeUShort = 0x03;
inline constexpr std::uint8_t kTypeDate = 0x04;
inline constexpr std::uint8_t kTypeTime = 0x05;
inline constexpr std::uint8_t kTypeLong = 0x06;
inline constexpr std::uint8_t kTypeULong = 0x07;
inline constexpr std::uint8_t kTypeSReal = 0x08;
inline constexpr std::uint8_t kTypeReal = 0x09;
inline constexpr std::uint8_t kTypeDecimal = 0x0a;
inline constexpr std::uint8_t kTypePDecimal = 0x0b;
inline constexpr std::uint8_t kTypeString = 0x12;
inline constexpr std::uint8_t kTypeCString = 0x13;
inline constexpr std::uint8_t kTypePString = 0x14;
inline constexpr std::uint8_t kTypeAString = 0x15;
inline constexpr std::uint8_t kTypeGroup = 0x16;
inline constexpr std::uint8_t kTypeSizedByte = 0x1f;

inline constexpr std::uint8_t kFieldExternalName = 0x01;
inline constexpr std::uint8_t kFieldLabel = 0x02;
inline constexpr std::uint8_t kFieldPicture = 0x04;
inline constexpr std::uint8_t kFieldOffset = 0x08;
inline constexpr std::uint8_t kFieldDimensions = 0x10;

inline constexpr std::size_t kLayoutHeaderSize = 14;
inline constexpr int kMaxGroupDepth = 100;
inline constexpr std::uint32_t kMaxCompactInteger = 0x1FFFFFFF;

// One field of a parsed layout.
struct FieldInfo {
  std::uint8_t type = 0;
  std::uint8_t flags = 0;
  std::uint32_t offset = 0;         // from the start of the record
  std::uint32_t size = 0;           // bytes of the whole field
  std::uint32_t element_count = 1;  // product of the dimensions
  std::uint32_t element_size = 0;   // size / element_count
  std::uint8_t decimal_places = 0;  // DECIMAL
  std::uint8_t digits = 0;          // DECIMAL: digits of one element
  std::string label;
  std::string external_name;
  std::string picture;  // text types
  std::vector<std::uint32_t> dimensions;
  int depth = 1;                        // 1 for the fields of the record's own group
  int parent = -1;                      // index of the enclosing group field; -1 for the record
  std::uint32_t entry_count = 0;        // GROUP: entries inside it
  std::uint32_t descriptor_length = 0;  // GROUP: length of its entries, its own included
  bool overlay = false;                 // describes storage other fields describe
};

struct RecordLayout {
  std::uint32_t record_size = 0;
  std::uint32_t descriptor_length = 0;
  std::vector<FieldInfo> fields;  // record order; field k of a key component is fields[k - 1]
};

// Reads a descriptor from [ptr, limit). Returns 0 and fills `layout`, or 75
// "Invalid Field Type Descriptor" for a stream that is malformed, truncated,
// nested deeper than kMaxGroupDepth, or whose fields do not fit their groups.
// Never reads at or past `limit`.
[[nodiscard]] std::int32_t ParseRecordLayout(const std::uint8_t* ptr, const std::uint8_t* limit,
                                             RecordLayout* layout);

// Reads a compact integer at *ptr; false when it would run past `limit`.
[[nodiscard]] bool ReadCompactInteger(const std::uint8_t*& ptr, const std::uint8_t* limit,
                                      std::uint32_t* value);
// Appends `value` (at most kMaxCompactInteger) in the fewest bytes.
void AppendCompactInteger(std::vector<std::uint8_t>& out, std::uint32_t value);

// A field as a declaration states it; groups hold their fields.
struct FieldDeclaration {
  std::uint8_t type = kTypeString;
  std::string label;
  std::string external_name;
  std::string picture;              // text types only
  std::uint32_t size = 0;           // one element; fixed types: 0 to take the type's size;
                                    // GROUP: 0 to take the extent of its fields
  std::uint8_t decimal_places = 0;  // DECIMAL
  std::vector<std::uint32_t> dimensions;
  bool has_offset = false;  // placed over earlier storage at `offset` in its group
  std::uint32_t offset = 0;
  std::vector<FieldDeclaration> fields;  // GROUP
};

// The size of one element of a fixed-size type; 0 for the types that carry
// their size in the entry and for unknown types.
[[nodiscard]] std::uint32_t FixedTypeSize(std::uint8_t type);

// The bytes of one field as laid out in its group: one element's size times
// the elements.
[[nodiscard]] std::uint32_t DeclaredFieldSize(const FieldDeclaration& field);

// Writes the descriptor of a record made of `fields`; the record size is the
// extent of its fields.
[[nodiscard]] std::vector<std::uint8_t> WriteRecordLayout(
    const std::vector<FieldDeclaration>& fields);

}  // namespace vaultrix::files
