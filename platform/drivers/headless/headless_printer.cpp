#include "platform/drivers/headless/headless_printer.h"

#include "platform/printer_pdf.h"
#include "platform/whole_file.h"

namespace vaultrix::platform {
namespace {

class HeadlessJob : public PrintJob {
 public:
  HeadlessJob(HeadlessPrinter& printer, std::string name, PrinterCaps caps, std::string pdf_path)
      : printer_(printer), caps_(caps), pdf_path_(std::move(pdf_path)) {
    document_.name = std::move(name);
  }
  int PrintPage(std::span<const std::uint8_t> metafile) override {
    document_.pages.emplace_back(metafile.begin(), metafile.end());
    return 0;
  }
  int Finish() override {
    if (finished_) return 0;
    finished_ = true;
    return printer_.Finished(std::move(document_), caps_, pdf_path_);
  }

 private:
  HeadlessPrinter& printer_;
  PrinterCaps caps_;
  std::string pdf_path_;
  PrintedDocument document_;
  bool finished_ = false;
};

}  // namespace

PrinterCaps HeadlessPrinter::Caps() const {
  std::lock_guard lock(mutex_);
  return caps_;
}

std::unique_ptr<PrintJob> HeadlessPrinter::StartDocument(const std::string& document) {
  std::lock_guard lock(mutex_);
  if (refuse_) return nullptr;
  return std::make_unique<HeadlessJob>(*this, document, caps_, pdf_path_);
}

void HeadlessPrinter::Choose(const std::string&, const std::string& pdf_path) {
  SetPdfPath(pdf_path);
}

void HeadlessPrinter::SetCaps(const PrinterCaps& caps) {
  std::lock_guard lock(mutex_);
  caps_ = caps;
}

void HeadlessPrinter::SetPdfPath(const std::string& path) {
  std::lock_guard lock(mutex_);
  pdf_path_ = path;
}

void HeadlessPrinter::SetRefuse(bool refuse) {
  std::lock_guard lock(mutex_);
  refuse_ = refuse;
}

std::vector<PrintedDocument> HeadlessPrinter::Documents() const {
  std::lock_guard lock(mutex_);
  return documents_;
}

int HeadlessPrinter::Finished(PrintedDocument document, const PrinterCaps& caps,
                              const std::string& pdf_path) {
  int error = 0;
  if (!pdf_path.empty()) {
    PdfDocument pdf(caps);
    for (const auto& page : document.pages) pdf.AddPage(page);
    error = ReplaceWholeFile(pdf_path, pdf.Bytes());
  }
  std::lock_guard lock(mutex_);
  documents_.push_back(std::move(document));
  return error;
}

HeadlessPrinter& InstallHeadlessPrinter() {
  static const std::shared_ptr<HeadlessPrinter> printer = [] {
    auto made = std::make_shared<HeadlessPrinter>();
    return made;
  }();
  InstallPrinter(printer);
  return *printer;
}

}  // namespace vaultrix::platform
