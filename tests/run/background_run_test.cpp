// Runs that leave the document's thread: a run of a copy of the lines gives what the document's
// own run gives; the document takes only the newest complete run and tells its views once; the
// worker thread runs the newest lines, drops stopped runs and stops on destruction; the command
// line's progress line is written only to a terminal.
#include "run/background_run.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/progress_line.h"
#include "run/document.h"
#include "run/run_driver.h"

namespace spanlab {
namespace {

using Lines = std::vector<std::string>;

// `spans` equal spans of 10 ft under a dead load, with a Live Load line.
Lines LiveLoadBeam(int spans, double dead = -1) {
  Lines lines = {"File Format:3.0", "Units:English;", "Member Property: X = 0; E = 29000; I = 448;"};
  for (int i = 0; i <= spans; ++i) lines.push_back("Support: X = " + std::to_string(10 * i) + "; Disp = 0;");
  lines.push_back("Uniform Load: XStart = 0; XEnd = " + std::to_string(10 * spans) +
                  "; UStart = " + std::to_string(dead) + "; UEnd = " + std::to_string(dead) + ";");
  lines.push_back("Live Load: U = -0.8; LiveFactor = 1.6; DeadMax = 1.2; DeadMin = 0.9;");
  return lines;
}

// ---- A run of a copy of the lines is the document's run ----

TEST(RunSnapshotTest, GivesTheDocumentsRunBitForBitCheckedUncheckedAndFailing) {
  Lines withError = LiveLoadBeam(3);
  withError[1] = "Units: English";  // a format error: the checked run stops, the unchecked not
  for (const Lines& lines : {LiveLoadBeam(7), withError, Lines{}}) {
    for (const auto mode : {ModelRunner::Mode::kChecked, ModelRunner::Mode::kUnchecked}) {
      if (lines.empty() && mode == ModelRunner::Mode::kUnchecked) continue;
      CSPLX_30Doc doc;
      ModelRunner runner(mode);
      doc.SetRunner(&runner);
      doc.SetLines(nullptr, lines);
      const LinesRunResult copy = RunSnapshot(lines, mode);
      SCOPED_TRACE(testing::Message() << lines.size() << " lines, mode " << static_cast<int>(mode));
      EXPECT_EQ(copy.log.text, doc.GetLastRun().text);
      EXPECT_EQ(copy.log.errors, doc.GetLastRun().errors);
      EXPECT_EQ(copy.log.analysed, doc.GetLastRun().analysed);
      EXPECT_FALSE(copy.log.cancelled);
      const CBeamAnalysis &a = *copy.analysis, &b = doc.GetAnalysis();
      EXPECT_EQ(a.m_nNodes, b.m_nNodes);
      EXPECT_EQ(a.m_dMinMoment, b.m_dMinMoment);
      EXPECT_EQ(a.m_dMaxDeflection, b.m_dMaxDeflection);
      EXPECT_EQ(copy.items.m_supports.size(), doc.GetSupports().size());
      ASSERT_EQ(copy.envelope.nodes.size(), doc.GetEnvelope().nodes.size());
      for (size_t i = 0; i < copy.envelope.nodes.size(); ++i) {
        EXPECT_EQ(copy.envelope.nodes[i].deflection.max, doc.GetEnvelope().nodes[i].deflection.max);
        EXPECT_EQ(copy.envelope.nodes[i].rotation.min, doc.GetEnvelope().nodes[i].rotation.min);
      }
    }
  }
  EXPECT_FALSE(RunSnapshot(LiveLoadBeam(7), ModelRunner::Mode::kChecked).envelope.empty());
}

TEST(RunSnapshotTest, AStoppedEnvelopeLeavesACancelledRunWithNoLog) {
  for (const auto mode : {ModelRunner::Mode::kChecked, ModelRunner::Mode::kUnchecked}) {
    int calls = 0;
    const LinesRunResult run =
        RunSnapshot(LiveLoadBeam(200), mode, [&](double) { return ++calls < 1; });
    EXPECT_TRUE(run.log.cancelled);
    EXPECT_FALSE(run.log.analysed);
    EXPECT_EQ(run.log.text, "");
    EXPECT_TRUE(run.envelope.empty());
    EXPECT_EQ(calls, 1) << "the envelope went on after its progress callback said stop";
  }
}

TEST(RunSnapshotTest, LongRunsAreLargeModelsOrLiveLoadsOverManySpans) {
  const LongRunSize size{100, 5};
  EXPECT_FALSE(IsLongRun(LiveLoadBeam(3), size));   // 4 supports
  EXPECT_TRUE(IsLongRun(LiveLoadBeam(4), size));    // 5 supports
  Lines noLive = LiveLoadBeam(50);
  noLive.pop_back();
  EXPECT_FALSE(IsLongRun(noLive, size));            // 51 supports but no envelope, 55 lines
  noLive.resize(100, "/a comment");
  EXPECT_TRUE(IsLongRun(noLive, size));             // 100 lines
  EXPECT_FALSE(IsLongRun(LiveLoadBeam(1998)));      // the defaults: 1,999 supports
  EXPECT_TRUE(IsLongRun(LiveLoadBeam(1999)));
}

// ---- The document takes only the newest complete run ----

// A background runner that keeps what it was asked to run, for the test to run and hand back.
class HeldRuns : public BackgroundRunner {
 public:
  bool TakesRun(const Lines& lines) const override { return lines.size() >= minLines; }
  void StartRun(uint64_t generation, const Lines& lines) override {
    started.push_back({generation, lines});
  }
  void CancelRun() override { ++cancels; }
  LinesRunResult Run(size_t i) const { return RunSnapshot(started[i].lines, ModelRunner::Mode::kChecked); }
  struct Start {
    uint64_t generation;
    Lines lines;
  };
  size_t minLines = 10;
  std::vector<Start> started;
  int cancels = 0;
};

// What a view sees at each hint: the lines and whether the results are those of the lines.
class HintView : public CView {
 public:
  void OnUpdate(CView*, long hint) override {
    const auto& doc = *static_cast<const CSPLX_30Doc*>(GetDocument());
    seen.push_back({hint, doc.GetLines().size(), doc.IsRunPending(), doc.GetLastRun().text,
                    doc.GetAnalysis().m_nNodes, doc.GetEnvelope().nodes.size()});
  }
  struct Seen {
    long hint;
    size_t lines;
    bool pending;
    std::string log;
    int32_t nodes;
    size_t envelopeNodes;
  };
  std::vector<Seen> seen;
};

struct HeldDocument {
  HeldDocument() {
    doc.SetRunner(&runner);
    doc.SetBackgroundRunner(&runs);
    doc.AddView(&view);
  }
  ~HeldDocument() { doc.RemoveView(&view); }
  ModelRunner runner;
  HeldRuns runs;
  HintView view;
  CSPLX_30Doc doc;
};

TEST(BackgroundRunDocumentTest, OnlyTheNewestRunIsTakenAndTheViewsAreToldOnceWithAllOfIt) {
  HeldDocument held;
  CSPLX_30Doc& doc = held.doc;
  const Lines first = LiveLoadBeam(12), second = LiveLoadBeam(13);
  doc.SetLines(nullptr, first);
  ASSERT_EQ(held.runs.started.size(), 1u);
  EXPECT_TRUE(doc.IsRunPending());
  ASSERT_EQ(held.view.seen.size(), 1u);
  EXPECT_EQ(held.view.seen[0].hint, kHintRunStarted);
  EXPECT_EQ(held.view.seen[0].nodes, 0);  // the earlier model's results: none
  // The results commands wait for the results; Save does not.
  EXPECT_FALSE(doc.IsCommandEnabled(kCommandReportToClipboard));
  EXPECT_FALSE(doc.ForwardCommand(kCommandPrintToFile));
  EXPECT_TRUE(doc.IsCommandEnabled(kCommandSave));

  // An edit while the first run is going: its run comes back but is not taken.
  EXPECT_TRUE(doc.EditLines(nullptr, [&](Lines& lines) {
    lines = second;
    return true;
  }));
  ASSERT_EQ(held.runs.started.size(), 2u);
  EXPECT_GT(held.runs.started[1].generation, held.runs.started[0].generation);
  EXPECT_FALSE(doc.AdoptRun(held.runs.started[0].generation, held.runs.Run(0)));
  EXPECT_TRUE(doc.IsRunPending());
  ASSERT_EQ(held.view.seen.size(), 2u);

  // A cancelled run of the newest lines is not taken either; the complete one is, once.
  LinesRunResult cancelled = held.runs.Run(1);
  cancelled.log.cancelled = true;
  EXPECT_FALSE(doc.AdoptRun(held.runs.started[1].generation, std::move(cancelled)));
  EXPECT_TRUE(doc.AdoptRun(held.runs.started[1].generation, held.runs.Run(1)));
  EXPECT_FALSE(doc.AdoptRun(held.runs.started[1].generation, held.runs.Run(1)));
  EXPECT_FALSE(doc.IsRunPending());
  ASSERT_EQ(held.view.seen.size(), 3u);
  const HintView::Seen& told = held.view.seen[2];
  EXPECT_EQ(told.hint, kHintLines);
  EXPECT_FALSE(told.pending);
  // Everything the view reads is the second model's, as a run on the spot gives it.
  CSPLX_30Doc plain;
  ModelRunner runner;
  plain.SetRunner(&runner);
  plain.SetLines(nullptr, second);
  EXPECT_EQ(told.lines, second.size());
  EXPECT_EQ(told.log, plain.GetLastRun().text);
  EXPECT_EQ(told.nodes, plain.GetAnalysis().m_nNodes);
  EXPECT_EQ(told.envelopeNodes, plain.GetEnvelope().nodes.size());
  EXPECT_EQ(doc.GetAnalysis().m_dMinMoment, plain.GetAnalysis().m_dMinMoment);
  EXPECT_TRUE(doc.IsCommandEnabled(kCommandReportToClipboard));
}

TEST(BackgroundRunDocumentTest, ASmallModelNewOrAnOpenCancelsTheRunGoing) {
  HeldDocument held;
  CSPLX_30Doc& doc = held.doc;
  doc.SetLines(nullptr, LiveLoadBeam(12));
  ASSERT_TRUE(doc.IsRunPending());
  // A small model runs on the spot and the run going is cancelled and never taken.
  doc.SetLines(nullptr, {"File Format:3.0", "Units:English;"});
  EXPECT_FALSE(doc.IsRunPending());
  EXPECT_EQ(held.runs.cancels, 1);
  EXPECT_FALSE(doc.AdoptRun(held.runs.started[0].generation, held.runs.Run(0)));
  EXPECT_EQ(held.view.seen.back().hint, kHintLines);
  EXPECT_EQ(held.view.seen.back().lines, 2u);

  doc.SetLines(nullptr, LiveLoadBeam(12));
  doc.OnNewDocument();
  EXPECT_FALSE(doc.IsRunPending());
  EXPECT_FALSE(doc.AdoptRun(held.runs.started[1].generation, held.runs.Run(1)));
  EXPECT_TRUE(doc.GetLines().empty());
  EXPECT_EQ(doc.GetAnalysis().m_nNodes, 0);

  // An open that fails leaves the lines as they were: their run starts again and is taken.
  doc.SetLines(nullptr, LiveLoadBeam(12));
  const size_t told = held.view.seen.size();
  EXPECT_FALSE(doc.OnOpenDocument("/nonexistent/folder/model.spn"));
  ASSERT_EQ(held.runs.started.size(), 4u);
  EXPECT_TRUE(doc.IsRunPending());
  EXPECT_FALSE(doc.AdoptRun(held.runs.started[2].generation, held.runs.Run(2)));
  EXPECT_TRUE(doc.AdoptRun(held.runs.started[3].generation, held.runs.Run(3)));
  EXPECT_EQ(held.view.seen.size(), told + 1);  // told once, when the results came
  EXPECT_FALSE(doc.GetEnvelope().empty());
  EXPECT_EQ(doc.GetEnvelope().nodes.size(), static_cast<size_t>(doc.GetAnalysis().m_nNodes));
}

TEST(BackgroundRunDocumentTest, ADocumentDestroyedDuringARunCancelsIt) {
  HeldRuns runs;
  ModelRunner runner;
  {
    CSPLX_30Doc doc;
    doc.SetRunner(&runner);
    doc.SetBackgroundRunner(&runs);
    doc.SetLines(nullptr, LiveLoadBeam(12));
  }
  EXPECT_EQ(runs.cancels, 1);
}

// ---- The worker thread ----

// Holds the worker's runs at their first progress call until released or no longer wanted.
struct Gate {
  void Arrive(uint64_t generation, const RunWorker& worker) {
    std::unique_lock<std::mutex> lock(mutex);
    arrived[generation]++;
    changed.notify_all();
    // Polls whether the run is still wanted: the worker's Cancel and destructor say so
    // without telling this gate.
    while (!released && worker.Wanted() == generation) {
      changed.wait_for(lock, std::chrono::milliseconds(1));
    }
  }
  void WaitFor(uint64_t generation) {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [&] { return arrived[generation] > 0; });
  }
  void Release() {
    std::lock_guard<std::mutex> lock(mutex);
    released = true;
    changed.notify_all();
  }
  std::mutex mutex;
  std::condition_variable changed;
  std::map<uint64_t, int> arrived;
  bool released = false;
};

struct Delivered {
  void Add(uint64_t generation, std::shared_ptr<LinesRunResult> run) {
    std::lock_guard<std::mutex> lock(mutex);
    runs.emplace_back(generation, std::move(run));
    changed.notify_all();
  }
  void WaitForCount(size_t n) {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [&] { return runs.size() >= n; });
  }
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::pair<uint64_t, std::shared_ptr<LinesRunResult>>> runs;
};

TEST(RunWorkerTest, AStartWhileARunIsGoingStopsItAndRunsTheNewestLinesOnly) {
  Gate gate;
  Delivered delivered;
  RunWorker* held = nullptr;  // not the pointer below, which reset() empties before deleting
  auto worker = std::make_unique<RunWorker>(
      ModelRunner::Mode::kChecked,
      [&](uint64_t g, std::shared_ptr<LinesRunResult> run) { delivered.Add(g, std::move(run)); },
      [&](uint64_t g, double) { gate.Arrive(g, *held); });
  held = worker.get();
  worker->Start(1, LiveLoadBeam(20));
  gate.WaitFor(1);  // run 1 is going, held
  worker->Start(2, LiveLoadBeam(21));
  worker->Start(3, LiveLoadBeam(22));  // replaces 2, which never starts
  gate.Release();
  delivered.WaitForCount(1);
  worker.reset();  // joined: nothing more can be delivered
  ASSERT_EQ(delivered.runs.size(), 1u);
  EXPECT_EQ(delivered.runs[0].first, 3u);
  const LinesRunResult plain = RunSnapshot(LiveLoadBeam(22), ModelRunner::Mode::kChecked);
  EXPECT_EQ(delivered.runs[0].second->log.text, plain.log.text);
  EXPECT_EQ(delivered.runs[0].second->envelope.nodes.size(), plain.envelope.nodes.size());
  EXPECT_EQ(delivered.runs[0].second->envelope.extremes[kEnvelopeMinMoment].value,
            plain.envelope.extremes[kEnvelopeMinMoment].value);
  EXPECT_EQ(gate.arrived.count(2), 0u);
}

TEST(RunWorkerTest, CancelAndDestructionStopARunHeldHalfWay) {
  for (const bool destroy : {false, true}) {
    Gate gate;
    Delivered delivered;
    RunWorker* held = nullptr;
    auto worker = std::make_unique<RunWorker>(
        ModelRunner::Mode::kChecked,
        [&](uint64_t g, std::shared_ptr<LinesRunResult> run) { delivered.Add(g, std::move(run)); },
        [&](uint64_t g, double) { gate.Arrive(g, *held); });
    held = worker.get();
    worker->Start(1, LiveLoadBeam(20));
    gate.WaitFor(1);
    if (!destroy) {
      worker->Cancel();
      worker->Start(2, LiveLoadBeam(5));
      gate.Release();
      delivered.WaitForCount(1);
    }
    worker.reset();
    ASSERT_EQ(delivered.runs.size(), destroy ? 0u : 1u);
    if (!destroy) {
      EXPECT_EQ(delivered.runs[0].first, 2u);
    }
  }
}

// ---- The command line's progress line ----

TEST(ProgressLineTest, ATerminalSeesThePercentAfterTheDelayAndTheLineIsWipedAtTheEnd) {
  using namespace std::chrono_literals;
  const ProgressLine::Clock::time_point t0{};
  std::ostringstream terminal, pipe;
  {
    ProgressLine line(terminal, true, 500ms), quiet(pipe, false, 0ms);
    EXPECT_FALSE(static_cast<bool>(quiet.Callback()));
    EXPECT_TRUE(static_cast<bool>(line.Callback()));
    for (const double f : {0.0, 0.5, 1.0}) quiet.Report(f, t0 + 1s);
    line.Report(0.0, t0);
    line.Report(0.3, t0 + 400ms);  // within the delay: nothing
    EXPECT_EQ(terminal.str(), "");
    line.Report(0.42, t0 + 600ms);
    line.Report(0.421, t0 + 700ms);  // the same percent: not written again
    line.Report(0.5, t0 + 800ms);
    EXPECT_EQ(terminal.str(), "\rEnvelope: 42%\rEnvelope: 50%");
    line.Report(1.0, t0 + 900ms);
    EXPECT_EQ(terminal.str(), "\rEnvelope: 42%\rEnvelope: 50%\r              \r");
    // A second envelope of the same command: its own delay, and a stop half way is wiped
    // when the line goes.
    line.Report(0.0, t0 + 2s);
    line.Report(0.1, t0 + 2100ms);
    line.Report(0.7, t0 + 3s);
  }
  EXPECT_EQ(terminal.str(),
            "\rEnvelope: 42%\rEnvelope: 50%\r              \r\rEnvelope: 70%\r              \r");
  EXPECT_EQ(pipe.str(), "");
}

}  // namespace
}  // namespace spanlab
