#include "cli/qt_pictures.h"

#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <cstdio>
#include <memory>

#include "platform/qt_device_context.h"
#include "view/qt_report_printer.h"

namespace spanlab {

namespace {

constexpr int kScreenDpi = 96;

// Qt's notes about the session (no runtime folder on a server) are not the user's business.
void QuietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtWarningMsg && message.startsWith("QStandardPaths:")) return;
  fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

// Fonts need a GUI application; without a display it runs on the offscreen platform.
void EnsureGuiApplication() {
  if (QGuiApplication::instance()) return;
  qInstallMessageHandler(QuietMessages);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "spanlab-cli";
  static char* argv[] = {name, nullptr};
  static QGuiApplication* app = new QGuiApplication(argc, argv);
  (void)app;
}

bool EndsWith(const std::string& s, const char* suffix) {
  const std::string t(suffix);
  if (s.size() < t.size()) return false;
  std::string tail = s.substr(s.size() - t.size());
  for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return tail == t;
}

void Paint(QPainter& painter, CSPLX_30Doc& doc, ResultsViewState& state) {
  painter.fillRect(0, 0, state.m_cxClient, state.m_cyClient, Qt::white);
  QtDeviceContext dc(painter, false);
  PaintResultsView(dc, doc, state);
}

}  // namespace

std::string WritePlot(CSPLX_30Doc& doc, ResultsViewState state, const std::string& path) {
  EnsureGuiApplication();
  const QString file = ToQString(path);
  const int w = state.m_cxClient, h = state.m_cyClient;
  if (EndsWith(path, ".png")) {
    QImage image(w, h, QImage::Format_RGB32);
    const int dotsPerMeter = static_cast<int>(kScreenDpi / 0.0254 + 0.5);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    {
      QPainter painter(&image);
      Paint(painter, doc, state);
    }
    if (!image.save(file, "PNG")) return "cannot write '" + path + "'";
    return {};
  }
  if (EndsWith(path, ".svg")) {
    QSvgGenerator svg;
    svg.setFileName(file);
    svg.setSize(QSize(w, h));
    svg.setViewBox(QRect(0, 0, w, h));
    svg.setResolution(kScreenDpi);
    svg.setTitle("Spanlab");
    QPainter painter;
    if (!painter.begin(&svg)) return "cannot write '" + path + "'";
    Paint(painter, doc, state);
    painter.end();
    return {};
  }
  if (EndsWith(path, ".pdf")) {
    QPdfWriter pdf(file);
    pdf.setResolution(kScreenDpi);
    pdf.setPageSize(QPageSize(QSizeF(w * 72.0 / kScreenDpi, h * 72.0 / kScreenDpi),
                              QPageSize::Point, QString(), QPageSize::ExactMatch));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setCreator("Spanlab");
    QPainter painter;
    if (!painter.begin(&pdf)) return "cannot write '" + path + "'";
    Paint(painter, doc, state);
    painter.end();
    return {};
  }
  return "the picture file must end in .png, .svg or .pdf: '" + path + "'";
}

std::string WritePrintedReport(CSPLX_30Doc& doc, PrintOptions& options, Prompter& prompter,
                               const HeaderPainter& header, const std::string& path,
                               bool letter, bool landscape) {
  EnsureGuiApplication();
  if (!EndsWith(path, ".pdf")) return "the printed report is written as PDF: '" + path + "'";
  QPdfWriter pdf(ToQString(path));
  pdf.setResolution(1200);
  pdf.setPageSize(QPageSize(letter ? QPageSize::Letter : QPageSize::A4));
  pdf.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  pdf.setCreator("Spanlab 3.20");
  pdf.setTitle(ToQString(doc.GetTitle()));
  EnsureMargins(pdf);
  if (PrintReport(pdf, doc, options, &prompter, header) == 0) {
    return "cannot write '" + path + "'";
  }
  return {};
}

}  // namespace spanlab
