// A deliberately literal, quadratic implementation of the beam engine's algorithms: node
// insertion by shifting, degree-of-freedom lookup by scanning from node 1, every element visited
// for every property, release and load. The fast engine must give the very same nodes, elements
// and numbers, bit for bit, on every model this reference can run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/beam_analysis.h"
#include "model/items.h"

namespace spanlab::testing {

struct ReferenceResult {
  std::vector<BeamNode> nodes;        // [1..nNodes]
  std::vector<BeamElement> elements;  // [1..nElements]
  std::vector<double> lengths;        // [1..nElements]
  int32_t nNodes = 0, nElements = 0, nDof = 0;
  double loadVert = 0, loadMoment = 0;
  double maxAbsDeflection = 0, maxAbsRotation = 0, maxAbsShear = 0, maxAbsMoment = 0;
  double maxE = 0, maxI = 0;
  uint8_t error = 0;
  std::vector<std::string> messages;
};

ReferenceResult RunReference(double length, const std::vector<CMemberPropertyItem>& properties,
                             const std::vector<CMomentReleaseItem>& releases,
                             const std::vector<CSupportItem>& supports,
                             const std::vector<CSpringItem>& springs,
                             const std::vector<CPointLoadItem>& pointLoads,
                             const std::vector<CUniformLoadItem>& uniformLoads, int units);

}  // namespace spanlab::testing
