#include "platform/printer.h"

#include <mutex>

namespace vaultrix::platform {
namespace {

std::mutex printer_mutex;
std::shared_ptr<Printer> installed_printer;

}  // namespace

void InstallPrinter(std::shared_ptr<Printer> printer) {
  std::lock_guard lock(printer_mutex);
  installed_printer = std::move(printer);
}

std::shared_ptr<Printer> CurrentPrinter() {
  std::lock_guard lock(printer_mutex);
  return installed_printer;
}

}  // namespace vaultrix::platform
