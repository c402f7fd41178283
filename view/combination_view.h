// Which analysis the diagrams show of a model with load combinations, and the results of one
// combination as the window draws them. "All" is the run's own envelope over the combinations
// (the document's GetEnvelope()); a combination's single analysis is a run of its loads written
// out as plain factored loads (CombinationItems); its pattern envelope is CombinationEnvelope.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "analysis/beam_analysis.h"
#include "analysis/beam_quantity.h"
#include "analysis/design.h"
#include "analysis/live_load.h"
#include "run/document.h"

namespace spanlab {

struct CombinationChoice {
  int32_t combination = -1;  // an index into the combinations (DesignResults); -1: all of them
  bool envelope = false;     // the combination's envelope over the live-load patterns
  bool operator==(const CombinationChoice&) const = default;
};

// The selector's entries: "All (envelope)" first, then for each combination in line order its
// single analysis and, when it is patterned, its pattern envelope. Empty without combinations.
std::vector<CombinationChoice> CombinationChoices(const DesignResults& design);

// The selector's text of an entry: "All (envelope)", "ULS2", "ULS2 - pattern envelope".
std::string CombinationChoiceText(const DesignResults& design, const CombinationChoice& choice);

// The choice that stands for `choice` after a run changed the combinations from `before` to
// `after`: the entry of the same name, kind and (for an envelope) patterning, else All.
CombinationChoice CarryChoice(const std::vector<CombinationInfo>& before,
                              const std::vector<CombinationInfo>& after,
                              const CombinationChoice& choice);

// Which analysis the diagrams of `quantity` show (the printed page's band labels and the
// view's second title line): "Envelope over strength combinations" (or service, as
// FromServiceCombinations says), "Load combination ULS2", "Service combination SLS1",
// "Load combination ULS2, envelope over live-load patterns", or "Single analysis" when
// `singleAnalysis` (View > Single Analysis). Empty without combinations.
std::string DiagramSourceText(const DesignResults& design, const CombinationChoice& choice,
                              bool singleAnalysis, BeamQuantity quantity);

// The results of one combination (choice.combination >= 0) of the run `run`.
struct CombinationRun {
  CombinationChoice choice;
  ModelItems items;  // the single analysis's items (CombinationItems)
  std::unique_ptr<CBeamAnalysis> analysis = std::make_unique<CBeamAnalysis>();
  LiveLoadEnvelope envelope;  // the pattern envelope (choice.envelope); else empty
  bool cancelled = false;     // `progress` stopped it
};

// Runs one combination of `run` (which must have results and combinations, and
// choice.combination must index run.items.m_combinations): its single analysis through the
// engine (RunAnalysis), or its pattern envelope on run.analysis. `progress` may stop it.
std::unique_ptr<CombinationRun> RunCombination(const ModelRun& run,
                                               const CombinationChoice& choice,
                                               const EnvelopeProgress& progress = {});

// What the diagrams read for `combination` (null: the run as it is): the single analysis of the
// combination drawn over the model's own items and design, or its pattern envelope over the
// run's analysis.
ModelRun ShownRun(const ModelRun& run, const CombinationRun* combination);

}  // namespace spanlab
