// Everything the worker hands over crosses to the window's thread as a queued call on this
// object (QMetaObject::invokeMethod with a functor): Qt runs it in the window's event loop, or
// drops it if this object is destroyed first. The document's generation check then drops a
// result of lines changed since, so no result lands on another model.
#include "app/qt_background_runs.h"

#include <QMetaObject>

namespace spanlab {

ThreadedRuns::ThreadedRuns(CSPLX_30Doc& doc, ModelRunner::Mode mode)
    : m_doc(doc),
      m_worker(
          mode,
          [this](uint64_t generation, std::shared_ptr<LinesRunResult> run) {
            Done(generation, std::move(run));
          },
          [this](uint64_t generation, double fraction) { Report(generation, fraction); }) {}

ThreadedRuns::~ThreadedRuns() {
  m_worker.Stop();  // joined before this object stops receiving its queued calls
}

void ThreadedRuns::Done(uint64_t generation, std::shared_ptr<LinesRunResult> run) {
  QMetaObject::invokeMethod(
      this, [this, generation, run] { m_doc.AdoptRun(generation, std::move(*run)); },
      Qt::QueuedConnection);
}

void ThreadedRuns::Report(uint64_t generation, double fraction) {
  if (m_hook) m_hook(generation, fraction);
  if (fraction < 0) return;  // the run has begun; the status bar says so already
  const int percent = static_cast<int>(fraction * 100);
  if (generation == m_percentGeneration && percent == m_lastPercent) return;
  m_percentGeneration = generation;
  m_lastPercent = percent;
  QMetaObject::invokeMethod(
      this,
      [this, generation, percent] {
        if (m_doc.IsRunPending() && m_doc.GetRunGeneration() == generation) {
          emit Progress(percent / 100.0);
        }
      },
      Qt::QueuedConnection);
}

bool ThreadedRuns::TakesRun(const std::vector<std::string>& lines) const {
  return IsLongRun(lines, m_size);
}

void ThreadedRuns::StartRun(uint64_t generation, const std::vector<std::string>& lines) {
  m_worker.Start(generation, lines);
}

void ThreadedRuns::CancelRun() { m_worker.Cancel(); }

}  // namespace spanlab
