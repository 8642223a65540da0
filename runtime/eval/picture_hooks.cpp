// The installed picture functions of FORMAT and DEFORMAT.
#include "runtime/eval/picture_hooks.h"

namespace vaultrix::eval {
namespace {

FormatFunction installed_format = nullptr;
DeformatFunction installed_deformat = nullptr;

}  // namespace

void InstallPictureFunctions(FormatFunction format, DeformatFunction deformat) {
  installed_format = format;
  installed_deformat = deformat;
}

std::string FormatThroughPicture(const FormatArgument& value, std::string_view picture) {
  if (installed_format != nullptr) return installed_format(value, picture);
  return std::string(value.text);
}

std::string DeformatThroughPicture(std::string_view text, std::string_view picture) {
  if (installed_deformat != nullptr) return installed_deformat(text, picture);
  return std::string(text);
}

}  // namespace vaultrix::eval
