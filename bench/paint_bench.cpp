// One paint of the results view on a 1000 x 600 image for a beam of a million nodes: the paint
// must stay proportional to the window, not to the model (target: under 100 ms).
//
// The model: 1,000,000 pins 10 length units apart, one member property, one uniform load over
// the whole beam; analysed once, outside the timing.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <memory>
#include <string>
#include <vector>

#include "bench/qt_bench_main.h"
#include "platform/qt_device_context.h"
#include "run/document.h"
#include "view/results_paint.h"

namespace {

using spanlab::CSPLX_30Doc;

constexpr int kSupports = 1'000'000;
constexpr double kSpan = 10;

CSPLX_30Doc& MillionNodeBeam() {
  static std::unique_ptr<CSPLX_30Doc> doc = [] {
    auto d = std::make_unique<CSPLX_30Doc>();
    std::vector<std::string> lines = {"File Format:3.0", "Member Property: X = 0; E = 200; I = 3;"};
    for (int i = 0; i < kSupports; ++i) {
      lines.push_back("Support: X = " + std::to_string(int(kSpan) * i) + "; Disp = 0;");
    }
    lines.push_back("Uniform Load: XStart = 0; XEnd = " +
                    std::to_string(int(kSpan) * (kSupports - 1)) + "; UStart = -1; UEnd = -1;");
    d->SetLines(nullptr, std::move(lines));
    d->BuildItems(true);
    d->RunAnalysis();
    return d;
  }();
  return *doc;
}

void Paint(benchmark::State& state, spanlab::ViewToggles toggles) {
  CSPLX_30Doc& doc = MillionNodeBeam();
  const spanlab::CBeamAnalysis& a = doc.GetAnalysis();
  if (a.m_bError || a.m_dLength <= 0 || a.m_nNodes < kSupports) {
    state.SkipWithError("the analysis of the million-node beam failed");
    return;
  }
  spanlab::ResultsViewState view;
  view.m_cxClient = 1000;
  view.m_cyClient = 600;
  view.toggles = toggles;
  QImage image(view.m_cxClient, view.m_cyClient, QImage::Format_RGB32);
  image.setDotsPerMeterX(3780);  // 96 dpi, as the screen
  image.setDotsPerMeterY(3780);
  for (auto _ : state) {
    image.fill(Qt::white);
    QPainter painter(&image);
    spanlab::QtDeviceContext dc(painter, false);
    spanlab::PaintResultsView(dc, doc, view);
  }
  state.counters["nodes"] = a.m_nNodes;
}

void BM_PaintFourCurves(benchmark::State& state) {
  Paint(state, {.shear = true, .moment = true, .rotation = true, .deflection = true});
}
BENCHMARK(BM_PaintFourCurves)->Unit(benchmark::kMillisecond);

void BM_PaintReactions(benchmark::State& state) { Paint(state, {.reactions = true}); }
BENCHMARK(BM_PaintReactions)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunQtBenchmarks<QGuiApplication>(argc, argv); }
