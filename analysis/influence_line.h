// Influence lines: the value of one result at one node as a unit downward point load (-1 in the
// model's force unit) stands at each node in turn, on the beam of the last run (its supports,
// springs, hinges and stiffness; no other load, no settlement).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/beam_analysis.h"
#include "analysis/beam_quantity.h"

namespace spanlab {

// The four diagram quantities (with BeamQuantity's values) and the two reactions.
enum class InfluenceQuantity {
  kDeflection = static_cast<int>(BeamQuantity::kDeflection),
  kRotation = static_cast<int>(BeamQuantity::kRotation),
  kShear = static_cast<int>(BeamQuantity::kShear),  // just right of the node (at the beam's
                                                     // right end: just left of it)
  kMoment = static_cast<int>(BeamQuantity::kMoment),  // likewise
  kReactionVert,
  kReactionRot,
};

// The influence quantity of a diagram quantity, and the diagram quantity of an influence
// quantity (nullopt for the reactions).
InfluenceQuantity InfluenceOf(BeamQuantity quantity);
std::optional<BeamQuantity> DiagramQuantityOf(InfluenceQuantity quantity);

// The diagram quantities' words ("shear", ...), "reaction-vert" and "reaction-rot"; nullopt for
// any other text.
std::optional<InfluenceQuantity> InfluenceQuantityFromName(std::string_view name);
std::string_view InfluenceQuantityName(InfluenceQuantity quantity);

struct InfluencePoint {
  double x = 0;      // where the unit load stands (internal length unit)
  double value = 0;  // the quantity there, internal units
};

struct InfluenceLine {
  std::string error;  // empty on success, else what is wrong and how to fix it
  double x = 0;       // the node the quantity is taken at: the one nearest the asked position
  std::vector<InfluencePoint> points;  // one per node, in order
};

// The influence line of `quantity` at the node nearest `x` (internal length unit). Reactions
// need a support restraining that motion or a spring at the node; `springs` are the model's.
// One solution on the run's eliminated equations (reciprocal theorem), O(nodes).
// The dual solution behind an influence line at `node` (1-based): the value for a unit downward
// load at any point x of the beam is scale x (the solution's deflection at x), exact between the
// nodes too (the dual loads stand at nodes; element_values.h gives the deflection inside an
// element). Not for shear or moment when the load stands inside the element that starts at the
// node (its own fixed-end share is not in it). Returns the error text of ComputeInfluenceLine
// when the quantity has no restraint there, else empty. The caller holds the analysis's
// TableLock.
std::string SolveInfluenceDual(const CBeamAnalysis& analysis,
                               const std::vector<CSpringItem>& springs,
                               InfluenceQuantity quantity, int32_t node,
                               CBeamAnalysis::CaseResults& solution, double& scale);

InfluenceLine ComputeInfluenceLine(const CBeamAnalysis& analysis,
                                   const std::vector<CSpringItem>& springs,
                                   InfluenceQuantity quantity, double x);

}  // namespace spanlab
