#include "platform/printer_pdf.h"

#include <cstdio>

#include "platform/metafile_player.h"

namespace vaultrix::platform {
namespace {

// PDF text strings take the page's single-byte characters, with the
// delimiters escaped and everything outside printable ASCII in octal.
std::string PdfString(std::string_view bytes) {
  std::string out = "(";
  for (char c : bytes) {
    const auto code = static_cast<unsigned char>(c);
    if (c == '(' || c == ')' || c == '\\') {
      out += '\\';
      out += c;
    } else if (code < 0x20 || code >= 0x7F) {
      char octal[8];
      std::snprintf(octal, sizeof octal, "\\%03o", code);
      out += octal;
    } else {
      out += c;
    }
  }
  return out + ")";
}

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

class PdfCanvas : public MetafileCanvas {
 public:
  explicit PdfCanvas(const PrinterCaps& printer) : printer_(printer) {}

  void Window(std::int16_t x, std::int16_t y, std::int16_t width, std::int16_t height) override {
    org_x_ = x;
    org_y_ = y;
    if (width != 0) scale_x_ = static_cast<double>(printer_.horzres) / width;
    if (height != 0) scale_y_ = static_cast<double>(printer_.vertres) / height;
  }

  void Text(std::int16_t x, std::int16_t y, const std::string& text, const MetafileFont& font,
            const MetafileRect*) override {
    const double size = font.height * scale_y_ * 72.0 / printer_.logpixels_y;
    // The recorded place is the text's top; PDF places its baseline.
    const double baseline = PointsY(y) - size * 0.8;
    stream_ += "BT /" + std::string(font.weight >= 600 ? "F2 " : "F1 ") + Number(size) + " Tf " +
               Number(PointsX(x)) + " " + Number(baseline) + " Td " +
               PdfString(ToMetafileText(text)) + " Tj ET\n";
  }

  void Line(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2) override {
    stream_ += Number(PointsX(x1)) + " " + Number(PointsY(y1)) + " m " + Number(PointsX(x2)) + " " +
               Number(PointsY(y2)) + " l S\n";
  }

  std::string& stream() { return stream_; }

 private:
  double PointsX(std::int16_t x) const {
    return ((x - org_x_) * scale_x_ + printer_.offset_x) * 72.0 / printer_.logpixels_x;
  }
  double PointsY(std::int16_t y) const {
    const double sheet = (printer_.vertres + 2.0 * printer_.offset_y) * 72.0 / printer_.logpixels_y;
    return sheet - ((y - org_y_) * scale_y_ + printer_.offset_y) * 72.0 / printer_.logpixels_y;
  }

  PrinterCaps printer_;
  std::int16_t org_x_ = 0, org_y_ = 0;
  double scale_x_ = 1, scale_y_ = 1;
  std::string stream_;
};

}  // namespace

void PdfDocument::AddPage(std::span<const std::uint8_t> metafile) {
  PdfCanvas canvas(printer_);
  (void)PlayMetafile(metafile, canvas);
  pages_.push_back(std::move(canvas.stream()));
}

std::string PdfDocument::Bytes() const {
  // Objects: 1 catalog, 2 page tree, 3 and 4 fonts, then a page and its
  // content stream for every page.
  std::vector<std::string> objects;
  const double width = (printer_.horzres + 2.0 * printer_.offset_x) * 72.0 / printer_.logpixels_x;
  const double height = (printer_.vertres + 2.0 * printer_.offset_y) * 72.0 / printer_.logpixels_y;
  std::string kids;
  for (std::size_t i = 0; i < pages_.size(); ++i) kids += std::to_string(5 + 2 * i) + " 0 R ";
  objects.push_back("<< /Type /Catalog /Pages 2 0 R >>");
  objects.push_back("<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages_.size()) +
                    " >>");
  objects.push_back("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>");
  objects.push_back(
      "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica-Bold /Encoding /WinAnsiEncoding >>");
  for (std::size_t i = 0; i < pages_.size(); ++i) {
    objects.push_back("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + Number(width) + " " +
                      Number(height) + "] /Resources << /Font << /F1 3 0 R /F2 4 0 R >> >> /Contents " +
                      std::to_string(6 + 2 * i) + " 0 R >>");
    objects.push_back("<< /Length " + std::to_string(pages_[i].size()) + " >>\nstream\n" + pages_[i] +
                      "endstream");
  }
  std::string out = "%PDF-1.4\n";
  std::vector<std::size_t> offsets;
  for (std::size_t i = 0; i < objects.size(); ++i) {
    offsets.push_back(out.size());
    out += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
  }
  const std::size_t xref = out.size();
  out += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
  for (std::size_t offset : offsets) {
    char line[24];
    std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
    out += line;
  }
  out += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
         std::to_string(xref) + "\n%%EOF\n";
  return out;
}

}  // namespace vaultrix::platform
