// The process-wide resources table. Modules are shared pointers so that a
// lookup in progress keeps its module alive even when another thread
// removes it from the table meanwhile.
#include "platform/resources.h"

#include <algorithm>
#include <mutex>

namespace vaultrix::platform {
namespace {

struct Table {
  std::mutex mutex;
  ResourceModulePtr program;
  std::vector<ResourceModulePtr> others;
};

Table& TheTable() {
  static Table table;
  return table;
}

char FoldCase(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

bool SameResourceName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return FoldCase(x) == FoldCase(y);
         });
}

void ResourceModule::Add(std::string_view type, std::string_view name,
                         std::span<const std::uint8_t> bytes) {
  std::vector<std::uint8_t> copy(bytes.begin(), bytes.end());
  for (Entry& entry : entries_) {
    if (SameResourceName(entry.type, type) && SameResourceName(entry.name, name)) {
      entry.bytes = std::move(copy);
      return;
    }
  }
  entries_.push_back(Entry{std::string(type), std::string(name), std::move(copy)});
}

const std::vector<std::uint8_t>* ResourceModule::Find(std::string_view type,
                                                      std::string_view name) const {
  for (const Entry& entry : entries_) {
    if (SameResourceName(entry.type, type) && SameResourceName(entry.name, name)) {
      return &entry.bytes;
    }
  }
  return nullptr;
}

void SetProgramResources(ResourceModulePtr module) {
  Table& table = TheTable();
  std::lock_guard lock(table.mutex);
  table.program = std::move(module);
}

void InstallProgramResources(std::span<const EmbeddedResource> resources) {
  auto module = std::make_shared<ResourceModule>("vaultrix");
  for (const EmbeddedResource& resource : resources) {
    module->Add(resource.type, resource.name, std::span(resource.bytes, resource.size));
  }
  SetProgramResources(std::move(module));
}

void AddResourceModule(ResourceModulePtr module) {
  if (!module) return;
  Table& table = TheTable();
  std::lock_guard lock(table.mutex);
  table.others.push_back(std::move(module));
}

void RemoveResourceModule(const ResourceModule* module) {
  Table& table = TheTable();
  std::lock_guard lock(table.mutex);
  if (table.program.get() == module) {
    table.program.reset();
    return;
  }
  std::erase_if(table.others, [module](const ResourceModulePtr& m) { return m.get() == module; });
}

std::vector<ResourceModulePtr> LoadedResourceModules() {
  Table& table = TheTable();
  std::lock_guard lock(table.mutex);
  std::vector<ResourceModulePtr> modules;
  if (table.program) modules.push_back(table.program);
  modules.insert(modules.end(), table.others.begin(), table.others.end());
  return modules;
}

}  // namespace vaultrix::platform
