// An independent high-precision solution of the beam an engine run has meshed: the same nodes and
// elements (the mesh is not what it checks), assembled and solved in binary128 (__float128,
// 113-bit significand, unit round-off 1e-34) with the prescribed degrees of freedom replaced by
// identity rows, element terms and load shares formed from the double inputs in that precision.
// The results are rounded once, at the end. Its own error on the test models is far below
// 1e-13 of each quantity's scale (condition numbers stay below 1e22).
#pragma once

#include <vector>

#include "analysis/beam_analysis.h"
#include "model/items.h"

namespace spanlab::testing {

struct QuadResult {
  std::vector<double> deflection, rotation, reactionVert, reactionRot;  // [1..nodes]
  std::vector<double> shearStart, shearEnd, momentStart, momentEnd;     // [1..elements]
};

// Precondition: `run` finished a Solve of these items without A1, A3 or A4.
QuadResult SolveInQuad(const CBeamAnalysis& run, const std::vector<CSupportItem>& supports,
                       const std::vector<CSpringItem>& springs,
                       const std::vector<CPointLoadItem>& pointLoads,
                       const std::vector<CUniformLoadItem>& uniformLoads);

// The largest difference between the engine's results and `exact`, each quantity relative to
// its own scale (the largest absolute exact value of that quantity, for reactions at least that
// of the shears or moments; 1 where that is 0): deflection, rotation, vertical reaction, moment
// reaction, shear and moment (end forces).
struct RelativeErrors {
  double deflection = 0, rotation = 0, reactionVert = 0, reactionRot = 0, shear = 0, moment = 0;
  double Max() const;
};
RelativeErrors CompareWithQuad(const CBeamAnalysis& run, const QuadResult& exact);
// The same for the results of a further load case.
RelativeErrors CompareWithQuad(const CBeamAnalysis::CaseResults& results,
                               const QuadResult& exact);

}  // namespace spanlab::testing
