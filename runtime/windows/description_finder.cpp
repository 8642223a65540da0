// The lookup of a description by module and structure name.
#include "runtime/windows/description_finder.h"

#include <cstring>

#include "runtime/windows/resource_format.h"

namespace vaultrix::windows {
namespace {

std::uint32_t ReadU32(const std::vector<std::uint8_t>& b, std::uint32_t at) {
  return static_cast<std::uint32_t>(b[at]) | (std::uint32_t{b[at + 1]} << 8) |
         (std::uint32_t{b[at + 2]} << 16) | (std::uint32_t{b[at + 3]} << 24);
}

}  // namespace

std::string DescriptionResourceName(std::string_view module_name) {
  std::size_t dollar = module_name.find('$');
  std::string name(dollar == std::string_view::npos ? module_name : module_name.substr(dollar + 1));
  name += rsc::kResourceNameSuffix;
  return name;
}

ResourceStatus FindInResource(std::span<const std::uint8_t> resource, std::string_view module_name,
                              std::string_view structure_name, LoadedDescription* description) {
  if (resource.empty()) return ResourceStatus::kDamaged;
  const void* nul = std::memchr(resource.data(), 0, resource.size());
  if (!nul) return ResourceStatus::kDamaged;
  std::size_t name_length = static_cast<const std::uint8_t*>(nul) - resource.data();
  std::string_view leading(reinterpret_cast<const char*>(resource.data()), name_length);
  if (!platform::SameResourceName(leading, module_name)) return ResourceStatus::kNotFound;

  std::span<const std::uint8_t> body = resource.subspan(name_length + 1);
  std::vector<std::uint8_t> buffer(rsc::kBodyOrigin, 0);
  buffer.insert(buffer.end(), body.begin(), body.end());
  if (buffer.size() < rsc::kBodyOrigin + 4) return ResourceStatus::kDamaged;
  std::vector<bool> visited(buffer.size(), false);
  std::uint32_t record = ReadU32(buffer, rsc::kBodyOrigin);
  while (record) {
    if (record < rsc::kBodyOrigin || record > buffer.size() ||
        buffer.size() - record < rsc::kWindowSize || visited[record]) {
      return ResourceStatus::kDamaged;
    }
    visited[record] = true;
    std::uint32_t name = ReadU32(buffer, record + rsc::kWindowStructureNameAt);
    if (name >= rsc::kBodyOrigin && name < buffer.size()) {
      const char* text = reinterpret_cast<const char*>(buffer.data() + name);
      std::size_t length = strnlen(text, buffer.size() - name);
      if (length < buffer.size() - name &&
          platform::SameResourceName(std::string_view(text, length), structure_name)) {
        description->buffer = std::move(buffer);
        description->record = record;
        return ResourceStatus::kOk;
      }
    }
    record = ReadU32(buffer, record + rsc::kNextAt);
  }
  return ResourceStatus::kNotFound;
}

ResourceStatus FindWindowDescription(std::string_view module_name, std::string_view structure_name,
                                     LoadedDescription* description) {
  std::string resource_name = DescriptionResourceName(module_name);
  ResourceStatus outcome = ResourceStatus::kNotFound;
  for (const platform::ResourceModulePtr& module : platform::LoadedResourceModules()) {
    const std::vector<std::uint8_t>* bytes = module->Find(rsc::kResourceType, resource_name);
    if (!bytes) continue;
    ResourceStatus status = FindInResource(*bytes, module_name, structure_name, description);
    if (status == ResourceStatus::kOk) {
      description->module = module;
      return status;
    }
    if (status == ResourceStatus::kDamaged) outcome = status;
  }
  return outcome;
}

}  // namespace vaultrix::windows
