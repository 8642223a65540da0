// The resource compiler: turns a window description source into the bytes of
// the module's "DABDUMP" resource (layout in runtime/windows/resource_format.h,
// source syntax in resources/FORMAT.md).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/rescomp/source_reader.h"

namespace vaultrix::rescomp {

struct CompiledModule {
  std::string module_name;          // as the source names it, "VAULTRIX$vltrx001"
  std::string resource_name;        // "VLTRX001_RSC"
  std::vector<std::uint8_t> bytes;  // module name, NUL, body
};

[[nodiscard]] bool CompileSource(std::string_view source, CompiledModule* module,
                                 SourceError* error);

// "VAULTRIX$vltrx001" -> "VLTRX001_RSC"; a name without "$" is used whole.
[[nodiscard]] std::string ResourceNameOfModule(std::string_view module_name);

// "~key3.gif" -> "KEY3_GIF": upper case, "." becomes "_", a leading "~" goes.
[[nodiscard]] std::string ResourceNameOfFile(std::string_view file_name);

}  // namespace vaultrix::rescomp
