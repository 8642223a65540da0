// The headless driver's printer: a fixed profile (600 dots per inch, Letter,
// a quarter-inch unprintable margin) that scripts and tests may change, and
// print jobs that are kept in memory and, when a PDF file is named, written
// there as well.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/printer.h"

namespace vaultrix::platform {

struct PrintedDocument {
  std::string name;
  std::vector<std::vector<std::uint8_t>> pages;  // metafiles as printed
};

class HeadlessPrinter : public Printer {
 public:
  PrinterCaps Caps() const override;
  std::unique_ptr<PrintJob> StartDocument(const std::string& document) override;
  // Only a PDF file can be chosen here; a printer name prints into memory alone.
  void Choose(const std::string& printer, const std::string& pdf_path) override;

  void SetCaps(const PrinterCaps& caps);
  // Print into this PDF file from now on ("" stops it).
  void SetPdfPath(const std::string& path);
  // While refusing, StartDocument fails as a printer that cannot be opened.
  void SetRefuse(bool refuse);
  [[nodiscard]] std::vector<PrintedDocument> Documents() const;

  // Called by its jobs.
  [[nodiscard]] int Finished(PrintedDocument document, const PrinterCaps& caps,
                             const std::string& pdf_path);

 private:
  mutable std::mutex mutex_;
  PrinterCaps caps_ = kLetterAt600Dpi;
  std::string pdf_path_;
  bool refuse_ = false;
  std::vector<PrintedDocument> documents_;
};

// The printer the headless driver installs; made and installed on first use.
HeadlessPrinter& InstallHeadlessPrinter();

}  // namespace vaultrix::platform
