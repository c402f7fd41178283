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
//
// Between the nodes: every solution is exact inside each element from its end values and its
// own load on the element (element_values.h), so the same superposition holds at any interior
// point. The envelope keeps a few equally spaced interior samples per element (a bounded total)
// for its curves. Its extremes are first the largest values among nodes, element ends and
// samples; the arrangement governing one of them (the spans with delta_k of the right sign
// there) is a single load case, and the second pass sums that case's end values on the elements
// next to the extreme; its exact curve there is stationary where the envelope's extreme lies
// between nodes, and that value and position replace the sampled ones where they are larger.
#include "analysis/live_load.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "analysis/element_values.h"
#include "analysis/envelope_slots.h"
#include "analysis/envelope_sums.h"
#include "analysis/live_load_spans.h"
#include "analysis/local_cases.h"

namespace spanlab {

using namespace envelope_sums;

namespace {

constexpr int32_t kLocalFromSpans = 32;  // below, full solutions cost less

// Where an extreme was found: which array, which entry (or which sample, for sample >= 0),
// and whether it is the envelope's max (the spans with a positive delta govern) or its min.
struct ExtremeSource {
  int array = kDeflection;
  int32_t index = 1;
  bool fromMax = true;
  int64_t sample = -1;
};

// The diagram quantity of each extreme kind.
constexpr std::array<BeamQuantity, kEnvelopeExtremeCount> kKindQuantity = {
    BeamQuantity::kShear,      BeamQuantity::kShear,     BeamQuantity::kMoment,
    BeamQuantity::kMoment,     BeamQuantity::kRotation,  BeamQuantity::kRotation,
    BeamQuantity::kDeflection, BeamQuantity::kDeflection};

// The change's value where an extreme was found (kind of quantity q), 0 outside its window.
double ValueAtSource(const CBeamAnalysis& a, const LocalCase& w, const ExtremeSource& from,
                     int32_t perElement, BeamQuantity q) {
  const auto hasElement = [&w](int32_t e) { return e >= w.first && e < w.last; };
  if (from.sample >= 0) {
    const auto e = static_cast<int32_t>(from.sample / perElement) + 1;
    const auto j = static_cast<int32_t>(from.sample % perElement);
    if (!hasElement(e)) return 0;
    return ValueOf(ElementSolution(a, e, w.ends[static_cast<size_t>(e - w.first)])
                       .At(SampleOffset(a, e, j, perElement)),
                   q);
  }
  const auto k = static_cast<size_t>(from.index - w.first);
  switch (from.array) {
    case kDeflection:
    case kRotation:
    case kReactionVert:
    case kReactionRot:
      if (from.index < w.first || from.index > w.last) return 0;
      return from.array == kDeflection ? w.deflection[k]
             : from.array == kRotation ? w.rotation[k]
             : from.array == kReactionVert ? w.reactionVert[k]
                                           : w.reactionRot[k];
    default:
      if (!hasElement(from.index)) return 0;
      const ElementEnds& x = w.ends[k];
      return from.array == kShearStart ? x.shearStart
             : from.array == kShearEnd ? x.shearEnd
             : from.array == kMomentStart ? x.momentStart
                                          : x.momentEnd;
  }
}

// The elements whose interior may hold the extreme found at `from`: those next to its node or
// element end, or the sample's own element. Up to two, 0 for none.
std::array<int32_t, 2> Neighbours(const ExtremeSource& from, int32_t perElement, int32_t elements) {
  std::array<int32_t, 2> e{};
  if (from.sample >= 0) {
    e[0] = static_cast<int32_t>(from.sample / perElement) + 1;
  } else if (from.array == kDeflection || from.array == kRotation) {
    e = {from.index - 1, from.index};  // the elements meeting at the node
  } else if (from.array == kShearStart || from.array == kMomentStart) {
    e = {from.index - 1, from.index};
  } else {
    e = {from.index, from.index + 1};
  }
  for (int32_t& i : e) {
    if (i < 1 || i > elements) i = 0;
  }
  return e;
}

// Moves an extreme to a stationary point of the governing case inside `element` where that
// case's exact value is larger (`larger`; else smaller) by more than rounding (1e-12 of the
// magnitudes involved).
void RefineExtreme(const ElementSolution& element, BeamQuantity q, bool larger,
                   EnvelopeExtreme& best) {
  // (Its ends too: left of a hinge the element's own end rotation is not the node's.)
  double at[6];
  const int n = element.StationaryPoints(q, at) + 2;
  at[n - 2] = 0, at[n - 1] = element.Length();
  const double ends =
      std::fabs(element.Value(q, 0)) + std::fabs(element.Value(q, element.Length()));
  for (int i = 0; i < n; ++i) {
    const double v = element.Value(q, at[i]);
    const double tol = 1e-12 * (std::fabs(best.value) + ends);
    if (larger ? v > best.value + tol : v < best.value - tol) {
      best.value = v;
      best.x = element.XStart() + at[i];
    }
  }
}


}  // namespace

LiveLoadEnvelope ComputeLiveLoadEnvelope(const CBeamAnalysis& analysis,
                                         const LiveLoadModel& model, const CLiveLoadItem& live,
                                         const EnvelopeProgress& progress,
                                         EnvelopeMethod method, const EnvelopeOptions& options) {
  LiveLoadEnvelope env;
  if (!analysis.CanSolveLoadCases() || analysis.m_dLength <= 0) return env;
  const CBeamAnalysis::TableLock lock(analysis);
  env.spans = LiveLoadSpans(model.supports, model.length);
  const auto spanCount = static_cast<int32_t>(env.spans.size());
  const std::vector<SpanLoads> bySpan = LoadsBySpan(model, env.spans);

  // The base: settlements, every span on min loading (the model's loads times DeadMin), and
  // the loads that every arrangement carries.
  Case base;
  {
    std::vector<CPointLoadItem> points;
    std::vector<CUniformLoadItem> uniforms;
    for (const SpanLoads& loads : bySpan) AddScaled(loads, live.m_dDeadMin, points, uniforms);
    if (options.fixedPoints) points.insert(points.end(), options.fixedPoints->begin(),
                                           options.fixedPoints->end());
    if (options.fixedUniforms) uniforms.insert(uniforms.end(), options.fixedUniforms->begin(),
                                               options.fixedUniforms->end());
    analysis.SolveLoadCase(model.supports, model.springs, points, uniforms, base);
  }
  // Without a change from min to max loading every arrangement is the base.
  const bool patterned =
      live.m_dLiveFactor * live.m_dU != 0 ||
      (live.m_dDeadMax != live.m_dDeadMin &&
       (!model.pointLoads.empty() || !model.uniformLoads.empty()));
  Case high = base, low = base, delta;
  for (Case* c : {&high, &low}) c->loadP = {}, c->loadQ = {};  // (only the base's are read)
  StartSamples(analysis, base, env);

  // Span k's change from min to max loading, as loads at nodes and on elements.
  LocalLoads loads;
  std::vector<CPointLoadItem> points;  // (the same loads as items, for the full solutions)
  std::vector<CUniformLoadItem> uniforms;
  const auto changeOf = [&](int32_t k, double deadFactor, double u) {
    loads.clear();
    points.clear();
    uniforms.clear();
    AddScaled(bySpan[static_cast<size_t>(k)], deadFactor, points, uniforms);
    const LiveLoadSpan& span = env.spans[static_cast<size_t>(k)];
    if (u != 0 && span.end > span.start) uniforms.push_back({span.start, span.end, u, u});
    for (const CPointLoadItem& p : points)
      loads.nodes.push_back({(analysis.FindDof(p.m_dX) + 1) / 2, p.m_dPLoad, p.m_dMoment});
    for (const CUniformLoadItem& w : uniforms) {
      analysis.ForEachElementOf(w, [&](int32_t e, double p, double q) {
        loads.elements.push_back({e, p, q});
      });
    }
  };
  // Solved near its loads where the run allows it, else over the whole beam.
  std::optional<LocalCaseSolver> local;
  const bool wanted = method == EnvelopeMethod::kLocal ||
                      (method == EnvelopeMethod::kAuto && spanCount >= kLocalFromSpans);
  if (patterned && wanted && LocalCaseSolver::Suits(analysis)) {
    local.emplace(analysis, model.springs, env.samplesPerElement);
    if (!local->ok()) local.reset();
  }
  const std::vector<CSupportItem> noSettlements;
  std::vector<std::array<int32_t, 2>> windows(static_cast<size_t>(spanCount), {1, 0});
  LocalCase change;
  // Full solutions of a small beam are kept from the first pass for the second (the same
  // values: solving again gives them bit for bit).
  constexpr int64_t kKeptValues = 1 << 18;
  const bool keep = !local && static_cast<int64_t>(spanCount) * analysis.m_nNodes <= kKeptValues;
  // Or they are shared with other envelopes of the run, at factor 1.
  const double factor = live.m_dLiveFactor;
  SharedChanges* const shared = options.shared && keep && patterned && live.m_dDeadMin == 0 &&
                                        live.m_dDeadMax == factor
                                    ? options.shared
                                    : nullptr;
  std::vector<LocalCase> kept(keep && !shared ? static_cast<size_t>(spanCount) : 0);
  // Solves span k's change into `change` (over its window of the first pass when `tol` is
  // null); false for a span without loads, which changes nothing.
  const auto solveChange = [&](int32_t k, const LocalTolerance* tol) {
    if (shared && !tol) {
      const LocalCase& unit = shared->changes[static_cast<size_t>(k)];
      if (unit.ends.empty()) return false;
      ScaleInto(unit, factor, change);
      return true;
    }
    if (keep && !tol) {
      if (kept[static_cast<size_t>(k)].ends.empty()) return false;
      std::swap(change, kept[static_cast<size_t>(k)]);
      return true;
    }
    changeOf(k, live.m_dDeadMax - live.m_dDeadMin, live.m_dLiveFactor * live.m_dU);
    if (loads.empty()) return false;
    std::array<int32_t, 2>& window = windows[static_cast<size_t>(k)];
    if (!local) {
      analysis.SolveLoadCase(noSettlements, model.springs, points, uniforms, delta);
      WholeBeam(analysis, delta, change);
      if (keep) kept[static_cast<size_t>(k)] = change;
    } else if (tol) {
      local->Solve(loads, *tol, change);
    } else {
      local->SolveOver(loads, window[0], window[1], change);
    }
    window = {change.first, change.last};
    return true;
  };

  // Asks the caller whether to go on, every 32 spans: false when it says stop.
  auto goOn = [&](int32_t k, int pass) {
    if (!progress || k % 32 != 0) return true;
    if (progress((pass + static_cast<double>(k) / spanCount) / 2)) return true;
    env = {};
    env.cancelled = true;
    return false;
  };
  // The tolerance of the windows: 1e-13 of scale over all spans together.
  Magnitudes seen;
  for (size_t i = 1; i < base.deflection.size(); ++i) {
    Raise(seen.deflection, base.deflection[i]), Raise(seen.rotation, base.rotation[i]);
    Raise(seen.reactionVert, base.reactionVert[i]), Raise(seen.reactionRot, base.reactionRot[i]);
  }
  for (size_t e = 1; e < base.shearStart.size(); ++e) {
    Raise(seen.shear, base.shearStart[e]), Raise(seen.shear, base.shearEnd[e]);
    Raise(seen.moment, base.momentStart[e]), Raise(seen.moment, base.momentEnd[e]);
  }
  for (const EnvelopeSample& x : env.samples) {
    Raise(seen.deflection, x.deflection.max), Raise(seen.rotation, x.rotation.max);
    Raise(seen.shear, x.shear.max), Raise(seen.moment, x.moment.max);
  }
  bool rotationReactions = false;
  for (const CSupportItem& s : model.supports) rotationReactions |= s.m_bRotation == 1;
  for (const CSpringItem& s : model.springs) rotationReactions |= s.m_dRSpring != 0;
  const double share = 1e-13 / spanCount;
  const auto tolerance = [&] {
    const double noLimit = std::numeric_limits<double>::infinity();
    return LocalTolerance{
        share * seen.deflection, share * seen.rotation,
        share * std::min(seen.shear, seen.reactionVert / 2),
        share * std::min(seen.moment, rotationReactions ? seen.reactionRot / 2 : noLimit)};
  };
  if (shared && !shared->filled) {
    shared->changes.assign(static_cast<size_t>(spanCount), {});
    shared->positive = base;
    for (auto array : kArrays) {
      std::vector<double>& values = shared->positive.*array;
      std::fill(values.begin(), values.end(), 0.0);
    }
    shared->negative = shared->positive;
    shared->sums.samplesPerElement = env.samplesPerElement;
    shared->sums.samples.assign(env.samples.size(), {});
    Magnitudes unused;
    for (int32_t k = 0; k < spanCount; ++k) {
      if (!goOn(k, 0)) return env;
      changeOf(k, 1, live.m_dU);
      if (loads.empty()) continue;
      LocalCase& unit = shared->changes[static_cast<size_t>(k)];
      analysis.SolveLoadCase(noSettlements, model.springs, points, uniforms, delta);
      WholeBeam(analysis, delta, unit);
      AddWindow(analysis, nullptr, unit, shared->positive, shared->negative, shared->sums, unused);
    }
    shared->filled = true;
  }
  if (shared) AddShared(*shared, factor, high, low, env);
  for (int32_t k = 0; patterned && !shared && k < spanCount; ++k) {
    if (!goOn(k, 0)) return env;
    const LocalTolerance tol = tolerance();
    if (solveChange(k, &tol)) AddWindow(analysis, local ? &*local : nullptr, change, high, low, env, seen);
  }
  if (!CheckRange(high, low, model.length, env)) {
    env.samples = {};
    env.samplesPerElement = 0;
    return env;
  }

  // The extremes of the diagram values: the eight of the whole beam (slots 0..7), then those of
  // the regions asked for (EnvelopeSlots). Scanned in the order the run's extremes are (so on
  // ties the leftmost position stays), the samples between each element's ends. A diagram value at an
  // element's right end is minus the end force: its maximum is minus the end force's minimum.
  const int32_t nodes = analysis.m_nNodes, elements = analysis.m_nElements;
  const int32_t perElement = env.samplesPerElement;
  EnvelopeSlots slots(analysis, options, env);
  std::vector<ExtremeSource> source(slots.size());
  // The best value of each slot so far (the values are finite: CheckRange passed), and where.
  std::vector<double> best(slots.size()), bestX(slots.size());
  for (size_t slot = 0; slot < slots.size(); ++slot)
    best[slot] = (slot % 2 == 0 ? -1 : 1) * std::numeric_limits<double>::infinity();
  // Strictly better replaces, so on ties the first position (the leftmost) stays.
  auto track = [&](size_t slot, bool larger, double v, double x, const ExtremeSource& from) {
    if (!(larger ? v > best[slot] : v < best[slot])) return;
    best[slot] = v;
    bestX[slot] = x;
    source[slot] = from;
  };
  // Into the whole beam's slot of the kind and, where asked for, element e's region's (and
  // element e2's, for a node between two regions).
  auto trackAll = [&](int kind, bool larger, double v, double x, const ExtremeSource& from,
                      int32_t e, int32_t e2) {
    track(static_cast<size_t>(kind), larger, v, x, from);
    if (!slots.Asks(kind)) return;
    const size_t a = slots.RegionSlots(e), b = slots.RegionSlots(e2);
    if (a != 0) track(a + static_cast<size_t>(kind), larger, v, x, from);
    if (b != 0 && b != a) track(b + static_cast<size_t>(kind), larger, v, x, from);
  };
  auto both = [&](int maxKind, int array, int32_t index, double sign, double x, int32_t e,
                  int32_t e2) {
    const std::vector<double>& hi = high.*kArrays[array];
    const std::vector<double>& lo = low.*kArrays[array];
    if (sign > 0) {
      trackAll(maxKind, true, hi[index], x, {array, index, true}, e, e2);
      trackAll(maxKind + 1, false, lo[index], x, {array, index, false}, e, e2);
    } else {
      trackAll(maxKind, true, -lo[index], x, {array, index, false}, e, e2);
      trackAll(maxKind + 1, false, -hi[index], x, {array, index, true}, e, e2);
    }
  };
  auto samples = [&](int32_t e, int maxKind, int array, BeamQuantity q) {
    for (int32_t j = 0; j < perElement; ++j) {
      const int64_t i = static_cast<int64_t>(e - 1) * perElement + j;
      EnvelopeSample& at = env.samples[static_cast<size_t>(i)];
      const EnvelopeRange& r = RangeOf(at, q);
      trackAll(maxKind, true, r.max, at.x, {array, e, true, i}, e, e);
      trackAll(maxKind + 1, false, r.min, at.x, {array, e, false, i}, e, e);
    }
  };
  for (int32_t e = 1; e <= elements; ++e) {
    const double xEnd = analysis.m_elements[e].xEnd, xs = xEnd - analysis.ElementLength(e);
    both(kEnvelopeMaxShear, kShearStart, e, 1, xs, e, e);
    samples(e, kEnvelopeMaxShear, kShearStart, BeamQuantity::kShear);
    both(kEnvelopeMaxShear, kShearEnd, e, -1, xEnd, e, e);
    both(kEnvelopeMaxMoment, kMomentStart, e, 1, xs, e, e);
    samples(e, kEnvelopeMaxMoment, kMomentStart, BeamQuantity::kMoment);
    both(kEnvelopeMaxMoment, kMomentEnd, e, -1, xEnd, e, e);
  }
  for (int32_t i = 1; i <= nodes; ++i) {
    const double x = analysis.m_nodes[i].x;
    both(kEnvelopeMaxDeflection, kDeflection, i, 1, x, i - 1, i);
    if (i <= elements) samples(i, kEnvelopeMaxDeflection, kDeflection, BeamQuantity::kDeflection);
    both(kEnvelopeMaxRotation, kRotation, i, 1, x, i - 1, i);
    if (i <= elements) samples(i, kEnvelopeMaxRotation, kRotation, BeamQuantity::kRotation);
  }

  // Second pass: the spans whose change governs each extreme, and the governing case's ends on
  // the elements next to it (within its region).
  std::vector<uint8_t> found(slots.size());
  for (size_t slot = 0; slot < slots.size(); ++slot) {
    found[slot] = std::isfinite(best[slot]);
    if (found[slot]) slots.Extreme(slot).value = best[slot], slots.Extreme(slot).x = bestX[slot];
  }
  std::vector<std::array<ElementEnds, 2>> governing(slots.size());
  std::vector<std::array<int32_t, 2>> near(slots.size());
  // The found slots by the element (or node) of their source, for the windows to find theirs.
  std::vector<std::pair<int32_t, uint32_t>> bySource;
  const auto sourceIndex = [&](const ExtremeSource& from) {
    return from.sample >= 0 ? static_cast<int32_t>(from.sample / perElement) + 1 : from.index;
  };
  for (size_t slot = 0; slot < slots.size(); ++slot) {
    if (!found[slot]) continue;
    near[slot] = Neighbours(source[slot], perElement, elements);
    for (int c = 0; c < 2; ++c) {
      if (near[slot][c] != 0 && !slots.Holds(slot, near[slot][c])) near[slot][c] = 0;
      if (near[slot][c] != 0) governing[slot][c] = EndsOf(base, near[slot][c]);
    }
    bySource.emplace_back(sourceIndex(source[slot]), static_cast<uint32_t>(slot));
  }
  std::sort(bySource.begin(), bySource.end());
  // (A window reaches an extreme when it holds the extreme's node, element end or sample;
  // outside its window a change is taken as 0, as the first pass took it.)
  const auto reaches = [&](const std::array<int32_t, 2>& w, const ExtremeSource& from) {
    const int32_t e = sourceIndex(from);
    const bool atNode = from.sample < 0 && from.array <= kReactionRot;
    return e >= w[0] && (atNode ? e <= w[1] : e < w[1]);
  };
  std::vector<uint32_t> reached;
  for (int32_t k = 0; patterned && k < spanCount; ++k) {
    if (!goOn(k, 1)) return env;
    const std::array<int32_t, 2>& w = windows[static_cast<size_t>(k)];
    reached.clear();
    for (auto it = std::lower_bound(bySource.begin(), bySource.end(),
                                    std::pair<int32_t, uint32_t>(local ? w[0] : 0, 0));
         it != bySource.end() && (!local || it->first <= w[1]); ++it) {
      if (!local || reaches(w, source[it->second])) reached.push_back(it->second);
    }
    if (reached.empty() || !solveChange(k, nullptr)) continue;
    std::sort(reached.begin(), reached.end());  // the slots in their order, as before
    for (const uint32_t slot : reached) {
      const ExtremeSource& from = source[slot];
      const auto kind = static_cast<int>(slot % kEnvelopeExtremeCount);
      const double d = ValueAtSource(analysis, change, from, perElement,
                                     kKindQuantity[static_cast<size_t>(kind)]);
      if (!(from.fromMax ? d > 0 : d < 0)) continue;
      slots.Extreme(slot).spansOnMax.push_back(k);
      for (int c = 0; c < 2; ++c) {
        const int32_t e = near[slot][c];
        if (e >= change.first && e < change.last)
          governing[slot][c] += change.ends[static_cast<size_t>(e - change.first)];
      }
    }
  }
  for (size_t slot = 0; slot < slots.size(); ++slot) {
    if (!found[slot]) continue;
    const auto kind = static_cast<int>(slot % kEnvelopeExtremeCount);
    for (int c = 0; c < 2; ++c) {
      if (near[slot][c] == 0) continue;
      RefineExtreme(ElementSolution(analysis, near[slot][c], governing[slot][c]),
                    kKindQuantity[static_cast<size_t>(kind)], kind % 2 == 0,
                    slots.Extreme(slot));
    }
  }
  // Node and element tables of the envelope (after the factors and the base are gone: the
  // peak of memory is the larger of the two).
  local.reset();
  base = {};
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

  if (progress) progress(1.0);
  return env;
}

}  // namespace spanlab
