// Finding a window or report description among the loaded resource modules:
// the module's "DABDUMP" resource is named after the text of the module name
// after its first "$" with "_RSC" appended; a resource whose leading module
// name differs belongs to another program and is passed over.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/resources.h"
#include "runtime/windows/description_view.h"

namespace vaultrix::windows {

// The runtime's current description: the body at offset 2 of `buffer` (byte
// 0 is 0, so that offset 0 means "none"), and the structure's record.
struct LoadedDescription {
  std::vector<std::uint8_t> buffer;
  platform::ResourceModulePtr module;  // where it was found: its named resources (icons, images)
  std::uint32_t record = 0;
};

// "VAULTRIX$vltrx001" -> "vltrx001_RSC"; a name without "$" is used whole.
[[nodiscard]] std::string DescriptionResourceName(std::string_view module_name);

// Looks through the modules, the program's first, for structure `structure_name`
// of module `module_name`. kNotFound when no module holds it; kDamaged when
// it is nowhere else and a module that should hold it has a broken chain.
[[nodiscard]] ResourceStatus FindWindowDescription(std::string_view module_name,
                                                   std::string_view structure_name,
                                                   LoadedDescription* description);

// The same search over one resource's bytes (module name, NUL, body).
[[nodiscard]] ResourceStatus FindInResource(std::span<const std::uint8_t> resource,
                                            std::string_view module_name,
                                            std::string_view structure_name,
                                            LoadedDescription* description);

}  // namespace vaultrix::windows
