#include "platform/drivers/qt/qt_printer.h"

#ifdef VAULTRIX_QT_PRINT
#include <QtPrintSupport/QPrinter>
#include <QtPrintSupport/QPrinterInfo>
#endif

#include "platform/drivers/qt/page_painter.h"

namespace vaultrix::platform::qt {

#ifdef VAULTRIX_QT_PRINT
namespace {

std::unique_ptr<QPrinter> MakeDevice(const std::string& name, const std::string& pdf_path) {
  auto device = std::make_unique<QPrinter>(QPrinter::HighResolution);
  if (!pdf_path.empty()) {
    device->setOutputFormat(QPrinter::PdfFormat);
    device->setOutputFileName(QString::fromStdString(pdf_path));
  } else if (!name.empty()) {
    device->setPrinterName(QString::fromStdString(name));
  }
  return device;
}

PrinterCaps CapsOf(QPrinter& device) {
  const int dpi = device.resolution();
  const QPageLayout layout = device.pageLayout();
  const QRect full = layout.fullRectPixels(dpi);
  const QRect paint = layout.paintRectPixels(dpi);
  PrinterCaps caps;
  caps.logpixels_x = caps.logpixels_y = dpi;
  caps.horzres = paint.width();
  caps.vertres = paint.height();
  caps.offset_x = paint.left() - full.left();
  caps.offset_y = paint.top() - full.top();
  return caps;
}

class QtPrintJob : public PrintJob {
 public:
  explicit QtPrintJob(std::unique_ptr<QPrinter> device) : device_(std::move(device)) {}
  ~QtPrintJob() override { (void)Finish(); }

  int PrintPage(std::span<const std::uint8_t> metafile) override {
    if (!painter_.isActive()) {
      if (!painter_.begin(device_.get())) return EIO;
    } else if (!device_->newPage()) {
      return EIO;
    }
    // The painter's origin is the printable area's top left, as the page's.
    const PrinterCaps caps = CapsOf(*device_);
    PaintMetafile(painter_, metafile, QRect(0, 0, caps.horzres, caps.vertres));
    return 0;
  }

  int Finish() override {
    if (painter_.isActive() && !painter_.end()) return EIO;
    return 0;
  }

 private:
  std::unique_ptr<QPrinter> device_;
  QPainter painter_;
};

}  // namespace

PrinterCaps QtPrinter::Caps() const {
  std::lock_guard lock(mutex_);
  return CapsOf(*MakeDevice(printer_name_, pdf_path_));
}

std::unique_ptr<PrintJob> QtPrinter::StartDocument(const std::string& document) {
  std::lock_guard lock(mutex_);
  if (pdf_path_.empty() && QPrinterInfo::availablePrinters().isEmpty()) return nullptr;
  auto device = MakeDevice(printer_name_, pdf_path_);
  if (!device->isValid()) return nullptr;
  device->setDocName(QString::fromStdString(document));
  return std::make_unique<QtPrintJob>(std::move(device));
}

#else
PrinterCaps QtPrinter::Caps() const { return kLetterAt600Dpi; }
std::unique_ptr<PrintJob> QtPrinter::StartDocument(const std::string&) { return nullptr; }
#endif

void QtPrinter::Choose(const std::string& printer, const std::string& pdf_path) {
  std::lock_guard lock(mutex_);
  printer_name_ = printer;
  pdf_path_ = pdf_path;
}

std::shared_ptr<QtPrinter> InstallQtPrinter() {
  auto printer = std::make_shared<QtPrinter>();
  InstallPrinter(printer);
  return printer;
}

}  // namespace vaultrix::platform::qt
