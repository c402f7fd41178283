#include "view/qt_print_preview.h"

#include <QElapsedTimer>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QTimer>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace spanlab {

namespace {

// The progress box is updated at most this often: each update lets the window system in.
constexpr qint64 kProgressIntervalMs = 50;

void CopyPrinterSettings(const QPrinter& from, QPrinter& to) {
  to.setOutputFormat(from.outputFormat());
  if (from.outputFormat() == QPrinter::NativeFormat) to.setPrinterName(from.printerName());
  to.setOutputFileName(from.outputFileName());
  to.setPageLayout(from.pageLayout());
  to.setColorMode(from.colorMode());
  to.setDuplex(from.duplex());
  to.setCopyCount(from.copyCount());
  to.setFullPage(from.fullPage());
}

}  // namespace

bool PrintWithProgress(QWidget* parent, const std::function<void(const PrintProgress&)>& print) {
  QProgressDialog box("Preparing the pages...", "Cancel", 0, 1, parent);
  box.setObjectName("printProgress");
  box.setWindowTitle("Spanlab");
  box.setWindowModality(Qt::ApplicationModal);
  box.setMinimumDuration(300);
  box.setAutoReset(false);
  box.setAutoClose(false);
  QElapsedTimer sinceUpdate;
  sinceUpdate.start();
  bool cancelled = false;
  print([&](int printed, int total) {
    if (printed == 0 || sinceUpdate.elapsed() >= kProgressIntervalMs || printed == total - 1) {
      if (box.maximum() != total) box.setMaximum(total);
      box.setLabelText(QString("Preparing page %1 of %2").arg(printed + 1).arg(total));
      box.setValue(printed);  // a modal box lets the window system in here
      sinceUpdate.restart();
    }
    cancelled = box.wasCanceled();
    return !cancelled;
  });
  return !cancelled;
}

void ShowPrintPreview(QPrinter& printer, QWidget* parent, const ReportPagesPrinter& print) {
  {
    // The preview engine keeps every page it recorded until its printer is destroyed.
    QPrinter own(QPrinter::HighResolution);
    CopyPrinterSettings(printer, own);
    QPrintPreviewDialog dialog(&own, parent);
    dialog.setObjectName("printPreview");
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&dialog, &print, parent](QPrinter* target) {
                       // The first pages are drawn before the preview shows: the box stands
                       // over the window then.
                       QWidget* over = dialog.isVisible() ? &dialog : parent;
                       const bool done = PrintWithProgress(over, [&](const PrintProgress& p) {
                         print(*target, p);
                       });
                       if (!done) QTimer::singleShot(0, &dialog, &QDialog::reject);
                     });
    dialog.exec();
    printer.setPageLayout(own.pageLayout());
  }
  ReleaseFreedMemory();
}

void ReleaseFreedMemory() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}

}  // namespace spanlab
