// Writes the C++ source that embeds compiled descriptions, images and icons
// in the program: byte arrays and a table handed to the platform's
// resources table when the program starts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vaultrix::rescomp {

struct BundleEntry {
  std::string type;  // "DABDUMP", "IMAGE", "ICON"
  std::string name;  // "VLTRX001_RSC", "KEY3_GIF"
  std::vector<std::uint8_t> bytes;
};

[[nodiscard]] std::string WriteBundleSource(const std::vector<BundleEntry>& entries);

}  // namespace vaultrix::rescomp
