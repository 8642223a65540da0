// An HVN page and the records in it. Shared by the reader and the writer.
//
// Page (k x 256 bytes at its reference):
//   offset width     field
//   0      4         the page's own file offset
//   4      2         stored length in bytes, header included (the page
//                    occupies this rounded up to 256)
//   6      2         unpacked length in bytes, header included: the image
//                    after prefix compression, before run-length packing
//   8      2         size bound: 13 + for every record its full length + 5
//                    (+ 4 per record on an index page); the split rule
//                    works on it
//   10     2         number of records
//   12     1         level: 0 leaf, > 0 index page
//   13     4 x count index pages only: child page references, one a record
//   then             the record area, run-length packed (hvn/pages/packing.h)
//                    when the stored length is below the unpacked length
//
// Record in the record area (records in key order):
//   flag byte  0x80: a 2-byte record length follows, else as the previous
//              record's; 0x40: a 2-byte key length follows, else as the
//              previous record's; 0x3F: leading bytes taken from the
//              previous record (prefix compression, at most 63)
//   then the optional record length, the optional key length, and the
//   record's remaining bytes. A record is its key bytes, then its data.
//
// The packed form is used only when, rounded up to 256 bytes, it is smaller
// than the unpacked form rounded up.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/files/hvn/pages/header.h"

namespace vaultrix::files::hvn {

inline constexpr std::uint32_t kPageHeaderSize = 13;
inline constexpr std::uint32_t kMaxPrefix = 0x3F;
inline constexpr int kMaxLevel = 40;

struct Record {
  std::string key;
  std::string data;  // empty in index records

  [[nodiscard]] std::size_t FullLength() const { return key.size() + data.size(); }
  friend bool operator==(const Record&, const Record&) = default;
};

struct PageContent {
  std::uint8_t level = 0;
  std::vector<Record> records;
  std::vector<std::int32_t> children;  // index pages: one per record
};

// The size bound of a page holding `records` at `level`.
[[nodiscard]] std::uint32_t SizeBound(const PageContent& page);
[[nodiscard]] std::uint32_t RecordBound(const Record& record, bool index);

// The record area: flag bytes, lengths and prefix-compressed record bytes.
[[nodiscard]] std::string EncodeRecords(const std::vector<Record>& records);

// Decodes `count` records from [ptr, limit); the walk must end at `limit`.
// Returns 0, or the line of the failed check.
[[nodiscard]] int DecodeRecords(const std::uint8_t* ptr, const std::uint8_t* limit,
                                std::uint32_t count, std::vector<Record>* records);

// The stored image of a page that will live at file offset `own_offset`,
// packed when that saves a 256-byte unit, padded with zeros to a whole
// number of units. Empty when the stored page would exceed kMaxPageSize or
// a field would overflow.
[[nodiscard]] std::string EncodePage(const PageContent& page, std::uint32_t own_offset);

// The fixed header of a stored page.
struct PageHead {
  std::uint32_t stored = 0;
  std::uint32_t unpacked = 0;
  std::uint32_t count = 0;
  std::uint8_t level = 0;
  std::size_t head = 0;  // the header and child references: where the record area starts
};

// Reads the header at `ptr` (kPageHeaderSize bytes) of a page of `size`
// bytes read at `own_offset` and checks its lengths against the size, the
// level and the own offset. Returns 0, or the line of the failed check.
[[nodiscard]] int DecodePageHead(const std::uint8_t* ptr, std::size_t size,
                                 std::uint32_t own_offset, PageHead* head);

// Decodes the page image [ptr, limit) (k x 256 bytes read at `own_offset`).
// Returns 0, or the line of the failed check (lengths against the size read,
// record walk, own offset).
[[nodiscard]] int DecodePage(const std::uint8_t* ptr, const std::uint8_t* limit,
                             std::uint32_t own_offset, PageContent* page);

[[nodiscard]] inline std::uint32_t RoundUnits(std::uint32_t bytes) {
  return (bytes + kUnit - 1) / kUnit;
}

// Wipes a byte string's storage before it goes, for decoded secrets.
void Wipe(std::string& bytes);
void Wipe(std::vector<Record>& records);

}  // namespace vaultrix::files::hvn
