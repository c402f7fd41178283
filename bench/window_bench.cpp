// The window at work, offscreen (1400 x 900, the moment and deflection diagrams on), each
// figure taken until the window is idle again (the pending paints made):
// - an edit of a 1,000-line model, as the tree editor hands it to the document, which runs it
//   (checks, items, analysis, extremes); the model is a continuous beam of 333 spans with a
//   support, a point load and a uniform load per span, and each iteration changes one load;
// - a drag step in the results view on such beams of 100 and 10,000 lines: one mouse move of a
//   point load dragged along the beam, from the move event until the view has repainted (the
//   line rewritten through the tree, the run, the Results box and the view); each iteration
//   moves the load to the other of two snapped positions, and each must run the model once;
// - on a beam of one million spans (1,000,001 supports, one point load): opening it, deleting
//   and adding a line through the tree, undo and redo, opening the supports section and the
//   tree's End key the first time after opening it. Its runs go to the worker thread: each
//   figure is taken until the new results are shown;
// - a support added through the tree to a beam of 10,000 or 100,000 spans with a Live Load
//   line (its run on the worker thread): until the window answers again, and until the new
//   results are shown (or, "no wait", each edit made while the run of the one before is going).
#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "app/qt_main_frame.h"
#include "bench/qt_bench_main.h"
#include "edit/line_editor.h"
#include "edit/qt_tree_edit.h"
#include "model/model_file.h"
#include "platform/file_access.h"
#include "platform/settings.h"
#include "report/print_options.h"
#include "view/qt_results_view.h"

namespace {

// A continuous beam of `spans` spans with a support, a point load and a uniform load per span:
// 3 lines a span and 4 more (333 spans make 1,003 lines, 32 make 100, 3,332 make 10,000). The
// point load of span `changed` (modulo the spans) is -7 kips instead of -5.
std::vector<std::string> SpanModel(int spans, int changed = -1) {
  std::vector<std::string> lines = {"File Format:3.0", "Units:English;",
                                    "Member Property: X = 0; E = 29000; I = 448;"};
  for (int s = 0; s < spans; ++s) {
    lines.push_back("Support: X = " + std::to_string(10 * s) + "; Disp = 0;");
  }
  lines.push_back("Support: X = " + std::to_string(10 * spans) + "; Disp = 0;");
  for (int s = 0; s < spans; ++s) {
    const std::string load = changed >= 0 && s == changed % spans ? "-7" : "-5";
    lines.push_back("Point Load: X = " + std::to_string(10 * s + 4) + "; PLoad = " + load + ";");
  }
  for (int s = 0; s < spans; ++s) {
    lines.push_back("Uniform Load: XStart = " + std::to_string(10 * s) +
                    "; XEnd = " + std::to_string(10 * s + 10) + "; UStart = -1; UEnd = -1;");
  }
  return lines;
}

// Shows the window at 1400 x 900 with the moment and deflection diagrams on, holding `lines`;
// false, the benchmark skipped, when it does not show.
bool ShowWithDiagrams(spanlab::CMainFrame& frame, benchmark::State& state,
                      std::vector<std::string> lines) {
  frame.resize(1400, 900);
  frame.show();
  if (!QTest::qWaitForWindowExposed(&frame)) {
    state.SkipWithError("the window did not show");
    return false;
  }
  frame.Toggle(spanlab::ViewToggle::kMoment);
  frame.Toggle(spanlab::ViewToggle::kDeflection);
  frame.Document().SetLines(nullptr, std::move(lines));
  QApplication::processEvents();
  return true;
}

// The model's figures, and a skip when it did not analyse.
void ModelCounters(spanlab::CMainFrame& frame, benchmark::State& state) {
  const spanlab::CBeamAnalysis& a = frame.Document().GetAnalysis();
  if (a.m_bError || a.m_dLength <= 0) state.SkipWithError("the model did not analyse");
  state.counters["lines"] = static_cast<double>(frame.Document().GetLines().size());
  state.counters["nodes"] = a.m_nNodes;
  frame.Document().SetModifiedFlag(false);
}

// Waits, the window's events going on, until the document's run has come back from the worker
// thread and its results are painted; false if it did not within `ms`.
bool UntilResults(spanlab::CMainFrame& frame, int ms = 3'600'000) {
  const bool done = QTest::qWaitFor([&] { return !frame.Document().IsRunPending(); }, ms);
  QApplication::processEvents();
  return done;
}

void BM_EditRunRepaint1000Lines(benchmark::State& state) {
  spanlab::MemorySettings settings;
  spanlab::PrintOptions options;
  spanlab::CMainFrame frame(settings, options);
  if (!ShowWithDiagrams(frame, state, SpanModel(333))) return;
  int edit = 0;
  for (auto _ : state) {
    frame.Document().SetLines(frame.Tree(), SpanModel(333, edit++));
    QApplication::processEvents();  // the output pane's text and the results view's paint
  }
  ModelCounters(frame, state);
}
BENCHMARK(BM_EditRunRepaint1000Lines)->Unit(benchmark::kMillisecond);

// Counts the paints of a widget and the runs of a document.
class StepCounter : public QObject, public spanlab::CView {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    paints += event->type() == QEvent::Paint;
    return false;
  }
  void OnUpdate(spanlab::CView*, long hint) override { runs += hint == spanlab::kHintLines; }
  int paints = 0;
  int runs = 0;
};

void BM_DragStep(benchmark::State& state) {
  spanlab::MemorySettings settings;
  spanlab::PrintOptions options;
  spanlab::CMainFrame frame(settings, options);
  const int spans = static_cast<int>(state.range(0));
  if (!ShowWithDiagrams(frame, state, SpanModel(spans))) return;
  spanlab::CSPLX_30View* view = frame.ResultsView();
  // The point load of the middle span, taken by the top of its arrow (above the uniform
  // loads' arrows, which would be picked first at the same distance).
  const spanlab::DrawingFrame f = view->Frame();
  const QPoint load(f.MapX((10.0 * (spans / 2) + 4) * 12), f.baseline - 30);
  QTest::mousePress(view, Qt::LeftButton, {}, load);
  if (!view->IsDragging()) {
    state.SkipWithError("nothing was picked up");
    return;
  }
  StepCounter counter;
  view->installEventFilter(&counter);
  frame.Document().AddView(&counter);
  int step = 0;
  for (auto _ : state) {
    const int paints = counter.paints;
    const QPoint at = load + QPoint(step++ % 2 == 0 ? 12 : 24, 0);
    QMouseEvent move(QEvent::MouseMove, at, view->mapToGlobal(at), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(view, &move);
    while (counter.paints == paints) QApplication::processEvents();
  }
  frame.Document().RemoveView(&counter);
  QTest::mouseRelease(view, Qt::LeftButton, {}, load);
  if (counter.runs != step) state.SkipWithError("a move did not run the model exactly once");
  ModelCounters(frame, state);
}
BENCHMARK(BM_DragStep)->Arg(32)->Arg(3332)->Unit(benchmark::kMillisecond);

// ---- A million spans ----

constexpr int kMillion = 1'000'000;

// The million-span beam as a model file, written once.
const QString& MillionSpanFile() {
  static QTemporaryDir dir;
  static const QString path = [] {
    std::vector<std::string> lines = {"File Format:3.0", "Units:English;",
                                      "Member Property: X = 0; E = 29000; I = 448;"};
    lines.reserve(kMillion + 5);
    for (int i = 0; i <= kMillion; ++i) {
      lines.push_back("Support: X = " + std::to_string(10 * i) + "; Disp = 0;");
    }
    lines.push_back("Point Load: X = 5; PLoad = -5;");
    const QString file = dir.filePath("million.spn");
    const spanlab::Status status =
        spanlab::DefaultFileAccess().WriteFileAtomically(file.toStdString(), spanlab::WriteModelFile(lines));
    return status.ok() ? file : QString();
  }();
  return path;
}

// Stands in for the item dialogs: every dialog is confirmed with a support of its own, in the
// middle of a span of the beam.
class SupportLineEditor : public spanlab::LineEditor {
 public:
  bool Edit(int, int, const spanlab::ModelItems&, std::string& text) override {
    text = " X = " + std::to_string(10 * next_++ + 5) + "; Disp = 0;";
    return true;
  }

 private:
  int next_ = 0;
};

// Answers the next message box with Yes as soon as it shows.
void AnswerNextBoxYes() {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [timer] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    box->button(QMessageBox::Yes)->click();
  });
  timer->start(1);
}

// A shown window holding the million-span beam, its Supports section open.
class MillionSpanWindow {
 public:
  explicit MillionSpanWindow(benchmark::State& state) : frame(settings, options) {
    frame.SetLineEditor(&editor);
    frame.resize(1400, 900);
    frame.show();
    ok = QTest::qWaitForWindowExposed(&frame) && !MillionSpanFile().isEmpty();
    if (!ok) {
      state.SkipWithError("the window did not show or the model could not be written");
      return;
    }
    frame.Toggle(spanlab::ViewToggle::kMoment);
    frame.Toggle(spanlab::ViewToggle::kDeflection);
    ok = frame.OpenFile(MillionSpanFile()) && UntilResults(frame);
    if (!ok) state.SkipWithError("the model did not open");
    Tree()->expand(Tree()->Section(spanlab::kSectionSupports));
    QApplication::processEvents();
  }
  ~MillionSpanWindow() { frame.Document().SetModifiedFlag(false); }
  // Deletes the support in `row` through the tree's Delete command, until the window is idle.
  void DeleteSupport(int row) {
    Tree()->setCurrentIndex(Tree()->Line(spanlab::kSectionSupports, row));
    AnswerNextBoxYes();
    frame.Action("delete")->trigger();
    UntilResults(frame);
  }
  spanlab::CTreeEdit* Tree() { return frame.Tree(); }
  void Counters(benchmark::State& state) {
    state.counters["lines"] = static_cast<double>(frame.Document().GetLines().size());
    state.counters["nodes"] = frame.Document().GetAnalysis().m_nNodes;
  }

  spanlab::MemorySettings settings;
  spanlab::PrintOptions options;
  SupportLineEditor editor;
  spanlab::CMainFrame frame;
  bool ok = false;
};

void BM_OpenMillionSpans(benchmark::State& state) {
  MillionSpanWindow window(state);
  if (!window.ok) return;
  for (auto _ : state) {
    window.frame.OpenFile(MillionSpanFile());
    UntilResults(window.frame);
  }
  window.Counters(state);
}
BENCHMARK(BM_OpenMillionSpans)->Iterations(2)->Unit(benchmark::kMillisecond);

// Milliseconds of wall time of `action`, added to `total`.
template <class Action>
void Time(double& total, Action action) {
  QElapsedTimer clock;
  clock.start();
  action();
  total += static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

// Runs `first` and then `second` once an iteration, each until the window is idle: the time is
// the pair, the counters `firstName` and `secondName` each action.
template <class First, class Second>
void TimePair(benchmark::State& state, MillionSpanWindow& window, const char* firstName,
              First first, const char* secondName, Second second) {
  double firstMs = 0, secondMs = 0;
  for (auto _ : state) {
    Time(firstMs, [&] {
      first();
      UntilResults(window.frame);
    });
    Time(secondMs, [&] {
      second();
      UntilResults(window.frame);
    });
  }
  state.counters[firstName] = benchmark::Counter(firstMs, benchmark::Counter::kAvgIterations);
  state.counters[secondName] = benchmark::Counter(secondMs, benchmark::Counter::kAvgIterations);
  window.Counters(state);
}

// Deletes one support (the confirmation answered at once) and adds one through the tree.
void BM_DeleteAndAddLineMillionSpans(benchmark::State& state) {
  MillionSpanWindow window(state);
  if (!window.ok) return;
  int row = kMillion / 2;
  TimePair(
      state, window, "delete_ms", [&] { window.DeleteSupport(row--); }, "add_ms",
      [&] { window.frame.Action("add")->trigger(); });
}
BENCHMARK(BM_DeleteAndAddLineMillionSpans)->Iterations(3)->Unit(benchmark::kMillisecond);

// Undoes the last of five deletes and redoes it.
void BM_UndoRedoMillionSpans(benchmark::State& state) {
  MillionSpanWindow window(state);
  if (!window.ok) return;
  for (int i = 0; i < 5; ++i) window.DeleteSupport(1000 * i);
  TimePair(
      state, window, "undo_ms", [&] { window.frame.Undo(); }, "redo_ms",
      [&] { window.frame.Redo(); });
}
BENCHMARK(BM_UndoRedoMillionSpans)->Iterations(3)->Unit(benchmark::kMillisecond);

// Opening the Supports section of a freshly opened model, and the End key after it.
void BM_TreeExpandAndEndKeyMillionSpans(benchmark::State& state) {
  MillionSpanWindow window(state);
  if (!window.ok) return;
  spanlab::CTreeEdit* tree = window.Tree();
  double expandMs = 0, endMs = 0;
  for (auto _ : state) {
    state.PauseTiming();
    window.frame.OpenFile(MillionSpanFile());
    UntilResults(window.frame);
    tree->setFocus();
    tree->setCurrentIndex(tree->Section(spanlab::kSectionSupports));
    QApplication::processEvents();
    state.ResumeTiming();
    Time(expandMs, [&] {
      tree->expand(tree->Section(spanlab::kSectionSupports));
      QApplication::processEvents();
    });
    Time(endMs, [&] {
      QTest::keyClick(tree, Qt::Key_End);
      QApplication::processEvents();
    });
  }
  // The last row: the heading of the last section (a million supports open above it).
  if (spanlab::TreeLinesModel::SectionOf(tree->currentIndex()) != spanlab::kSectionCount - 1) {
    state.SkipWithError("End did not reach the last row");
  }
  state.counters["expand_ms"] = benchmark::Counter(expandMs, benchmark::Counter::kAvgIterations);
  state.counters["end_key_ms"] = benchmark::Counter(endMs, benchmark::Counter::kAvgIterations);
  window.Counters(state);
}
BENCHMARK(BM_TreeExpandAndEndKeyMillionSpans)->Iterations(3)->Unit(benchmark::kMillisecond);

// ---- A Live Load model: its runs on the worker thread ----

// `spans` spans of 10 ft under a dead load, with a Live Load line.
std::vector<std::string> LiveLoadModel(int spans) {
  std::vector<std::string> lines = {"File Format:3.0", "Units:English;",
                                    "Member Property: X = 0; E = 29000; I = 448;"};
  for (int s = 0; s <= spans; ++s) {
    lines.push_back("Support: X = " + std::to_string(10 * s) + "; Disp = 0;");
  }
  lines.push_back("Uniform Load: XStart = 0; XEnd = " + std::to_string(10 * spans) +
                  "; UStart = -1; UEnd = -1;");
  lines.push_back("Live Load: U = -0.8; LiveFactor = 1.6; DeadMax = 1.2; DeadMin = 0.9;");
  return lines;
}

// Adds a support in a span through the tree (range(0) spans): answer_ms until the window has
// answered (the command handled, its events processed), results_ms until the new results are
// shown. With range(1) 0 the results are not waited for: each edit comes while the run of the
// one before is going, and stops it.
void BM_EditLiveLoadModel(benchmark::State& state) {
  spanlab::MemorySettings settings;
  spanlab::PrintOptions options;
  SupportLineEditor editor;
  spanlab::CMainFrame frame(settings, options);
  frame.SetLineEditor(&editor);
  const bool wait = state.range(1) != 0;
  if (!ShowWithDiagrams(frame, state, LiveLoadModel(static_cast<int>(state.range(0))))) return;
  if (wait && !UntilResults(frame)) state.SkipWithError("the model's run did not end");
  double answerMs = 0, resultsMs = 0;
  for (auto _ : state) {
    QElapsedTimer clock;
    clock.start();
    frame.Tree()->setCurrentIndex(frame.Tree()->Section(spanlab::kSectionSupports));
    frame.Action("add")->trigger();
    QApplication::processEvents();
    answerMs += static_cast<double>(clock.nsecsElapsed()) / 1e6;
    if (wait) UntilResults(frame);
    resultsMs += static_cast<double>(clock.nsecsElapsed()) / 1e6;
  }
  state.counters["answer_ms"] = benchmark::Counter(answerMs, benchmark::Counter::kAvgIterations);
  if (wait) {
    state.counters["results_ms"] =
        benchmark::Counter(resultsMs, benchmark::Counter::kAvgIterations);
  }
  state.counters["lines"] = static_cast<double>(frame.Document().GetLines().size());
  frame.Document().SetModifiedFlag(false);
}
BENCHMARK(BM_EditLiveLoadModel)
    ->Args({10'000, 1})
    ->Args({100'000, 0})
    ->Args({100'000, 1})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunQtBenchmarks<QApplication>(argc, argv); }
