// Icons and images of the program's resources as pixmaps.
#pragma once

#include <QtGui/QPixmap>

#include <string>

namespace vaultrix::platform::qt {

// The resource of that type and name from the loaded resource modules, the
// program's first; a null pixmap when none holds it or it is no image.
[[nodiscard]] QPixmap ResourcePixmap(const char* type, const std::string& name);

}  // namespace vaultrix::platform::qt
