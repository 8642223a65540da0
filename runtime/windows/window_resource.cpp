// Loading operations and the deferred lookup of the description.
#include "runtime/windows/window_resource.h"

#include <utility>

namespace vaultrix::windows {

WindowResource::WindowResource(WindowKind kind, std::string_view module_name,
                               std::string_view structure_name, std::vector<void*> use_addresses)
    : kind_(kind),
      module_name_(module_name),
      structure_name_(structure_name),
      use_addresses_(std::move(use_addresses)) {}

ResourceStatus WindowResource::Load() {
  loaded_ = false;
  view_ = WindowView();
  description_ = LoadedDescription();
  LoadedDescription found;
  ResourceStatus status = FindWindowDescription(module_name_, structure_name_, &found);
  if (status != ResourceStatus::kOk) return status;
  description_ = std::move(found);
  status = ReadWindowDescription(description_.buffer, description_.record, use_addresses_, &view_);
  if (status != ResourceStatus::kOk) {
    view_ = WindowView();
    description_ = LoadedDescription();
    return status;
  }
  loaded_ = true;
  return status;
}

void OpenWindowResource(std::unique_ptr<WindowResource>* window, WindowKind kind,
                        std::string_view module_name, std::string_view structure_name,
                        std::initializer_list<void*> use_addresses) {
  if (!window) return;
  std::vector<void*> addresses;
  for (void* address : use_addresses) {
    if (!address) break;
    addresses.push_back(address);
  }
  *window =
      std::make_unique<WindowResource>(kind, module_name, structure_name, std::move(addresses));
}

}  // namespace vaultrix::windows
