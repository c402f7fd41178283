#include "view/qt_results_view.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "platform/qt_device_context.h"
#include "report/report_text.h"
#include "run/run_driver.h"
#include "view/readout.h"

namespace spanlab {

CSPLX_30View::CSPLX_30View(CSPLX_30Doc& doc, PrintOptions& options, QWidget* parent)
    : QWidget(parent), m_doc(doc), m_options(options) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(0, 0);
  m_state.markerBorder = 3;  // an 11-pixel frame of one pixel is lost among the curves
  m_dragTimer.setSingleShot(true);
  m_dragTimer.setInterval(0);
  connect(&m_dragTimer, &QTimer::timeout, this, &CSPLX_30View::DragStep);
  doc.AddView(this);
  doc.SetResultsView(this);
}

CSPLX_30View::~CSPLX_30View() {
  if (m_doc.GetResultsView() == this) m_doc.SetResultsView(nullptr);
}

void CSPLX_30View::OnUpdate(CView*, long hint) {
  if (hint == kHintLines) {
    // The choice follows its combination by name; the selector is told when anything changed.
    const std::vector<CombinationInfo>& now = m_doc.GetDesign().combinations;
    const CombinationChoice before = m_state.combination;
    m_state.combination = CarryChoice(m_combinations, now, before);
    const bool same = std::equal(
        now.begin(), now.end(), m_combinations.begin(), m_combinations.end(),
        [](const CombinationInfo& a, const CombinationInfo& b) {
          return a.name == b.name && a.service == b.service && a.patterned == b.patterned;
        });
    m_combinations = now;
    RunChosenCombination();
    if (!same || !(before == m_state.combination)) emit CombinationsChanged();
  }
  if (hint == kHintLines || hint == kHintRunStarted) {
    m_state.influence = InfluenceLine{};  // it belonged to the model before the change
    update();
    if (m_state.toggles.position) MoveReadoutLine(-1);
    RefreshReadout();
  } else if (m_state.selection.OnHint(hint, m_doc.GetMessage(), m_doc.GetLines(),
                                      m_doc.GetItems())) {
    update();
  }
}

void CSPLX_30View::SetCombination(const CombinationChoice& choice) {
  const std::vector<CombinationChoice> choices = CombinationChoices(m_doc.GetDesign());
  const bool known = std::find(choices.begin(), choices.end(), choice) != choices.end();
  m_state.combination = known ? choice : CombinationChoice{};
  m_state.toggles.singleAnalysis = false;
  m_state.influence = InfluenceLine{};
  RunChosenCombination();
  update();
  RefreshReadout();
}

void CSPLX_30View::RunChosenCombination() {
  m_combination.reset();
  const CBeamAnalysis& a = m_doc.GetAnalysis();
  if (m_state.combination.combination < 0 || m_doc.IsRunPending() || !(a.m_dLength > 0) ||
      a.m_bError || !m_doc.GetDesign().HasCombinations()) {
    return;
  }
  // A combination costs about what the model's own run did: long models show the busy cursor.
  const bool busy = IsLongRun(m_doc.GetLines());
  if (busy) QApplication::setOverrideCursor(Qt::WaitCursor);
  m_combination = RunCombination(m_doc, m_state.combination);
  if (busy) QApplication::restoreOverrideCursor();
}

ModelRun CSPLX_30View::Shown() const {
  if (m_state.toggles.singleAnalysis || !m_combination) return m_doc;
  return ShownRun(m_doc, m_combination.get());
}

void CSPLX_30View::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  QtDeviceContext dc(painter, false);
  PaintResultsView(dc, Shown(), m_state);
  if (m_doc.IsRunPending()) PaintRunning(painter);
}

void CSPLX_30View::PaintRunning(QPainter& painter) {
  // The results of the earlier model stay in sight as a faint picture, under the notice.
  painter.fillRect(rect(), QColor(255, 255, 255, 190));
  painter.setPen(Qt::darkGray);
  painter.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignHCenter | Qt::AlignTop,
                   QString::fromUtf8("Running analysis\u2026"));
}

void CSPLX_30View::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  m_state.m_cxClient = width();
  m_state.m_cyClient = height();
  RefreshReadout();
}

DrawingFrame CSPLX_30View::Frame() const {
  return ScreenFrame(m_state.m_cxClient, m_state.m_cyClient, m_doc.GetBeamLength());
}

void CSPLX_30View::mouseMoveEvent(QMouseEvent* event) {
  const int x = event->position().toPoint().x();
  m_lastMouseX = x;
  // A release the view never saw (the mouse taken by another window) puts the item down where
  // it was last moved to.
  if (m_drag && !(event->buttons() & Qt::LeftButton)) EndDrag(true);
  if (m_drag) {
    FollowMouse(x, event->modifiers());
    return;
  }
  QWidget::mouseMoveEvent(event);
  if (m_state.toggles.position) return;  // the marker's line stays in the Data box
  ShowReadout(x, true);
}

void CSPLX_30View::RefreshReadout() {
  if (m_drag || m_lastMouseX < 0 || m_state.toggles.position) return;
  ShowReadout(m_lastMouseX, false);
}

void CSPLX_30View::ShowReadout(int x, bool moved) {
  // While a run is going there is nothing current to read: the line goes, and a read-out the
  // Data box still shows is taken out of it.
  const std::string text = m_doc.IsRunPending() ? std::string() : ReadoutText(Shown(), m_state, x);
  // After a change the Data box keeps a line the tree put there since.
  if (moved || m_doc.GetMessage() == m_lastReadout) {
    m_lastReadout = text;
    m_doc.SetMessage(text);
  }
  MoveReadoutLine(m_doc.IsRunPending() ? -1 : ReadoutMarkX(Shown(), m_state, x));
  emit ReadoutChanged(ToQString(text));
}

void CSPLX_30View::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  // The items under the mouse and the beam's scale are an earlier model's while a run is going:
  // nothing is picked up until its results have come (a drag begun before goes on).
  if (m_doc.IsRunPending() && !m_drag) {
    QWidget::mousePressEvent(event);
    return;
  }
  // Where View > Influence Line takes its quantity.
  if (m_doc.GetBeamLength() > 0)
    m_state.m_dClickX = BeamPositionAt(m_state, m_doc.GetBeamLength(), at.x());
  if (m_drag && event->button() == Qt::LeftButton) EndDrag(true);  // its release went elsewhere
  std::optional<DragItem> item;
  if (event->button() == Qt::LeftButton && m_mover) {
    item = PickItem(m_doc.GetItems(), m_doc.GetLines(), Frame(), at.x(), at.y());
  }
  if (!item || !m_mover->BeginMove(item->section, item->row)) {
    QWidget::mousePressEvent(event);
    return;
  }
  const DrawingFrame frame = Frame();
  const double factor = ItemLengthFactor(*item);
  m_drag = ActiveDrag{std::move(*item), frame, factor, SnapStep(frame, factor), at.x(), false};
  MoveReadoutLine(-1);
  setCursor(Qt::SizeHorCursor);
  emit ReadoutChanged(ToQString(DragStatusText(m_drag->item, m_mover->MovingText())));
  event->accept();
}

void CSPLX_30View::mouseReleaseEvent(QMouseEvent* event) {
  if (!m_drag || event->button() != Qt::LeftButton) {
    QWidget::mouseReleaseEvent(event);
    return;
  }
  // The item goes down where the mouse let it go, whatever step was still waiting.
  m_drag->mouseX = m_lastMouseX = event->position().toPoint().x();
  m_drag->free = event->modifiers() & Qt::ShiftModifier;
  DragStep();
  EndDrag(true);
}

void CSPLX_30View::FollowMouse(int x, Qt::KeyboardModifiers modifiers) {
  m_drag->mouseX = x;
  m_drag->free = modifiers & Qt::ShiftModifier;
  if (!m_dragTimer.isActive()) m_dragTimer.start();
}

void CSPLX_30View::DragStep() {
  m_dragTimer.stop();
  if (!m_drag) return;
  // Outside the view the mouse still drags, as far as the view's edges.
  const int x = std::clamp(m_drag->mouseX, 0, std::max(0, m_state.m_cxClient - 1));
  const std::optional<double> position = DragPosition(
      m_drag->item, m_drag->frame, m_drag->lengthFactor, x, m_drag->free ? 0 : m_drag->step);
  const std::string text =
      position ? MovedLineText(m_drag->item, m_mover->MovingText(), *position) : std::string();
  if (!text.empty()) m_mover->MoveTo(text);
  emit ReadoutChanged(ToQString(DragStatusText(m_drag->item, m_mover->MovingText())));
}

void CSPLX_30View::EndDrag(bool keep) {
  m_dragTimer.stop();
  m_drag.reset();
  unsetCursor();
  m_mover->EndMove(keep);
  emit ReadoutChanged(QString());
  RefreshReadout();  // what the mouse reads where the item was put down
}

bool CSPLX_30View::event(QEvent* event) {
  // Escape during a drag is the view's own, before any shortcut of the window.
  if (m_drag && event->type() == QEvent::ShortcutOverride &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    event->accept();
    return true;
  }
  return QWidget::event(event);
}

void CSPLX_30View::keyPressEvent(QKeyEvent* event) {
  if (m_drag && event->key() == Qt::Key_Escape) {
    EndDrag(false);  // the item goes back where it was
    event->accept();
    return;
  }
  if (m_drag && event->key() == Qt::Key_Shift) FollowMouse(m_drag->mouseX, event->modifiers());
  QWidget::keyPressEvent(event);
}

void CSPLX_30View::keyReleaseEvent(QKeyEvent* event) {
  if (m_drag && event->key() == Qt::Key_Shift) FollowMouse(m_drag->mouseX, event->modifiers());
  QWidget::keyReleaseEvent(event);
}

void CSPLX_30View::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  if (m_drag) return;
  m_lastMouseX = -1;
  if (m_state.readoutX < 0) return;
  MoveReadoutLine(-1);
  emit ReadoutChanged(QString());
}

void CSPLX_30View::MoveReadoutLine(int x) {
  if (x == m_state.readoutX) return;
  if (m_state.readoutX >= 0) update(m_state.readoutX - 1, 0, 3, height());
  m_state.readoutX = x;
  if (x >= 0) update(x - 1, 0, 3, height());
}

void CSPLX_30View::CopyPlot() {
  if (m_doc.IsRunPending()) return;  // the picture would be of an earlier model
  QApplication::clipboard()->setImage(grab().toImage());
}

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
  const Status status =
      WriteReportFile(m_doc.Files(), chosen.toStdString(), JoinedReportText(m_doc, m_options));
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
