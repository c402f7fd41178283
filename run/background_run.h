// RunWorker: one thread that runs copies of a document's lines (RunSnapshot) so that the thread
// of the document, the window's, never waits for a long run. It holds at most one run going and
// one waiting: a new start replaces the one waiting and stops the one going (its envelope's
// progress callback answers false), so the newest lines are run next and no queue of stale
// runs builds up. The front end hands finished runs to its document on the document's thread
// (app/qt_background_runs.h does it with Qt's queued calls).
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "run/run_driver.h"

namespace spanlab {

class RunWorker {
 public:
  // Both are called on the worker thread and must not block for long: `done` with a run that
  // ended (never a cancelled one), `progress` with the fraction of the envelope done (0 to 1,
  // as ComputeLiveLoadEnvelope tells it), and with -1 once as a run begins, before its checks.
  using Done = std::function<void(uint64_t generation, std::shared_ptr<LinesRunResult> run)>;
  using Progress = std::function<void(uint64_t generation, double fraction)>;

  RunWorker(ModelRunner::Mode mode, Done done, Progress progress);
  // Stop().
  ~RunWorker();
  RunWorker(const RunWorker&) = delete;
  RunWorker& operator=(const RunWorker&) = delete;

  // Runs a copy of `lines` as `generation` once the run going (stopped now) has given up. The
  // thread starts with the first run. The copy made on the calling thread is one block of text
  // (the worker makes the lines of it): two allocations, not one a line.
  void Start(uint64_t generation, const std::vector<std::string>& lines);
  // Stops the run going and drops the one waiting.
  void Cancel();
  // Cancels and waits for the thread: nothing is called after it returns, and nothing may be
  // started after it.
  void Stop();
  // The generation of the run last started and not cancelled; 0 for none.
  uint64_t Wanted() const { return m_wanted.load(); }

 private:
  struct Request {
    uint64_t generation = 0;
    std::string text;          // the lines one after the other
    std::vector<size_t> ends;  // where each line ends in `text`
  };
  void Loop();

  const ModelRunner::Mode m_mode;
  const Done m_done;
  const Progress m_progress;
  std::atomic<uint64_t> m_wanted{0};  // what the runs going ask, at every progress call
  std::mutex m_mutex;                 // guards m_next and m_stop
  std::condition_variable m_wake;
  std::optional<Request> m_next;
  bool m_stop = false;
  std::thread m_thread;
};

}  // namespace spanlab
