#include "app/qt_busy_runner.h"

#include <QApplication>
#include <QCursor>
#include <QWidget>

namespace spanlab {

namespace {

// The busy cursor for as long as it lives.
class BusyCursor {
 public:
  BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyCursor() { QApplication::restoreOverrideCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace

RunLog BusyRunner::Run(CSPLX_30Doc& doc) {
  if (doc.GetLines().size() < longRunLines_) return inner_.Run(doc);
  BusyCursor busy;
  // Before the run starts, not during it: the views still show the last run's results, which
  // are complete. A box closed just now would otherwise stay on screen until the run ends.
  if (window_.isVisible()) window_.repaint();
  return inner_.Run(doc);
}

}  // namespace spanlab
