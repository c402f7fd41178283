// (In progress: the combinations and checks land in the next commit.)
#include "analysis/design.h"

namespace spanlab {

bool DesignResults::Exceeded() const {
  for (const SpanCheck& c : checks) {
    if (c.exceeded) return true;
  }
  return false;
}

bool HasDesignChecks(const ModelItems& items) {
  return !items.m_deflectionLimits.empty() || !items.m_capacities.empty();
}

EnvelopeOptions CheckOptions(const ModelItems& items, std::vector<LiveLoadSpan>& regions) {
  regions.clear();
  return {};
}

DesignResults ComputeDesign(const CBeamAnalysis&, const ModelItems&, const LiveLoadEnvelope&,
                            const EnvelopeProgress&) {
  return {};
}

LiveLoadEnvelope DesignEnvelope(const DesignResults&) { return {}; }

bool FromServiceCombinations(const DesignResults&, BeamQuantity) { return false; }

ModelItems CombinationItems(const ModelItems& items, const CLoadCombinationItem&) { return items; }

LiveLoadEnvelope CombinationEnvelope(const CBeamAnalysis&, const ModelItems&, size_t,
                                     const EnvelopeProgress&) {
  return {};
}

std::string CheckWarningLine(const SpanCheck&, int) { return {}; }

}  // namespace spanlab
