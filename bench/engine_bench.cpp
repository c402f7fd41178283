// One complete engine run (Reset to ComputeExtremes, as the document and the results view do it)
// on continuous beams with many spans, to keep the run linear in the model size.
//
// Supports sit every 10 length units; one member property at 0. With few spans the beam is cut
// into about 200 elements; from about 20 spans on, every span is one element plus the nodes
// that loads add.
#include <benchmark/benchmark.h>

#include <vector>

#include "analysis/beam_analysis.h"
#include "analysis/influence_line.h"
#include "analysis/live_load.h"
#include "model/units.h"

namespace {

using spanlab::CBeamAnalysis;

constexpr double kSpan = 10;

struct Model {
  double length = 0;
  std::vector<spanlab::CMemberPropertyItem> properties;
  std::vector<spanlab::CMomentReleaseItem> releases;
  std::vector<spanlab::CSupportItem> supports;
  std::vector<spanlab::CSpringItem> springs;
  std::vector<spanlab::CPointLoadItem> pointLoads;
  std::vector<spanlab::CUniformLoadItem> uniformLoads;
};

// `supports` supports; either one load over the whole beam or, with `perSpan`, one load over
// the middle half of every span (two more nodes per span).
Model ContinuousBeam(int64_t supports, bool perSpan) {
  Model m;
  m.length = kSpan * static_cast<double>(supports - 1);
  m.properties.resize(1);
  m.properties[0].m_dE = 200;
  m.properties[0].m_dI = 3;
  m.supports.resize(static_cast<size_t>(supports));
  for (int64_t i = 0; i < supports; ++i) {
    m.supports[i].m_dX = kSpan * static_cast<double>(i);
    m.supports[i].m_bDisp = 1;
  }
  auto load = [](double from, double to) {
    spanlab::CUniformLoadItem u;
    u.m_dXStart = from;
    u.m_dXEnd = to;
    u.m_dUStart = u.m_dUEnd = -1;
    return u;
  };
  if (perSpan) {
    m.uniformLoads.reserve(static_cast<size_t>(supports - 1));
    for (int64_t i = 0; i + 1 < supports; ++i) {
      const double x = kSpan * static_cast<double>(i);
      m.uniformLoads.push_back(load(x + 0.25 * kSpan, x + 0.75 * kSpan));
    }
  } else {
    m.uniformLoads.push_back(load(0, m.length));
  }
  return m;
}

void Run(CBeamAnalysis& a, const Model& m) {
  a.Reset();
  a.SetLength(m.length);
  a.BuildNodes(m.properties, m.releases, m.supports, m.springs, m.pointLoads, m.uniformLoads);
  a.BuildElements(m.properties, m.releases);
  a.Solve(m.supports, m.springs, m.pointLoads, m.uniformLoads, spanlab::kUnitsConsistent);
  a.ComputeExtremes(spanlab::kUnitsConsistent);
  benchmark::DoNotOptimize(a.m_dMaxDeflection);
}

// The steady state: the window re-runs the analysis on the same engine at every edit, and the
// engine keeps its working memory between runs. One untimed run first.
void RunEngine(benchmark::State& state, bool perSpan) {
  const int64_t supports = state.range(0);
  const Model m = ContinuousBeam(supports, perSpan);
  CBeamAnalysis a;
  Run(a, m);
  for (auto _ : state) Run(a, m);
  if (a.m_bError) {
    state.SkipWithError(a.m_messages.empty() ? "error" : a.m_messages.front().c_str());
    return;
  }
  state.SetItemsProcessed(state.iterations() * supports);
  state.counters["nodes"] = a.m_nNodes;
  state.counters["per_support"] = benchmark::Counter(
      static_cast<double>(supports),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The first run of a fresh engine: its memory comes fresh from the system (page faults).
void FirstRun(benchmark::State& state, bool perSpan) {
  const int64_t supports = state.range(0);
  const Model m = ContinuousBeam(supports, perSpan);
  for (auto _ : state) {
    CBeamAnalysis a;
    Run(a, m);
    state.PauseTiming();  // freeing the tables is not part of the run
    a = CBeamAnalysis();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * supports);
}

void BM_OneLoadOverAll(benchmark::State& state) { RunEngine(state, false); }
void BM_LoadPerSpan(benchmark::State& state) { RunEngine(state, true); }
void BM_FirstRunOneLoadOverAll(benchmark::State& state) { FirstRun(state, false); }
void BM_FirstRunLoadPerSpan(benchmark::State& state) { FirstRun(state, true); }

// The extremes alone (nodes and the values between them) of a solved beam: the last step of a
// run, repeated on the same tables.
void BM_Extremes(benchmark::State& state, bool perSpan) {
  const Model m = ContinuousBeam(state.range(0), perSpan);
  CBeamAnalysis a;
  Run(a, m);
  for (auto _ : state) {
    a.ComputeExtremes(spanlab::kUnitsConsistent);
    benchmark::DoNotOptimize(a.m_dMaxDeflection);
  }
  state.SetItemsProcessed(state.iterations() * a.m_nElements);
}
void BM_ExtremesOneLoadOverAll(benchmark::State& state) { BM_Extremes(state, false); }
void BM_ExtremesLoadPerSpan(benchmark::State& state) { BM_Extremes(state, true); }

// The live-load envelope over every pattern of the spans, after the run it builds on (the
// run's own time is BM_LoadPerSpan's): each span's change solved near its loads (the second
// pass re-solves only the spans that reach an extreme), or, for comparison, every change over
// the whole beam (BM_LiveLoadEnvelopeFull: O(spans x nodes)).
void LiveLoadEnvelope(benchmark::State& state, spanlab::EnvelopeMethod method) {
  const int64_t supports = state.range(0);
  const Model m = ContinuousBeam(supports, true);
  CBeamAnalysis a;
  Run(a, m);
  const spanlab::LiveLoadModel model{m.supports, m.springs, m.pointLoads, m.uniformLoads,
                                     m.length};
  const spanlab::CLiveLoadItem live{.m_dU = -0.5, .m_dLiveFactor = 1.5, .m_dDeadMax = 1.35};
  for (auto _ : state) {
    const spanlab::LiveLoadEnvelope env =
        spanlab::ComputeLiveLoadEnvelope(a, model, live, {}, method);
    benchmark::DoNotOptimize(env.extremes[0].value);
  }
  state.SetItemsProcessed(state.iterations() * (supports - 1));
  state.counters["nodes"] = a.m_nNodes;
}
void BM_LiveLoadEnvelope(benchmark::State& state) {
  LiveLoadEnvelope(state, spanlab::EnvelopeMethod::kAuto);
}
void BM_LiveLoadEnvelopeFull(benchmark::State& state) {
  LiveLoadEnvelope(state, spanlab::EnvelopeMethod::kFull);
}

// One influence line: a single solution on the eliminated band.
void BM_InfluenceLine(benchmark::State& state) {
  const int64_t supports = state.range(0);
  const Model m = ContinuousBeam(supports, true);
  CBeamAnalysis a;
  Run(a, m);
  for (auto _ : state) {
    const spanlab::InfluenceLine line = spanlab::ComputeInfluenceLine(
        a, m.springs, spanlab::InfluenceQuantity::kMoment, m.length / 2);
    benchmark::DoNotOptimize(line.points.data());
  }
  state.counters["nodes"] = a.m_nNodes;
}

BENCHMARK(BM_LiveLoadEnvelope)->Arg(10)->Arg(100)->Arg(1'001)->Arg(10'001)->Arg(100'001)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiveLoadEnvelope)->Arg(1'000'001)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiveLoadEnvelopeFull)->Arg(10)->Arg(100)->Arg(1'001)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InfluenceLine)->Arg(1'001)->Arg(100'001)->Unit(benchmark::kMillisecond);

BENCHMARK(BM_OneLoadOverAll)->Arg(10)->Arg(1'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OneLoadOverAll)->Arg(1'000'000)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadPerSpan)->Arg(10)->Arg(1'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadPerSpan)->Arg(1'000'000)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExtremesOneLoadOverAll)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExtremesLoadPerSpan)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstRunOneLoadOverAll)->Arg(1'000'000)->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstRunLoadPerSpan)->Arg(1'000'000)->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
