// The resources table: named blocks of bytes (window descriptions, images,
// icons, string tables) grouped into modules. The program's own module,
// which the build embeds in the executable, always comes first; further
// modules can be added and removed at run time. Types and names compare
// without regard to case.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vaultrix::platform {

// One resource as the build embeds it: static bytes, never freed.
struct EmbeddedResource {
  const char* type;
  const char* name;
  const unsigned char* bytes;
  std::size_t size;
};

class ResourceModule {
 public:
  explicit ResourceModule(std::string name) : name_(std::move(name)) {}

  const std::string& name() const { return name_; }

  // Adds (or replaces) a resource; the bytes are copied.
  void Add(std::string_view type, std::string_view name, std::span<const std::uint8_t> bytes);

  // The bytes of a resource, or nullptr when the module has none of that
  // type and name. They live as long as the module.
  [[nodiscard]] const std::vector<std::uint8_t>* Find(std::string_view type,
                                                      std::string_view name) const;

 private:
  struct Entry {
    std::string type;
    std::string name;
    std::vector<std::uint8_t> bytes;
  };
  std::string name_;
  std::vector<Entry> entries_;
};

using ResourceModulePtr = std::shared_ptr<const ResourceModule>;

// Makes `module` the program's module (replacing any earlier one).
void SetProgramResources(ResourceModulePtr module);

// Builds the program's module from the resources the build embedded.
void InstallProgramResources(std::span<const EmbeddedResource> resources);

// Adds a module after the program's and any added before it.
void AddResourceModule(ResourceModulePtr module);

// Removes a module added earlier (or the program's); unknown modules are ignored.
void RemoveResourceModule(const ResourceModule* module);

// The loaded modules, the program's first. The snapshot keeps them alive
// while the caller looks through them.
[[nodiscard]] std::vector<ResourceModulePtr> LoadedResourceModules();

// Compares two names as resource names do: ASCII letters without regard to case.
[[nodiscard]] bool SameResourceName(std::string_view a, std::string_view b);

}  // namespace vaultrix::platform
