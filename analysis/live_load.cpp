// The envelope by superposition. The analysis is linear, so the result of an arrangement is
//   base + sum over the spans on max loading of delta_k,
// where base is the solution for the settlements with every span on min loading, and delta_k
// that for span k's change from min to max loading (settlements held at 0). At every point the
// largest value over all 2^N arrangements takes exactly the spans whose delta_k is positive
// there, and the smallest those whose delta_k is negative:
//   max = base + sum max(0, delta_k),   min = base + sum min(0, delta_k).
// That needs N + 1 solutions on the band the run eliminated. Which spans govern a global extreme
// is known only once the extreme is found, so a second pass over the spans reads the signs of
// delta_k at the eight extremes; it keeps the memory at O(nodes) instead of O(N x nodes).
#include "analysis/live_load.h"

#include <algorithm>
#include <cmath>

namespace spanlab {

namespace {

using Case = CBeamAnalysis::CaseResults;

// The eight result arrays of a load case: four per node, four per element.
constexpr std::array<std::vector<double> Case::*, 8> kArrays = {
    &Case::deflection, &Case::rotation,   &Case::reactionVert, &Case::reactionRot,
    &Case::shearStart, &Case::shearEnd, &Case::momentStart,  &Case::momentEnd};
enum : int {
  kDeflection,
  kRotation,
  kReactionVert,
  kReactionRot,
  kShearStart,
  kShearEnd,
  kMomentStart,
  kMomentEnd,
};

// The model's loads sorted by span, uniform loads cut at the span ends: O(loads + pieces).
struct SpanLoads {
  std::vector<CPointLoadItem> points;
  std::vector<CUniformLoadItem> uniforms;
};
std::vector<SpanLoads> LoadsBySpan(const LiveLoadModel& model,
                                   const std::vector<LiveLoadSpan>& spans) {
  std::vector<SpanLoads> bySpan(spans.size());
  for (const CPointLoadItem& p : model.pointLoads)
    bySpan[static_cast<size_t>(SpanOfPosition(spans, p.m_dX))].points.push_back(p);
  for (const CUniformLoadItem& u : model.uniformLoads) {
    double x1 = u.m_dXStart, x2 = u.m_dXEnd, u1 = u.m_dUStart, u2 = u.m_dUEnd;
    if (x1 > x2) {
      std::swap(x1, x2);
      std::swap(u1, u2);
    }
    if (!(x1 < x2)) continue;  // covers no element
    const double slope = (u2 - u1) / (x2 - x1);
    for (size_t k = static_cast<size_t>(SpanOfPosition(spans, x1)); k < spans.size(); ++k) {
      const double a = std::max(x1, spans[k].start), b = std::min(x2, spans[k].end);
      if (spans[k].start >= x2) break;
      if (!(a < b)) continue;
      const double ua = a == x1 ? u1 : u1 + slope * (a - x1);
      const double ub = b == x2 ? u2 : u1 + slope * (b - x1);
      bySpan[k].uniforms.push_back({a, b, ua, ub});
    }
  }
  return bySpan;
}

// Span k's loads times `factor`, appended to a load case.
void AddScaled(const SpanLoads& loads, double factor, std::vector<CPointLoadItem>& points,
               std::vector<CUniformLoadItem>& uniforms) {
  if (factor == 0) return;
  for (const CPointLoadItem& p : loads.points)
    points.push_back({p.m_dX, factor * p.m_dPLoad, factor * p.m_dMoment});
  for (const CUniformLoadItem& u : loads.uniforms)
    uniforms.push_back({u.m_dXStart, u.m_dXEnd, factor * u.m_dUStart, factor * u.m_dUEnd});
}

// The single analysis's tests on the envelope (its A4 and A2, with the same lines): false, with
// the A4 line, when a change (`probe` NaN), the base or a sum of them is not a finite number;
// the A2 line when a deflection is larger than the beam.
bool CheckRange(const Case& high, const Case& low, double probe, double length,
                LiveLoadEnvelope& env) {
  double largest = 0;
  for (auto array : kArrays) {
    for (const Case* c : {&high, &low}) {
      for (size_t i = 1; i < (c->*array).size(); ++i) probe += (c->*array)[i] - (c->*array)[i];
    }
  }
  if (probe != 0) {
    env.messages.push_back(CBeamAnalysis::kMessageA4);
    env.error = true;
    return false;
  }
  for (size_t i = 1; i < high.deflection.size(); ++i)
    largest = std::max({largest, std::fabs(high.deflection[i]), std::fabs(low.deflection[i])});
  if (largest > length) {
    env.messages.push_back(CBeamAnalysis::kMessageA2);
    env.error = true;
  }
  return true;
}

// Where an extreme was found: which array, which entry, and whether it is the envelope's max
// (the spans with a positive delta govern) or its min.
struct ExtremeSource {
  int array = kDeflection;
  int32_t index = 1;
  bool fromMax = true;
};

}  // namespace

std::vector<LiveLoadSpan> LiveLoadSpans(const std::vector<CSupportItem>& supports,
                                        double length) {
  std::vector<double> cuts;
  for (const CSupportItem& s : supports) {
    if (s.m_bDisp == 1) cuts.push_back(s.m_dX);
  }
  std::sort(cuts.begin(), cuts.end());
  cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
  std::vector<LiveLoadSpan> spans;
  double start = 0;
  for (double cut : cuts) {
    if (cut > start) spans.push_back({start, cut});
    start = std::max(start, cut);
  }
  if (length > start || spans.empty()) spans.push_back({start, length});
  return spans;
}

int32_t SpanOfPosition(const std::vector<LiveLoadSpan>& spans, double x) {
  const auto it = std::upper_bound(spans.begin(), spans.end(), x,
                                   [](double v, const LiveLoadSpan& s) { return v < s.start; });
  const auto k = static_cast<int32_t>(it - spans.begin()) - 1;
  return std::max(k, 0);
}

LiveLoadEnvelope ComputeLiveLoadEnvelope(const CBeamAnalysis& analysis,
                                         const LiveLoadModel& model, const CLiveLoadItem& live) {
  LiveLoadEnvelope env;
  if (!analysis.CanSolveLoadCases() || analysis.m_dLength <= 0) return env;
  const CBeamAnalysis::TableLock lock(analysis);
  env.spans = LiveLoadSpans(model.supports, model.length);
  const auto spanCount = static_cast<int32_t>(env.spans.size());
  const std::vector<SpanLoads> bySpan = LoadsBySpan(model, env.spans);

  // The base: settlements, every span on min loading (the model's loads times DeadMin).
  Case base;
  {
    std::vector<CPointLoadItem> points;
    std::vector<CUniformLoadItem> uniforms;
    for (const SpanLoads& loads : bySpan) AddScaled(loads, live.m_dDeadMin, points, uniforms);
    analysis.SolveLoadCase(model.supports, model.springs, points, uniforms, base);
  }
  const std::vector<CSupportItem> noSettlements;
  auto solveDelta = [&](int32_t k, Case& delta) {
    std::vector<CPointLoadItem> points;
    std::vector<CUniformLoadItem> uniforms;
    AddScaled(bySpan[static_cast<size_t>(k)], live.m_dDeadMax - live.m_dDeadMin, points,
              uniforms);
    const LiveLoadSpan& span = env.spans[static_cast<size_t>(k)];
    const double u = live.m_dLiveFactor * live.m_dU;
    if (u != 0 && span.end > span.start) uniforms.push_back({span.start, span.end, u, u});
    analysis.SolveLoadCase(noSettlements, model.springs, points, uniforms, delta);
  };

  Case high = base, low = base, delta;
  double probe = 0;  // 0 while every change is a finite number, NaN after any other
  for (int32_t k = 0; k < spanCount; ++k) {
    solveDelta(k, delta);
    for (auto array : kArrays) {
      std::vector<double>& hi = high.*array;
      std::vector<double>& lo = low.*array;
      const std::vector<double>& d = delta.*array;
      for (size_t i = 1; i < d.size(); ++i) {
        probe += d[i] - d[i];
        if (d[i] > 0) hi[i] += d[i];
        else if (d[i] < 0) lo[i] += d[i];
      }
    }
  }
  if (!CheckRange(high, low, probe, model.length, env)) return env;

  // Node and element tables of the envelope.
  const int32_t nodes = analysis.m_nNodes, elements = analysis.m_nElements;
  env.nodes.resize(static_cast<size_t>(nodes));
  for (int32_t i = 1; i <= nodes; ++i) {
    EnvelopeNode& n = env.nodes[static_cast<size_t>(i - 1)];
    n.x = analysis.m_nodes[i].x;
    n.deflection = {high.deflection[i], low.deflection[i]};
    n.rotation = {high.rotation[i], low.rotation[i]};
    n.reactionVert = {high.reactionVert[i], low.reactionVert[i]};
    n.reactionRot = {high.reactionRot[i], low.reactionRot[i]};
  }
  auto markReaction = [&](double x) {
    const int32_t node = (analysis.FindDof(x) + 1) / 2;
    if (node >= 1 && node <= nodes) env.nodes[static_cast<size_t>(node - 1)].hasReaction = true;
  };
  for (const CSupportItem& s : model.supports) markReaction(s.m_dX);
  for (const CSpringItem& s : model.springs) markReaction(s.m_dX);
  env.elements.resize(static_cast<size_t>(elements));
  for (int32_t e = 1; e <= elements; ++e) {
    EnvelopeElement& el = env.elements[static_cast<size_t>(e - 1)];
    el.xEnd = analysis.m_elements[e].xEnd;
    el.shearStart = {high.shearStart[e], low.shearStart[e]};
    el.shearEnd = {high.shearEnd[e], low.shearEnd[e]};
    el.momentStart = {high.momentStart[e], low.momentStart[e]};
    el.momentEnd = {high.momentEnd[e], low.momentEnd[e]};
  }

  // The eight extremes of the diagram values, scanned in the order the run's extremes are (so
  // on ties the leftmost position stays). A diagram value at an element's right end is minus
  // the end force: its maximum is minus the end force's minimum.
  std::array<ExtremeSource, kEnvelopeExtremeCount> source{};
  std::array<bool, kEnvelopeExtremeCount> found{};
  // Strictly better replaces, so on ties the first position (the leftmost) stays.
  auto track = [&](int kind, bool larger, double v, double x, ExtremeSource from) {
    EnvelopeExtreme& best = env.extremes[kind];
    if (found[kind] && !(larger ? v > best.value : v < best.value)) return;
    best.value = v;
    best.x = x;
    source[kind] = from;
    found[kind] = true;
  };
  auto both = [&](int maxKind, int array, int32_t index, double sign, double x) {
    const std::vector<double>& hi = high.*kArrays[array];
    const std::vector<double>& lo = low.*kArrays[array];
    if (sign > 0) {
      track(maxKind, true, hi[index], x, {array, index, true});
      track(maxKind + 1, false, lo[index], x, {array, index, false});
    } else {
      track(maxKind, true, -lo[index], x, {array, index, false});
      track(maxKind + 1, false, -hi[index], x, {array, index, true});
    }
  };
  for (int32_t e = 1; e <= elements; ++e) {
    const double xEnd = analysis.m_elements[e].xEnd, xs = xEnd - analysis.ElementLength(e);
    both(kEnvelopeMaxShear, kShearStart, e, 1, xs);
    both(kEnvelopeMaxShear, kShearEnd, e, -1, xEnd);
    both(kEnvelopeMaxMoment, kMomentStart, e, 1, xs);
    both(kEnvelopeMaxMoment, kMomentEnd, e, -1, xEnd);
  }
  for (int32_t i = 1; i <= nodes; ++i) {
    const double x = analysis.m_nodes[i].x;
    both(kEnvelopeMaxDeflection, kDeflection, i, 1, x);
    both(kEnvelopeMaxRotation, kRotation, i, 1, x);
  }

  // Second pass: the spans whose change governs each extreme.
  for (int32_t k = 0; k < spanCount; ++k) {
    solveDelta(k, delta);
    for (int kind = 0; kind < kEnvelopeExtremeCount; ++kind) {
      if (!found[kind]) continue;
      const ExtremeSource& from = source[kind];
      const double d = (delta.*kArrays[from.array])[from.index];
      if (from.fromMax ? d > 0 : d < 0) env.extremes[kind].spansOnMax.push_back(k);
    }
  }
  return env;
}

}  // namespace spanlab
