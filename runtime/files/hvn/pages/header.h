// The file header of an HVN file, its page references and its regions.
// Shared by the reader and the writer. Numbers are little-endian unless
// marked big-endian.
//
//   offset width field
//   0      4     reserved (0)
//   4      2     header size: 0x200
//   6      4     committed end: file offset up to which pages are at home
//   10     4     written end: file offset up to which pages have been
//                written; equal to committed end when no write is pending
//   14     4     magic "hAlV" (0x68 0x41 0x6C 0x56)
//   18     2     reserved (0)
//   20     4     last issued number, BIG-endian (record numbers, table ids)
//   24     4     change counter: +1 at every commit; 0 in a file never written
//   28     4     page reference of the tree's root; -1 while the tree is empty
//   32     240   region starts: 60 page references, entry k for pages of k units
//   272    240   region ends: 60 page references (exclusive)
//
// A page reference counts 256-byte units after the header: file offset =
// reference x 256 + 512. Pages come in 59 sizes, k = 1..59 units; region k
// holds only pages of k units, from its start (inclusive) to its end
// (exclusive), and the regions lie in the file in increasing k (gaps between
// them are allowed). The size of the page at reference r is the k with
// start[k] <= r < end[k]. Entry 0 of both tables is unused.
#pragma once

#include <array>
#include <cstdint>

namespace vaultrix::files::hvn {

inline constexpr std::uint32_t kHeaderSize = 512;
inline constexpr std::uint32_t kUnit = 256;
inline constexpr int kMaxUnits = 59;
inline constexpr std::uint32_t kMaxPageSize = kMaxUnits * kUnit;  // 15104
inline constexpr std::uint32_t kMagic = 0x566C4168;               // "hAlV"
inline constexpr std::int32_t kNoPage = -1;
// The last issued number must stay below this, so that no table id starts
// with 0xFE or 0xFF.
inline constexpr std::uint32_t kNumberLimit = 0xFE000000;

struct FileHeader {
  std::uint32_t committed_end = kHeaderSize;
  std::uint32_t written_end = kHeaderSize;
  std::uint32_t last_number = 0;
  std::uint32_t change_counter = 0;
  std::int32_t root = kNoPage;
  std::array<std::int32_t, 60> region_start{};
  std::array<std::int32_t, 60> region_end{};

  friend bool operator==(const FileHeader&, const FileHeader&) = default;
};

[[nodiscard]] constexpr std::uint64_t PageOffset(std::int32_t reference) {
  return static_cast<std::uint64_t>(reference) * kUnit + kHeaderSize;
}

// The 512 header bytes.
void EncodeHeader(const FileHeader& header, std::uint8_t* out);

// Reads a header from [ptr, limit). False for a short header or a wrong
// magic. The regions are not checked here (CheckRegions).
[[nodiscard]] bool DecodeHeader(const std::uint8_t* ptr, const std::uint8_t* limit,
                                FileHeader* header);

// True when every non-empty region is well formed: 0 <= start < end, in
// increasing k without overlap, each a whole number of k-unit pages. Entry 0
// and empty regions (start == end, whatever their value) are not looked at.
[[nodiscard]] bool CheckRegions(const FileHeader& header);

// The page size in units of the page at `reference`; 0 when it lies in no
// region.
[[nodiscard]] int UnitsAt(const FileHeader& header, std::int32_t reference);

// The reference just past the highest non-empty region (0 when none).
[[nodiscard]] std::int32_t DataEndReference(const FileHeader& header);
[[nodiscard]] inline std::uint32_t DataEndOffset(const FileHeader& header) {
  return static_cast<std::uint32_t>(PageOffset(DataEndReference(header)));
}

// Little- and big-endian helpers for the stored formats.
[[nodiscard]] inline std::uint16_t Load16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
[[nodiscard]] inline std::uint32_t Load32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
[[nodiscard]] inline std::uint32_t LoadBig32(const std::uint8_t* p) {
  return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
         (static_cast<std::uint32_t>(p[2]) << 8) | static_cast<std::uint32_t>(p[3]);
}
inline void Store16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void Store32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void StoreBig32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * (3 - i)));
}

}  // namespace vaultrix::files::hvn
