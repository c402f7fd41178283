// The runner the window gives its document: a run of a large model takes a noticeable time
// (about 2 microseconds a line), during which the window cannot answer. For such a run the
// window is first brought up to date on screen, so that no dialog or message box closed just
// before stays painted over it, and the busy cursor shows until the run ends.
#pragma once

#include <QElapsedTimer>
#include <QObject>

#include <cstddef>

#include "run/document.h"

class QWidget;

namespace spanlab {

// Models of at least this many lines take about 0.2 s and more to run.
inline constexpr size_t kLongRunLines = 50'000;

class BusyRunner : public LinesRunner {
 public:
  // `inner` does the run; `window` is brought up to date before a long one. Neither is owned.
  BusyRunner(LinesRunner& inner, QWidget& window, size_t longRunLines = kLongRunLines);
  ~BusyRunner() override;

  RunLog Run(CSPLX_30Doc& doc) override;

 private:
  // Notes when a window other than the main one (a dialog, a message box) was last hidden.
  class HideWatcher : public QObject {
   public:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool HiddenWithin(qint64 ms) const { return clock_.isValid() && clock_.elapsed() < ms; }
    QWidget* window = nullptr;

   private:
    QElapsedTimer clock_;
  };

  LinesRunner& inner_;
  QWidget& window_;
  size_t longRunLines_;
  HideWatcher watcher_;
};

}  // namespace spanlab
