// Page files: a recorded page behind the 22-byte placeable header (layout in
// platform/metafile_format.h). The header's page box comes from the printer:
// the larger of its two resolutions becomes the unit on both axes, so the
// page keeps its shape, and the box covers the whole sheet (the printable
// area plus the physical offsets on both sides).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/printer.h"

namespace vaultrix::platform {

struct PlaceableHeader {
  std::int16_t left = 0, top = 0, right = 0, bottom = 0;
  std::uint16_t units_per_inch = 0;
  std::uint16_t checksum = 0;  // as stored; readers do not check it
};

// a * b / c rounded half away from zero; 0 when c is 0.
[[nodiscard]] std::int64_t MulDiv(std::int64_t a, std::int64_t b, std::int64_t c);

// The header of a page recorded for `printer`, checksum included.
[[nodiscard]] PlaceableHeader PageHeaderFor(const PrinterCaps& printer);

[[nodiscard]] std::uint16_t PlaceableChecksum(const PlaceableHeader& header);
[[nodiscard]] std::array<std::uint8_t, 22> EncodePlaceableHeader(const PlaceableHeader& header);

// A page file's parts. `metafile` points into the bytes handed to ReadPageFile.
struct PageFileView {
  PlaceableHeader header;
  std::span<const std::uint8_t> metafile;
};

// Page files larger than this are not read.
inline constexpr std::size_t kMaxPageFileSize = std::size_t{64} << 20;

inline std::span<const std::uint8_t> AsBytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// Accepts a page file longer than the header that begins with the key and
// whose metafile header's size (in words) fits the bytes; the checksum is
// not tested. False for anything else.
[[nodiscard]] bool ReadPageFile(std::span<const std::uint8_t> bytes, PageFileView* page);

struct NaturalSize {
  std::int32_t width = 0, height = 0;
};

// The page's size in screen pixels at the screen's resolution.
[[nodiscard]] NaturalSize PageNaturalSize(const PlaceableHeader& header, std::int32_t screen_dpi_x,
                                          std::int32_t screen_dpi_y);

// What a page file shows: its natural size at the screen's resolution and
// the records of its metafile. False when the file is no page file.
struct PageSummary {
  NaturalSize size;
  std::size_t records = 0;
};
inline constexpr std::int32_t kScreenDpi = 96;
[[nodiscard]] bool SummarizePageFile(const std::string& path, PageSummary* summary);

}  // namespace vaultrix::platform
