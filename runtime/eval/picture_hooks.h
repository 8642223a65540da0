// FORMAT and DEFORMAT work through display pictures, which live with the
// window engine above this layer. The window engine installs its picture
// functions here at start-up; until then FORMAT answers the value's plain
// text and DEFORMAT the text unchanged.
#pragma once

#include <string>
#include <string_view>

namespace vaultrix::eval {

// The value handed to FORMAT: its text, and its number unless it is a string.
struct FormatArgument {
  bool is_string = false;
  std::string_view text;
  double number = 0;
};

using FormatFunction = std::string (*)(const FormatArgument& value, std::string_view picture);
using DeformatFunction = std::string (*)(std::string_view text, std::string_view picture);

// Null functions restore the plain behaviour.
void InstallPictureFunctions(FormatFunction format, DeformatFunction deformat);

[[nodiscard]] std::string FormatThroughPicture(const FormatArgument& value,
                                               std::string_view picture);
[[nodiscard]] std::string DeformatThroughPicture(std::string_view text, std::string_view picture);

}  // namespace vaultrix::eval
