#include "view/qt_exports.h"

#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <cctype>

#include "platform/qt_device_context.h"
#include "view/qt_report_printer.h"

namespace spanlab {

namespace {

constexpr int kScreenDpi = 96;

bool EndsWith(const std::string& s, const char* suffix) {
  const std::string t(suffix);
  if (s.size() < t.size()) return false;
  std::string tail = s.substr(s.size() - t.size());
  for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return tail == t;
}

void Paint(QPainter& painter, const ModelRun& doc, ResultsViewState& state) {
  painter.fillRect(0, 0, state.m_cxClient, state.m_cyClient, Qt::white);
  QtDeviceContext dc(painter, false);
  PaintResultsView(dc, doc, state);
}

}  // namespace

std::string WritePicture(const ModelRun& doc, ResultsViewState state, const std::string& path) {
  const QString file = ToQString(path);
  const int w = state.m_cxClient, h = state.m_cyClient;
  const std::string failed = "cannot write '" + path + "'";
  if (EndsWith(path, ".png")) {
    QImage image(w, h, QImage::Format_RGB32);
    const int dotsPerMeter = static_cast<int>(kScreenDpi / 0.0254 + 0.5);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    {
      QPainter painter(&image);
      Paint(painter, doc, state);
    }
    return image.save(file, "PNG") ? std::string() : failed;
  }
  if (EndsWith(path, ".svg")) {
    QSvgGenerator svg;
    svg.setFileName(file);
    svg.setSize(QSize(w, h));
    svg.setViewBox(QRect(0, 0, w, h));
    svg.setResolution(kScreenDpi);
    svg.setTitle("Spanlab");
    QPainter painter;
    if (!painter.begin(&svg)) return failed;
    Paint(painter, doc, state);
    return painter.end() ? std::string() : failed;
  }
  if (EndsWith(path, ".pdf")) {
    QPdfWriter pdf(file);
    pdf.setResolution(kScreenDpi);
    pdf.setPageSize(QPageSize(QSizeF(w * 72.0 / kScreenDpi, h * 72.0 / kScreenDpi),
                              QPageSize::Point, QString(), QPageSize::ExactMatch));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setCreator("Spanlab");
    QPainter painter;
    if (!painter.begin(&pdf)) return failed;
    Paint(painter, doc, state);
    return painter.end() ? std::string() : failed;
  }
  return "the picture file must end in .png, .svg or .pdf: '" + path + "'";
}

QPageLayout ReportPageLayout(bool letter, bool landscape) {
  return QPageLayout(QPageSize(letter ? QPageSize::Letter : QPageSize::A4),
                     landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                     QMarginsF(kMinimumMarginMm, kMinimumMarginMm, kMinimumMarginMm,
                               kMinimumMarginMm),
                     QPageLayout::Millimeter);
}

std::string WriteReportPdf(const CSPLX_30Doc& doc, PrintOptions& options, Prompter& prompter,
                           const HeaderPainter& header, const std::string& path,
                           const QPageLayout& layout) {
  if (!EndsWith(path, ".pdf")) return "the report is written as PDF: '" + path + "'";
  QPdfWriter pdf(ToQString(path));
  pdf.setResolution(1200);
  pdf.setPageLayout(layout);
  pdf.setCreator("Spanlab 3.20");
  pdf.setTitle(ToQString(doc.GetTitle()));
  EnsureMargins(pdf);
  if (PrintReport(pdf, doc, options, &prompter, header) == 0) {
    return "cannot write '" + path + "'";
  }
  return {};
}

}  // namespace spanlab
