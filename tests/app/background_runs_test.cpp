// The window while the run of a long model is going on its worker thread: edits, undo and redo
// go on, each cancelling the run before; the newest model's results are the only ones shown,
// told to the views once; nothing stale is shown as current in between; New, Open and closing
// the window during a run are safe.
//
// The runs are held on the worker thread at a chosen point (ThreadedRuns::SetWorkerHook) until
// the test lets them go or they are no longer wanted, so nothing depends on how fast they are.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/qt_main_frame.h"
#include "edit/qt_tree_edit.h"
#include "model/model_file.h"
#include "model/sections.h"
#include "platform/settings.h"
#include "report/print_options.h"
#include "run/run_driver.h"
#include "tests/support/gui_test_helpers.h"
#include "view/qt_output_pane.h"
#include "view/qt_results_view.h"

namespace spanlab {
namespace {

using Lines = std::vector<std::string>;

constexpr int kWaitMs = 60'000;  // a guard against hanging, not a timing of the test

// `spans` spans of 10 ft under a dead load, with a Live Load line.
Lines LiveLoadBeam(int spans) {
  Lines lines = {"File Format:3.0", "Units:English;", "Member Property: X = 0; E = 29000; I = 448;"};
  for (int i = 0; i <= spans; ++i) lines.push_back("Support: X = " + std::to_string(10 * i) + "; Disp = 0;");
  lines.push_back("Uniform Load: XStart = 0; XEnd = " + std::to_string(10 * spans) +
                  "; UStart = -1; UEnd = -1;");
  lines.push_back("Live Load: U = -0.8; LiveFactor = 1.6; DeadMax = 1.2; DeadMin = 0.9;");
  return lines;
}

// Holds every run on the worker thread at its first call of a kind (as it begins, or at the
// envelope's first progress) until released or no longer wanted; counts the calls of each run.
class Gate {
 public:
  enum class At { kBegin, kEnvelope };
  Gate(ThreadedRuns& runs, At at) : m_runs(runs), m_at(at) {
    runs.SetWorkerHook([this](uint64_t g, double f) { Arrive(g, f); });
  }
  ~Gate() {
    Release();
    if (m_attached) m_runs.SetWorkerHook({});
  }
  void Release() { m_released = true; }
  // The runner has gone (with its window): nothing to take the hook from.
  void Forget() { m_attached = false; }
  int Calls(uint64_t generation) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_calls[generation];
  }
  // Waits on the window's thread, its events going on, until run `generation` is held.
  bool WaitUntilHeld(uint64_t generation) {
    return QTest::qWaitFor([&] { return m_held == generation; }, kWaitMs);
  }

 private:
  void Arrive(uint64_t generation, double fraction) {
    if ((m_at == At::kBegin) != (fraction < 0)) return;
    int calls;
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      calls = ++m_calls[generation];
    }
    if (calls > 1) return;
    m_held = generation;
    while (!m_released && m_runs.Wanted() == generation) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }

  ThreadedRuns& m_runs;
  const At m_at;
  bool m_attached = true;
  std::atomic<bool> m_released{false};
  std::atomic<uint64_t> m_held{0};
  std::mutex m_mutex;
  std::map<uint64_t, int> m_calls;
};

// What the views are told: at each hint, whether the results are complete and current.
class ToldView : public CView {
 public:
  void OnUpdate(CView*, long hint) override {
    if (hint != kHintLines && hint != kHintRunStarted) return;
    const auto& doc = *static_cast<const CSPLX_30Doc*>(GetDocument());
    told.push_back({hint, doc.GetLines(), doc.IsRunPending(), doc.GetLastRun().text,
                    doc.GetAnalysis().m_nNodes, doc.GetEnvelope().nodes.size()});
  }
  struct Told {
    long hint;
    Lines lines;
    bool pending;
    std::string log;
    int32_t nodes;
    size_t envelopeNodes;
  };
  std::vector<Told> told;
};

class BackgroundRunsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    frame_ = std::make_unique<CMainFrame>(settings_, options_);
    frame_->SetLineEditor(&editor_);
    // Live loads over 100 spans and more go to the thread: a model that runs in milliseconds.
    frame_->BackgroundRuns().SetLongRunSize({1'000'000, 100});
    frame_->Document().AddView(&view_);
    frame_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame_.get()));
  }
  void TearDown() override {
    if (frame_) {
      frame_->Document().RemoveView(&view_);
      frame_->Document().SetModifiedFlag(false);
    }
    frame_.reset();
    EXPECT_TRUE(editor_.AllAnswersUsed());
  }

  CSPLX_30Doc& Doc() { return frame_->Document(); }
  QString Status() { return frame_->statusBar()->currentMessage(); }
  bool Enabled(const char* action) { return frame_->Action(action)->isEnabled(); }
  QString Open(const Lines& lines, const QString& name = "model.spn") {
    const QString path = dir_.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    const std::string bytes = WriteModelFile(lines);
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    file.close();
    EXPECT_TRUE(frame_->OpenFile(path));
    return path;
  }
  bool WaitForResults() {
    return QTest::qWaitFor([&] { return !Doc().IsRunPending(); }, kWaitMs);
  }
  // The results view as the screen shows it, compared with a fresh paint of it.
  QImage ExpectScreenIsAFreshPaint(const char* step) {
    QTest::qWait(20);  // the paints the change asked for reach the screen
    CSPLX_30View* view = frame_->ResultsView();
    const QPoint at = view->mapTo(frame_.get(), QPoint(0, 0));
    const QImage shown = frame_->screen()
                             ->grabWindow(frame_->winId(), at.x(), at.y(), view->width(),
                                          view->height())
                             .toImage()
                             .convertToFormat(QImage::Format_RGB32);
    const QImage fresh = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(shown == fresh) << step << ": the screen shows another picture than the results";
    return fresh;
  }
  // The run of `lines` made on the spot, as a small model runs.
  static RunLog PlainRun(const Lines& lines) {
    return RunSnapshot(lines, ModelRunner::Mode::kChecked).log;
  }
  void ExpectResultsNotShownAsCurrent(const char* step) {
    SCOPED_TRACE(step);
    EXPECT_TRUE(Doc().IsRunPending());
    EXPECT_TRUE(Status().startsWith(QString::fromUtf8("Running analysis\u2026"))) << Str(Status());
    for (const char* action : {"print", "printPreview", "clipboardText", "clipboardTab",
                               "printToFile", "exportResults", "exportReport", "exportPicture",
                               "copyPlot", "influenceLine"}) {
      EXPECT_FALSE(Enabled(action)) << action;
    }
    // An export asked for all the same writes nothing.
    const QString csv = dir_.filePath("results.csv");
    const spanlab::Status exported = frame_->ExportResults(csv);
    EXPECT_EQ(exported.message(),
              "The analysis of the model is still running; export again once its results are "
              "shown.");
    EXPECT_FALSE(QFile::exists(csv));
    const QPalette palette = frame_->OutputPane()->ResultsBox()->palette();
    EXPECT_EQ(palette.color(QPalette::Active, QPalette::Text),
              palette.color(QPalette::Disabled, QPalette::Text))
        << "the earlier model's log is not greyed";
  }

  QTemporaryDir dir_;
  MemorySettings settings_;
  PrintOptions options_;
  ScriptedEditor editor_;
  ToldView view_;
  std::unique_ptr<CMainFrame> frame_;
};

TEST_F(BackgroundRunsTest, EditsUndoAndRedoDuringRunsEndWithTheNewestResultsToldOnce) {
  frame_->Action("moment")->trigger();
  Gate gate(frame_->BackgroundRuns(), Gate::At::kEnvelope);
  const Lines first = LiveLoadBeam(150);
  Open(first);
  const uint64_t a = Doc().GetRunGeneration();
  ASSERT_TRUE(gate.WaitUntilHeld(a));  // the envelope of the opened model is going
  ExpectResultsNotShownAsCurrent("the model opened");
  EXPECT_EQ(Str(Status()), "Running analysis\u2026");
  const QImage running = ExpectScreenIsAFreshPaint("the model opened");
  EXPECT_EQ(frame_->Tree()->Content()[kSectionSupports].size(), 151u);

  // A point load added through the tree while the envelope is going: that run stops there.
  frame_->Tree()->setCurrentIndex(frame_->Tree()->Section(kSectionPointLoads));
  editor_.Confirm(" X = 15; PLoad = -10;");
  frame_->Action("add")->trigger();
  const uint64_t b = Doc().GetRunGeneration();
  ASSERT_GT(b, a);
  Lines second = first;
  second.insert(second.end() - 2, "Point Load: X = 15; PLoad = -10;");
  ASSERT_EQ(Doc().GetLines(), second);
  ASSERT_TRUE(gate.WaitUntilHeld(b));
  ExpectResultsNotShownAsCurrent("a load added");
  // Undo and Redo, each during the run of the step before.
  frame_->Undo();
  ASSERT_EQ(Doc().GetLines(), first);
  const uint64_t c = Doc().GetRunGeneration();
  ASSERT_TRUE(gate.WaitUntilHeld(c));
  frame_->Redo();
  ASSERT_EQ(Doc().GetLines(), second);
  const uint64_t d = Doc().GetRunGeneration();
  ExpectResultsNotShownAsCurrent("undo and redo");
  ExpectScreenIsAFreshPaint("undo and redo");

  gate.Release();
  ASSERT_TRUE(WaitForResults());
  // Each stopped run went no further than its envelope's first progress call.
  for (const uint64_t stopped : {a, b, c}) EXPECT_EQ(gate.Calls(stopped), 1) << stopped;
  EXPECT_GE(gate.Calls(d), 1);

  // The views were told of the results once, with all of the newest model's.
  std::vector<ToldView::Told> results;
  for (const ToldView::Told& t : view_.told) {
    if (t.hint == kHintLines) results.push_back(t);
    else EXPECT_TRUE(t.pending);
  }
  ASSERT_EQ(results.size(), 1u);
  const RunLog plain = PlainRun(second);
  EXPECT_EQ(results[0].lines, second);
  EXPECT_FALSE(results[0].pending);
  EXPECT_EQ(results[0].log, plain.text);
  EXPECT_GT(results[0].nodes, 151);
  EXPECT_EQ(results[0].envelopeNodes, static_cast<size_t>(results[0].nodes));
  EXPECT_EQ(Str(frame_->OutputPane()->ResultsBox()->toPlainText().trimmed()),
            Str(QString::fromStdString(plain.text).replace("\r\n", "\n").trimmed()));
  EXPECT_EQ(Str(Status()), "Ready");
  for (const char* action : {"print", "exportResults", "copyPlot", "influenceLine"}) {
    EXPECT_TRUE(Enabled(action)) << action;
  }
  const QPalette palette = frame_->OutputPane()->ResultsBox()->palette();
  EXPECT_NE(palette.color(QPalette::Active, QPalette::Text),
            palette.color(QPalette::Disabled, QPalette::Text));
  EXPECT_TRUE(frame_->ExportResults(dir_.filePath("results.csv")).ok());
  const QImage shown = ExpectScreenIsAFreshPaint("the newest results");
  EXPECT_FALSE(shown == running) << "the results view still shows the faded picture";
}

TEST_F(BackgroundRunsTest, NewAndOpenDuringARunDropItAndClosingTheWindowStopsIt) {
  Gate gate(frame_->BackgroundRuns(), Gate::At::kBegin);
  Open(LiveLoadBeam(120), "a.spn");
  const uint64_t a = Doc().GetRunGeneration();
  ASSERT_TRUE(gate.WaitUntilHeld(a));
  ASSERT_TRUE(frame_->FileNew());  // not modified: no question
  EXPECT_FALSE(Doc().IsRunPending());
  EXPECT_TRUE(Doc().GetLines().empty());
  ASSERT_EQ(view_.told.size(), 2u);
  EXPECT_EQ(view_.told[1].hint, kHintLines);
  EXPECT_EQ(view_.told[1].nodes, 0);

  // Another file opened while one is held at its start: only the last one's results come.
  Open(LiveLoadBeam(130), "b.spn");
  const uint64_t b = Doc().GetRunGeneration();
  ASSERT_TRUE(gate.WaitUntilHeld(b));
  const Lines third = LiveLoadBeam(140);
  Open(third, "c.spn");
  gate.Release();
  ASSERT_TRUE(WaitForResults());
  EXPECT_EQ(gate.Calls(a), 1);
  EXPECT_EQ(gate.Calls(b), 1);
  ASSERT_EQ(view_.told.back().hint, kHintLines);
  EXPECT_EQ(view_.told.back().lines, third);
  EXPECT_EQ(view_.told.back().log, PlainRun(third).text);
  int results = 0;
  for (const ToldView::Told& t : view_.told) results += t.hint == kHintLines;
  EXPECT_EQ(results, 2) << "New, then the last file";
  EXPECT_EQ(Str(frame_->windowTitle()), "c.spn[*] - Spanlab");

  // Closing the window while a run is held half way: the run stops, nothing lands after.
  Gate again(frame_->BackgroundRuns(), Gate::At::kEnvelope);
  Open(LiveLoadBeam(150), "d.spn");
  ASSERT_TRUE(again.WaitUntilHeld(Doc().GetRunGeneration()));
  frame_->Document().RemoveView(&view_);
  const size_t told = view_.told.size();
  frame_->close();
  frame_.reset();
  gate.Forget();
  again.Forget();
  QTest::qWait(10);
  EXPECT_EQ(view_.told.size(), told);
}

// The item dialogs read the unit system of the items; while a run is going they are an earlier
// model's, so a dialog opened then takes it from the lines as they stand.
class UnitsSeen : public LineEditor {
 public:
  bool Edit(int, int, const ModelItems& items, std::string&) override {
    units.push_back(items.m_nUnits);
    return false;  // cancelled
  }
  std::vector<int> units;
};

TEST_F(BackgroundRunsTest, DialogsOpenedDuringARunUseTheUnitsOfTheLinesAsTheyStand) {
  UnitsSeen dialogs;
  frame_->SetLineEditor(&dialogs);
  Gate gate(frame_->BackgroundRuns(), Gate::At::kBegin);
  Open(LiveLoadBeam(120));  // English, after the empty model of a new window
  ASSERT_TRUE(gate.WaitUntilHeld(Doc().GetRunGeneration()));
  frame_->Tree()->setCurrentIndex(frame_->Tree()->Section(kSectionPointLoads));
  frame_->Action("add")->trigger();
  ASSERT_TRUE(Doc().EditLines(nullptr, [](Lines& lines) {
    lines[1] = "Units:Metric;";
    return true;
  }));
  frame_->Tree()->setCurrentIndex(frame_->Tree()->Section(kSectionPointLoads));
  frame_->Action("add")->trigger();
  gate.Release();
  ASSERT_TRUE(WaitForResults());
  frame_->Tree()->setCurrentIndex(frame_->Tree()->Section(kSectionPointLoads));
  frame_->Action("add")->trigger();
  EXPECT_EQ(dialogs.units, (std::vector<int>{kUnitsEnglish, kUnitsMetric, kUnitsMetric}));
  frame_->SetLineEditor(nullptr);
}

// A drag goes on while the runs of its steps are going (each step stops the run before it):
// the item goes down where the mouse let it go, and the views are told once, of that model.
TEST_F(BackgroundRunsTest, ADragGoesOnDuringTheRunsOfItsStepsAndEndsWithItsLastPosition) {
  frame_->BackgroundRuns().SetLongRunSize({1'000'000, 3});
  Lines lines = LiveLoadBeam(4);
  lines.insert(lines.end() - 2, "Point Load: X = 15; PLoad = -5;");
  const size_t load = lines.size() - 3;
  Open(lines);
  ASSERT_TRUE(WaitForResults());
  CSPLX_30View* view = frame_->ResultsView();
  const auto at = [view](double feet) {
    const DrawingFrame f = view->Frame();
    return QPoint(f.MapX(feet * 12), f.baseline - 20);
  };
  Gate gate(frame_->BackgroundRuns(), Gate::At::kBegin);
  const size_t told = view_.told.size();
  QTest::mousePress(view, Qt::LeftButton, {}, at(15));
  ASSERT_TRUE(view->IsDragging());
  for (const double feet : {17.0, 21.0, 25.0}) {
    const QPoint p = at(feet);
    QMouseEvent move(QEvent::MouseMove, p, view->mapToGlobal(p), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(view, &move);
    QApplication::processEvents();  // the step
    EXPECT_TRUE(Doc().IsRunPending()) << feet;
    EXPECT_TRUE(view->IsDragging()) << feet;
  }
  QTest::mouseRelease(view, Qt::LeftButton, {}, at(25));
  EXPECT_FALSE(view->IsDragging());
  EXPECT_EQ(Doc().GetLines()[load], "Point Load: X = 25; PLoad = -5;");
  gate.Release();
  ASSERT_TRUE(WaitForResults());
  int results = 0;
  for (size_t i = told; i < view_.told.size(); ++i) results += view_.told[i].hint == kHintLines;
  EXPECT_EQ(results, 1);
  EXPECT_EQ(view_.told.back().lines, Doc().GetLines());
  EXPECT_EQ(view_.told.back().log, PlainRun(Doc().GetLines()).text);
  // The drag is one step of the history.
  frame_->Undo();
  ASSERT_TRUE(WaitForResults());
  EXPECT_EQ(Doc().GetLines(), lines);
  EXPECT_EQ(view_.told.back().log, PlainRun(lines).text);
}

}  // namespace
}  // namespace spanlab
