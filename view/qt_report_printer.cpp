#include "view/qt_report_printer.h"

#include <QPageLayout>
#include <QPaintEngine>
#include <QPainter>

#include "platform/qt_device_context.h"

namespace spanlab {

void EnsureMargins(QPagedPaintDevice& device) {
  QPageLayout layout = device.pageLayout();
  const QMarginsF mm = layout.margins(QPageLayout::Millimeter);
  const QMarginsF wanted(std::max(mm.left(), kMinimumMarginMm), std::max(mm.top(), kMinimumMarginMm),
                         std::max(mm.right(), kMinimumMarginMm),
                         std::max(mm.bottom(), kMinimumMarginMm));
  if (wanted != mm) device.setPageMargins(wanted, QPageLayout::Millimeter);
}

PrinterPage PageOf(QPagedPaintDevice& device) {
  const QPageLayout layout = device.pageLayout();
  const int dpi = device.logicalDpiY();
  const QRect full = layout.fullRectPixels(dpi);
  const QRect paint = layout.paintRectPixels(dpi);
  PrinterPage page;
  page.physicalWidth = full.width();
  page.physicalHeight = full.height();
  page.offsetX = paint.left();
  page.offsetY = paint.top();
  page.printableWidth = paint.width();
  page.printableHeight = paint.height();
  page.dpiX = device.logicalDpiX();
  page.dpiY = dpi;
  const QRectF mm = layout.fullRect(QPageLayout::Millimeter);
  page.landscape = mm.width() > mm.height();
  return page;
}

int PrintReport(QPagedPaintDevice& device, const CSPLX_30Doc& doc, PrintOptions& options,
                Prompter* prompter, const HeaderPainter& header, int fromPage, int toPage,
                const PrintProgress& progress) {
  QPainter painter;
  if (!painter.begin(&device)) return 0;
  QtDeviceContext dc(painter, true);
  // A preview records the pages rather than printing them.
  dc.SetTextWithoutStateChanges(painter.paintEngine()->type() == QPaintEngine::Picture);
  ReportPrintJob job;
  const PrinterPage page = PageOf(device);
  // The painter's origin is the printable area's corner; the layout works from there too.
  const int pages = job.Begin(dc, page, options, doc, prompter);
  const int last = toPage <= 0 ? pages : std::min(toPage, pages);
  bool first = true;
  const int start = std::max(1, fromPage);
  for (int p = start; p <= last; ++p) {
    if (progress && !progress(p - start, last - start + 1)) break;
    if (!first) device.newPage();
    first = false;
    job.PrintPage(dc, p, header);
    job.ReleasePage(p);  // each page is printed once
  }
  painter.end();
  return pages;
}

}  // namespace spanlab
