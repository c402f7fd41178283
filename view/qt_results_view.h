// CSPLX_30View: the results view in the top-right pane. Paints the beam and the diagrams
// through the core routine, reads out the results under the mouse, marks the selected line,
// lets the items be dragged along the beam, copies its picture, and carries out the report
// commands the document forwards.
#pragma once

#include <QTimer>
#include <QWidget>

class QPainter;

#include <memory>
#include <optional>
#include <vector>

#include "platform/document.h"
#include "report/print_options.h"
#include "run/document.h"
#include "view/item_drag.h"
#include "view/combination_view.h"
#include "view/line_mover.h"
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
  // The placement of the beam in the picture as it is now.
  DrawingFrame Frame() const;
  // Who rewrites the lines of dragged items (the tree editor; not owned). Without one, nothing
  // is picked up.
  void SetLineMover(LineMover* mover) { m_mover = mover; }
  bool IsDragging() const { return m_drag.has_value(); }
  // Reads the results again at the last mouse position over the view, as a mouse move there
  // would, after anything that changes what is read (a run, a toggle, the view's size): the
  // status bar follows, and the Data box when it still shows the read-out. Nothing while the
  // mouse is outside the view, an item is dragged or the position marker holds the Data box.
  void RefreshReadout();
  // The analysis the diagrams show of a model with load combinations (All at first): the run
  // of a combination is made at once, under the busy cursor for a long model. Turns View >
  // Single Analysis off. A choice outside CombinationChoices gives All.
  void SetCombination(const CombinationChoice& choice);
  // The run the picture, the read-out and the picture export read: the document's, or the
  // chosen combination's (not while View > Single Analysis is on).
  ModelRun Shown() const;
  // Puts the picture on the clipboard, as shown (nothing while a run is going).
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
  // The read-out under the mouse changed (its "\r\n"-ended lines; empty off the beam or when
  // the mouse left the view); while an item is dragged, the item and its position.
  void ReadoutChanged(const QString& text);
  // The selector's entries or its choice changed (a run that changed the combinations).
  void CombinationsChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void leaveEvent(QEvent* event) override;
  bool event(QEvent* event) override;

 private:
  // An item being dragged. The mouse keeps the scale of the picture it was picked up in, so
  // that moving the item at the beam's end (which changes the length) follows the mouse evenly.
  struct ActiveDrag {
    DragItem item;
    DrawingFrame frame;
    double lengthFactor;
    double step;  // the snapping step, display units
    int mouseX;   // the latest mouse x, not yet acted on while m_dragTimer waits
    bool free;    // Shift is held: no snapping
  };

  // Rewrites the dragged item's line for the latest mouse x (the document runs it).
  void DragStep();
  // Notes the latest mouse x and Shift state; the step runs once the events waiting have been
  // seen, so a run slower than the mouse goes straight to the latest position.
  void FollowMouse(int x, Qt::KeyboardModifiers modifiers);
  void EndDrag(bool keep);
  // Fades the picture of the earlier model's results and says a run is going.
  void PaintRunning(QPainter& painter);
  // Moves the read-out line to `x` (-1: none), repainting only the two columns concerned.
  void MoveReadoutLine(int x);
  // Reads out the results at client x `x` into the status bar and the read-out line; the Data
  // box takes it when the mouse moved there (`moved`) or the box still shows the last read-out.
  void ShowReadout(int x, bool moved);

  // Runs the chosen combination of the document's results (none for All or without results).
  void RunChosenCombination();

  CSPLX_30Doc& m_doc;
  std::unique_ptr<CombinationRun> m_combination;  // the chosen combination's run, if any
  std::vector<CombinationInfo> m_combinations;     // the run's combinations, for CarryChoice
  PrintOptions& m_options;
  ResultsViewState m_state;
  QString m_lastReportFolder;
  LineMover* m_mover = nullptr;
  std::optional<ActiveDrag> m_drag;
  QTimer m_dragTimer;
  int m_lastMouseX = -1;        // the mouse's last x over the view; -1 once it has left
  std::string m_lastReadout;    // the read-out last put into the Data box
};

}  // namespace spanlab
