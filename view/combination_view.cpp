// The selector's entries are addressed by the combination's index in the design results, which
// is its place among the combination lines (items.m_combinations and DesignResults::combinations
// are both in line order). After a change of the lines an entry is found again by its name.
#include "view/combination_view.h"

#include "run/run_driver.h"

namespace spanlab {

std::vector<CombinationChoice> CombinationChoices(const DesignResults& design) {
  std::vector<CombinationChoice> choices;
  if (!design.HasCombinations()) return choices;
  choices.push_back({});
  for (size_t i = 0; i < design.combinations.size(); ++i) {
    const auto index = static_cast<int32_t>(i);
    choices.push_back({index, false});
    if (design.combinations[i].patterned) choices.push_back({index, true});
  }
  return choices;
}

std::string CombinationChoiceText(const DesignResults& design, const CombinationChoice& choice) {
  if (choice.combination < 0 ||
      static_cast<size_t>(choice.combination) >= design.combinations.size()) {
    return "All (envelope)";
  }
  const std::string& name = design.combinations[static_cast<size_t>(choice.combination)].name;
  return choice.envelope ? name + " - pattern envelope" : name;
}

CombinationChoice CarryChoice(const std::vector<CombinationInfo>& before,
                              const std::vector<CombinationInfo>& after,
                              const CombinationChoice& choice) {
  if (choice.combination < 0 || static_cast<size_t>(choice.combination) >= before.size()) {
    return {};
  }
  const CombinationInfo& was = before[static_cast<size_t>(choice.combination)];
  for (size_t i = 0; i < after.size(); ++i) {
    const CombinationInfo& now = after[i];
    if (now.name != was.name || now.service != was.service) continue;
    if (choice.envelope && !now.patterned) return {};
    return {static_cast<int32_t>(i), choice.envelope};
  }
  return {};
}

std::string DiagramSourceText(const DesignResults& design, const CombinationChoice& choice,
                              bool singleAnalysis, BeamQuantity quantity) {
  if (!design.HasCombinations()) return {};
  if (singleAnalysis) return "Single analysis";
  if (choice.combination < 0 ||
      static_cast<size_t>(choice.combination) >= design.combinations.size()) {
    return FromServiceCombinations(design, quantity) ? "Envelope over service combinations"
                                                     : "Envelope over strength combinations";
  }
  const CombinationInfo& c = design.combinations[static_cast<size_t>(choice.combination)];
  const std::string text = (c.service ? "Service combination " : "Load combination ") + c.name;
  return choice.envelope ? text + ", envelope over live-load patterns" : text;
}

std::unique_ptr<CombinationRun> RunCombination(const ModelRun& run,
                                               const CombinationChoice& choice,
                                               const EnvelopeProgress& progress) {
  auto result = std::make_unique<CombinationRun>();
  result->choice = choice;
  const auto index = static_cast<size_t>(choice.combination);
  if (choice.envelope) {
    result->envelope = CombinationEnvelope(run.analysis, run.items, index, progress);
    result->cancelled = result->envelope.cancelled;
    return result;
  }
  result->items = CombinationItems(run.items, run.items.m_combinations.at(index));
  LiveLoadEnvelope none;
  DesignResults noDesign;
  RunAnalysis({run.lines, result->items, *result->analysis, none, noDesign}, progress);
  return result;
}

ModelRun ShownRun(const ModelRun& run, const CombinationRun* combination) {
  if (!combination) return run;
  static const LiveLoadEnvelope kNoEnvelope;
  if (combination->choice.envelope) {
    return ModelRun(run.lines, run.items, run.analysis, combination->envelope, run.design);
  }
  return ModelRun(run.lines, run.items, *combination->analysis, kNoEnvelope, run.design);
}

}  // namespace spanlab
