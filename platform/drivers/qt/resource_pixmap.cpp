// Resource bytes decoded by Qt's image readers (GIF and ICO among them).
#include "platform/drivers/qt/resource_pixmap.h"

#include "platform/resources.h"

namespace vaultrix::platform::qt {

QPixmap ResourcePixmap(const char* type, const std::string& name) {
  QPixmap pixmap;
  if (name.empty()) return pixmap;
  for (const ResourceModulePtr& module : LoadedResourceModules()) {
    const std::vector<std::uint8_t>* bytes = module->Find(type, name);
    if (bytes == nullptr) continue;
    if (pixmap.loadFromData(bytes->data(), static_cast<unsigned>(bytes->size()))) return pixmap;
  }
  return pixmap;
}

}  // namespace vaultrix::platform::qt
