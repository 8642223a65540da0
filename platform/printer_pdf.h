// Renders recorded pages into a PDF file, so that printing can go to a file
// on any driver and what was printed can be read back with ordinary tools.
// Texts are drawn in the standard sans-serif face (bold for heavy fonts) at
// their recorded places and sizes; lines as strokes.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/printer.h"

namespace vaultrix::platform {

class PdfDocument {
 public:
  explicit PdfDocument(const PrinterCaps& printer) : printer_(printer) {}
  // Adds one page from a metafile recorded for this printer.
  void AddPage(std::span<const std::uint8_t> metafile);
  std::size_t page_count() const { return pages_.size(); }
  // The whole PDF file.
  [[nodiscard]] std::string Bytes() const;

 private:
  PrinterCaps printer_;
  std::vector<std::string> pages_;  // content streams
};

}  // namespace vaultrix::platform
