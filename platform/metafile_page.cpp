#include "platform/metafile_page.h"

#include "platform/metafile_format.h"
#include "platform/metafile_player.h"
#include "platform/whole_file.h"

namespace vaultrix::platform {
namespace {

std::uint16_t U16(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

std::uint32_t U32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return U16(bytes, at) | (static_cast<std::uint32_t>(U16(bytes, at + 2)) << 16);
}

std::int16_t Clamp16(std::int64_t value) {
  if (value > INT16_MAX) return INT16_MAX;
  if (value < INT16_MIN) return INT16_MIN;
  return static_cast<std::int16_t>(value);
}

}  // namespace

std::int64_t MulDiv(std::int64_t a, std::int64_t b, std::int64_t c) {
  if (c == 0) return 0;
  const std::int64_t product = a * b;
  const bool negative = (product < 0) != (c < 0);
  const std::int64_t magnitude_product = product < 0 ? -product : product;
  const std::int64_t magnitude_c = c < 0 ? -c : c;
  const std::int64_t rounded = (magnitude_product + magnitude_c / 2) / magnitude_c;
  return negative ? -rounded : rounded;
}

PlaceableHeader PageHeaderFor(const PrinterCaps& printer) {
  const std::int64_t x = printer.logpixels_x, y = printer.logpixels_y;
  const std::int64_t width = printer.horzres + 2 * std::int64_t{printer.offset_x};
  const std::int64_t height = printer.vertres + 2 * std::int64_t{printer.offset_y};
  PlaceableHeader header;
  if (x >= y) {
    header.units_per_inch = static_cast<std::uint16_t>(x);
    header.right = Clamp16(width);
    header.bottom = Clamp16(MulDiv(height, x, y));
  } else {
    header.units_per_inch = static_cast<std::uint16_t>(y);
    header.right = Clamp16(MulDiv(width, y, x));
    header.bottom = Clamp16(height);
  }
  header.checksum = PlaceableChecksum(header);
  return header;
}

std::uint16_t PlaceableChecksum(const PlaceableHeader& header) {
  const auto encoded = EncodePlaceableHeader({header.left, header.top, header.right, header.bottom,
                                              header.units_per_inch, 0});
  std::uint16_t sum = 0;
  for (std::size_t at = 0; at < 20; at += 2) sum ^= U16(encoded, at);
  return sum;
}

std::array<std::uint8_t, 22> EncodePlaceableHeader(const PlaceableHeader& header) {
  std::array<std::uint8_t, 22> out{};
  auto put16 = [&](std::size_t at, std::uint16_t value) {
    out[at] = static_cast<std::uint8_t>(value);
    out[at + 1] = static_cast<std::uint8_t>(value >> 8);
  };
  put16(0, static_cast<std::uint16_t>(wmf::kPlaceableKey));
  put16(2, static_cast<std::uint16_t>(wmf::kPlaceableKey >> 16));
  put16(6, static_cast<std::uint16_t>(header.left));
  put16(8, static_cast<std::uint16_t>(header.top));
  put16(10, static_cast<std::uint16_t>(header.right));
  put16(12, static_cast<std::uint16_t>(header.bottom));
  put16(14, header.units_per_inch);
  put16(20, header.checksum);
  return out;
}

bool ReadPageFile(std::span<const std::uint8_t> bytes, PageFileView* page) {
  if (bytes.size() <= wmf::kPlaceableHeaderSize || U32(bytes, 0) != wmf::kPlaceableKey) return false;
  const auto metafile = bytes.subspan(wmf::kPlaceableHeaderSize);
  if (metafile.size() < wmf::kHeaderSize) return false;
  const std::uint64_t size = std::uint64_t{U32(metafile, 6)} * 2;
  if (size < wmf::kHeaderSize || size > metafile.size()) return false;
  page->header.left = static_cast<std::int16_t>(U16(bytes, 6));
  page->header.top = static_cast<std::int16_t>(U16(bytes, 8));
  page->header.right = static_cast<std::int16_t>(U16(bytes, 10));
  page->header.bottom = static_cast<std::int16_t>(U16(bytes, 12));
  page->header.units_per_inch = U16(bytes, 14);
  page->header.checksum = U16(bytes, 20);
  page->metafile = metafile.first(static_cast<std::size_t>(size));
  return true;
}

NaturalSize PageNaturalSize(const PlaceableHeader& header, std::int32_t screen_dpi_x,
                            std::int32_t screen_dpi_y) {
  const std::int64_t units = header.units_per_inch;
  return {static_cast<std::int32_t>(MulDiv(header.right - header.left, screen_dpi_x, units)),
          static_cast<std::int32_t>(MulDiv(header.bottom - header.top, screen_dpi_y, units))};
}

bool SummarizePageFile(const std::string& path, PageSummary* summary) {
  std::string bytes;
  if (ReadWholeFile(path, kMaxPageFileSize, bytes) != 0) return false;
  PageFileView page;
  if (!ReadPageFile(AsBytes(bytes), &page)) return false;
  struct NoCanvas : MetafileCanvas {
    void Text(std::int16_t, std::int16_t, const std::string&, const MetafileFont&,
              const MetafileRect*) override {}
  } canvas;
  summary->size = PageNaturalSize(page.header, kScreenDpi, kScreenDpi);
  summary->records = PlayMetafile(page.metafile, canvas).records;
  return true;
}

}  // namespace vaultrix::platform
