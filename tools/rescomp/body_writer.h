// The body of a compiled description as it is written: records are
// reserved first and filled in afterwards, and every position is handed out
// as the buffer offset that the loader will see (body byte 0 at offset 2).
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/windows/resource_format.h"

namespace vaultrix::rescomp {

class Body {
 public:
  // The buffer offset of the next byte written.
  std::uint32_t Here() const {
    return static_cast<std::uint32_t>(bytes_.size()) + windows::rsc::kBodyOrigin;
  }

  std::uint32_t Reserve(std::uint32_t size) {
    std::uint32_t at = Here();
    bytes_.resize(bytes_.size() + size, 0);
    return at;
  }
  std::uint32_t Text(const std::string& text) {
    std::uint32_t at = Reserve(static_cast<std::uint32_t>(text.size()) + 1);
    std::memcpy(&bytes_[at - windows::rsc::kBodyOrigin], text.data(), text.size());
    return at;
  }
  void U8(std::uint32_t at, std::uint8_t value) { bytes_[at - windows::rsc::kBodyOrigin] = value; }
  void U32(std::uint32_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
      bytes_[at - windows::rsc::kBodyOrigin + i] = (value >> (8 * i)) & 0xFF;
  }
  void I32(std::uint32_t at, std::int64_t value) { U32(at, static_cast<std::uint32_t>(value)); }
  void F64(std::uint32_t at, double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    U32(at, static_cast<std::uint32_t>(bits));
    U32(at + 4, static_cast<std::uint32_t>(bits >> 32));
  }
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace vaultrix::rescomp
