// Printers as the report engine sees them: the device capabilities that lay
// a page out (resolution, printable size, the physical offsets of the
// printable area) and a print job that takes recorded pages.
//
// Each display driver installs the printer its user chose (the desktop: a
// system printer or a PDF file; headless: a fixed profile that a script can
// change). Without an installed printer no report can be opened.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace vaultrix::platform {

struct PrinterCaps {
  std::int32_t logpixels_x = 600;  // dots per inch
  std::int32_t logpixels_y = 600;
  std::int32_t horzres = 4800;  // printable pixels
  std::int32_t vertres = 6300;
  std::int32_t offset_x = 150;  // physical offset of the printable area, pixels
  std::int32_t offset_y = 150;
};

// The headless driver's printer: 600 dots per inch, Letter paper, a quarter
// of an inch unprintable all round.
inline constexpr PrinterCaps kLetterAt600Dpi{};

// One print job. Pages are metafiles (without placeable header) whose window
// extent is the printable area in printer pixels.
class PrintJob {
 public:
  virtual ~PrintJob() = default;
  // Answers 0, or an error number when the page could not be sent.
  [[nodiscard]] virtual int PrintPage(std::span<const std::uint8_t> metafile) = 0;
  // Ends the document; answers 0 or an error number.
  [[nodiscard]] virtual int Finish() = 0;
};

class Printer {
 public:
  virtual ~Printer() = default;
  [[nodiscard]] virtual PrinterCaps Caps() const = 0;
  // Starts a document named `document`; nullptr when the device cannot be opened.
  [[nodiscard]] virtual std::unique_ptr<PrintJob> StartDocument(const std::string& document) = 0;
  // The user's choice in the printer set-up dialog: a printer by name ("" the
  // default) or, when `pdf_path` is not empty, a PDF file to print into.
  virtual void Choose(const std::string& /*printer*/, const std::string& /*pdf_path*/) {}
};

// The installed printer (shared, so a job in progress keeps it alive).
void InstallPrinter(std::shared_ptr<Printer> printer);
[[nodiscard]] std::shared_ptr<Printer> CurrentPrinter();

}  // namespace vaultrix::platform
