// The recorded page format, shared by the recorder that writes it and the
// readers that play it back (the image control, the display drivers, the
// printers): a Windows metafile, optionally led by the 22-byte placeable
// header that preview page files carry. All numbers little-endian.
//
// Placeable header (page files):
//
//   offset width field
//   0      4     key 0x9AC6CDD7
//   4      2     metafile handle, 0
//   6      2     left (signed), 0
//   8      2     top (signed), 0
//   10     2     right (signed): page width in units
//   12     2     bottom (signed): page height in units
//   14     2     units per inch
//   16     4     reserved, 0
//   20     2     checksum: XOR of the ten 16-bit words at offsets 0 to 18
//   22     rest  the metafile
//
// Metafile header (18 bytes): type u16 (1, in memory), header size u16 in
// words (9), version u16 (0x0300), size u32 in words (the whole metafile),
// object count u16, largest record u32 in words, 0 u16. Records follow:
// size u32 in words (the whole record), function u16, parameters as u16
// words. The last record is the end record (size 3, function 0).
#pragma once

#include <cstdint>

namespace vaultrix::platform::wmf {

inline constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
inline constexpr std::size_t kPlaceableHeaderSize = 22;
inline constexpr std::size_t kHeaderSize = 18;
inline constexpr std::uint16_t kHeaderWords = 9;
inline constexpr std::uint16_t kVersion = 0x0300;
inline constexpr std::uint16_t kMemoryMetafile = 1;

// Record functions that the recorder writes and the players understand.
inline constexpr std::uint16_t kEof = 0x0000;
inline constexpr std::uint16_t kSetBkMode = 0x0102;
inline constexpr std::uint16_t kSetTextAlign = 0x012E;
inline constexpr std::uint16_t kSelectObject = 0x012D;
inline constexpr std::uint16_t kDeleteObject = 0x01F0;
inline constexpr std::uint16_t kSetTextColor = 0x0209;
inline constexpr std::uint16_t kSetWindowOrg = 0x020B;
inline constexpr std::uint16_t kSetWindowExt = 0x020C;
inline constexpr std::uint16_t kLineTo = 0x0213;
inline constexpr std::uint16_t kMoveTo = 0x0214;
inline constexpr std::uint16_t kCreatePenIndirect = 0x02FA;
inline constexpr std::uint16_t kCreateFontIndirect = 0x02FB;
inline constexpr std::uint16_t kExtTextOut = 0x0A32;

inline constexpr std::uint16_t kTransparent = 1;  // background mode
inline constexpr std::uint16_t kClipped = 0x0004;  // text option: clip to the rectangle

// A font record's fixed part before the face name, and the face name's room.
inline constexpr std::size_t kLogFontFixedSize = 18;
inline constexpr std::size_t kFaceNameSize = 32;

// The largest record a page takes; a larger one cannot be copied into a page.
inline constexpr std::uint32_t kMaxRecordWords = 0x8000;

}  // namespace vaultrix::platform::wmf
