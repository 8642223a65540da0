// The script command that changes the headless printer:
//
//   printer DPI_X DPI_Y WIDTH HEIGHT OFFSET_X OFFSET_Y   its profile, in printer pixels
//   printer pdf PATH                                    print into this PDF file
//   printer memory                                      print into memory only
#pragma once

#include <string>
#include <vector>

namespace vaultrix::platform::headless {

// `arguments` are the words after "printer"; false with `*error` set when
// they are not one of the forms above.
[[nodiscard]] bool RunPrinterCommand(const std::vector<std::string>& arguments, std::string* error);

}  // namespace vaultrix::platform::headless
