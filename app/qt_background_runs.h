// ThreadedRuns: the window's BackgroundRunner. The runs of long models (IsLongRun) go to a
// RunWorker thread; their results come back to the document on the window's thread through
// queued calls, where the document takes only the newest (CSPLX_30Doc::AdoptRun), and the
// progress of their envelope comes back as a signal for the status bar. The window keeps
// painting and answering meanwhile.
#pragma once

#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "run/background_run.h"
#include "run/document.h"

namespace spanlab {

class ThreadedRuns : public QObject, public BackgroundRunner {
  Q_OBJECT

 public:
  // Runs for `doc` (not owned). The document must not call the runner after its destruction;
  // the runner may outlive the document as long as no event is processed in between (a result
  // on its way is dropped with the runner).
  explicit ThreadedRuns(CSPLX_30Doc& doc, ModelRunner::Mode mode = ModelRunner::Mode::kChecked);
  // Stops the run going and waits for its thread (at most the rest of a single analysis).
  ~ThreadedRuns() override;

  bool TakesRun(const std::vector<std::string>& lines) const override;
  void StartRun(uint64_t generation, const std::vector<std::string>& lines) override;
  void CancelRun() override;

  // The sizes from which a run goes to the thread (LongRunSize's by default).
  void SetLongRunSize(const LongRunSize& size) { m_size = size; }
  // Called on the worker thread at every progress call of a run still wanted (fraction -1 as
  // the run begins, then the envelope's), before the progress is reported; it may block (tests
  // hold a run there to edit while it is going).
  // Set it while no run is going.
  void SetWorkerHook(std::function<void(uint64_t generation, double fraction)> hook) {
    m_hook = std::move(hook);
  }
  // The generation of the run the document waits for (0: none). Callable from the worker
  // thread, also while this runner is being destroyed.
  uint64_t Wanted() const { return m_worker.Wanted(); }

 signals:
  // The fraction (0 to 1, in whole percents) of the envelope of the run the document waits
  // for; on the window's thread.
  void Progress(double fraction);

 private:
  // On the worker thread: a finished run, and progress, sent on to the window's thread.
  void Done(uint64_t generation, std::shared_ptr<LinesRunResult> run);
  void Report(uint64_t generation, double fraction);

  CSPLX_30Doc& m_doc;
  LongRunSize m_size;
  std::function<void(uint64_t, double)> m_hook;
  int m_lastPercent = -1;            // worker thread only: the percent last reported
  uint64_t m_percentGeneration = 0;  // worker thread only: the run it belongs to
  RunWorker m_worker;                // last: its thread calls into the members above
};

}  // namespace spanlab
