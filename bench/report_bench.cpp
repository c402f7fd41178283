// Report building on a model with 1,000,000 nodes: the details table with every node (the
// 200+ points choice) and the whole joined text that the clipboard and report files get.
//
// The model is given as model lines and goes through the same checks and analysis as in the
// window: a continuous beam 999,999 long with a support every 10 units and a point load at
// every other integer position. Every gap is shorter than L/199, so each integer position is
// one node and nothing is subdivided. The model is built once, outside the timing.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "report/print_options.h"
#include "report/report_builder.h"
#include "report/report_text.h"
#include "run/document.h"
#include "run/run_driver.h"

namespace {

using spanlab::CSPLX_30Doc;

constexpr int kNodes = 1'000'000;

CSPLX_30Doc& MillionNodeModel() {
  static const std::unique_ptr<CSPLX_30Doc> doc = [] {
    auto d = std::make_unique<CSPLX_30Doc>();
    std::vector<std::string> lines;
    lines.reserve(kNodes + 3);
    lines.push_back("File Format:3.0");
    lines.push_back("/Continuous beam of 100,000 spans");
    lines.push_back("Member Property: X = 0; E = 200000; I = 300;");
    for (int x = 0; x < kNodes; ++x) {
      const std::string at = std::to_string(x);
      lines.push_back(x % 10 == 0 ? "Support: X = " + at + "; Disp = 0;"
                                  : "Point Load: X = " + at + "; PLoad = -1;");
    }
    static spanlab::ModelRunner runner;
    d->SetRunner(&runner);
    d->SetLines(nullptr, std::move(lines));
    return d;
  }();
  return *doc;
}

bool HasAllNodes(benchmark::State& state, const CSPLX_30Doc& doc) {
  if (doc.GetAnalysis().m_nNodes == kNodes) return true;
  state.SkipWithError("the model did not give 1,000,000 nodes");
  return false;
}

void BM_DetailsReportEveryNode(benchmark::State& state) {
  CSPLX_30Doc& doc = MillionNodeModel();
  if (!HasAllNodes(state, doc)) return;
  size_t lines = 0;
  for (auto _ : state) {
    spanlab::ReportBuilder builder;
    builder.BuildDetailsReport(doc, 3, false);
    lines = builder.Lines().size();
    benchmark::DoNotOptimize(lines);
  }
  state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_DetailsReportEveryNode)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_JoinedReportTextAllReports(benchmark::State& state) {
  CSPLX_30Doc& doc = MillionNodeModel();
  if (!HasAllNodes(state, doc)) return;
  spanlab::PrintOptions options;
  options.m_bPrintDetails = 1;
  options.m_nDataPoints = 3;
  size_t bytes = 0;
  for (auto _ : state) {
    const std::string text = spanlab::JoinedReportText(doc, options);
    bytes = text.size();
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_JoinedReportTextAllReports)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_TabDelimitedDetailsEveryNode(benchmark::State& state) {
  CSPLX_30Doc& doc = MillionNodeModel();
  if (!HasAllNodes(state, doc)) return;
  for (auto _ : state) {
    const std::string text = spanlab::TabDelimitedDetailsText(doc, 3);
    benchmark::DoNotOptimize(text.data());
  }
}
BENCHMARK(BM_TabDelimitedDetailsEveryNode)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
