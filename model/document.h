// The model document: owns the model lines (the stored truth of a model), the item records
// built from them, the unit system and the analysis object that holds the results.
//
// This is the core of the document; files, views and update hints are added on top of it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "analysis/beam_analysis.h"
#include "model/items.h"
#include "model/units.h"

namespace spanlab {

class CSPLX_30Doc {
 public:
  CSPLX_30Doc();
  ~CSPLX_30Doc();
  CSPLX_30Doc(const CSPLX_30Doc&) = delete;
  CSPLX_30Doc& operator=(const CSPLX_30Doc&) = delete;

  // Rebuilds the six item lists, m_nUnits, m_factors and m_dBeamLength from m_lines. With
  // `build` false only empties the lists and sets the length to 0. Lines are read in order;
  // a "Units" line changes the factors for the data lines after it. Member properties are kept
  // sorted by X (equal X in line order); the other lists keep line order.
  void BuildItems(bool build);

  // Deletes every item record.
  void ClearItems();

  // The label of a quantity code (1..14) in the current unit system; see UnitLabel.
  std::string GetUnitLabel(int quantity) const;

  // Runs the analysis object on the current items: Reset, SetLength(m_dBeamLength),
  // BuildNodes, BuildElements, Solve. The items must have been built.
  void RunAnalysis();

  // The message lines of the last run.
  const std::vector<std::string>& GetAnalysisMessages() const;

  std::unique_ptr<CBeamAnalysis> m_pAnalysis;  // created with the document, reused every run
  std::vector<std::string> m_lines;            // the model lines, format line first
  double m_dBeamLength = 0;                    // largest item position (internal length unit)
  std::vector<CUniformLoadItem> m_uniformLoads;
  std::vector<CPointLoadItem> m_pointLoads;
  std::vector<CSpringItem> m_springs;
  std::vector<CSupportItem> m_supports;
  std::vector<CMomentReleaseItem> m_releases;
  std::vector<CMemberPropertyItem> m_properties;  // ascending m_dX
  int m_nUnits = kUnitsConsistent;
  UnitFactors m_factors = FactorsForUnits(kUnitsConsistent);
};

}  // namespace spanlab
