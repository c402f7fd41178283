// Load cases, load combinations and the design checks of a run.
//
// Every load belongs to a case (ModelItems::m_caseNames); a combination is a weighted sum of the
// cases (a case it does not name has factor 0), with the settlements and imposed rotations of
// the supports unfactored in every one. A combination whose factor on the Live Load's case is
// not 0 is patterned over the spans as the live-load envelope is: in each arrangement a span
// carries either the Live Load's case (its U over the whole span and the case's point and
// uniform loads on the span) times the factor, or nothing of it; every other case acts at its
// factor on all spans. Any other combination is one solution. All of them are right-hand sides
// of the one elimination of the run (CBeamAnalysis::SolveLoadCase), no new factorisation.
//
// Strength combinations ("Load Combination") are enveloped together, service combinations
// ("Service Combination") together: at every node, element end and sample the largest and
// smallest value over the combinations of the kind (and over every arrangement of a patterned
// one), with the combination that gives it. The design checks read them: the deflection limit
// the service envelope (the model as written when there are no service combinations), the
// capacities the strength envelope (likewise). "The model as written" is the run's own live-load
// envelope when there is a Live Load line, else the single analysis.
//
// Values are in internal units with the sign conventions of CBeamAnalysis, as in live_load.h.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/beam_analysis.h"
#include "analysis/beam_quantity.h"
#include "analysis/live_load.h"
#include "model/model_items.h"

namespace spanlab {

struct CombinationInfo {
  std::string name;
  bool service = false;    // a "Service Combination" line; else a strength one
  bool patterned = false;  // its factor on the Live Load's case is not 0 (and there is one)
};

// Which design check a SpanCheck is.
enum class DesignCheckKind : int {
  kDeflection,      // largest deflection magnitude against length / divisor
  kMomentPositive,  // largest (sagging) moment against the Moment capacity
  kMomentNegative,  // smallest (hogging) moment against the MomentNeg capacity
  kShear,           // largest shear magnitude against the Shear capacity
};

// One check of one span.
struct SpanCheck {
  int32_t span = 0;  // 0-based, in DesignResults::spans
  DesignCheckKind kind = DesignCheckKind::kDeflection;
  double value = 0;     // the governing value, signed (internal units)
  double x = 0;         // where it occurs, exact between nodes
  double limit = 0;     // the allowed magnitude, > 0 (internal units)
  double divisor = 0;   // deflection checks: the divisor of the length (360 for L/360)
  bool cantilever = false;  // deflection checks: a part beyond the first or last support
  double utilisation = 0;   // |value| / limit
  bool exceeded = false;    // utilisation > 1
  // The combination behind `value` (an index into DesignResults::combinations), -1 for the
  // model as written; and, where that is patterned, the spans that carry the live load for it.
  int32_t combination = -1;
  std::vector<int32_t> spansOnMax;
};

struct DesignResults {
  std::vector<CombinationInfo> combinations;  // in line order, both kinds
  std::vector<LiveLoadSpan> spans;            // the spans of the checks (LiveLoadSpans)
  // The envelopes over the strength and the service combinations (empty when the model has
  // none of a kind), with the governing combination of every range (LiveLoadEnvelope's
  // ...Combination tables) and extreme (EnvelopeExtreme::combination).
  LiveLoadEnvelope strength, service;
  // Per span in order, the checks the model asks for (Deflection Limit, Capacity lines):
  // deflection, sagging moment, hogging moment, shear, each when its limit is given.
  std::vector<SpanCheck> checks;
  // The run log's lines: an envelope's A4 or A2, then one warning per exceeded check (W6
  // deflection, W7 moment, W8 shear). `error` is set with an A line.
  std::vector<std::string> messages;
  bool error = false;
  bool cancelled = false;  // the progress callback stopped it: no result of the model

  bool HasCombinations() const { return !combinations.empty(); }
  bool Exceeded() const;  // some check is exceeded
};

// The combinations, their envelopes and the checks of the run in `analysis` (the model as
// written, which must have been run on `items`); empty when the model has neither combination,
// Deflection Limit nor Capacity lines, or the run left no results (A1, A3, A4). `asWritten` is
// the run's live-load envelope (empty without a Live Load line), which the checks read when a
// kind has no combinations. `progress` is told how far it is over all combinations and may stop
// it (`cancelled`).
DesignResults ComputeDesign(const CBeamAnalysis& analysis, const ModelItems& items,
                            const LiveLoadEnvelope& asWritten,
                            const EnvelopeProgress& progress = {});

// Whether the model asks for design checks (a Deflection Limit or a Capacity line).
bool HasDesignChecks(const ModelItems& items);
// The options under which the run's own live-load envelope (a model without combinations) also
// gives what the checks read: the extremes of every span; `regions` receives the spans.
EnvelopeOptions CheckOptions(const ModelItems& items, std::vector<LiveLoadSpan>& regions);

// The envelope the diagrams draw with combination lines ("All"): deflection and rotation from
// the service envelope, shear, moment and reactions from the strength envelope; a kind without
// combinations is replaced by the other. Empty without combinations.
LiveLoadEnvelope DesignEnvelope(const DesignResults& design);
// Whether the design envelope's values of `quantity` come from the service combinations
// (else from the strength ones), as DesignEnvelope chooses. Reactions go with the shear.
bool FromServiceCombinations(const DesignResults& design, BeamQuantity quantity);

// The items of one combination written out as plain loads: every point and uniform load times
// its case's factor (loads of factor 0 left out), the Live Load's U times its case's factor as a
// uniform load over the whole beam (every span loaded, no patterns), no Live Load line, no
// combinations and no checks. A run of them is the combination's single analysis.
ModelItems CombinationItems(const ModelItems& items, const CLoadCombinationItem& combination);

// The envelope of one combination (index into items.m_combinations) over its arrangements of
// the live load (one solution, max = min, when it is not patterned), on the run in `analysis`
// of `items`. Its ...Combination tables are empty.
LiveLoadEnvelope CombinationEnvelope(const CBeamAnalysis& analysis, const ModelItems& items,
                                     size_t combination, const EnvelopeProgress& progress = {});

// The run log's line for an exceeded check, in the model's display units:
// "Warning W6 - Span 2 deflects 1.234 inches; its limit L/360 is 1.000 inches."
// "Warning W7 - Span 2 moment -412.500 kip ft exceeds its hogging capacity 350.000 kip ft."
// "Warning W8 - Span 1 shear 95.000 kips exceeds its capacity 90.000 kips."
std::string CheckWarningLine(const SpanCheck& check, int units);

}  // namespace spanlab
