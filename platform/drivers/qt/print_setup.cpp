// The print dialog of Qt's print support, asked for set-up only.
#include "platform/drivers/qt/print_setup.h"

#ifdef VAULTRIX_QT_PRINT
#include <QtPrintSupport/QPrintDialog>
#include <QtPrintSupport/QPrinter>
#endif

#include <memory>

namespace vaultrix::platform::qt {

#ifdef VAULTRIX_QT_PRINT
QDialog* MakePrintSetupDialog(QWidget* parent, std::function<void(const PrintSetupResult&)> done) {
  auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
  auto* dialog = new QPrintDialog(printer.get(), parent);
  dialog->setWindowTitle(QStringLiteral("Print Setup"));
  // Set-up chooses a printer; the pages are the report's business.
  dialog->setOptions(QAbstractPrintDialog::PrintToFile);
  QObject::connect(dialog, &QDialog::finished, dialog, [printer, done](int result) {
    PrintSetupResult answer;
    if (result == QDialog::Accepted) {
      answer.accepted = true;
      if (printer->outputFormat() == QPrinter::PdfFormat) {
        answer.pdf_path = printer->outputFileName().toStdString();
      } else {
        answer.printer = printer->printerName().toStdString();
      }
    }
    done(answer);
  });
  return dialog;
}
#else
QDialog* MakePrintSetupDialog(QWidget*, std::function<void(const PrintSetupResult&)>) {
  return nullptr;
}
#endif

}  // namespace vaultrix::platform::qt
