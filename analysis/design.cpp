// Each combination is one envelope computation on the run's elimination (live_load.cpp): its
// loads are split into the patterned part (the Live Load's case: U over each span and the case's
// own loads on it, times the combination's factor, on a span's max loading; nothing on its min)
// and the fixed part (every other case times its factor, on every span in every arrangement),
// which goes to the base. An unpatterned combination has no change to add: its envelope is the
// one solution of its loads, with exact extremes between the nodes as any envelope's.
//
// The envelope of a kind takes, at every node, element end and sample, the largest max and
// smallest min over its combinations (the first combination on ties), and remembers which one.
// The same merge gives each span's extremes (the regions of the envelope computation), from
// which the checks read the governing value, its position, combination and loaded spans.
#include "analysis/design.h"

#include <algorithm>
#include <cmath>

#include "analysis/live_load_spans.h"
#include "model/number_text.h"

namespace spanlab {

bool DesignResults::Exceeded() const {
  return std::any_of(checks.begin(), checks.end(), [](const SpanCheck& c) { return c.exceeded; });
}

bool HasDesignChecks(const ModelItems& items) {
  return !items.m_deflectionLimits.empty() || !items.m_capacities.empty();
}

namespace {

// The extreme kinds the checks read.
uint32_t CheckedKinds(const ModelItems& items) {
  uint32_t kinds = 0;
  const auto bit = [](int kind) { return 1u << kind; };
  if (!items.m_deflectionLimits.empty())
    kinds |= bit(kEnvelopeMaxDeflection) | bit(kEnvelopeMinDeflection);
  for (const CCapacityItem& c : items.m_capacities) {
    if (c.m_nGiven & 5) kinds |= bit(kEnvelopeMaxMoment) | bit(kEnvelopeMinMoment);
    if (c.m_nGiven & 2) kinds |= bit(kEnvelopeMaxShear) | bit(kEnvelopeMinShear);
  }
  return kinds;
}

double FactorOf(const CLoadCombinationItem& c, int32_t caseIndex) {
  double factor = 0;
  for (const auto& [index, f] : c.m_factors) {
    if (index == caseIndex) factor += f;
  }
  return factor;
}

// One combination's loads: the patterned part (unfactored: the envelope's DeadMax carries the
// factor) and the fixed part (factored).
struct CombinationLoads {
  std::vector<CPointLoadItem> patternPoints, fixedPoints;
  std::vector<CUniformLoadItem> patternUniforms, fixedUniforms;
  CLiveLoadItem live{.m_dU = 0, .m_dLiveFactor = 0, .m_dDeadMax = 0, .m_dDeadMin = 0};
};

CombinationLoads LoadsOf(const ModelItems& items, const CLoadCombinationItem& c) {
  CombinationLoads loads;
  const int32_t liveCase = items.m_liveLoads.empty() ? -1 : items.m_liveLoads.front().m_nCase;
  const double liveFactor = liveCase >= 0 ? FactorOf(c, liveCase) : 0;
  const bool patterned = liveFactor != 0;
  std::vector<double> factor(items.m_caseNames.size());
  for (size_t i = 0; i < factor.size(); ++i) factor[i] = FactorOf(c, static_cast<int32_t>(i));
  for (const CPointLoadItem& p : items.m_pointLoads) {
    const double f = factor[static_cast<size_t>(p.m_nCase)];
    if (patterned && p.m_nCase == liveCase) loads.patternPoints.push_back(p);
    else if (f != 0) loads.fixedPoints.push_back({p.m_dX, f * p.m_dPLoad, f * p.m_dMoment, p.m_nCase});
  }
  for (const CUniformLoadItem& u : items.m_uniformLoads) {
    const double f = factor[static_cast<size_t>(u.m_nCase)];
    if (patterned && u.m_nCase == liveCase) loads.patternUniforms.push_back(u);
    else if (f != 0)
      loads.fixedUniforms.push_back(
          {u.m_dXStart, u.m_dXEnd, f * u.m_dUStart, f * u.m_dUEnd, u.m_nCase});
  }
  if (patterned) {
    loads.live = {.m_dU = items.m_liveLoads.front().m_dU,
                  .m_dLiveFactor = liveFactor,
                  .m_dDeadMax = liveFactor,
                  .m_dDeadMin = 0};
  }
  return loads;
}

// The envelope of one combination, with the regions and kinds of `options`.
LiveLoadEnvelope EnvelopeOf(const CBeamAnalysis& analysis, const ModelItems& items,
                            const CLoadCombinationItem& c, EnvelopeOptions options,
                            const EnvelopeProgress& progress) {
  const CombinationLoads loads = LoadsOf(items, c);
  options.fixedPoints = &loads.fixedPoints;
  options.fixedUniforms = &loads.fixedUniforms;
  const LiveLoadModel model{items.m_supports, items.m_springs, loads.patternPoints,
                            loads.patternUniforms, items.m_dBeamLength};
  return ComputeLiveLoadEnvelope(analysis, model, loads.live, progress, EnvelopeMethod::kAuto,
                                 options);
}

// Raises `into` by `from` where from's max is larger or its min smaller, recording `c`.
void Merge(const EnvelopeRange& from, EnvelopeRange& into, int32_t c, int32_t& maxBy,
           int32_t& minBy) {
  if (from.max > into.max) into.max = from.max, maxBy = c;
  if (from.min < into.min) into.min = from.min, minBy = c;
}

void MergeExtreme(const EnvelopeExtreme& from, EnvelopeExtreme& into, bool larger, int32_t c) {
  if (larger ? from.value > into.value : from.value < into.value) {
    into = from;
    into.combination = c;
  }
}

// Combination c's envelope into the envelope of its kind.
void MergeEnvelope(LiveLoadEnvelope&& from, int32_t c, LiveLoadEnvelope& into) {
  if (into.empty()) {
    into = std::move(from);
    into.nodeCombination.assign(into.nodes.size(), {c, c, c, c, c, c, c, c});
    into.elementCombination.assign(into.elements.size(), {c, c, c, c, c, c, c, c});
    into.sampleCombination.assign(into.samples.size(), {c, c, c, c, c, c, c, c});
    for (EnvelopeExtreme& x : into.extremes) x.combination = c;
    for (auto& region : into.regionExtremes) {
      for (EnvelopeExtreme& x : region) x.combination = c;
    }
    return;
  }
  for (size_t i = 0; i < into.nodes.size(); ++i) {
    const EnvelopeNode& f = from.nodes[i];
    EnvelopeNode& n = into.nodes[i];
    auto& by = into.nodeCombination[i];
    Merge(f.deflection, n.deflection, c, by[0], by[1]);
    Merge(f.rotation, n.rotation, c, by[2], by[3]);
    Merge(f.reactionVert, n.reactionVert, c, by[4], by[5]);
    Merge(f.reactionRot, n.reactionRot, c, by[6], by[7]);
  }
  for (size_t e = 0; e < into.elements.size(); ++e) {
    const EnvelopeElement& f = from.elements[e];
    EnvelopeElement& n = into.elements[e];
    auto& by = into.elementCombination[e];
    Merge(f.shearStart, n.shearStart, c, by[0], by[1]);
    Merge(f.shearEnd, n.shearEnd, c, by[2], by[3]);
    Merge(f.momentStart, n.momentStart, c, by[4], by[5]);
    Merge(f.momentEnd, n.momentEnd, c, by[6], by[7]);
  }
  for (size_t i = 0; i < into.samples.size() && i < from.samples.size(); ++i) {
    const EnvelopeSample& f = from.samples[i];
    EnvelopeSample& n = into.samples[i];
    auto& by = into.sampleCombination[i];
    Merge(f.deflection, n.deflection, c, by[0], by[1]);
    Merge(f.rotation, n.rotation, c, by[2], by[3]);
    Merge(f.shear, n.shear, c, by[4], by[5]);
    Merge(f.moment, n.moment, c, by[6], by[7]);
  }
  for (int k = 0; k < kEnvelopeExtremeCount; ++k)
    MergeExtreme(from.extremes[k], into.extremes[k], k % 2 == 0, c);
  for (size_t r = 0; r < into.regionExtremes.size() && r < from.regionExtremes.size(); ++r) {
    for (int k = 0; k < kEnvelopeExtremeCount; ++k)
      MergeExtreme(from.regionExtremes[r][k], into.regionExtremes[r][k], k % 2 == 0, c);
  }
}

void AddMessages(const std::vector<std::string>& lines, DesignResults& d) {
  for (const std::string& line : lines) {
    if (std::find(d.messages.begin(), d.messages.end(), line) == d.messages.end())
      d.messages.push_back(line);
  }
}

// Whether a deflection-restraining support stands at x.
bool SupportAt(const ModelItems& items, double x) {
  return std::any_of(items.m_supports.begin(), items.m_supports.end(),
                     [x](const CSupportItem& s) { return s.m_bDisp == 1 && s.m_dX == x; });
}

// A span with a support at one end only is a cantilever.
bool IsCantilever(const ModelItems& items, const LiveLoadSpan& span) {
  return SupportAt(items, span.start) != SupportAt(items, span.end);
}

// The check of `value` (the governing extreme) against `limit`; `magnitude` is the part of the
// value the check reads (|v|, or v's sagging or hogging part).
SpanCheck MakeCheck(int32_t span, DesignCheckKind kind, const EnvelopeExtreme& x,
                    double magnitude, double limit) {
  SpanCheck c;
  c.span = span;
  c.kind = kind;
  c.value = x.value;
  c.x = x.x;
  c.limit = limit;
  c.utilisation = magnitude / limit;
  c.exceeded = c.utilisation > 1;
  c.combination = x.combination;
  c.spansOnMax = x.spansOnMax;
  return c;
}

// The checks of every span from the region extremes of the envelopes they read.
void MakeChecks(const ModelItems& items, const LiveLoadEnvelope& service,
                const LiveLoadEnvelope& strength, DesignResults& d) {
  for (size_t r = 0; r < d.spans.size(); ++r) {
    const auto span = static_cast<int32_t>(r);
    const LiveLoadSpan& s = d.spans[r];
    for (const CDeflectionLimitItem& limit : items.m_deflectionLimits) {
      if (r >= service.regionExtremes.size()) break;
      const bool cantilever = IsCantilever(items, s);
      const double divisor = cantilever ? limit.m_dCantilever : limit.m_dSpan;
      if (!(divisor > 0)) continue;
      const auto& x = service.regionExtremes[r];
      const EnvelopeExtreme& hi = x[kEnvelopeMaxDeflection];
      const EnvelopeExtreme& lo = x[kEnvelopeMinDeflection];
      const EnvelopeExtreme& worst = std::fabs(lo.value) > std::fabs(hi.value) ? lo : hi;
      SpanCheck c = MakeCheck(span, DesignCheckKind::kDeflection, worst, std::fabs(worst.value),
                              (s.end - s.start) / divisor);
      c.divisor = divisor;
      c.cantilever = cantilever;
      d.checks.push_back(std::move(c));
    }
    for (const CCapacityItem& cap : items.m_capacities) {
      if (r >= strength.regionExtremes.size()) break;
      const auto& x = strength.regionExtremes[r];
      if ((cap.m_nGiven & 1) && cap.m_dMoment > 0) {
        const EnvelopeExtreme& m = x[kEnvelopeMaxMoment];
        d.checks.push_back(MakeCheck(span, DesignCheckKind::kMomentPositive, m,
                                     std::max(m.value, 0.0), cap.m_dMoment));
      }
      if ((cap.m_nGiven & 5) && cap.m_dMomentNeg > 0) {
        const EnvelopeExtreme& m = x[kEnvelopeMinMoment];
        d.checks.push_back(MakeCheck(span, DesignCheckKind::kMomentNegative, m,
                                     std::max(-m.value, 0.0), cap.m_dMomentNeg));
      }
      if ((cap.m_nGiven & 2) && cap.m_dShear > 0) {
        const EnvelopeExtreme& hi = x[kEnvelopeMaxShear];
        const EnvelopeExtreme& lo = x[kEnvelopeMinShear];
        const EnvelopeExtreme& worst = std::fabs(lo.value) > std::fabs(hi.value) ? lo : hi;
        d.checks.push_back(MakeCheck(span, DesignCheckKind::kShear, worst,
                                     std::fabs(worst.value), cap.m_dShear));
      }
    }
  }
}

// The combination that stands for "the model as written": every case at factor 1, unpatterned.
CLoadCombinationItem AsWrittenCombination(const ModelItems& items) {
  CLoadCombinationItem c;
  for (size_t i = 0; i < items.m_caseNames.size(); ++i) {
    if (items.m_liveLoads.empty() || items.m_liveLoads.front().m_nCase != static_cast<int32_t>(i))
      c.m_factors.emplace_back(static_cast<int32_t>(i), 1.0);
  }
  return c;
}

}  // namespace

EnvelopeOptions CheckOptions(const ModelItems& items, std::vector<LiveLoadSpan>& regions) {
  regions.clear();
  if (!HasDesignChecks(items)) return {};
  regions = LiveLoadSpans(items.m_supports, items.m_dBeamLength);
  EnvelopeOptions options;
  options.regions = &regions;
  options.regionKinds = CheckedKinds(items);
  return options;
}

DesignResults ComputeDesign(const CBeamAnalysis& analysis, const ModelItems& items,
                            const LiveLoadEnvelope& asWritten, const EnvelopeProgress& progress) {
  DesignResults d;
  if (!analysis.CanSolveLoadCases() || analysis.m_dLength <= 0) return d;
  if (items.m_combinations.empty() && !HasDesignChecks(items)) return d;
  std::vector<LiveLoadSpan> regions;
  EnvelopeOptions options = CheckOptions(items, regions);
  d.spans = LiveLoadSpans(items.m_supports, items.m_dBeamLength);
  // The patterned combinations differ only by the factor on the same live loads.
  const SharedChangesPtr shared = MakeSharedChanges();
  options.shared = shared.get();
  const size_t count = items.m_combinations.size();
  for (size_t i = 0; i < count; ++i) {
    const CLoadCombinationItem& c = items.m_combinations[i];
    const CombinationLoads loads = LoadsOf(items, c);
    d.combinations.push_back({c.m_name, c.m_bService, loads.live.m_dLiveFactor != 0});
    const auto share = [&](double f) {
      return !progress || progress((static_cast<double>(i) + f) / static_cast<double>(count));
    };
    LiveLoadEnvelope env = EnvelopeOf(analysis, items, c, options,
                                      progress ? EnvelopeProgress(share) : EnvelopeProgress());
    if (env.cancelled) {
      DesignResults stopped;
      stopped.cancelled = true;
      return stopped;
    }
    AddMessages(env.messages, d);
    if (env.empty()) {  // A4: no result of this combination, so none of the envelopes
      d.error = true;
      d.strength = {}, d.service = {};
      return d;
    }
    d.error |= env.error;
    env.messages.clear();
    MergeEnvelope(std::move(env), static_cast<int32_t>(i), c.m_bService ? d.service : d.strength);
  }
  // The checks: a kind without combinations reads the model as written.
  if (HasDesignChecks(items)) {
    LiveLoadEnvelope written;
    const bool needWritten = d.service.empty() || d.strength.empty();
    if (needWritten && !asWritten.regionExtremes.empty()) {
      written = asWritten;
    } else if (needWritten) {
      written = EnvelopeOf(analysis, items, AsWrittenCombination(items), options, {});
      if (written.empty()) AddMessages(written.messages, d), d.error = true;
    }
    MakeChecks(items, d.service.empty() ? written : d.service,
               d.strength.empty() ? written : d.strength, d);
    for (const SpanCheck& c : d.checks) {
      if (c.exceeded) d.messages.push_back(CheckWarningLine(c, items.m_nUnits));
    }
  }
  return d;
}

bool FromServiceCombinations(const DesignResults& design, BeamQuantity quantity) {
  const bool deflection = quantity == BeamQuantity::kDeflection ||
                          quantity == BeamQuantity::kRotation;
  if (design.service.empty()) return false;
  if (design.strength.empty()) return true;
  return deflection;
}

LiveLoadEnvelope DesignEnvelope(const DesignResults& design) {
  if (!design.HasCombinations()) return {};
  if (design.strength.empty() || design.service.empty()) {
    LiveLoadEnvelope env = design.strength.empty() ? design.service : design.strength;
    env.messages.clear();
    return env;
  }
  // Shear, moment and reactions from strength; deflection and rotation from service.
  LiveLoadEnvelope env = design.strength;
  const LiveLoadEnvelope& s = design.service;
  for (size_t i = 0; i < env.nodes.size(); ++i) {
    env.nodes[i].deflection = s.nodes[i].deflection;
    env.nodes[i].rotation = s.nodes[i].rotation;
    for (int k = 0; k < 4; ++k) env.nodeCombination[i][k] = s.nodeCombination[i][k];
  }
  for (size_t i = 0; i < env.samples.size(); ++i) {
    env.samples[i].deflection = s.samples[i].deflection;
    env.samples[i].rotation = s.samples[i].rotation;
    for (int k = 0; k < 4; ++k) env.sampleCombination[i][k] = s.sampleCombination[i][k];
  }
  for (int k : {kEnvelopeMaxRotation, kEnvelopeMinRotation, kEnvelopeMaxDeflection,
                kEnvelopeMinDeflection})
    env.extremes[k] = s.extremes[k];
  for (size_t r = 0; r < env.regionExtremes.size() && r < s.regionExtremes.size(); ++r) {
    for (int k : {kEnvelopeMaxRotation, kEnvelopeMinRotation, kEnvelopeMaxDeflection,
                  kEnvelopeMinDeflection})
      env.regionExtremes[r][k] = s.regionExtremes[r][k];
  }
  env.messages.clear();
  return env;
}

ModelItems CombinationItems(const ModelItems& items, const CLoadCombinationItem& combination) {
  ModelItems out = items;
  out.m_pointLoads.clear();
  out.m_uniformLoads.clear();
  out.m_liveLoads.clear();
  out.m_combinations.clear();
  out.m_deflectionLimits.clear();
  out.m_capacities.clear();
  for (const CPointLoadItem& p : items.m_pointLoads) {
    const double f = FactorOf(combination, p.m_nCase);
    if (f != 0) out.m_pointLoads.push_back({p.m_dX, f * p.m_dPLoad, f * p.m_dMoment, p.m_nCase});
  }
  for (const CUniformLoadItem& u : items.m_uniformLoads) {
    const double f = FactorOf(combination, u.m_nCase);
    if (f != 0)
      out.m_uniformLoads.push_back(
          {u.m_dXStart, u.m_dXEnd, f * u.m_dUStart, f * u.m_dUEnd, u.m_nCase});
  }
  for (const CLiveLoadItem& l : items.m_liveLoads) {
    const double u = FactorOf(combination, l.m_nCase) * l.m_dU;
    if (u != 0) out.m_uniformLoads.push_back({0, items.m_dBeamLength, u, u, l.m_nCase});
  }
  return out;
}

LiveLoadEnvelope CombinationEnvelope(const CBeamAnalysis& analysis, const ModelItems& items,
                                     size_t combination, const EnvelopeProgress& progress) {
  if (combination >= items.m_combinations.size()) return {};
  return EnvelopeOf(analysis, items, items.m_combinations[combination], {}, progress);
}

std::string CheckWarningLine(const SpanCheck& check, int units) {
  const std::string span = "Span " + std::to_string(check.span + 1);
  const auto number = [](double v) { return FormatFixed(v, 3); };
  const auto with = [](const std::string& text, const std::string& label) {
    return label.empty() ? text : text + " " + label;
  };
  switch (check.kind) {
    case DesignCheckKind::kDeflection: {
      const double scale = units == kUnitsMetric ? 1000.0 : 1.0;  // m to mm
      const std::string label = UnitLabel(units, kQuantityDeflection);
      return "Warning W6 - " + span + " deflects " + with(number(check.value * scale), label) +
             "; its limit L/" + FormatGeneral(check.divisor, 6) + " is " +
             with(number(check.limit * scale), label) + ".";
    }
    case DesignCheckKind::kMomentPositive:
    case DesignCheckKind::kMomentNegative: {
      const double scale = units == kUnitsEnglish ? 1.0 / 12.0 : 1.0;  // kip in to kip ft
      const std::string label = UnitLabel(units, kQuantityMoment);
      const bool hogging = check.kind == DesignCheckKind::kMomentNegative;
      return "Warning W7 - " + span + " moment " + with(number(check.value * scale), label) +
             " exceeds its " + (hogging ? "hogging " : "") + "capacity " +
             with(number(check.limit * scale), label) + ".";
    }
    case DesignCheckKind::kShear:
      break;
  }
  const std::string label = UnitLabel(units, kQuantityForce);
  return "Warning W8 - " + span + " shear " + with(number(check.value), label) +
         " exceeds its capacity " + with(number(check.limit), label) + ".";
}

}  // namespace spanlab
