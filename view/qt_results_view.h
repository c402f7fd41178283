// CSPLX_30View: the results view in the top-right pane. Paints the beam and the diagrams
// through the core routine, reads out the results under the mouse, marks the selected line,
// copies its picture, and carries out the report commands the document forwards.
#pragma once

#include <QWidget>

#include "model/document.h"
#include "platform/document.h"
#include "report/print_options.h"
#include "view/results_paint.h"

namespace spanlab {

class CSPLX_30View : public QWidget, public CView, public ResultsCommandTarget {
  Q_OBJECT

 public:
  // `options` are the application's print options (not owned).
  CSPLX_30View(CSPLX_30Doc& doc, PrintOptions& options, QWidget* parent = nullptr);
  ~CSPLX_30View() override;

  void OnUpdate(CView* sender, long hint) override;
  void OnForwardedCommand(int command) override;

  // The toggles of the main frame, read at every paint.
  ResultsViewState& State() { return m_state; }
  // Puts the picture on the clipboard, as shown.
  void CopyPlot();
  // The report commands: joined text or tab-delimited details to the clipboard, report file.
  void ReportToClipboard();
  void TabDelimitedToClipboard();
  void ReportToFile();

 signals:
  // A message for the user (a report file that could not be written).
  void ErrorMessage(const QString& text);
  // Print and Print Preview, forwarded from the document to whoever prints.
  void PrintRequested(bool preview);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  CSPLX_30Doc& m_doc;
  PrintOptions& m_options;
  ResultsViewState m_state;
  QString m_lastReportFolder;
};

}  // namespace spanlab
