#include "app/qt_busy_runner.h"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>

namespace spanlab {

namespace {

// A box closed this recently may still be on screen: the window manager removes its frame a
// moment after the program hid it, and only then asks the window below to repaint.
constexpr qint64 kRecentlyHiddenMs = 1000;
// How long the window is given to repaint what such a box uncovers.
constexpr int kSettleMs = 120;

// The busy cursor for as long as it lives.
class BusyCursor {
 public:
  BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyCursor() { QApplication::restoreOverrideCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace

BusyRunner::BusyRunner(LinesRunner& inner, QWidget& window, size_t longRunLines)
    : inner_(inner), window_(window), longRunLines_(longRunLines) {
  watcher_.window = &window;
  if (QCoreApplication::instance()) QCoreApplication::instance()->installEventFilter(&watcher_);
}

BusyRunner::~BusyRunner() {
  if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(&watcher_);
}

bool BusyRunner::HideWatcher::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Hide && watched->isWidgetType() && watched != window) {
    if (static_cast<QWidget*>(watched)->isWindow()) clock_.start();
  }
  return false;
}

RunLog BusyRunner::Run(CSPLX_30Doc& doc) {
  if (doc.GetLines().size() < longRunLines_) return inner_.Run(doc);
  BusyCursor busy;
  // Before the run starts, not during it: the views still show the last run's results, which
  // are complete. The user's input waits; only the window system's requests are answered.
  if (window_.isVisible()) {
    if (watcher_.HiddenWithin(kRecentlyHiddenMs)) {
      QEventLoop settle;
      QTimer::singleShot(kSettleMs, &settle, &QEventLoop::quit);
      settle.exec(QEventLoop::ExcludeUserInputEvents);
    }
    window_.repaint();
  }
  return inner_.Run(doc);
}

}  // namespace spanlab
