// An edit of a 1,000-line model in the window, as the tree editor makes it: the new lines go
// to the document, which runs them (checks, items, analysis, extremes); then the output pane
// shows the log and the pending paints of the window are made (offscreen platform, 1400 x 900
// window with the moment and deflection diagrams on).
//
// The model: a continuous beam of 333 spans with a support, a point load and a uniform load
// per span (1,000 data lines). Each iteration changes the value of one point load.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "app/qt_main_frame.h"
#include "bench/qt_bench_main.h"
#include "edit/qt_tree_edit.h"
#include "platform/settings.h"
#include "report/print_options.h"
#include "view/qt_results_view.h"

namespace {

std::vector<std::string> ThousandLineModel(int changed) {
  std::vector<std::string> lines = {"File Format:3.0", "Units:English;",
                                    "Member Property: X = 0; E = 29000; I = 448;"};
  constexpr int kSpans = 333;
  for (int s = 0; s < kSpans; ++s) {
    lines.push_back("Support: X = " + std::to_string(10 * s) + "; Disp = 0;");
  }
  lines.push_back("Support: X = " + std::to_string(10 * kSpans) + "; Disp = 0;");
  for (int s = 0; s < kSpans; ++s) {
    const std::string load = s == changed % kSpans ? "-7" : "-5";
    lines.push_back("Point Load: X = " + std::to_string(10 * s + 4) + "; PLoad = " + load + ";");
  }
  for (int s = 0; s < kSpans; ++s) {
    lines.push_back("Uniform Load: XStart = " + std::to_string(10 * s) +
                    "; XEnd = " + std::to_string(10 * s + 10) + "; UStart = -1; UEnd = -1;");
  }
  return lines;
}

void BM_EditRunRepaint1000Lines(benchmark::State& state) {
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
  frame.Document().SetLines(nullptr, ThousandLineModel(-1));
  QApplication::processEvents();
  int edit = 0;
  for (auto _ : state) {
    frame.Document().SetLines(frame.Tree(), ThousandLineModel(edit++));
    QApplication::processEvents();  // the output pane's text and the results view's paint
  }
  const spanlab::CBeamAnalysis& a = frame.Document().GetAnalysis();
  if (a.m_bError || a.m_dLength <= 0) state.SkipWithError("the model did not analyse");
  state.counters["lines"] = static_cast<double>(frame.Document().GetLines().size());
  state.counters["nodes"] = a.m_nNodes;
  frame.Document().SetModifiedFlag(false);
}
BENCHMARK(BM_EditRunRepaint1000Lines)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunQtBenchmarks<QApplication>(argc, argv); }
