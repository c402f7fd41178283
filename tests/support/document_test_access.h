// For drawing and dialog tests that need items, units or results made by hand rather than run
// from lines. Nothing outside tests writes a document's data but its own run and SetLines.
#pragma once

#include "run/document.h"

namespace spanlab {

struct DocumentTestAccess {
  static CBeamAnalysis& Analysis(CSPLX_30Doc& d) { return *d.m_pAnalysis; }
  static int& Units(CSPLX_30Doc& d) { return d.m_items.m_nUnits; }
  static UnitFactors& Factors(CSPLX_30Doc& d) { return d.m_items.m_factors; }
  static double& BeamLength(CSPLX_30Doc& d) { return d.m_items.m_dBeamLength; }
  static std::vector<CUniformLoadItem>& UniformLoads(CSPLX_30Doc& d) { return d.m_items.m_uniformLoads; }
  static std::vector<CPointLoadItem>& PointLoads(CSPLX_30Doc& d) { return d.m_items.m_pointLoads; }
  static std::vector<CSpringItem>& Springs(CSPLX_30Doc& d) { return d.m_items.m_springs; }
  static std::vector<CSupportItem>& Supports(CSPLX_30Doc& d) { return d.m_items.m_supports; }
  static std::vector<CMomentReleaseItem>& Releases(CSPLX_30Doc& d) { return d.m_items.m_releases; }
  static std::vector<CMemberPropertyItem>& Properties(CSPLX_30Doc& d) { return d.m_items.m_properties; }
  static int32_t& LineNumber(CSPLX_30Doc& d) { return d.m_nLineNumber; }
};

}  // namespace spanlab
