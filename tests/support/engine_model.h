// A beam as the engine's item lists, and one whole run of it: the fixture of the engine tests
// that drive CBeamAnalysis without a document.
#pragma once

#include <string>
#include <vector>

#include "analysis/beam_analysis.h"
#include "model/items.h"
#include "model/units.h"

namespace spanlab::testing {

struct EngineModel {
  std::string name = {};  // for the test's trace
  double length = 0;
  std::vector<CMemberPropertyItem> properties = {};
  std::vector<CMomentReleaseItem> releases = {};
  std::vector<CSupportItem> supports = {};
  std::vector<CSpringItem> springs = {};
  std::vector<CPointLoadItem> pointLoads = {};
  std::vector<CUniformLoadItem> uniformLoads = {};
  int units = kUnitsConsistent;
};

// Reset, nodes, elements and the solution, as a run of the document does them; the extremes
// too when `extremes` is set.
inline void RunEngine(const EngineModel& m, CBeamAnalysis& a, bool extremes = false) {
  a.Reset();
  a.SetLength(m.length);
  a.BuildNodes(m.properties, m.releases, m.supports, m.springs, m.pointLoads, m.uniformLoads);
  a.BuildElements(m.properties, m.releases);
  a.Solve(m.supports, m.springs, m.pointLoads, m.uniformLoads, m.units);
  if (extremes) a.ComputeExtremes(m.units);
}

}  // namespace spanlab::testing
