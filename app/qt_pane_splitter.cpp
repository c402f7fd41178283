#include "app/qt_pane_splitter.h"

#include <QApplication>
#include <QKeyEvent>

#include <algorithm>

namespace spanlab {

namespace {

int Along(const QSplitter& splitter, QSize size) {
  return splitter.orientation() == Qt::Horizontal ? size.width() : size.height();
}

// The smallest size the splitter gives its first pane short of collapsing it.
int SmallestShown(const QSplitter& splitter) {
  const QWidget* pane = splitter.widget(0);
  if (!pane) return 0;
  const int minimum = Along(splitter, pane->minimumSize());
  return minimum > 0 ? minimum : std::max(0, Along(splitter, pane->minimumSizeHint()));
}

}  // namespace

PaneSplitter::PaneSplitter(Qt::Orientation orientation, QWidget* parent)
    : QSplitter(orientation, parent) {
  // A drag of the bar is the user's choice of size; it is kept from now on.
  connect(this, &QSplitter::splitterMoved, this, [this] { m_paneSize = sizes().value(0); });
}

int PaneSplitter::Room() const {
  const QRect inside = contentsRect();
  return std::max(0, Along(*this, inside.size()) - handleWidth());
}

void PaneSplitter::SetPaneSize(int size) {
  m_paneSize = std::max(0, size);
  Apply();
}

void PaneSplitter::resizeEvent(QResizeEvent* event) {
  QSplitter::resizeEvent(event);
  Apply();
}

void PaneSplitter::Apply() {
  if (count() < 2) return;
  const int room = Room();
  if (room <= 0) return;  // not laid out yet: the first real size applies it
  const int first = std::min(m_paneSize, room);
  setSizes({first, room - first});
}

// ---------------------------------------------------------------------------
KeyboardSplit::KeyboardSplit(PaneSplitter& columns, PaneSplitter& rows, QWidget& window,
                             std::function<void(bool kept)> finished)
    : m_columns(columns), m_rows(rows), m_window(window), m_finished(std::move(finished)) {}

KeyboardSplit::~KeyboardSplit() {
  if (m_active) {
    qApp->removeEventFilter(this);
    QApplication::restoreOverrideCursor();
  }
}

void KeyboardSplit::Start() {
  if (m_active) return;
  m_active = true;
  m_startColumn = m_columns.PaneSize();
  m_startRow = m_rows.PaneSize();
  // The keys move the bars from where they are seen.
  m_column = m_columns.sizes().value(0);
  m_row = m_rows.sizes().value(0);
  qApp->installEventFilter(this);
  QApplication::setOverrideCursor(Qt::SizeAllCursor);
}

void KeyboardSplit::Move(PaneSplitter& splitter, int& wanted, int delta) {
  const int smallest = SmallestShown(splitter);
  int next = std::clamp(wanted + delta, 0, splitter.Room());
  // Below its smallest size a pane collapses, and it opens again at that size, as with a drag.
  if (delta < 0 && next < smallest) next = 0;
  if (delta > 0 && wanted == 0) next = std::min(std::max(next, smallest), splitter.Room());
  wanted = next;
  splitter.SetPaneSize(next);
}

void KeyboardSplit::Finish(bool keep) {
  if (!m_active) return;
  m_active = false;
  qApp->removeEventFilter(this);
  QApplication::restoreOverrideCursor();
  if (!keep) {
    m_columns.SetPaneSize(m_startColumn);
    m_rows.SetPaneSize(m_startRow);
  }
  if (m_finished) m_finished(keep);
}

bool KeyboardSplit::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::ShortcutOverride:
      event->accept();  // the keys are ours while the split runs: no shortcut fires
      return true;
    case QEvent::KeyPress: {
      const auto* key = static_cast<QKeyEvent*>(event);
      const int step = key->modifiers() & Qt::ControlModifier ? 1 : kStep;
      switch (key->key()) {
        case Qt::Key_Left: Move(m_columns, m_column, -step); break;
        case Qt::Key_Right: Move(m_columns, m_column, step); break;
        case Qt::Key_Up: Move(m_rows, m_row, -step); break;
        case Qt::Key_Down: Move(m_rows, m_row, step); break;
        case Qt::Key_Return:
        case Qt::Key_Enter: Finish(true); break;
        case Qt::Key_Escape: Finish(false); break;
        default: break;
      }
      return true;
    }
    case QEvent::KeyRelease:
      return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
      Finish(true);
      return true;  // the click ends the split and does nothing else
    case QEvent::WindowDeactivate:
      if (watched == &m_window) Finish(false);
      return false;
    default:
      return false;
  }
}

}  // namespace spanlab
