// Feeds arbitrary bytes to the window description loader as a "DABDUMP"
// resource. The resource's own leading name is used as the module name, so
// that the fuzzer reaches the body, and every structure of the chain is read
// with a few use addresses to bind.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>

#include "runtime/windows/description_finder.h"
#include "runtime/windows/description_view.h"
#include "runtime/windows/resource_format.h"

namespace {

using vaultrix::windows::LoadedDescription;
using vaultrix::windows::ResourceStatus;
namespace rsc = vaultrix::windows::rsc;

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::uint32_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::span<const std::uint8_t> resource(data, size);
  std::size_t name_length = size ? strnlen(reinterpret_cast<const char*>(data), size) : 0;
  std::string module(reinterpret_cast<const char*>(data), name_length);
  // Look for a structure that is not there: this walks the whole chain.
  LoadedDescription found;
  (void)vaultrix::windows::FindInResource(resource, module, "\x01", &found);
  if (name_length >= size) return 0;

  // Read every structure whose name the chain gives, as the window engine would.
  std::vector<std::uint8_t> buffer(rsc::kBodyOrigin, 0);
  buffer.insert(buffer.end(), data + name_length + 1, data + size);
  if (buffer.size() < rsc::kBodyOrigin + 4) return 0;
  std::uint32_t a = 0, b = 0, c = 0;
  void* addresses[] = {&a, &b, &c};
  std::uint32_t record = U32(buffer, rsc::kBodyOrigin);
  for (int i = 0;
       i < 16 && record >= rsc::kBodyOrigin && std::uint64_t{record} + 5 <= buffer.size(); ++i) {
    vaultrix::windows::WindowView view;
    (void)vaultrix::windows::ReadWindowDescription(buffer, record, addresses, &view);
    record = U32(buffer, record + rsc::kNextAt);
  }
  return 0;
}
