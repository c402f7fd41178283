#include "view/qt_results_view.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>

#include "platform/qt_device_context.h"
#include "report/report_text.h"
#include "view/readout.h"

namespace spanlab {

CSPLX_30View::CSPLX_30View(CSPLX_30Doc& doc, PrintOptions& options, QWidget* parent)
    : QWidget(parent), m_doc(doc), m_options(options) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(0, 0);
  doc.AddView(this);
  doc.SetResultsView(this);
}

CSPLX_30View::~CSPLX_30View() {
  if (m_doc.GetResultsView() == this) m_doc.SetResultsView(nullptr);
}

void CSPLX_30View::OnUpdate(CView*, long hint) {
  if (hint == kHintLines) {
    m_state.influence = InfluenceLine{};  // it belonged to the model before the change
    update();
  } else if (m_state.selection.OnHint(hint, m_doc)) {
    update();
  }
}

void CSPLX_30View::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  QtDeviceContext dc(painter, false);
  PaintResultsView(dc, m_doc, m_state);
}

void CSPLX_30View::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  m_state.m_cxClient = width();
  m_state.m_cyClient = height();
}

void CSPLX_30View::mouseMoveEvent(QMouseEvent* event) {
  QWidget::mouseMoveEvent(event);
  if (m_state.toggles.position) return;  // the marker's line stays in the Data box
  m_doc.SetMessage(ReadoutText(m_doc, m_state, event->position().toPoint().x()));
}

void CSPLX_30View::mousePressEvent(QMouseEvent* event) {
  QWidget::mousePressEvent(event);
  // Where View > Influence Line takes its quantity.
  if (m_doc.GetBeamLength() > 0) {
    m_state.m_dClickX =
        BeamPositionAt(m_state, m_doc.GetBeamLength(), event->position().toPoint().x());
  }
}

void CSPLX_30View::CopyPlot() { QApplication::clipboard()->setImage(grab().toImage()); }

void CSPLX_30View::ReportToClipboard() {
  QApplication::clipboard()->setText(ToQString(JoinedReportText(m_doc, m_options)));
}

void CSPLX_30View::TabDelimitedToClipboard() {
  QApplication::clipboard()->setText(
      ToQString(TabDelimitedDetailsText(m_doc, m_options.m_nDataPoints)));
}

void CSPLX_30View::ReportToFile() {
  const std::string path = m_doc.GetPathName();
  QString folder = m_lastReportFolder;
  if (folder.isEmpty() && !path.empty()) folder = QFileInfo(ToQString(path)).absolutePath();
  const QString name = ToQString(DefaultReportFileName(path));
  const QString chosen = QFileDialog::getSaveFileName(
      this, "Print to File", folder.isEmpty() ? name : folder + "/" + name,
      "Report Files(*.RPT) (*.rpt);;All Files(*.*) (*)");
  if (chosen.isEmpty()) return;
  m_lastReportFolder = QFileInfo(chosen).absolutePath();
  const Status status = WriteReportFile(m_doc.Files(), chosen.toStdString(),
                                        JoinedReportText(m_doc, m_options));
  if (!status.ok()) emit ErrorMessage(ToQString(status.message()));
}

void CSPLX_30View::OnForwardedCommand(int command) {
  switch (command) {
    case kCommandPrintToClipboardText:
    case kCommandReportToClipboard:
      ReportToClipboard();
      break;
    case kCommandPrintToClipboardTabbed:
      TabDelimitedToClipboard();
      break;
    case kCommandPrintToFile:
      ReportToFile();
      break;
    case kCommandPrint:
      emit PrintRequested(false);
      break;
    case kCommandPrintPreview:
      emit PrintRequested(true);
      break;
    default:
      break;
  }
}

}  // namespace spanlab
