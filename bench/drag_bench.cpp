// A drag step in the window, offscreen (1400 x 900, the moment and deflection diagrams on): one
// mouse move of a point load dragged along the beam in the results view, from the move event
// until the view has repainted: the line rewritten through the tree, the whole model run
// (checks, items, analysis, extremes), the Results box and the view repainted. The models are
// continuous beams with a support, a point load and a uniform load per span, of about 100 and
// 10,000 lines. Each iteration moves the load to the other of two snapped positions.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include <string>
#include <vector>

#include "app/qt_main_frame.h"
#include "bench/qt_bench_main.h"
#include "platform/settings.h"
#include "report/print_options.h"
#include "view/qt_results_view.h"

namespace {

// 3 spans' worth of lines per span plus four: 32 spans make 100 lines, 3332 make 10,000.
std::vector<std::string> SpanModel(int spans) {
  std::vector<std::string> lines = {"File Format:3.0", "Units:English;",
                                    "Member Property: X = 0; E = 29000; I = 448;"};
  for (int s = 0; s <= spans; ++s) {
    lines.push_back("Support: X = " + std::to_string(10 * s) + "; Disp = 0;");
  }
  for (int s = 0; s < spans; ++s) {
    lines.push_back("Point Load: X = " + std::to_string(10 * s + 4) + "; PLoad = -5;");
  }
  for (int s = 0; s < spans; ++s) {
    lines.push_back("Uniform Load: XStart = " + std::to_string(10 * s) +
                    "; XEnd = " + std::to_string(10 * s + 10) + "; UStart = -1; UEnd = -1;");
  }
  return lines;
}

class PaintCounter : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    paints += event->type() == QEvent::Paint;
    return false;
  }
  int paints = 0;
};

void SendMove(QWidget* view, QPoint at) {
  QMouseEvent move(QEvent::MouseMove, at, view->mapToGlobal(at), Qt::NoButton, Qt::LeftButton,
                   Qt::NoModifier);
  QApplication::sendEvent(view, &move);
}

void BM_DragStep(benchmark::State& state) {
  spanlab::MemorySettings settings;
  spanlab::PrintOptions options;
  spanlab::CMainFrame frame(settings, options);
  frame.resize(1400, 900);
  frame.show();
  if (!QTest::qWaitForWindowExposed(&frame)) {
    state.SkipWithError("the window did not show");
    return;
  }
  frame.Toggle(spanlab::ViewToggle::kMoment);
  frame.Toggle(spanlab::ViewToggle::kDeflection);
  const int spans = static_cast<int>(state.range(0));
  frame.Document().SetLines(nullptr, SpanModel(spans));
  QApplication::processEvents();
  spanlab::CSPLX_30View* view = frame.ResultsView();
  // The point load of the middle span, taken by the top of its arrow (above the uniform
  // loads' arrows, which would be picked first at the same distance).
  const spanlab::DrawingFrame f = view->Frame();
  const int middle = spans / 2;
  const QPoint load(f.MapX((10.0 * middle + 4) * 12), f.baseline - 30);
  QTest::mousePress(view, Qt::LeftButton, {}, load);
  if (!view->IsDragging()) {
    state.SkipWithError("nothing was picked up");
    return;
  }
  PaintCounter counter;
  view->installEventFilter(&counter);
  int step = 0;
  for (auto _ : state) {
    const int paints = counter.paints;
    SendMove(view, load + QPoint(step++ % 2 == 0 ? 12 : 24, 0));
    while (counter.paints == paints) QApplication::processEvents();
  }
  QTest::mouseRelease(view, Qt::LeftButton, {}, load);
  const spanlab::CBeamAnalysis& a = frame.Document().GetAnalysis();
  if (a.m_bError || a.m_dLength <= 0) state.SkipWithError("the model did not analyse");
  state.counters["lines"] = static_cast<double>(frame.Document().GetLines().size());
  state.counters["nodes"] = a.m_nNodes;
  frame.Document().SetModifiedFlag(false);
}
BENCHMARK(BM_DragStep)->Arg(32)->Arg(3332)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunQtBenchmarks<QApplication>(argc, argv); }
