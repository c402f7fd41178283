// The runner the window gives its document: a run of a large model takes a noticeable time
// (about 2 microseconds a line), during which the window cannot answer. For such a run the
// window first repaints itself where a dialog or message box just closed, so that no box
// stays painted over it, and shows the busy cursor until the run ends.
#pragma once

#include <cstddef>

#include "model/document.h"

class QWidget;

namespace spanlab {

// Models of at least this many lines take about 0.2 s and more to run.
inline constexpr size_t kLongRunLines = 50'000;

class BusyRunner : public LinesRunner {
 public:
  // `inner` does the run; `window` is repainted before a long one. Neither is owned.
  BusyRunner(LinesRunner& inner, QWidget& window, size_t longRunLines = kLongRunLines)
      : inner_(inner), window_(window), longRunLines_(longRunLines) {}

  RunLog Run(CSPLX_30Doc& doc) override;

 private:
  LinesRunner& inner_;
  QWidget& window_;
  size_t longRunLines_;
};

}  // namespace spanlab
