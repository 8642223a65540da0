// Encoding and checking of the HVN file header.
#include "runtime/files/hvn/pages/header.h"

#include <cstring>

namespace vaultrix::files::hvn {

void EncodeHeader(const FileHeader& header, std::uint8_t* out) {
  std::memset(out, 0, kHeaderSize);
  Store16(out + 4, static_cast<std::uint16_t>(kHeaderSize));
  Store32(out + 6, header.committed_end);
  Store32(out + 10, header.written_end);
  Store32(out + 14, kMagic);
  StoreBig32(out + 20, header.last_number);
  Store32(out + 24, header.change_counter);
  Store32(out + 28, static_cast<std::uint32_t>(header.root));
  for (int k = 0; k < 60; ++k) {
    Store32(out + 32 + 4 * k, static_cast<std::uint32_t>(header.region_start[k]));
    Store32(out + 272 + 4 * k, static_cast<std::uint32_t>(header.region_end[k]));
  }
}

bool DecodeHeader(const std::uint8_t* ptr, const std::uint8_t* limit, FileHeader* header) {
  if (limit - ptr < static_cast<std::ptrdiff_t>(kHeaderSize)) return false;
  if (Load32(ptr + 14) != kMagic) return false;
  header->committed_end = Load32(ptr + 6);
  header->written_end = Load32(ptr + 10);
  header->last_number = LoadBig32(ptr + 20);
  header->change_counter = Load32(ptr + 24);
  header->root = static_cast<std::int32_t>(Load32(ptr + 28));
  for (int k = 0; k < 60; ++k) {
    header->region_start[k] = static_cast<std::int32_t>(Load32(ptr + 32 + 4 * k));
    header->region_end[k] = static_cast<std::int32_t>(Load32(ptr + 272 + 4 * k));
  }
  return true;
}

bool CheckRegions(const FileHeader& header) {
  // Entry 0 describes no page size, and an empty region holds no page, so
  // neither is looked at: writers leave them as they please (0, -1, or where
  // the region once was).
  std::int32_t previous_end = 0;
  for (int k = 1; k <= kMaxUnits; ++k) {
    const std::int32_t start = header.region_start[k];
    const std::int32_t end = header.region_end[k];
    if (start == end) continue;
    if (start < 0 || end < start) return false;
    if ((end - start) % k != 0) return false;
    if (start < previous_end) return false;
    if (end >
        (0x7FFFFFFF - static_cast<std::int32_t>(kHeaderSize)) / static_cast<std::int32_t>(kUnit)) {
      return false;
    }
    previous_end = end;
  }
  return true;
}

int UnitsAt(const FileHeader& header, std::int32_t reference) {
  if (reference < 0) return 0;
  for (int k = 1; k <= kMaxUnits; ++k) {
    if (header.region_start[k] <= reference && reference < header.region_end[k]) {
      return (reference - header.region_start[k]) % k == 0 ? k : 0;
    }
  }
  return 0;
}

std::int32_t DataEndReference(const FileHeader& header) {
  std::int32_t end = 0;
  for (int k = 1; k <= kMaxUnits; ++k) {
    if (header.region_start[k] < header.region_end[k] && header.region_end[k] > end) {
      end = header.region_end[k];
    }
  }
  return end;
}

}  // namespace vaultrix::files::hvn
