#include "platform/drivers/headless/printer_command.h"

#include <charconv>

#include "platform/drivers/headless/headless_printer.h"

namespace vaultrix::platform::headless {
namespace {

bool Whole(const std::string& text, std::int32_t low, std::int32_t* value) {
  const char* end = text.data() + text.size();
  const auto parsed = std::from_chars(text.data(), end, *value);
  return parsed.ec == std::errc() && parsed.ptr == end && *value >= low && *value <= 0x7FFF;
}

}  // namespace

bool RunPrinterCommand(const std::vector<std::string>& arguments, std::string* error) {
  HeadlessPrinter& printer = InstallHeadlessPrinter();
  if (arguments.size() == 2 && arguments[0] == "pdf") {
    printer.SetPdfPath(arguments[1]);
    return true;
  }
  if (arguments.size() == 1 && arguments[0] == "memory") {
    printer.SetPdfPath("");
    return true;
  }
  PrinterCaps caps;
  if (arguments.size() == 6 && Whole(arguments[0], 1, &caps.logpixels_x) &&
      Whole(arguments[1], 1, &caps.logpixels_y) && Whole(arguments[2], 1, &caps.horzres) &&
      Whole(arguments[3], 1, &caps.vertres) && Whole(arguments[4], 0, &caps.offset_x) &&
      Whole(arguments[5], 0, &caps.offset_y)) {
    printer.SetCaps(caps);
    return true;
  }
  *error = "usage: printer DPI_X DPI_Y WIDTH HEIGHT OFFSET_X OFFSET_Y | printer pdf PATH | printer memory";
  return false;
}

}  // namespace vaultrix::platform::headless
