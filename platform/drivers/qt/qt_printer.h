// The desktop driver's printer on Qt's print support: the system's default
// printer, a printer chosen by name, or a PDF file. Its capabilities come
// from the chosen device (resolution, printable area, the offsets of that
// area on the sheet); its jobs paint recorded pages onto the device.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "platform/printer.h"

namespace vaultrix::platform::qt {

class QtPrinter : public Printer {
 public:
  PrinterCaps Caps() const override;
  std::unique_ptr<PrintJob> StartDocument(const std::string& document) override;
  void Choose(const std::string& printer, const std::string& pdf_path) override;

 private:
  mutable std::mutex mutex_;
  std::string printer_name_;  // "": the system's default
  std::string pdf_path_;      // not empty: print into this file
};

// Installs a QtPrinter as the program's printer, and answers it.
std::shared_ptr<QtPrinter> InstallQtPrinter();

}  // namespace vaultrix::platform::qt
